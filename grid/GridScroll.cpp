// Scroll bars: which are shown, their ranges and pages, and the scroll positions.
#include "grid/GridCtrl.h"

void CGridCtrl::UpdateScrollBars() {
    ForgetTopLeftRow();
    if (!RedrawEnabled || !IsWindow()) return;
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
            EnableScrollBarCtrl(SB_HORZ, show);
            m_barsShown ^= 1;
        }
    }
    if (bar == SB_VERT || bar == SB_BOTH) {
        if (((m_barsShown & 2) != 0) != shown) {
            EnableScrollBarCtrl(SB_VERT, show);
            m_barsShown ^= 2;
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
