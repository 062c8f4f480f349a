// CWnd: the link between a window handle and its C++ object, and message dispatch through
// per-class message tables.
//
// Classes in this file:
//   MsgArgs      one message being dispatched (number, parameters, result)
//   MsgMapEntry  one row of a message table: message (+ notification code and control id)
//                and the thunk that cracks the parameters and calls the handler
//   MsgMap       a class's table and the function that yields its base class's table
//   CWnd         the window object
//
// Dispatch walks the tables from the most derived class to CWnd; the first matching row
// handles the message. A message that no row handles, or whose handler calls Default(),
// gets default processing: the window procedure that was in place before the framework
// subclassed the window (DefWindowProc for windows created with no procedure of their own).
//
// Handle to object: the framework keeps a per-thread map from handle to object. A window
// created through CreateEx is subclassed by a CBT hook before it receives its first message
// (WM_GETMINMAXINFO and WM_NCCREATE come before WM_CREATE); a window that already exists (a
// dialog template's control) is attached with SubclassWindow.
//
// Lifetime: each object counts how deeply it is dispatching. On WM_NCDESTROY the object is
// unhooked from its handle; PostNcDestroy (which self-deleting windows override to delete
// themselves) runs only when the outermost message of that object has unwound. Code that
// sends a message which may destroy the window checks IsWindow() afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Object.h"
#include "framework/Types.h"

class CWnd;

struct MsgArgs {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

// Returns true when the message was handled (result in m.result); false sends it on to
// default processing.
using MsgThunk = bool (*)(CWnd* self, MsgArgs& m);

struct MsgMapEntry {
    UINT message;  // 0 ends a table
    UINT code;     // WM_COMMAND: notification code; WM_NOTIFY: NMHDR code; else unused
    UINT id;       // WM_COMMAND / WM_NOTIFY: control or command id; else unused
    MsgThunk thunk;
    bool anyCode = false;  // ON_MESSAGE rows: every WM_COMMAND / WM_NOTIFY, whatever code and id
};

struct MsgMap {
    const MsgMap* (*base)();  // null for CWnd's own table
    const MsgMapEntry* entries;
};

class CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object attached to a handle of this thread, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creates a window of a registered class and subclasses it before its first message.
    virtual BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                          const RECT& rect, HWND parent, UINT_PTR idOrMenu, void* param = nullptr);
    virtual BOOL DestroyWindow();

    // Links an existing window to this object without changing its procedure.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Links an existing window and routes its messages through this object's tables;
    // OnSubclassed runs once the messages arrive here.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // The message being dispatched gets default processing; its result is returned.
    LRESULT Default();

    // A control's notification (WM_COMMAND) to its parent is first offered to the control's
    // own object, so that a control can answer its own notifications (a combo box sizing its
    // list as it drops). TRUE keeps it from the parent, with the parent's reply in `result`.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) { return FALSE; }

    // A look at a message before it is dispatched (MessageLoop.h walks from the message's
    // window up through its parents); TRUE means it was handled here and is not dispatched.
    // The window may destroy itself in here (an editor ending on Enter).
    virtual BOOL PreTranslateMessage(MSG* msg) { return FALSE; }

    // --- thin wrappers of the platform (W functions; texts are GBK) ---
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const;
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(RECT* r) const;
    void MoveWindow(const RECT& r, BOOL repaint = TRUE) {
        ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    HWND SetCapture() { return ::SetCapture(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetWindowText(const std::string& gbkText);
    std::string GetWindowText() const;
    BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL) const;
    BOOL SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw = TRUE);
    // Shows or hides one of the window's own scroll bars (SB_HORZ, SB_VERT or SB_BOTH).
    void EnableScrollBarCtrl(int bar, BOOL enable = TRUE) { ::ShowScrollBar(m_hWnd, bar, enable); }
    // The owner if one is set (GW_OWNER), else the parent.
    HWND GetOwnerOrParent() const;

    // How many messages of this object are being dispatched right now (re-entrancy depth).
    int DispatchDepth() const { return m_dispatchDepth; }

    // The framework's window procedure; public so that classes can be registered with it.
    static LRESULT CALLBACK FrameworkWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Default processing of any message (the procedure in place before subclassing).
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the tables; false when no row handled it.
    bool OnWndMsg(MsgArgs& m);
    // Offers a child control's WM_COMMAND to the child's object (OnChildNotify); true when
    // the child took it.
    bool ReflectToChild(MsgArgs& m);
    // After SubclassWindow has routed an existing window's messages here.
    virtual void OnSubclassed() {}
    // After WM_NCDESTROY, once no message of this object is being dispatched any more.
    virtual void PostNcDestroy() {}

    static const MsgMap* GetThisMessageMap();
    virtual const MsgMap* GetMessageMap() const;

private:
    friend struct WndCreateHook;
    void AttachHandle(HWND hWnd);
    void DetachHandle();

    WNDPROC m_superProc = nullptr;   // the procedure before subclassing; null = DefWindowProcW
    MsgArgs* m_current = nullptr;    // the message being dispatched, for Default()
    int m_dispatchDepth = 0;
    bool m_ncDestroyed = false;      // WM_NCDESTROY seen; PostNcDestroy pending
};

// Arms the framework's creation hook for one window: the next window the system creates on
// this thread is linked to `wnd` and subclassed before its first message. CreateEx and
// CDialog::DoModal use it; disarmed when the scope ends, whatever happened.
class CWndCreateScope {
public:
    explicit CWndCreateScope(CWnd* wnd);
    ~CWndCreateScope();
    CWndCreateScope(const CWndCreateScope&) = delete;
    CWndCreateScope& operator=(const CWndCreateScope&) = delete;

private:
    CWnd* m_previous;
    HHOOK m_previousHook;
};

// ---------------------------------------------------------------------------------------
// Message tables.
//
// In the class:        DECLARE_MESSAGE_MAP()
// In the source file:  BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//                          ON_WM_PAINT()
//                          ON_BN_CLICKED(IDC_X, OnX)
//                      END_MESSAGE_MAP()
// Each ON_ row names the handler signature it calls.

#define DECLARE_MESSAGE_MAP()                       \
protected:                                          \
    static const MsgMap* GetThisMessageMap();       \
    const MsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(cls, baseCls)                                  \
    const MsgMap* cls::GetMessageMap() const { return GetThisMessageMap(); } \
    const MsgMap* cls::GetThisMessageMap() {                             \
        using ThisClass = cls;                                           \
        using TheBaseClass = baseCls;                                    \
        static const MsgMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                \
    {0, 0, 0, nullptr}};                                                 \
    static const MsgMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                         \
    }

namespace msgthunk {

template <class T>
T* Self(CWnd* w) { return static_cast<T*>(w); }

// Signed: under mouse capture a point left of or above the window is negative.
inline CPoint PointOf(LPARAM lp) {
    return CPoint(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
}

// void F()
template <class T, void (T::*F)()>
bool Void(CWnd* w, MsgArgs& m) { (Self<T>(w)->*F)(); m.result = 0; return true; }
// LRESULT F(WPARAM, LPARAM)
template <class T, LRESULT (T::*F)(WPARAM, LPARAM)>
bool Raw(CWnd* w, MsgArgs& m) { m.result = (Self<T>(w)->*F)(m.wParam, m.lParam); return true; }
// int OnCreate(CREATESTRUCTW*): -1 makes the creation fail
template <class T, int (T::*F)(CREATESTRUCTW*)>
bool Create(CWnd* w, MsgArgs& m) {
    m.result = (Self<T>(w)->*F)(reinterpret_cast<CREATESTRUCTW*>(m.lParam));
    return true;
}
// void F(UINT keyFlags, CPoint clientPoint): mouse buttons and moves
template <class T, void (T::*F)(UINT, CPoint)>
bool Mouse(CWnd* w, MsgArgs& m) { (Self<T>(w)->*F)(static_cast<UINT>(m.wParam), PointOf(m.lParam)); m.result = 0; return true; }
// BOOL OnMouseWheel(UINT keyFlags, short delta, CPoint screenPoint)
template <class T, BOOL (T::*F)(UINT, short, CPoint)>
bool Wheel(CWnd* w, MsgArgs& m) {
    m.result = (Self<T>(w)->*F)(GET_KEYSTATE_WPARAM(m.wParam), GET_WHEEL_DELTA_WPARAM(m.wParam), PointOf(m.lParam));
    return true;
}
// void F(UINT code, UINT pos, HWND scrollBar): WM_HSCROLL / WM_VSCROLL
template <class T, void (T::*F)(UINT, UINT, HWND)>
bool Scroll(CWnd* w, MsgArgs& m) {
    (Self<T>(w)->*F)(LOWORD(m.wParam), HIWORD(m.wParam), reinterpret_cast<HWND>(m.lParam));
    m.result = 0;
    return true;
}
// void OnSize(UINT type, int cx, int cy)
template <class T, void (T::*F)(UINT, int, int)>
bool Size(CWnd* w, MsgArgs& m) {
    (Self<T>(w)->*F)(static_cast<UINT>(m.wParam), LOWORD(m.lParam), HIWORD(m.lParam));
    m.result = 0;
    return true;
}
// void F(UINT key, UINT repeat, UINT flags): WM_KEYDOWN, WM_CHAR and their kin
template <class T, void (T::*F)(UINT, UINT, UINT)>
bool Key(CWnd* w, MsgArgs& m) {
    (Self<T>(w)->*F)(static_cast<UINT>(m.wParam), LOWORD(m.lParam), HIWORD(m.lParam));
    m.result = 0;
    return true;
}
// void OnTimer(UINT_PTR id)
template <class T, void (T::*F)(UINT_PTR)>
bool Timer(CWnd* w, MsgArgs& m) { (Self<T>(w)->*F)(m.wParam); m.result = 0; return true; }
// BOOL OnEraseBkgnd(HDC)
template <class T, BOOL (T::*F)(HDC)>
bool Erase(CWnd* w, MsgArgs& m) { m.result = (Self<T>(w)->*F)(reinterpret_cast<HDC>(m.wParam)); return true; }
// BOOL OnSetCursor(HWND, UINT hitTest, UINT mouseMessage)
template <class T, BOOL (T::*F)(HWND, UINT, UINT)>
bool Cursor(CWnd* w, MsgArgs& m) {
    m.result = (Self<T>(w)->*F)(reinterpret_cast<HWND>(m.wParam), LOWORD(m.lParam), HIWORD(m.lParam));
    return true;
}
// void OnCaptureChanged(HWND gaining): the window handle travels in lParam
template <class T, void (T::*F)(HWND)>
bool Window(CWnd* w, MsgArgs& m) { (Self<T>(w)->*F)(reinterpret_cast<HWND>(m.lParam)); m.result = 0; return true; }
// UINT OnGetDlgCode()
template <class T, UINT (T::*F)()>
bool DlgCode(CWnd* w, MsgArgs& m) { m.result = (Self<T>(w)->*F)(); return true; }
// HCURSOR OnQueryDragIcon()
template <class T, HCURSOR (T::*F)()>
bool DragIcon(CWnd* w, MsgArgs& m) { m.result = reinterpret_cast<LRESULT>((Self<T>(w)->*F)()); return true; }
// void F(NMHDR*, LRESULT* result): WM_NOTIFY rows
template <class T, void (T::*F)(NMHDR*, LRESULT*)>
bool Notify(CWnd* w, MsgArgs& m) {
    m.result = 0;
    (Self<T>(w)->*F)(reinterpret_cast<NMHDR*>(m.lParam), &m.result);
    return true;
}

}  // namespace msgthunk

#define ON_MESSAGE(msg, fn) {msg, 0, 0, &msgthunk::Raw<ThisClass, &ThisClass::fn>, true},
#define ON_COMMAND(id, fn) {WM_COMMAND, 0, static_cast<UINT>(id), &msgthunk::Void<ThisClass, &ThisClass::fn>},
#define ON_CONTROL(code, id, fn) \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), &msgthunk::Void<ThisClass, &ThisClass::fn>},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), &msgthunk::Notify<ThisClass, &ThisClass::fn>},

#define ON_WM_CREATE() {WM_CREATE, 0, 0, &msgthunk::Create<ThisClass, &ThisClass::OnCreate>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, &msgthunk::Void<ThisClass, &ThisClass::OnDestroy>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &msgthunk::Void<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_ERASEBKGND() {WM_ERASEBKGND, 0, 0, &msgthunk::Erase<ThisClass, &ThisClass::OnEraseBkgnd>},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, &msgthunk::DragIcon<ThisClass, &ThisClass::OnQueryDragIcon>},
#define ON_WM_SIZE() {WM_SIZE, 0, 0, &msgthunk::Size<ThisClass, &ThisClass::OnSize>},
#define ON_WM_HSCROLL() {WM_HSCROLL, 0, 0, &msgthunk::Scroll<ThisClass, &ThisClass::OnHScroll>},
#define ON_WM_VSCROLL() {WM_VSCROLL, 0, 0, &msgthunk::Scroll<ThisClass, &ThisClass::OnVScroll>},
#define ON_WM_MOUSEWHEEL() {WM_MOUSEWHEEL, 0, 0, &msgthunk::Wheel<ThisClass, &ThisClass::OnMouseWheel>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, &msgthunk::Timer<ThisClass, &ThisClass::OnTimer>},
#define ON_WM_SYSCOLORCHANGE() {WM_SYSCOLORCHANGE, 0, 0, &msgthunk::Void<ThisClass, &ThisClass::OnSysColorChange>},
#define ON_WM_GETDLGCODE() {WM_GETDLGCODE, 0, 0, &msgthunk::DlgCode<ThisClass, &ThisClass::OnGetDlgCode>},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, &msgthunk::Key<ThisClass, &ThisClass::OnKeyDown>},
#define ON_WM_SYSKEYDOWN() {WM_SYSKEYDOWN, 0, 0, &msgthunk::Key<ThisClass, &ThisClass::OnSysKeyDown>},
#define ON_WM_CHAR() {WM_CHAR, 0, 0, &msgthunk::Key<ThisClass, &ThisClass::OnChar>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, &msgthunk::Mouse<ThisClass, &ThisClass::OnLButtonDown>},
#define ON_WM_LBUTTONUP() {WM_LBUTTONUP, 0, 0, &msgthunk::Mouse<ThisClass, &ThisClass::OnLButtonUp>},
#define ON_WM_LBUTTONDBLCLK() {WM_LBUTTONDBLCLK, 0, 0, &msgthunk::Mouse<ThisClass, &ThisClass::OnLButtonDblClk>},
#define ON_WM_RBUTTONUP() {WM_RBUTTONUP, 0, 0, &msgthunk::Mouse<ThisClass, &ThisClass::OnRButtonUp>},
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, &msgthunk::Mouse<ThisClass, &ThisClass::OnMouseMove>},
#define ON_WM_SETCURSOR() {WM_SETCURSOR, 0, 0, &msgthunk::Cursor<ThisClass, &ThisClass::OnSetCursor>},
#define ON_WM_CAPTURECHANGED() {WM_CAPTURECHANGED, 0, 0, &msgthunk::Window<ThisClass, &ThisClass::OnCaptureChanged>},
