// Where the keys take the focus: the next and previous shown line, and Tab's walk.
#include <gtest/gtest.h>

#include <vector>

#include "grid/KeyMoves.h"

namespace {
CGridLineSizes Lines(const std::vector<int>& sizes) {
    CGridLineSizes lines;
    for (int size : sizes) lines.Append(size);
    return lines;
}
}  // namespace

TEST(KeyMoves, LinesOfSizeZeroAreSteppedOver) {
    enum Op { Next, Previous, FirstFrom, LastFrom };
    struct Case {
        const char* what;
        std::vector<int> sizes;
        Op op;
        int from;
        int first;  // Previous: the lowest line allowed
        int expected;
    } cases[] = {
        {"next", {20, 20, 20}, Next, 0, 0, 1},
        {"next over hidden ones", {20, 0, 0, 20}, Next, 0, 0, 3},
        {"next from the last", {20, 20}, Next, 1, 0, -1},
        {"next when only hidden ones follow", {20, 20, 0, 0}, Next, 1, 0, -1},
        {"previous over a hidden one", {20, 20, 0, 20}, Previous, 3, 0, 1},
        {"previous never below the first allowed", {20, 20, 20}, Previous, 1, 1, -1},
        {"previous when the allowed ones are hidden", {20, 0, 0, 20}, Previous, 3, 1, -1},
        {"previous from the first", {20, 20}, Previous, 0, 0, -1},
        {"first shown from a hidden one", {20, 0, 0, 20}, FirstFrom, 1, 0, 3},
        {"first shown: none, so the last", {20, 0, 0}, FirstFrom, 1, 0, 2},
        {"last shown", {20, 20, 20}, LastFrom, 1, 0, 2},
        {"last shown before hidden ones", {20, 20, 20, 0, 0}, LastFrom, 1, 0, 2},
        {"last shown: none after the first allowed", {20, 0, 0}, LastFrom, 1, 0, 1},
        {"no lines", {}, FirstFrom, 0, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CGridLineSizes sizes = Lines(c.sizes);
        int got = 0;
        switch (c.op) {
            case Next: got = keymoves::NextShown(sizes, c.from); break;
            case Previous: got = keymoves::PreviousShown(sizes, c.from, c.first); break;
            case FirstFrom: got = keymoves::FirstShownFrom(sizes, c.from); break;
            case LastFrom: got = keymoves::LastShownFrom(sizes, c.from); break;
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(KeyMoves, TabWalksRowByRowAndStopsAtTheEnds) {
    // One fixed row and column; row 2 and column 2 hidden, and column 4 (the last) too in
    // some cases.
    struct Case {
        const char* what;
        std::vector<int> cols;
        bool back;
        int row, col;
        keymoves::Target expected;
    } cases[] = {
        {"on to the next column", {50, 50, 0, 50, 50}, false, 1, 1, {1, 3, false}},
        {"from the last column to the next shown row", {50, 50, 0, 50, 50}, false, 1, 4, {3, 1, true}},
        {"a hidden last column wraps early", {50, 50, 0, 50, 0}, false, 1, 3, {3, 1, true}},
        {"the last cell stays", {50, 50, 0, 50, 50}, false, 4, 4, {4, 4, false}},
        {"back over a hidden column", {50, 50, 0, 50, 50}, true, 1, 3, {1, 1, false}},
        {"back from the first column to the row above", {50, 50, 0, 50, 50}, true, 3, 1, {1, 4, true}},
        {"back to a shown last column", {50, 50, 0, 50, 0}, true, 3, 1, {1, 3, true}},
        {"never into the fixed row", {50, 50, 0, 50, 50}, true, 1, 1, {1, 1, false}},
        {"the first scrolling column hidden", {50, 0, 50, 50, 50}, false, 1, 4, {3, 2, true}},
    };
    const CGridLineSizes rows = Lines({20, 20, 0, 20, 20});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CGridLineSizes cols = Lines(c.cols);
        const keymoves::Target got = c.back ? keymoves::TabBackward(rows, cols, 1, 1, c.row, c.col)
                                            : keymoves::TabForward(rows, cols, 1, 1, c.row, c.col);
        EXPECT_EQ(got.row, c.expected.row);
        EXPECT_EQ(got.col, c.expected.col);
        EXPECT_EQ(got.wrapped, c.expected.wrapped);
    }
}
