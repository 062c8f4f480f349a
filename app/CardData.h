// A card's basic information as the reader driver delivers it, and the card reference
// that the live checks hand back to the driver. Pure text handling: no platform header.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The eleven fields in the order the driver writes them; field n (1..11) is grid row n.
struct CardBasicInfo {
    static constexpr int kFieldCount = 11;

    std::string regionCode;            // 1
    std::string socialSecurityNumber;  // 2
    std::string cardNumber;            // 3
    std::string cardIdCode;            // 4
    std::string name;                  // 5
    std::string resetInfo;             // 6
    std::string specVersion;           // 7
    std::string issueDate;             // 8
    std::string expiryDate;            // 9
    std::string terminalNumber;        // 10
    std::string terminalDeviceNumber;  // 11

    // Field n, 1..kFieldCount; n outside that range is a programming error (asserted).
    std::string& Field(int n);
    const std::string& Field(int n) const;
};

// The grid's label of field n (1..11), and "基本信息头" for 0; empty outside 0..11.
const char* FieldLabel(int n);

// Field n (n >= 1) of a text in which every field is followed by `separator`.
// Nothing when the text is empty, ends before the n-th separator, or n < 1; bytes after
// the last separator never form a field. The scan is GBK-aware: a lead byte 0x81-0xFE
// and the byte after it are one character, so a trail byte equal to the separator
// (珅 is AB 7C, and 7C is "|") stays inside its field.
std::optional<std::string> ExtractField(std::string_view text, char separator, int n);

// Splits the driver's output into the eleven "|"-terminated fields; text after the
// eleventh "|" is ignored. Nothing when fewer than eleven fields are there.
std::optional<CardBasicInfo> ParseCardBasicInfo(std::string_view driverOutput);

// The province of a region code (or of a terminal number): its first two bytes, fewer
// when it is shorter.
std::string_view ProvinceCode(std::string_view code);

// cardIdCode + "|" + cardNumber + "|", whatever their length.
std::string MakeCardReference(const CardBasicInfo& info);

// The card number held in a card reference (its second "|"-terminated field, read the
// same GBK-aware way the fields were split); empty when there is none.
std::string CardNumberOfReference(std::string_view cardReference);
