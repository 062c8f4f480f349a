// CFrameWnd and CStatusBar: the status bar and the view laid out in the client area, menu
// commands routed through the frame's tables and OnFrameCommand to the view, menu items
// enabled and checked as UpdateCommand says, and the status bar's texts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/FrameWnd.h"
#include "framework/System.h"

namespace {

constexpr UINT kTableCommand = 100, kFrameCommand = 101, kViewCommand = 102;

// Records the commands that reach it.
class View : public CWnd {
public:
    std::vector<UINT> commands;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND) commands.push_back(LOWORD(wp));
        return CWnd::WindowProc(msg, wp, lp);
    }
};

class Frame : public CFrameWnd {
public:
    std::vector<UINT> handled;  // by the table row or OnFrameCommand

protected:
    void OnTableCommand() { handled.push_back(kTableCommand); }
    BOOL OnFrameCommand(UINT id) override {
        if (id != kFrameCommand) return FALSE;
        handled.push_back(id);
        return TRUE;
    }
    void UpdateCommand(UINT id, CommandState* state) override {
        state->enabled = id != kViewCommand;
        state->checked = id == kFrameCommand;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Frame, CFrameWnd)
    ON_COMMAND(kTableCommand, OnTableCommand)
END_MESSAGE_MAP()

HMENU MenuOf(std::vector<UINT> ids) {
    HMENU bar = CreateMenu(), popup = CreatePopupMenu();
    for (UINT id : ids) AppendMenuW(popup, MF_STRING, id, L"item");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"menu");
    return bar;
}

}  // namespace

TEST(FrameWnd, RoutesCommandsThroughItsTablesThenToTheView) {
    Frame frame;
    ASSERT_TRUE(frame.Create("frame", CRect(0, 0, 400, 300), MenuOf({kTableCommand, kFrameCommand, kViewCommand})));
    AfxRegisterClassOnce(L"FrameWndTestView", 0, nullptr);
    View view;
    ASSERT_TRUE(view.CreateEx(0, L"FrameWndTestView", L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, 1));
    frame.SetView(&view);

    for (UINT id : {kTableCommand, kFrameCommand, kViewCommand}) frame.SendMessage(WM_COMMAND, id, 0);
    // A control's notification stays with the frame.
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(kViewCommand, BN_CLICKED), reinterpret_cast<LPARAM>(view.m_hWnd));
    EXPECT_EQ(frame.handled, (std::vector<UINT>{kTableCommand, kFrameCommand}));
    EXPECT_EQ(view.commands, (std::vector<UINT>{kViewCommand}));

    HMENU popup = GetSubMenu(GetMenu(frame), 0);
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    EXPECT_EQ(GetMenuState(popup, kTableCommand, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), 0u);
    EXPECT_EQ(GetMenuState(popup, kFrameCommand, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuState(popup, kViewCommand, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), UINT(MF_GRAYED));

    // The view fills the client area above the status bar, whatever the size.
    for (CSize size : {CSize(400, 300), CSize(640, 200)}) {
        SetWindowPos(frame, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        CRect client, shown, bar;
        frame.GetClientRect(&client);
        view.GetWindowRect(&shown);
        frame.ScreenToClient(&shown);
        frame.GetStatusBar().GetWindowRect(&bar);
        frame.ScreenToClient(&bar);
        EXPECT_EQ(shown, CRect(0, 0, client.right, bar.top));
        EXPECT_EQ(bar.bottom, client.bottom);
    }
}

TEST(StatusBar, ChangesAPartsTextOnlyWhenItDiffers) {
    Frame frame;
    ASSERT_TRUE(frame.Create("frame", CRect(0, 0, 400, 300), nullptr));
    CStatusBar& bar = frame.GetStatusBar();
    EXPECT_EQ(bar.GetStyle() & WS_CHILD, DWORD(WS_CHILD));
    ASSERT_TRUE(bar.SetParts({150, -1}));
    EXPECT_TRUE(bar.SetText(1, "第二"));
    EXPECT_FALSE(bar.SetText(1, "第二"));
    EXPECT_TRUE(bar.SetText(0, "one"));
    EXPECT_EQ(bar.GetText(0), "one");
    EXPECT_EQ(bar.GetText(1), "第二");
    // WM_GETTEXT, as another program reads it, gives the first part.
    wchar_t text[16] = {};
    bar.SendMessage(WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"one");
}
