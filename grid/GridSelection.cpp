// The selection operations. The selection set holds exactly the cells whose state has
// CELL_SELECTED; a change touches only the cells whose selected state changes and repaints
// only those on screen. A block goes into the set whole, as one rectangle.
#include <algorithm>
#include <vector>

#include "framework/System.h"
#include "grid/GridCtrl.h"

BOOL CGridCtrl::CellIsSelected(int row, int col) const {
    return SelectionEnabled && (GetCellState(row, col) & CELL_SELECTED) != 0;
}

void CGridCtrl::RepaintSelected(int row, int col, const CGridCellRange& visible, CDC* dc) {
    if (!visible.IsSet() || !visible.Contains(row, col)) return;
    if (dc)
        RedrawCell(row, col, dc);
    else
        InvalidateCell(row, col);
}

void CGridCtrl::MarkSelected(int row, int col, bool select, const CGridCellRange& visible, CDC* dc) {
    const DWORD state = GetCellState(row, col);
    if (((state & CELL_SELECTED) != 0) == select) return;
    if (!SetCellState(row, col, select ? state | CELL_SELECTED : state & ~static_cast<DWORD>(CELL_SELECTED))) {
        // No cell there: never a member.
        m_selection.Erase(CGridCellId(row, col));
        return;
    }
    RepaintSelected(row, col, visible, dc);
}

void CGridCtrl::SelectRange(int minRow, int minCol, int maxRow, int maxCol, BOOL paintNow, BOOL select) {
    if (!SelectionEnabled) return;
    CWaitCursor wait;
    std::unique_ptr<CClientDC> surface;
    if (paintNow && IsWindow()) {
        surface = std::make_unique<CClientDC>(m_hWnd);
        if (!surface->GetSafeHdc()) surface.reset();
    }
    CDC* dc = surface.get();
    const CGridCellRange visible = IsWindow() ? VisibleScrollRange() : CGridCellRange();

    // The fixed cells are never selected.
    if (minRow >= 0) minRow = std::max(minRow, m_fixedRows);
    if (maxRow >= 0) maxRow = std::max(maxRow, m_fixedRows);
    if (minCol >= 0) minCol = std::max(minCol, m_fixedCols);
    if (maxCol >= 0) maxCol = std::max(maxCol, m_fixedCols);
    const CGridCellRange block(minRow, minCol, maxRow, maxCol);
    const bool blockApplies = IsValidRange(block) != FALSE;

    if (!select) {
        if (!blockApplies) return;
        for (int row = minRow; row <= maxRow; ++row)
            for (int col = minCol; col <= maxCol; ++col) MarkSelected(row, col, false, visible, dc);
        return;
    }
    // The new selection is the block plus what a Ctrl-press kept: the block goes in whole
    // (select all costs no work per cell in the set), and only the cells whose state changes
    // are touched and repainted.
    const bool keptApplies =
        !(WholeRowSelect && SingleRowSelect) && minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0;
    CGridSelectionSet leaving;
    if (blockApplies) leaving.InsertRange(block);
    if (keptApplies)
        m_previousSelection.ForEach([&](const CGridCellId& id) {
            if (IsValidCell(id)) leaving.Insert(id);
        });
    leaving.Swap(m_selection);
    // A cell no longer in the table only loses its entry.
    leaving.ForEachOutside(m_selection.Block(), [&](const CGridCellId& id) {
        if (!m_selection.Contains(id)) MarkSelected(id.row, id.col, false, visible, dc);
    });
    if (blockApplies)
        for (int row = minRow; row <= maxRow; ++row)
            for (int col = minCol; col <= maxCol; ++col) MarkSelected(row, col, true, visible, dc);
    if (keptApplies)
        m_previousSelection.ForEachOutside(blockApplies ? block : CGridCellRange(), [&](const CGridCellId& id) {
            if (IsValidCell(id)) MarkSelected(id.row, id.col, true, visible, dc);
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
