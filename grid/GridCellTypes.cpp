// Cells of several classes in one grid: CellClass chooses the class of the cells the grid
// makes; SetCellType replaces one cell by a cell of another class in its place.
#include <memory>

#include "grid/GridCtrl.h"

BOOL CGridCtrl::SetCellType(int row, int col, const CRuntimeClass* cls) {
    if (!IsValidCell(row, col) || !cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase))) return FALSE;
    CGridCellBase* old = GetCell(row, col);
    if (old && old->IsEditing()) {
        // The editor reports first; the parent may change the table (or close the grid)
        // while it hears of it.
        const HWND self = m_hWnd;
        old->StopEdit();
        if (self && !::IsWindow(self)) return FALSE;
        old = IsValidCell(row, col) ? GetCell(row, col) : nullptr;
        if (!IsValidCell(row, col) || (old && old->IsEditing())) return FALSE;
    }
    if (old && old->GetRuntimeClass() == cls) return TRUE;

    std::unique_ptr<CGridCellBase> cell(NewCellOf(cls, row, col));
    if (!cell) return FALSE;
    auto* stored = dynamic_cast<CGridCell*>(cell.get());
    const auto* previous = dynamic_cast<const CGridCell*>(old);
    if (stored && previous)
        stored->TakeOverFrom(*previous);
    else if (old)
        cell->CopyFrom(*old);  // a class of the owner's own: its effective attributes
    cell->SetOwnerGrid(this);
    m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)] = cell.release();
    delete old;
    InvalidateCell(row, col);
    return TRUE;
}
