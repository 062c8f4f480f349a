#include "tests/grid/EditorTestSupport.h"

#include "framework/System.h"

BEGIN_MESSAGE_MAP(ReportingHost::GridStandIn, CWnd)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

ReportingHost::ReportingHost() {
    m_grid.host = this;
    EXPECT_TRUE(m_top.CreateTopLevel());
    AfxRegisterClassOnce(L"EditorTestGrid", 0, nullptr);
    EXPECT_TRUE(m_grid.CreateEx(0, L"EditorTestGrid", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 300, 200),
                                m_top.m_hWnd, GRID_ID));
    m_grid.SetFocus();
}

LRESULT ReportingHost::GridStandIn::OnNotify(WPARAM, LPARAM lParam) {
    const auto* note = reinterpret_cast<const GridItemNotification*>(lParam);
    host->reports.push_back({static_cast<int>(note->hdr.code), note->item.row, note->item.col,
                             static_cast<UINT>(note->item.data), note->item.text});
    if (host->onReport) host->onReport();
    return 0;
}

void PressKey(UINT key) {
    const HWND focus = GetFocus();
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(focus, WM_KEYDOWN, key, MAKELPARAM(1, scan));
    PumpMessages();
    // The release goes where the focus is now, as a real one would.
    PostMessageW(GetFocus() ? GetFocus() : focus, WM_KEYUP, key, MAKELPARAM(1, scan | KF_UP | KF_REPEAT));
    PumpMessages();
}

void TypeChar(UINT ch) {
    PostMessageW(GetFocus(), WM_CHAR, ch, 1);
    PumpMessages();
}
