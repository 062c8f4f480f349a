// The keys sent to a grid as real WM_KEYDOWN messages, Ctrl and Shift made real with
// SetKeyboardState: where the focus goes, what is selected, and what the parent is told.
#include <string>
#include <vector>

#include "tests/grid/GridTestSupport.h"

namespace {
constexpr int CHANGING = GRID_NOTIFY_SELCHANGING, CHANGED = GRID_NOTIFY_SELCHANGED;

// The pair every keyboard move sends, for the target cell.
std::vector<CellNote> Moved(std::vector<CGridCellId> targets) {
    std::vector<CellNote> notes;
    for (const CGridCellId& t : targets) {
        notes.push_back({CHANGING, t.row, t.col});
        notes.push_back({CHANGED, t.row, t.col});
    }
    return notes;
}

struct Key {
    UINT vk;
    bool shift = false;
    bool ctrl = false;
};

void Press(CGridCtrl& grid, const Key& key) {
    HeldKeys held(key.ctrl, key.shift);
    grid.SendMessage(WM_KEYDOWN, key.vk, 1);
}

// 6 rows x 5 columns, one fixed row and column, rows 20 and columns 50 pixels: all of it in
// view. Every cell holds "r<row>c<col>".
struct KeyGrid {
    GridInWindow w;
    KeyGrid() {
        MakeUniform(w.grid, 6, 5);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 5; ++c) w.grid.SetCellText(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
        w.grid.SetModified(FALSE);
    }
};
}  // namespace

TEST(GridKeyboard, KeysMoveTheFocusAndTheSelectionWithTheirNotifications) {
    const Key right{VK_RIGHT}, left{VK_LEFT}, down{VK_DOWN}, up{VK_UP}, tab{VK_TAB};
    const Key shiftRight{VK_RIGHT, true}, shiftDown{VK_DOWN, true}, shiftTab{VK_TAB, true};
    const CGridCellRange none;
    struct Case {
        const char* what;
        CGridCellId focus;
        std::vector<Key> keys;
        CGridCellId after;
        CGridCellRange selected;
        std::vector<CellNote> notes;
        std::vector<int> hiddenCols = {};
        std::vector<int> hiddenRows = {};
        bool wholeRows = false;
    } cases[] = {
        {"Right", {2, 2}, {right}, {2, 3}, {2, 3, 2, 3}, Moved({{2, 3}})},
        {"Right in the last column", {2, 4}, {right}, {2, 4}, none, {}},
        {"Down in the last row", {5, 2}, {down}, {5, 2}, none, {}},
        {"Up never into the fixed row", {1, 2}, {up}, {1, 2}, none, {}},
        {"Left never into the fixed column", {2, 1}, {left}, {2, 1}, none, {}},
        {"Right over a hidden column", {2, 2}, {right}, {2, 4}, {2, 4, 2, 4}, Moved({{2, 4}}), {3}},
        {"Up over a hidden row", {4, 2}, {up}, {2, 2}, {2, 2, 2, 2}, Moved({{2, 2}}), {}, {3}},
        {"Shift grows the block from where it started", {2, 2}, {shiftRight, shiftDown}, {3, 3}, {2, 2, 3, 3},
         Moved({{2, 3}, {3, 3}})},
        {"Down with whole rows selects the row", {2, 2}, {down}, {3, 2}, {3, 1, 3, 4}, Moved({{3, 2}}), {}, {}, true},
        {"Tab in the last column wraps to the next row", {2, 4}, {tab}, {3, 1}, {3, 1, 3, 1}, Moved({{3, 1}})},
        {"Tab in the last cell stays", {5, 4}, {tab}, {5, 4}, none, {}},
        {"Tab wraps before a hidden last column", {2, 3}, {tab}, {3, 1}, {3, 1, 3, 1}, Moved({{3, 1}}), {4}},
        {"Shift+Tab in the first column wraps back", {3, 1}, {shiftTab}, {2, 4}, {2, 4, 2, 4}, Moved({{2, 4}})},
        {"Tab with Shift held starts the selection afresh", {2, 2}, {shiftRight, shiftTab}, {2, 2}, {2, 2, 2, 2},
         Moved({{2, 3}, {2, 2}})},
        {"Home", {3, 3}, {{VK_HOME}}, {3, 1}, {3, 1, 3, 1}, Moved({{3, 1}})},
        {"Ctrl+Home", {3, 3}, {{VK_HOME, false, true}}, {1, 1}, {1, 1, 1, 1}, Moved({{1, 1}})},
        {"End", {3, 2}, {{VK_END}}, {3, 4}, {3, 4, 3, 4}, Moved({{3, 4}})},
        {"Ctrl+End", {3, 2}, {{VK_END, false, true}}, {5, 4}, {5, 4, 5, 4}, Moved({{5, 4}})},
        {"End before hidden last columns", {3, 1}, {{VK_END}}, {3, 2}, {3, 2, 3, 2}, Moved({{3, 2}}), {3, 4}},
        {"PageDown with nothing to scroll: the last row", {2, 2}, {{VK_NEXT}}, {5, 2}, {5, 2, 5, 2}, Moved({{5, 2}})},
        {"PageUp with nothing to scroll: the first row", {4, 2}, {{VK_PRIOR}}, {1, 2}, {1, 2, 1, 2}, Moved({{1, 2}})},
        {"a key with no move", {2, 2}, {{'Q'}}, {2, 2}, none, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyGrid g;
        CGridCtrl& grid = g.w.grid;
        for (int col : c.hiddenCols) grid.SetColumnWidth(col, 0);
        for (int row : c.hiddenRows) grid.SetRowHeight(row, 0);
        grid.WholeRowSelect = c.wholeRows;
        grid.MoveFocusTo(c.focus);
        for (const Key& key : c.keys) Press(grid, key);
        EXPECT_EQ(grid.GetFocusCell(), c.after);
        if (c.selected.IsSet())
            EXPECT_EQ(grid.SelectionBounds(), c.selected);
        else
            EXPECT_TRUE(grid.Selection().Empty());
        EXPECT_EQ(CellNotes(g.w.parent), c.notes);
        EXPECT_EQ(grid.MouseState, MS_IDLE);
    }
}

TEST(GridKeyboard, TheFocusCellIsScrolledIntoView) {
    // 60 rows and 20 columns of 20 x 50 pixels in a 300 x 200 client area.
    struct Case {
        const char* what;
        CGridCellId focus;
        Key key;
        CGridCellId after;
        bool leftmost;  // the view is back at the first column
    } cases[] = {
        {"Down past the bottom", {8, 1}, {VK_DOWN}, {9, 1}, true},
        {"Right past the edge", {1, 5}, {VK_RIGHT}, {1, 6}, false},
        {"Ctrl+End", {1, 1}, {VK_END, false, true}, {59, 19}, false},
        {"Tab from the last column to the next row's start", {3, 19}, {VK_TAB}, {4, 1}, true},
        {"Shift+Tab to the row above's end", {4, 1}, {VK_TAB, true}, {3, 19}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GridInWindow w;
        MakeUniform(w.grid, 60, 20);
        w.grid.MoveFocusTo(c.focus);
        w.grid.ScrollCellIntoView(c.focus.row, c.focus.col);
        Press(w.grid, c.key);
        ASSERT_EQ(w.grid.GetFocusCell(), c.after);
        CRect cell, client;
        ASSERT_TRUE(w.grid.CellRect(c.after, &cell));
        w.grid.GetClientRect(&client);
        EXPECT_GE(cell.top, w.grid.FixedRowsHeight());
        EXPECT_GE(cell.left, w.grid.FixedColumnsWidth());
        EXPECT_LE(cell.bottom, client.bottom);
        EXPECT_LE(cell.right, client.right);
        EXPECT_EQ(w.grid.ScrollPos(SB_HORZ) == 0, c.leftmost);
    }
}

TEST(GridKeyboard, PageKeysMoveTheFocusAsFarAsTheView) {
    GridInWindow w;
    MakeUniform(w.grid, 60, 3);
    w.grid.MoveFocusTo(3, 1);
    const int topBefore = w.grid.TopLeftScrollCell().row;
    Press(w.grid, {VK_NEXT});
    const int moved = w.grid.TopLeftScrollCell().row - topBefore;
    ASSERT_GT(moved, 1);
    EXPECT_EQ(w.grid.GetFocusCell(), CGridCellId(3 + moved, 1));
    Press(w.grid, {VK_PRIOR});
    EXPECT_EQ(w.grid.GetFocusCell(), CGridCellId(3, 1));
    EXPECT_EQ(w.grid.TopLeftScrollCell().row, topBefore);
}

TEST(GridKeyboard, ShortcutsAndDeleteLeaveTheFocusWhereItIs) {
    KeyGrid g;
    CGridCtrl& grid = g.w.grid;
    grid.MoveFocusTo(2, 2);
    grid.SelectRange(2, 2, 2, 3);
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    Press(grid, {'C', false, true});
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 2));

    Press(grid, {VK_DELETE});
    EXPECT_EQ(grid.GetCellText(2, 2), "");
    EXPECT_EQ(grid.GetCellText(2, 3), "");
    EXPECT_EQ(grid.GetCellText(2, 4), "r2c4");
    EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 2));

    // Shift+Insert pastes back at the selection's top-left cell.
    Press(grid, {VK_INSERT, true});
    EXPECT_EQ(grid.GetCellText(2, 2), "r2c2");
    EXPECT_EQ(grid.GetCellText(2, 3), "r2c3");

    Press(grid, {'A', false, true});
    EXPECT_EQ(grid.SelectionBounds(), CGridCellRange(1, 1, 5, 4));
    EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 2));
}

TEST(GridKeyboard, WithoutAFocusCellKeysDoNothing) {
    KeyGrid g;
    for (UINT vk : {VK_RIGHT, VK_DOWN, VK_TAB, VK_END, VK_DELETE, VK_F2}) Press(g.w.grid, {vk});
    EXPECT_EQ(g.w.grid.GetFocusCell(), CGridCellId());
    EXPECT_TRUE(g.w.parent.notes.empty());
}

TEST(GridKeyboard, DialogCodesAskForArrowsCharactersAndTab) {
    struct Case {
        BOOL handleTab;
        bool ctrl;
        LRESULT expected;
    } cases[] = {{TRUE, false, 0x83}, {TRUE, true, 0x81}, {FALSE, false, 0x81}};
    KeyGrid g;
    for (const Case& c : cases) {
        g.w.grid.HandleTabKey = c.handleTab;
        HeldKeys held(c.ctrl);
        EXPECT_EQ(g.w.grid.SendMessage(WM_GETDLGCODE), c.expected) << c.handleTab << c.ctrl;
    }
}
