#include "grid/cells/GridCellCheck.h"

#include <algorithm>

#include "grid/GridCtrl.h"

IMPLEMENT_DYNCREATE(CGridCellCheck, CGridCell)

CGridCellCheck::CGridCellCheck() = default;

int CGridCellCheck::BoxSize() { return ::GetSystemMetrics(SM_CXHSCROLL); }

CRect CGridCellCheck::BoxRect(const CRect& cell, int margin) {
    const int s = BoxSize();
    CRect box(cell.left + margin, cell.top + margin, cell.left + margin + s, cell.top + margin + s);
    if (cell.Height() < s + 2 * margin) {
        box.top = cell.top + (cell.Height() - s) / 2;
        box.bottom = box.top + s;
    }
    return box;
}

int CGridCellCheck::DrawnMargin() const {
    const UINT margin = GetMargin();
    return margin == 0xFFFFFFFF ? 0 : static_cast<int>(margin);
}

BOOL CGridCellCheck::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
    const BOOL drawn = CGridCell::Draw(dc, row, col, rect, eraseBkgnd);
    // A covered member of a merged block is drawn by the block's origin: no box of its own.
    if (!drawn || (!IsVisible() && !IsSpanned())) return drawn;
    m_lastRect = rect;
    CRect box = BoxRect(rect, DrawnMargin());
    ::DrawFrameControl(*dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (m_ticked ? DFCS_CHECKED : 0));
    return drawn;
}

BOOL CGridCellCheck::GetTextRect(RECT* rect) {
    CGridCell::GetTextRect(rect);
    if (rect) rect->left = std::min<LONG>(rect->left + BoxSize() + 2 * DrawnMargin(), rect->right);
    return TRUE;
}

CSize CGridCellCheck::MeasureCell(CDC* dc) {
    CSize size = CGridCell::MeasureCell(dc);
    const int room = BoxSize() + 2 * DrawnMargin();
    size.cx += room;
    size.cy = std::max<LONG>(size.cy, room);
    return size;
}

void CGridCellCheck::OnClick(CPoint point) {
    CGridCtrl* grid = GetOwnerGrid();
    if (!grid || m_lastRect.IsRectEmpty()) return;
    point.x += m_lastRect.left;
    point.y += m_lastRect.top;
    const CGridCellId under = grid->CellFromPoint(point, TRUE);
    if (!grid->IsCellEditable(under.row, under.col)) return;
    if (!BoxRect(m_lastRect, DrawnMargin()).PtInRect(point)) return;
    m_ticked = !m_ticked;
    if (grid->IsWindow()) grid->InvalidateRect(&m_lastRect, TRUE);
}
