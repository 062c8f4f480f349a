// Drives a running GridDemo.exe from outside for the demo command's screenshot: waits for its
// window, sends it menu commands, waits until it has handled them, and writes the status
// bar's text (UTF-8) to a file and the window's screen rectangle to <file>.rect (written
// last); or closes it.
//
//   GridDemoDriver shot <output file> [command id]...
//   GridDemoDriver close
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

HWND WaitForFrame(DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HWND frame = FindWindowW(L"CFrameWnd", L"GridDemo");
        if (frame && IsWindowVisible(frame)) return frame;
        Sleep(100);
    }
    return nullptr;
}

// Returns once the frame's thread has handled everything posted to it so far.
bool WaitIdle(HWND frame) {
    DWORD_PTR ignored;
    return SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored) != 0;
}

std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// Started inside the demo's virtual desktop, this program's own output goes nowhere: a
// failure is written to <output file>.err for the caller to show.
int Fail(const std::wstring& outPath, const char* message, int code) {
    if (FILE* f = _wfopen((outPath + L".err").c_str(), L"wb")) {
        std::fprintf(f, "%s\n", message);
        std::fclose(f);
    }
    std::fprintf(stderr, "GridDemoDriver: %s\n", message);
    return code;
}

int Shot(const std::wstring& outPath, wchar_t** commands, int count) {
    HWND frame = WaitForFrame(60000);
    if (!frame) return Fail(outPath, "the demo's window did not appear", 2);
    WaitIdle(frame);
    for (int i = 0; i < count; ++i) {
        PostMessageW(frame, WM_COMMAND, static_cast<WPARAM>(_wtoi(commands[i])), 0);
        if (!WaitIdle(frame)) return Fail(outPath, "the demo did not finish a command", 3);
    }
    Sleep(500);  // let the repaint reach the screen
    WaitIdle(frame);

    HWND bar = FindWindowExW(frame, nullptr, STATUSCLASSNAMEW, nullptr);
    wchar_t text[256] = {};
    if (bar) SendMessageW(bar, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    FILE* out = _wfopen(outPath.c_str(), L"wb");
    if (!out) return Fail(outPath, "cannot write the output file", 4);
    const std::string line = Utf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), out);
    std::fclose(out);

    RECT r;
    GetWindowRect(frame, &r);
    if (FILE* f = _wfopen((outPath + L".rect").c_str(), L"wb")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(f);
    }
    return 0;
}

int Close() {
    if (HWND frame = WaitForFrame(5000)) PostMessageW(frame, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc >= 3 && std::wstring(argv[1]) == L"shot") return Shot(argv[2], argv + 3, argc - 3);
    if (argc >= 2 && std::wstring(argv[1]) == L"close") return Close();
    std::fprintf(stderr, "usage: GridDemoDriver shot <output file> [command id]... | close\n");
    return 1;
}
