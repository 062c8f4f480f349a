#include "framework/GbkText.h"

#include <gtest/gtest.h>

TEST(GbkText, RoundTripsChineseWhateverTheAnsiCodePage) {
    const std::string name = "\xCD\xF5\xAB\x7C";  // 王珅: the second character's trail byte is '|'
    std::wstring wide = gbk::ToWide(name);
    EXPECT_EQ(wide, std::wstring(L"\u738B\u73C5"));
    EXPECT_EQ(gbk::FromWide(wide), name);
}

TEST(GbkText, StrictDecodeRejectsATruncatedCharacter) {
    std::wstring out = L"x";
    EXPECT_FALSE(gbk::TryDecode("\xCD", out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(gbk::TryDecode("", out));
    EXPECT_TRUE(gbk::TryDecode("abc", out));
    EXPECT_EQ(out, L"abc");
}

TEST(GbkText, CharLengthPairsLeadAndTrailBytes) {
    std::string_view s("a\xAB\x7C\xAB", 4);
    EXPECT_EQ(gbk::CharLength(s, 0), 1u);
    EXPECT_EQ(gbk::CharLength(s, 1), 2u);
    EXPECT_EQ(gbk::CharLength(s, 3), 1u);  // a lead byte at the end stands alone
}
