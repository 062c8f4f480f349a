// CDialog: a dialog from a template resource. The dialog window is subclassed by the
// framework before its first message, so its message table sees WM_CREATE (a handler that
// returns -1 makes the dialog fail to appear: DoModal returns -1) and every later message;
// WM_INITDIALOG reaches OnInitDialog.
//
// DoModal runs the framework's own modal loop, not the platform's: every message passes the
// pre-translate step (MessageLoop.h) before the dialog keys and dispatch, as in a modeless
// dialog run by CWinApp::Run. The loop does what the platform's does besides: the owner is
// disabled while the dialog runs, the dialog is shown when the queue first runs dry if the
// template did not show it, the owner hears WM_ENTERIDLE when the queue is empty (unless
// DS_NOIDLEMSG), and WM_QUIT ends the dialog and is posted again.
//
// Data exchange binds controls that the template created to member objects (DDX_Control).
#pragma once

#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds control `id` of the dialog to `control` (subclassing it) the first time.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog; the value given to EndDialog, or -1 when it could not be created, or
    // when it ended otherwise (destroyed, or WM_QUIT). A dialog hidden while it runs (which
    // is what the platform's own EndDialog does) ends as well, with IDCANCEL: that call
    // keeps its value to itself, so CDialog::EndDialog is the way to end with a value.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (for hosts with their own loop, and for tests that drive
    // a dialog with messages); FALSE when it could not be created.
    BOOL Create(HWND parent = nullptr);
    // Ends a modal dialog with `result` (DoModal returns it), or hides a modeless one.
    void EndDialog(INT_PTR result);

    // The dialog keys (Tab, Enter, Esc, mnemonics) for messages of this dialog's windows.
    BOOL PreTranslateMessage(MSG* msg) override;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL UpdateData(BOOL save = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}
    // Notes a hide that the modal loop did not ask for.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    UINT m_templateId;
    HWND m_parent;

private:
    bool m_inModalLoop = false;     // DoModal's loop is running
    bool m_endModal = false;        // EndDialog asked the loop to end
    bool m_hiddenBehindLoop = false;  // hidden while running, not by EndDialog (see DoModal)
    INT_PTR m_modalResult = -1;     // what DoModal returns

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The modal loop of DoModal on the created dialog; its result.
    INT_PTR RunModalLoop();
    void HandleOk() { OnOK(); }
    void HandleCancel() { OnCancel(); }

    DECLARE_MESSAGE_MAP()
};
