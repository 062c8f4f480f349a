// The pre-translate step and the message loops that use it. Before a message is dispatched,
// each framework window from the message's window up through its parents (to the first
// window that is not a child: a dialog, a top-level window) may look at it and keep it
// (CWnd::PreTranslateMessage); a dialog there runs the platform's dialog keys on it
// (IsDialogMessage). An in-place editor sees Enter, Esc and Tab this way before the dialog
// turns them into its buttons.
//
// The framework's own loops (CWinApp::Run, CDialog::DoModal, the print preview's) take this
// step. A host program
// with a loop of its own has two ways to give it:
//   - call AfxPreTranslateMessage in its loop, and dispatch only what it returns FALSE for;
//   - or, where the loop cannot be changed (or is not its own: a platform dialog box, a
//     message box), install the thread's hook (AfxInstallPreTranslateHook): every message
//     any loop of the thread takes off the queue is filtered first, and one that was handled
//     reaches the loop as WM_NULL. The framework's loops then leave the step to the hook.
#pragma once

#include <windows.h>

// Walks the message's window and its parents; TRUE when one of them handled the message
// (do not dispatch it then). A message for no window (a thread message) is never handled.
// An exception thrown by a window's step counts as "not handled" and goes no further.
BOOL AfxPreTranslateMessage(MSG* msg);

// Takes the next message of the thread (waiting for one), filters it (unless the hook does)
// and dispatches what was not handled. FALSE when the message was WM_QUIT (left in `msg`) or
// the queue failed.
BOOL AfxPumpMessage(MSG* msg);

// The hook on the calling thread (WH_GETMESSAGE). Counted: each install needs a removal.
// FALSE when the system refuses the hook.
BOOL AfxInstallPreTranslateHook();
void AfxRemovePreTranslateHook();
// Whether the hook is installed on the calling thread.
BOOL AfxPreTranslateHookInstalled();
