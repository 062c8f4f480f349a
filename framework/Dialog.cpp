#include "framework/Dialog.h"

#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, HandleOk)
    ON_COMMAND(IDCANCEL, HandleCancel)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd) return;
    control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd);
}

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_templateId(templateId), m_parent(parent ? parent->m_hWnd : nullptr) {}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    INT_PTR result;
    {
        // Subclass the dialog window before its first message, as CreateEx does.
        CWndCreateScope scope(this);
        result = ::DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_templateId), m_parent,
                                   &DialogProc, 0);
    }
    // A dialog whose creation failed leaves the object linked to a dead handle.
    if (m_hWnd && !::IsWindow(m_hWnd)) Detach();
    return result;
}

BOOL CDialog::Create(HWND parent) {
    if (m_hWnd) return FALSE;
    HWND hWnd;
    {
        CWndCreateScope scope(this);
        hWnd = ::CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_templateId),
                                    parent ? parent : m_parent, &DialogProc, 0);
    }
    if (!hWnd) {
        if (m_hWnd) Detach();
        return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_INITDIALOG) return FALSE;
    CDialog* dlg = dynamic_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (!dlg) return TRUE;
    try {
        return dlg->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

void CDialog::EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::UpdateData(BOOL save) {
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
