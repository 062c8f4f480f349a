// The mouse with real messages: each scenario is a table of mouse messages (MK_ flags, client
// points, the key state made real) and what the parent and the cells are told in answer, in
// order; then the states presses lead to, a parent that destroys the grid in its handler,
// the auto-scroll timer, and what a selection change repaints.
#include <functional>
#include <set>

#include "tests/grid/GridTestSupport.h"

namespace {
using Log = std::vector<std::string>;
struct Step {
    UINT message;
    CPoint at;
    UINT keys;
    Log expected;
};
using Prepare = void (*)(CGridCtrl&);
Log operator+(Log a, const Log& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const UINT DOWN = WM_LBUTTONDOWN, UP = WM_LBUTTONUP, MOVE = WM_MOUSEMOVE, L = MK_LBUTTON, CTRL = MK_CONTROL;
CPoint At(int row, int col) { return MouseGrid::At(row, col); }
const Log kRelease22 = {"SELCHANGED 2,2", "OnClick 25,10", "NM_CLICK 2,2", "WM_COMMAND 1008/0"};
const Log kClearedOn22 = {"NM_CLICK 2,2", "SELCHANGING 2,2", "SELCHANGED -1,-1", "WM_COMMAND 1008/0"};

// Image 0 (16 pixels wide) on cell (2, 2), focus there: its text starts right of the image.
void FocusOnImage22(CGridCtrl& g) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    ImageList_SetImageCount(list, 1);
    g.SetImageList(list);
    GridItem item;
    item.row = item.col = 2;
    item.mask = ITEM_IMAGE;
    item.image = 0;
    g.SetCellFromItem(&item);
    g.MoveFocusTo(2, 2);
}
}  // namespace

TEST(GridMouse, Scenarios) {
    const CPoint onImage(105, 50), onText(128, 50);
    const struct {
        const char* name;
        Prepare setup;
        std::vector<Step> steps;
        CGridCellRange bounds;  // of the selection afterwards; (6, 5, -1, -1) for none
        size_t selected;
        CGridCellId focus;
    } scenarios[] = {
        {"plain click", nullptr, {{DOWN, At(2, 2), L, {"OnPress 25,10", "SELCHANGING 2,2"}}, {UP, At(2, 2), 0, kRelease22}},
         {2, 2, 2, 2}, 1, {2, 2}},
        {"Ctrl-click on a selected cell takes it out at once", [](CGridCtrl& g) { g.SelectRange(1, 1, 3, 3); },
         {{DOWN, At(2, 2), L | CTRL, {"OnPress 25,10"}}, {UP, At(2, 2), CTRL, kRelease22}}, {1, 1, 3, 3}, 8, {2, 2}},
        {"Shift-click with no anchor extends from the focus", [](CGridCtrl& g) { g.MoveFocusTo(2, 2); },
         {{DOWN, At(4, 3), L | MK_SHIFT, {"OnPress 25,10", "SELCHANGING 4,3"}},
          {UP, At(4, 3), MK_SHIFT, {"SELCHANGED 4,3", "OnClick 25,10", "NM_CLICK 4,3", "WM_COMMAND 1008/0"}}},
         {2, 2, 4, 3}, 6, {4, 3}},
        {"drag from a column header across others: the focus follows", nullptr,
         {{DOWN, At(0, 2), L, {"OnPress 25,10", "SELCHANGING 0,2"}}, {MOVE, At(0, 3), L, {}}, {MOVE, At(0, 4), L, {}},
          {UP, At(0, 4), 0, {"SELCHANGED 1,4", "OnClick 25,-10", "NM_CLICK 0,2", "WM_COMMAND 1008/0"}}},
         {1, 2, 5, 4}, 15, {1, 4}},
        {"corner click", nullptr,
         {{DOWN, At(0, 0), L, {"OnPress 25,10", "SELCHANGING 0,0"}},
          {UP, At(0, 0), 0, {"SELCHANGED -1,-1", "NM_CLICK 0,0", "WM_COMMAND 1008/0"}}},
         {1, 1, 5, 4}, 20, {-1, -1}},
        {"press-release on the selection with drag-and-drop clears it",
         [](CGridCtrl& g) {
             g.DragAndDropEnabled = TRUE;
             g.SelectRange(1, 1, 3, 3);
             g.MoveFocusTo(1, 1);
         },
         {{DOWN, At(2, 2), L, {"OnPress 25,10"}}, {UP, At(2, 2), 0, Log{"OnClick 75,30"} + kClearedOn22}},
         {6, 5, -1, -1}, 0, {-1, -1}},
        {"a click on a selected cell, drag-and-drop off, takes the focus there",
         [](CGridCtrl& g) { g.SelectRange(1, 1, 3, 3), g.MoveFocusTo(1, 1); },
         {{DOWN, At(2, 2), L, {"OnPress 25,10", "SELCHANGING 2,2"}}, {UP, At(2, 2), 0, kRelease22}}, {2, 2, 2, 2}, 1, {2, 2}},
        {"right release on a fixed cell, then beside the cells", nullptr,
         {{WM_RBUTTONUP, At(0, 3), 0, {"OnRightClick 25,10", "NM_RCLICK 0,3"}},
          {WM_RBUTTONUP, CPoint(280, 150), 0, {"NM_RCLICK -1,-1"}}},
         {6, 5, -1, -1}, 0, {1, 3}},
        {"double click outside the text (on the image)", FocusOnImage22,
         {{DOWN, onImage, L, {"OnPress 5,10", "SELCHANGING 2,2"}},
          {UP, onImage, 0, {"SELCHANGED 2,2", "OnClick 5,10", "NM_CLICK 2,2", "WM_COMMAND 1008/0"}},
          {WM_LBUTTONDBLCLK, onImage, L, {"OnDoubleClick 5,10", "NM_DBLCLK 2,2"}},
          {UP, onImage, 0, {"SELCHANGED 2,2", "OnClick 5,10", "NM_CLICK 2,2", "WM_COMMAND 1008/0"}}},
         {2, 2, 2, 2}, 1, {2, 2}},
        {"a press and release on the focus cell's text opens its editor", FocusOnImage22,
         {{DOWN, onText, L, {"OnPress 28,10"}}, {UP, onText, 0, {"BEGINEDIT 2,2", "WM_COMMAND 1008/0"}}},
         {6, 5, -1, -1}, 0, {2, 2}},
        {"a double click on a cell's text opens its editor", nullptr,
         {{DOWN, At(2, 2), L, {"OnPress 25,10", "SELCHANGING 2,2"}}, {UP, At(2, 2), 0, kRelease22},
          {WM_LBUTTONDBLCLK, At(2, 2), L, {"BEGINEDIT 2,2", "OnDoubleClick 25,10", "NM_DBLCLK 2,2"}}},
         {2, 2, 2, 2}, 1, {2, 2}},
        {"a drag from the focus cell's text selects (drag-and-drop off)", FocusOnImage22,
         {{DOWN, onText, L, {"OnPress 28,10"}}, {MOVE, onText, L, {}}, {MOVE, At(2, 3), L, {"SELCHANGING 2,2"}},
          {UP, At(2, 3), 0, {"SELCHANGED 2,3", "OnClick 25,10", "NM_CLICK 2,2", "WM_COMMAND 1008/0"}}},
         {2, 2, 2, 3}, 2, {2, 3}},
        {"a release the grid never saw: no drag, no stray click",
         [](CGridCtrl& g) {
             FocusOnImage22(g);
             g.DragAndDropEnabled = TRUE;
             g.SelectRange(2, 2, 2, 2);
         },
         {{DOWN, onText, L, {"OnPress 28,10"}}, {MOVE, At(3, 3), 0, {}}, {UP, At(3, 3), 0, {}}}, {2, 2, 2, 2}, 1, {2, 2}},
    };
    for (const auto& s : scenarios) {
        SCOPED_TRACE(s.name);
        MouseGrid w;
        if (s.setup) s.setup(w.grid);
        for (size_t i = 0; i < s.steps.size(); ++i)
            EXPECT_EQ(w.Do(s.steps[i].message, s.steps[i].at, s.steps[i].keys), s.steps[i].expected) << "step " << i;
        EXPECT_EQ(w.grid.SelectionBounds(), s.bounds);
        EXPECT_EQ(w.grid.Selection().Size(), s.selected);
        EXPECT_EQ(w.grid.GetFocusCell(), s.focus);
        EXPECT_EQ(w.grid.MouseState, MS_IDLE);
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(w.grid.AutoScrollTimer, 0u);
        const Log& last = s.steps.back().expected;
        EXPECT_EQ(w.grid.IsCellEditing(2, 2), !last.empty() && last.front() == "BEGINEDIT 2,2");
        if (HIMAGELIST list = w.grid.SetImageList(nullptr)) ImageList_Destroy(list);
    }
}

TEST(GridMouse, PressesLeadToTheirStates) {
    const struct {
        const char* what;
        Prepare setup;
        CPoint at;
        UINT keys;
        GridMouseState state;
        bool captured, timer;
    } cases[] = {
        {"the focus cell's text", FocusOnImage22, {128, 50}, L, MS_EDIT_PENDING, false, false},
        {"the focus cell's image", FocusOnImage22, {105, 50}, L, MS_SELECTING_CELLS, true, true},
        {"the focus cell's text with Ctrl", FocusOnImage22, {128, 50}, L | CTRL, MS_SELECTING_CELLS, true, true},
        {"a selected cell, drag-and-drop on", [](CGridCtrl& g) { g.DragAndDropEnabled = TRUE, g.SelectRange(2, 2, 3, 3); },
         At(3, 3), L, MS_DRAG_PENDING, true, false},
        {"whole rows", [](CGridCtrl& g) { g.WholeRowSelect = TRUE; }, At(2, 2), L, MS_SELECTING_ROWS, true, true},
        {"a row header", nullptr, At(3, 0), L, MS_SELECTING_ROWS, true, false},
        {"a row header, not selecting", [](CGridCtrl& g) { g.RowHeaderSelects = FALSE; }, At(3, 0), L, MS_IDLE, true,
         false},
        {"a column boundary, resizing off", [](CGridCtrl& g) { g.ColumnResizeEnabled = FALSE; }, {152, 10}, L,
         MS_SELECTING_COLUMNS, true, false},
        {"below the last row", nullptr, {125, 190}, L, MS_IDLE, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MouseGrid w;
        if (c.setup) c.setup(w.grid);
        w.Do(DOWN, c.at, c.keys);
        EXPECT_EQ(w.grid.MouseState, c.state);
        EXPECT_EQ(::GetCapture() == w.grid.m_hWnd, c.captured);
        EXPECT_EQ(w.grid.AutoScrollTimer != 0, c.timer);
        if (HIMAGELIST list = w.grid.SetImageList(nullptr)) ImageList_Destroy(list);
    }
}

TEST(GridMouse, AParentThatDestroysTheGridEndsTheHandler) {
    const Step down{DOWN, At(2, 2), L, {}}, up{UP, At(2, 2), 0, {}};
    const struct {
        UINT code;
        Prepare setup;
        std::vector<Step> steps;
        Log expected;
    } cases[] = {
        {static_cast<UINT>(GRID_NOTIFY_SELCHANGING), nullptr, {down}, {"OnPress 25,10", "SELCHANGING 2,2"}},
        {static_cast<UINT>(GRID_NOTIFY_SELCHANGED), nullptr, {down, up}, {"OnPress 25,10", "SELCHANGING 2,2", "SELCHANGED 2,2"}},
        {NM_CLICK, nullptr, {down, up}, Log{"OnPress 25,10", "SELCHANGING 2,2"} + Log(kRelease22.begin(), kRelease22.end() - 1)},
        {NM_CLICK, [](CGridCtrl& g) { g.DragAndDropEnabled = TRUE, g.SelectRange(2, 2, 2, 2); }, {down, up},
         {"OnPress 25,10", "NM_CLICK 2,2"}},
        {NM_DBLCLK, nullptr, {{WM_LBUTTONDBLCLK, At(2, 2), L, {}}, up}, {"OnDoubleClick 25,10", "NM_DBLCLK 2,2"}},
        {NM_RCLICK, nullptr, {{WM_RBUTTONUP, At(2, 2), 0, {}}}, {"OnRightClick 25,10", "NM_RCLICK 2,2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.back());
        MouseGrid w;
        if (c.setup) c.setup(w.grid);
        w.parent.destroyOn = static_cast<int>(c.code);
        for (const Step& step : c.steps) w.Do(step.message, step.at, step.keys);
        EXPECT_FALSE(w.grid.IsWindow());
        EXPECT_EQ(w.parent.log, c.expected);
    }
}

TEST(GridMouse, TheAutoScrollTimerSelectsBeyondTheEdgeUntilTheCaptureGoes) {
    MouseGrid w(30, 5);  // 30 rows of 20 pixels in 200: the last ones below the window
    for (bool released : {true, false}) {
        w.grid.ClearSelection();  // no focus cell: the press selects, not edits
        w.Do(DOWN, At(2, 2), L);
        ASSERT_EQ(w.grid.AutoScrollTimer, AUTOSCROLL_TIMER_ID);
        CRect client;
        w.grid.GetClientRect(&client);
        CPoint below(At(2, 2).x, client.bottom + 20);
        w.grid.ClientToScreen(&below);
        ASSERT_TRUE(SetCursorPos(below.x, below.y));
        w.grid.SendMessage(WM_TIMER, AUTOSCROLL_TIMER_ID);
        EXPECT_EQ(w.grid.SelectionBounds(), CGridCellRange(2, 2, w.grid.RowAt(client.bottom), 2));
        if (released) {
            w.Do(UP, At(2, 2), 0);
        } else {
            ::SetCapture(w.parent.m_hWnd);  // another window takes the mouse
            ::ReleaseCapture();
        }
        EXPECT_EQ(w.grid.AutoScrollTimer, 0u);
        EXPECT_FALSE(KillTimer(w.grid.m_hWnd, AUTOSCROLL_TIMER_ID)) << "no timer left running";
    }
}

TEST(GridMouse, ASelectionChangeRepaintsOnlyTheCellsThatChange) {
    // Steps on one grid, each with the cells it leaves to repaint.
    MouseGrid w(30, 5);
    CGridCtrl& g = w.grid;
    const struct {
        const char* what;
        std::function<void()> act;
        std::set<std::pair<int, int>> repainted;
    } steps[] = {
        {"a block", [&] { g.SelectRange(1, 1, 2, 2); }, {{1, 1}, {1, 2}, {2, 1}, {2, 2}}},
        {"one row more", [&] { g.SelectRange(1, 1, 3, 2); }, {{3, 1}, {3, 2}}},
        {"four fewer", [&] { g.SelectRange(2, 2, 3, 2); }, {{1, 1}, {1, 2}, {2, 1}, {3, 1}}},
        {"a Ctrl-press keeps them", [&] { w.Do(DOWN, At(5, 4), L | CTRL); }, {{5, 4}}},
        {"the Ctrl-drag grows", [&] { w.Do(MOVE, At(6, 4), L | CTRL); }, {{6, 4}}},
        {"the release", [&] { w.Do(UP, At(6, 4), CTRL); }, {}},
        // What the Ctrl-press kept stays until a press, a key or ClearSelection drops it.
        {"a block off the screen", [&] { g.SelectRange(20, 1, 25, 4); }, {{5, 4}, {6, 4}}},
        {"cleared", [&] { g.ClearSelection(); }, {{2, 2}, {3, 2}}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        ValidateRect(g.m_hWnd, nullptr);
        s.act();
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(g.m_hWnd, region, FALSE);
        for (int row = 1; row < 10; ++row)
            for (int col = 1; col < 5; ++col)
                EXPECT_EQ(PtInRegion(region, At(row, col).x, At(row, col).y) != FALSE, s.repainted.count({row, col}) != 0)
                    << row << "," << col;
        DeleteObject(region);
    }
}

TEST(GridMouse, HeaderPressesSortAscendingDescendingAscendingThenSelect) {
    MouseGrid w;
    w.grid.SortOnHeaderClick = TRUE;
    const char* texts[] = {"e", "c", "a", "d", "b"};
    for (int r = 1; r <= 5; ++r) w.grid.SetCellText(r, 2, texts[r - 1]);
    for (const char* expected : {"abcde", "edcba", "abcde"}) {
        w.Do(DOWN, At(0, 2), L);
        w.Do(UP, At(0, 2), 0);
        std::string column;
        for (int r = 1; r <= 5; ++r) column += w.grid.GetCellText(r, 2);
        EXPECT_EQ(column, expected);
        EXPECT_EQ(w.grid.SelectionBounds(), CGridCellRange(1, 2, 5, 2));
    }
}
