#include "framework/System.h"

#include <ole2.h>

#include <ctime>
#include <cwchar>

#include "framework/Exceptions.h"
#include "framework/GbkText.h"
#include "framework/WinApp.h"

BOOL AfxRegisterClass(const WNDCLASSW* wndClass) { return RegisterClassW(wndClass) != 0; }

void AfxRegisterClassOnce(const wchar_t* name, UINT style, HBRUSH background) {
    HINSTANCE instance = AfxGetInstanceHandle();
    WNDCLASSW wc{};
    if (GetClassInfoW(instance, name, &wc)) return;
    wc.style = style;
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (!AfxRegisterClass(&wc)) AfxThrowResourceException();
}

namespace {
thread_local bool t_oleInitialized = false;

// Balances the thread's successful OleInitialize when the thread ends.
struct OleThreadGuard {
    ~OleThreadGuard() {
        if (t_oleInitialized) OleUninitialize();
    }
};
}  // namespace

BOOL AfxOleInit() {
    if (t_oleInitialized) return TRUE;
    HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr)) return FALSE;
    t_oleInitialized = true;
    static thread_local OleThreadGuard guard;
    (void)guard;
    return TRUE;
}

BOOL AfxOleIsInitialized() { return t_oleInitialized; }

COLORREF AfxGetSysColor(int index) { return GetSysColor(index); }

int ReadWheelScrollLines() {
    int lines = 3;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL haveVersion = GetVersionExW(&version);
#pragma GCC diagnostic pop
    // Only the first Windows 95 release lacks the system parameter.
    if (haveVersion && (version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS || version.dwMinorVersion != 0)) {
        UINT value = 3;
        if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &value, 0))
            lines = value == WHEEL_PAGESCROLL ? -1 : static_cast<int>(value);
        return lines;
    }
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        wchar_t buffer[64] = {};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        DWORD type = 0;
        if (RegQueryValueExW(key, L"WheelScrollLines", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            unsigned long value = std::wcstoul(buffer, nullptr, 10);
            lines = value == WHEEL_PAGESCROLL ? -1 : static_cast<int>(value);
        }
        RegCloseKey(key);
    }
    return lines;
}

std::string AfxLoadString(UINT id) {
    const wchar_t* text = nullptr;
    // Length 0 asks for a read-only pointer into the resource itself (not terminated).
    const int length = LoadStringW(AfxGetInstanceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? gbk::FromWide(std::wstring_view(text, static_cast<size_t>(length))) : std::string();
}

std::string FormatLocalTime(const char* format) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::tm parts{};
    parts.tm_year = now.wYear - 1900;
    parts.tm_mon = now.wMonth - 1;
    parts.tm_mday = now.wDay;
    parts.tm_wday = now.wDayOfWeek;
    parts.tm_hour = now.wHour;
    parts.tm_min = now.wMinute;
    parts.tm_sec = now.wSecond;
    parts.tm_isdst = -1;
    char text[128];
    const size_t length = std::strftime(text, sizeof(text), format, &parts);
    return std::string(text, length);
}
