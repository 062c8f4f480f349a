// The check log's record texts and names, byte for byte. Pure text handling: the file
// system part is CheckLogFile.h. Records are GBK; every line ends in CR LF.
#pragma once

#include <string>
#include <string_view>

#include "app/CardData.h"

// "[" + 73 hyphens + "]": first and last line of every record.
extern const char LOG_SEPARATOR_LINE[];

// The record of a basic-information check. A text that itself ends in CR LF is written
// as it is, so it is followed by an empty line.
std::string BasicInfoRecordText(std::string_view resultText, std::string_view detailText, const CardBasicInfo& card);

// The record of a PIN reset or debit check; the code and description line only when the
// driver returned a non-zero code.
std::string LiveCheckRecordText(std::string_view title, int code, std::string_view description);

// The day's directory name, "%4d%02d%02d".
std::string DateDirectoryName(int year, int month, int day);

// The log file's name for a card number, in UTF-16: the number decoded from GBK (so a
// trail byte 0x5C is no backslash), each character a file name may not hold (\ / : * ? " < > |
// and control characters) replaced by "_", "_" put before a device name (CON, NUL,
// COM1, ...: Windows takes "CON.txt" for the device as well), then ".txt".
std::wstring LogFileName(std::string_view cardNumber);
