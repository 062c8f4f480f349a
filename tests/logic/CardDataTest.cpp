#include "app/CardData.h"

#include <gtest/gtest.h>

#include "TestCards.h"

TEST(ExecCharset, NarrowLiteralsAreGbk) {
    EXPECT_EQ(std::string("王"), std::string("\xCD\xF5"));
    EXPECT_EQ(std::string("珅|"), std::string("\xAB\x7C|"));
    EXPECT_EQ(std::string("（"), std::string("\xA3\xA8"));  // full-width bracket of the messages
    EXPECT_EQ(std::wstring(L"王"), std::wstring(L"\u738B"));  // wide literals stay UTF-16
}

TEST(CardBasicInfo, FieldsByNumberInDriverOrderAndTheirLabels) {
    CardBasicInfo c;
    const std::string* members[] = {&c.regionCode, &c.socialSecurityNumber, &c.cardNumber, &c.cardIdCode,
                                    &c.name,       &c.resetInfo,            &c.specVersion, &c.issueDate,
                                    &c.expiryDate, &c.terminalNumber,       &c.terminalDeviceNumber};
    for (int n = 1; n <= 11; ++n) EXPECT_EQ(&c.Field(n), members[n - 1]) << n;
    EXPECT_STREQ(FieldLabel(0), "基本信息头");
    EXPECT_STREQ(FieldLabel(6), "复位信息");
    EXPECT_STREQ(FieldLabel(11), "终端设备号");
    EXPECT_STREQ(FieldLabel(12), "");
    EXPECT_STREQ(FieldLabel(-1), "");
}

struct ExtractCase {
    const char* text;
    int n;
    const char* field;  // nullptr: no such field
};

TEST(ExtractField, FieldsEndAtTheirSeparator) {
    const ExtractCase cases[] = {
        {"", 1, nullptr},
        {"a|b|c|", 1, "a"},
        {"a|b|c|", 3, "c"},
        {"a|b|c|", 4, nullptr},
        {"a|b|c", 3, nullptr},  // bytes after the last separator are no field
        {"a||c|", 2, ""},
        {"|", 1, ""},
        {"a|", 0, nullptr},
        {"abc", 1, nullptr},
    };
    for (const ExtractCase& c : cases) {
        std::optional<std::string> field = ExtractField(c.text, '|', c.n);
        if (c.field) {
            ASSERT_TRUE(field.has_value()) << c.text << " #" << c.n;
            EXPECT_EQ(*field, c.field) << c.text << " #" << c.n;
        } else {
            EXPECT_FALSE(field.has_value()) << c.text << " #" << c.n;
        }
    }
}

TEST(ExtractField, TrailByteEqualToTheSeparatorStaysInItsCharacter) {
    // 珅 AB 7C, 瑋 AC 7C, 弢 8F 7C, 東 96 7C, 億 83 7C.
    const char* names[] = {"王珅", "\xCD\xF5\xAC\x7C", "\xCD\xF5\x8F\x7C", "\xCD\xF5\x96\x7C", "\xCD\xF5\x83\x7C"};
    for (const char* name : names) {
        std::string text = std::string("639900|") + name + "|after|";
        EXPECT_EQ(ExtractField(text, '|', 2).value_or("?"), name);
        EXPECT_EQ(ExtractField(text, '|', 3).value_or("?"), "after");
    }
    // A lead byte as the text's last byte stands alone; one before the separator takes it.
    EXPECT_FALSE(ExtractField("a\x81|", '|', 1).has_value());
    EXPECT_EQ(ExtractField("a|\x81", '|', 1).value_or("?"), "a");
}

std::string Join(const char* const* fields, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::string(fields[i]) + "|";
    return text;
}

const char* const kDriverFields[] = {"639900", "111111198101011110", "X00000019", "639900D15600000500BF7C7A48FB4966",
                                     "王珅",   "00814E43238697159900BF7C7A", "1.00", "20151001",
                                     "20251001", "410100813475", ""};

TEST(ParseCardBasicInfo, ElevenFields) {
    std::optional<CardBasicInfo> card = ParseCardBasicInfo(Join(kDriverFields, 11));
    ASSERT_TRUE(card.has_value());
    for (int n = 1; n <= 11; ++n) EXPECT_EQ(card->Field(n), kDriverFields[n - 1]) << n;
}

TEST(ParseCardBasicInfo, TenFieldsFailTwelveAreCut) {
    EXPECT_FALSE(ParseCardBasicInfo(Join(kDriverFields, 10)).has_value());
    EXPECT_FALSE(ParseCardBasicInfo(Join(kDriverFields, 10) + "no separator").has_value());
    EXPECT_FALSE(ParseCardBasicInfo("").has_value());
    std::optional<CardBasicInfo> card = ParseCardBasicInfo(Join(kDriverFields, 11) + "extra|more");
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(card->terminalDeviceNumber, "");
    EXPECT_EQ(card->terminalNumber, "410100813475");
}

TEST(ParseCardBasicInfo, LongFieldsAreKeptWhole) {
    std::string longName(5000, 'A');
    std::string text = "1|2|3|4|" + longName + "|6|7|8|9|10|11|";
    std::optional<CardBasicInfo> card = ParseCardBasicInfo(text);
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(card->name, longName);
    EXPECT_EQ(card->terminalDeviceNumber, "11");
}

TEST(CardReference, BuiltFromIdCodeAndNumberAndReadBack) {
    CardBasicInfo card = ValidOtherProvinceCard();
    std::string reference = MakeCardReference(card);
    EXPECT_EQ(reference, "639900D15600000500BF7C7A48FB4966|X00000019|");
    EXPECT_EQ(CardNumberOfReference(reference), "X00000019");

    card.cardIdCode = std::string(300, 'C');  // no fixed bound
    card.cardNumber = "\xCD\xF5\xAB\x7C" + std::string(200, '9');
    reference = MakeCardReference(card);
    EXPECT_EQ(reference.size(), 300 + 1 + 204 + 1u);
    EXPECT_EQ(CardNumberOfReference(reference), card.cardNumber);

    EXPECT_EQ(CardNumberOfReference(""), "");
    EXPECT_EQ(ProvinceCode("639900"), "63");
    EXPECT_EQ(ProvinceCode("6"), "6");
    EXPECT_EQ(CardNumberOfReference("only|"), "");
    EXPECT_EQ(CardNumberOfReference("||"), "");
}
