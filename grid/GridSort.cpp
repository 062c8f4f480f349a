// Sorting: the non-fixed rows put in the order of one column's cells. The rows are ordered
// as a list of row numbers first (RowSort.h) and moved once at the end, so a failure while
// ordering leaves the table as it was. The sort column's header (row 0) carries the sort
// mark; an edit in that column removes it (SetModified).
//
// A large table's cells lie in memory in the order their rows were made, which after a
// sort is no order at all: the passes over many cells go in memory order instead of row
// order, so that they do not wait on memory for nearly every cell.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/System.h"
#include "grid/GbkOrder.h"
#include "grid/GridCtrl.h"
#include "grid/RowSort.h"

namespace {
// What a sort by the cells' texts keeps of a row, read once: the head of its cell's text,
// where most comparisons end, and where the whole text lies among all the texts read; a
// missing cell equals anything.
struct TextItem {
    CGbkSortHead head;
    uint32_t start = 0;   // the text's first byte in the texts read
    uint32_t length = 0;  // its bytes
    int row = 0;
    bool present = false;
};

// Rows lo .. lo + byMemory.size() - 1 in the order of their cells' texts in column `col`,
// the texts read in the order of `byMemory`. May throw std::bad_alloc (or std::length_error
// beyond 4 GB of text).
std::vector<int> OrderByText(const CGridCtrl& grid, int col, bool ascending, int lo, const std::vector<int>& byMemory) {
    const size_t count = byMemory.size();
    std::vector<TextItem> items(count);
    std::string texts;  // every text read, one after the other
    texts.reserve(count * 16);  // short texts need no second block
    for (size_t i = 0; i < count; ++i) {
        TextItem& item = items[static_cast<size_t>(byMemory[i] - lo)];
        item.row = byMemory[i];
        if (const CGridCellBase* cell = grid.GetCell(item.row, col)) {
            const std::string text = cell->GetText();
            if (texts.size() + text.size() > UINT32_MAX) throw std::length_error("sort texts");
            item = {CGbkSortHead(text), static_cast<uint32_t>(texts.size()), static_cast<uint32_t>(text.size()), item.row,
                    true};
            texts += text;
        }
    }
    auto textOf = [&](const TextItem& item) { return std::string_view(texts.data() + item.start, item.length); };
    SortRowOrder(items.data(), static_cast<int>(count), ascending, [&](const TextItem& a, const TextItem& b) {
        int result = 0;
        if (!a.present || !b.present || a.head.Orders(b.head, &result)) return result;
        return CompareGbkText(textOf(a), textOf(b));
    });
    std::vector<int> order(count);
    for (size_t k = 0; k < count; ++k) order[k] = items[k].row;
    return order;
}

// The same rows in the order `compare` gives their cells in column `col`.
std::vector<int> OrderWith(const CGridCtrl& grid, GridCompareFunc compare, int col, bool ascending, LPARAM data,
                           int lo, const std::vector<int>& byMemory) {
    const size_t count = byMemory.size();
    std::vector<const CGridCellBase*> cells(count);
    for (int row : byMemory) cells[static_cast<size_t>(row - lo)] = grid.GetCell(row, col);
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), lo);
    SortRowOrder(order.data(), static_cast<int>(count), ascending, [&](int a, int b) {
        return compare(cells[static_cast<size_t>(a - lo)], cells[static_cast<size_t>(b - lo)], data);
    });
    return order;
}
}  // namespace

void CGridCtrl::SetSortColumn(int col) {
    if (SortColumn >= 0) InvalidateCell(0, SortColumn);
    SortColumn = col;
    if (col >= 0) InvalidateCell(0, col);
}

int CGridCtrl::CompareCellText(const CGridCellBase* a, const CGridCellBase* b, LPARAM) {
    if (!a || !b) return 0;
    return CompareGbkText(a->GetText(), b->GetText());
}

void CGridCtrl::SortByColumn(int col, BOOL ascending, LPARAM data) {
    SortRowsWith(SortCompare ? SortCompare : CompareCellText, col, ascending, data);
}

BOOL CGridCtrl::SortRowsWith(GridCompareFunc compare, int col, BOOL ascending, LPARAM data) {
    // Ended while the focus still names the edited cell: clearing the selection takes it away.
    if (!EndEditingBeforeRowsMove()) return FALSE;
    SetSortColumn(col);
    SortAscending = ascending;
    ClearSelection();  // the focus goes with it
    return SortRowRange(compare, col, ascending, data, m_fixedRows, -1);
}

void CGridCtrl::SortByHeader(int col) {
    CWaitCursor wait;
    const BOOL ascending = col != SortColumn || !SortAscending;
    SortByColumn(col, ascending, 0);
    if (IsWindow()) Invalidate(TRUE);
}

BOOL CGridCtrl::SortRowRange(GridCompareFunc compare, int col, BOOL ascending, LPARAM data, int lo, int hi) {
    if (!compare || col < 0 || col >= m_cols) return FALSE;
    // The owner may change the table while it hears of the edit's end: the bounds are taken
    // afterwards.
    if (!EndEditingBeforeRowsMove() || col >= m_cols) return FALSE;
    if (hi == -1) hi = m_rows - 1;
    lo = std::max(lo, m_fixedRows);
    hi = std::min(hi, m_rows - 1);
    if (lo >= hi) return FALSE;

    std::vector<int> byMemory, order, newRow;
    try {
        byMemory = RowsInMemoryOrder(lo, hi);
        order = compare == CompareCellText ? OrderByText(*this, col, ascending != FALSE, lo, byMemory)
                                           : OrderWith(*this, compare, col, ascending != FALSE, data, lo, byMemory);
        newRow.resize(order.size());
    } catch (const std::exception&) {
        // Memory ran out (or a compare function gave up): nothing has moved yet.
        return FALSE;
    }

    // Positions name cells: the selection and the focus would name other cells afterwards.
    // A selection kept while selecting is off goes too: its cells move away from it.
    if (!m_selection.Empty() || m_focusCell.IsSet()) {
        const BOOL enabled = SelectionEnabled;
        SelectionEnabled = TRUE;
        ClearSelection();
        SelectionEnabled = enabled;
    }
    for (size_t k = 0; k < order.size(); ++k) newRow[static_cast<size_t>(order[k] - lo)] = lo + static_cast<int>(k);
    for (int row : byMemory) TellRowItsPlace(row, newRow[static_cast<size_t>(row - lo)]);
    MoveRows(lo, order);
    return TRUE;
}

bool CGridCtrl::EndEditingBeforeRowsMove() {
    const HWND self = m_hWnd;
    EndEditing();
    return !self || ::IsWindow(self);
}

namespace {
// How far apart in memory two rows may lie and still be read as neighbours.
constexpr uintptr_t kNearBytes = 4096;

// Where a row lies in memory: its first cell (a row's cells are made one after the other),
// else its array.
uintptr_t FirstCellAddress(const std::vector<CGridCellBase*>& cells) {
    return cells.empty() ? reinterpret_cast<uintptr_t>(cells.data()) : reinterpret_cast<uintptr_t>(cells.front());
}
}  // namespace

std::vector<int> CGridCtrl::RowsInMemoryOrder(int lo, int hi) const {
    if (hi < lo) return {};
    const size_t count = static_cast<size_t>(hi - lo + 1);
    std::vector<int> rows(count);
    // Rows filled in order and not sorted since lie one after the other in memory, but for
    // a jump from one slab of cells to the next now and then: read fastest in their own
    // order. Sorted rows lie anywhere.
    size_t following = 0;
    uintptr_t previous = FirstCellAddress(m_cells[static_cast<size_t>(lo)]);
    for (int row = lo; row <= hi; ++row) {
        const uintptr_t at = FirstCellAddress(m_cells[static_cast<size_t>(row)]);
        if (at - previous < kNearBytes) ++following;
        previous = at;
        rows[static_cast<size_t>(row - lo)] = row;
    }
    if (following * 8 >= count * 7) return rows;
    // Else a radix sort by address, eleven bits at a time.
    std::vector<std::pair<uintptr_t, int>> placed(count), spare(count);
    for (int row = lo; row <= hi; ++row)
        placed[static_cast<size_t>(row - lo)] = {FirstCellAddress(m_cells[static_cast<size_t>(row)]), row};
    for (unsigned shift = 0; shift < sizeof(uintptr_t) * 8; shift += 11) {
        std::vector<size_t> starts(2049, 0);
        for (const auto& p : placed) ++starts[((p.first >> shift) & 2047) + 1];
        for (size_t d = 1; d < starts.size(); ++d) starts[d] += starts[d - 1];
        for (const auto& p : placed) spare[starts[(p.first >> shift) & 2047]++] = p;
        placed.swap(spare);
    }
    for (size_t k = 0; k < count; ++k) rows[k] = placed[k].second;
    return rows;
}

void CGridCtrl::TellRowItsPlace(int row, int newRow) {
    for (int col = 0; col < m_cols; ++col) {
        CGridCellBase* cell = m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
        if (!cell) continue;
        if (cell->IsSpanned() || cell->IsCoveredBySpan()) {
            const CGridCellId origin = cell->IsSpanned() ? CGridCellId(row, col) : cell->GetSpanOwner();
            const CGridCellBase* head = GetCell(origin.row, origin.col);
            // Nothing has moved yet: the block's own coordinates still hold.
            if (head && head->IsSpanned() && head->GetSpanRange().minRow != head->GetSpanRange().maxRow) {
                DissolveBlock(origin);
            } else if (cell->IsSpanned()) {
                CGridCellRange block = cell->GetSpanRange();
                block.minRow = block.maxRow = newRow;
                cell->SetSpanRange(block);
            } else if (cell->IsCoveredBySpan()) {
                cell->SetSpanOwner(newRow, origin.col);
            }
        }
        if (newRow != row) cell->SetPosition(newRow, col);
    }
}

void CGridCtrl::SetHeightIfOther(int row, int height) {
    // Most rows share one height: the running totals need no update for those.
    if (m_rowSizes.Size(row) != height) m_rowSizes.SetSize(row, height);
}

void CGridCtrl::MoveRows(int lo, std::vector<int>& order) {
    // Cycle by cycle, one row in hand at a time; a slot done is marked by its own row.
    for (size_t start = 0; start < order.size(); ++start) {
        const int first = lo + static_cast<int>(start);
        if (order[start] == first) continue;
        std::vector<CGridCellBase*> held = std::move(m_cells[static_cast<size_t>(first)]);
        const int heldHeight = m_rowSizes.Size(first);
        int to = first;
        while (order[static_cast<size_t>(to - lo)] != first) {
            const int from = order[static_cast<size_t>(to - lo)];
            m_cells[static_cast<size_t>(to)] = std::move(m_cells[static_cast<size_t>(from)]);
            SetHeightIfOther(to, m_rowSizes.Size(from));
            order[static_cast<size_t>(to - lo)] = to;
            to = from;
        }
        m_cells[static_cast<size_t>(to)] = std::move(held);
        SetHeightIfOther(to, heldHeight);
        order[static_cast<size_t>(to - lo)] = to;
    }
    // The heights moved: the row at the scroll position may be another one now.
    ForgetTopLeftRow();
}

void CGridCtrl::DissolveBlock(const CGridCellId& origin) {
    CGridCellBase* head = GetCell(origin.row, origin.col);
    if (!head) return;
    const CGridCellRange block = head->GetSpanRange();
    for (int row = std::max(block.minRow, 0); row <= std::min(block.maxRow, m_rows - 1); ++row) {
        for (int col = std::max(block.minCol, 0); col <= std::min(block.maxCol, m_cols - 1); ++col) {
            CGridCellBase* cell = GetCell(row, col);
            if (!cell || cell == head || !cell->IsCoveredBySpan() || cell->GetSpanOwner() != origin) continue;
            cell->SetSpanOwner(-1, -1);
            cell->SetVisible(true);
        }
    }
    head->SetSpanRange(CGridCellRange());
    head->SetVisible(true);
}
