// Autosizing in a window: which rows each scope measures, what is never fitted, and widths
// and heights that equal the cells' own measuring one system call each, over Latin and
// Chinese texts in several fonts.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/grid/GridTestSupport.h"

namespace {
// A cell's size measured outside any autosize: one system call for its text.
CSize Exact(CGridCtrl& g, int row, int col) {
    CClientDC dc(g.GetSafeHwnd());
    return g.GetCell(row, col)->MeasureCell(&dc);
}

LOGFONTW Font(const wchar_t* face, int height, int weight) {
    LOGFONTW font{};
    wcscpy(font.lfFaceName, face);
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    return font;
}
}  // namespace

TEST(GridAutoSize, TheScopeNamesTheRowsMeasured) {
    GridInWindow w(4, 3, 1, 1);
    CGridCtrl& g = w.grid;
    g.SetCellText(0, 1, "H");
    g.SetCellText(2, 1, "a body text longer than its header");
    g.SetCellText(0, 2, "a header longer than the body");
    g.SetCellText(3, 2, "x");
    auto widest = [&](int col, int first, int last) {
        int width = 0;
        for (int row = first; row <= last; ++row) width = std::max<int>(width, Exact(g, row, col).cx);
        return width;
    };
    const struct {
        int col, scope, setting, first, last;
    } cases[] = {
        {1, 1, 3, 0, 0}, {1, 2, 3, 1, 3}, {1, 3, 3, 0, 3}, {2, 2, 3, 1, 3},
        {2, 3, 1, 0, 3}, {2, 0, 1, 0, 0}, {1, 0, 2, 1, 3}, {1, 0, 3, 0, 3},  // 0: AutoSizeScope
    };
    for (const auto& c : cases) {
        g.AutoSizeScope = c.setting;
        g.SetColumnWidth(c.col, 5);
        EXPECT_TRUE(g.AutoSizeColumn(c.col, c.scope));
        EXPECT_EQ(g.GetColumnWidth(c.col), widest(c.col, c.first, c.last)) << c.col << " " << c.scope << " " << c.setting;
    }
    EXPECT_NE(widest(1, 0, 0), widest(1, 1, 3));
    EXPECT_NE(widest(2, 0, 0), widest(2, 1, 3));
}

TEST(GridAutoSize, WhatIsNeverFitted) {
    GridInWindow w(3, 3, 0, 0);
    CGridCtrl& g = w.grid;
    g.SetCellText(1, 1, "text");
    g.SetColumnWidth(1, 0);
    g.SetRowHeight(1, 0);
    EXPECT_FALSE(g.AutoSizeColumn(1)) << "a hidden column stays hidden";
    EXPECT_EQ(g.GetColumnWidth(1), 0);
    EXPECT_FALSE(g.AutoSizeRow(1));
    EXPECT_EQ(g.GetRowHeight(1), 0);
    for (int col : {-1, 3}) EXPECT_FALSE(g.AutoSizeColumn(col));
    for (int row : {-1, 3}) EXPECT_FALSE(g.AutoSizeRow(row));
    // A scope without a row to measure (the header rows of a grid with none; no bit at all)
    // leaves the width as it was instead of hiding the column.
    g.SetColumnWidth(2, 33);
    for (int scope : {1, 4}) {
        EXPECT_FALSE(g.AutoSizeColumn(2, scope));
        EXPECT_EQ(g.GetColumnWidth(2), 33);
    }
    g.AutoSizeColumns(1);
    EXPECT_EQ(g.GetColumnWidth(2), 33);
    g.AutoSizeColumns(3);
    EXPECT_EQ(g.GetColumnWidth(1), 0) << "nor does fitting every column show a hidden one";
    EXPECT_EQ(g.GetColumnWidth(2), Exact(g, 0, 2).cx);
}

TEST(GridAutoSize, WidthsAreTheSystemsOverLatinAndChineseTexts) {
    const std::vector<std::string> texts = {
        "", "abc", "Wide WWW iii", "中文字符", "Mixed 中文 text, 全角ＡＢＣ", "标点，。、《》", "x\xA1\xA1y",
        "\x80 euro", "tab\there", "一二三四五六七八九十一二三四五六七八九十", "长" "\xD6",  // a lead byte at the end
    };
    const int n = static_cast<int>(texts.size());
    // Column c holds text c in row c and nothing elsewhere; the last column holds them all,
    // one per row, and rows of the fixed column carry other fonts.
    GridInWindow w(n, n + 1, 0, 1);
    CGridCtrl& g = w.grid;
    for (int row = 0; row < n; ++row) {
        g.SetCellText(row, row, texts[static_cast<size_t>(row)]);
        g.SetCellText(row, n, texts[static_cast<size_t>(row)]);
    }
    const LOGFONTW big = Font(L"SimSun", -22, FW_BOLD), small = Font(L"Tahoma", -9, FW_NORMAL);
    g.GetCell(3, 3)->SetFont(&big);
    g.GetCell(4, n)->SetFont(&big);
    g.GetCell(5, n)->SetFont(&small);
    g.GetCell(6, 6)->SetFormat(DT_LEFT | DT_WORDBREAK);  // wrapped: measured by the system anyway

    std::vector<int> exact(static_cast<size_t>(n + 1), 0);
    for (int row = 0; row < n; ++row)
        for (int col = 0; col <= n; ++col)
            exact[static_cast<size_t>(col)] = std::max<int>(exact[static_cast<size_t>(col)], Exact(g, row, col).cx);
    ASSERT_GT(Exact(g, 3, 3).cx, Exact(g, 1, 1).cx * 2) << "four Chinese characters in a large font";

    g.AutoSizeColumns();
    for (int col = 0; col <= n; ++col) EXPECT_EQ(g.GetColumnWidth(col), exact[static_cast<size_t>(col)]) << col;
}

TEST(GridAutoSize, RowsFitTheirTallestCellFixedOnesIncluded) {
    GridInWindow w(3, 3, 1, 1);
    CGridCtrl& g = w.grid;
    const LOGFONTW big = Font(L"SimSun", -30, FW_NORMAL);
    g.SetCellText(1, 0, "大");
    g.GetCell(1, 0)->SetFont(&big);  // in the fixed column
    g.SetCellText(1, 2, "small");
    g.SetCellText(2, 2, "small");
    ASSERT_TRUE(g.AutoSizeRow(1));
    EXPECT_EQ(g.GetRowHeight(1), std::max(Exact(g, 1, 0).cy, Exact(g, 1, 2).cy));
    EXPECT_GT(g.GetRowHeight(1), Exact(g, 1, 2).cy);
    ASSERT_TRUE(g.AutoSizeRow(2, FALSE));
    EXPECT_EQ(g.GetRowHeight(2), Exact(g, 2, 2).cy);
}
