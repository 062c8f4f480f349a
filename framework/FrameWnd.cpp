#include "framework/FrameWnd.h"

#include <commctrl.h>

#include "framework/GbkText.h"
#include "framework/System.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CStatusBar, CWnd)
IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

// ---- CStatusBar ----

BOOL CStatusBar::Create(CWnd* parent, UINT id) {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&classes);
    return CreateEx(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, CRect(0, 0, 0, 0),
                    parent ? parent->m_hWnd : nullptr, id);
}

BOOL CStatusBar::SetParts(const std::vector<int>& rightEdges) {
    std::vector<int> edges(rightEdges);
    return SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data())) != 0;
}

BOOL CStatusBar::SetText(int part, const std::string& gbkText) {
    if (GetText(part) == gbkText) return FALSE;
    const std::wstring wide = gbk::ToWide(gbkText);
    return SendMessage(SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(wide.c_str())) != 0;
}

std::string CStatusBar::GetText(int part) const {
    const LRESULT length = LOWORD(SendMessage(SB_GETTEXTLENGTHW, static_cast<WPARAM>(part)));
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    SendMessage(SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&wide[0]));
    wide.resize(static_cast<size_t>(length));
    return gbk::FromWide(wide);
}

// ---- CFrameWnd ----

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SETFOCUS, OnSetFocusMessage)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
    // Last in the table: the rows of derived frames come first.
    ON_MESSAGE(WM_COMMAND, OnCommandMessage)
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() {
    if (m_accelerators) ::DestroyAcceleratorTable(m_accelerators);
}

BOOL CFrameWnd::Create(const std::string& gbkTitle, const RECT& rect, HMENU menu, DWORD style, UINT statusId) {
    AfxRegisterClassOnce(L"CFrameWnd", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1));
    m_statusId = statusId;
    const std::wstring title = gbk::ToWide(gbkTitle);
    if (CreateEx(0, L"CFrameWnd", title.c_str(), style, rect, nullptr, reinterpret_cast<UINT_PTR>(menu))) return TRUE;
    // A window that was never made does not own the menu.
    if (menu) ::DestroyMenu(menu);
    return FALSE;
}

int CFrameWnd::OnCreate(CREATESTRUCTW*) {
    if (Default() == -1) return -1;
    return m_statusBar.Create(this, m_statusId) ? 0 : -1;
}

void CFrameWnd::SetView(CWnd* view) {
    m_view = view;
    if (m_hWnd) RecalcLayout();
}

void CFrameWnd::RecalcLayout() {
    if (!m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    if (m_statusBar.IsWindow()) {
        // The bar places itself along the bottom when told the size changed.
        m_statusBar.SendMessage(WM_SIZE);
        CRect bar;
        m_statusBar.GetWindowRect(&bar);
        client.bottom -= bar.Height();
    }
    if (m_view && m_view->IsWindow()) m_view->MoveWindow(client);
}

void CFrameWnd::OnSize(UINT, int, int) { RecalcLayout(); }

void CFrameWnd::OnDestroy() {
    Default();
    // The program's main window ends the message loop with it.
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) ::PostQuitMessage(0);
}

LRESULT CFrameWnd::OnSetFocusMessage(WPARAM, LPARAM) {
    if (m_view && m_view->IsWindow()) m_view->SetFocus();
    return 0;
}

BOOL CFrameWnd::SetAccelerators(const std::vector<ACCEL>& keys) {
    if (m_accelerators) ::DestroyAcceleratorTable(m_accelerators);
    std::vector<ACCEL> table(keys);
    m_accelerators = table.empty() ? nullptr : ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
    return table.empty() || m_accelerators;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (!m_accelerators || !m_hWnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !(m_view && msg->hwnd == m_view->m_hWnd)) return FALSE;
    return ::TranslateAcceleratorW(m_hWnd, m_accelerators, msg) != 0;
}

void CFrameWnd::UpdateMenuItems(HMENU menu) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;  // a separator or a submenu
        CommandState state;
        UpdateCommand(id, &state);
        ::EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (state.enabled ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (state.checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

LRESULT CFrameWnd::OnInitMenuPopup(WPARAM menu, LPARAM flags) {
    // The window menu is the system's.
    if (!HIWORD(flags)) UpdateMenuItems(reinterpret_cast<HMENU>(menu));
    return 0;
}

LRESULT CFrameWnd::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    // A control's notification (lParam is its window) is no command of the menu or keys.
    if (lParam != 0) return Default();
    const UINT id = LOWORD(wParam);
    if (OnFrameCommand(id)) return 0;
    if (m_view && m_view->IsWindow()) return m_view->SendMessage(WM_COMMAND, wParam, 0);
    return Default();
}
