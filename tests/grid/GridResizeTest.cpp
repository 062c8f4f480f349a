// Resizing with the mouse, with real messages on a grid of 50 x 20 cells (columns 2 and 3
// meet at x = 150, rows 2 and 3 at y = 60; ResizeCaptureRange 3): which boundary a press
// grabs, the size the release gives, the pointer confined meanwhile, and the double click
// that fits a column to its contents.
#include <algorithm>

#include "tests/grid/GridTestSupport.h"

namespace {
using Sizes = std::vector<int>;
const Sizes k50 = {50, 50, 50, 50, 50};

Sizes Widths(const CGridCtrl& g) {
    Sizes w;
    for (int c = 0; c < 5; ++c) w.push_back(g.GetColumnWidth(c));
    return w;
}

void HideColumn2(CGridCtrl& g) { g.SetColumnWidth(2, 0); }
void MergeHead12(CGridCtrl& g) { g.MergeCells(0, 1, 0, 2); }

CRect ClipRect() {
    CRect r;
    GetClipCursor(&r);
    return r;
}
}  // namespace

TEST(GridResize, DraggingABoundary) {
    const struct {
        const char* what;
        void (*setup)(CGridCtrl&);
        CPoint press, release;
        bool grabs;  // a resize starts (and tells the parent nothing)
        Sizes widths;
        int row2Height;
    } cases[] = {
        {"2 right of the boundary of columns 2 and 3", nullptr, {152, 10}, {180, 10}, true, {50, 50, 80, 50, 50}, 20},
        {"2 left of it", nullptr, {148, 10}, {180, 10}, true, {50, 50, 80, 50, 50}, 20},
        {"3 right of it is no boundary", nullptr, {153, 10}, {180, 10}, false, k50, 20},
        {"below the header rows", nullptr, {152, 30}, {180, 30}, false, k50, 20},
        {"the left edge of column 0", nullptr, {1, 10}, {30, 10}, false, k50, 20},
        {"released at the press point", nullptr, {152, 10}, {152, 10}, true, k50, 20},
        {"a hidden column is grabbed", HideColumn2, {101, 10}, {130, 10}, true, {50, 50, 30, 50, 50}, 20},
        {"a hidden column is passed over", [](CGridCtrl& g) { HideColumn2(g), g.HiddenColumnsResizable = FALSE; },
         {101, 10}, {130, 10}, true, {50, 80, 0, 50, 50}, 20},
        {"a merged head", MergeHead12, {148, 10}, {170, 10}, true, {50, 70, 50, 50, 50}, 20},
        {"a merged head narrower than its other column", MergeHead12, {148, 10}, {80, 10}, true, {50, 0, 50, 50, 50}, 20},
        {"past the left edge, hideable", nullptr, {152, 10}, {90, 10}, true, {50, 50, 0, 50, 50}, 20},
        {"past the left edge, not hideable", [](CGridCtrl& g) { g.ColumnsHideable = FALSE; }, {152, 10}, {90, 10}, true,
         {50, 50, 1, 50, 50}, 20},
        {"a row boundary", nullptr, {10, 61}, {10, 75}, true, k50, 35},
        {"the top edge of row 0", nullptr, {10, 1}, {10, 30}, false, k50, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MouseGrid w;
        if (c.setup) c.setup(w.grid);
        w.Do(WM_MOUSEMOVE, c.press, 0);
        w.Do(WM_LBUTTONDOWN, c.press, MK_LBUTTON);
        EXPECT_EQ(w.grid.MouseState == MS_RESIZING_COLUMN || w.grid.MouseState == MS_RESIZING_ROW, c.grabs);
        w.Do(WM_MOUSEMOVE, c.release, MK_LBUTTON);
        const std::vector<std::string> release = w.Do(WM_LBUTTONUP, c.release, 0);
        EXPECT_EQ(release == std::vector<std::string>{"WM_COMMAND 1008/0"}, c.grabs);
        EXPECT_EQ(Widths(w.grid), c.widths);
        EXPECT_EQ(w.grid.GetRowHeight(2), c.row2Height);
        EXPECT_EQ(w.grid.MouseState, MS_IDLE);
    }
}

TEST(GridResize, ThePointerIsConfinedUntilTheReleaseOrTheLossOfTheCapture) {
    MouseGrid w;
    const CRect free = ClipRect();
    w.Do(WM_MOUSEMOVE, CPoint(152, 10), 0);
    w.grid.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(w.grid.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    for (bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "capture lost" : "released");
        w.Do(WM_LBUTTONDOWN, CPoint(152, 10), MK_LBUTTON);
        // Column 2 starts at x = 100: it keeps at least 1 pixel and can grow by the width of
        // the scrolling area.
        CRect client;
        w.grid.GetClientRect(&client);
        CRect expected(101, client.top, 101 + client.Width() - 50, client.bottom);
        w.grid.ClientToScreen(&expected);
        EXPECT_EQ(ClipRect(), expected);
        w.Do(WM_MOUSEMOVE, CPoint(170, 10), MK_LBUTTON);
        if (lost) ::SetCapture(w.parent.m_hWnd), ::ReleaseCapture();
        w.Do(WM_LBUTTONUP, CPoint(170, 10), 0);
        EXPECT_EQ(ClipRect(), free);
        EXPECT_EQ(w.grid.GetColumnWidth(2), lost ? 50 : 70);
        w.grid.SetColumnWidth(2, 50);
    }
}

TEST(GridResize, DoubleClickOnABoundaryFitsTheColumnBeforeIt) {
    const struct {
        const char* what;
        void (*setup)(CGridCtrl&);
        CPoint at;
        int column, lastRow;  // the column fitted (-1 none) over rows 0 to lastRow
    } cases[] = {
        {"every row with scope 3", nullptr, {152, 10}, 2, 5},
        {"the header rows with scope 1", [](CGridCtrl& g) { g.AutoSizeScope = 1; }, {148, 10}, 2, 0},
        {"a hidden column is passed over", HideColumn2, {101, 10}, 1, 5},
        {"the left edge of column 0 is no boundary", nullptr, {1, 10}, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MouseGrid w;
        for (int r = 0; r < 6; ++r)
            for (int col = 0; col < 5; ++col) w.grid.SetCellText(r, col, r == 3 ? "WWWWWWWWWWWWWW" : r ? "WW" : "Head");
        if (c.setup) c.setup(w.grid);
        Sizes widths = Widths(w.grid);
        if (c.column >= 0) {
            CClientDC dc(w.grid.m_hWnd);
            widths[c.column] = 0;
            for (int r = 0; r <= c.lastRow; ++r)
                widths[c.column] = std::max<int>(widths[c.column], w.grid.GetCell(r, c.column)->MeasureCell(&dc).cx);
        }
        // The click on the boundary changes nothing; the double click that follows fits.
        for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            w.Do(message, c.at, message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0);
        EXPECT_EQ(Widths(w.grid), widths);
    }
}
