#include "app/FieldRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestCards.h"

namespace {
const std::string kHeadline = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n";

std::string FailureText(const std::vector<const char*>& messages) {
    std::string text = kHeadline;
    for (const char* m : messages) text += m;
    return text;
}
}  // namespace

TEST(CheckCitizenIdNumber, WeightedSumModEleven) {
    struct Case {
        const char* number;
        bool valid;
    } cases[] = {
        {"111111198101011110", true},   // S = 133, remainder 1, check character 0
        {"111111198101011111", false},
        {"410102198001010018", true},
        {"15010219700101001X", true},   // remainder 2
        {"15010219700101001x", false},  // lower case fails before the sum
        {"150102197001010010", false},
        {"11111119810101111A", false},  // a letter, but not the check character
        {"1111111981010111A0", false},  // letters only in the last place
        {"11111119810101111-", false},
        {"11111119810101111", false},   // 17 characters
        {"1111111981010111100", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckCitizenIdNumber(c.number), c.valid) << c.number;
}

TEST(CheckCitizenIdNumber, Tables) {
    const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    EXPECT_EQ(0, std::memcmp(ID_WEIGHTS, weights, sizeof weights));
    EXPECT_EQ(std::string(ID_CHECK_CHARACTERS, 11), "10X98765432");
}

TEST(CheckSocialSecurityNumberRule, CountryCodeThenLettersAndDigits) {
    struct Case {
        const char* number;
        bool valid;
    } cases[] = {
        {"CHN123", true},
        {"chn123", false},  // letters, but no code is lower case
        {"CHN  1", true},   // bytes 4 and 5 are not examined
        {"CHN\xB0\xA1" "1", true},
        {"CHN12", false},   // five bytes
        {"CH1234", false},
        {"XYZ123", false},  // not a country code
        {"CHN123-", false},
        {"CHN12 3", false},
        {"CHN12\xB0\xA1", false},
        {"CHN12abcXYZ0123456789", true},
        {"ANT123", true},   // kept although withdrawn
        {"BES123", true}, {"CUW123", true}, {"SSD123", true}, {"SXM123", true},
        {"ABW000", true}, {"ZWE000", true},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckSocialSecurityNumberRule(c.number), c.valid) << c.number;
}

TEST(CountryCodes, AscendingUpperCaseTripletsWithTheFourAdded) {
    ASSERT_EQ(COUNTRY_CODE_COUNT, 250u);
    for (size_t i = 0; i < COUNTRY_CODE_COUNT; ++i) {
        std::string code = COUNTRY_CODES[i];
        ASSERT_EQ(code.size(), 3u) << i;
        for (char c : code) EXPECT_TRUE(c >= 'A' && c <= 'Z') << code;
        if (i > 0) EXPECT_LT(std::string(COUNTRY_CODES[i - 1]), code);
    }
    auto has = [](const char* code) {
        for (const char* c : COUNTRY_CODES)
            if (std::strcmp(c, code) == 0) return true;
        return false;
    };
    for (const char* code : {"BES", "CUW", "SSD", "SXM", "ANT", "CHN", "ALA", "MAF", "BLM"}) EXPECT_TRUE(has(code)) << code;
}

TEST(Predicates, LettersAndResetInfo) {
    EXPECT_TRUE(IsAllLetters(""));
    EXPECT_TRUE(IsAllLetters("abcXYZ"));
    EXPECT_FALSE(IsAllLetters("ab1"));
    EXPECT_FALSE(IsAllLetters("a b"));
    EXPECT_FALSE(IsAllLetters("\xC1\xA2"));
    EXPECT_FALSE(IsAllLetters("a@"));  // 0x40, next to the letters
    EXPECT_FALSE(IsAllLetters("a["));  // 0x5B

    EXPECT_TRUE(CheckResetInfo("00814E43238697159900BF7C7A"));
    EXPECT_TRUE(CheckResetInfo("00814E43238697159900BF7C7G"));
    EXPECT_FALSE(CheckResetInfo("00814E43238697159900BF7C7H"));
    EXPECT_FALSE(CheckResetInfo("00814e43238697159900BF7C7A"));
    EXPECT_FALSE(CheckResetInfo("0081 4E"));
}

TEST(IsChineseChar, RangesAndSingles) {
    for (wchar_t u : {0x4E00, 0x738B, 0x9FA5, 0xE815, 0xE864, 0x00B7, 0xF92C, 0xFA0C, 0xFA0F, 0xFA11, 0xFA29})
        EXPECT_TRUE(IsChineseChar(u)) << std::hex << int(u);
    for (wchar_t u : {0x4DFF, 0x9FA6, 0xE814, 0xE865, 0xFA10, 0xFA12, 0xFA2A, 0x3000, int('A'), int('*')})
        EXPECT_FALSE(IsChineseChar(u)) << std::hex << int(u);
}

TEST(CheckNameFormat, ChineseAndLatinNames) {
    struct Case {
        const char* name;
        int result;
    } cases[] = {
        {"李明", 0},
        {"王珅", 0},
        {"阿依·古丽", 0},     // U+00B7 counts as Chinese
        {"张*", 1},
        {"张－三", 1},         // a full-width hyphen
        {"张-三", 1},
        {"Ａ张", 1},           // a full-width letter first: a Chinese name
        {"张A", -1},
        {"张 三", -1},
        {"张　三", -1},        // U+3000
        {"张3", -1},
        {"John Smith", 0},
        {"J.-R. O'Neil", 0},
        {"John2", -1},
        {"John李", -1},
        {"John　Smith", -1},
        {"", 0},
        {"\x81", 0},           // cannot be decoded: counts as empty
        {"\xCD\xF5\xFF\xFF", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckNameFormat(c.name), c.result) << c.name;
}

TEST(FieldRules, InTheirOrder) {
    const char* fields[] = {"regionCode", "socialSecurityNumber", "cardNumber", "cardIdCode",
                            "name",       "resetInfo",            "specVersion"};
    for (int i = 0; i < FIELD_RULE_COUNT; ++i) EXPECT_STREQ(FIELD_RULES[i].field, fields[i]);
}

TEST(ApplyFieldRules, ValidCardHasNoFindings) {
    RuleOutcome outcome = ApplyFieldRules(ValidOtherProvinceCard());
    EXPECT_EQ(outcome.failureCount, 0);
    EXPECT_EQ(outcome.failureText, kHeadline);
    EXPECT_FALSE(outcome.ssnNote || outcome.versionNote || outcome.nameNote);
}

// Each failing step of each rule, with the exact messages it leaves.
TEST(ApplyFieldRules, EveryFailingStep) {
    struct Case {
        int field;
        const char* value;
        std::vector<const char*> messages;
    } cases[] = {
        {1, "", {"发卡地区行政区划代码为空。\r\n"}},
        {1, "63990", {"发卡地区行政区划代码不是6位数字。\r\n"}},
        {1, "6399.0", {"发卡地区行政区划代码不是6位数字。\r\n"}},
        {1, "6399000", {"发卡地区行政区划代码不是6位数字。\r\n"}},
        {1, "639901", {"发卡地区行政区划代码与卡识别码前6位不一致。\r\n"}},
        {2, "", {"社会保障号码为空。\r\n"}},
        {2, "chn123", {"社会保障号码不符合社会保障号码校验规则。\r\n"}},
        {2, "CHN12", {"社会保障号码不符合社会保障号码校验规则。\r\n"}},
        {3, "", {"卡号为空。\r\n"}},
        {3, "X0000001", {"卡号不是9位。\r\n"}},
        {3, "X000000190", {"卡号不是9位。\r\n"}},
        {3, "-00000019", {"卡号格式不符合规范。\r\n"}},
        {3, "\xB0\xA1" "0000001", {"卡号格式不符合规范。\r\n"}},
        {4, "", {"发卡地区行政区划代码与卡识别码前6位不一致。\r\n", "卡识别码为空。\r\n"}},
        {4, "63990", {"发卡地区行政区划代码与卡识别码前6位不一致。\r\n", "卡识别码不是32位。\r\n"}},
        {4, "639900D15600000500BF7C7A48FB496", {"卡识别码不是32位。\r\n"}},
        {4, "639900D15600000600BF7C7A48FB4966", {"卡识别码应用标识符不符合规范。\r\n"}},
        {4, "639900d15600000500BF7C7A48FB4966", {"卡识别码应用标识符不符合规范。\r\n"}},
        {5, "", {"姓名为空。\r\n"}},
        {5, "李A", {"姓名格式不符合规范，此卡无法跨省使用。\r\n"}},
        {6, "", {"卡复位信息（仅取历史字节）为空。\r\n"}},
        {6, "00814E43238697159900BF7C7", {"卡复位信息（仅取历史字节）不是26位数字。\r\n"}},
        {6, "00814E43238697159900BF7C7H", {"卡复位信息（仅取历史字节）不是26位数字。\r\n"}},
        {6, "00814e43238697159900BF7C7A", {"卡复位信息（仅取历史字节）不是26位数字。\r\n"}},
        {7, "4.0", {"规范版本不符合规范。\r\n"}},
        {7, "1.", {"规范版本不符合规范。\r\n"}},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidOtherProvinceCard();
        card.Field(c.field) = c.value;
        RuleOutcome outcome = ApplyFieldRules(card);
        EXPECT_EQ(outcome.failureText, FailureText(c.messages)) << c.field << " = " << c.value;
        EXPECT_EQ(outcome.failureCount, static_cast<int>(c.messages.size())) << c.field << " = " << c.value;
        EXPECT_FALSE(outcome.ssnNote || outcome.versionNote || outcome.nameNote) << c.field << " = " << c.value;
    }
}

TEST(ApplyFieldRules, FieldsWithoutRuleOrUnexaminedArePassed) {
    struct Case {
        int field;
        const char* value;
    } cases[] = {
        {2, "\xD5\xC5" "123"},  // first byte neither digit nor letter: not examined
        {2, "-"},
        {3, "1--------"},       // only the first byte's kind is examined
        {6, "00814E43238697159900BF7C7G"},
        {7, "1.0"}, {7, "2.0x"}, {7, "3.01"},
        {8, ""}, {9, "garbage"}, {10, ""}, {11, "anything"},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidOtherProvinceCard();
        card.Field(c.field) = c.value;
        RuleOutcome outcome = ApplyFieldRules(card);
        EXPECT_EQ(outcome.failureCount, 0) << c.field << " = " << c.value;
        EXPECT_FALSE(outcome.ssnNote || outcome.versionNote || outcome.nameNote) << c.field << " = " << c.value;
    }
}

TEST(ApplyFieldRules, FailuresInRuleOrder) {
    CardBasicInfo card;  // every field empty
    card.regionCode = "12";
    card.socialSecurityNumber = "abc123";
    card.cardNumber = "1";
    card.cardIdCode = "123456D156000005";
    card.name = "1";  // a digit first: a "Chinese" name with a digit
    card.resetInfo = "x";
    card.specVersion = "9";
    RuleOutcome outcome = ApplyFieldRules(card);
    EXPECT_EQ(outcome.failureCount, 7);
    EXPECT_EQ(outcome.failureText, FailureText({"发卡地区行政区划代码不是6位数字。\r\n",
                                                "社会保障号码不符合社会保障号码校验规则。\r\n", "卡号不是9位。\r\n",
                                                "卡识别码不是32位。\r\n", "姓名格式不符合规范，此卡无法跨省使用。\r\n",
                                                "卡复位信息（仅取历史字节）不是26位数字。\r\n", "规范版本不符合规范。\r\n"}));
}

TEST(ApplyFieldRules, SocialSecurityNumberNotes) {
    struct Case {
        const char* number;
        const char* list;
        const char* bracketed;
    } cases[] = {
        {"11111119810101111", "社会保障号码不是18位。如可通过卡鉴权，此卡可跨省使用。\r\n",
         "社会保障号码不是18位（如可通过卡鉴权，此卡可跨省使用）。"},
        {"1111111981010111100", "社会保障号码不是18位。如可通过卡鉴权，此卡可跨省使用。\r\n",
         "社会保障号码不是18位（如可通过卡鉴权，此卡可跨省使用）。"},
        {"111111198101011111", "社会保障号码不符合公民身份号码校验规则。如可通过卡鉴权，此卡可跨省使用。\r\n",
         "社会保障号码不符合公民身份号码校验规则（如可通过卡鉴权，此卡可跨省使用）。"},
        {"1111111981010111x0", "社会保障号码不符合公民身份号码校验规则。如可通过卡鉴权，此卡可跨省使用。\r\n",
         "社会保障号码不符合公民身份号码校验规则（如可通过卡鉴权，此卡可跨省使用）。"},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidOtherProvinceCard();
        card.socialSecurityNumber = c.number;
        RuleOutcome outcome = ApplyFieldRules(card);
        EXPECT_EQ(outcome.failureCount, 0) << c.number;
        EXPECT_EQ(outcome.failureText, kHeadline) << c.number;
        EXPECT_TRUE(outcome.ssnNote) << c.number;
        EXPECT_EQ(outcome.ssnNoteList, c.list) << c.number;
        EXPECT_EQ(outcome.ssnNoteBracketed, c.bracketed) << c.number;
    }
}

TEST(ApplyFieldRules, NameNote) {
    CardBasicInfo card = ValidOtherProvinceCard();
    card.name = "李*";
    RuleOutcome outcome = ApplyFieldRules(card);
    EXPECT_EQ(outcome.failureCount, 0);
    EXPECT_TRUE(outcome.nameNote);
    EXPECT_FALSE(outcome.ssnNote || outcome.versionNote);
}

// Rule 7 by province: pass, note, or which failure.
TEST(ApplyFieldRules, SpecVersionByProvince) {
    const char* crossProvince = "规范版本不符合规范，此卡无法跨省使用。\r\n";
    const char* plain = "规范版本不符合规范。\r\n";
    enum Expect { Pass, Note, Fail };
    struct Case {
        const char* region;
        const char* version;
        Expect expect;
        const char* message;
    } cases[] = {
        {"639900", "", Pass, nullptr},     {"150100", "", Pass, nullptr},     {"330100", "", Pass, nullptr},
        {"639900", "1.00", Pass, nullptr}, {"150100", "1.00", Pass, nullptr}, {"330100", "3.0", Pass, nullptr},
        {"140100", "2.00", Pass, nullptr}, {"150100", "2.00", Note, nullptr}, {"150100", "2.0", Note, nullptr},
        {"140100", "20", Note, nullptr},   {"150100", "2.1", Note, nullptr},  {"350100", "2", Note, nullptr},
        {"140100", "4.0", Fail, crossProvince}, {"350100", "1.1", Fail, crossProvince},
        {"330100", "20", Fail, crossProvince},  {"330100", "1.1", Note, nullptr},
        {"330100", "10", Note, nullptr},        {"639900", "4.0", Fail, plain},
        {"639900", "20", Fail, plain},          {"410100", "2.1", Fail, plain},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = OfRegion(ValidOtherProvinceCard(), c.region);
        card.specVersion = c.version;
        RuleOutcome outcome = ApplyFieldRules(card);
        std::string what = std::string(c.region) + " " + c.version;
        EXPECT_EQ(outcome.versionNote, c.expect == Note) << what;
        EXPECT_EQ(outcome.failureCount, c.expect == Fail ? 1 : 0) << what;
        EXPECT_EQ(outcome.failureText, c.expect == Fail ? FailureText({c.message}) : kHeadline) << what;
    }
}
