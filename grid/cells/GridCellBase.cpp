#include "grid/cells/GridCellBase.h"

#include "grid/GridCtrl.h"

IMPLEMENT_DYNAMIC(CGridCellBase, CObject)

const GridCellExtras CGridCellBase::kUnsetExtras;

bool GridCellExtras::IsUnset() const {
    return !font && !editor && !editing && !covered && !hidden && data == 0 && image == -1 &&
           textColour == CLR_DEFAULT && backColour == CLR_DEFAULT && margin == 0xFFFFFFFF &&
           spanRange == CGridCellRange() && spanOwner == CGridCellId();
}

void GridCellExtras::ResetMerge() {
    spanRange = CGridCellRange();
    spanOwner = CGridCellId();
    covered = false;
    hidden = false;
}

CGridCellBase::CGridCellBase() { CGridCellBase::Reset(); }

void CGridCellBase::Reset() {
    m_state = 0;
    if (!m_extras) return;
    m_extras->ResetMerge();
    TrimExtras();
}

GridCellExtras& CGridCellBase::WritableExtras() {
    if (!m_extras) m_extras = std::make_unique<GridCellExtras>();
    return *m_extras;
}

CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
    CGridCtrl* grid = GetOwnerGrid();
    if (!grid) return nullptr;
    // CELL_FIXED alone says nothing about which header block the cell is in.
    DWORD state = GetState();
    return grid->DefaultCellFor((state & CELL_FIXEDROW) != 0, (state & CELL_FIXEDCOL) != 0);
}

void CGridCellBase::CopyFrom(const CGridCellBase& other) {
    if (&other == this) return;
    // Through the getters, so the copy holds the source's effective values: an unset format,
    // margin or font arrives as the default cell's.
    SetOwnerGrid(other.GetOwnerGrid());
    SetText(other.GetText());
    SetImage(other.GetImage());
    SetData(other.GetData());
    SetState(other.GetState());
    SetFormat(other.GetFormat());
    SetTextColour(other.GetTextColour());
    SetBackColour(other.GetBackColour());
    SetFont(other.UsesDefaultFont() ? nullptr : other.GetFont());
    SetMargin(other.GetMargin());
    CGridCellId owner = other.GetSpanOwner();
    SetSpanOwner(owner.row, owner.col);
    SetSpanRange(other.GetSpanRange());
    SetVisible(other.IsVisible() != FALSE);
}

BOOL CGridCellBase::OnSetCursor() {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

void CGridCellBase::SetSpanOwner(int row, int col) {
    const CGridCellId owner(row, col);
    if (!m_extras && owner == CGridCellId()) return;  // row -1: not covered, as unset
    GridCellExtras& extras = WritableExtras();
    extras.spanOwner = owner;
    extras.covered = row != -1;
    TrimExtras();
}
