// Appending the check records to LOG\YYYYMMDD\<card number>.txt below the working
// directory. Each record is one open-write-close; a file that cannot be opened skips the
// record without a word, as a check's outcome never depends on its log.
#pragma once

#include <cstdio>
#include <memory>
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

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using LogFile = std::unique_ptr<std::FILE, FileCloser>;

// True when a file or directory of that name exists.
bool PathExists(const std::wstring& path);

// Creates LOG and the day's directory when missing (failures ignored) and opens the card's
// file for binary appending, so CR LF is written as it is. Empty when it cannot be opened.
LogFile OpenCheckLog(std::string_view cardNumber, const LogDate& date);
LogFile OpenCheckLog(std::string_view cardNumber);

// The records; false when the file could not be opened (nothing else is reported).
bool AppendBasicInfoRecord(std::string_view resultText, std::string_view detailText, const CardBasicInfo& card);
bool AppendLiveCheckRecord(std::string_view cardNumber, std::string_view title, int code, std::string_view description);
