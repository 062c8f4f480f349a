#include "demo/GridSettings.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The whole of `text` as a number: decimal with an optional minus, or 0x hex when allowed.
bool ReadNumber(std::string_view text, bool hexAllowed, int64_t* value) {
    int base = 10;
    if (hexAllowed && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    // from_chars takes no '+' and, for hex, no second sign: only digits remain to be read.
    if (text.empty() || text[0] == '+' || (base == 16 && text[0] == '-')) return false;
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, *value, base);
    return failure == std::errc() && stop == end;
}

std::string Accepted(const GridSettingInfo& s) {
    switch (s.kind) {
        case SettingKind::Bool: return "0 or 1";
        case SettingKind::Colour: return "a colour from 0 to 0xFFFFFF";
        case SettingKind::ColourOrDefault: return "a colour from 0 to 0xFFFFFF, or default";
        default: return "a number from " + std::to_string(s.lowest) + " to " + std::to_string(s.highest);
    }
}

std::vector<std::string> SplitAtBars(const char* text) {
    std::vector<std::string> parts(1);
    for (const char* p = text; *p; ++p) {
        if (*p == '|')
            parts.emplace_back();
        else
            parts.back().push_back(*p);
    }
    return parts;
}

}  // namespace

const std::vector<GridSettingInfo>& GridSettings() {
    static const std::vector<GridSettingInfo> settings = {
#define GRID_SETTING(name, kind, lowest, highest, text) {#name, SettingKind::kind, lowest, highest, text},
#include "demo/GridSettingList.h"
#undef GRID_SETTING
    };
    return settings;
}

int FindGridSetting(std::string_view name) {
    const auto& all = GridSettings();
    for (size_t i = 0; i < all.size(); ++i)
        if (name == all[i].name) return static_cast<int>(i);
    return -1;
}

bool ParseSettingValue(const GridSettingInfo& setting, std::string_view text, int64_t* value, std::string* error) {
    const bool colour = setting.kind == SettingKind::Colour || setting.kind == SettingKind::ColourOrDefault;
    const std::string lower = Lower(text);
    int64_t number = 0;
    bool ok;
    if (setting.kind == SettingKind::Bool && (lower == "true" || lower == "false")) {
        number = lower == "true";
        ok = true;
    } else if (setting.kind == SettingKind::ColourOrDefault && lower == "default") {
        number = kDefaultColourValue;
        ok = true;
    } else {
        ok = ReadNumber(text, colour, &number) && number >= setting.lowest && number <= setting.highest;
    }
    if (!ok) {
        if (error)
            *error = "--" + std::string(setting.name) + ": \"" + std::string(text) + "\" is not " + Accepted(setting) +
                     ".";
        return false;
    }
    *value = number;
    return true;
}

std::string ChoiceTitle(const GridSettingInfo& setting) { return SplitAtBars(setting.text).front(); }

std::vector<std::string> ChoiceLabels(const GridSettingInfo& setting) {
    std::vector<std::string> parts = SplitAtBars(setting.text);
    parts.erase(parts.begin());
    return parts;
}
