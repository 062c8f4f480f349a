#include "grid/cells/GridTitleTip.h"

#include <utility>

#include "framework/System.h"

IMPLEMENT_DYNAMIC(CGridTitleTip, CWnd)

BEGIN_MESSAGE_MAP(CGridTitleTip, CWnd)
    ON_WM_MOUSEMOVE()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
const wchar_t* const kTitleTipClass = L"ZTitleTip";

LPARAM PointParam(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

// The non-client message of a press off the target's client area.
UINT NonClientTwin(UINT message, bool doubleClick) {
    switch (message) {
        case WM_LBUTTONDOWN: return doubleClick ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN;
        case WM_RBUTTONDOWN: return WM_NCRBUTTONDOWN;
        default: return WM_NCMBUTTONDOWN;
    }
}
}  // namespace

CGridTitleTip::CGridTitleTip() : m_doubleClickTime(::GetDoubleClickTime()) {
    // CS_SAVEBITS: the tip comes and goes over the grid without making it repaint.
    AfxRegisterClassOnce(kTitleTipClass, CS_SAVEBITS, reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1));
}

CGridTitleTip::~CGridTitleTip() = default;

BOOL CGridTitleTip::Create(CWnd* parent) {
    if (IsWindow()) return TRUE;
    m_parent = parent;
    // A top-level pop-up with no parent window, so it can stand over the grid's edges.
    m_created = CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTitleTipClass, nullptr, WS_POPUP | WS_BORDER,
                         CRect(0, 0, 0, 0), nullptr, 0);
    return m_created;
}

BOOL CGridTitleTip::DestroyWindow() {
    m_created = FALSE;
    return CWnd::DestroyWindow();
}

void CGridTitleTip::Show(CRect rect, const std::string& text, int xOffset, const RECT* hover, const LOGFONTW* font,
                         COLORREF textColour, COLORREF backColour) {
    if (!IsWindow() && !Create(m_parent)) return;
    if (m_quiet) {
        CPoint now;
        if (::GetCursorPos(&now) && now == m_quietAt) return;
        m_quiet = false;
    }
    if (rect.IsRectEmpty() || IsWindowVisible() || !m_parent || !m_parent->IsWindow()) return;
    // The hover rectangle's right and bottom edges belong to the cell.
    m_hover = hover ? CRect(*hover) : rect;
    m_hover.InflateRect(0, 0, 1, 1);
    m_parent->ClientToScreen(&m_hover);
    if (!::GetFocus()) return;
    m_parent->ClientToScreen(&rect);

    const std::string shown = " " + text + " ";
    CFont own;
    const HFONT use = font && own.CreateFontIndirect(font) ? static_cast<HFONT>(own) : m_parent->GetFont();
    CSize extent;
    TEXTMETRICW metrics{};
    {
        CClientDC dc(m_hWnd);
        if (!dc.GetSafeHdc()) return;
        CSelectGuard select(dc, use);
        extent = dc.GetTextExtent(shown);
        dc.GetTextMetrics(&metrics);
    }
    const int width = extent.cx + metrics.tmOverhang;
    if (rect.left + 2 * xOffset + width <= rect.right - xOffset) return;  // it fits

    m_text = shown;
    m_ownFont = std::move(own);
    m_font = use;
    m_textColour = textColour;
    m_backColour = backColour;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, rect.left + xOffset, rect.top, xOffset + width, rect.Height(),
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateWindow();
    SetCapture();
}

void CGridTitleTip::Hide() {
    if (!IsWindow()) return;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    ShowWindow(SW_HIDE);
}

void CGridTitleTip::OnPaint() {
    CPaintDC dc(m_hWnd);
    if (m_backColour != CLR_DEFAULT) {
        CRect clip;
        dc.GetClipBox(&clip);
        dc.FillSolidRect(clip, m_backColour);
    }
    if (m_textColour != CLR_DEFAULT) dc.SetTextColor(m_textColour);
    dc.SetBkMode(TRANSPARENT);
    CSelectGuard select(dc, m_font);
    dc.TextOut(0, 0, m_text);
}

HWND CGridTitleTip::WindowBelow(POINT screen) const {
    HWND below = ::WindowFromPoint(screen);
    if (below == m_hWnd) below = m_parent ? m_parent->m_hWnd : nullptr;
    return below;
}

void CGridTitleTip::OnMouseMove(UINT flags, CPoint point) {
    CPoint screen = point;
    ClientToScreen(&screen);
    if (m_hover.PtInRect(screen)) return;
    Hide();
    const HWND below = WindowBelow(screen);
    if (!below) return;
    const LRESULT hit = ::SendMessageW(below, WM_NCHITTEST, 0, PointParam(screen));
    if (hit == HTCLIENT) {
        CPoint client = screen;
        ::ScreenToClient(below, &client);
        ::PostMessageW(below, WM_MOUSEMOVE, flags, PointParam(client));
    } else {
        ::PostMessageW(below, WM_NCMOUSEMOVE, static_cast<WPARAM>(hit), PointParam(screen));
    }
}

BOOL CGridTitleTip::ForwardPress(const MSG& msg, bool doubleClick) {
    CPoint screen = msgthunk::PointOf(msg.lParam);  // signed: the press may lie left of the tip
    ::ClientToScreen(msg.hwnd, &screen);
    Hide();
    const HWND below = WindowBelow(screen);
    if (!below) return FALSE;
    const LRESULT hit = ::SendMessageW(below, WM_NCHITTEST, 0, PointParam(screen));
    if (hit == HTCLIENT) {
        CPoint client = screen;
        ::ScreenToClient(below, &client);
        ::PostMessageW(below, doubleClick ? WM_LBUTTONDBLCLK : msg.message, msg.wParam, PointParam(client));
    } else {
        ::PostMessageW(below, NonClientTwin(msg.message, doubleClick), static_cast<WPARAM>(hit), PointParam(screen));
    }
    return TRUE;
}

BOOL CGridTitleTip::PreTranslateMessage(MSG* msg) {
    switch (msg->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            Hide();
            m_quiet = ::GetCursorPos(&m_quietAt) != FALSE;
            if (m_parent && m_parent->IsWindow()) m_parent->PostMessage(msg->message, msg->wParam, msg->lParam);
            return TRUE;
        case WM_LBUTTONDOWN: {
            const DWORD now = ::GetTickCount();
            const bool doubleClick = now - m_lastClickTime <= m_doubleClickTime;
            m_lastClickTime = now;
            return ForwardPress(*msg, doubleClick);
        }
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: return ForwardPress(*msg, false);
        default:
            // The program lost the focus (another program came up): the tip goes.
            if (::GetFocus()) return FALSE;
            Hide();
            return TRUE;
    }
}
