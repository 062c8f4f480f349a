// The copy and paste text format and the choice of text format, with no window.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "grid/GridClipText.h"

using namespace std::string_literals;

namespace {
struct CopyCase {
    const char* what;
    std::vector<int32_t> rows, cols;   // shown rows and columns of the range
    int32_t lastRow, lastCol;          // the range's last row and column
    std::set<std::pair<int, int>> selected;
    std::string expected;              // with its zero byte
};

// "t" + row + column for a selected cell, nothing for an unselected one.
void AppendCase(const CopyCase& c, int row, int col, cliptext::CopyTextBuffer& out) {
    if (c.selected.count({row, col})) out.Append("t" + std::to_string(row) + std::to_string(col));
}

std::string Copy(const CopyCase& c) {
    return cliptext::BuildCopyText(c.rows, c.lastRow, c.cols, c.lastCol,
                                   [&](int row, int col, cliptext::CopyTextBuffer& out) { AppendCase(c, row, col, out); });
}

// The same, the rows read in the order `visit` gives.
std::string CopyVisiting(const CopyCase& c, const std::vector<size_t>& visit) {
    return cliptext::BuildCopyTextVisiting(c.rows, c.lastRow, c.cols, c.lastCol, visit,
                                           [&](int row, int col, cliptext::CopyTextBuffer& out) { AppendCase(c, row, col, out); });
}
}  // namespace

TEST(ClipText, CopyText) {
    const CopyCase cases[] = {
        {"two cells on a diagonal", {0, 1}, {0, 1}, 1, 1, {{0, 0}, {1, 1}}, "t00\t\n\tt11\0"s},
        {"one cell", {3}, {2}, 3, 2, {{3, 2}}, "t32\0"s},
        {"hidden middle column: one field fewer", {0, 1}, {0, 2}, 1, 2,
         {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}, "t00\tt02\nt10\tt12\0"s},
        {"hidden last column: its tab stays", {0}, {0, 1}, 0, 2, {{0, 0}, {0, 1}, {0, 2}}, "t00\tt01\t\0"s},
        {"hidden last row: its line feed stays", {4, 5}, {1}, 6, 1, {{4, 1}, {5, 1}, {6, 1}}, "t41\nt51\n\0"s},
        {"hidden middle row: no line", {0, 2}, {0}, 2, 0, {{0, 0}, {1, 0}, {2, 0}}, "t00\nt20\0"s},
        {"nothing selected inside the block", {0, 1}, {0, 1}, 1, 1, {{0, 1}, {1, 0}}, "\tt01\nt10\t\0"s},
        {"lines of other lengths", {0, 1, 2}, {0, 1}, 2, 1, {{0, 0}, {0, 1}, {1, 1}, {2, 0}},
         "t00\tt01\n\tt11\nt20\t\0"s},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Copy(c), c.expected);
        // Rows read backwards, or from the second on and the first last: the same text.
        std::vector<size_t> backwards(c.rows.size()), rotated(c.rows.size());
        for (size_t i = 0; i < c.rows.size(); ++i) {
            backwards[i] = c.rows.size() - 1 - i;
            rotated[i] = (i + 1) % c.rows.size();
        }
        EXPECT_EQ(CopyVisiting(c, backwards), c.expected);
        EXPECT_EQ(CopyVisiting(c, rotated), c.expected);
    }
}

TEST(ClipText, TheCopyBufferGrowsPastItsEstimate) {
    // Pieces of every length around the 16-byte block, short ones read from a 16-byte
    // block, into a buffer that expected nothing.
    cliptext::CopyTextBuffer buffer(0);
    std::string expected;
    for (size_t i = 0; i < 3000; ++i) {
        const std::string piece(i % 40, static_cast<char>('a' + i % 26));
        char block[cliptext::CopyTextBuffer::kBlock + 1] = {};
        if (piece.size() <= cliptext::CopyTextBuffer::kBlock) {
            piece.copy(block, piece.size());
            buffer.AppendFromBlock(block, piece.size());
        } else {
            buffer.Append(piece);
        }
        buffer.Push('|');
        expected += piece + "|";
    }
    EXPECT_EQ(buffer.Size(), expected.size());
    EXPECT_EQ(buffer.Take(), expected);
}

TEST(ClipText, PasteLinesAndFields) {
    using Lines = std::vector<std::vector<std::string>>;
    const struct {
        std::string text;
        Lines expected;
    } cases[] = {
        {"one,two\nthree\tfour", {{"one", "two"}, {"three", "four"}}},
        {"one,two\r\nthree\tfour\r\n", {{"one", "two"}, {"three", "four"}, {}}},
        {"  a  \t b ,c\t", {{"a", "b", "c"}}},               // trimmed; the last tab adds nothing
        {",x,,y", {{"", "x", "", "y"}}},                       // empty fields between separators
        {"\n\nz", {{}, {}, {"z"}}},                            // empty lines keep their row
        {"", {{}}},
        {"kept\0dropped\nmore"s, {{"kept"}}},                  // the text ends at its zero byte
        {"\xD6\xD0\xCE\xC4,\xB1\xED", {{"\xD6\xD0\xCE\xC4", "\xB1\xED"}}},  // GBK stays whole
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        Lines got;
        for (const cliptext::PasteLine& line : cliptext::ParsePasteText(c.text))
            got.emplace_back(line.begin(), line.end());
        EXPECT_EQ(got, c.expected);
    }
}

TEST(ClipText, TheSourcesOwnTextFormatIsRead) {
    using cliptext::TextFormat;
    const struct {
        std::vector<unsigned> order;
        TextFormat expected;
    } cases[] = {
        {{13, 16, 1, 7}, TextFormat::Unicode},  // UTF-16 put there; the system made CF_TEXT after it
        {{1, 16, 13, 7}, TextFormat::Ansi},     // GBK put there; CF_UNICODETEXT made after it
        {{49161, 1, 13}, TextFormat::Ansi},     // private formats first do not count
        {{16, 7}, TextFormat::None},
        {{}, TextFormat::None},
    };
    for (const auto& c : cases) EXPECT_EQ(cliptext::ChooseTextFormat(c.order), c.expected) << testing::PrintToString(c.order);
}

TEST(ClipText, BlocksBecomeGbkText) {
    auto units = [](std::u16string s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2); };
    EXPECT_EQ(cliptext::TextFromUnicodeBlock(units(u"\u4E2D\u6587 ok\0rest"s)), "\xD6\xD0\xCE\xC4 ok");
    // A character GBK cannot hold becomes "?".
    EXPECT_EQ(cliptext::TextFromUnicodeBlock(units(u"a\u0E01b")), "a?b");
    // An odd last byte is no unit.
    EXPECT_EQ(cliptext::TextFromUnicodeBlock(units(u"x") + "y"), "x");
    EXPECT_EQ(cliptext::TextFromAnsiBlock("\xD6\xD0\0\0\0"s), "\xD6\xD0");
}
