#include "framework/Exceptions.h"

#include <windows.h>

#include "framework/GbkText.h"

namespace {
int ShowBox(const std::string& text, unsigned type) {
    std::wstring wide = gbk::ToWide(text);
    return MessageBoxW(GetActiveWindow(), wide.c_str(), nullptr, type ? type : MB_OK | MB_ICONEXCLAMATION);
}
MessageBoxHandler g_boxHandler = &ShowBox;
}  // namespace

void AfxThrowResourceException() { throw CResourceException(); }

void AfxReportOutOfMemory() { AfxMessageBox("Out of memory.", MB_OK | MB_ICONEXCLAMATION); }

int AfxMessageBox(const std::string& gbkText, unsigned type) { return g_boxHandler(gbkText, type); }

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler old = g_boxHandler;
    g_boxHandler = handler ? handler : &ShowBox;
    return old;
}
