// CWinApp: the one application object of a program. The program's entry point calls
// AfxWinMain, which runs InitInstance and, when that returns TRUE, the message loop.
#pragma once

#include "framework/Wnd.h"

class CWinApp : public CObject {
public:
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int Run();           // the thread's message loop until WM_QUIT, with the
                                 // pre-translate step (MessageLoop.h)
    virtual int ExitInstance();  // the process's exit code
    // Called by Run whenever the queue holds no posted message (also after a message another
    // thread sent was handled); `count` counts the calls since the last message. TRUE asks
    // for another call before Run waits.
    virtual BOOL OnIdle(LONG count) { return FALSE; }
    // Kept for programs written for older systems: visual styles come from the manifest,
    // so this only makes sure the common controls are initialised.
    void Enable3dControls();

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// Dialogs may host other controls; with plain Win32 controls nothing needs to be set up.
void AfxEnableControlContainer();
int AfxWinMain(HINSTANCE instance);
