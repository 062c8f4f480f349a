// Appending the check records to LOG\YYYYMMDD\<card number>.txt below the working
// directory. Each record is one open, one write and one close; a record that could not be
// written whole is reported to the caller with the file it was meant for, so the operator
// learns of it (a check's outcome never depends on its log).
#pragma once

#include <string>
#include <string_view>

#include "app/CardData.h"

struct LogDate {
    int year;
    int month;
    int day;
};

// Today by the local clock.
LogDate TodayLocal();

// True when a file or directory of that name exists.
bool PathExists(const std::wstring& path);

// A log file opened for appending only: the system puts every write at the file's end, and
// writers take turns, so two programs appending to one file at the same time never
// overwrite each other, and a record written in one call is never split by another's.
// Move-only; closed at the end.
class LogFile {
public:
    LogFile() = default;
    LogFile(void* handle, std::wstring path) : handle_(handle), path_(std::move(path)) {}
    ~LogFile() { Close(); }
    LogFile(LogFile&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) { other.handle_ = nullptr; }
    LogFile& operator=(LogFile&& other) noexcept;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    explicit operator bool() const { return handle_ != nullptr; }
    // The file it is, or would have been when the open failed.
    const std::wstring& Path() const { return path_; }
    // Writes the bytes in one call; true when every byte was written.
    bool Append(std::string_view bytes);
    // True when the file was open and closed without an error.
    bool Close();

private:
    void* handle_ = nullptr;  // the open file's handle; null when not open
    std::wstring path_;       // the file's full path, as the operator may look for it
};

// Creates LOG and the day's directory when missing (failures ignored: the open then fails)
// and opens the card's file for appending, creating it when missing. Not open when that
// fails; Path() names the file either way.
LogFile OpenCheckLog(std::string_view cardNumber, const LogDate& date);
LogFile OpenCheckLog(std::string_view cardNumber);

// What became of one record: written whole or not, and the file it was meant for.
struct LogWriteResult {
    bool written;
    std::wstring path;
};

// The records, each in the card's file of `date` (today unless a caller says otherwise).
LogWriteResult AppendBasicInfoRecord(std::string_view resultText, std::string_view detailText, const CardBasicInfo& card,
                                     const LogDate& date = TodayLocal());
LogWriteResult AppendLiveCheckRecord(std::string_view cardNumber, std::string_view title, int code,
                                     std::string_view description, const LogDate& date = TodayLocal());
