// The grid's public settings by name: their kinds, ranges and texts, and the reading of a
// value written on a command line. No window in it; GridSettingAccess.h reads and writes the
// members of a real grid.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class SettingKind {
    Bool,             // 0 or 1 (also written true / false)
    Int,              // a decimal number in the setting's range
    Choice,           // a number in the range, each value with a label for the menu
    Colour,           // a COLORREF 0x00BBGGRR, written in decimal or 0x hex
    ColourOrDefault,  // the same, or "default": the grid's own choice (CLR_DEFAULT)
};

struct GridSettingInfo {
    const char* name;  // the grid's member, and the command line's --<name>
    SettingKind kind;
    int64_t lowest;    // the range of values accepted
    int64_t highest;
    const char* text;  // what it does; for a Choice "title|label|label..."
};

// The value that leaves a colour to the grid (CLR_DEFAULT).
constexpr int64_t kDefaultColourValue = 0xFF000000;

// Every setting, in the order of GridSettingList.h.
const std::vector<GridSettingInfo>& GridSettings();
// The index of the setting named exactly `name`, or -1.
int FindGridSetting(std::string_view name);

// Reads `text` as a value of `setting`; false with `error` saying why (the name, the text,
// and what is accepted) when it is no such value.
bool ParseSettingValue(const GridSettingInfo& setting, std::string_view text, int64_t* value, std::string* error);

// For a Choice: the menu title, and the labels of the values lowest..highest.
std::string ChoiceTitle(const GridSettingInfo& setting);
std::vector<std::string> ChoiceLabels(const GridSettingInfo& setting);
