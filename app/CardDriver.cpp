#include "app/CardDriver.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// A plain name, else the name a compiler gives a __stdcall function with that many bytes
// of arguments; vendors export one or the other.
FARPROC Resolve(HMODULE module, const char* plain, const char* decorated) {
    FARPROC entry = GetProcAddress(module, plain);
    return entry ? entry : GetProcAddress(module, decorated);
}

template <typename Fn>
Fn As(FARPROC entry) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(entry));
}

// A zero-filled output buffer of the contract's size, and its text afterwards: up to the
// first zero byte, and never past the end when the driver wrote none.
struct OutputBuffer {
    explicit OutputBuffer(size_t size) : bytes(size, '\0') {}
    char* data() { return bytes.data(); }
    std::string Text() const { return std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\0')); }
    std::vector<char> bytes;
};

// The folder of a module (null: the program), with a trailing backslash.
std::wstring FolderOf(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);  // cut short: try a larger buffer
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool FileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A library by its full path; its own dependencies are then looked for beside it first.
HMODULE LoadFrom(const std::wstring& path) {
    return FileExists(path) ? LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH) : nullptr;
}

// A writable, zero-terminated copy of exactly the given bytes, in a buffer of at least
// `minSize` bytes whose rest is zero.
std::vector<char> ArgumentBuffer(std::string_view text, size_t minSize = 0) {
    std::vector<char> buffer(std::max(text.size() + 1, minSize), '\0');
    std::memcpy(buffer.data(), text.data(), text.size());
    return buffer;
}
}  // namespace

LibraryHandle& LibraryHandle::operator=(LibraryHandle&& other) noexcept {
    if (this != &other) {
        Reset(other.module_);
        other.module_ = nullptr;
    }
    return *this;
}

void LibraryHandle::Reset(HMODULE module) {
    if (module_) FreeLibrary(module_);
    module_ = module;
}

std::wstring CardDriver::ProgramFolderPath(const wchar_t* library) {
    std::wstring folder = FolderOf(nullptr);
    return folder.empty() ? folder : folder + library;
}

std::wstring CardDriver::SystemFolderPath(const wchar_t* library) {
    wchar_t folder[MAX_PATH];
    UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::wstring();
    return std::wstring(folder, n) + L"\\" + library;
}

bool CardDriver::Load(const wchar_t* library) {
    Free();
    // The first file found is the driver: one beside the program that does not load is
    // not replaced by another from the system folder.
    std::wstring path = ProgramFolderPath(library);
    if (!FileExists(path)) path = SystemFolderPath(library);
    LibraryHandle handle(LoadFrom(path));
    if (!handle) return false;
    readCardBas_ = As<ReadCardBasFn>(Resolve(handle.Get(), "iReadCardBas", "_iReadCardBas@8"));
    reloadPin_ = As<ReloadPinFn>(Resolve(handle.Get(), "iReloadPIN", "_iReloadPIN@12"));
    doDebit_ = As<DoDebitFn>(Resolve(handle.Get(), "iDoDebit", "_iDoDebit@16"));
    if (!readCardBas_ || !reloadPin_ || !doDebit_) {
        Free();  // `handle` frees the library as it goes
        return false;
    }
    library_ = std::move(handle);
    return true;
}

void CardDriver::Free() {
    library_.Reset();
    readCardBas_ = nullptr;
    reloadPin_ = nullptr;
    doDebit_ = nullptr;
}

DriverResult CardDriver::ReadCardBas() {
    if (!IsLoaded()) return {kNotLoaded, std::string()};
    OutputBuffer out(kReadCardBasOutputSize);
    int code = readCardBas_(kCardInterface, out.data());
    return {code, out.Text()};
}

DriverResult CardDriver::ReloadPin(const std::string& cardReference) {
    if (!IsLoaded()) return {kNotLoaded, std::string()};
    std::vector<char> card = ArgumentBuffer(cardReference, kCardReferenceBufferSize);
    OutputBuffer out(kLiveCheckOutputSize);
    int code = reloadPin_(kCardInterface, card.data(), out.data());
    return {code, out.Text()};
}

DriverResult CardDriver::DoDebit(const std::string& cardReference, std::string_view transaction) {
    if (!IsLoaded()) return {kNotLoaded, std::string()};
    std::vector<char> card = ArgumentBuffer(cardReference, kCardReferenceBufferSize);
    std::vector<char> pay = ArgumentBuffer(transaction, kTransactionBufferSize);
    OutputBuffer out(kLiveCheckOutputSize);
    int code = doDebit_(kCardInterface, card.data(), pay.data(), out.data());
    return {code, out.Text()};
}
