// CDialog: a dialog from a template resource, run modally by the platform's dialog manager.
// The dialog window is subclassed by the framework before its first message, so its message
// table sees WM_CREATE (a handler that returns -1 makes the dialog fail to appear: DoModal
// returns -1) and every later message; WM_INITDIALOG reaches OnInitDialog.
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

    // Runs the dialog; the value given to EndDialog, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (for hosts with their own loop, and for tests that drive
    // a dialog with messages); FALSE when it could not be created.
    BOOL Create(HWND parent = nullptr);
    void EndDialog(INT_PTR result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL UpdateData(BOOL save = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}

    UINT m_templateId;
    HWND m_parent;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void HandleOk() { OnOK(); }
    void HandleCancel() { OnCancel(); }

    DECLARE_MESSAGE_MAP()
};
