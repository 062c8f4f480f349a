// The mouse: presses, moves and releases turned into selection, focus, edit and drag starts,
// resizing (GridResize.cpp) and header actions; the double click, the right button, the
// cursor, the capture, and the title tip over truncated text. One state, MouseState,
// drives every handler.
//
// After a notification the parent may have destroyed the grid's window: every handler then
// returns at once without touching the grid again (NotifyAndCheck, StillThere).
#include <algorithm>

#include "framework/ScopedFlag.h"
#include "grid/GridCtrl.h"
#include "grid/cells/GridTitleTip.h"

namespace {
void SetSystemCursor(const wchar_t* id) { ::SetCursor(::LoadCursorW(nullptr, id)); }

// Whether the window (taken before a call that may end it) is still there.
bool StillThere(HWND self) { return ::IsWindow(self) != FALSE; }
}  // namespace

CPoint CGridCtrl::PointInCell(int row, int col, CPoint point) {
    CPoint origin;
    if (!CellOrigin(row, col, &origin)) return CPoint(0, 0);
    return CPoint(point.x - origin.x, point.y - origin.y);
}

bool CGridCtrl::PointInText(const CGridCellId& id, CPoint point) {
    CGridCellBase* cell = GetCell(id.row, id.col);
    CRect rect;
    return cell && CellRect(id, &rect) && cell->GetTextRect(&rect) && rect.PtInRect(point);
}

// ---- left press ----

void CGridCtrl::OnLButtonDown(UINT flags, CPoint point) {
    const HWND self = m_hWnd;
    SetFocus();
    // The window losing the focus may be an editor that tells the parent it ended.
    if (!StillThere(self)) return;
    ButtonDownPoint = point;
    LeftButtonDown = TRUE;
    ButtonDownCell = CellFromPoint(point, TRUE);
    if (!IsValidCell(ButtonDownCell)) return;
    const CGridCellId pressed = ButtonDownCell;
    const bool ctrl = (flags & MK_CONTROL) != 0;

    // Shift extends from where the selection started (the focus cell when nothing did).
    if (!(flags & MK_SHIFT))
        SelectionAnchor = pressed;
    else if (!IsValidCell(SelectionAnchor))
        SelectionAnchor = m_focusCell;

    EndEditing();
    if (!StillThere(self)) return;
    if (CGridCellBase* cell = GetCell(pressed.row, pressed.col)) {
        cell->OnPress(PointInCell(pressed.row, pressed.col, point));
        if (!StillThere(self)) return;
    }

    // A press on the focus cell's text opens the editor on release; no capture.
    if (pressed == m_focusCell && !ctrl && PointInText(pressed, point) && IsCellEditable(pressed.row, pressed.col)) {
        MouseState = MS_EDIT_PENDING;
        return;
    }
    const bool selected = CellIsSelected(pressed) != FALSE;
    if (selected && ctrl) {
        // Ctrl takes a selected cell (row) out at once: no capture, no notification.
        MoveFocusTo(pressed);
        if (WholeRowSelect)
            SelectRowSpan(pressed, TRUE, FALSE);
        else
            SelectCellBlock(pressed, TRUE, FALSE);
        return;
    }
    // A selected cell may be the start of a drag; any other press (a selected cell too when
    // there is no drag to start) takes the focus along.
    if (selected && DragAndDropEnabled) {
        MouseState = MS_DRAG_PENDING;
    } else if (MouseState != MS_AT_COLUMN_EDGE && MouseState != MS_AT_ROW_EDGE) {
        const bool fixed = pressed.row < m_fixedRows || pressed.col < m_fixedCols;
        MoveFocusTo(fixed ? CGridCellId() : pressed);
    }

    SetCapture();
    if (MouseState == MS_IDLE) {
        if (ColumnResizeEnabled && IsOverColumnEdge(point)) {
            SetSystemCursor(IDC_SIZEWE);
            MouseState = MS_AT_COLUMN_EDGE;
        } else if (RowResizeEnabled && IsOverRowEdge(point)) {
            SetSystemCursor(IDC_SIZENS);
            MouseState = MS_AT_ROW_EDGE;
        }
    }
    switch (MouseState) {
        case MS_AT_COLUMN_EDGE:
        case MS_AT_ROW_EDGE: StartResize(point); break;
        case MS_DRAG_PENDING: break;
        default:
            if (!StartMouseSelection(pressed, ctrl)) return;
            break;
    }
    LastMousePoint = point;
}

bool CGridCtrl::StartMouseSelection(const CGridCellId& pressed, bool ctrl) {
    if (!NotifyAndCheck(pressed.row, pressed.col, GRID_NOTIFY_SELCHANGING)) return false;
    // With Ctrl the drag adds to what was selected: SelectRange re-applies this set.
    m_previousSelection.Clear();
    if (ctrl) m_previousSelection = m_selection;

    if (pressed.row < m_fixedRows) {
        const HWND self = m_hWnd;
        OnHeaderRowClick(pressed);
        // Its sort ends an open edit, whose report the parent may answer by closing us.
        if (!StillThere(self)) return false;
    } else if (pressed.col < m_fixedCols) {
        OnHeaderColumnClick(pressed);
    } else {
        MouseState = WholeRowSelect ? MS_SELECTING_ROWS : MS_SELECTING_CELLS;
        ExtendSelectionTo(pressed);
        // Beyond the window's edge the timer goes on selecting (OnTimer).
        AutoScrollTimer = SetTimer(AUTOSCROLL_TIMER_ID, AutoScrollInterval);
    }
    return true;
}

void CGridCtrl::OnHeaderRowClick(const CGridCellId& cell) {
    if (!IsValidCell(cell)) return;
    if (SortOnHeaderClick) {
        const HWND self = m_hWnd;
        SortByHeader(cell.col);
        if (!StillThere(self)) return;
    }
    if (ColumnHeaderSelects) {
        MouseState = cell.col < m_fixedCols ? MS_SELECTING_ALL : MS_SELECTING_COLUMNS;
        ExtendSelectionTo(cell);
    }
}

void CGridCtrl::OnHeaderColumnClick(const CGridCellId& cell) {
    if (!IsValidCell(cell) || !RowHeaderSelects) return;
    MouseState = cell.row < m_fixedRows ? MS_SELECTING_ALL : MS_SELECTING_ROWS;
    ExtendSelectionTo(cell);
}

// ---- moves ----

void CGridCtrl::OnMouseMove(UINT flags, CPoint point) {
    CRect client;
    GetClientRect(&client);
    if (MouseState != MS_DRAGGING && !client.PtInRect(point)) return;
    // A held press whose release went elsewhere must not go on selecting or start a drag.
    if (LeftButtonDown && !(flags & MK_LBUTTON)) AbandonPress();

    if (LeftButtonDown && MouseState != MS_IDLE) {
        if (IsValidCell(ButtonDownCell) && !MoveWithButtonDown(point)) return;
    } else {
        MoveWithButtonUp(point);
    }
    LastMousePoint = point;
}

bool CGridCtrl::MoveWithButtonDown(CPoint point) {
    switch (MouseState) {
        case MS_SELECTING_COLUMNS:
        case MS_SELECTING_ROWS:
        case MS_SELECTING_CELLS: {
            const CGridCellId hit = CellFromPoint(point, TRUE);
            if (!IsValidCell(hit)) return false;
            if (hit == m_focusCell) return true;
            ExtendSelectionTo(hit);
            // Over the headers the focus follows along the first scrolling row or column.
            const bool fixed = hit.row < m_fixedRows || hit.col < m_fixedCols;
            if (!fixed || MouseState != MS_SELECTING_CELLS) MoveFocusTo(hit);
            return true;
        }
        case MS_RESIZING_ROW:
        case MS_RESIZING_COLUMN: TrackResize(point); return true;
        case MS_EDIT_PENDING:
        case MS_DRAG_PENDING: {
            // A move reported at the press point itself (a window appearing or going under
            // a still pointer) is no drag.
            if (point == ButtonDownPoint) return true;
            if (!DragAndDropEnabled) {
                // No drag to start: a drag from the focus cell's text selects, as one from any
                // other cell does, instead of ending in a release that clears the selection.
                SetCapture();
                if (!StartMouseSelection(ButtonDownCell, false)) return false;
                return MoveWithButtonDown(point);  // selecting now: the move extends it
            }
            MouseState = MS_DRAG_PENDING;
            const HWND self = m_hWnd;
            BeginSelectionDrag();
            return StillThere(self);
        }
        default: return true;
    }
}

void CGridCtrl::MoveWithButtonUp(CPoint point) {
    if (ColumnResizeEnabled && IsOverColumnEdge(point)) {
        if (MouseState != MS_AT_COLUMN_EDGE) {
            SetSystemCursor(IDC_SIZEWE);
            MouseState = MS_AT_COLUMN_EDGE;
        }
    } else if (RowResizeEnabled && IsOverRowEdge(point)) {
        if (MouseState != MS_AT_ROW_EDGE) {
            SetSystemCursor(IDC_SIZENS);
            MouseState = MS_AT_ROW_EDGE;
        }
    } else if (MouseState != MS_IDLE) {
        SetSystemCursor(IDC_ARROW);
        MouseState = MS_IDLE;
    }
    if (MouseState != MS_IDLE) return;
    const CGridCellId hit = CellFromPoint(point, TRUE);
    CGridCellBase* cell = GetCell(hit.row, hit.col);
    if (!cell) return;
    cell->OnPointerOver();
    if (TitleTipsEnabled && !cell->IsEditing() && !cell->GetTipText().empty()) ShowTitleTip(hit, cell);
}

void CGridCtrl::ShowTitleTip(const CGridCellId& id, CGridCellBase* cell) {
    CRect tip, hover;
    if (!CellRect(id, &tip) || !cell->GetTipRect(&tip) || !CellRect(id, &hover)) return;
    m_titleTip->Show(tip, cell->GetTipText(), 0, &hover, cell->GetFont(), TitleTipTextColour, TitleTipBackColour);
}

void CGridCtrl::AbandonPress() {
    LeftButtonDown = FALSE;
    if (MouseState == MS_RESIZING_COLUMN || MouseState == MS_RESIZING_ROW) {
        CancelResize();
        MouseState = MS_IDLE;
    }
    // Letting the capture go stops the auto-scroll timer (OnCaptureChanged).
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

BOOL CGridCtrl::PreTranslateMessage(MSG* msg) {
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && msg->hwnd == m_hWnd && m_titleTip &&
        m_titleTip->IsWindow() && m_titleTip->IsWindowVisible())
        return m_titleTip->PreTranslateMessage(msg);
    return FALSE;
}

// ---- left release ----

void CGridCtrl::OnLButtonUp(UINT, CPoint point) {
    Default();
    const bool pressed = LeftButtonDown != FALSE;
    LeftButtonDown = FALSE;
    ::ClipCursor(nullptr);
    if (::GetCapture() == m_hWnd) {
        CScopedFlag releasing(m_releasingCapture);
        ::ReleaseCapture();
    }
    if (AutoScrollTimer) {
        KillTimer(AutoScrollTimer);
        AutoScrollTimer = 0;
    }
    // A release whose press was made elsewhere (another window, then the pointer came
    // here) is no click on the grid.
    if (!pressed) {
        MouseState = MS_IDLE;
        return;
    }

    const HWND self = m_hWnd;
    const CPoint inFocus = PointInCell(m_focusCell.row, m_focusCell.col, point);
    auto clickFocusCell = [&] {
        if (CGridCellBase* cell = GetCell(m_focusCell.row, m_focusCell.col)) cell->OnClick(inFocus);
        return StillThere(self);
    };
    switch (MouseState) {
        case MS_EDIT_PENDING:
            StartCellEdit(m_focusCell.row, m_focusCell.col, inFocus, VK_LBUTTON);
            if (!StillThere(self)) return;
            break;
        case MS_DRAG_PENDING:
            // Pressed and released on the selection without a drag: it goes, with the focus.
            if (!clickFocusCell() || !NotifyAndCheck(ButtonDownCell.row, ButtonDownCell.col, NM_CLICK) ||
                !NotifyAndCheck(ButtonDownCell.row, ButtonDownCell.col, GRID_NOTIFY_SELCHANGING))
                return;
            ClearSelection();
            if (!NotifyAndCheck(m_focusCell.row, m_focusCell.col, GRID_NOTIFY_SELCHANGED)) return;
            break;
        case MS_RESIZING_COLUMN:
        case MS_RESIZING_ROW: FinishResize(point); break;
        default:
            if (!NotifyAndCheck(m_focusCell.row, m_focusCell.col, GRID_NOTIFY_SELCHANGED) || !clickFocusCell() ||
                !NotifyAndCheck(ButtonDownCell.row, ButtonDownCell.col, NM_CLICK))
                return;
            break;
    }
    MouseState = MS_IDLE;
    SetSystemCursor(IDC_ARROW);
    PostClickCommand();
}

void CGridCtrl::PostClickCommand() {
    if (!IsValidCell(ButtonDownCell)) return;
    const HWND owner = GetOwnerOrParent();
    if (owner && ::IsWindow(owner))
        ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
}

// ---- double click, right release ----

void CGridCtrl::OnLButtonDblClk(UINT, CPoint point) {
    const CGridCellId hit = CellFromPoint(point, TRUE);
    if (!IsValidCell(hit)) return;
    // The second press of a double click: its release is a click like the first.
    LeftButtonDown = TRUE;
    const HWND self = m_hWnd;
    // The first click's release left the edge state with no move since: still over the edge.
    if (MouseState == MS_IDLE) {
        if (ColumnResizeEnabled && IsOverColumnEdge(point))
            MouseState = MS_AT_COLUMN_EDGE;
        else if (RowResizeEnabled && IsOverRowEdge(point))
            MouseState = MS_AT_ROW_EDGE;
    }
    switch (MouseState) {
        case MS_AT_COLUMN_EDGE:
        case MS_AT_ROW_EDGE:
            if (!AutoSizeAtEdge(point, hit)) return;
            break;
        case MS_IDLE: {
            const CPoint inCell = PointInCell(hit.row, hit.col, point);
            const bool fixed = hit.row < m_fixedRows || hit.col < m_fixedCols;
            if (!fixed && PointInText(hit, point) && (IsValidCell(ButtonDownCell) || WholeRowSelect)) {
                StartCellEdit(hit.row, hit.col, inCell, VK_LBUTTON);
                if (!StillThere(self)) return;
            }
            if (CGridCellBase* cell = GetCell(hit.row, hit.col)) {
                cell->OnDoubleClick(inCell);
                if (!StillThere(self)) return;
            }
            if (!NotifyAndCheck(hit.row, hit.col, NM_DBLCLK)) return;
            break;
        }
        default: break;
    }
    Default();
}

void CGridCtrl::OnRButtonUp(UINT, CPoint point) {
    const HWND self = m_hWnd;
    // The default processing sends WM_CONTEXTMENU, which the parent may answer.
    Default();
    if (!StillThere(self)) return;
    const CGridCellId hit = CellFromPoint(point, TRUE);
    EndEditing();
    if (!StillThere(self)) return;
    if (!IsValidCell(hit)) {
        NotifyParent(-1, -1, NM_RCLICK);
        return;
    }
    // A fixed cell puts the focus on the first scrolling cell of its row or column.
    MoveFocusTo(-1, -1);
    MoveFocusTo(std::max(hit.row, m_fixedRows), std::max(hit.col, m_fixedCols));
    if (CGridCellBase* cell = GetCell(hit.row, hit.col)) {
        cell->OnRightClick(PointInCell(hit.row, hit.col, point));
        if (!StillThere(self)) return;
    }
    NotifyParent(hit.row, hit.col, NM_RCLICK);
}

// ---- cursor and capture ----

BOOL CGridCtrl::OnSetCursor(HWND, UINT hitTest, UINT) {
    if (hitTest != HTCLIENT) return static_cast<BOOL>(Default());
    switch (MouseState) {
        case MS_AT_ROW_EDGE: SetSystemCursor(IDC_SIZENS); return TRUE;
        case MS_AT_COLUMN_EDGE: SetSystemCursor(IDC_SIZEWE); return TRUE;
        case MS_DRAGGING: return TRUE;  // the drag loop's cursor stays
        default: break;
    }
    CPoint point = msgthunk::PointOf(static_cast<LPARAM>(::GetMessagePos()));
    ScreenToClient(&point);
    const CGridCellId hit = CellFromPoint(point, TRUE);
    if (CGridCellBase* cell = GetCell(hit.row, hit.col))
        return cell->OnSetCursor() ? TRUE : static_cast<BOOL>(Default());
    SetSystemCursor(IDC_ARROW);
    return TRUE;
}

void CGridCtrl::OnCaptureChanged(HWND gaining) {
    if (gaining == m_hWnd) return;
    if (AutoScrollTimer) {
        KillTimer(AutoScrollTimer);
        AutoScrollTimer = 0;
    }
    if (MouseState == MS_DRAGGING) MouseState = MS_IDLE;
    // A resize that loses the capture to another window ends without a change; left as it
    // was, its line would stay on the screen and the pointer confined.
    if (!m_releasingCapture && (MouseState == MS_RESIZING_COLUMN || MouseState == MS_RESIZING_ROW)) {
        CancelResize();
        MouseState = MS_IDLE;
    }
}
