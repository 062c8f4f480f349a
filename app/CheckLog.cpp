#include "app/CheckLog.h"

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
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || std::wcschr(L"\\/:*?\"<>|", c) != nullptr;
}

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Windows takes these for devices whatever their case, also with an extension after a
// dot and with spaces before it; COM and LPT with 0-9 or a superscript 1-3.
bool IsDeviceName(std::wstring_view name) {
    std::wstring base;
    for (wchar_t c : name.substr(0, name.find(L'.'))) base += Upper(c);
    while (!base.empty() && base.back() == L' ') base.pop_back();
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL") return true;
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
        AppendLine(out, card.Field(n));
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

std::wstring LogFileName(std::string_view cardNumber) {
    std::wstring name = gbk::ToWide(cardNumber);
    for (wchar_t& c : name)
        if (IsForbiddenInName(c)) c = L'_';
    if (IsDeviceName(name)) name.insert(0, 1, L'_');
    return name + L".txt";
}
