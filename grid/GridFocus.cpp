// The focus cell.
#include "grid/GridCtrl.h"

CGridCellId CGridCtrl::MoveFocusTo(int row, int col) {
    const CGridCellId previous = m_focusCell;
    if (row != -1 && row < m_fixedRows) row = m_fixedRows;
    if (col != -1 && col < m_fixedCols) col = m_fixedCols;
    // The focus is a cell of the table or none.
    CGridCellId target = IsValidCell(row, col) ? CGridCellId(row, col) : CGridCellId();
    if (target == previous) return previous;
    m_focusCell = target;

    // The header cells of the focus row and column are drawn sunken: redraw those that change.
    auto redrawHeaders = [this](const CGridCellId& cell, bool colChanged, bool rowChanged) {
        if (!HighlightFocusHeaders) return;
        if (colChanged)
            for (int r = 0; r < m_fixedRows; ++r) RedrawCell(r, cell.col);
        if (rowChanged)
            for (int c = 0; c < m_fixedCols; ++c) RedrawCell(cell.row, c);
    };
    const bool colChanged = target.col != previous.col, rowChanged = target.row != previous.row;
    if (IsValidCell(previous)) {
        if (CGridCellBase* cell = GetCell(previous.row, previous.col))
            cell->SetState(cell->GetState() & ~static_cast<DWORD>(CELL_FOCUSED));
        RedrawCell(previous);
        redrawHeaders(previous, colChanged, rowChanged);
    }
    if (IsValidCell(target)) {
        if (CGridCellBase* cell = GetCell(target.row, target.col)) cell->SetState(cell->GetState() | CELL_FOCUSED);
        RedrawCell(target);
        redrawHeaders(target, colChanged, rowChanged);
    }
    return previous;
}
