// Resizing columns and rows with the mouse: the boundaries a press grabs, the inverted
// tracking line that follows the pointer, the pointer confined to the sizes the line may
// give, the size applied on release, and a double click on a boundary fitting the column
// or row to its contents. The mouse handlers (GridMouse.cpp) lead here by MouseState.
//
// Columns and rows take the same steps; Axis is the one place where they differ.
#include <algorithm>
#include <cstdlib>

#include "grid/GridCtrl.h"

namespace {
// The columns (x, widths, the fixed rows as the sensitive band) or the rows (y, heights,
// the fixed columns) of a grid.
struct Axis {
    CGridCtrl& grid;
    bool columns;

    int Along(POINT p) const { return columns ? p.x : p.y; }
    int Across(POINT p) const { return columns ? p.y : p.x; }
    int& Index(CGridCellId& cell) const { return columns ? cell.col : cell.row; }
    int Count() const { return columns ? grid.GetColumnCount() : grid.GetRowCount(); }
    int Size(int line) const { return columns ? grid.GetColumnWidth(line) : grid.GetRowHeight(line); }
    BOOL SetSize(int line, int size) const {
        return columns ? grid.SetColumnWidth(line, size) : grid.SetRowHeight(line, size);
    }
    // Client position of the line's start (its left or top edge).
    BOOL Start(int line, int* pos) const { return columns ? grid.ColumnLeft(line, pos) : grid.RowTop(line, pos); }
    int MergedSize(const CGridCellId& c) const {
        return columns ? grid.MergedWidth(c.row, c.col) : grid.MergedHeight(c.row, c.col);
    }
    // The band in which the boundaries can be grabbed: the fixed rows for columns.
    int SensitiveBand() const { return columns ? grid.FixedRowsHeight() : grid.FixedColumnsWidth(); }
    int FixedSize() const { return columns ? grid.FixedColumnsWidth() : grid.FixedRowsHeight(); }
    BOOL HiddenResizable() const { return columns ? grid.HiddenColumnsResizable : grid.HiddenRowsResizable; }
    BOOL Hideable() const { return columns ? grid.ColumnsHideable : grid.RowsHideable; }
    int End(const RECT& r) const { return columns ? r.right : r.bottom; }
    int Extent(const RECT& r) const { return columns ? r.right - r.left : r.bottom - r.top; }
};

BOOL IsOverEdge(CGridCtrl& grid, const Axis& axis, CPoint point) {
    if (axis.Across(point) >= axis.SensitiveBand()) return FALSE;
    CGridCellId hit = grid.CellFromPoint(point, TRUE);
    CPoint origin;
    if (!grid.CellOrigin(hit.row, hit.col, &origin)) return FALSE;
    const int range = grid.ResizeCaptureRange;
    const int fromStart = axis.Along(point) - axis.Along(origin);
    // The start of line 0 is the grid's own edge, never a boundary.
    return (fromStart < range && axis.Index(hit) != 0) || axis.MergedSize(hit) - fromStart < range;
}
}  // namespace

BOOL CGridCtrl::IsOverColumnEdge(CPoint point) { return IsOverEdge(*this, Axis{*this, true}, point); }

BOOL CGridCtrl::IsOverRowEdge(CPoint point) { return IsOverEdge(*this, Axis{*this, false}, point); }

void CGridCtrl::InvertResizeLine(bool columns, int position) {
    CRect client;
    GetClientRect(&client);
    const CRect line = columns ? CRect(position, client.top, position + 2, client.bottom)
                               : CRect(client.left, position, client.right, position + 2);
    CClientDC dc(m_hWnd);
    if (dc.GetSafeHdc()) ::InvertRect(dc, &line);
}

void CGridCtrl::StartResize(CPoint point) {
    const Axis axis{*this, MouseState == MS_AT_COLUMN_EDGE};
    MouseState = axis.columns ? MS_RESIZING_COLUMN : MS_RESIZING_ROW;
    const int range = ResizeCaptureRange, last = axis.Count() - 1, at = axis.Along(point);
    int& line = axis.Index(ButtonDownCell);

    // A last line too narrow to grab is taken at the far end of the cells.
    if (axis.Size(last) < range) {
        CRect covered;
        VisibleScrollRange(&covered);
        if (std::abs(at - axis.End(covered)) < range) line = last;
    }
    int start = 0;
    if (!axis.Start(line, &start)) return;
    const bool atStart = at - start < range;
    if (!axis.HiddenResizable() && (atStart || line != last)) {
        // Hidden lines are passed over to the visible one before the boundary.
        const int k = atStart ? 1 : 0;
        while (line - k >= 0 && axis.Size(line - k) == 0) --line;
        if (line - k < 0) return;
    }
    // Grabbed at its start, the boundary is the end of the line before.
    if (atStart && !(line == last && axis.Size(last) < range)) {
        --line;
        if (!axis.Start(line, &start)) return;
    }
    InvertResizeLine(axis.columns, at);
    m_resizeLineShown = true;

    // The pointer stays where the line gives the line at least 1 pixel.
    CRect client, confine;
    GetClientRect(&client);
    confine = client;
    const int farEnd = start + 1 + (axis.Extent(client) - axis.FixedSize());
    if (axis.columns) {
        confine.left = start + 1;
        confine.right = farEnd;
    } else {
        confine.top = start + 1;
        confine.bottom = farEnd;
    }
    ClientToScreen(&confine);
    ::ClipCursor(&confine);
    LastMousePoint = point;
}

void CGridCtrl::TrackResize(CPoint point) {
    if (!m_resizeLineShown) return;
    const Axis axis{*this, MouseState == MS_RESIZING_COLUMN};
    InvertResizeLine(axis.columns, axis.Along(LastMousePoint));
    InvertResizeLine(axis.columns, axis.Along(point));
}

void CGridCtrl::CancelResize() {
    const bool columns = MouseState == MS_RESIZING_COLUMN;
    if (m_resizeLineShown) InvertResizeLine(columns, columns ? LastMousePoint.x : LastMousePoint.y);
    m_resizeLineShown = false;
    ::ClipCursor(nullptr);
}

void CGridCtrl::FinishResize(CPoint point) {
    const Axis axis{*this, MouseState == MS_RESIZING_COLUMN};
    // A press that grabbed no line shows none and changes nothing.
    if (!m_resizeLineShown) return;
    InvertResizeLine(axis.columns, axis.Along(LastMousePoint));
    m_resizeLineShown = false;
    // A click on a boundary is no resize.
    if (point == ButtonDownPoint || (point.x == 0 && point.y == 0)) return;

    ButtonDownCell = MergeOrigin(ButtonDownCell.row, ButtonDownCell.col);
    CGridCellId head = ButtonDownCell;
    CPoint origin;
    if (!CellOrigin(head.row, head.col, &origin)) return;
    const int least = axis.Hideable() ? 0 : 1;
    const int size = std::max(axis.Along(point) - axis.Along(origin), least);
    // A merged head: the block's other lines keep their sizes and the whole block takes the
    // new size, as far as the head line can give (it keeps at least the least size).
    const int line = axis.Index(head);
    const int others = axis.MergedSize(head) - axis.Size(line);
    axis.SetSize(line, std::max(size - others, least));
    UpdateScrollBars();
    Invalidate(TRUE);
}

BOOL CGridCtrl::AutoSizeAtEdge(CPoint point, const CGridCellId& hit) {
    const Axis axis{*this, MouseState == MS_AT_COLUMN_EDGE};
    CGridCellId target = hit;
    int& line = axis.Index(target);
    int start = 0;
    if (!axis.Start(line, &start)) return FALSE;
    if (axis.Along(point) - start < ResizeCaptureRange) --line;
    while (line >= 0 && axis.Size(line) <= 0) --line;
    if (line < 0) return FALSE;
    if (axis.columns)
        AutoSizeColumn(line, AutoSizeScope, TRUE);
    else
        AutoSizeRow(line, TRUE);
    Invalidate(TRUE);
    return TRUE;
}
