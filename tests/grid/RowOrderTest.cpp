// The orders and measures of sorting and autosizing that need no window: texts in GBK
// code-unit order, the heads that decide most comparisons, the row quicksort against the
// documented one (recursing into both parts), and a font's character width table.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "grid/CharWidths.h"
#include "grid/GbkOrder.h"
#include "grid/RowSort.h"

namespace {
int Sign(int v) { return (v > 0) - (v < 0); }

// Texts whose byte order and code-unit order part, beside plain ones. In GBK "啊" is B0 A1
// and "中" D6 D0; 0x80 and 0xFF are single bytes; a lead byte at the end stands alone.
const std::vector<std::string> kTexts = {
    "", "a", "B", "10", "9", "ab", "abc", "abcdefgh", "abcdefghi", "abcdefgh\x01", std::string("ab\0c", 4),
    std::string("ab\0", 3), "啊", "中", "中a", "a中", "\x80", "\xFF", "\xFF" "a", "\xA0", "\x90\x40", "\x81\x40",
    "\x81\x41", "\x81\x81", "abcdefg\xA0", "abcdefg\x90\x40", "abcdefg\xFF",
};

// The documented sort: both parts by recursion. `depth` comes back as the deepest level.
void DocumentedSort(std::vector<int>& order, int lo, int hi, bool ascending, const std::function<int(int, int)>& cmp,
                    int level, int* depth, long long* comparisons) {
    if (lo >= hi) return;
    *depth = std::max(*depth, level);
    auto compare = [&](int a, int b) {
        ++*comparisons;
        return ascending ? cmp(a, b) : -cmp(a, b);
    };
    const int pivot = order[(lo + hi) / 2];
    int j = lo, i = hi;
    while (j <= i) {
        while (j < hi && compare(order[j], pivot) < 0) ++j;
        while (i > lo && compare(order[i], pivot) > 0) --i;
        if (i < j) break;
        if (compare(order[j], order[i]) != 0)
            std::swap(order[j], order[i]);
        ++j;
        --i;
    }
    if (lo < i) DocumentedSort(order, lo, i, ascending, cmp, level + 1, depth, comparisons);
    if (j < hi) DocumentedSort(order, j, hi, ascending, cmp, level + 1, depth, comparisons);
}

// An order of rows that drives a quicksort with a middle pivot to its worst: every range it
// takes up has its smallest value in the middle slot, so each step peels off one row.
// Values 0 .. n - 1 for rows 0 .. n - 1 in that order. Found by sorting rows whose values
// are fixed only when first compared with each other: the pivot, compared second, becomes
// the smallest value not yet given; a row never compared that way comes after all of those.
std::vector<int> PeelingValues(int n) {
    std::vector<int> value(n, -1);
    int next = 0;
    auto valueOf = [&](int row) { return value[row] < 0 ? n + row : value[row]; };
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    SortRowOrder(order.data(), n, true, [&](int a, int b) {
        if (value[a] < 0 && value[b] < 0) value[b] = next++;
        return Sign(valueOf(a) - valueOf(b));
    });
    for (int& v : value)
        if (v < 0) v = next++;
    return value;
}
}  // namespace

TEST(TextOrder, GbkCodeUnits) {
    const struct {
        std::string a, b;
        int order;
    } cases[] = {
        {"B", "a", -1},          {"10", "9", -1},           {"a", "a", 0},             {"ab", "abc", -1},
        {"", "a", -1},           {"z", "中", -1},           {"啊", "中", -1},          {"中", "中a", -1},
        {"\xFF", "\x81\x40", -1},  // one byte sorts before every pair, whatever its value
        {"\xA0", "\x90\x40", -1},  // a lead byte at the end is a unit of one byte
        {"\x80", "\xFF", -1},    {"\x81\x40", "\x81\x41", -1}, {"\x81\x40", "\x81\x81", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sign(CompareGbkText(c.a, c.b)), c.order) << c.a << " / " << c.b;
        EXPECT_EQ(Sign(CompareGbkText(c.b, c.a)), -c.order) << c.b << " / " << c.a;
    }
}

TEST(TextOrder, HeadsDecideAsTheTextsDo) {
    int decided = 0;
    for (const std::string& a : kTexts) {
        for (const std::string& b : kTexts) {
            int order = 99;
            if (!CGbkSortHead(a).Orders(CGbkSortHead(b), &order)) continue;
            ++decided;
            EXPECT_EQ(order, Sign(CompareGbkText(a, b))) << a << " / " << b;
        }
    }
    EXPECT_GT(decided, static_cast<int>(kTexts.size() * kTexts.size() / 2)) << "most pairs need no text";
    int order = 0;
    EXPECT_FALSE(CGbkSortHead("abcdefgh1").Orders(CGbkSortHead("abcdefgh2"), &order)) << "equal heads decide nothing";
    EXPECT_FALSE(CGbkSortHead("\xFF").Orders(CGbkSortHead("\x81\x40"), &order)) << "bytes would say the opposite";
}

TEST(RowSort, SameResultAsTheDocumentedSort) {
    std::mt19937 random(7);
    for (int n : {2, 3, 17, 1000}) {
        for (int range : {3, 1000000}) {  // many equal rows, then few
            std::uniform_int_distribution<int> draw(0, range - 1);
            std::vector<int> values(n);
            for (int& v : values) v = draw(random);
            auto cmp = [&](int a, int b) { return Sign(values[a] - values[b]); };
            for (bool ascending : {true, false}) {
                std::vector<int> expected(n), order(n);
                std::iota(expected.begin(), expected.end(), 0);
                std::iota(order.begin(), order.end(), 0);
                int depth = 0;
                long long comparisons = 0;
                DocumentedSort(expected, 0, n - 1, ascending, cmp, 1, &depth, &comparisons);
                RowSortStats stats;
                SortRowOrder(order.data(), n, ascending, cmp, &stats);
                // Same rows in the same places, equal ones included: the same steps were taken.
                EXPECT_EQ(order, expected) << n << " " << range << " " << ascending;
                EXPECT_EQ(stats.comparisons, comparisons);
                for (int k = 1; k < n; ++k)
                    ASSERT_LE(cmp(order[k - 1], order[k]) * (ascending ? 1 : -1), 0);
            }
        }
    }
}

TEST(RowSort, AnOrderThatDrivesTheDocumentedSortDeepStaysShallow) {
    const int n = 3000;
    const std::vector<int> values = PeelingValues(n);
    auto cmp = [&](int a, int b) { return Sign(values[a] - values[b]); };
    std::vector<int> expected(n), order(n);
    std::iota(expected.begin(), expected.end(), 0);
    std::iota(order.begin(), order.end(), 0);
    int documentedDepth = 0;
    long long comparisons = 0;
    DocumentedSort(expected, 0, n - 1, true, cmp, 1, &documentedDepth, &comparisons);
    EXPECT_GE(documentedDepth, n - 1) << "one level per row: 100,000 rows would overflow the stack";

    RowSortStats stats;
    SortRowOrder(order.data(), n, true, cmp, &stats);
    EXPECT_EQ(order, expected);
    EXPECT_LE(stats.depth, static_cast<int>(std::log2(n)) + 1);
    for (int k = 0; k < n; ++k) EXPECT_EQ(values[order[k]], k);
}

TEST(CharWidths, SumOfEachCharacterMeasuredOnce) {
    // A stand-in for the system: one byte is 5 + its value % 4 wide, two bytes 12, and every
    // text of one character 14 high; no text is 0 x 13.
    std::vector<std::string> asked;
    CGridCharWidths widths([&](std::string_view gbk) {
        asked.emplace_back(gbk);
        if (gbk.empty()) return CGridCharWidths::Extent{0, 13};
        const int cx = gbk.size() == 2 ? 12 : 5 + static_cast<unsigned char>(gbk[0]) % 4;
        return CGridCharWidths::Extent{cx, 14};
    });
    const struct {
        std::string text;
        CGridCharWidths::Extent extent;
        int newlyMeasured;
    } cases[] = {
        {"", {0, 13}, 0},
        {"aab", {5 + 1 + 5 + 1 + 5 + 2, 14}, 2},
        {"中文b", {12 + 12 + 7, 14}, 2},
        {"b中", {7 + 12, 14}, 0},
        {"\x80\xFF", {5 + 0 + 5 + 3, 14}, 2},   // single bytes
        {"x\xD6", {5 + 0 + 5 + 2, 14}, 2},      // a lead byte at the end: one byte
        {"\xD6\xD0\xD6", {12 + 7, 14}, 0},      // 中, then the lone lead again
        {"\x81\x81", {12, 14}, 1},              // a lead byte may be a trail byte
    };
    for (const auto& c : cases) {
        const size_t before = asked.size();
        EXPECT_EQ(widths.TextExtent(c.text), c.extent) << c.text;
        EXPECT_EQ(static_cast<int>(asked.size() - before), c.newlyMeasured) << c.text;
    }
    EXPECT_EQ(asked.front(), "") << "no text is measured once, up front";
    EXPECT_EQ(widths.Measured(), 9);
}
