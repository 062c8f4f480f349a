#include "app/FieldRules.h"

#include <gtest/gtest.h>

#include <algorithm>
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

struct TextCase {
    const char* text;
    int expected;
};
}  // namespace

TEST(Predicates, CitizenIdNumber) {
    const TextCase cases[] = {
        {"111111198101011110", 1},  {"111111198101011111", 0}, {"410102198001010018", 1},
        {"15010219700101001X", 1},  {"15010219700101001x", 0},  // lower case fails before the sum
        {"11111119810101111A", 0},  {"1111111981010111A0", 0}, {"11111119810101111-", 0},
        {"11111119810101111", 0},   {"1111111981010111100", 0}, {"", 0},
    };
    for (const TextCase& c : cases) EXPECT_EQ(CheckCitizenIdNumber(c.text), c.expected == 1) << c.text;
}

TEST(Predicates, SocialSecurityNumberRule) {
    const TextCase cases[] = {
        {"CHN123", 1}, {"chn123", 0}, {"CHN  1", 1},  // bytes 4 and 5 are not examined
        {"CHN\xB0\xA1" "1", 1}, {"CHN12", 0}, {"CH1234", 0}, {"XYZ123", 0}, {"CHN123-", 0}, {"CHN12 3", 0},
        {"CHN12\xB0\xA1", 0}, {"CHN12abcXYZ0123456789", 1}, {"ANT123", 1}, {"BES123", 1}, {"CUW123", 1},
        {"SSD123", 1}, {"SXM123", 1}, {"ABW000", 1}, {"ZWE000", 1},
    };
    for (const TextCase& c : cases) EXPECT_EQ(CheckSocialSecurityNumberRule(c.text), c.expected == 1) << c.text;
}

TEST(Predicates, CountryCodesAscendingWithTheFourAdded) {
    ASSERT_EQ(COUNTRY_CODE_COUNT, 250u);
    auto less = [](const char* a, const char* b) { return std::strcmp(a, b) < 0; };
    EXPECT_TRUE(std::is_sorted(std::begin(COUNTRY_CODES), std::end(COUNTRY_CODES), less));
    EXPECT_EQ(std::adjacent_find(std::begin(COUNTRY_CODES), std::end(COUNTRY_CODES),
                                 [](const char* a, const char* b) { return std::strcmp(a, b) == 0; }),
              std::end(COUNTRY_CODES));
    for (const char* code : COUNTRY_CODES) EXPECT_TRUE(std::strlen(code) == 3 && IsAllLetters(code)) << code;
}

TEST(Predicates, LettersResetInfoAndChineseUnits) {
    const TextCase letters[] = {{"", 1}, {"abcXYZ", 1}, {"ab1", 0}, {"a b", 0}, {"\xC1\xA2", 0}, {"a@", 0}, {"a[", 0}};
    for (const TextCase& c : letters) EXPECT_EQ(IsAllLetters(c.text), c.expected == 1) << c.text;
    const TextCase resets[] = {{"00814E43238697159900BF7C7A", 1}, {"00814E43238697159900BF7C7G", 1},
                               {"00814E43238697159900BF7C7H", 0}, {"00814e43238697159900BF7C7A", 0}, {"0081 4E", 0}};
    for (const TextCase& c : resets) EXPECT_EQ(CheckResetInfo(c.text), c.expected == 1) << c.text;
    for (wchar_t u : {0x4E00, 0x9FA5, 0xE815, 0xE864, 0x00B7, 0xF92C, 0xFA0C, 0xFA0F, 0xFA11, 0xFA29})
        EXPECT_TRUE(IsChineseChar(u)) << std::hex << int(u);
    for (wchar_t u : {0x4DFF, 0x9FA6, 0xE814, 0xE865, 0xFA10, 0xFA12, 0xFA2A, 0x3000, int('A'), int('*')})
        EXPECT_FALSE(IsChineseChar(u)) << std::hex << int(u);
}

TEST(Predicates, NameFormat) {
    const TextCase cases[] = {
        {"李明", 0}, {"王珅", 0}, {"阿依·古丽", 0},  // U+00B7 counts as Chinese
        {"张*", 1}, {"张－三", 1}, {"张-三", 1}, {"Ａ张", 1},  // a full-width letter first: a Chinese name
        {"张A", -1}, {"张 三", -1}, {"张　三", -1}, {"张3", -1},
        {"John Smith", 0}, {"J.-R. O'Neil", 0}, {"John2", -1}, {"John李", -1}, {"John　Smith", -1},
        {"", 0}, {"\x81", 0}, {"\xCD\xF5\xFF\xFF", 0},  // cannot be decoded: counts as empty
    };
    for (const TextCase& c : cases) EXPECT_EQ(CheckNameFormat(c.text), c.expected) << c.text;
}

TEST(ApplyFieldRules, ValidCardHasNoFindings) {
    RuleOutcome outcome = ApplyFieldRules(ValidOtherProvinceCard());
    EXPECT_EQ(outcome.failureCount, 0);
    EXPECT_EQ(outcome.failureText, kHeadline);
    EXPECT_FALSE(outcome.ssnNote || outcome.versionNote || outcome.nameNote);
}

// Each field changed alone: the exact messages it leaves (none: the card passes).
TEST(ApplyFieldRules, EveryFailingStepAndWhatIsNotExamined) {
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
        {2, "\xD5\xC5" "123", {}}, {2, "-", {}},  // neither digit nor letter first: not examined
        {3, "", {"卡号为空。\r\n"}},
        {3, "X0000001", {"卡号不是9位。\r\n"}},
        {3, "X000000190", {"卡号不是9位。\r\n"}},
        {3, "-00000019", {"卡号格式不符合规范。\r\n"}},
        {3, "\xB0\xA1" "0000001", {"卡号格式不符合规范。\r\n"}},
        {3, "1--------", {}},  // only the first byte is examined
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
        {7, "2.0x", {}}, {7, "", {}},
        {8, "", {}}, {9, "garbage", {}}, {10, "", {}}, {11, "anything", {}},
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

TEST(ApplyFieldRules, FailuresInRuleOrder) {
    CardBasicInfo card;
    card.regionCode = "12";
    card.socialSecurityNumber = "abc123";
    card.cardNumber = "1";
    card.cardIdCode = "123456D156000005";
    card.name = "1";
    card.resetInfo = "x";
    card.specVersion = "9";
    RuleOutcome outcome = ApplyFieldRules(card);
    EXPECT_EQ(outcome.failureCount, 7);
    EXPECT_EQ(outcome.failureText, FailureText({"发卡地区行政区划代码不是6位数字。\r\n",
                                                "社会保障号码不符合社会保障号码校验规则。\r\n", "卡号不是9位。\r\n",
                                                "卡识别码不是32位。\r\n", "姓名格式不符合规范，此卡无法跨省使用。\r\n",
                                                "卡复位信息（仅取历史字节）不是26位数字。\r\n", "规范版本不符合规范。\r\n"}));
}

TEST(ApplyFieldRules, NotesRaiseFlagsOnly) {
    const char* shortList = "社会保障号码不是18位。如可通过卡鉴权，此卡可跨省使用。\r\n";
    const char* shortBracketed = "社会保障号码不是18位（如可通过卡鉴权，此卡可跨省使用）。";
    const char* checkList = "社会保障号码不符合公民身份号码校验规则。如可通过卡鉴权，此卡可跨省使用。\r\n";
    const char* checkBracketed = "社会保障号码不符合公民身份号码校验规则（如可通过卡鉴权，此卡可跨省使用）。";
    struct Case {
        int field;
        const char* value;
        const char* list;  // the number's note, else nullptr: the name's
        const char* bracketed;
    } cases[] = {
        {2, "11111119810101111", shortList, shortBracketed},
        {2, "1111111981010111100", shortList, shortBracketed},
        {2, "111111198101011111", checkList, checkBracketed},
        {2, "1111111981010111x0", checkList, checkBracketed},
        {5, "李*", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidOtherProvinceCard();
        card.Field(c.field) = c.value;
        RuleOutcome outcome = ApplyFieldRules(card);
        EXPECT_EQ(outcome.failureCount, 0) << c.value;
        EXPECT_EQ(outcome.failureText, kHeadline) << c.value;
        EXPECT_EQ(outcome.ssnNote, c.list != nullptr) << c.value;
        EXPECT_EQ(outcome.nameNote, c.list == nullptr) << c.value;
        EXPECT_FALSE(outcome.versionNote);
        EXPECT_EQ(outcome.ssnNoteList, c.list ? c.list : "") << c.value;
        EXPECT_EQ(outcome.ssnNoteBracketed, c.bracketed ? c.bracketed : "") << c.value;
    }
}

// The version rule by province: pass (nullptr, no note), note, or which failure.
TEST(ApplyFieldRules, SpecVersionByProvince) {
    const char* crossProvince = "规范版本不符合规范，此卡无法跨省使用。\r\n";
    const char* plain = "规范版本不符合规范。\r\n";
    const char* note = "note";
    struct Case {
        const char* region;
        const char* version;
        const char* expect;
    } cases[] = {
        {"150100", "", nullptr},       {"639900", "1.00", nullptr},    {"150100", "1.00", nullptr},
        {"330100", "3.0", nullptr},    {"140100", "2.00", nullptr},    {"150100", "2.00", note},
        {"150100", "2.0", note},       {"140100", "20", note},         {"150100", "2.1", note},
        {"350100", "2", note},         {"140100", "4.0", crossProvince}, {"350100", "1.1", crossProvince},
        {"330100", "20", crossProvince}, {"330100", "1.1", note},      {"330100", "10", note},
        {"639900", "4.0", plain},      {"639900", "20", plain},        {"410100", "2.1", plain},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = OfRegion(ValidOtherProvinceCard(), c.region);
        card.specVersion = c.version;
        RuleOutcome outcome = ApplyFieldRules(card);
        bool fails = c.expect && c.expect != note;
        std::string what = std::string(c.region) + " " + c.version;
        EXPECT_EQ(outcome.versionNote, c.expect == note) << what;
        EXPECT_EQ(outcome.failureCount, fails ? 1 : 0) << what;
        EXPECT_EQ(outcome.failureText, fails ? FailureText({c.expect}) : kHeadline) << what;
    }
}
