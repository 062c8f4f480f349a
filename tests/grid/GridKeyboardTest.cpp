// Keys sent to a grid as real WM_KEYDOWN messages, Ctrl and Shift made real with
// SetKeyboardState: where the focus goes, what is selected, what the parent is told.
#include <string>
#include <vector>

#include "tests/grid/GridTestSupport.h"

namespace {
// The SELCHANGING / SELCHANGED pair of each keyboard move, for its target.
std::vector<CellNote> Moved(std::vector<CGridCellId> targets) {
    std::vector<CellNote> notes;
    for (const CGridCellId& t : targets)
        for (int code : {GRID_NOTIFY_SELCHANGING, GRID_NOTIFY_SELCHANGED}) notes.push_back({code, t.row, t.col});
    return notes;
}

struct Key {
    UINT vk;
    bool shift = false, ctrl = false;
};

void Press(CGridCtrl& grid, const Key& key) {
    HeldKeys held(key.ctrl, key.shift);
    grid.SendMessage(WM_KEYDOWN, key.vk, 1);
}
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
        std::vector<int> hiddenCols = {}, hiddenRows = {};
        BOOL wholeRows = FALSE;
    } cases[] = {
        {"Right", {2, 2}, {right}, {2, 3}, {2, 3, 2, 3}, Moved({{2, 3}})},
        {"Right in the last column", {2, 4}, {right}, {2, 4}, none, {}},
        {"Down in the last row", {5, 2}, {down}, {5, 2}, none, {}},
        {"Up never into the fixed row", {1, 2}, {up}, {1, 2}, none, {}},
        {"Left never into the fixed column", {2, 1}, {left}, {2, 1}, none, {}},
        {"no focus cell", {-1, -1}, {right, tab}, {-1, -1}, none, {}},
        {"Right over a hidden column", {2, 2}, {right}, {2, 4}, {2, 4, 2, 4}, Moved({{2, 4}}), {3}},
        {"Up over a hidden row", {4, 2}, {up}, {2, 2}, {2, 2, 2, 2}, Moved({{2, 2}}), {}, {3}},
        {"Shift grows the block from where it began", {2, 2}, {shiftRight, shiftDown}, {3, 3}, {2, 2, 3, 3},
         Moved({{2, 3}, {3, 3}})},
        {"whole rows", {2, 2}, {down}, {3, 2}, {3, 1, 3, 4}, Moved({{3, 2}}), {}, {}, TRUE},
        {"Tab in the last column wraps", {2, 4}, {tab}, {3, 1}, {3, 1, 3, 1}, Moved({{3, 1}})},
        {"Tab in the last cell stays", {5, 4}, {tab}, {5, 4}, none, {}},
        {"Tab wraps before a hidden last column", {2, 3}, {tab}, {3, 1}, {3, 1, 3, 1}, Moved({{3, 1}}), {4}},
        {"Shift+Tab wraps back", {3, 1}, {shiftTab}, {2, 4}, {2, 4, 2, 4}, Moved({{2, 4}})},
        {"Tab with Shift held starts afresh", {2, 2}, {shiftRight, shiftTab}, {2, 2}, {2, 2, 2, 2},
         Moved({{2, 3}, {2, 2}})},
        {"Home", {3, 3}, {{VK_HOME}}, {3, 1}, {3, 1, 3, 1}, Moved({{3, 1}})},
        {"Ctrl+Home", {3, 3}, {{VK_HOME, false, true}}, {1, 1}, {1, 1, 1, 1}, Moved({{1, 1}})},
        {"Ctrl+End", {3, 2}, {{VK_END, false, true}}, {5, 4}, {5, 4, 5, 4}, Moved({{5, 4}})},
        {"End before hidden columns", {3, 1}, {{VK_END}}, {3, 2}, {3, 2, 3, 2}, Moved({{3, 2}}), {3, 4}},
        {"PageDown, nothing to scroll", {2, 2}, {{VK_NEXT}}, {5, 2}, {5, 2, 5, 2}, Moved({{5, 2}})},
        {"PageUp, nothing to scroll", {4, 2}, {{VK_PRIOR}}, {1, 2}, {1, 2, 1, 2}, Moved({{1, 2}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GridInWindow w;
        MakeUniform(w.grid, 6, 5);
        for (int col : c.hiddenCols) w.grid.SetColumnWidth(col, 0);
        for (int row : c.hiddenRows) w.grid.SetRowHeight(row, 0);
        w.grid.WholeRowSelect = c.wholeRows;
        w.grid.MoveFocusTo(c.focus);
        for (const Key& key : c.keys) Press(w.grid, key);
        EXPECT_EQ(w.grid.GetFocusCell(), c.after);
        EXPECT_EQ(w.grid.Selection().Empty() ? CGridCellRange() : w.grid.SelectionBounds(), c.selected);
        EXPECT_EQ(CellNotes(w.parent), c.notes);
        EXPECT_EQ(w.grid.MouseState, MS_IDLE);
    }
}

TEST(GridKeyboard, TheFocusCellIsScrolledIntoView) {
    // 60 rows and 20 columns of 20 x 50 pixels in a 300 x 200 window.
    struct Case {
        const char* what;
        CGridCellId focus;
        Key key;
        CGridCellId after;  // (-1, -1): as far down as PageDown moved the view
        bool leftmost;      // the view shows the first column
    } cases[] = {
        {"Down past the bottom", {8, 1}, {VK_DOWN}, {9, 1}, true},
        {"Right past the edge", {1, 5}, {VK_RIGHT}, {1, 6}, false},
        {"Ctrl+End", {1, 1}, {VK_END, false, true}, {59, 19}, false},
        {"Tab to the next row's start", {3, 19}, {VK_TAB}, {4, 1}, true},
        {"Shift+Tab to the end of the row above", {4, 1}, {VK_TAB, true}, {3, 19}, false},
        {"PageDown", {3, 1}, {VK_NEXT}, {-1, -1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GridInWindow w;
        MakeUniform(w.grid, 60, 20);
        w.grid.MoveFocusTo(c.focus);
        const int top = w.grid.TopLeftScrollCell().row;
        Press(w.grid, c.key);
        const CGridCellId expected = c.after.IsSet() ? c.after : CGridCellId(3 + w.grid.TopLeftScrollCell().row - top, 1);
        ASSERT_EQ(w.grid.GetFocusCell(), expected);
        CRect cell, client;
        ASSERT_TRUE(w.grid.CellRect(expected, &cell));
        w.grid.GetClientRect(&client);
        EXPECT_TRUE(cell.top >= w.grid.FixedRowsHeight() && cell.left >= w.grid.FixedColumnsWidth());
        EXPECT_TRUE(cell.bottom <= client.bottom && cell.right <= client.right);
        EXPECT_EQ(w.grid.ScrollPos(SB_HORZ) == 0, c.leftmost);
    }
}

TEST(GridKeyboard, ShortcutsAndDeleteLeaveTheFocusWhereItIs) {
    GridInWindow w;
    CGridCtrl& grid = w.grid;
    MakeUniform(grid, 4, 5);
    grid.SetCellText(2, 2, "a");
    grid.SetCellText(2, 3, "b");
    grid.MoveFocusTo(2, 2);
    grid.SelectRange(2, 2, 2, 3);
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    Press(grid, {'C', false, true});
    Press(grid, {VK_DELETE});
    EXPECT_EQ(grid.GetCellText(2, 2) + grid.GetCellText(2, 3), "");
    Press(grid, {VK_INSERT, true});  // pastes back what Ctrl+C copied
    EXPECT_EQ(grid.GetCellText(2, 2) + grid.GetCellText(2, 3), "ab");
    Press(grid, {'A', false, true});
    EXPECT_EQ(grid.SelectionBounds(), CGridCellRange(1, 1, 3, 4));
    EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 2));
}

TEST(GridKeyboard, DialogCodesAskForArrowsCharactersAndTab) {
    GridInWindow w;
    for (BOOL handleTab : {TRUE, FALSE})
        for (bool ctrl : {false, true}) {
            w.grid.HandleTabKey = handleTab;
            HeldKeys held(ctrl);
            EXPECT_EQ(w.grid.SendMessage(WM_GETDLGCODE), handleTab && !ctrl ? 0x83 : 0x81) << handleTab << ctrl;
        }
}
