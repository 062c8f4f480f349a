// The page layout of a print job, worked out by hand: page cuts, both page scales with their
// integer arithmetic, and which rows and columns each page gets.
#include <gtest/gtest.h>

#include <climits>

#include "grid/PrintLayout.h"

TEST(PrintLayout, PageStarts) {
    const struct {
        const char* what;
        std::vector<unsigned> sizes;
        int first, space;
        std::vector<int> starts;
    } cases[] = {
        {"no lines past the fixed one: one page", {20}, 1, 100, {1}},
        {"three of 30 fit in 100, the fourth starts a page", {20, 30, 30, 30, 30}, 1, 100, {1, 4}},
        {"lines filling the room exactly stay on the page", {20, 50, 50}, 1, 100, {1}},
        {"one unit over starts the next page", {50, 51}, 0, 100, {0, 1}},
        {"a line taller than the room gets a page of its own", {100, 600, 100}, 0, 500, {0, 1, 2}},
        {"a first line taller than the room leaves page 1 empty", {600, 100}, 0, 500, {0, 0, 1}},
        {"lines of size 0 take no room", {0, 0, 0}, 0, 0, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PageStarts(c.sizes, c.first, c.space), c.starts);
    }
}

TEST(PrintLayout, MulDivRoundsToTheNearest) {
    const struct {
        int a, b, c, result;
    } cases[] = {{5, 1, 2, 3}, {-5, 1, 2, -3}, {5, -1, 2, -3}, {7, 1, 4, 2}, {5, 1, 4, 1},
                 {709, 3508, 2480, 1003}, {1, 1, 0, -1}, {INT_MAX, 2, 1, -1}};
    for (const auto& c : cases) EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

// A 300 dpi A4 printer, a 96 dpi screen, letters 6 wide and 11 high; a grid with a fixed row
// of 20 and ten rows of 100, a fixed column of 61 and six columns of 100.
TEST(PrintLayout, BothPageScales) {
    PrintMeasures m;
    m.charWidth = 6;
    m.charHeight = 11;
    m.deviceWidth = 2480;
    m.deviceHeight = 3508;
    m.printerDpiX = m.printerDpiY = 300;
    m.screenDpiX = m.screenDpiY = 96;
    std::vector<unsigned> rows(11, 100), cols(7, 100);
    rows[0] = 20;
    cols[0] = 61;

    // Screen scale: 2480 * 96 / 300 = 793, * 3 / 4 = 594 (one product first would give 595);
    // 3508 * 96 / 300 = 1122, * 3 / 4 = 841. Rows: 841 - 6 lines * 11 - 20 = 755, seven rows
    // a block. Columns: 594 - 61 - 8 letters * 6 = 485, four columns a page.
    const GridPrintLayout screen = GridPrintLayout::Compute(m, PrintMargins(), true, rows, 1, cols, 1);
    EXPECT_EQ(screen.paperWidth, 594);
    EXPECT_EQ(screen.paperHeight, 841);
    EXPECT_EQ(screen.rowSpace, 755);
    EXPECT_EQ(screen.columnSpace, 485);
    EXPECT_EQ(screen.rowStarts, (std::vector<int>{1, 8}));
    EXPECT_EQ(screen.columnStarts, (std::vector<int>{1, 5}));
    EXPECT_EQ(screen.PagesWide(), 2);
    EXPECT_EQ(screen.PageCount(), 4);
    // Pages run across a block's column pages, then down; out-of-range pages take the nearest.
    const struct {
        int page;
        PrintLineRange rows, cols;
    } pages[] = {{1, {1, 8}, {1, 5}}, {2, {1, 8}, {5, 7}}, {3, {8, 11}, {1, 5}},
                 {4, {8, 11}, {5, 7}}, {0, {1, 8}, {1, 5}}, {9, {8, 11}, {5, 7}}};
    for (const auto& p : pages) {
        SCOPED_TRACE(p.page);
        EXPECT_EQ(screen.RowsOfPage(p.page), p.rows);
        EXPECT_EQ(screen.ColumnsOfPage(p.page), p.cols);
    }

    // Fitted to the width: 48 + 661 = 709 across, 709 * 3508 / 2480 = 1002.9, rounded 1003
    // down. Every body column fits (600 across); rows: 1003 - 66 - 20 = 917, nine a page.
    const GridPrintLayout fitted = GridPrintLayout::Compute(m, PrintMargins(), false, rows, 1, cols, 1);
    EXPECT_EQ(fitted.paperWidth, 709);
    EXPECT_EQ(fitted.paperHeight, 1003);
    EXPECT_EQ(fitted.columnSpace, 600);
    EXPECT_EQ(fitted.rowSpace, 917);
    EXPECT_EQ(fitted.rowStarts, (std::vector<int>{1, 10}));
    EXPECT_EQ(fitted.PagesWide(), 1);
    EXPECT_EQ(fitted.PageCount(), 2);
    EXPECT_EQ(fitted.ColumnsOfPage(2), (PrintLineRange{1, 7}));

    // Other margins: no header, footer or gap lines, no side margins.
    PrintMargins none;
    none.headerLines = none.footerLines = none.gapLines = none.leftChars = none.rightChars = 0;
    const GridPrintLayout bare = GridPrintLayout::Compute(m, none, false, rows, 1, cols, 1);
    EXPECT_EQ(bare.paperWidth, 661);
    EXPECT_EQ(bare.rowSpace, MulDivRounded(661, 3508, 2480) - 20);
}
