// The selection operations. The selection set holds exactly the cells whose state has
// CELL_SELECTED; a change touches only the cells whose selected state changes and repaints
// only those on screen. A block goes into the set whole, as one rectangle.
#include <algorithm>
#include <memory>
#include <vector>

#include "framework/System.h"
#include "grid/GridCtrl.h"

BOOL CGridCtrl::CellIsSelected(int row, int col) const {
    return SelectionEnabled && (GetCellState(row, col) & CELL_SELECTED) != 0;
}

class CGridCtrl::CSelectionRepaint {
public:
    CSelectionRepaint(CGridCtrl& grid, BOOL paintNow) : m_grid(grid) {
        if (!grid.IsWindow()) return;
        m_visible = grid.VisibleScrollRange();
        if (!paintNow) return;
        m_surface = std::make_unique<CClientDC>(grid.m_hWnd);
        if (!m_surface->GetSafeHdc()) m_surface.reset();
    }
    ~CSelectionRepaint() { m_grid.InvalidateRects(m_invalid); }
    CSelectionRepaint(const CSelectionRepaint&) = delete;
    CSelectionRepaint& operator=(const CSelectionRepaint&) = delete;

    void Cell(int row, int col) {
        if (!m_visible.IsSet() || !m_visible.Contains(row, col)) return;
        RECT rect;
        if (m_surface)
            m_grid.RedrawCell(row, col, m_surface.get());
        else if (m_grid.CellInvalidRect(row, col, &rect))
            m_invalid.push_back(rect);
    }

private:
    CGridCtrl& m_grid;
    CGridCellRange m_visible;              // the scrolling cells on screen
    std::unique_ptr<CClientDC> m_surface;  // the window, when the change paints now
    std::vector<RECT> m_invalid;           // what to invalidate at the end
};

bool CGridCtrl::SetSelectedBit(CGridCellBase* cell, int row, int col, bool select, CSelectionRepaint& repaint) {
    if (!cell) return false;
    const DWORD state = cell->GetState();
    if (((state & CELL_SELECTED) != 0) == select) return false;
    cell->SetState(select ? state | CELL_SELECTED : state & ~static_cast<DWORD>(CELL_SELECTED));
    repaint.Cell(row, col);
    return true;
}

template <class F>
void CGridCtrl::ForEachCellByMemory(const CGridCellRange& range, const CGridCellRange& skip, F f) {
    for (int row : RowsInMemoryOrder(range.minRow, range.maxRow)) {
        const std::vector<CGridCellBase*>& cells = m_cells[static_cast<size_t>(row)];
        const bool crossing = skip.IsSet() && row >= skip.minRow && row <= skip.maxRow;
        for (int col = range.minCol; col <= range.maxCol; ++col) {
            if (crossing && col >= skip.minCol && col <= skip.maxCol)
                col = skip.maxCol;  // past the skipped columns in one jump
            else
                f(row, col, cells[static_cast<size_t>(col)]);
        }
    }
}

void CGridCtrl::SelectRange(int minRow, int minCol, int maxRow, int maxCol, BOOL paintNow, BOOL select) {
    if (!SelectionEnabled) return;
    CWaitCursor wait;
    CSelectionRepaint repaint(*this, paintNow);

    // The fixed cells are never selected.
    if (minRow >= 0) minRow = std::max(minRow, m_fixedRows);
    if (maxRow >= 0) maxRow = std::max(maxRow, m_fixedRows);
    if (minCol >= 0) minCol = std::max(minCol, m_fixedCols);
    if (maxCol >= 0) maxCol = std::max(maxCol, m_fixedCols);
    const CGridCellRange block(minRow, minCol, maxRow, maxCol);
    const bool blockApplies = IsValidRange(block) != FALSE;

    if (!select) {
        if (!blockApplies) return;
        ForEachCellByMemory(block, CGridCellRange(), [&](int row, int col, CGridCellBase* cell) {
            SetSelectedBit(cell, row, col, false, repaint);
            m_selection.Erase(CGridCellId(row, col));
        });
        return;
    }
    // The new selection is the block plus what a Ctrl-press kept: the block goes into the set
    // whole (select all costs no work per cell there), and only the cells whose state changes
    // are touched and repainted. A place with no cell is never a member.
    const bool keptApplies =
        !(WholeRowSelect && SingleRowSelect) && minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0;
    CGridSelectionSet leaving;
    if (blockApplies) leaving.InsertRange(block);
    if (keptApplies)
        m_previousSelection.ForEach([&](const CGridCellId& id) {
            if (IsValidCell(id)) leaving.Insert(id);
        });
    leaving.Swap(m_selection);
    // Leaving: the old rectangle's cells outside the new one (its holes are no members and
    // change nothing), then the old single members. A cell no longer in the table only loses
    // its entry.
    auto leave = [&](int row, int col, CGridCellBase* cell) {
        if (!m_selection.Contains(CGridCellId(row, col))) SetSelectedBit(cell, row, col, false, repaint);
    };
    auto join = [&](int row, int col, CGridCellBase* cell) {
        if (!cell) m_selection.Erase(CGridCellId(row, col));
        SetSelectedBit(cell, row, col, true, repaint);
    };
    const CGridCellRange& old = leaving.Block();
    if (IsValidRange(old)) ForEachCellByMemory(old, m_selection.Block(), leave);
    leaving.ForEachOutside(IsValidRange(old) ? old : CGridCellRange(),
                           [&](const CGridCellId& id) { leave(id.row, id.col, GetCell(id.row, id.col)); });
    if (blockApplies) ForEachCellByMemory(block, CGridCellRange(), join);
    if (keptApplies)
        m_previousSelection.ForEachOutside(blockApplies ? block : CGridCellRange(), [&](const CGridCellId& id) {
            if (IsValidCell(id)) join(id.row, id.col, GetCell(id.row, id.col));
        });
}

void CGridCtrl::SelectWholeGrid() {
    if (SelectionEnabled) SelectRange(m_fixedRows, m_fixedCols, m_rows - 1, m_cols - 1, FALSE, TRUE);
}

void CGridCtrl::SelectColumnSpan(const CGridCellId& cell, BOOL paintNow, BOOL select) {
    if (!SelectionEnabled || cell.col < m_fixedCols || !IsValidCell(cell)) return;
    const CGridCellId& a = SelectionAnchor;
    if (SingleColumnSelect)
        SelectRange(m_fixedRows, cell.col, m_rows - 1, cell.col, paintNow, select);
    else
        SelectRange(m_fixedRows, std::min(a.col, cell.col), m_rows - 1, std::max(a.col, cell.col), paintNow, select);
}

void CGridCtrl::SelectRowSpan(const CGridCellId& cell, BOOL paintNow, BOOL select) {
    if (!SelectionEnabled || cell.row < m_fixedRows || !IsValidCell(cell)) return;
    const CGridCellId& a = SelectionAnchor;
    if (WholeRowSelect && SingleRowSelect)
        SelectRange(cell.row, m_fixedCols, cell.row, m_cols - 1, paintNow, select);
    else
        SelectRange(std::min(a.row, cell.row), m_fixedCols, std::max(a.row, cell.row), m_cols - 1, paintNow, select);
}

void CGridCtrl::SelectCellBlock(const CGridCellId& cell, BOOL paintNow, BOOL select) {
    if (!SelectionEnabled || cell.row < m_fixedRows || cell.col < m_fixedCols || !IsValidCell(cell)) return;
    const CGridCellId& a = SelectionAnchor;
    SelectRange(std::min(a.row, cell.row), std::min(a.col, cell.col), std::max(a.row, cell.row),
                std::max(a.col, cell.col), paintNow, select);
}

void CGridCtrl::ExtendSelectionTo(const CGridCellId& cell) {
    if (!SelectionEnabled) return;
    switch (MouseState) {
        case MS_SELECTING_ALL: SelectWholeGrid(); break;
        case MS_SELECTING_COLUMNS: SelectColumnSpan(cell, FALSE, TRUE); break;
        case MS_SELECTING_ROWS: SelectRowSpan(cell, FALSE, TRUE); break;
        case MS_SELECTING_CELLS: SelectCellBlock(cell, FALSE, TRUE); break;
        default: break;
    }
}

void CGridCtrl::ClearSelection() {
    m_previousSelection.Clear();
    SelectRange(-1, -1, -1, -1, FALSE, TRUE);
    MoveFocusTo(-1, -1);
}

CGridCellRange CGridCtrl::SelectionBounds() const {
    const CGridCellRange bounds = m_selection.Bounds();
    return bounds.IsSet() ? bounds : CGridCellRange(m_rows, m_cols, -1, -1);
}
