#include "app/CheckLog.h"

#include <cstdint>
#include <cstdio>
#include <cwchar>

#include "framework/GbkText.h"

const char LOG_SEPARATOR_LINE[] = "[-------------------------------------------------------------------------]";

namespace {
const char* const kRecordLabels[CardBasicInfo::kFieldCount] = {
    "发卡地区行政区划代码：", "社会保障号码：", "卡号：",     "卡识别码：",   "姓名：",      "卡复位信息（仅取历史字节）：",
    "规范版本：",             "发卡日期：",     "卡有效期：", "终端机编号：", "终端设备号：",
};

void AppendLine(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

bool IsForbiddenInName(wchar_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || std::wcschr(L"\\/:*?\"<>|~", c) != nullptr;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// UTF-8 bytes of the character at name[i], and its length in UTF-16 units.
size_t Utf8Bytes(std::wstring_view name, size_t i, size_t* units) {
    wchar_t c = name[i];
    *units = IsHighSurrogate(c) && i + 1 < name.size() ? 2 : 1;
    return *units == 2 ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}

// Bytes the name takes in UTF-8: what the Unix file systems below Wine count.
size_t Utf8Length(std::wstring_view name) {
    size_t bytes = 0, units = 0;
    for (size_t i = 0; i < name.size(); i += units) bytes += Utf8Bytes(name, i, &units);
    return bytes;
}

// The longest beginning of the name within `maxBytes` UTF-8 bytes; a surrogate pair stays whole.
std::wstring CutToUtf8(std::wstring_view name, size_t maxBytes) {
    size_t end = 0, bytes = 0, units = 0;
    while (end < name.size()) {
        size_t more = Utf8Bytes(name, end, &units);
        if (bytes + more > maxBytes) break;
        bytes += more;
        end += units;
    }
    return std::wstring(name.substr(0, end));
}

// FNV-1a over the number's bytes, as "~" and eight upper-case hex digits.
std::wstring HashSuffix(std::string_view bytes) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char b : bytes) hash = (hash ^ b) * 16777619u;
    std::wstring suffix = L"~";
    for (int shift = 28; shift >= 0; shift -= 4) suffix += L"0123456789ABCDEF"[(hash >> shift) & 15];
    return suffix;
}
constexpr size_t kHashSuffixLength = 9;

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Windows takes these for devices whatever their case, also with an extension after a
// dot and with spaces before it; COM and LPT with 0-9 or a superscript 1-3, and the
// console's two.
bool IsDeviceName(std::wstring_view name) {
    std::wstring base;
    for (wchar_t c : name.substr(0, name.find(L'.'))) base += Upper(c);
    while (!base.empty() && base.back() == L' ') base.pop_back();
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" || base == L"CONOUT$")
        return true;
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0)) return false;
    wchar_t n = base[3];
    return (n >= L'0' && n <= L'9') || n == 0x00B9 || n == 0x00B2 || n == 0x00B3;
}
}  // namespace

std::string BasicInfoRecordText(std::string_view resultText, std::string_view detailText, const CardBasicInfo& card) {
    std::string out;
    AppendLine(out, LOG_SEPARATOR_LINE);
    out += "读基本信息检测结果：";
    AppendLine(out, resultText);
    AppendLine(out, detailText);
    AppendLine(out, "社会保障卡基本信息");
    for (int n = 1; n <= CardBasicInfo::kFieldCount; ++n) {
        out += kRecordLabels[n - 1];
        AppendLine(out, LogFieldText(card.Field(n)));
    }
    AppendLine(out, LOG_SEPARATOR_LINE);
    out += "\r\n";
    return out;
}

std::string LiveCheckRecordText(std::string_view title, int code, std::string_view description) {
    std::string out;
    AppendLine(out, LOG_SEPARATOR_LINE);
    AppendLine(out, title);
    AppendLine(out, code == 0 ? "检测通过！" : "检测失败！");
    if (code != 0) {
        out += "状态码:[" + std::to_string(code) + "] 错误信息:[";
        out += description;
        AppendLine(out, "]");
    }
    AppendLine(out, LOG_SEPARATOR_LINE);
    out += "\r\n";
    return out;
}

std::string DateDirectoryName(int year, int month, int day) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%4d%02d%02d", year, month, day);
    return buffer;
}

std::string LogFieldText(std::string_view field) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(field.size());
    for (unsigned char b : field) {
        if (b >= 0x20) {
            out += static_cast<char>(b);
            continue;
        }
        out += "\\x";
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::wstring LogFileName(std::string_view cardNumber) {
    std::wstring name;
    bool changed = !gbk::TryDecode(cardNumber, name);
    if (changed) name = gbk::ToWide(cardNumber);  // what cannot be decoded turns into a "?" or the like
    for (wchar_t& c : name) {
        if (!IsForbiddenInName(c)) continue;
        c = L'_';
        changed = true;
    }
    if (IsDeviceName(name)) {
        name.insert(0, 1, L'_');
        changed = true;
    }
    if (Utf8Length(name) > kMaxLogNameBytes) {
        name = CutToUtf8(name, kMaxLogNameBytes - kHashSuffixLength);
        changed = true;
    }
    if (changed) name += HashSuffix(cardNumber);
    return name + L".txt";
}

std::string LogWriteFailedText(std::wstring_view path) { return "检测记录未能写入日志文件：" + gbk::FromWide(path); }
