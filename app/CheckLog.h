// The check log's record texts and names, byte for byte. Pure text handling: the file
// system part is CheckLogFile.h. Records are GBK; every line ends in CR LF.
#pragma once

#include <string>
#include <string_view>

#include "app/CardData.h"

// "[" + 73 hyphens + "]": first and last line of every record.
extern const char LOG_SEPARATOR_LINE[];

// The record of a basic-information check. A text that itself ends in CR LF is written
// as it is, so it is followed by an empty line. The eleven fields come from the card and
// are written as LogFieldText gives them.
std::string BasicInfoRecordText(std::string_view resultText, std::string_view detailText, const CardBasicInfo& card);

// A card field as its line of the log holds it: each byte below 0x20 as \xHH (upper-case
// hex), every other byte as it is. A card then cannot end its line early and forge a
// separator line or a record of its own. (GBK trail bytes are 0x40 and above, so no
// character is split.)
std::string LogFieldText(std::string_view field);

// The record of a PIN reset or debit check; the code and description line only when the
// driver returned a non-zero code.
std::string LiveCheckRecordText(std::string_view title, int code, std::string_view description);

// The day's directory name, "%4d%02d%02d".
std::string DateDirectoryName(int year, int month, int day);

// Longest name, before ".txt", that a card number keeps as it is, counted in UTF-8 bytes:
// the Unix file systems below Wine allow 255 bytes a name, Windows 255 UTF-16 units, and a
// UTF-16 unit is never less than one UTF-8 byte.
constexpr size_t kMaxLogNameBytes = 200;

// The log file's name for a card number, in UTF-16. An ordinary number is its own name:
// the number decoded from GBK (so a trail byte 0x5C is no backslash), then ".txt". Any other
// gets a name of its own: undecodable bytes and each character a file name may not hold
// (\ / : * ? " < > |, control characters, and "~", which short 8.3 aliases are made of)
// become "_", a device name (CON, NUL, COM1, ...: Windows takes "CON.txt" for the device
// as well) gets "_" in front, a name longer than kMaxLogNameBytes is cut; then come "~" and
// eight hex digits of a hash of the number's bytes, and ".txt". An ordinary name holds no
// "~", so it never meets a changed one, and two changed ones meet only when both their
// shortened text and their hash agree.
std::wstring LogFileName(std::string_view cardNumber);

// The list line that tells the operator a check's record could not be written, naming the
// file it was meant for.
std::string LogWriteFailedText(std::wstring_view path);
