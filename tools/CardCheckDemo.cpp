// Drives a running CardCheck.exe from outside, the way an operator would, for the
// unattended demo of the run command: click a button, wait until the tool has finished,
// write the result list's lines (UTF-8) to a file and the dialog's screen rectangle to
// <file>.rect (written last), close the tool.
//
//   CardCheckDemo click <button id> <output file>
//   CardCheckDemo close
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t kCaption[] = L"Tessarin\uFF08\u81EA\u67E5\u7248\uFF09V1.0";
const int kResultList = 1014;

HWND WaitForDialog(DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HWND dlg = FindWindowW(L"#32770", kCaption);
        if (dlg && IsWindowVisible(dlg)) return dlg;
        Sleep(100);
    }
    return nullptr;
}

// Returns once the dialog's thread has handled everything posted to it so far.
bool WaitIdle(HWND dlg) {
    DWORD_PTR ignored;
    return SendMessageTimeoutW(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored) != 0;
}

std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// Started inside the tool's virtual desktop, this program's own output goes nowhere: a
// failure is written to <output file>.err for the caller to show.
int Fail(const wchar_t* outPath, const char* message, int code) {
    std::wstring errPath = std::wstring(outPath) + L".err";
    if (FILE* f = _wfopen(errPath.c_str(), L"wb")) {
        std::fprintf(f, "%s\n", message);
        std::fclose(f);
    }
    std::fprintf(stderr, "CardCheckDemo: %s\n", message);
    return code;
}

int Click(int buttonId, const wchar_t* outPath) {
    HWND dlg = WaitForDialog(60000);
    if (!dlg) return Fail(outPath, "the tool's window did not appear", 2);
    HWND button = GetDlgItem(dlg, buttonId);
    if (!button || !IsWindowEnabled(button)) return Fail(outPath, "the button is missing or disabled", 3);
    WaitIdle(dlg);
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    if (!WaitIdle(dlg)) return Fail(outPath, "the tool did not finish the check", 4);
    Sleep(500);  // let the repaint after the check reach the screen
    WaitIdle(dlg);

    HWND list = GetDlgItem(dlg, kResultList);
    FILE* out = _wfopen(outPath, L"wb");
    if (!out) return Fail(outPath, "cannot write the output file", 5);
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LRESULT len = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (len == LB_ERR) continue;
        std::wstring line(static_cast<size_t>(len) + 1, L'\0');
        len = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&line[0]));
        line.resize(len == LB_ERR ? 0 : static_cast<size_t>(len));
        std::string bytes = Utf8(line) + "\n";
        std::fwrite(bytes.data(), 1, bytes.size(), out);
    }
    std::fclose(out);

    // Where the dialog is on the screen, so that a screenshot can be cut to it.
    RECT r;
    GetWindowRect(dlg, &r);
    std::wstring rectPath = std::wstring(outPath) + L".rect";
    if (FILE* f = _wfopen(rectPath.c_str(), L"wb")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(f);
    }
    return 0;
}

int Close() {
    HWND dlg = WaitForDialog(5000);
    if (!dlg) return 0;
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc >= 4 && std::wstring(argv[1]) == L"click") return Click(_wtoi(argv[2]), argv[3]);
    if (argc >= 2 && std::wstring(argv[1]) == L"close") return Close();
    std::fprintf(stderr, "usage: CardCheckDemo click <button id> <output file> | close\n");
    return 1;
}
