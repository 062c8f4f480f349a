#include "InstallerTestSupport.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>

#include "tests/driver/TestSupport.h"

namespace {
std::wstring Env(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(value, n) : std::wstring();
}

std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH];
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"<none>";
}

// A COM interface pointer released at the end.
template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
};
}  // namespace

const Packages& ThePackages() {
    static const Packages packages{Env(L"CARDCHECK_SETUP"), Env(L"CARDCHECK_UNZIPPED"), Env(L"CARDCHECK_DEMO")};
    return packages;
}

std::wstring ProgramFolder() { return KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Tessarin\\CardCheck"; }
std::wstring DataFolder() { return KnownFolder(CSIDL_COMMON_APPDATA) + L"\\Tessarin\\CardCheck"; }
std::wstring ShortcutPath() { return KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tessarin（自查版）.lnk"; }

std::wstring SystemDriverPath() {
    wchar_t folder[MAX_PATH];
    UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, n) + L"\\SSCardDriver.dll";
}

long RunToEnd(const std::wstring& commandLine, DWORD ms) {
    std::wstring line = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info)) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info.hProcess, &code);
    } else {
        TerminateProcess(info.hProcess, 99);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return static_cast<long>(code);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Contents(const std::wstring& path) {
    std::string bytes;
    return ReadFileBytes(path, bytes) ? bytes : "<missing>";
}

std::vector<std::wstring> Utf8Lines(const std::wstring& path) {
    std::string bytes = Contents(path);
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], static_cast<int>(text.size()))));
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

Shortcut ReadShortcut(const std::wstring& lnk) {
    Shortcut shortcut;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file->Load(lnk.c_str(), STGM_READ)))
        return shortcut;
    wchar_t text[MAX_PATH * 2] = {};
    if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) shortcut.target = text;
    text[0] = L'\0';
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2))) shortcut.workingDirectory = text;
    text[0] = L'\0';
    if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2))) shortcut.arguments = text;
    shortcut.loaded = true;
    return shortcut;
}

FileProperties PropertiesOf(const std::wstring& file) {
    FileProperties properties{L"<none>", L"<none>", L"<none>", L"<none>"};
    DWORD ignored = 0, size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return properties;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        wchar_t numbers[64];
        std::swprintf(numbers, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                      HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        properties.numbers = numbers;
    }
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4) return properties;
    const auto* language = static_cast<const WORD*>(value);
    wchar_t block[64];
    std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", language[0], language[1]);
    auto text = [&](const wchar_t* name) {
        void* found = nullptr;
        UINT n = 0;
        if (!VerQueryValueW(data.data(), (std::wstring(block) + name).c_str(), &found, &n) || n == 0)
            return std::wstring(L"<none>");
        return std::wstring(static_cast<const wchar_t*>(found), n - 1);
    };
    properties.productName = text(L"ProductName");
    properties.productVersion = text(L"ProductVersion");
    properties.fileVersion = text(L"FileVersion");
    return properties;
}

std::wstring MachineRegistryString(const std::wstring& key, const std::wstring& name) {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return L"<none>";
    return value;
}
