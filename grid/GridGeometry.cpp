// Pixel positions of rows, columns and cells. Fixed rows stay at the top and fixed columns
// at the left; the others are offset by the scroll positions, through the cached top-left
// scrolling cell.
//
// Every walk along the rows or columns is a question to CGridLineSizes, O(log n) each; sums
// are 64-bit, and a position is cut to what an int holds with room to spare (FAR_OFF), so
// adding a line's size or a client width to it cannot overflow.
#include <algorithm>
#include <climits>

#include "grid/GridCtrl.h"

namespace {
// Farther than any screen: client positions are clamped to [-FAR_OFF, FAR_OFF].
constexpr long long FAR_OFF = 0x3FFFFFFF;

int Clamp(long long v) { return static_cast<int>(std::min(std::max(v, -FAR_OFF), FAR_OFF)); }
int Saturate(long long v) { return static_cast<int>(std::min<long long>(v, INT_MAX)); }

// The first scrolling line whose start reaches `scrollPos` pixels past the fixed block, not
// past the last line (nor before the first scrolling one).
int FirstShown(const CGridLineSizes& sizes, int fixedCount, int scrollPos) {
    const int count = sizes.Count();
    if (count <= fixedCount) return fixedCount;
    const int first = sizes.FirstReaching(sizes.Prefix(fixedCount) + std::max(scrollPos, 0));
    return std::max(fixedCount, std::min(first, count - 1));
}

// Where line `index` starts: fixed lines from 0, scrolling ones from the fixed block's end,
// counted from the first one shown (`firstShown`), negative when scrolled off.
long long Offset(const CGridLineSizes& sizes, int fixedCount, int firstShown, int index) {
    if (index < fixedCount) return sizes.Prefix(index);
    return sizes.Prefix(fixedCount) + sizes.Prefix(index) - sizes.Prefix(firstShown);
}

// The last line reached from `first` (drawn from client position `start`) before `limit`,
// and how far the lines went (`end`: the limit itself when they reached it).
int LastReached(const CGridLineSizes& sizes, int first, long long start, int limit, int* end) {
    const int count = sizes.Count();
    if (first >= count) {
        *end = Clamp(start);
        return count - 1;
    }
    const long long base = sizes.Prefix(first);
    // The first n with start + Prefix(n) - base >= limit: line n - 1 reaches the limit.
    const int reaching = sizes.FirstReaching(base + limit - start);
    if (reaching > count) {
        *end = Clamp(start + sizes.Total() - base);
        return count - 1;
    }
    *end = limit;
    return std::min(std::max(reaching - 1, first), count - 1);
}

// The line that covers client position `pos`, or -1: the fixed lines when `pos` lies in the
// fixed block and they may be hit, else the scrolling lines from the first one shown.
int LineAt(const CGridLineSizes& sizes, int fixedCount, int firstShown, int pos, bool allowFixed) {
    if (pos < 0) return -1;
    const long long fixedSize = sizes.Prefix(fixedCount);
    if (pos < fixedSize) return allowFixed ? sizes.LineAt(pos) : -1;
    if (firstShown >= sizes.Count()) return -1;
    return sizes.LineAt(sizes.Prefix(firstShown) + pos - fixedSize);
}
}  // namespace

int CGridCtrl::VirtualWidth() const { return Saturate(m_colSizes.Total()); }
int CGridCtrl::VirtualHeight() const { return Saturate(m_rowSizes.Total()); }
int CGridCtrl::FixedColumnsWidth() const { return Saturate(m_colSizes.Prefix(m_fixedCols)); }
int CGridCtrl::FixedRowsHeight() const { return Saturate(m_rowSizes.Prefix(m_fixedRows)); }

long long CGridCtrl::RowRangeHeight(int first, int last) const {
    return m_rowSizes.Sum(std::max(first, 0), std::min(last, m_rows - 1));
}

long long CGridCtrl::ColumnRangeWidth(int first, int last) const {
    return m_colSizes.Sum(std::max(first, 0), std::min(last, m_cols - 1));
}

CGridCellId CGridCtrl::TopLeftScrollCell(BOOL forceRecompute) {
    if (m_topLeftCache.row == -1 || m_topLeftCache.col == -1 || forceRecompute) {
        int vertical = ScrollPos(SB_VERT), horizontal = ScrollPos(SB_HORZ);
        m_topLeftCache.col = FirstShown(m_colSizes, m_fixedCols, horizontal);
        m_topLeftCache.row = FirstShown(m_rowSizes, m_fixedRows, vertical);
    }
    return m_topLeftCache;
}

CGridCellRange CGridCtrl::VisibleScrollRange(RECT* covered, BOOL forceRecompute) {
    CRect client;
    if (IsWindow()) GetClientRect(&client);
    CGridCellId topLeft = TopLeftScrollCell(forceRecompute);
    int right = 0, bottom = 0;
    int maxRow = LastReached(m_rowSizes, topLeft.row, m_rowSizes.Prefix(m_fixedRows), client.bottom, &bottom);
    int maxCol = LastReached(m_colSizes, topLeft.col, m_colSizes.Prefix(m_fixedCols), client.right, &right);
    if (covered) *covered = CRect(0, 0, right, bottom);
    return CGridCellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

BOOL CGridCtrl::RowTop(int row, int* y) {
    if (row < 0 || row >= m_rows || !y) return FALSE;
    *y = Clamp(Offset(m_rowSizes, m_fixedRows, TopLeftScrollCell().row, row));
    return TRUE;
}

BOOL CGridCtrl::ColumnLeft(int col, int* x) {
    if (col < 0 || col >= m_cols || !x) return FALSE;
    *x = Clamp(Offset(m_colSizes, m_fixedCols, TopLeftScrollCell().col, col));
    return TRUE;
}

BOOL CGridCtrl::CellOrigin(int row, int col, POINT* origin) {
    if (!IsValidCell(row, col) || !origin) return FALSE;
    int x = 0, y = 0;
    ColumnLeft(col, &x);
    RowTop(row, &y);
    origin->x = x;
    origin->y = y;
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

int CGridCtrl::RowAt(int y, BOOL allowFixed) {
    return LineAt(m_rowSizes, m_fixedRows, TopLeftScrollCell().row, y, allowFixed != FALSE);
}

int CGridCtrl::ColumnAt(int x, BOOL allowFixed) {
    return LineAt(m_colSizes, m_fixedCols, TopLeftScrollCell().col, x, allowFixed != FALSE);
}

CGridCellId CGridCtrl::CellFromPoint(POINT point, BOOL allowFixed) {
    const CGridCellId topLeft = TopLeftScrollCell();
    if (!allowFixed && !IsValidCell(topLeft)) return CGridCellId();
    const int col = ColumnAt(point.x, allowFixed);
    const int row = RowAt(point.y, allowFixed);
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
    // Shrinking cuts blocks back to the table; this guards against records made otherwise.
    if (!cell || !cell->IsSpanned() || !IsValidRange(cell->GetSpanRange())) return CGridCellRange();
    return cell->GetSpanRange();
}

int CGridCtrl::MergedWidth(int row, int col) const {
    const CGridCellRange block = MergedBlock(row, col);
    return block.IsSet() ? Saturate(ColumnRangeWidth(block.minCol, block.maxCol)) : GetColumnWidth(col);
}

int CGridCtrl::MergedHeight(int row, int col) const {
    const CGridCellRange block = MergedBlock(row, col);
    return block.IsSet() ? Saturate(RowRangeHeight(block.minRow, block.maxRow)) : GetRowHeight(row);
}

BOOL CGridCtrl::IsCellOnScreen(int row, int col) {
    if (!IsWindow() || !IsValidCell(row, col)) return FALSE;
    CGridCellId topLeft = TopLeftScrollCell();
    if (col >= m_fixedCols && col < topLeft.col) return FALSE;
    if (row >= m_fixedRows && row < topLeft.row) return FALSE;
    CRect client;
    GetClientRect(&client);
    // A cell counts as shown when its top-left corner is inside the client area.
    int x = 0, y = 0;
    ColumnLeft(col, &x);
    RowTop(row, &y);
    return x < client.right && y < client.bottom;
}
