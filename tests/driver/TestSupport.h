// Files, folders and settings the driver tests make and clean up again.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// A fresh folder below the temporary one, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static int serial = 0;
        path_ = std::wstring(base) + L"cardcheck-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++serial);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempDir() { Remove(L"\\\\?\\" + path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    static void Remove(const std::wstring& path) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring child = path + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(child);
                else
                    DeleteFileW(child.c_str());
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(path.c_str());
    }

    std::wstring path_;
};

// The whole file, or nothing when it cannot be read.
inline bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    std::fclose(file);
    return true;
}

inline void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The names of the files (not folders) in a folder, sorted.
inline std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// Sets an environment variable for a scope, and puts back what it was.
class ScopedEnv {
public:
    ScopedEnv(const wchar_t* name, const std::wstring& value) : name_(name) {
        DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
        if (n > 0) {
            std::wstring old(n, L'\0');
            old.resize(GetEnvironmentVariableW(name, &old[0], n));
            old_ = old;
            hadOld_ = true;
        }
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnv() { SetEnvironmentVariableW(name_, hadOld_ ? old_.c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const wchar_t* name_;
    std::wstring old_;
    bool hadOld_ = false;
};

// Runs a scope in another working directory.
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::wstring& dir) {
        wchar_t old[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, old);
        old_ = old;
        changed_ = SetCurrentDirectoryW(dir.c_str()) != FALSE;
    }
    ~ScopedCurrentDirectory() { SetCurrentDirectoryW(old_.c_str()); }
    bool Changed() const { return changed_; }

private:
    std::wstring old_;
    bool changed_ = false;
};

inline std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// The simulated reader's record of calls: one map of key to value per call, in order.
inline std::vector<std::map<std::string, std::string>> ParseCallRecord(const std::string& text) {
    std::vector<std::map<std::string, std::string>> calls;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 2;
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            calls.push_back({{"entry", line.substr(1, line.size() - 2)}});
        } else if (!calls.empty() && line.find('=') != std::string::npos) {
            calls.back()[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        }
    }
    return calls;
}

// The first visible top-level window of this process that `match` accepts, waiting up to
// `ms` for one: a test never takes another program's window (tests run side by side).
template <typename Match>
class OwnWindowSearch {
public:
    explicit OwnWindowSearch(Match match) : match_(std::move(match)) {}
    HWND Find() {
        found_ = nullptr;
        EnumWindows(&Visit, reinterpret_cast<LPARAM>(this));
        return found_;
    }

private:
    static BOOL CALLBACK Visit(HWND hWnd, LPARAM lp) {
        auto* self = reinterpret_cast<OwnWindowSearch*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hWnd, &owner);
        if (owner != GetCurrentProcessId() || !IsWindowVisible(hWnd) || !self->match_(hWnd)) return TRUE;
        self->found_ = hWnd;
        return FALSE;
    }
    Match match_;
    HWND found_ = nullptr;
};

template <typename Match>
HWND WaitForOwnWindow(Match match, DWORD ms) {
    OwnWindowSearch<Match> search(std::move(match));
    for (DWORD waited = 0;; waited += 10) {
        if (HWND found = search.Find()) return found;
        if (waited >= ms) return nullptr;
        Sleep(10);
    }
}
