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

bool WriteRecord(std::string_view cardNumber, const std::string& record) {
    LogFile file = OpenCheckLog(cardNumber);
    if (!file) return false;
    std::fwrite(record.data(), 1, record.size(), file.get());
    return true;
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

LogFile OpenCheckLog(std::string_view cardNumber, const LogDate& date) {
    std::wstring path = WorkingDirectory();
    if (path.empty()) return nullptr;
    if (path.back() != L'\\') path += L'\\';  // a drive's root already ends in one
    path += L"LOG";
    CreateMissingDirectory(path);
    path += L'\\';
    path += gbk::ToWide(DateDirectoryName(date.year, date.month, date.day));
    CreateMissingDirectory(path);
    path += L'\\';
    path += LogFileName(cardNumber);
    return LogFile(_wfopen(ForFileSystem(path).c_str(), L"ab"));
}

LogFile OpenCheckLog(std::string_view cardNumber) { return OpenCheckLog(cardNumber, TodayLocal()); }

bool AppendBasicInfoRecord(std::string_view resultText, std::string_view detailText, const CardBasicInfo& card) {
    return WriteRecord(card.cardNumber, BasicInfoRecordText(resultText, detailText, card));
}

bool AppendLiveCheckRecord(std::string_view cardNumber, std::string_view title, int code, std::string_view description) {
    return WriteRecord(cardNumber, LiveCheckRecordText(title, code, description));
}
