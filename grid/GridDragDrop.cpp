// Dragging the selection out of the grid, text dropped onto it, and its OLE drop target.
#include <new>

#include "grid/GridCtrl.h"
#include "grid/cells/GridTitleTip.h"

namespace {
// Ctrl asks for a copy; otherwise the text moves.
DROPEFFECT EffectOfKeys(DWORD keys) { return (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE; }

void SetDropHighlight(CGridCtrl& grid, const CGridCellId& cell, bool on) {
    const DWORD state = grid.GetCellState(cell.row, cell.col);
    grid.SetCellState(cell.row, cell.col, on ? state | CELL_DROPHILITED : state & ~static_cast<DWORD>(CELL_DROPHILITED));
    grid.RedrawCell(cell);
}
}  // namespace

// ---- CGridDropSink ----

BOOL CGridDropSink::Register(CWnd* wnd) {
    if (!wnd || !wnd->IsKindOf(RUNTIME_CLASS(CGridCtrl)) || !COleDropTarget::Register(wnd)) return FALSE;
    m_grid = static_cast<CGridCtrl*>(wnd);
    return TRUE;
}

void CGridDropSink::Revoke() {
    m_grid = nullptr;
    COleDropTarget::Revoke();
}

CGridCtrl* CGridDropSink::GridFor(CWnd* wnd) const { return wnd && wnd == m_grid ? m_grid : nullptr; }

DROPEFFECT CGridDropSink::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    CGridCtrl* grid = GridFor(wnd);
    return grid ? grid->GridDragEnter(data, keyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT CGridDropSink::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    CGridCtrl* grid = GridFor(wnd);
    return grid ? grid->GridDragOver(data, keyState, point) : DROPEFFECT_NONE;
}

void CGridDropSink::OnDragLeave(CWnd* wnd) {
    if (CGridCtrl* grid = GridFor(wnd)) grid->GridDragLeave();
}

BOOL CGridDropSink::OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) {
    CGridCtrl* grid = GridFor(wnd);
    return grid ? grid->GridDrop(data, effect, point) : FALSE;
}

DROPEFFECT CGridDropSink::OnDropEffect(CWnd* wnd, DROPEFFECT performed) {
    CGridCtrl* grid = GridFor(wnd);
    return grid ? grid->GridDropEffect(performed) : performed;
}

DROPEFFECT CGridDropSink::OnDragScroll(CWnd* wnd, DWORD keyState, CPoint) {
    return GridFor(wnd) ? EffectOfKeys(keyState) : DROPEFFECT_NONE;
}

// ---- the grid's side ----

void CGridCtrl::RegisterDropSinkOnce() {
    if (m_dropSinkTried || !IsWindow()) return;
    m_dropSinkTried = true;
    if (!m_dropSink) m_dropSink.reset(new (std::nothrow) CGridDropSink);
    if (m_dropSink) m_dropSink->Register(this);
}

void CGridCtrl::OnDestroy() {
    // OLE must let go of the window before it goes; a drag still holding the target finds
    // it revoked and refuses.
    if (m_dropSink) m_dropSink->Revoke();
    m_dropSinkTried = false;
    m_dragRunning = false;  // a drag of ours ends with the window
    m_droppedCells.Clear();
    // A title tip shown over the grid would hold the mouse with nothing below it.
    if (m_titleTip) m_titleTip->Hide();
    Default();
}

void CGridCtrl::BeginSelectionDrag() {
    if (!DragAndDropEnabled) return;
    CRefPtr<COleDataSource> source = CopySelectionToSource();
    if (!source) return;
    const CGridCellRange bounds = SelectionBounds();
    if (!NotifyAndCheck(bounds.minRow, bounds.minCol, GRID_NOTIFY_BEGINDRAG)) return;
    MouseState = MS_DRAGGING;
    LeftButtonDown = FALSE;

    // A drop onto this very grid pastes and clears the selection before the drag returns;
    // the dragged cells and those the drop wrote tell what a move has to empty then.
    const std::vector<CGridCellId> dragged = SortedSelection();
    m_droppedCells.Clear();
    m_dragRunning = true;
    const HWND self = m_hWnd;
    const DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    if (self && !::IsWindow(self)) return;  // the drop ended the grid's window
    m_dragRunning = false;
    source.reset();

    if (effect & DROPEFFECT_MOVE) {
        if (m_droppedCells.Empty()) {
            ClearSelectedText();
        } else if (Editable) {
            for (const CGridCellId& id : dragged)
                if (!m_droppedCells.Contains(id) && !ChangeCellText(id.row, id.col, std::string())) return;
        }
    }
    m_droppedCells.Clear();
}

DROPEFFECT CGridCtrl::GridDragEnter(COleDataObject* data, DWORD keys, CPoint point) {
    if (!DragAndDropEnabled || !OffersText(data)) return DROPEFFECT_NONE;
    DropTargetCell = CellFromPoint(point, FALSE);
    if (!IsCellEditable(DropTargetCell.row, DropTargetCell.col)) return DROPEFFECT_NONE;
    SetDropHighlight(*this, DropTargetCell, true);
    return EffectOfKeys(keys);
}

DROPEFFECT CGridCtrl::GridDragOver(COleDataObject* data, DWORD keys, CPoint point) {
    if (!DragAndDropEnabled || !Editable || !OffersText(data)) return DROPEFFECT_NONE;
    const CGridCellId cell = CellFromPoint(point, FALSE);
    if (!IsValidCell(cell)) {
        GridDragLeave();
        DropTargetCell = CGridCellId();
        return DROPEFFECT_NONE;
    }
    // Over a cell that takes no text the highlight stays where it was.
    if (!IsCellEditable(cell.row, cell.col)) return DROPEFFECT_NONE;
    if (cell != DropTargetCell) {
        if (IsValidCell(DropTargetCell)) SetDropHighlight(*this, DropTargetCell, false);
        DropTargetCell = cell;
        SetDropHighlight(*this, DropTargetCell, true);
    }
    return EffectOfKeys(keys);
}

void CGridCtrl::GridDragLeave() {
    if (IsValidCell(DropTargetCell)) SetDropHighlight(*this, DropTargetCell, false);
}

DROPEFFECT CGridCtrl::GridDropEffect(DROPEFFECT performed) {
    return m_pasteCut && (performed & DROPEFFECT_MOVE) ? DROPEFFECT_COPY : performed;
}

BOOL CGridCtrl::GridDrop(COleDataObject* data, DROPEFFECT, CPoint) {
    MouseState = MS_IDLE;
    if (!DragAndDropEnabled || !IsCellEditable(DropTargetCell.row, DropTargetCell.col)) return FALSE;
    GridDragLeave();
    return PasteTextAt(DropTargetCell, data, FALSE);
}
