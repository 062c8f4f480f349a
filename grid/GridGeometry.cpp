// Pixel positions of rows, columns and cells. Fixed rows stay at the top and fixed columns
// at the left; the others are offset by the scroll positions, through the cached top-left
// scrolling cell.
#include "grid/GridCtrl.h"

namespace {
int Sum(const std::vector<UINT>& sizes, int from, int to) {  // [from, to)
    long long sum = 0;
    for (int i = from; i < to; ++i) sum += sizes[static_cast<size_t>(i)];
    return static_cast<int>(sum);
}

// Where line `index` starts: fixed lines from 0, scrolling ones from the fixed block's end,
// counted from the first one shown (`firstShown`), negative when scrolled off.
int Offset(const std::vector<UINT>& sizes, int fixedCount, int firstShown, int index) {
    if (index < fixedCount) return Sum(sizes, 0, index);
    int pos = Sum(sizes, 0, fixedCount);
    if (index > firstShown) return pos + Sum(sizes, firstShown, index);
    return pos - Sum(sizes, index, firstShown);
}

// The first scrolling line whose start reaches `scrollPos`, not past the last line.
int FirstShown(const std::vector<UINT>& sizes, int fixedCount, int count, int scrollPos) {
    int index = fixedCount, sum = 0;
    while (sum < scrollPos && index < count - 1) sum += static_cast<int>(sizes[static_cast<size_t>(index++)]);
    return index;
}

// The last line reached from `first` before `limit`, and how far the lines went (`end`:
// the limit itself when they reached it).
int LastReached(const std::vector<UINT>& sizes, int first, int count, int start, int limit, int* end) {
    int pos = start, index = first;
    for (; index < count; ++index) {
        pos += static_cast<int>(sizes[static_cast<size_t>(index)]);
        if (pos >= limit) {
            pos = limit;
            break;
        }
    }
    *end = pos;
    return index < count - 1 ? index : count - 1;
}

// The line that covers `pos` (pixels from the client edge), or -1: the fixed lines when
// `pos` lies in the fixed block and they may be hit, else the scrolling lines from the first
// one shown.
int LineAt(const std::vector<UINT>& sizes, int fixedCount, int count, int firstShown, int pos, bool allowFixed) {
    if (pos < 0) return -1;
    const int fixedSize = Sum(sizes, 0, fixedCount);
    int index, end;
    if (pos < fixedSize) {
        if (!allowFixed) return -1;
        index = 0;
        end = 0;
    } else {
        if (firstShown >= count) return -1;
        index = firstShown;
        end = fixedSize;
    }
    for (; index < count; ++index) {
        end += static_cast<int>(sizes[static_cast<size_t>(index)]);
        if (end > pos) return index;
    }
    return -1;
}

// Whether the start of line `index` lies before `limit`.
bool StartsBefore(const std::vector<UINT>& sizes, int fixedCount, int firstShown, int index, int limit) {
    int pos = index < fixedCount ? 0 : Sum(sizes, 0, fixedCount);
    for (int i = index < fixedCount ? 0 : firstShown; i <= index; ++i) {
        if (pos >= limit) return false;
        pos += static_cast<int>(sizes[static_cast<size_t>(i)]);
    }
    return true;
}
}  // namespace

int CGridCtrl::VirtualWidth() const { return Sum(m_colWidths, 0, m_cols); }
int CGridCtrl::VirtualHeight() const { return Sum(m_rowHeights, 0, m_rows); }
int CGridCtrl::FixedColumnsWidth() const { return Sum(m_colWidths, 0, m_fixedCols); }
int CGridCtrl::FixedRowsHeight() const { return Sum(m_rowHeights, 0, m_fixedRows); }

CGridCellId CGridCtrl::TopLeftScrollCell(BOOL forceRecompute) {
    if (m_topLeftCache.row == -1 || m_topLeftCache.col == -1 || forceRecompute) {
        int vertical = ScrollPos(SB_VERT), horizontal = ScrollPos(SB_HORZ);
        m_topLeftCache.col = FirstShown(m_colWidths, m_fixedCols, m_cols, horizontal);
        m_topLeftCache.row = FirstShown(m_rowHeights, m_fixedRows, m_rows, vertical);
    }
    return m_topLeftCache;
}

CGridCellRange CGridCtrl::VisibleScrollRange(RECT* covered, BOOL forceRecompute) {
    CRect client;
    if (IsWindow()) GetClientRect(&client);
    CGridCellId topLeft = TopLeftScrollCell(forceRecompute);
    int right = 0, bottom = 0;
    int maxRow = LastReached(m_rowHeights, topLeft.row, m_rows, FixedRowsHeight(), client.bottom, &bottom);
    int maxCol = LastReached(m_colWidths, topLeft.col, m_cols, FixedColumnsWidth(), client.right, &right);
    if (covered) *covered = CRect(0, 0, right, bottom);
    return CGridCellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

BOOL CGridCtrl::CellOrigin(int row, int col, POINT* origin) {
    if (!IsValidCell(row, col) || !origin) return FALSE;
    CGridCellId topLeft = TopLeftScrollCell();
    origin->x = Offset(m_colWidths, m_fixedCols, topLeft.col, col);
    origin->y = Offset(m_rowHeights, m_fixedRows, topLeft.row, row);
    return TRUE;
}

BOOL CGridCtrl::CellRect(int row, int col, RECT* rect) {
    CPoint origin;
    if (!rect || !CellOrigin(row, col, &origin)) return FALSE;
    CGridCellBase* cell = GetCell(row, col);
    if (cell && cell->IsSpanned()) return RangeRect(cell->GetSpanRange(), rect);
    rect->left = origin.x;
    rect->top = origin.y;
    rect->right = origin.x + GetColumnWidth(col) - 1;
    rect->bottom = origin.y + GetRowHeight(row) - 1;
    return TRUE;
}

BOOL CGridCtrl::RangeRect(const CGridCellRange& range, RECT* rect) {
    CPoint topLeft, bottomRight;
    if (!rect || !CellOrigin(range.minRow, range.minCol, &topLeft) ||
        !CellOrigin(range.maxRow, range.maxCol, &bottomRight))
        return FALSE;
    rect->left = topLeft.x;
    rect->top = topLeft.y;
    rect->right = bottomRight.x + GetColumnWidth(range.maxCol) - 1;
    rect->bottom = bottomRight.y + GetRowHeight(range.maxRow) - 1;
    return TRUE;
}

CGridCellId CGridCtrl::CellFromPoint(POINT point, BOOL allowFixed) {
    const CGridCellId topLeft = TopLeftScrollCell();
    if (!allowFixed && !IsValidCell(topLeft)) return CGridCellId();
    const int col = LineAt(m_colWidths, m_fixedCols, m_cols, topLeft.col, point.x, allowFixed != FALSE);
    const int row = LineAt(m_rowHeights, m_fixedRows, m_rows, topLeft.row, point.y, allowFixed != FALSE);
    // A point beside the cells in one direction is beside all of them: no half-valid id.
    if (row < 0 || col < 0) return CGridCellId();
    return MergeOrigin(row, col);
}

CGridCellId CGridCtrl::MergeOrigin(int row, int col) const {
    CGridCellBase* cell = GetCell(row, col);
    if (cell && cell->IsCoveredBySpan()) return cell->GetSpanOwner();
    return CGridCellId(row, col);
}

CGridCellRange CGridCtrl::MergedBlock(int row, int col) const {
    const CGridCellId origin = MergeOrigin(row, col);
    const CGridCellBase* cell = GetCell(origin.row, origin.col);
    // A block left partly outside the table by a later shrink counts as no block.
    if (!cell || !cell->IsSpanned() || !IsValidRange(cell->GetSpanRange())) return CGridCellRange();
    return cell->GetSpanRange();
}

int CGridCtrl::MergedWidth(int row, int col) const {
    const CGridCellRange block = MergedBlock(row, col);
    return block.IsSet() ? Sum(m_colWidths, block.minCol, block.maxCol + 1) : GetColumnWidth(col);
}

int CGridCtrl::MergedHeight(int row, int col) const {
    const CGridCellRange block = MergedBlock(row, col);
    return block.IsSet() ? Sum(m_rowHeights, block.minRow, block.maxRow + 1) : GetRowHeight(row);
}

BOOL CGridCtrl::IsCellOnScreen(int row, int col) {
    if (!IsWindow() || !IsValidCell(row, col)) return FALSE;
    CGridCellId topLeft = TopLeftScrollCell();
    if (col >= m_fixedCols && col < topLeft.col) return FALSE;
    if (row >= m_fixedRows && row < topLeft.row) return FALSE;
    CRect client;
    GetClientRect(&client);
    // A cell counts as shown when its top-left corner is inside the client area.
    return StartsBefore(m_colWidths, m_fixedCols, topLeft.col, col, client.right) &&
           StartsBefore(m_rowHeights, m_fixedRows, topLeft.row, row, client.bottom);
}
