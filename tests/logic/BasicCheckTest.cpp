#include "app/BasicCheck.h"

#include <gtest/gtest.h>

#include "TestCards.h"

namespace {
using Texts = std::vector<std::string>;
const char* kPass = "读基本信息检测通过！";
const char* kOtherProvince = "异地卡片，不进行消费交易、PIN重置检测！";
const char* kHeadline = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n";
const char* kSsnShortList = "社会保障号码不是18位。如可通过卡鉴权，此卡可跨省使用。\r\n";

BasicVerdict Judge(const CardBasicInfo& card) { return ComposeBasicVerdict(card, ApplyFieldRules(card)); }
}  // namespace

TEST(ComposeBasicVerdict, PassingCardOfAnotherProvince) {
    BasicVerdict v = Judge(ValidOtherProvinceCard());
    EXPECT_EQ(v.listTexts, (Texts{kPass, kOtherProvince}));
    EXPECT_EQ(v.resultText, kPass);
    EXPECT_EQ(v.detailText, "");
    EXPECT_FALSE(v.liveChecksEnabled);
}

TEST(ComposeBasicVerdict, PassingCardOfTheTerminalsProvince) {
    CardBasicInfo card = ValidOtherProvinceCard();
    card.terminalNumber = "63";
    BasicVerdict v = Judge(card);
    EXPECT_EQ(v.listTexts, (Texts{kPass}));
    EXPECT_TRUE(v.liveChecksEnabled);
}

TEST(ComposeBasicVerdict, ProvinceDecision) {
    struct Case {
        const char* region;
        const char* terminal;
        bool enabled;
    } cases[] = {
        {"639900", "639900000001", true}, {"639900", "410100813475", false}, {"639900", "6", false},
        {"", "", true},                   {"6", "6", true},                 {"6", "63", false},
        {"639900", "64", false},          {"639900", "", false},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidOtherProvinceCard();
        card.regionCode = c.region;
        card.terminalNumber = c.terminal;
        BasicVerdict v = Judge(card);
        EXPECT_EQ(v.liveChecksEnabled, c.enabled) << c.region << " / " << c.terminal;
        bool warned = !v.listTexts.empty() && v.listTexts.back() == kOtherProvince;
        EXPECT_EQ(warned, !c.enabled) << c.region << " / " << c.terminal;
    }
}

TEST(ComposeBasicVerdict, FailingCardOfTheTerminalsProvinceKeepsTheLiveChecks) {
    CardBasicInfo card = ValidHomeCard();
    card.cardNumber = "";
    card.resetInfo = "";
    BasicVerdict v = Judge(card);
    std::string failure = std::string(kHeadline) + "卡号为空。\r\n卡复位信息（仅取历史字节）为空。\r\n";
    EXPECT_EQ(v.listTexts, (Texts{failure}));
    EXPECT_EQ(v.resultText, "检测失败，此卡不能跨省使用！");
    EXPECT_EQ(v.detailText, failure);
    EXPECT_TRUE(v.liveChecksEnabled);
}

TEST(ComposeBasicVerdict, NumberNoteReplacesThePassLineAndTheOtherNotes) {
    CardBasicInfo card = ValidOtherProvinceCard();
    card.socialSecurityNumber = "11111119810101111";
    card.specVersion = "";  // would give its own note
    card.name = "李*";      // likewise
    BasicVerdict v = Judge(card);
    EXPECT_EQ(v.listTexts, (Texts{kSsnShortList, kOtherProvince}));
    EXPECT_EQ(v.resultText, kSsnShortList);
    EXPECT_EQ(v.detailText, "");
}

TEST(ComposeBasicVerdict, NumberNoteOnAFailingCardClosesTheFailureText) {
    CardBasicInfo card = ValidHomeCard();
    card.socialSecurityNumber = "11111119810101111";
    card.cardNumber = "X0000001";
    BasicVerdict v = Judge(card);
    std::string failure = std::string(kHeadline) + "卡号不是9位。\r\n" + "社会保障号码不是18位（如可通过卡鉴权，此卡可跨省使用）。";
    EXPECT_EQ(v.listTexts, (Texts{failure}));
    EXPECT_EQ(v.detailText, failure);
    EXPECT_EQ(v.resultText, "检测失败，此卡不能跨省使用！");
}

TEST(ComposeBasicVerdict, FailingCardShowsNoNotes) {
    CardBasicInfo card = ValidHomeCard();
    card.regionCode = "15";  // fails, and makes a 2.x version a note
    card.specVersion = "2.5";
    card.name = "李*";
    BasicVerdict v = Judge(card);
    EXPECT_EQ(v.listTexts, (Texts{std::string(kHeadline) + "发卡地区行政区划代码不是6位数字。\r\n", kOtherProvince}));
}

TEST(ComposeBasicVerdict, EmptyVersionNote) {
    CardBasicInfo card = ValidHomeCard();
    card.specVersion = "";
    BasicVerdict v = Judge(card);
    EXPECT_EQ(v.listTexts, (Texts{kPass, "卡规范版本为空，建议去卡窗口补全!"}));
    EXPECT_EQ(v.resultText, kPass);
    EXPECT_EQ(v.detailText, "卡规范版本为空，建议去卡窗口补全!");
}

TEST(ComposeBasicVerdict, VersionNoteByProvince) {
    struct Case {
        const char* region;
        const char* version;
        const char* note;
    } cases[] = {
        {"150100", "2.0", "卡规范版本与卡结构不一致，建议去卡窗口处理!"},
        {"150100", "2.9", "卡规范版本与卡结构不一致，建议去卡窗口处理!"},
        {"140100", "20", "卡规范版本不符合规范，建议去卡窗口处理!"},
        {"350100", "2.9", "卡规范版本不符合规范，建议去卡窗口处理!"},
        {"330100", "1.5", "卡规范版本不符合规范，建议去卡窗口处理!"},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = OfRegion(ValidHomeCard(), c.region);
        card.terminalNumber = c.region;
        card.specVersion = c.version;
        BasicVerdict v = Judge(card);
        EXPECT_EQ(v.listTexts, (Texts{kPass, c.note})) << c.region << " " << c.version;
        EXPECT_EQ(v.resultText, std::string(kPass) + c.note + "|") << c.region << " " << c.version;
        EXPECT_EQ(v.detailText, "");
    }
}

TEST(ComposeBasicVerdict, NameNoteAfterTheVersionNote) {
    CardBasicInfo card = OfRegion(ValidHomeCard(), "140100");
    card.terminalNumber = "14";
    card.specVersion = "20";
    card.name = "李*";
    BasicVerdict v = Judge(card);
    EXPECT_EQ(v.listTexts, (Texts{kPass, "卡规范版本不符合规范，建议去卡窗口处理!", "姓名不符合规范，建议去卡窗口处理!"}));
    EXPECT_EQ(v.resultText,
              std::string(kPass) + "卡规范版本不符合规范，建议去卡窗口处理!|姓名不符合规范，建议去卡窗口处理!|");

    card = ValidHomeCard();
    card.name = "李*";
    v = Judge(card);
    EXPECT_EQ(v.listTexts, (Texts{kPass, "姓名不符合规范，建议去卡窗口处理!"}));
    EXPECT_EQ(v.resultText, std::string(kPass) + "姓名不符合规范，建议去卡窗口处理!|");
}

TEST(CheckTexts, ReadBasicErrors) {
    EXPECT_EQ(ReadBasicDriverErrorText(-2, "无卡"), "读基本信息检测失败！\r\n状态码：[-2] 错误描述：[无卡]");
    EXPECT_EQ(ReadBasicDriverErrorText(7, ""), "读基本信息检测失败！\r\n状态码：[7] 错误描述：[]");
    std::string longText(20479, 'e');  // a whole output buffer
    std::string text = ReadBasicDriverErrorText(-2147483647 - 1, longText);
    EXPECT_EQ(text, "读基本信息检测失败！\r\n状态码：[-2147483648] 错误描述：[" + longText + "]");
    EXPECT_EQ(ReadBasicDriverErrorText(-1, "%s%d"), "读基本信息检测失败！\r\n状态码：[-1] 错误描述：[%s%d]");
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
