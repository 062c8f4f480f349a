// In-place editing: which cells may be edited, opening a cell's editor, and taking the text
// its editor reports back (GridItemNotification from INPLACE_EDITOR_ID), with the parent's
// say on both ends. Tab or a navigation key that ended an edit carries it on to the next cell.
#include "grid/GridCtrl.h"
#include "grid/cells/CellEditBox.h"
#include "grid/cells/GridTitleTip.h"

namespace {
// The ending keys after which editing goes on in the cell the key leads to.
bool ContinuesEditing(UINT key) { return key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN); }
}  // namespace

BOOL CGridCtrl::IsCellEditable(int row, int col) const {
    return Editable && IsValidCell(row, col) && !(GetCellState(row, col) & CELL_READONLY);
}

void CGridCtrl::EndEditing() {
    const HWND self = m_hWnd;
    if (CGridCellBase* cell = GetCell(m_focusCell.row, m_focusCell.col)) cell->StopEdit();
    // An editor on another cell: the owner opened it there, or the focus moved while it was
    // open (clearing the selection takes the focus away). The parent may have closed us
    // while it heard of the focus cell's edit.
    if (!self || !::IsWindow(self)) return;
    if (auto* editor = dynamic_cast<CGridEditorLink*>(CWnd::FromHandlePermanent(::GetDlgItem(self, INPLACE_EDITOR_ID))))
        editor->FinishEdit();
}

void CGridCtrl::StartCellEdit(int row, int col, CPoint point, UINT key) {
    if (m_titleTip) m_titleTip->Hide();
    if (!IsValidCell(row, col) || !IsCellEditable(row, col)) return;
    const HWND self = m_hWnd;
    ScrollCellIntoView(row, col);
    // Scrolling closes an open editor, whose report the parent may answer by closing us.
    if (!self || !::IsWindow(self) || !IsCellOnScreen(row, col)) return;
    CRect rect;
    // A hidden cell (a row or column of size 0) would get an editor no one can see.
    if (!CellRect(row, col, &rect) || rect.right < rect.left || rect.bottom < rect.top) return;
    LRESULT reply = 0;
    if (!NotifyAndCheck(row, col, GRID_NOTIFY_BEGINEDIT, &reply) || reply < 0) return;
    // The parent may have changed the table while it was asked.
    if (CGridCellBase* cell = GetCell(row, col)) cell->BeginEdit(row, col, rect, point, INPLACE_EDITOR_ID, key);
}

bool CGridCtrl::CommitEditedText(int row, int col, const std::string& text) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return true;
    const std::string old = cell->GetText();
    if (old == text) return true;
    // The new text is in place while the cell and the parent judge it; a rejected text is
    // put back without touching the modified flags, so a veto leaves no trace.
    cell->SetText(text);
    bool accepted = ValidateCellEdit(row, col, text) != FALSE;
    if (accepted) {
        LRESULT reply = 0;
        if (!NotifyAndCheck(row, col, GRID_NOTIFY_ENDEDIT, &reply)) return false;
        accepted = reply >= 0;
    }
    cell = GetCell(row, col);
    if (!cell) return true;
    if (accepted) {
        SetModified(TRUE, row, col);
        RedrawCell(row, col);
    } else {
        cell->SetText(old);
    }
    return true;
}

void CGridCtrl::FinishCellEdit(int row, int col, const std::string& text) {
    // The cell lets go of its editor before the parent hears of the text: a parent that
    // closes the grid in its reply leaves no cell pointing at an editor that is about to go.
    if (CGridCellBase* cell = GetCell(row, col)) cell->OnEditEnded();
    CommitEditedText(row, col, text);
}

void CGridCtrl::OnEditorEnded(NMHDR* header, LRESULT* result) {
    *result = 0;
    if (!IsWindow() || !header) return;
    // Only an editor of this grid sends this record; anything else with the same code and id
    // is not read as one.
    const HWND from = header->hwndFrom;
    if (!from || ::GetParent(from) != m_hWnd || !dynamic_cast<CGridEditorLink*>(CWnd::FromHandlePermanent(from)))
        return;
    const GridItem& item = reinterpret_cast<const GridItemNotification*>(header)->item;
    const int row = item.row, col = item.col;
    const UINT key = static_cast<UINT>(item.data);
    const HWND self = m_hWnd;
    FinishCellEdit(row, col, (item.mask & ITEM_TEXT) ? item.text : GetCellText(row, col));
    if (!::IsWindow(self) || !ContinuesEditing(key)) return;
    if (!HandleKey(key, false)) return;
    StartCellEdit(m_focusCell.row, m_focusCell.col, CPoint(-1, -1), key);
}
