// Cell positions, the scroll bars' ranges, what counts as on screen, and single-cell
// repaint and invalidation.
#include "tests/grid/GridTestSupport.h"

namespace {
// 20 rows of 20 pixels and 10 columns of 50, one fixed row and column, in a 300 x 200 window.
struct UniformGrid : GridInWindow {
    explicit UniformGrid(int rows = 20, int cols = 10) : GridInWindow(rows, cols, 1, 1, 300, 200) {
        for (int r = 0; r < rows; ++r) grid.SetRowHeight(r, 20);
        for (int c = 0; c < cols; ++c) grid.SetColumnWidth(c, 50);
    }
};

bool Shown(const CGridCtrl& g, DWORD barStyle) { return (g.GetStyle() & barStyle) != 0; }

CRect UpdateRect(HWND wnd) {
    CRect r;
    GetUpdateRect(wnd, &r, FALSE);
    return r;
}
}  // namespace

TEST(GridGeometry, CellRectanglesFromTheSizes) {
    UniformGrid w;
    CGridCtrl& g = w.grid;
    EXPECT_EQ(g.VirtualWidth(), 500);
    EXPECT_EQ(g.VirtualHeight(), 400);
    EXPECT_EQ(g.FixedColumnsWidth(), 50);
    EXPECT_EQ(g.FixedRowsHeight(), 20);
    const struct {
        int row, col;
        CRect rect;
    } unscrolled[] = {{0, 0, {0, 0, 49, 19}}, {1, 1, {50, 20, 99, 39}}, {2, 3, {150, 40, 199, 59}}, {0, 9, {450, 0, 499, 19}}};
    for (const auto& c : unscrolled) {
        CRect r;
        ASSERT_TRUE(g.CellRect(c.row, c.col, &r));
        EXPECT_EQ(r, c.rect) << c.row << "," << c.col;
    }
    CRect r;
    EXPECT_FALSE(g.CellRect(20, 0, &r));
    EXPECT_FALSE(g.RangeRect(CGridCellRange(0, 0, 0, 10), &r));
    ASSERT_TRUE(g.RangeRect(CGridCellRange(1, 1, 2, 3), &r));
    EXPECT_EQ(r, CRect(50, 20, 199, 59));

    // Scrolled by two rows and one column: the fixed lines stay, the others move, and cells
    // scrolled off get negative positions.
    g.SetScrollPosition(SB_VERT, 40);
    g.SetScrollPosition(SB_HORZ, 50);
    EXPECT_EQ(g.TopLeftScrollCell(), CGridCellId(3, 2));
    const struct {
        int row, col;
        CPoint origin;
    } scrolled[] = {{0, 0, {0, 0}}, {1, 1, {0, -20}}, {3, 2, {50, 20}}, {0, 5, {200, 0}}, {4, 0, {0, 40}}};
    for (const auto& c : scrolled) {
        CPoint p;
        ASSERT_TRUE(g.CellOrigin(c.row, c.col, &p));
        EXPECT_EQ(p, c.origin) << c.row << "," << c.col;
    }
}

TEST(GridGeometry, VisibleRangeAndOnScreenCells) {
    UniformGrid w;
    CGridCtrl& g = w.grid;
    CRect client;
    g.GetClientRect(&client);
    CRect covered;
    CGridCellRange visible = g.VisibleScrollRange(&covered);
    // Rows of 20 below the 20-pixel header; the last one may be cut by the client bottom.
    const int lastRow = (client.bottom - 20 + 19) / 20, lastCol = (client.right - 50 + 49) / 50;
    EXPECT_EQ(visible, CGridCellRange(1, 1, lastRow, lastCol));
    EXPECT_EQ(covered, CRect(0, 0, client.right, client.bottom));

    const struct {
        int row, col;
        BOOL onScreen;
    } cases[] = {{1, 1, TRUE}, {0, 0, TRUE}, {lastRow, lastCol, TRUE}, {lastRow + 1, 1, FALSE},
                 {1, lastCol + 1, FALSE}, {0, 9, FALSE}, {20, 1, FALSE}};
    for (const auto& c : cases) EXPECT_EQ(g.IsCellOnScreen(c.row, c.col), c.onScreen) << c.row << "," << c.col;
    g.SetScrollPosition(SB_VERT, 60);
    EXPECT_FALSE(g.IsCellOnScreen(2, 1)) << "scrolled off the top";
    EXPECT_TRUE(g.IsCellOnScreen(0, 1)) << "headers stay";
    EXPECT_TRUE(g.IsCellOnScreen(4, 1));

    // Fewer cells than room: the covered area ends with the cells.
    UniformGrid small(3, 2);
    visible = small.grid.VisibleScrollRange(&covered);
    EXPECT_EQ(visible, CGridCellRange(1, 1, 2, 1));
    EXPECT_EQ(covered, CRect(0, 0, 100, 60));

    CGridCtrl noWindow(3, 3);
    EXPECT_FALSE(noWindow.IsCellOnScreen(0, 0));
}

TEST(GridScrollBars, BarsFollowTheContent) {
    GridInWindow w(10, 1, 0, 0, 300, 200);
    CGridCtrl& g = w.grid;
    for (int r = 0; r < 10; ++r) g.SetRowHeight(r, 20);
    g.SetColumnWidth(0, 100);
    // Exactly as high as the window: no bar.
    EXPECT_FALSE(Shown(g, WS_VSCROLL));
    EXPECT_EQ(g.VScrollMax, 0);

    // One pixel more: the vertical bar with maximum = content - 1 and page = the height.
    g.SetRowHeight(9, 21);
    EXPECT_TRUE(Shown(g, WS_VSCROLL));
    EXPECT_FALSE(Shown(g, WS_HSCROLL));
    EXPECT_EQ(g.VScrollMax, 200);
    SCROLLINFO info{};
    g.GetScrollInfo(SB_VERT, &info, SIF_RANGE | SIF_PAGE);
    EXPECT_EQ(info.nMax, 200);
    EXPECT_EQ(info.nPage, 200u);

    // Columns that fit only without the vertical bar need a horizontal one beside it.
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    g.SetColumnWidth(0, 300 - barWidth);
    EXPECT_FALSE(Shown(g, WS_HSCROLL));
    g.SetColumnWidth(0, 300 - barWidth + 1);
    EXPECT_TRUE(Shown(g, WS_HSCROLL));
    EXPECT_EQ(g.HScrollMax, 300 - barWidth);

    // Rows that fit exactly, columns that do not: the horizontal bar takes the height the
    // last row needs, so the vertical bar comes too (its width is not charged to the
    // columns: the horizontal range stays the content's).
    g.SetRowHeight(9, 20);
    g.SetColumnWidth(0, 250);
    EXPECT_FALSE(Shown(g, WS_HSCROLL));
    EXPECT_FALSE(Shown(g, WS_VSCROLL));
    g.SetColumnWidth(0, 400);
    EXPECT_TRUE(Shown(g, WS_HSCROLL));
    EXPECT_TRUE(Shown(g, WS_VSCROLL));
    EXPECT_EQ(g.VScrollMax, 199);
    EXPECT_EQ(g.HScrollMax, 399);
    g.GetScrollInfo(SB_VERT, &info, SIF_RANGE | SIF_PAGE);
    EXPECT_EQ(info.nPage, static_cast<UINT>(200 - GetSystemMetrics(SM_CYHSCROLL)));

    // Fixed columns wider than the window: no bars at all.
    g.SetFixedColumnCount(1);
    g.SetRowCount(30);
    g.UpdateScrollBars();
    EXPECT_FALSE(Shown(g, WS_HSCROLL));
    EXPECT_FALSE(Shown(g, WS_VSCROLL));
}

TEST(GridScrollBars, FixedCountsAndEmptyContentSetTheRanges) {
    // The fixed lines leave the scrolling area at once; a bar comes only for lines to scroll,
    // however little room the fixed lines and the other bar leave.
    const struct {
        const char* what;
        int rows, cols, fixedRows, fixedCols, fixedWidth, width;  // the widths of fixed and other columns
        bool horizontal, vertical;
        int hMax, vMax;
    } cases[] = {
        {"fixed rows", 12, 2, 3, 0, 0, 120, false, true, 0, 179},
        {"fixed columns", 12, 3, 0, 1, 120, 120, true, true, 239, 239},
        {"no columns to scroll, the fixed one nearly as wide as the window", 30, 2, 0, 1, 290, 0, false, true, 0, 599},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GridInWindow w(c.rows, c.cols, 0, 0, 300, 200);
        CGridCtrl& g = w.grid;
        for (int r = 0; r < c.rows; ++r) g.SetRowHeight(r, 20);
        for (int col = 0; col < c.cols; ++col) g.SetColumnWidth(col, col < c.fixedCols ? c.fixedWidth : c.width);
        g.SetFixedRowCount(c.fixedRows);
        g.SetFixedColumnCount(c.fixedCols);
        EXPECT_EQ(Shown(g, WS_HSCROLL), c.horizontal);
        EXPECT_EQ(Shown(g, WS_VSCROLL), c.vertical);
        EXPECT_EQ(g.HScrollMax, c.hMax);
        EXPECT_EQ(g.VScrollMax, c.vMax);
    }
}

TEST(GridRepaint, InvalidateCellMarksItsRectangle) {
    UniformGrid w;
    CGridCtrl& g = w.grid;
    ValidateRect(g.m_hWnd, nullptr);
    ASSERT_TRUE(g.InvalidateCell(2, 3));
    EXPECT_EQ(UpdateRect(g.m_hWnd), CRect(150, 40, 200, 60));

    ValidateRect(g.m_hWnd, nullptr);
    g.SortColumn = -1;
    g.SetSortColumn(2);
    EXPECT_EQ(UpdateRect(g.m_hWnd), CRect(100, 0, 150, 20)) << "the header of the sort column";

    const struct {
        int row, col;
        BOOL redraw;
    } refused[] = {{19, 1, TRUE}, {20, 0, TRUE}, {2, 3, FALSE}};
    for (const auto& c : refused) {
        g.RedrawEnabled = c.redraw;
        EXPECT_FALSE(g.InvalidateCell(c.row, c.col)) << c.row << "," << c.col;
        EXPECT_FALSE(g.RedrawCell(c.row, c.col)) << c.row << "," << c.col;
    }
}

TEST(GridRepaint, RedrawCellDrawsTheGridLinesOfScrollingCells) {
    UniformGrid w;
    CGridCtrl& g = w.grid;
    g.GridLineColour = RGB(0x12, 0x34, 0x56);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 300, -200, 1, 32, BI_RGB};
    void* bits = nullptr;
    CGdiObject dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(dib);
    CMemoryDC dc(nullptr);
    CSelectGuard select(dc, dib.GetSafeHandle());
    auto clear = [&] { dc.FillSolidRect(CRect(0, 0, 300, 200), RGB(0xFF, 0xFF, 0xFF)); };
    const struct {
        int mode, row, col;
        bool horizontal, vertical;
    } cases[] = {{3, 2, 2, true, true}, {1, 2, 2, true, false}, {2, 2, 2, false, true}, {0, 2, 2, false, false},
                 {3, 0, 2, false, false}, {3, 2, 0, false, false}};  // fixed cells get no lines
    for (const auto& c : cases) {
        clear();
        g.GridLineMode = c.mode;
        ASSERT_TRUE(g.RedrawCell(c.row, c.col, &dc));
        CRect r;
        g.CellRect(c.row, c.col, &r);
        const COLORREF line = g.GridLineColour;
        EXPECT_EQ(GetPixel(dc, r.left, r.bottom) == line, c.horizontal) << c.mode << " " << c.row << c.col;
        EXPECT_EQ(GetPixel(dc, r.right, r.top) == line, c.vertical) << c.mode << " " << c.row << c.col;
        // The cell itself is drawn with its background erased.
        EXPECT_EQ(GetPixel(dc, r.left + 3, r.top + 3), g.GetCell(c.row, c.col)->GetDefaultCell()->GetBackColour());
    }
}

TEST(GridGeometry, LinesAtPixelsAndPixelsOfLines) {
    UniformGrid w(30, 12);
    CGridCtrl& g = w.grid;
    g.SetRowHeight(3, 0);
    g.SetColumnWidth(3, 0);
    g.SetScrollPosition(SB_VERT, 40);  // rows 1 and 2 scrolled off; hidden row 3 is first
    g.SetScrollPosition(SB_HORZ, 50);  // column 1 scrolled off
    const struct {
        int pixel;
        BOOL allowFixed;
        int row, col;
    } at[] = {
        {0, TRUE, 0, 0},    {19, TRUE, 0, 0},   {0, FALSE, -1, -1}, {20, TRUE, 4, 0},
        {49, TRUE, 5, 0},   {50, FALSE, 5, 2},  {99, TRUE, 7, 2},   {100, TRUE, 8, 4},
        {-1, TRUE, -1, -1}, {599, TRUE, -1, -1},  // beyond the last line
    };
    for (const auto& c : at) {
        EXPECT_EQ(g.RowAt(c.pixel, c.allowFixed), c.row) << "y " << c.pixel << " " << c.allowFixed;
        EXPECT_EQ(g.ColumnAt(c.pixel, c.allowFixed), c.col) << "x " << c.pixel << " " << c.allowFixed;
    }
    const struct {
        int line, top, left;
    } edges[] = {{0, 0, 0}, {1, -20, 0}, {2, 0, 50}, {3, 20, 100}, {4, 20, 100}, {5, 40, 150}};
    for (const auto& e : edges) {
        int y = 0, x = 0;
        ASSERT_TRUE(g.RowTop(e.line, &y));
        ASSERT_TRUE(g.ColumnLeft(e.line, &x));
        EXPECT_EQ(y, e.top) << e.line;
        EXPECT_EQ(x, e.left) << e.line;
    }
    int unused = 0;
    EXPECT_FALSE(g.RowTop(30, &unused));
    EXPECT_FALSE(g.ColumnLeft(-1, &unused));
    EXPECT_EQ(g.RowRangeHeight(1, 4), 60);
    EXPECT_EQ(g.ColumnRangeWidth(0, 99), 550) << "clamped to the table";
}

TEST(GridGeometry, SizesAreBoundedAndTotalsDoNotWrap) {
    GridInWindow w(0, 0, 0, 0, 300, 200);
    CGridCtrl& g = w.grid;
    g.CellClass = nullptr;  // sizes only
    g.SetColumnCount(2);
    g.SetColumnWidth(0, 50);
    g.SetColumnWidth(1, 50);
    g.SetRowCount(70000);
    for (int row = 0; row < 70000; ++row) ASSERT_TRUE(g.SetRowHeight(row, 32767));
    EXPECT_FALSE(g.SetRowHeight(5, 32768));
    EXPECT_FALSE(g.SetColumnWidth(0, 40000));
    EXPECT_EQ(g.GetRowHeight(5), 32767);
    // 2,293,690,000 pixels: more than an int holds, so the int answer stops at its largest.
    EXPECT_EQ(g.RowRangeHeight(0, 69999), 2293690000LL);
    EXPECT_EQ(g.VirtualHeight(), 0x7FFFFFFF);
    EXPECT_GT(g.VScrollMax, 2000000000);
    // A row well past the first 2^30 pixels still comes into view, and back from a point.
    g.ScrollCellIntoView(40000, 1);
    EXPECT_EQ(g.ScrollPos(SB_VERT), 40000 * 32767);
    int top = -1;
    ASSERT_TRUE(g.RowTop(40000, &top));
    EXPECT_EQ(top, 0);
    EXPECT_EQ(g.CellFromPoint(CPoint(60, 10)), CGridCellId(40000, 1));
    int last = 0;
    ASSERT_TRUE(g.RowTop(69999, &last));
    EXPECT_EQ(last, 29999 * 32767);
}
