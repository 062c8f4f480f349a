#include "app/CardData.h"

#include <cassert>

#include "framework/GbkText.h"

namespace {
// Member of field n, in driver order.
std::string CardBasicInfo::*const kFields[CardBasicInfo::kFieldCount] = {
    &CardBasicInfo::regionCode,  &CardBasicInfo::socialSecurityNumber, &CardBasicInfo::cardNumber,
    &CardBasicInfo::cardIdCode,  &CardBasicInfo::name,                 &CardBasicInfo::resetInfo,
    &CardBasicInfo::specVersion, &CardBasicInfo::issueDate,            &CardBasicInfo::expiryDate,
    &CardBasicInfo::terminalNumber, &CardBasicInfo::terminalDeviceNumber,
};

const char* const kLabels[CardBasicInfo::kFieldCount + 1] = {
    "基本信息头", "发卡地区行政区划代码", "社会保障号码", "卡号", "卡识别码", "姓名", "复位信息",
    "规范版本",   "发卡日期",             "卡有效期",     "终端机编号", "终端设备号",
};
}  // namespace

std::string& CardBasicInfo::Field(int n) {
    assert(n >= 1 && n <= kFieldCount);
    return this->*kFields[n - 1];
}

const std::string& CardBasicInfo::Field(int n) const {
    assert(n >= 1 && n <= kFieldCount);
    return this->*kFields[n - 1];
}

const char* FieldLabel(int n) {
    return (n >= 0 && n <= CardBasicInfo::kFieldCount) ? kLabels[n] : "";
}

std::optional<std::string> ExtractField(std::string_view text, char separator, int n) {
    if (n < 1) return std::nullopt;
    size_t fieldStart = 0;
    int k = 0;
    for (size_t i = 0; i < text.size();) {
        size_t len = gbk::CharLength(text, i);
        if (len == 1 && text[i] == separator) {
            if (++k == n) return std::string(text.substr(fieldStart, i - fieldStart));
            fieldStart = i + 1;
        }
        i += len;
    }
    return std::nullopt;
}

std::optional<CardBasicInfo> ParseCardBasicInfo(std::string_view driverOutput) {
    CardBasicInfo info;
    for (int n = 1; n <= CardBasicInfo::kFieldCount; ++n) {
        std::optional<std::string> field = ExtractField(driverOutput, '|', n);
        if (!field) return std::nullopt;
        info.Field(n) = std::move(*field);
    }
    return info;
}

std::string_view ProvinceCode(std::string_view code) { return code.substr(0, 2); }

std::string MakeCardReference(const CardBasicInfo& info) {
    return info.cardIdCode + "|" + info.cardNumber + "|";
}

std::string CardNumberOfReference(std::string_view cardReference) {
    return ExtractField(cardReference, '|', 2).value_or(std::string());
}
