// The keys: the arrows, Tab, the page keys, Home and End move the focus cell (Shift extends
// the selection from SelectionAnchor) and scroll it into view; the clipboard shortcuts;
// Delete clears; F2 and typed characters start an edit (GridEdit.cpp).
#include <algorithm>

#include "grid/GridCtrl.h"
#include "grid/KeyMoves.h"

namespace {
bool KeyHeld(int key) { return ::GetKeyState(key) < 0; }

// Characters that the editors take as keys when they open an edit (the page and arrow keys'
// codes): typed, they have to be passed on as characters once the editor is open.
bool CharacterReadAsKey(UINT ch) { return ch >= VK_PRIOR && ch <= VK_DOWN; }
}  // namespace

UINT CGridCtrl::OnGetDlgCode() {
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    // Ctrl+Tab stays the dialog's.
    if (HandleTabKey && !KeyHeld(VK_CONTROL)) code |= DLGC_WANTTAB;
    return code;
}

bool CGridCtrl::SendScroll(UINT message, UINT code) {
    const HWND self = m_hWnd;
    SendMessage(message, code);
    return ::IsWindow(self) != FALSE;
}

void CGridCtrl::OnKeyDown(UINT key, UINT, UINT) {
    if (!IsValidCell(m_focusCell)) {
        Default();
        return;
    }
    const HWND self = m_hWnd;
    if (KeyHeld(VK_CONTROL)) {
        switch (key) {
            case 'C':
            case VK_INSERT: CopyToClipboard(); break;
            case 'X': CutToClipboard(); break;
            case 'V': PasteFromClipboard(); break;
            case 'A': SelectAllCells(); break;
            default: break;
        }
        // A cut or paste asks the parent, which may close the grid.
        if (!::IsWindow(self)) return;
    }
    if (KeyHeld(VK_SHIFT) && key == VK_INSERT) {
        PasteFromClipboard();
        if (::IsWindow(self)) Default();
        return;
    }
    HandleKey(key, true);
}

bool CGridCtrl::HandleKey(UINT key, bool fromMessage) {
    if (!IsValidCell(m_focusCell)) return true;
    const bool ctrl = KeyHeld(VK_CONTROL), shift = KeyHeld(VK_SHIFT);
    const CGridCellId focus = m_focusCell;
    CGridCellId target = focus;
    bool wrapped = false, scrolledH = false, scrolledV = false;
    auto scroll = [&](UINT message, UINT code) {
        (message == WM_HSCROLL ? scrolledH : scrolledV) = true;
        return SendScroll(message, code);
    };

    switch (key) {
        case VK_RIGHT:
        case VK_LEFT: {
            const int col = key == VK_RIGHT ? keymoves::NextShown(m_colSizes, focus.col)
                                            : keymoves::PreviousShown(m_colSizes, focus.col, m_fixedCols);
            if (col >= 0) target.col = col;
            break;
        }
        case VK_DOWN:
        case VK_UP: {
            const int row = key == VK_DOWN ? keymoves::NextShown(m_rowSizes, focus.row)
                                           : keymoves::PreviousShown(m_rowSizes, focus.row, m_fixedRows);
            if (row >= 0) target.row = row;
            break;
        }
        case VK_TAB: {
            const keymoves::Target t =
                shift ? keymoves::TabBackward(m_rowSizes, m_colSizes, m_fixedRows, m_fixedCols, focus.row, focus.col)
                      : keymoves::TabForward(m_rowSizes, m_colSizes, m_fixedRows, m_fixedCols, focus.row, focus.col);
            target = CGridCellId(t.row, t.col);
            wrapped = t.wrapped;
            if (!wrapped && fromMessage) Default();
            break;
        }
        case VK_PRIOR:
        case VK_NEXT: {
            // The focus moves as far as the view did; to the end when the view could not move.
            const int before = TopLeftScrollCell().row;
            if (!scroll(WM_VSCROLL, key == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN)) return false;
            const int moved = TopLeftScrollCell().row - before;
            if (moved == 0)
                target.row = key == VK_PRIOR ? m_fixedRows : m_rows - 1;
            else
                target.row = std::max(m_fixedRows, std::min(m_rows - 1, focus.row + moved));
            break;
        }
        case VK_HOME:
        case VK_END: {
            const bool home = key == VK_HOME;
            if (ctrl && !scroll(WM_VSCROLL, home ? SB_TOP : SB_BOTTOM)) return false;
            if (!scroll(WM_HSCROLL, home ? SB_LEFT : SB_RIGHT)) return false;
            target.col = home ? keymoves::FirstShownFrom(m_colSizes, m_fixedCols)
                              : keymoves::LastShownFrom(m_colSizes, m_fixedCols);
            if (ctrl)
                target.row = home ? keymoves::FirstShownFrom(m_rowSizes, m_fixedRows)
                                  : keymoves::LastShownFrom(m_rowSizes, m_fixedRows);
            break;
        }
        case VK_DELETE:
            ClearSelectedText();
            return IsWindow() != FALSE;
        case VK_F2:
            StartCellEdit(focus.row, focus.col, CPoint(-1, -1), VK_LBUTTON);
            return IsWindow() != FALSE;
        default:
            if (fromMessage) Default();
            return true;
    }

    if (target != focus && IsValidCell(target) &&
        !MoveFocusForKey(key, target, wrapped, &scrolledH, &scrolledV))
        return false;
    if (scrolledH && !SendScroll(WM_HSCROLL, SB_ENDSCROLL)) return false;
    if (scrolledV && !SendScroll(WM_VSCROLL, SB_ENDSCROLL)) return false;
    return true;
}

bool CGridCtrl::MoveFocusForKey(UINT key, const CGridCellId& target, bool wrapped, bool* scrolledH,
                                bool* scrolledV) {
    const HWND self = m_hWnd;
    const bool shift = KeyHeld(VK_SHIFT);
    if (MouseState == MS_IDLE) {
        m_previousSelection.Clear();
        MouseState = WholeRowSelect ? MS_SELECTING_ROWS : MS_SELECTING_CELLS;
        // Tab always starts the selection afresh. Shift grows it from the anchor, or from the
        // focus cell when no selection has set one.
        if (!shift || key == VK_TAB)
            SelectionAnchor = target;
        else if (!IsValidCell(SelectionAnchor))
            SelectionAnchor = m_focusCell;
        if (!NotifyAndCheck(target.row, target.col, GRID_NOTIFY_SELCHANGING)) return false;
        ExtendSelectionTo(target);
        if (!NotifyAndCheck(target.row, target.col, GRID_NOTIFY_SELCHANGED)) return false;
        MouseState = MS_IDLE;
    }
    MoveFocusTo(target);

    if (!IsCellOnScreen(target.row, target.col)) {
        UINT message = 0, code = 0;
        switch (key) {
            case VK_LEFT: message = WM_HSCROLL, code = SB_LINELEFT; break;
            case VK_RIGHT: message = WM_HSCROLL, code = SB_LINERIGHT; break;
            case VK_UP: message = WM_VSCROLL, code = SB_LINEUP; break;
            case VK_DOWN: message = WM_VSCROLL, code = SB_LINEDOWN; break;
            case VK_TAB:
                if (!wrapped)
                    message = WM_HSCROLL, code = shift ? SB_LINELEFT : SB_LINERIGHT;
                else
                    message = WM_VSCROLL, code = shift ? SB_LINEUP : SB_LINEDOWN;
                break;
            default: break;
        }
        if (message) {
            (message == WM_HSCROLL ? *scrolledH : *scrolledV) = true;
            if (!SendScroll(message, code)) return false;
        }
        // A wrapped Tab starts the new row at its start (Shift+Tab at its end).
        if (key == VK_TAB && wrapped) {
            SetScrollPosition(SB_HORZ, shift ? HScrollMax : 0);
            *scrolledH = true;
        }
        ScrollCellIntoView(target.row, target.col);
        if (!::IsWindow(self)) return false;
        Invalidate(TRUE);
    }
    ScrollCellIntoView(target.row, target.col);
    return ::IsWindow(self) != FALSE;
}

void CGridCtrl::StartEditWithCharacter(UINT ch) {
    const CGridCellId focus = m_focusCell;
    const BOOL wasEditing = IsCellEditing(focus.row, focus.col);
    const HWND self = m_hWnd;
    StartCellEdit(focus.row, focus.col, CPoint(-1, -1), ch);
    if (!::IsWindow(self) || wasEditing || !CharacterReadAsKey(ch)) return;
    // The editor opened with the text selected, as for a page or arrow key: the character
    // typed replaces it.
    CGridCellBase* cell = GetCell(focus.row, focus.col);
    CWnd* editor = cell && cell->IsEditing() ? cell->GetEditor() : nullptr;
    if (editor && editor->IsWindow()) editor->SendMessage(WM_CHAR, ch, 0);
}

void CGridCtrl::OnChar(UINT ch, UINT, UINT) {
    const HWND self = m_hWnd;
    if (!KeyHeld(VK_CONTROL) && MouseState == MS_IDLE && ch != VK_ESCAPE && !(ch == VK_TAB && HandleTabKey)) {
        StartEditWithCharacter(ch);
        if (!::IsWindow(self)) return;
    }
    Default();
}

LRESULT CGridCtrl::OnImeChar(WPARAM ch, LPARAM) {
    if (!KeyHeld(VK_CONTROL) && MouseState == MS_IDLE && ch != VK_ESCAPE) StartEditWithCharacter(static_cast<UINT>(ch));
    return 0;
}
