#include "framework/MessageLoop.h"

#include "framework/Wnd.h"

namespace {
thread_local HHOOK t_hook = nullptr;  // the thread's WH_GETMESSAGE hook, while installed
thread_local int t_hookUsers = 0;     // installs not yet removed

// Every message a loop of this thread removes from the queue passes here first.
LRESULT CALLBACK FilterRemovedMessage(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION && removal == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        // Handled: the loop that took it dispatches nothing of it.
        if (msg->message != WM_NULL && AfxPreTranslateMessage(msg)) {
            msg->message = WM_NULL;
            msg->wParam = 0;
            msg->lParam = 0;
        }
    }
    return CallNextHookEx(t_hook, code, removal, lParam);
}
}  // namespace

BOOL AfxPreTranslateMessage(MSG* msg) {
    if (!msg || !msg->hwnd) return FALSE;
    for (HWND hWnd = msg->hwnd; hWnd;) {
        // The next window is taken first: this one may be gone after its step. The walk ends
        // with the first window that is no child (its "parent" would be its owner).
        const bool child = (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) != 0;
        const HWND next = child ? ::GetParent(hWnd) : nullptr;
        if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd)) {
            try {
                if (wnd->PreTranslateMessage(msg)) return TRUE;
            } catch (...) {
                // No exception leaves a message loop or a hook; the message is dispatched.
                return FALSE;
            }
        }
        hWnd = next && ::IsWindow(next) ? next : nullptr;
    }
    return FALSE;
}

BOOL AfxPumpMessage(MSG* msg) {
    const BOOL got = ::GetMessageW(msg, nullptr, 0, 0);
    if (got <= 0) {
        if (got < 0) msg->message = WM_NULL;  // no message came: nothing to post again
        return FALSE;
    }
    // With the hook in place the message was filtered on its way out of the queue.
    if (t_hook || !AfxPreTranslateMessage(msg)) {
        ::TranslateMessage(msg);
        ::DispatchMessageW(msg);
    }
    return TRUE;
}

BOOL AfxInstallPreTranslateHook() {
    if (!t_hook) {
        t_hook = ::SetWindowsHookExW(WH_GETMESSAGE, &FilterRemovedMessage, nullptr, ::GetCurrentThreadId());
        if (!t_hook) return FALSE;
    }
    ++t_hookUsers;
    return TRUE;
}

void AfxRemovePreTranslateHook() {
    if (t_hookUsers == 0 || --t_hookUsers > 0) return;
    ::UnhookWindowsHookEx(t_hook);
    t_hook = nullptr;
}

BOOL AfxPreTranslateHookInstalled() { return t_hook != nullptr; }
