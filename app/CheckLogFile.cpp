#include "app/CheckLogFile.h"

#include <windows.h>

#include "app/CheckLog.h"
#include "framework/GbkText.h"

namespace {
std::wstring WorkingDirectory() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);  // includes the terminating zero
    std::wstring dir(size, L'\0');
    for (;;) {
        DWORD written = GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), &dir[0]);
        if (written == 0) return std::wstring();
        if (written < dir.size()) {
            dir.resize(written);
            return dir;
        }
        dir.resize(written);  // it grew in between: the call reported the size it needs
    }
}

// Paths past MAX_PATH reach the file system only in the \\?\ form, which takes a fully
// qualified path with backslashes as it is; shorter ones are left alone.
std::wstring ForFileSystem(const std::wstring& path) {
    if (path.size() < MAX_PATH - 12 || path.compare(0, 4, L"\\\\?\\") == 0) return path;
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    return path;
}

void CreateMissingDirectory(const std::wstring& path) {
    if (!PathExists(path)) CreateDirectoryW(ForFileSystem(path).c_str(), nullptr);
}

LogWriteResult WriteRecord(std::string_view cardNumber, const std::string& record, const LogDate& date) {
    LogFile file = OpenCheckLog(cardNumber, date);
    bool written = file && file.Append(record);
    written = file.Close() && written;
    return {written, file.Path()};
}
}  // namespace

LogDate TodayLocal() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(ForFileSystem(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

LogFile& LogFile::operator=(LogFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        path_ = std::move(other.path_);
        other.handle_ = nullptr;
    }
    return *this;
}

bool LogFile::Append(std::string_view bytes) {
    if (!handle_) return false;
    // Writers take turns: an append-only handle puts each write at the end, but not every
    // file system does that as one step with another program's (Wine's does not). Each
    // writer of the log locks one byte far past any record for its write; readers are
    // not held up. Without the lock (a file system that has none) the write goes ahead.
    OVERLAPPED turn{};
    turn.Offset = 0xFFFFFFF0u;
    turn.OffsetHigh = 0x7FFFFFFFu;
    bool locked = LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != FALSE;
    DWORD written = 0;
    BOOL ok = WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (locked) UnlockFileEx(handle_, 0, 1, 0, &turn);
    return ok && written == bytes.size();
}

bool LogFile::Close() {
    if (!handle_) return false;
    BOOL closed = CloseHandle(handle_);
    handle_ = nullptr;
    return closed != FALSE;
}

LogFile OpenCheckLog(std::string_view cardNumber, const LogDate& date) {
    std::wstring path = WorkingDirectory();
    if (!path.empty() && path.back() != L'\\') path += L'\\';  // a drive's root already ends in one
    path += L"LOG";
    CreateMissingDirectory(path);
    path += L'\\';
    path += gbk::ToWide(DateDirectoryName(date.year, date.month, date.day));
    CreateMissingDirectory(path);
    path += L'\\';
    path += LogFileName(cardNumber);
    // Append access (no FILE_WRITE_DATA): the system writes at the end of the file, whatever
    // another program appended in between; read access only so that Append may lock.
    // Others may read and append meanwhile.
    HANDLE file = CreateFileW(ForFileSystem(path).c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return LogFile(file == INVALID_HANDLE_VALUE ? nullptr : file, std::move(path));
}

LogFile OpenCheckLog(std::string_view cardNumber) { return OpenCheckLog(cardNumber, TodayLocal()); }

LogWriteResult AppendBasicInfoRecord(std::string_view resultText, std::string_view detailText, const CardBasicInfo& card,
                                     const LogDate& date) {
    return WriteRecord(card.cardNumber, BasicInfoRecordText(resultText, detailText, card), date);
}

LogWriteResult AppendLiveCheckRecord(std::string_view cardNumber, std::string_view title, int code,
                                     std::string_view description, const LogDate& date) {
    return WriteRecord(cardNumber, LiveCheckRecordText(title, code, description), date);
}
