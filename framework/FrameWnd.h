// A program's main window: a menu, keyboard shortcuts, a status bar along the bottom and one
// view window filling the rest of the client area.
//
// Classes in this file:
//   CStatusBar  the platform's status bar (msctls_statusbar32) with parts and GBK texts
//   CFrameWnd   the top-level window that lays out its status bar and view
//
// Commands: a menu item or shortcut reaches the frame as WM_COMMAND. The frame's own message
// tables come first, then OnFrameCommand; a command neither takes goes on to the view, so a
// view that handles commands itself (the grid's edit commands) needs nothing from the frame.
// Before a menu opens (also when the system checks a shortcut's menu item before sending its
// command), UpdateCommand says for each item whether it is enabled and checked.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Wnd.h"

class CStatusBar : public CWnd {
    DECLARE_DYNAMIC(CStatusBar)

public:
    // Creates the bar as a child along the bottom of `parent`, with a size grip.
    BOOL Create(CWnd* parent, UINT id);
    // The parts by the right edge of each, left to right; -1 runs to the bar's right end.
    BOOL SetParts(const std::vector<int>& rightEdges);
    // Shows `gbkText` in part `part` unless it shows it already (no flicker when idle code
    // sets the same text again); TRUE when the text changed.
    BOOL SetText(int part, const std::string& gbkText);
    // The text of part `part` as GBK.
    std::string GetText(int part) const;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)

public:
    // What UpdateCommand says about one menu item.
    struct CommandState {
        BOOL enabled = TRUE;
        BOOL checked = FALSE;
    };

    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Creates the window, with `menu` (the window owns it from then on; may be null) and its
    // status bar (control `statusId`).
    BOOL Create(const std::string& gbkTitle, const RECT& rect, HMENU menu, DWORD style = WS_OVERLAPPEDWINDOW,
                UINT statusId = AFX_IDW_STATUS_BAR);
    // The window that fills the client area above the status bar, gets the keyboard focus
    // with the frame and receives the commands the frame leaves (not owned; may be null).
    void SetView(CWnd* view);
    CWnd* GetView() const { return m_view; }
    CStatusBar& GetStatusBar() { return m_statusBar; }
    // The frame's keyboard shortcuts, replacing any earlier ones; FALSE when the system
    // refuses the table.
    BOOL SetAccelerators(const std::vector<ACCEL>& keys);
    // Turns a key message for the frame or its view into its command; TRUE when it did (the
    // message is not to be dispatched then). Keys for any other window (an in-place editor
    // with Ctrl+C of its own) are left alone.
    BOOL PreTranslateMessage(MSG* msg) override;
    // Places the status bar and the view in the client area.
    virtual void RecalcLayout();
    // Asks UpdateCommand about every item of `menu` (not of its submenus).
    void UpdateMenuItems(HMENU menu);

    // The status bar's control id unless the caller chooses another.
    static constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;

protected:
    // A menu or shortcut command that no message table row took; TRUE when handled here.
    // The default handles none, so the command goes on to the view.
    virtual BOOL OnFrameCommand(UINT id) { return FALSE; }
    // The state of menu item `id`; the default leaves every item enabled and unchecked.
    virtual void UpdateCommand(UINT id, CommandState* state) {}

    int OnCreate(CREATESTRUCTW* create);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    LRESULT OnSetFocusMessage(WPARAM, LPARAM);
    LRESULT OnInitMenuPopup(WPARAM menu, LPARAM);
    LRESULT OnCommandMessage(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    CStatusBar m_statusBar;    // along the bottom; made with the window
    UINT m_statusId = AFX_IDW_STATUS_BAR;  // its control id
    CWnd* m_view = nullptr;    // fills the rest; not owned
    HACCEL m_accelerators = nullptr;  // the shortcuts; owned
};
