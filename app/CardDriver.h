// The card reader driver, "SSCardDriver.dll": loading it, its three entry points and
// the buffers they are called with. The dialog holds one CardDriver as m_hDriver, loads
// it on WM_CREATE (creation fails when Load does) and frees it on WM_DESTROY.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Owns a loaded library and frees it exactly once. Move-only.
class LibraryHandle {
public:
    LibraryHandle() = default;
    explicit LibraryHandle(HMODULE module) : module_(module) {}
    ~LibraryHandle() { Reset(); }
    LibraryHandle(LibraryHandle&& other) noexcept : module_(other.module_) { other.module_ = nullptr; }
    LibraryHandle& operator=(LibraryHandle&& other) noexcept;
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;

    HMODULE Get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }
    // Frees the library (if any) and takes `module` in its place.
    void Reset(HMODULE module = nullptr);

private:
    HMODULE module_ = nullptr;
};

// What an entry point returned: its code (0 for success) and the text it wrote into its
// output buffer (up to the first zero byte, at most the whole buffer).
struct DriverResult {
    int code;
    std::string text;
};

class CardDriver {
public:
    static constexpr const wchar_t* kLibraryName = L"SSCardDriver.dll";
    static constexpr size_t kReadCardBasOutputSize = 20480;
    static constexpr size_t kLiveCheckOutputSize = 300;
    static constexpr size_t kTransactionBufferSize = 200;
    // The card reference is handed over in a zero-filled buffer of at least this size.
    static constexpr size_t kCardReferenceBufferSize = 100;
    // The card interface argument of every call: detect the card, contact interface first.
    static constexpr int kCardInterface = 3;
    // The fixed transaction of the debit check: two amounts and a date and time.
    static constexpr const char* kDebitTransaction = "0.0|0.0|20160821185001|";
    // Code of a call made while no driver is loaded (no driver returns it).
    static constexpr int kNotLoaded = -100000;

    // Loads the library of that file name from the program's own folder, or when it is not
    // there from the system folder; never from the working directory or the PATH, where
    // anybody may have put a file of that name. Resolves iReadCardBas, iReloadPIN and
    // iDoDebit by their plain names, else by their decorated ones. False, with the library
    // freed again, when there is no such file, it does not load or an entry point is missing.
    bool Load(const wchar_t* library = kLibraryName);
    // Where Load looks for a library of that file name, in order.
    static std::wstring ProgramFolderPath(const wchar_t* library);
    static std::wstring SystemFolderPath(const wchar_t* library);
    void Free();
    bool IsLoaded() const { return static_cast<bool>(library_); }

    DriverResult ReadCardBas();
    DriverResult ReloadPin(const std::string& cardReference);
    DriverResult DoDebit(const std::string& cardReference, std::string_view transaction = kDebitTransaction);

private:
    using ReadCardBasFn = int(__stdcall*)(int iType, char* pOutInfo);
    using ReloadPinFn = int(__stdcall*)(int iType, char* pCardInfo, char* pOutInfo);
    using DoDebitFn = int(__stdcall*)(int iType, char* pCardInfo, char* pPayInfo, char* pOutInfo);

    LibraryHandle library_;
    ReadCardBasFn readCardBas_ = nullptr;
    ReloadPinFn reloadPin_ = nullptr;
    DoDebitFn doDebit_ = nullptr;
};
