// Scroll bars: which are shown, their ranges and pages, and the scroll positions; the scroll
// bar messages, the wheel, scrolling a cell into view, resizing and the auto-scroll timer.
// Positions are pixels of scrolling content out of view, kept in the window's own bars.
#include <algorithm>
#include <cstdlib>

#include "grid/GridCtrl.h"
#include "grid/cells/GridTitleTip.h"

void CGridCtrl::UpdateScrollBars() {
    ForgetTopLeftRow();
    // Showing or hiding a bar resizes the client area, and WM_SIZE brings us back here: the
    // outer call has judged against the area without bars already and finishes the job.
    if (!RedrawEnabled || !IsWindow() || m_updatingBars) return;
    struct Updating {
        bool& flag;
        explicit Updating(bool& f) : flag(f) { flag = true; }
        ~Updating() { flag = false; }
    } updating(m_updatingBars);
    CRect client;
    GetClientRect(&client);
    int width = client.Width(), height = client.Height();
    if (width == 0 || height == 0) return;
    // Judge against the client area as it would be with no bars.
    if (m_barsShown & 2) width += GetSystemMetrics(SM_CXVSCROLL) + GetSystemMetrics(SM_CXBORDER);
    if (m_barsShown & 1) height += GetSystemMetrics(SM_CYHSCROLL) + GetSystemMetrics(SM_CYBORDER);

    const int fixedWidth = FixedColumnsWidth(), fixedHeight = FixedRowsHeight();
    if (fixedWidth >= width || fixedHeight >= height) {
        SetScrollBarShown(SB_BOTH, FALSE);
        // Nothing can scroll: no request may move the hidden bars and the cells with them.
        HScrollMax = VScrollMax = 0;
        SetScrollPosition(SB_HORZ, 0);
        SetScrollPosition(SB_VERT, 0);
        return;
    }
    const int contentHeight = VirtualHeight() - fixedHeight, contentWidth = VirtualWidth() - fixedWidth;
    // The vertical bar is decided first; its width may then call for a horizontal bar, never
    // the other way round.
    if (height - fixedHeight < contentHeight) width -= GetSystemMetrics(SM_CXVSCROLL);
    const int scrollWidth = width - fixedWidth;
    if (scrollWidth < contentWidth) height -= GetSystemMetrics(SM_CYHSCROLL);
    const int scrollHeight = height - fixedHeight;

    const BOOL vertical = scrollHeight < contentHeight, horizontal = scrollWidth < contentWidth;
    SetScrollBarShown(SB_VERT, vertical);
    VScrollMax = vertical ? contentHeight - 1 : 0;
    SetScrollBarShown(SB_HORZ, horizontal);
    HScrollMax = horizontal ? contentWidth - 1 : 0;

    SCROLLINFO info{};
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = HScrollMax;
    info.nPage = HScrollMax < 1 ? 0 : static_cast<UINT>(scrollWidth);
    SetScrollInfo(SB_HORZ, &info, TRUE);
    // SIF_DISABLENOSCROLL would bring a hidden bar back (disabled) behind the record of
    // shown bars; it is only given while the bar is meant to be there.
    info.fMask = SIF_RANGE | SIF_PAGE | (vertical ? SIF_DISABLENOSCROLL : 0);
    info.nMax = VScrollMax;
    info.nPage = VScrollMax < 1 ? 0 : static_cast<UINT>(scrollHeight);
    SetScrollInfo(SB_VERT, &info, TRUE);
}

void CGridCtrl::SetScrollBarShown(int bar, BOOL show) {
    const bool shown = show != FALSE;
    if (bar == SB_HORZ || bar == SB_BOTH) {
        if (((m_barsShown & 1) != 0) != shown) {
            // Recorded first: the resize that the bar causes may ask which bars are shown.
            m_barsShown ^= 1;
            EnableScrollBarCtrl(SB_HORZ, show);
        }
    }
    if (bar == SB_VERT || bar == SB_BOTH) {
        if (((m_barsShown & 2) != 0) != shown) {
            m_barsShown ^= 2;
            EnableScrollBarCtrl(SB_VERT, show);
        }
    }
}

int CGridCtrl::ScrollPos(int bar, BOOL trackPosition) const {
    if (!IsWindow()) return 0;
    SCROLLINFO info{};
    if (!GetScrollInfo(bar, &info, trackPosition ? SIF_TRACKPOS : SIF_POS)) return 0;
    return trackPosition ? info.nTrackPos : info.nPos;
}

BOOL CGridCtrl::SetScrollPosition(int bar, int pos, BOOL redraw) {
    ForgetTopLeftRow();
    if (!IsWindow()) return FALSE;
    SCROLLINFO info{};
    info.fMask = SIF_POS;
    info.nPos = pos;
    return SetScrollInfo(bar, &info, redraw);
}

void CGridCtrl::OnHScroll(UINT code, UINT, HWND) { Scroll(SB_HORZ, code); }

void CGridCtrl::OnVScroll(UINT code, UINT, HWND) { Scroll(SB_VERT, code); }

void CGridCtrl::Scroll(int bar, UINT code) {
    EndEditing();
    if (m_titleTip) m_titleTip->Hide();

    const bool vertical = bar == SB_VERT;
    const std::vector<UINT>& sizes = vertical ? m_rowHeights : m_colWidths;
    const int count = vertical ? m_rows : m_cols;
    const int fixedCount = vertical ? m_fixedRows : m_fixedCols;
    const int fixedSize = vertical ? FixedRowsHeight() : FixedColumnsWidth();
    const int maximum = vertical ? VScrollMax : HScrollMax;
    const int pos = ScrollPos(bar);
    const CGridCellId topLeft = TopLeftScrollCell();
    const int first = vertical ? topLeft.row : topLeft.col;
    CRect client;
    GetClientRect(&client);
    const int size = vertical ? client.Height() : client.Width();
    // The fixed rows (columns) stay put; only the area beyond them changes.
    CRect scrollArea = client;
    (vertical ? scrollArea.top : scrollArea.left) = fixedSize;
    auto lineSize = [&sizes](int line) { return static_cast<int>(sizes[static_cast<size_t>(line)]); };

    switch (code) {
        case SB_LINEUP: {
            if (pos < 1 || first <= fixedCount || first > count) return;
            // Hidden lines take no step of their own.
            int line = first - 1;
            while (line > fixedCount && lineSize(line) == 0) --line;
            SetScrollPosition(bar, std::max(0, pos - lineSize(line)));
            InvalidateRect(&scrollArea, TRUE);
            break;
        }
        case SB_LINEDOWN: {
            if (pos >= maximum || first >= count) return;
            int line = first;
            while (line < count - 1 && lineSize(line) == 0) ++line;
            SetScrollPosition(bar, pos + lineSize(line));
            // At the end the bar keeps its position: nothing moved, nothing to repaint.
            if (ScrollPos(bar) != pos) InvalidateRect(&scrollArea, TRUE);
            break;
        }
        case SB_PAGEUP:
            if (pos < 1) return;
            SetScrollPosition(bar, std::max(0, pos - (size - fixedSize)));
            InvalidateRect(&scrollArea, TRUE);
            break;
        case SB_PAGEDOWN:
            if (pos >= maximum) return;
            SetScrollPosition(bar, std::min(maximum, pos + (size - fixedSize)));
            InvalidateRect(&scrollArea, TRUE);
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            // The 32-bit track position; the message's own 16 bits overflow on tall tables.
            SetScrollPosition(bar, ScrollPos(bar, TRUE));
            if (TopLeftScrollCell(TRUE) != topLeft) InvalidateRect(&scrollArea, TRUE);
            break;
        case SB_TOP:
            if (pos <= 0) return;
            SetScrollPosition(bar, 0);
            Invalidate(TRUE);
            break;
        case SB_BOTTOM:
            if (pos >= maximum) return;
            SetScrollPosition(bar, maximum);
            Invalidate(TRUE);
            break;
        default:  // SB_ENDSCROLL and anything newer
            break;
    }
}

BOOL CGridCtrl::OnMouseWheel(UINT, short delta, CPoint) {
    // Requests are posted, so a burst of notches scrolls in the order the notches came.
    const bool pages = WheelScrollLines == -1;
    const int steps = pages ? delta / WHEEL_DELTA : delta * WheelScrollLines / WHEEL_DELTA;
    const UINT code = pages ? (steps > 0 ? SB_PAGEUP : SB_PAGEDOWN) : (steps > 0 ? SB_LINEUP : SB_LINEDOWN);
    for (int i = 0; i < std::abs(steps); ++i) PostMessage(WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    return static_cast<BOOL>(Default());
}

void CGridCtrl::ScrollCellIntoView(int row, int col) {
    if (!RedrawEnabled || !IsWindow()) return;
    const HWND focus = ::GetFocus();
    const CGridCellRange visible = VisibleScrollRange();
    // Whole lines first, as the scroll bar would step them; hidden lines cost no step.
    for (int c = visible.maxCol + 1; c <= col; ++c)
        if (GetColumnWidth(c) > 0) SendMessage(WM_HSCROLL, SB_LINERIGHT);
    for (int c = visible.minCol - 1; c >= col; --c)
        if (GetColumnWidth(c) > 0) SendMessage(WM_HSCROLL, SB_LINELEFT);
    for (int r = visible.maxRow + 1; r <= row; ++r)
        if (GetRowHeight(r) > 0) SendMessage(WM_VSCROLL, SB_LINEDOWN);
    for (int r = visible.minRow - 1; r >= row; --r)
        if (GetRowHeight(r) > 0) SendMessage(WM_VSCROLL, SB_LINEUP);

    // Then until the cell's far edges are inside, unless it already starts at the fixed
    // block's edge. A step that moves nothing ends it: fixed lines wider than the window, or
    // a cell larger than the view, would otherwise step for ever.
    CRect client, rect, before;
    GetClientRect(&client);
    const int fixedWidth = FixedColumnsWidth(), fixedHeight = FixedRowsHeight();
    while (CellRect(row, col, &rect) && rect.right > client.right && rect.left > fixedWidth && rect != before) {
        before = rect;
        SendMessage(WM_HSCROLL, SB_LINERIGHT);
    }
    before = CRect();
    while (CellRect(row, col, &rect) && rect.bottom > client.bottom && rect.top > fixedHeight && rect != before) {
        before = rect;
        SendMessage(WM_VSCROLL, SB_LINEDOWN);
    }
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);
}

void CGridCtrl::OnSize(UINT, int, int) {
    // Work done here (the editor closing, the bars coming and going) can resize the window
    // again; the outer call finishes the job.
    static bool sizing = false;
    if (sizing) return;
    sizing = true;
    if (IsWindow()) {
        RegisterDropSinkOnce();  // the first size: the window is there for OLE to know
        EndEditing();
        Default();
        UpdateScrollBars();
    }
    sizing = false;
}

void CGridCtrl::OnTimer(UINT_PTR id) {
    if (id != AUTOSCROLL_TIMER_ID) return;
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    CRect client;
    GetClientRect(&client);
    auto clamp = [](LONG v, LONG low, LONG high) { return std::min(std::max(v, low), high); };

    // Beyond an edge the keyboard moves the focus (and scrolls); the selection follows to
    // the cell at the edge, fixed cells included.
    const int fixedHeight = FixedRowsHeight(), fixedWidth = FixedColumnsWidth();
    if (cursor.y > client.bottom || cursor.y < fixedHeight) {
        const bool down = cursor.y > client.bottom;
        SendMessage(WM_KEYDOWN, down ? VK_DOWN : VK_UP);
        const CPoint edge(clamp(cursor.x, client.left, client.right), down ? client.bottom : fixedHeight + 1);
        ExtendSelectionTo(CellFromPoint(edge, TRUE));
    }
    if (cursor.x > client.right || cursor.x < fixedWidth) {
        const bool right = cursor.x > client.right;
        SendMessage(WM_KEYDOWN, right ? VK_RIGHT : VK_LEFT);
        const CPoint edge(right ? client.right : fixedWidth + 1, clamp(cursor.y, client.top, client.bottom));
        ExtendSelectionTo(CellFromPoint(edge, TRUE));
    }
}
