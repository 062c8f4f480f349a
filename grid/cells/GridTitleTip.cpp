#include "grid/cells/GridTitleTip.h"

#include "framework/System.h"

IMPLEMENT_DYNAMIC(CGridTitleTip, CWnd)

namespace {
const wchar_t* const kTitleTipClass = L"ZTitleTip";
}

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

void CGridTitleTip::Hide() {
    if (!IsWindow()) return;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    ShowWindow(SW_HIDE);
}
