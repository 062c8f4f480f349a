// Scrolling as messages drive it: line, page, top and bottom steps on both bars, hidden
// rows and columns passed over, the wheel's posted requests, scrolling a cell into view,
// resizing, the auto-scroll timer, and points mapped back to cells.
#include <functional>
#include <vector>

#include "grid/cells/GridTitleTip.h"
#include "tests/grid/GridTestSupport.h"

namespace {
// Counts the requests to close an editor.
class CEditedCell : public CGridCell {
    DECLARE_DYNCREATE(CEditedCell)

public:
    static int& Stops() {
        static int stops = 0;
        return stops;
    }
    void StopEdit() override { ++Stops(); }
};
IMPLEMENT_DYNCREATE(CEditedCell, CGridCell)

// Records the keys the grid is sent (its own keyboard handling comes later).
class CKeyRecordingGrid : public CGridCtrl {
public:
    std::vector<UINT> keys;
    void OnKeyDown(UINT key, UINT, UINT) { keys.push_back(key); }

protected:
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CKeyRecordingGrid, CGridCtrl)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

// A uniform grid (MakeUniform) in a 300 x 200 window.
struct ScrollGrid {
    RecordingParent parent;
    CKeyRecordingGrid grid;
    ScrollGrid(int rows, int cols, int width = 300, int height = 200) {
        EXPECT_TRUE(parent.CreateTopLevel());
        EXPECT_TRUE(grid.Create(CRect(0, 0, width, height), &parent, GRID_ID, WS_CHILD | WS_VISIBLE));
        grid.CellClass = RUNTIME_CLASS(CEditedCell);
        MakeUniform(grid, rows, cols);
    }
    CRect Client() {
        CRect r;
        grid.GetClientRect(&r);
        return r;
    }
    void Send(int bar, UINT code, UINT pos16 = 0) {
        grid.SendMessage(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos16), 0);
    }
    int Pos(int bar) { return grid.ScrollPos(bar); }
    CRect Update() {
        CRect r;
        GetUpdateRect(grid.m_hWnd, &r, FALSE);
        return r;
    }
    void Validate() { ValidateRect(grid.m_hWnd, nullptr); }
};

UINT Down(int bar) { return bar == SB_VERT ? SB_LINEDOWN : SB_LINERIGHT; }
UINT Up(int bar) { return bar == SB_VERT ? SB_LINEUP : SB_LINELEFT; }
}  // namespace

TEST(GridScroll, LineStepsMoveOneLineAndPassOverHiddenOnes) {
    ScrollGrid w(30, 15);
    CGridCtrl& g = w.grid;
    // Line 1 has the usual size, lines 2 and 3 are hidden, line 4 is bigger.
    g.SetRowHeight(2, 0);
    g.SetRowHeight(3, 0);
    g.SetRowHeight(4, 30);
    g.SetColumnWidth(2, 0);
    g.SetColumnWidth(3, 0);
    g.SetColumnWidth(4, 70);
    const struct {
        int bar;
        int down1, down2, fixedSize;
    } bars[] = {{SB_VERT, 20, 50, 20}, {SB_HORZ, 50, 120, 50}};
    for (const auto& b : bars) {
        w.Validate();
        w.Send(b.bar, Down(b.bar));
        EXPECT_EQ(w.Pos(b.bar), b.down1);
        // Only the scrolling area repaints; the fixed lines stay.
        CRect area = w.Client();
        (b.bar == SB_VERT ? area.top : area.left) = b.fixedSize;
        EXPECT_EQ(w.Update(), area);
        w.Send(b.bar, Down(b.bar));
        EXPECT_EQ(w.Pos(b.bar), b.down2) << "the hidden lines took no step";
        EXPECT_EQ(b.bar == SB_VERT ? g.TopLeftScrollCell().row : g.TopLeftScrollCell().col, 5);
        w.Send(b.bar, Up(b.bar));
        EXPECT_EQ(w.Pos(b.bar), b.down1);
        w.Send(b.bar, Up(b.bar));
        EXPECT_EQ(w.Pos(b.bar), 0);
        w.Validate();
        w.Send(b.bar, Up(b.bar));
        EXPECT_EQ(w.Pos(b.bar), 0);
        EXPECT_TRUE(w.Update().IsRectEmpty()) << "nothing above the first line";
    }
}

TEST(GridScroll, PagesEndsAndTheThumb) {
    ScrollGrid w(30, 15);
    const CRect client = w.Client();
    const struct {
        int bar, size, fixedSize;
    } bars[] = {{SB_VERT, client.Height(), 20}, {SB_HORZ, client.Width(), 50}};
    for (const auto& b : bars) {
        SCROLLINFO info{};
        w.grid.GetScrollInfo(b.bar, &info, SIF_RANGE | SIF_PAGE);
        const int last = info.nMax - static_cast<int>(info.nPage) + 1;  // where the bar stops
        w.Send(b.bar, SB_PAGEDOWN);
        EXPECT_EQ(w.Pos(b.bar), b.size - b.fixedSize);
        w.Send(b.bar, SB_PAGEUP);
        EXPECT_EQ(w.Pos(b.bar), 0);

        w.Validate();
        w.Send(b.bar, SB_BOTTOM);
        EXPECT_EQ(w.Pos(b.bar), last);
        EXPECT_EQ(w.Update(), client) << "an end repaints everything";
        // At the end a line step moves nothing and repaints nothing.
        w.Validate();
        w.Send(b.bar, Down(b.bar));
        EXPECT_EQ(w.Pos(b.bar), last);
        EXPECT_TRUE(w.Update().IsRectEmpty());

        // The thumb is read from the bar (32 bits), never from the message's 16 bits.
        w.Send(b.bar, SB_THUMBTRACK, 40);
        w.Send(b.bar, SB_THUMBPOSITION, 40);
        EXPECT_EQ(w.Pos(b.bar), last);
        w.Send(b.bar, SB_ENDSCROLL);
        EXPECT_EQ(w.Pos(b.bar), last);
        w.Send(b.bar, SB_TOP);
        EXPECT_EQ(w.Pos(b.bar), 0);
    }
}

TEST(GridScroll, ScrollingClosesTheEditorAndHidesTheTitleTip) {
    ScrollGrid w(30, 15);
    CGridTitleTip* tip = w.grid.GetTitleTip();
    ASSERT_TRUE(tip->Create(&w.grid));
    for (UINT message : {WM_VSCROLL, WM_HSCROLL}) {
        w.grid.MoveFocusTo(3, 3);
        ShowWindow(tip->m_hWnd, SW_SHOWNA);
        CEditedCell::Stops() = 0;
        w.grid.SendMessage(message, SB_LINEDOWN);
        EXPECT_EQ(CEditedCell::Stops(), 1);
        EXPECT_FALSE(tip->IsWindowVisible());
    }
}

TEST(GridScroll, WheelNotchesPostRequests) {
    ScrollGrid w(30, 15);
    // Rows of 20 below a header of 20: the rows a page holds whole.
    const int page = (w.Client().Height() - 20) / 20;
    const struct {
        int lines;
        short delta;
        UINT code;
        int count;
    } cases[] = {{3, 120, SB_LINEUP, 3},    {3, -240, SB_LINEDOWN, 6}, {3, 60, SB_LINEUP, 1},
                 {1, 60, SB_LINEUP, 0},     {-1, 240, SB_PAGEUP, 2},   {-1, -120, SB_PAGEDOWN, 1},
                 {-1, 100, SB_PAGEUP, 0},
                 // A registry value of any size: more than a page is a page per notch.
                 {page, -120, SB_LINEDOWN, page}, {page + 1, -120, SB_PAGEDOWN, 1},
                 {1000, 240, SB_PAGEUP, 2},       {99999999, -120, SB_PAGEDOWN, 1},
                 {-7, -120, SB_PAGEDOWN, 1},      {0, 120, SB_LINEUP, 0}};
    for (const auto& c : cases) {
        w.grid.WheelScrollLines = c.lines;
        w.grid.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.delta)), MAKELPARAM(10, 10));
        EXPECT_EQ(w.Pos(SB_VERT), 0) << "posted, not done yet";
        MSG msg;
        int count = 0;
        while (PeekMessageW(&msg, w.grid.m_hWnd, WM_VSCROLL, WM_VSCROLL, PM_REMOVE)) {
            EXPECT_EQ(LOWORD(msg.wParam), c.code) << c.lines << " " << c.delta;
            ++count;
        }
        EXPECT_EQ(count, c.count) << c.lines << " " << c.delta;
    }
}

TEST(GridScroll, CellIntoView) {
    ScrollGrid w(30, 15);
    CGridCtrl& g = w.grid;
    g.SetColumnWidth(7, 0);
    g.SetColumnWidth(8, 0);
    const CRect client = w.Client();
    SetFocus(w.parent.m_hWnd);
    g.ScrollCellIntoView(20, 10);
    CRect r;
    ASSERT_TRUE(g.CellRect(20, 10, &r));
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);
    EXPECT_GE(r.left, g.FixedColumnsWidth());
    EXPECT_GE(r.top, g.FixedRowsHeight());
    EXPECT_EQ(GetFocus(), w.parent.m_hWnd) << "the focus stays where it was";
    // Not one line further than needed, although hidden columns lay on the way.
    w.Send(SB_HORZ, SB_LINELEFT);
    w.Send(SB_VERT, SB_LINEUP);
    g.CellRect(20, 10, &r);
    EXPECT_GT(r.right, client.right);
    EXPECT_GT(r.bottom, client.bottom);

    g.ScrollCellIntoView(1, 1);
    EXPECT_EQ(g.TopLeftScrollCell(), CGridCellId(1, 1));
    EXPECT_EQ(w.Pos(SB_VERT), 0);
    EXPECT_EQ(w.Pos(SB_HORZ), 0);

    // Fixed columns wider than the window: nothing can scroll, and nothing hangs.
    w.Send(SB_HORZ, SB_PAGEDOWN);
    w.Send(SB_VERT, SB_PAGEDOWN);
    ASSERT_GT(w.Pos(SB_HORZ), 0);
    g.SetFixedColumnCount(7);
    g.UpdateScrollBars();
    EXPECT_EQ(w.Pos(SB_HORZ), 0) << "no bar, no scrolled content";
    EXPECT_EQ(w.Pos(SB_VERT), 0);
    EXPECT_EQ(g.HScrollMax, 0);
    EXPECT_EQ(g.VScrollMax, 0);
    g.ScrollCellIntoView(5, 12);
    w.Send(SB_VERT, SB_LINEDOWN);
    EXPECT_EQ(w.Pos(SB_HORZ), 0);
    EXPECT_EQ(w.Pos(SB_VERT), 0);
}

TEST(GridScroll, ResizingUpdatesTheBars) {
    ScrollGrid w(10, 3);  // exactly as high as the window
    CGridCtrl& g = w.grid;
    EXPECT_FALSE(g.GetStyle() & WS_VSCROLL);
    g.MoveFocusTo(2, 2);
    CEditedCell::Stops() = 0;
    g.MoveWindow(CRect(0, 0, 300, 150));
    EXPECT_GE(CEditedCell::Stops(), 1) << "a resize closes the editor";
    EXPECT_TRUE(g.GetStyle() & WS_VSCROLL);
    SCROLLINFO info{};
    g.GetScrollInfo(SB_VERT, &info, SIF_RANGE | SIF_PAGE);
    EXPECT_EQ(info.nMax, 180 - 1);
    EXPECT_EQ(info.nPage, static_cast<UINT>(150 - 20));
    g.MoveWindow(CRect(0, 0, 300, 200));
    EXPECT_FALSE(g.GetStyle() & WS_VSCROLL);
    EXPECT_EQ(g.VScrollMax, 0);
}

TEST(GridScroll, AutoScrollTimerSendsKeysAndExtendsTheSelection) {
    ScrollGrid w(30, 15);
    CKeyRecordingGrid& g = w.grid;
    const CRect client = w.Client();
    g.MouseState = MS_SELECTING_CELLS;
    g.SelectionAnchor = CGridCellId(2, 2);
    // Rows of 20 and columns of 50 from the top-left: the cell under a point is (y/20, x/50).
    const struct {
        CPoint cursor;
        std::vector<UINT> keys;
        CGridCellRange selection;
    } cases[] = {
        {{125, client.bottom + 30}, {VK_DOWN}, {2, 2, client.bottom / 20, 2}},
        {{client.right + 30, 100}, {VK_RIGHT}, {2, 2, 5, client.right / 50}},
        {{10, 100}, {VK_LEFT}, {2, 1, 5, 2}},   // to the first column past the fixed one
        {{125, 5}, {VK_UP}, {1, 2, 2, 2}},      // to the first row below the fixed one
        {{client.right + 30, client.bottom + 30}, {VK_DOWN, VK_RIGHT},
         {2, 2, client.bottom / 20, client.right / 50}},
    };
    for (const auto& c : cases) {
        g.SelectRange(2, 2, 2, 2);
        g.keys.clear();
        CPoint screen = c.cursor;
        g.ClientToScreen(&screen);
        ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
        g.SendMessage(WM_TIMER, AUTOSCROLL_TIMER_ID);
        EXPECT_EQ(g.keys, c.keys) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(g.SelectionBounds(), c.selection) << c.cursor.x << "," << c.cursor.y;
    }
    // Inside the window, or another timer: nothing.
    CPoint inside(125, 100);
    g.ClientToScreen(&inside);
    SetCursorPos(inside.x, inside.y);
    g.keys.clear();
    g.SendMessage(WM_TIMER, AUTOSCROLL_TIMER_ID);
    CPoint below(125, client.bottom + 30);
    g.ClientToScreen(&below);
    SetCursorPos(below.x, below.y);
    g.SendMessage(WM_TIMER, AUTOSCROLL_TIMER_ID + 1);
    EXPECT_TRUE(g.keys.empty());
}

TEST(GridGeometry, CellFromPoint) {
    ScrollGrid w(4, 3);  // the cells cover 150 x 80
    CGridCtrl& g = w.grid;
    g.MergeCells(1, 1, 2, 2);
    const struct {
        CPoint point;
        BOOL allowFixed;
        CGridCellId cell;
    } cases[] = {
        {{60, 65}, TRUE, {3, 1}},   {{10, 10}, TRUE, {0, 0}},    {{10, 10}, FALSE, {-1, -1}},
        {{75, 10}, FALSE, {-1, -1}}, {{10, 30}, FALSE, {-1, -1}}, {{75, 10}, TRUE, {0, 1}},
        {{-1, 30}, TRUE, {-1, -1}},  {{60, -1}, TRUE, {-1, -1}},
        {{150, 30}, TRUE, {-1, -1}},  // right of the last column
        {{60, 80}, TRUE, {-1, -1}},   // below the last row
        {{149, 79}, TRUE, {3, 2}},
        {{120, 50}, FALSE, {1, 1}},   // inside the merged block: its origin
        {{99, 39}, TRUE, {1, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(g.CellFromPoint(c.point, c.allowFixed), c.cell) << c.point.x << "," << c.point.y << " " << c.allowFixed;
    CRect origin, block;
    ASSERT_TRUE(g.CellRect(1, 1, &origin));
    ASSERT_TRUE(g.RangeRect(CGridCellRange(1, 1, 2, 2), &block));
    EXPECT_EQ(origin, block);
    EXPECT_EQ(g.MergedWidth(2, 2), 100);
    EXPECT_EQ(g.MergedHeight(1, 2), 40);
    EXPECT_EQ(g.MergedWidth(3, 1), 50);
    EXPECT_EQ(g.MergedHeight(3, 1), 20);

    ScrollGrid tall(30, 3);
    tall.grid.SetScrollPosition(SB_VERT, 40);
    EXPECT_EQ(tall.grid.CellFromPoint(CPoint(60, 25)), CGridCellId(3, 1)) << "scrolled rows";
    EXPECT_EQ(tall.grid.CellFromPoint(CPoint(60, 5)), CGridCellId(0, 1)) << "the header stays";
}

TEST(GridScroll, CellIntoViewMovesOnceByWholeLinesNoFurtherThanNeeded) {
    ScrollGrid w(60, 3);  // no horizontal bar: a 180-pixel scrolling area below the header
    CKeyRecordingGrid& g = w.grid;
    ASSERT_EQ(w.Client().Height(), 200);
    g.SetRowHeight(40, 0);    // hidden
    g.SetRowHeight(41, 300);  // taller than the area
    g.SetRowHeight(50, 35);
    const struct {
        int row;
        int position;  // pixels past the header
        int topRow;
    } steps[] = {
        {25, 320, 17},   // its bottom (500) at the area's bottom: rows 17..25 whole
        {20, 320, 17},   // in view: nothing moves
        {10, 180, 10},   // above: it becomes the first row
        {41, 780, 40},   // taller than the area: at the area's top (behind hidden row 40)
        {50, 1100, 43},  // ends at 1275: row 43 is the first to start at 1275 - 180 or later
        {1, 0, 1},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.row);
        g.ScrollCellIntoView(s.row, 1);
        EXPECT_EQ(w.Pos(SB_VERT), s.position);
        EXPECT_EQ(g.TopLeftScrollCell().row, s.topRow);
    }
}

TEST(GridScroll, PagesNeverStepBackWhenTheFixedLinesLeaveNoRoom) {
    // The fixed lines fit the window without bars but not beside both bars: the area left to
    // scroll in is negative, and a page of it is nothing, never a step the wrong way.
    const struct {
        const char* what;
        int bar;
    } cases[] = {{"fixed rows", SB_VERT}, {"fixed columns", SB_HORZ}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScrollGrid w(20, 8);  // 19 x 7 scrolling cells of 20 x 50
        CGridCtrl& g = w.grid;
        if (c.bar == SB_VERT) {
            g.SetFixedRowCount(9);
            g.SetRowHeight(8, 30);  // 190 of 200 pixels
        } else {
            g.SetFixedColumnCount(5);
            g.SetColumnWidth(4, 90);  // 290 of 300
        }
        ASSERT_TRUE((g.GetStyle() & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL));
        SCROLLINFO info{};
        g.GetScrollInfo(c.bar, &info, SIF_RANGE | SIF_PAGE);
        EXPECT_EQ(info.nPage, 0u);
        g.SetScrollPosition(c.bar, 40);
        for (UINT code : {SB_PAGEUP, SB_PAGEDOWN}) {
            w.Send(c.bar, code);
            EXPECT_EQ(w.Pos(c.bar), 40) << code;
        }
    }
}

namespace {
// A cell whose editor, asked to close, does something to another grid: the request comes
// from inside its own grid's resize (or attach) handling.
class MeddlingCell : public CGridCell {
    DECLARE_DYNCREATE(MeddlingCell)

public:
    static std::function<void()>& OnStop() {
        static std::function<void()> onStop;
        return onStop;
    }
    void StopEdit() override {
        std::function<void()> once;
        once.swap(OnStop());
        if (once) once();
    }
};
IMPLEMENT_DYNCREATE(MeddlingCell, CGridCell)
}  // namespace

TEST(GridScroll, TwoGridsNeverBlockEachOthersResizeOrAttach) {
    RecordingParent parent;
    ASSERT_TRUE(parent.CreateTopLevel(700, 400));
    CGridCtrl a, b;
    a.CellClass = RUNTIME_CLASS(MeddlingCell);
    MakeUniform(a, 10, 3);
    MakeUniform(b, 10, 3);  // 200 pixels of rows
    a.MoveFocusTo(2, 2);
    // Attached to existing windows, as a dialog's controls are.
    HWND first = CreateWindowExW(0, GRID_WINDOW_CLASS, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300, 260, parent.m_hWnd,
                                 reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr), nullptr);
    HWND second = CreateWindowExW(0, GRID_WINDOW_CLASS, nullptr, WS_CHILD | WS_VISIBLE, 320, 0, 300, 260,
                                  parent.m_hWnd, reinterpret_cast<HMENU>(2), GetModuleHandleW(nullptr), nullptr);
    // While the first grid is being attached, the second one is.
    MeddlingCell::OnStop() = [&] { EXPECT_TRUE(b.SubclassWindow(second)); };
    ASSERT_TRUE(a.SubclassWindow(first));
    EXPECT_TRUE(b.GetExStyle() & WS_EX_CLIENTEDGE) << "the second grid was attached in full";
    EXPECT_FALSE(b.GetStyle() & WS_VSCROLL);
    // While the first grid handles its resize, the second one is made too short for its rows.
    MeddlingCell::OnStop() = [&] { b.MoveWindow(CRect(320, 0, 620, 150)); };
    a.MoveWindow(CRect(0, 0, 300, 250));
    EXPECT_FALSE(MeddlingCell::OnStop());
    EXPECT_TRUE(b.GetStyle() & WS_VSCROLL) << "the second grid handled its own resize";
}
