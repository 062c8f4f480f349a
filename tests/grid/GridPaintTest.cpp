// The paint pass read back from DIB sections: background areas, grid lines, the order of
// the passes, merged blocks, selection, clipping, and that a paint leaves the GDI state as
// it found it. Colours are set to distinct values so that every area can be told apart.
#include <algorithm>
#include <algorithm>
#include <set>
#include <utility>

#include "grid/BufferedDC.h"
#include "tests/grid/GridTestSupport.h"

namespace {
const COLORREF kNormal = RGB(0xFF, 0xFF, 0xE0), kFixedRow = RGB(0xD0, 0xE0, 0xF0), kFixedCol = RGB(0xE0, 0xD0, 0xC0),
               kCorner = RGB(0xA0, 0xB0, 0xC0), kOuter = RGB(0x40, 0x50, 0x60), kLine = RGB(0x12, 0x34, 0x56),
               kBlock = RGB(0x20, 0xC0, 0x20);

// A uniform grid (MakeUniform) with a colour for every area.
struct PaintGrid : GridInWindow {
    // Cells of `cellClass` (the grid's default when none) in a 300 x 200 client area.
    PaintGrid(int rows, int cols, const CRuntimeClass* cellClass = nullptr) : GridInWindow(0, 0, 0, 0, 300, 200) {
        if (cellClass) grid.CellClass = cellClass;
        MakeUniform(grid, rows, cols);
        grid.DefaultCellFor(FALSE, FALSE)->SetBackColour(kNormal);
        grid.DefaultCellFor(TRUE, FALSE)->SetBackColour(kFixedRow);
        grid.DefaultCellFor(FALSE, TRUE)->SetBackColour(kFixedCol);
        grid.DefaultCellFor(TRUE, TRUE)->SetBackColour(kCorner);
        grid.OuterBackColour = kOuter;
        grid.GridLineColour = kLine;
    }
    CRect Client() {
        CRect client;
        grid.GetClientRect(&client);
        return client;
    }
    // The client area painted into a new surface through WM_PRINTCLIENT.
    std::unique_ptr<DibSurface> Paint() {
        const CRect client = Client();
        auto dib = std::make_unique<DibSurface>(client.Width(), client.Height());
        grid.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib->dc.GetSafeHdc()), PRF_CLIENT);
        return dib;
    }
    CRect Rect(int row, int col) {
        CRect r;
        EXPECT_TRUE(grid.CellRect(row, col, &r));
        return r;
    }
};

int Area(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }
// A cell's pixels inside its grid lines, or (for headers) inside its raised edge.
CRect Inside(const CRect& r, bool edged) { return edged ? CRect(r.left + 1, r.top + 1, r.right, r.bottom) : CRect(r.left, r.top, r.right, r.bottom); }
CRect RightColumn(const CRect& r) { return CRect(r.right, r.top, r.right + 1, r.bottom + 1); }
CRect BottomRow(const CRect& r) { return CRect(r.left, r.bottom, r.right + 1, r.bottom + 1); }

// Records the cells the grid asks to draw.
class CCountingCell : public CGridCell {
    DECLARE_DYNCREATE(CCountingCell)

public:
    static std::set<std::pair<int, int>>& Drawn() {
        static std::set<std::pair<int, int>> drawn;
        return drawn;
    }
    BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL erase) override {
        Drawn().insert({row, col});
        return CGridCell::Draw(dc, row, col, rect, erase);
    }
};
IMPLEMENT_DYNCREATE(CCountingCell, CGridCell)
}  // namespace

TEST(GridPaint, AreasLinesAndHeaders) {
    PaintGrid w(4, 3);  // cells cover 150 x 80 of the client area
    for (BOOL buffered : {TRUE, FALSE}) {
        w.grid.DoubleBuffered = buffered;
        auto dib = w.Paint();
        const CRect client = w.Client();
        for (int r = 1; r < 4; ++r)
            for (int c = 1; c < 3; ++c) {
                const CRect cell = w.Rect(r, c);
                EXPECT_EQ(dib->Count(Inside(cell, false), kNormal), Area(Inside(cell, false))) << r << "," << c;
                EXPECT_EQ(dib->Count(RightColumn(cell), kLine), cell.Height() + 1) << r << "," << c;
                EXPECT_EQ(dib->Count(BottomRow(cell), kLine), cell.Width() + 1) << r << "," << c;
            }
        const struct {
            int row, col;
            COLORREF back;
        } headers[] = {{0, 0, kCorner}, {0, 1, kFixedRow}, {0, 2, kFixedRow}, {1, 0, kFixedCol}, {3, 0, kFixedCol}};
        for (const auto& h : headers) {
            const CRect cell = w.Rect(h.row, h.col);
            EXPECT_EQ(dib->Count(Inside(cell, true), h.back), Area(Inside(cell, true))) << h.row << "," << h.col;
            // Raised: light along the top and left, dark along the right and bottom.
            EXPECT_EQ(dib->Pixel(cell.left, cell.top + 5), GetSysColor(COLOR_BTNHIGHLIGHT));
            EXPECT_EQ(dib->Pixel(cell.left + 5, cell.top), GetSysColor(COLOR_BTNHIGHLIGHT));
            EXPECT_EQ(dib->Pixel(cell.right, cell.top + 5), GetSysColor(COLOR_3DDKSHADOW));
            EXPECT_EQ(dib->Pixel(cell.left + 5, cell.bottom), GetSysColor(COLOR_3DDKSHADOW));
        }
        const CRect right(150, 0, client.right, client.bottom), below(0, 80, 150, client.bottom);
        EXPECT_EQ(dib->Count(right, kOuter), Area(right));
        EXPECT_EQ(dib->Count(below, kOuter), Area(below));
    }
    w.grid.DoubleBuffered = TRUE;
    auto buffered = w.Paint();
    w.grid.DoubleBuffered = FALSE;
    EXPECT_TRUE(w.Paint()->SameAs(*buffered)) << "the buffer changes nothing but the flicker";
}

TEST(GridPaint, GridLineModes) {
    PaintGrid w(4, 3);
    const CRect cell = w.Rect(2, 2);
    const struct {
        int mode;
        bool vertical, horizontal;
    } modes[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, true}};
    for (const auto& m : modes) {
        w.grid.GridLineMode = m.mode;
        auto dib = w.Paint();
        EXPECT_EQ(dib->Pixel(cell.right, cell.top + 5) == kLine, m.vertical) << m.mode;
        EXPECT_EQ(dib->Pixel(cell.left + 5, cell.bottom) == kLine, m.horizontal) << m.mode;
        if (m.mode == 0) {
            EXPECT_EQ(dib->Count(kLine), 0);
            // Without lines headers get no edge either: their colour reaches the cell's edges.
            const CRect header = w.Rect(0, 1);
            EXPECT_EQ(dib->Count(Inside(header, false), kFixedRow), Area(Inside(header, false)));
        }
    }
}

TEST(GridPaint, MergedBlockIsDrawnWholeAndStaysUnderTheHeaders) {
    PaintGrid w(10, 12);
    CGridCtrl& g = w.grid;
    g.MergeCells(2, 1, 2, 3);
    g.SetCellBackColour(2, 1, kBlock);
    {
        auto dib = w.Paint();
        CRect block;
        ASSERT_TRUE(g.RangeRect(CGridCellRange(2, 1, 2, 3), &block));
        EXPECT_EQ(w.Rect(2, 1), block) << "the origin's rectangle is the block's";
        // Over the lines inside the block, inside the lines around it.
        EXPECT_EQ(dib->Count(Inside(block, false), kBlock), Area(Inside(block, false)));
        EXPECT_EQ(dib->Count(RightColumn(block), kLine), block.Height() + 1);
        EXPECT_EQ(dib->Count(BottomRow(block), kLine), block.Width() + 1);
    }
    // One column scrolled: the origin is out of view, the block's rest still shows whole,
    // and the fixed column keeps its own colour over the part scrolled under it.
    g.SetScrollPosition(SB_HORZ, 50);
    ASSERT_EQ(g.TopLeftScrollCell().col, 2);
    auto dib = w.Paint();
    CRect block;
    ASSERT_TRUE(g.RangeRect(CGridCellRange(2, 1, 2, 3), &block));
    ASSERT_LT(block.left, g.FixedColumnsWidth());
    const CRect shown(g.FixedColumnsWidth(), block.top, block.right, block.bottom);
    EXPECT_EQ(dib->Count(shown, kBlock), Area(shown));
    const CRect header = Inside(w.Rect(2, 0), true);
    EXPECT_EQ(dib->Count(header, kFixedCol), Area(header));
    EXPECT_EQ(dib->Count(CRect(0, 0, g.FixedColumnsWidth(), 200), kBlock), 0);
}

TEST(GridPaint, RedrawingACellOfABlockStaysOutOfTheHeaders) {
    // The block's origin is scrolled under the fixed column (row): a redraw of one of its
    // cells draws the whole block, clipped as the full paint clips it.
    const struct {
        const char* what;
        CGridCellRange block;
        int bar, by;
    } cases[] = {{"under the fixed column", {2, 1, 2, 3}, SB_HORZ, 50}, {"under the fixed row", {1, 2, 3, 2}, SB_VERT, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PaintGrid w(10, 12);
        CGridCtrl& g = w.grid;
        g.MergeCells(c.block.minRow, c.block.minCol, c.block.maxRow, c.block.maxCol);
        g.SetCellBackColour(c.block.minRow, c.block.minCol, kBlock);
        g.SetScrollPosition(c.bar, c.by);
        auto dib = w.Paint();
        ASSERT_TRUE(g.RedrawCell(2, 2, &dib->dc));
        const CRect headers = c.bar == SB_HORZ ? CRect(0, 0, g.FixedColumnsWidth(), 200) : CRect(0, 0, 300, g.FixedRowsHeight());
        EXPECT_EQ(dib->Count(headers, kBlock), 0);
        CRect block;
        ASSERT_TRUE(g.RangeRect(c.block, &block));
        const CRect shown(std::max<LONG>(block.left, g.FixedColumnsWidth()), std::max<LONG>(block.top, g.FixedRowsHeight()),
                          block.right, block.bottom);
        EXPECT_EQ(dib->Count(shown, kBlock), Area(shown)) << "the rest of the block is drawn";
    }
}

TEST(GridPaint, SelectionFocusAndCellColours) {
    PaintGrid w(6, 4);
    CGridCtrl& g = w.grid;
    g.SetCellState(2, 2, g.GetCellState(2, 2) | CELL_SELECTED);
    g.SetCellBackColour(3, 3, kBlock);
    g.SetCellBackColour(4, 1, kBlock);
    g.SetCellState(4, 1, g.GetCellState(4, 1) | CELL_SELECTED);
    g.MoveFocusTo(1, 3);
    auto dib = w.Paint();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (const CRect cell : {w.Rect(2, 2), w.Rect(4, 1)})
        EXPECT_EQ(dib->Count(Inside(cell, false), highlight), Area(Inside(cell, false))) << "selected wins over own colour";
    EXPECT_EQ(dib->Count(Inside(w.Rect(3, 3), false), kBlock), Area(Inside(w.Rect(3, 3), false)));
    // The focus cell: framed in the text colour inside its grid lines.
    const CRect focus = w.Rect(1, 3);
    const COLORREF text = g.DefaultCellFor(FALSE, FALSE)->GetTextColour();
    EXPECT_EQ(dib->Pixel(focus.left, focus.top + 5), text);
    EXPECT_EQ(dib->Pixel(focus.right - 1, focus.top + 5), text);
    EXPECT_EQ(dib->Pixel(focus.left + 5, focus.bottom - 1), text);
    EXPECT_EQ(dib->Pixel(focus.left + 5, focus.top + 5), kNormal);
    g.FocusCellFramed = FALSE;
    EXPECT_EQ(w.Paint()->Pixel(focus.left, focus.top + 5), kNormal);
}

TEST(GridPaint, OnlyCellsMeetingTheClipBoxAreDrawn) {
    PaintGrid w(20, 10, RUNTIME_CLASS(CCountingCell));
    const CRect cell = w.Rect(3, 2);
    DibSurface dib(300, 200);
    dib.dc.IntersectClipRect(CRect(cell.left, cell.top, cell.right + 1, cell.bottom + 1));
    CCountingCell::Drawn().clear();
    w.grid.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc.GetSafeHdc()), PRF_CLIENT);
    // The cell, and the corner, which is always drawn.
    EXPECT_EQ(CCountingCell::Drawn(), (std::set<std::pair<int, int>>{{3, 2}, {0, 0}}));
    EXPECT_EQ(dib.Count(CRect(0, 0, 300, 200), RGB(0xFF, 0x00, 0xFF)), 300 * 200 - Area(Inside(cell, false)) - cell.Width() - cell.Height() - 1)
        << "nothing outside the clip box changes";
}

TEST(GridPaint, RedrawDisabledPaintsNothing) {
    PaintGrid w(4, 3);
    w.grid.RedrawEnabled = FALSE;
    for (BOOL buffered : {TRUE, FALSE}) {
        w.grid.DoubleBuffered = buffered;
        auto dib = w.Paint();
        EXPECT_EQ(dib->Count(RGB(0xFF, 0x00, 0xFF)), dib->width * dib->height);
    }
}

TEST(GridPaint, APaintLeavesTheGdiStateAsItFoundIt) {
    PaintGrid w(8, 5);
    CGridCtrl& g = w.grid;
    LOGFONTW own{};
    own.lfHeight = -15;
    wcscpy(own.lfFaceName, L"Arial");
    g.GetCell(2, 2)->SetFont(&own);
    g.SetCellText(2, 2, "own font");
    g.SetCellText(0, 1, "sorted");
    g.SortColumn = 1;
    g.MergeCells(3, 1, 4, 2);
    g.SetCellState(5, 3, CELL_SELECTED);
    g.MoveFocusTo(6, 2);

    DibSurface dib(300, 200);
    CFont callers;
    callers.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
    CBrush brush(RGB(4, 5, 6));
    CSelectGuard f(dib.dc, callers), p(dib.dc, pen), b(dib.dc, brush);
    dib.dc.SetTextColor(RGB(7, 8, 9));
    dib.dc.SetBkMode(OPAQUE);
    // The first paint makes the font object of the cell with a font of its own; it lives as
    // long as the grid.
    g.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc.GetSafeHdc()), PRF_CLIENT);
    // The wrappers' counts, and the system's own: a delete that failed shows only there.
    const long objects = GdiLiveCounts::Objects(), contexts = GdiLiveCounts::Contexts(), real = LiveGdiObjects();
    for (BOOL buffered : {TRUE, FALSE}) {
        g.DoubleBuffered = buffered;
        g.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc.GetSafeHdc()), PRF_CLIENT);
        EXPECT_EQ(GdiLiveCounts::Objects(), objects);
        EXPECT_EQ(GdiLiveCounts::Contexts(), contexts);
        EXPECT_EQ(LiveGdiObjects(), real);
        EXPECT_EQ(dib.dc.GetCurrentObject(OBJ_FONT), callers.GetSafeHandle());
        EXPECT_EQ(dib.dc.GetCurrentObject(OBJ_PEN), pen.GetSafeHandle());
        EXPECT_EQ(dib.dc.GetCurrentObject(OBJ_BRUSH), brush.GetSafeHandle());
        EXPECT_EQ(dib.dc.GetCurrentObject(OBJ_BITMAP), dib.bitmap.GetSafeHandle());
        EXPECT_EQ(dib.dc.GetTextColor(), RGB(7, 8, 9));
        EXPECT_EQ(GetBkMode(dib.dc), OPAQUE);
        EXPECT_EQ(dib.dc.GetWindowOrg(), CPoint(0, 0));
    }
    // The window's own paint, buffered.
    g.DoubleBuffered = TRUE;
    g.Invalidate(TRUE);
    g.UpdateWindow();
    EXPECT_FALSE(GetUpdateRect(g.m_hWnd, nullptr, FALSE)) << "WM_PAINT validated the window";
    EXPECT_EQ(GdiLiveCounts::Objects(), objects);
    EXPECT_EQ(GdiLiveCounts::Contexts(), contexts);
    EXPECT_EQ(LiveGdiObjects(), real);
}

TEST(BufferedDC, CoversTheClipBoxAndCopiesBackOnlyThat) {
    DibSurface target(100, 80, RGB(255, 255, 255));
    target.dc.IntersectClipRect(CRect(10, 20, 60, 50));
    target.dc.SetBkColor(RGB(0, 0, 255));
    const long objects = GdiLiveCounts::Objects(), contexts = GdiLiveCounts::Contexts();
    {
        CBufferedDC buffer(&target.dc);
        ASSERT_TRUE(buffer.IsBuffered());
        EXPECT_EQ(buffer.ClipRect(), CRect(10, 20, 60, 50));
        EXPECT_EQ(buffer.GetWindowOrg(), CPoint(10, 20)) << "client coordinates stay valid";
        buffer.FillSolidRect(CRect(0, 0, 30, 30), RGB(255, 0, 0));
        EXPECT_EQ(target.Count(RGB(255, 0, 0)), 0) << "nothing reaches the target before the end";
        EXPECT_EQ(GdiLiveCounts::Contexts(), contexts + 1);
    }
    EXPECT_EQ(target.Count(RGB(255, 0, 0)), 20 * 10);
    EXPECT_EQ(target.Count(CRect(10, 20, 60, 50), RGB(0, 0, 255)), 50 * 30 - 20 * 10) << "filled with the target's background";
    EXPECT_EQ(target.Count(RGB(255, 255, 255)), 100 * 80 - 50 * 30);
    EXPECT_EQ(GdiLiveCounts::Objects(), objects);
    EXPECT_EQ(GdiLiveCounts::Contexts(), contexts);

    target.dc.SetPrinting(TRUE);
    CBufferedDC direct(&target.dc);
    EXPECT_FALSE(direct.IsBuffered());
    EXPECT_EQ(direct.GetSafeHdc(), target.dc.GetSafeHdc());
    EXPECT_TRUE(direct.IsPrinting());
}
