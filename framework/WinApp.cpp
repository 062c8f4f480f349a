#include "framework/WinApp.h"

#include <commctrl.h>

#include "framework/MessageLoop.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    LONG idleCount = 0;
    for (;;) {
        // Nothing posted: idle work, then wait for input of any kind. A message sent from
        // another thread is handled inside PeekMessage and ends the wait, so idle work
        // follows it too.
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) {
                ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
                idleCount = 0;
            }
            continue;
        }
        // The windows' pre-translate step (accelerators of a frame among them) runs inside.
        if (!AfxPumpMessage(&msg)) break;
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() { return 0; }

void CWinApp::Enable3dControls() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleW(nullptr);
}

void AfxEnableControlContainer() {}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    try {
        if (!app->InitInstance()) return app->ExitInstance();
        return app->Run();
    } catch (...) {
        return -1;
    }
}
