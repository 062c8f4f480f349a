// Painting: the paint messages, the draw pass (background, grid lines, the four cell
// passes), and single-cell repaint, drawn at once or marked for the next paint.
#include <algorithm>
#include <vector>

#include "grid/BufferedDC.h"
#include "grid/GridCtrl.h"

namespace {
// Fills `rect` with a brush of `colour` (nothing when the rectangle is empty).
void FillArea(CDC* dc, const RECT& rect, COLORREF colour) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    CBrush brush(colour);
    if (brush) dc->FillRect(rect, brush);
}

// A merged block's drawing rectangle: the block's cells without its outer grid lines.
bool BlockRect(CGridCtrl& grid, const CGridCellRange& block, CRect* rect) {
    if (!grid.RangeRect(block, rect)) return false;
    rect->right -= 1;
    rect->bottom -= 1;
    return true;
}
}  // namespace

LRESULT CGridCtrl::OnNcPaint(WPARAM, LPARAM) {
    m_barsInvalid = false;
    return Default();
}

void CGridCtrl::OnPaint() {
    // The frame, if it was invalid, has been painted before the client area.
    m_barsInvalid = false;
    CPaintDC dc(m_hWnd);
    PaintOn(&dc);
}

BOOL CGridCtrl::OnEraseBkgnd(HDC) {
    // The draw pass paints every pixel itself; a system erase would only flicker.
    return TRUE;
}

LRESULT CGridCtrl::OnPrintClient(WPARAM dc, LPARAM) {
    CDC target(reinterpret_cast<HDC>(dc));
    if (target.GetSafeHdc()) PaintOn(&target);
    return 0;
}

void CGridCtrl::PaintOn(CDC* dc) {
    // Not even an empty buffer may reach the window while redrawing is off.
    if (!RedrawEnabled) return;
    // A bitmap in memory shows nothing until it is drawn: it is its own buffer.
    if (DoubleBuffered && ::GetObjectType(dc->GetSafeHdc()) != OBJ_MEMDC) {
        CBufferedDC buffer(dc);
        DrawGrid(&buffer);
    } else {
        DrawGrid(dc);
    }
}

CRect CGridCtrl::PaneOf(int row, int col, const RECT& bounds) const {
    const int fixedWidth = FixedColumnsWidth(), fixedHeight = FixedRowsHeight();
    CRect pane = bounds;
    const bool fixedRow = row < m_fixedRows, fixedCol = col < m_fixedCols;
    if (fixedRow && fixedCol) return pane;
    // Scrolled cells stay right of the fixed columns and below the fixed rows; a fixed row's
    // cells right of the fixed columns; a fixed column's cells below the fixed rows.
    if (fixedRow)
        pane.bottom = std::min<LONG>(pane.bottom, fixedHeight);
    else
        pane.top = std::max<LONG>(pane.top, fixedHeight);
    if (fixedCol)
        pane.right = std::min<LONG>(pane.right, fixedWidth);
    else
        pane.left = std::max<LONG>(pane.left, fixedWidth);
    return pane;
}

void CGridCtrl::DrawGrid(CDC* dc) {
    CRect clip;
    if (!RedrawEnabled) return;
    // An empty clip box (a paint for the frame alone) has nothing to draw.
    const int region = dc->GetClipBox(&clip);
    if (region == ERROR || region == NULLREGION) return;
    PaintBackground(dc);

    const int fixedWidth = FixedColumnsWidth(), fixedHeight = FixedRowsHeight();
    const CGridCellId topLeft = TopLeftScrollCell();
    CRect covered;
    const CGridCellRange visible = VisibleScrollRange(&covered);
    {
        // Each line lies on the last pixel column (row) of the cells before it.
        CPen pen(PS_SOLID, 0, GridLineColour);
        CSelectGuard select(*dc, pen);
        if (GridLineMode == 2 || GridLineMode == 3) {
            int x = fixedWidth;
            for (int col = topLeft.col; col <= visible.maxCol; ++col) {
                const int width = GetColumnWidth(col);
                if (width <= 0) continue;
                x += width;
                dc->MoveTo(x - 1, fixedHeight);
                dc->LineTo(x - 1, covered.bottom);
            }
        }
        if (GridLineMode == 1 || GridLineMode == 3) {
            int y = fixedHeight;
            for (int row = topLeft.row; row <= visible.maxRow; ++row) {
                const int height = GetRowHeight(row);
                if (height <= 0) continue;
                y += height;
                dc->MoveTo(fixedWidth, y - 1);
                dc->LineTo(covered.right, y - 1);
            }
        }
    }
    // No pen while the cells draw (they make their own); the caller's comes back after.
    CSelectGuard noPen(*dc, ::GetStockObject(NULL_PEN));
    // The cells' usual font, selected once: a cell that draws in it selects nothing itself.
    CSelectGuard font(*dc, m_defaultNormal.GetFontObject());
    // Scrolled cells first, so that headers and the corner end on top of partly shown ones.
    // Each pass is clipped to its own area as well: headers draw without erasing, and a
    // merged block whose origin is scrolled away reaches in under them.
    auto pass = [&](int row0, int row1, int col0, int col1, CPoint origin) {
        const CRect area = PaneOf(row0, col0, clip);
        if (area.IsRectEmpty()) return;
        CSaveDCGuard saved(*dc);
        dc->IntersectClipRect(area);
        DrawCells(dc, row0, row1, col0, col1, origin, &area);
    };
    pass(topLeft.row, visible.maxRow, topLeft.col, visible.maxCol, CPoint(fixedWidth, fixedHeight));
    pass(topLeft.row, visible.maxRow, 0, m_fixedCols - 1, CPoint(0, fixedHeight));
    pass(0, m_fixedRows - 1, topLeft.col, visible.maxCol, CPoint(fixedWidth, 0));
    DrawCells(dc, 0, m_fixedRows - 1, 0, m_fixedCols - 1, CPoint(0, 0), nullptr);
}

void CGridCtrl::DrawCells(CDC* dc, int row0, int row1, int col0, int col1, CPoint origin, const RECT* clip) {
    int y = origin.y;
    for (int row = row0; row <= row1 && row < m_rows; ++row) {
        const int height = GetRowHeight(row);
        if (height <= 0) continue;
        const int top = y;
        y += height;
        if (clip && top >= clip->bottom) break;
        if (clip && y <= clip->top) continue;
        int x = origin.x;
        for (int col = col0; col <= col1 && col < m_cols; ++col) {
            const int width = GetColumnWidth(col);
            if (width <= 0) continue;
            const int left = x;
            x += width;
            if (clip && left >= clip->right) break;
            if (clip && x <= clip->left) continue;

            CGridCellBase* cell = GetCell(row, col);
            if (!cell) continue;
            // A merged block is drawn whole, over the grid lines inside it, from whichever of
            // its cells is reached: its origin may be scrolled away.
            const CGridCellId owner = MergeOrigin(row, col);
            CGridCellBase* ownerCell = owner == CGridCellId(row, col) ? cell : GetCell(owner.row, owner.col);
            CRect rect;
            if (ownerCell && ownerCell->IsSpanned()) {
                if (!BlockRect(*this, ownerCell->GetSpanRange(), &rect)) continue;
                ownerCell->SetPosition(owner.row, owner.col);
                ownerCell->Draw(dc, owner.row, owner.col, rect, TRUE);
            } else {
                rect.SetRect(left, top, x - 1, y - 1);
                cell->SetPosition(row, col);
                cell->Draw(dc, row, col, rect, FALSE);
            }
        }
    }
}

void CGridCtrl::PaintBackground(CDC* dc) {
    CRect clip;
    if (dc->GetClipBox(&clip) == ERROR) return;
    const int fixedWidth = FixedColumnsWidth(), fixedHeight = FixedRowsHeight();
    CRect covered;
    VisibleScrollRange(&covered);

    if (clip.left < fixedWidth && clip.top < fixedHeight)
        FillArea(dc, CRect(clip.left, clip.top, fixedWidth, fixedHeight), m_defaultCorner.GetBackColour());
    // The fixed columns start below the corner, so the corner keeps its own colour.
    if (clip.left < fixedWidth && clip.top < covered.bottom)
        FillArea(dc, CRect(clip.left, std::max<LONG>(clip.top, fixedHeight), fixedWidth, covered.bottom),
                 m_defaultFixedCol.GetBackColour());
    if (clip.top < fixedHeight && fixedWidth < clip.right && clip.left < covered.right)
        FillArea(dc, CRect(fixedWidth - 1, clip.top, covered.right, fixedHeight), m_defaultFixedRow.GetBackColour());
    CRect cells;
    if (cells.IntersectRect(covered, clip)) {
        cells.left = std::max<LONG>(cells.left, fixedWidth);
        cells.top = std::max<LONG>(cells.top, fixedHeight);
        FillArea(dc, cells, m_defaultNormal.GetBackColour());
    }
    if (covered.right < clip.right) FillArea(dc, CRect(covered.right, clip.top, clip.right, clip.bottom), OuterBackColour);
    if (covered.bottom < clip.bottom && clip.left < covered.right)
        FillArea(dc, CRect(clip.left, covered.bottom, covered.right, clip.bottom), OuterBackColour);
}

BOOL CGridCtrl::RedrawCell(int row, int col, CDC* dc) {
    CRect rect;
    if (!RedrawEnabled || !IsCellOnScreen(row, col)) return FALSE;
    // A cell inside a merged block is drawn as the block: its origin in the whole block's
    // rectangle, with no grid lines across the block.
    const CGridCellId owner = MergeOrigin(row, col);
    row = owner.row;
    col = owner.col;
    if (!CellRect(row, col, &rect)) return FALSE;
    std::unique_ptr<CClientDC> own;
    if (!dc) {
        own = std::make_unique<CClientDC>(m_hWnd);
        if (!own->GetSafeHdc()) {
            InvalidateRect(&rect, TRUE);
            return TRUE;
        }
        dc = own.get();
    }
    CGridCellBase* cell = GetCell(row, col);
    CRect drawn = rect;
    if (cell && cell->IsSpanned()) {
        const CGridCellRange block = cell->GetSpanRange();
        // A block reaching from the fixed lines into the scrolling ones is drawn in two panes,
        // which the full paint does in its passes.
        if ((block.minRow < m_fixedRows && block.maxRow >= m_fixedRows) ||
            (block.minCol < m_fixedCols && block.maxCol >= m_fixedCols)) {
            rect.right += 1;
            rect.bottom += 1;
            InvalidateRect(&rect, TRUE);
            return TRUE;
        }
        // The rectangle the full paint draws the block in.
        if (!BlockRect(*this, block, &drawn)) return FALSE;
    }
    // Clipped to its pane as the full paint clips it: a block whose origin is scrolled under
    // the headers must not paint over them.
    CSaveDCGuard saved(*dc);
    CRect client;
    GetClientRect(&client);
    dc->IntersectClipRect(PaneOf(row, col, client));
    if (row >= m_fixedRows && col >= m_fixedCols) {
        if (cell) cell->Draw(dc, row, col, drawn, TRUE);
        // The cell's grid lines lie on its own right column and bottom row of pixels.
        CPen pen(PS_SOLID, 0, GridLineColour);
        CSelectGuard select(*dc, pen);
        if (GridLineMode == 1 || GridLineMode == 3) {
            dc->MoveTo(rect.left, rect.bottom);
            dc->LineTo(rect.right + 1, rect.bottom);
        }
        if (GridLineMode == 2 || GridLineMode == 3) {
            dc->MoveTo(rect.right, rect.top);
            dc->LineTo(rect.right, rect.bottom + 1);
        }
    } else if (cell) {
        cell->Draw(dc, row, col, drawn, TRUE);
    }
    return TRUE;
}

bool CGridCtrl::CellInvalidRect(int row, int col, RECT* rect) {
    if (!IsWindow() || !RedrawEnabled || !IsValidCell(row, col) || !IsCellOnScreen(row, col) || !CellRect(row, col, rect))
        return false;
    // Cell rectangles are inclusive; the invalid area is not.
    rect->right += 1;
    rect->bottom += 1;
    return true;
}

BOOL CGridCtrl::InvalidateCell(int row, int col) {
    CRect rect;
    if (!CellInvalidRect(row, col, &rect)) return FALSE;
    InvalidateRect(&rect, TRUE);
    return TRUE;
}

void CGridCtrl::InvalidateRects(std::vector<RECT>& rects) {
    if (rects.empty() || !IsWindow()) return;
    // The cells of a row next to each other become one strip first: few region operations.
    std::sort(rects.begin(), rects.end(), [](const RECT& a, const RECT& b) {
        return a.top != b.top ? a.top < b.top : a.bottom != b.bottom ? a.bottom < b.bottom : a.left < b.left;
    });
    HRGN all = ::CreateRectRgn(0, 0, 0, 0);
    HRGN strip = ::CreateRectRgn(0, 0, 0, 0);
    if (all && strip) {
        for (size_t i = 0; i < rects.size();) {
            RECT run = rects[i++];
            while (i < rects.size() && rects[i].top == run.top && rects[i].bottom == run.bottom && rects[i].left <= run.right)
                run.right = std::max(run.right, rects[i++].right);
            ::SetRectRgn(strip, run.left, run.top, run.right, run.bottom);
            ::CombineRgn(all, all, strip, RGN_OR);
        }
        ::InvalidateRgn(m_hWnd, all, TRUE);
    } else {
        for (const RECT& r : rects) InvalidateRect(&r, TRUE);
    }
    if (all) ::DeleteObject(all);
    if (strip) ::DeleteObject(strip);
}
