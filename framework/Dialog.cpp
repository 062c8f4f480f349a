#include "framework/Dialog.h"

#include "framework/MessageLoop.h"
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
    // Modal from the start: an EndDialog in OnInitDialog ends it before the loop begins.
    m_inModalLoop = true;
    m_endModal = false;
    m_hiddenBehindLoop = false;
    m_modalResult = -1;
    // Made as a modeless dialog, then run by the framework's loop.
    if (!Create(m_parent)) {
        m_inModalLoop = false;
        return -1;
    }
    return RunModalLoop();
}

INT_PTR CDialog::RunModalLoop() {
    const HWND dialog = m_hWnd, owner = ::GetWindow(dialog, GW_OWNER);
    // The owner is given back its input before the dialog goes, so it gets the activation.
    const bool disabledOwner = owner && ::IsWindowEnabled(owner) && !m_endModal;
    if (disabledOwner) ::EnableWindow(owner, FALSE);
    bool idle = true;
    MSG msg;
    while (!m_endModal && !m_hiddenBehindLoop && ::IsWindow(dialog)) {
        if (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            idle = false;
            if (!::IsWindowVisible(dialog)) {
                ::ShowWindow(dialog, SW_SHOWNORMAL);
                ::UpdateWindow(dialog);
            }
            if (owner && !(GetStyle() & DS_NOIDLEMSG))
                ::SendMessageW(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
            continue;
        }
        if (!AfxPumpMessage(&msg)) {
            if (msg.message == WM_QUIT) ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        idle = true;
    }
    // Hidden behind the loop's back: the platform's EndDialog, whose value stays its own.
    if (!m_endModal && m_hiddenBehindLoop && ::IsWindow(dialog)) m_modalResult = IDCANCEL;
    m_inModalLoop = false;
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (::IsWindow(dialog)) ::DestroyWindow(dialog);
    // A dialog whose window went without WM_NCDESTROY reaching us leaves a dead handle.
    if (m_hWnd && !::IsWindow(m_hWnd)) Detach();
    return m_modalResult;
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

void CDialog::EndDialog(INT_PTR result) {
    if (m_inModalLoop) {
        m_modalResult = result;
        m_endModal = true;
    }
    // Hides the dialog, gives the owner its input back and wakes the loop.
    ::EndDialog(m_hWnd, result);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The platform's EndDialog hides the dialog through SetWindowPos (even one not shown
    // yet): a modal loop that did not ask for it takes it as the end.
    if (msg == WM_WINDOWPOSCHANGING && m_inModalLoop && !m_endModal) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos && (pos->flags & SWP_HIDEWINDOW)) m_hiddenBehindLoop = true;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    return IsWindow() && ::IsDialogMessageW(m_hWnd, msg);
}

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
