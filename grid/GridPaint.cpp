// Single-cell repaint: drawn at once, or marked for the next paint.
#include "grid/GridCtrl.h"

BOOL CGridCtrl::RedrawCell(int row, int col, CDC* dc) {
    CRect rect;
    if (!RedrawEnabled || !IsCellOnScreen(row, col) || !CellRect(row, col, &rect)) return FALSE;
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
    if (row >= m_fixedRows && col >= m_fixedCols) {
        if (cell) cell->Draw(dc, row, col, rect, TRUE);
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
        cell->Draw(dc, row, col, rect, TRUE);
    }
    return TRUE;
}

BOOL CGridCtrl::InvalidateCell(int row, int col) {
    CRect rect;
    if (!IsWindow() || !RedrawEnabled || !IsValidCell(row, col) || !IsCellOnScreen(row, col) ||
        !CellRect(row, col, &rect))
        return FALSE;
    // Cell rectangles are inclusive; the invalid area is not.
    rect.right += 1;
    rect.bottom += 1;
    InvalidateRect(&rect, TRUE);
    return TRUE;
}
