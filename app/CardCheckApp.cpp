#include "app/CardCheckApp.h"

#include "app/CardCheckDlg.h"

BOOL CCardCheckApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    CCardCheckDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog was the program: end as soon as it has closed.
    return FALSE;
}
