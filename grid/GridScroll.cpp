// Scroll bars: which are shown, their ranges and pages, and the scroll positions; the scroll
// bar messages, the wheel, scrolling a cell into view, resizing and the auto-scroll timer.
// Positions are pixels of scrolling content out of view, kept in the window's own bars.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>

#include "framework/ScopedFlag.h"
#include "grid/GridCtrl.h"
#include "grid/cells/GridCellCombo.h"
#include "grid/cells/GridCellDateTime.h"
#include "grid/cells/GridCellNumeric.h"
#include "grid/cells/GridTitleTip.h"

namespace {
// Bits of the record of shown bars.
enum : int { BAR_HORZ_SHOWN = 1, BAR_VERT_SHOWN = 2 };

// Whether a scroll bar looks the same in both records: its thumb and every part's state.
bool SameLook(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    return a.xyThumbTop == b.xyThumbTop && a.xyThumbBottom == b.xyThumbBottom && a.dxyLineButton == b.dxyLineButton &&
           EqualRect(&a.rcScrollBar, &b.rcScrollBar) && std::equal(a.rgstate, a.rgstate + CCHILDREN_SCROLLBAR + 1, b.rgstate);
}

// Whether cells of `cls` draw the same wherever they are drawn, so that their pixels may be
// moved: the classes that draw by their state and their rectangle's size alone. A check box
// or a link remembers where it was drawn, for its clicks, and so may a host's own class:
// such cells are drawn again where they now are.
bool DrawsTheSameAnywhere(const CRuntimeClass* cls) {
    static const CRuntimeClass* const movable[] = {RUNTIME_CLASS(CGridCell), RUNTIME_CLASS(CGridCellNumeric),
                                                   RUNTIME_CLASS(CGridCellDateTime), RUNTIME_CLASS(CGridCellCombo)};
    return std::find(std::begin(movable), std::end(movable), cls) != std::end(movable);
}

int Saturate(long long v) { return static_cast<int>(std::min<long long>(std::max<long long>(v, INT_MIN), INT_MAX)); }

// The largest scroll position and the page of one bar, for `content` pixels of scrolling
// lines shown in an area `area` pixels long (negative when the fixed lines and the other
// bar leave no room).
void BarRange(bool shown, long long content, long long area, int* maximum, UINT* page) {
    *maximum = shown ? Saturate(std::min<long long>(content, INT_MAX) - 1) : 0;
    // An area the other bar has eaten up is a page of 0, never a negative one.
    *page = *maximum < 1 ? 0 : static_cast<UINT>(std::max<long long>(0, std::min<long long>(area, INT_MAX)));
}

// The scroll position (pixels past the fixed lines) at which line `index` is whole in an
// area of `area` pixels, moving as little as possible and by whole lines; `pos` when it is
// already shown (or is a fixed line). A line longer than the area starts at the area's start.
int PositionShowing(const CGridLineSizes& sizes, int fixedCount, int index, int pos, long long area) {
    if (index < fixedCount || index >= sizes.Count()) return pos;
    const long long fixedSize = sizes.Prefix(fixedCount);
    const int count = sizes.Count();
    // What the view shows starts at the first line reaching the position.
    const int first = std::max(fixedCount, std::min(sizes.FirstReaching(fixedSize + std::max(pos, 0)), count - 1));
    const long long shown = sizes.Prefix(first) - fixedSize;
    const long long start = sizes.Prefix(index) - fixedSize, end = start + sizes.Size(index);
    if (start < shown) return Saturate(start);
    if (end <= shown + area) return pos;
    // The first line start from which the far edge is in view, never past the line's own start.
    const int from = sizes.FirstReaching(fixedSize + end - area);
    const long long aligned = from > count ? start : sizes.Prefix(from) - fixedSize;
    return Saturate(std::min(start, aligned));
}
}  // namespace

void CGridCtrl::UpdateScrollBars() {
    ForgetTopLeftRow();
    // Showing or hiding a bar resizes the client area, and WM_SIZE brings us back here: the
    // outer call has judged against the area without bars already and finishes the job.
    if (!RedrawEnabled || !IsWindow()) return;
    CScopedFlag updating(m_updatingBars);
    if (!updating.Entered()) return;
    CRect client;
    GetClientRect(&client);
    long long width = client.Width(), height = client.Height();
    if (width == 0 || height == 0) return;
    // Judge against the client area as it would be with no bars: a bar takes exactly its own
    // width (height) from it. (A pixel more would judge by which bars happen to be shown:
    // hiding one then leaves the content a pixel wider than the area with no bar for it.)
    if (m_barsShown & BAR_VERT_SHOWN) width += GetSystemMetrics(SM_CXVSCROLL);
    if (m_barsShown & BAR_HORZ_SHOWN) height += GetSystemMetrics(SM_CYHSCROLL);

    const long long fixedWidth = m_colSizes.Prefix(m_fixedCols), fixedHeight = m_rowSizes.Prefix(m_fixedRows);
    if (fixedWidth >= width || fixedHeight >= height) {
        SetScrollBarShown(SB_BOTH, FALSE);
        // Nothing can scroll: no request may move the hidden bars and the cells with them.
        HScrollMax = VScrollMax = 0;
        SetScrollPosition(SB_HORZ, 0);
        SetScrollPosition(SB_VERT, 0);
        return;
    }
    const long long contentHeight = m_rowSizes.Total() - fixedHeight, contentWidth = m_colSizes.Total() - fixedWidth;
    // The vertical bar is decided first; its width may then call for a horizontal bar, never
    // the other way round.
    if (height - fixedHeight < contentHeight) width -= GetSystemMetrics(SM_CXVSCROLL);
    const long long scrollWidth = width - fixedWidth;
    // No lines to scroll need no bar, however little room the other bar leaves.
    const BOOL horizontal = contentWidth > 0 && scrollWidth < contentWidth;
    if (horizontal) height -= GetSystemMetrics(SM_CYHSCROLL);
    const long long scrollHeight = height - fixedHeight;
    const BOOL vertical = contentHeight > 0 && scrollHeight < contentHeight;
    UINT horizontalPage = 0, verticalPage = 0;
    BarRange(vertical != FALSE, contentHeight, scrollHeight, &VScrollMax, &verticalPage);
    BarRange(horizontal != FALSE, contentWidth, scrollWidth, &HScrollMax, &horizontalPage);
    SetScrollBarShown(SB_VERT, vertical);
    SetScrollBarShown(SB_HORZ, horizontal);

    // Each bar is told only what changed, and redrawn with the next paint: a loop over every
    // row's height costs no bar drawing per row.
    bool changed = false;
    auto apply = [&](int bar, int maximum, UINT page, UINT extra) {
        SCROLLINFO now{};
        if (GetScrollInfo(bar, &now, SIF_RANGE | SIF_PAGE) && now.nMin == 0 && now.nMax == maximum &&
            now.nPage == page)
            return;
        SCROLLINFO info{};
        info.fMask = SIF_RANGE | SIF_PAGE | extra;
        info.nMin = 0;
        info.nMax = maximum;
        info.nPage = page;
        SetScrollInfo(bar, &info, FALSE);
        changed = true;
    };
    apply(SB_HORZ, HScrollMax, horizontalPage, 0);
    // SIF_DISABLENOSCROLL would bring a hidden bar back (disabled) behind the record of
    // shown bars; it is only given while the bar is meant to be there.
    apply(SB_VERT, VScrollMax, verticalPage, vertical ? SIF_DISABLENOSCROLL : 0);
    if (changed) RepaintBars();
}

void CGridCtrl::RepaintBars() {
    // Once is enough until the frame is painted: a loop over every row's height marks it once.
    if (m_barsInvalid) return;
    m_barsInvalid = true;
    // The window's area outside its client area, in client coordinates: the bars (and the
    // border, which costs nothing more). Invalidated, it is drawn with the next paint.
    CRect window, client;
    GetWindowRect(&window);
    ScreenToClient(&window);
    GetClientRect(&client);
    HRGN frame = ::CreateRectRgnIndirect(&window);
    HRGN inside = ::CreateRectRgnIndirect(&client);
    if (frame && inside && ::CombineRgn(frame, frame, inside, RGN_DIFF) != ERROR)
        ::RedrawWindow(m_hWnd, nullptr, frame, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    if (frame) ::DeleteObject(frame);
    if (inside) ::DeleteObject(inside);
}

void CGridCtrl::SetScrollBarShown(int bar, BOOL show) {
    const bool shown = show != FALSE;
    if (bar == SB_HORZ || bar == SB_BOTH) {
        if (((m_barsShown & BAR_HORZ_SHOWN) != 0) != shown) {
            // Recorded first: the resize that the bar causes may ask which bars are shown.
            m_barsShown ^= BAR_HORZ_SHOWN;
            EnableScrollBarCtrl(SB_HORZ, show);
        }
    }
    if (bar == SB_VERT || bar == SB_BOTH) {
        if (((m_barsShown & BAR_VERT_SHOWN) != 0) != shown) {
            m_barsShown ^= BAR_VERT_SHOWN;
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
    SCROLLINFO now{};
    if (GetScrollInfo(bar, &now, SIF_POS) && now.nPos == pos) return TRUE;
    // The bar is redrawn, at once and alone, only when the step shows on it: on a tall table
    // most line steps move the thumb by less than a pixel, and the whole frame costs more.
    const LONG object = bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL;
    SCROLLBARINFO shown{}, moved{};
    shown.cbSize = moved.cbSize = sizeof(SCROLLBARINFO);
    const bool known = redraw && ::GetScrollBarInfo(m_hWnd, object, &shown);
    SCROLLINFO info{};
    info.fMask = SIF_POS;
    info.nPos = pos;
    SetScrollInfo(bar, &info, FALSE);
    if (!redraw) return TRUE;
    if (!known || !::GetScrollBarInfo(m_hWnd, object, &moved)) {
        RepaintBars();
    } else if (!SameLook(shown, moved)) {
        // Back and forth: a bar told a position it already has need not draw itself.
        SetScrollInfo(bar, &now, FALSE);
        SetScrollInfo(bar, &info, TRUE);
    }
    return TRUE;
}

void CGridCtrl::OnHScroll(UINT code, UINT, HWND) { Scroll(SB_HORZ, code); }

void CGridCtrl::OnVScroll(UINT code, UINT, HWND) { Scroll(SB_VERT, code); }

void CGridCtrl::Scroll(int bar, UINT code) {
    EndEditing();
    // Ending the edit tells the parent, which may destroy the grid.
    if (!IsWindow()) return;
    if (m_titleTip) m_titleTip->Hide();

    const bool vertical = bar == SB_VERT;
    const CGridLineSizes& sizes = vertical ? m_rowSizes : m_colSizes;
    const int count = vertical ? m_rows : m_cols;
    const int fixedCount = vertical ? m_fixedRows : m_fixedCols;
    const int fixedSize = vertical ? FixedRowsHeight() : FixedColumnsWidth();
    const int maximum = vertical ? VScrollMax : HScrollMax;
    const int pos = ScrollPos(bar);
    const CGridCellId topLeft = TopLeftScrollCell();
    const int first = vertical ? topLeft.row : topLeft.col;
    CRect client;
    GetClientRect(&client);
    // The fixed lines may leave no room at all: a page is then nothing, never a step back.
    const int page = std::max(0, (vertical ? client.Height() : client.Width()) - fixedSize);

    switch (code) {
        case SB_LINEUP: {
            if (pos < 1 || first <= fixedCount || first > count) return;
            // The last line before the first one shown that has a size (hidden lines take no
            // step of their own), but not one of the fixed lines.
            const int line = std::max(fixedCount, sizes.LineAt(sizes.Prefix(first) - 1));
            SetScrollPosition(bar, std::max(0, pos - sizes.Size(line)));
            ShowScrolled(bar, topLeft);
            break;
        }
        case SB_LINEDOWN: {
            if (pos >= maximum || first >= count) return;
            // The first line from the first one shown on that has a size, else the last.
            int line = sizes.LineAt(sizes.Prefix(first));
            if (line < 0) line = count - 1;
            SetScrollPosition(bar, pos + sizes.Size(line));
            ShowScrolled(bar, topLeft);
            break;
        }
        case SB_PAGEUP:
            if (pos < 1 || page == 0) return;
            SetScrollPosition(bar, std::max(0, pos - page));
            ShowScrolled(bar, topLeft);
            break;
        case SB_PAGEDOWN:
            if (pos >= maximum || page == 0) return;
            SetScrollPosition(bar, static_cast<int>(std::min<long long>(maximum, static_cast<long long>(pos) + page)));
            ShowScrolled(bar, topLeft);
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            // The 32-bit track position; the message's own 16 bits overflow on tall tables.
            SetScrollPosition(bar, ScrollPos(bar, TRUE));
            ShowScrolled(bar, topLeft);
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

CRect CGridCtrl::ScrollingArea(int bar) {
    CRect area;
    GetClientRect(&area);
    // The fixed rows (columns) stay put; only the area beyond them moves.
    if (bar == SB_VERT)
        area.top = std::min<LONG>(area.bottom, FixedRowsHeight());
    else
        area.left = std::min<LONG>(area.right, FixedColumnsWidth());
    return area;
}

void CGridCtrl::ShowScrolled(int bar, const CGridCellId& before) {
    const CGridCellId after = TopLeftScrollCell(TRUE);
    const bool vertical = bar == SB_VERT;
    // How far the drawn lines move: the lines are drawn from the first one shown, whole.
    const long long shift = vertical ? RowRangeHeight(std::min(before.row, after.row), std::max(before.row, after.row) - 1)
                                     : ColumnRangeWidth(std::min(before.col, after.col), std::max(before.col, after.col) - 1);
    if (shift == 0) return;
    const CRect area = ScrollingArea(bar);
    const long long room = vertical ? area.Height() : area.Width();
    // A move of a view or more, an inverted resize line that would move along, or no
    // painting now: the whole area is drawn anew.
    if (shift >= room || m_resizeLineShown || !RedrawEnabled) {
        InvalidateRect(&area, TRUE);
    } else {
        const int delta = static_cast<int>((vertical ? after.row < before.row : after.col < before.col) ? shift : -shift);
        // The part still waiting to be painted moves along with the pixels: the system
        // offsets the update region inside the area as well.
        ::ScrollWindowEx(m_hWnd, vertical ? 0 : delta, vertical ? delta : 0, &area, &area, nullptr, nullptr,
                         SW_INVALIDATE);
    }
    RepaintUnmovable(bar);
}

void CGridCtrl::RepaintUnmovable(int bar) {
    CRect client;
    GetClientRect(&client);
    const CGridCellRange shown = VisibleScrollRange();
    const bool vertical = bar == SB_VERT;
    auto visit = [&](int row, int col) {
        const CGridCellId owner = MergeOrigin(row, col);
        const CGridCellBase* cell = GetCell(owner.row, owner.col);
        if (!cell) return;
        const bool moved = vertical ? row >= m_fixedRows : col >= m_fixedCols;
        const bool otherClass = moved && !DrawsTheSameAnywhere(cell->GetRuntimeClass());
        // A block reaching from the fixed lines into the moving ones changes its shape, not
        // just its place: its part among the fixed lines is drawn again too, even when the
        // rest of it has left the view.
        bool reaching = false;
        if (cell->IsSpanned()) {
            const CGridCellRange block = cell->GetSpanRange();
            reaching = vertical ? block.minRow < m_fixedRows && block.maxRow >= m_fixedRows
                                : block.minCol < m_fixedCols && block.maxCol >= m_fixedCols;
        }
        CRect rect;
        if (!(otherClass || reaching) || !CellRect(owner.row, owner.col, &rect)) return;
        rect.right += 1;
        rect.bottom += 1;
        if (reaching && vertical) rect.bottom = std::max<LONG>(rect.bottom, FixedRowsHeight());
        if (reaching && !vertical) rect.right = std::max<LONG>(rect.right, FixedColumnsWidth());
        if (rect.IntersectRect(rect, client)) InvalidateRect(&rect, TRUE);
    };
    auto visitRow = [&](int row) {
        for (int col = 0; col < m_fixedCols; ++col) visit(row, col);
        for (int col = shown.minCol; col <= shown.maxCol && col < m_cols; ++col) visit(row, col);
    };
    for (int row = 0; row < m_fixedRows; ++row) visitRow(row);
    for (int row = shown.minRow; row <= shown.maxRow && row < m_rows; ++row) visitRow(row);
}

int CGridCtrl::RowsPerPage() {
    CRect client;
    GetClientRect(&client);
    const CGridCellRange visible = VisibleScrollRange();
    int lastWhole = visible.maxRow, bottom = 0;
    // The last row shown may be cut by the client's bottom edge.
    if (RowTop(lastWhole, &bottom) && bottom + GetRowHeight(lastWhole) > client.bottom) --lastWhole;
    return std::max(1, lastWhole - visible.minRow + 1);
}

BOOL CGridCtrl::OnMouseWheel(UINT, short delta, CPoint) {
    // The setting comes from the registry and may be anything: more lines than a page holds
    // is a page (as is -1, the system's page mode), so a notch never floods the queue.
    const int lines = WheelScrollLines;
    const bool pages = lines < 0 || lines > RowsPerPage();
    const int steps = pages ? delta / WHEEL_DELTA : delta * lines / WHEEL_DELTA;
    const UINT code = pages ? (steps > 0 ? SB_PAGEUP : SB_PAGEDOWN) : (steps > 0 ? SB_LINEUP : SB_LINEDOWN);
    // Requests are posted, so a burst of notches scrolls in the order the notches came.
    for (int i = 0; i < std::abs(steps); ++i) PostMessage(WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    return static_cast<BOOL>(Default());
}

void CGridCtrl::ScrollCellIntoView(int row, int col) {
    if (!RedrawEnabled || !IsWindow() || !IsValidCell(row, col)) return;
    CRect client;
    GetClientRect(&client);
    const int horizontal = ScrollPos(SB_HORZ), vertical = ScrollPos(SB_VERT);
    // Computed at once from the sizes: the view moves in one step, however far.
    int toHorizontal = PositionShowing(m_colSizes, m_fixedCols, col, horizontal,
                                       client.right - m_colSizes.Prefix(m_fixedCols));
    int toVertical = PositionShowing(m_rowSizes, m_fixedRows, row, vertical,
                                     client.bottom - m_rowSizes.Prefix(m_fixedRows));
    // Nothing scrolls while a bar has nothing to scroll.
    if (HScrollMax < 1) toHorizontal = horizontal;
    if (VScrollMax < 1) toVertical = vertical;
    if (toHorizontal == horizontal && toVertical == vertical) return;

    const HWND focus = ::GetFocus();
    EndEditing();
    if (!IsWindow()) return;
    if (m_titleTip) m_titleTip->Hide();
    // One direction after the other, each moving what it can.
    CGridCellId before = TopLeftScrollCell();
    SetScrollPosition(SB_HORZ, toHorizontal);
    ShowScrolled(SB_HORZ, before);
    before = TopLeftScrollCell();
    SetScrollPosition(SB_VERT, toVertical);
    ShowScrolled(SB_VERT, before);
    if (focus && ::IsWindow(focus) && ::GetFocus() != focus) ::SetFocus(focus);
}

void CGridCtrl::OnSize(UINT, int, int) {
    // Work done here (the editor closing, the bars coming and going) can resize the window
    // again; the outer call finishes the job.
    CScopedFlag sizing(m_sizing);
    if (!sizing.Entered() || !IsWindow()) return;
    RegisterDropSinkOnce();  // the first size: the window is there for OLE to know
    EndEditing();
    if (!IsWindow()) return;
    Default();
    UpdateScrollBars();
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
