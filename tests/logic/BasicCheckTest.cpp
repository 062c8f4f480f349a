#include "app/BasicCheck.h"

#include <gtest/gtest.h>

#include <functional>

#include "TestCards.h"

namespace {
using Texts = std::vector<std::string>;
const std::string kPass = "读基本信息检测通过！";
const std::string kFailed = "检测失败，此卡不能跨省使用！";
const std::string kOtherProvince = "异地卡片，不进行消费交易、PIN重置检测！";
const std::string kHeadline = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n";
const std::string kSsnShort = "社会保障号码不是18位。如可通过卡鉴权，此卡可跨省使用。\r\n";
const std::string kEmptyVersion = "卡规范版本为空，建议去卡窗口补全!";
const std::string kVersion15 = "卡规范版本与卡结构不一致，建议去卡窗口处理!";
const std::string kVersion = "卡规范版本不符合规范，建议去卡窗口处理!";
const std::string kName = "姓名不符合规范，建议去卡窗口处理!";
}  // namespace

// Every way the verdict is composed: the card read at its own province's terminal unless
// the case moves it.
TEST(ComposeBasicVerdict, Variants) {
    struct Case {
        const char* what;
        std::function<void(CardBasicInfo&)> change;
        Texts list;
        std::string result, detail;
        bool enabled;
    } cases[] = {
        {"pass", [](CardBasicInfo&) {}, {kPass}, kPass, "", true},
        {"other province", [](CardBasicInfo& c) { c.terminalNumber = "410100813475"; },
         {kPass, kOtherProvince}, kPass, "", false},
        {"failure at home keeps the live checks", [](CardBasicInfo& c) { c.cardNumber = c.resetInfo = ""; },
         {kHeadline + "卡号为空。\r\n卡复位信息（仅取历史字节）为空。\r\n"}, kFailed,
         kHeadline + "卡号为空。\r\n卡复位信息（仅取历史字节）为空。\r\n", true},
        {"number note replaces the pass line and the other notes",
         [](CardBasicInfo& c) { c.socialSecurityNumber = "11111119810101111", c.specVersion = "", c.name = "李*"; },
         {kSsnShort}, kSsnShort, "", true},
        {"number note closes a failure text",
         [](CardBasicInfo& c) { c.socialSecurityNumber = "11111119810101111", c.cardNumber = "X0000001"; },
         {kHeadline + "卡号不是9位。\r\n社会保障号码不是18位（如可通过卡鉴权，此卡可跨省使用）。"}, kFailed,
         kHeadline + "卡号不是9位。\r\n社会保障号码不是18位（如可通过卡鉴权，此卡可跨省使用）。", true},
        {"a failing card shows no notes",
         [](CardBasicInfo& c) { c.regionCode = "15", c.specVersion = "2.5", c.name = "李*"; },
         {kHeadline + "发卡地区行政区划代码不是6位数字。\r\n", kOtherProvince}, kFailed,
         kHeadline + "发卡地区行政区划代码不是6位数字。\r\n", false},
        {"empty version", [](CardBasicInfo& c) { c.specVersion = ""; }, {kPass, kEmptyVersion}, kPass, kEmptyVersion,
         true},
        {"version note of 15", [](CardBasicInfo& c) { c = OfRegion(c, "150100"), c.terminalNumber = "15", c.specVersion = "2.0"; },
         {kPass, kVersion15}, kPass + kVersion15 + "|", "", true},
        {"version note of 33", [](CardBasicInfo& c) { c = OfRegion(c, "330100"), c.terminalNumber = "33", c.specVersion = "1.5"; },
         {kPass, kVersion}, kPass + kVersion + "|", "", true},
        {"version and name notes",
         [](CardBasicInfo& c) { c = OfRegion(c, "140100"), c.terminalNumber = "14", c.specVersion = "20", c.name = "李*"; },
         {kPass, kVersion, kName}, kPass + kVersion + "|" + kName + "|", "", true},
        {"name note", [](CardBasicInfo& c) { c.name = "李*"; }, {kPass, kName}, kPass + kName + "|", "", true},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidHomeCard();
        c.change(card);
        BasicVerdict v = ComposeBasicVerdict(card, ApplyFieldRules(card));
        EXPECT_EQ(v.listTexts, c.list) << c.what;
        EXPECT_EQ(v.resultText, c.result) << c.what;
        EXPECT_EQ(v.detailText, c.detail) << c.what;
        EXPECT_EQ(v.liveChecksEnabled, c.enabled) << c.what;
    }
}

TEST(ComposeBasicVerdict, ProvinceDecision) {
    struct Case {
        const char* region;
        const char* terminal;
        bool enabled;
    } cases[] = {
        {"639900", "639900000001", true}, {"639900", "410100813475", false}, {"639900", "6", false},
        {"", "", true}, {"6", "6", true}, {"6", "63", false}, {"639900", "", false},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidOtherProvinceCard();
        card.regionCode = c.region;
        card.terminalNumber = c.terminal;
        BasicVerdict v = ComposeBasicVerdict(card, ApplyFieldRules(card));
        EXPECT_EQ(v.liveChecksEnabled, c.enabled) << c.region << " / " << c.terminal;
        EXPECT_EQ(v.listTexts.back() == kOtherProvince, !c.enabled) << c.region << " / " << c.terminal;
    }
}

TEST(CheckTexts, ReadBasicErrors) {
    EXPECT_EQ(ReadBasicDriverErrorText(-2, "无卡"), "读基本信息检测失败！\r\n状态码：[-2] 错误描述：[无卡]");
    std::string longText(20479, 'e');  // a whole output buffer
    EXPECT_EQ(ReadBasicDriverErrorText(-2147483647 - 1, longText),
              "读基本信息检测失败！\r\n状态码：[-2147483648] 错误描述：[" + longText + "]");
    EXPECT_EQ(ReadBasicDriverErrorText(7, "%s%d"), "读基本信息检测失败！\r\n状态码：[7] 错误描述：[%s%d]");
    EXPECT_EQ(ReadBasicFieldErrorText(), "读基本信息检测失败！\r\n错误描述：[iReadBas函数返回数据有错！]");
}

TEST(CheckTexts, LiveChecks) {
    EXPECT_STREQ(LiveCheckPrompt(LiveCheck::PinReset), "PIN重置检测需要输入两次密码！");
    EXPECT_STREQ(LiveCheckPrompt(LiveCheck::Debit), "消费交易检测需要输入一次密码！");
    EXPECT_STREQ(LiveCheckLogTitle(LiveCheck::PinReset), "PIN重置检测结果：");
    EXPECT_STREQ(LiveCheckLogTitle(LiveCheck::Debit), "消费交易检测结果：");
    EXPECT_EQ(LiveCheckResultText(LiveCheck::PinReset, 0, "ignored"), "PIN重置检测通过！");
    EXPECT_EQ(LiveCheckResultText(LiveCheck::Debit, 0, ""), "消费交易检测通过！");
    EXPECT_EQ(LiveCheckResultText(LiveCheck::PinReset, -5, "X"), "PIN重置检测失败！\r\n状态码：[-5] 错误描述：[X]");
    std::string longText(299, '\xB0');
    EXPECT_EQ(LiveCheckResultText(LiveCheck::Debit, -51, longText),
              "消费交易检测失败！\r\n状态码：[-51] 错误描述：[" + longText + "]");
}
