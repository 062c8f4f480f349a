#include "framework/Wnd.h"

#include <unordered_map>

#include "framework/Exceptions.h"
#include "framework/GbkText.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CObject)

namespace {
// Handle to object, per thread: windows belong to the thread that created them.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static thread_local std::unordered_map<HWND, CWnd*> map;
    return map;
}
}  // namespace

// The window being created by CreateEx on this thread; the CBT hook takes it for the first
// window the system creates, before that window's first message.
struct WndCreateHook {
    static thread_local CWnd* pending;
    static thread_local HHOOK hook;

    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && pending) {
            CWnd* wnd = pending;
            pending = nullptr;
            HWND hWnd = reinterpret_cast<HWND>(wParam);
            wnd->AttachHandle(hWnd);
            WNDPROC old = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::FrameworkWndProc)));
            wnd->m_superProc = (old == &CWnd::FrameworkWndProc) ? nullptr : old;
        }
        return CallNextHookEx(hook, code, wParam, lParam);
    }

};
thread_local CWnd* WndCreateHook::pending = nullptr;
thread_local HHOOK WndCreateHook::hook = nullptr;

CWndCreateScope::CWndCreateScope(CWnd* wnd) : m_previous(WndCreateHook::pending), m_previousHook(WndCreateHook::hook) {
    WndCreateHook::pending = wnd;
    WndCreateHook::hook = SetWindowsHookExW(WH_CBT, &WndCreateHook::CbtProc, nullptr, GetCurrentThreadId());
}

CWndCreateScope::~CWndCreateScope() {
    if (WndCreateHook::hook) UnhookWindowsHookEx(WndCreateHook::hook);
    WndCreateHook::pending = m_previous;
    WndCreateHook::hook = m_previousHook;
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (!m_hWnd) return;
    // The object goes first: hand the window back to its own procedure, then destroy it.
    HWND hWnd = m_hWnd;
    if (m_superProc && ::IsWindow(hWnd))
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    m_superProc = nullptr;
    DetachHandle();
    if (::IsWindow(hWnd)) ::DestroyWindow(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto& map = HandleMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

void CWnd::AttachHandle(HWND hWnd) {
    m_hWnd = hWnd;
    m_ncDestroyed = false;
    HandleMap()[hWnd] = this;
}

void CWnd::DetachHandle() {
    if (!m_hWnd) return;
    auto& map = HandleMap();
    auto it = map.find(m_hWnd);
    if (it != map.end() && it->second == this) map.erase(it);
    m_hWnd = nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    AttachHandle(hWnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    DetachHandle();
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) return FALSE;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProc)));
    if (!old) {
        DetachHandle();
        return FALSE;
    }
    m_superProc = (old == &FrameworkWndProc) ? nullptr : old;
    OnSubclassed();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND hWnd = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
    return hWnd ? SubclassWindow(hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    WNDPROC restore = m_superProc ? m_superProc : &::DefWindowProcW;
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(restore));
    m_superProc = nullptr;
    return Detach();
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR idOrMenu, void* param) {
    if (m_hWnd) return FALSE;
    HWND hWnd;
    {
        CWndCreateScope scope(this);
        hWnd = ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(idOrMenu), AfxGetInstanceHandle(), param);
    }
    if (!hWnd) {
        // Creation failed after the hook had linked us (WM_NCCREATE or WM_CREATE said no).
        DetachHandle();
        m_superProc = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_superProc) return ::CallWindowProcW(m_superProc, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::Default() {
    if (!m_current) return 0;
    return DefWindowProc(m_current->message, m_current->wParam, m_current->lParam);
}

const MsgMap* CWnd::GetThisMessageMap() {
    static const MsgMapEntry entries[] = {{0, 0, 0, nullptr}};
    static const MsgMap map = {nullptr, entries};
    return &map;
}

const MsgMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

bool CWnd::OnWndMsg(MsgArgs& m) {
    UINT code = 0, id = 0;
    if (m.message == WM_COMMAND) {
        code = HIWORD(m.wParam);
        id = LOWORD(m.wParam);
    } else if (m.message == WM_NOTIFY) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
        if (!hdr) return false;
        code = hdr->code;
        id = static_cast<UINT>(hdr->idFrom);
    }
    const bool keyed = m.message == WM_COMMAND || m.message == WM_NOTIFY;
    for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MsgMapEntry* e = map->entries; e->message; ++e) {
            if (e->message != m.message) continue;
            if (keyed && !e->anyCode && (e->code != code || e->id != id)) continue;
            return e->thunk(this, m);
        }
    }
    return false;
}

bool CWnd::ReflectToChild(MsgArgs& m) {
    if (m.message != WM_COMMAND || !m.lParam) return false;
    const HWND from = reinterpret_cast<HWND>(m.lParam);
    if (::GetParent(from) != m_hWnd) return false;
    CWnd* child = FromHandlePermanent(from);
    return child && child->OnChildNotify(m.message, m.wParam, m.lParam, &m.result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    MsgArgs m{msg, wParam, lParam, 0};
    MsgArgs* outer = m_current;
    m_current = &m;
    struct Restore {
        CWnd* w;
        MsgArgs* outer;
        ~Restore() { w->m_current = outer; }
    } restore{this, outer};
    if (ReflectToChild(m)) return m.result;
    if (!OnWndMsg(m)) m.result = DefWindowProc(msg, wParam, lParam);
    return m.result;
}

LRESULT CALLBACK CWnd::FrameworkWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (!wnd) return ::DefWindowProcW(hWnd, msg, wParam, lParam);

    ++wnd->m_dispatchDepth;
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(msg, wParam, lParam);
    } catch (...) {
        // No exception crosses the window procedure; the message counts as handled.
        result = 0;
    }
    if (msg == WM_NCDESTROY) {
        // The window is gone: unhook the object; it may be deleted once dispatch unwinds.
        if (wnd->m_superProc) SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->m_superProc));
        wnd->m_superProc = nullptr;
        wnd->DetachHandle();
        wnd->m_ncDestroyed = true;
    }
    if (--wnd->m_dispatchDepth == 0 && wnd->m_ncDestroyed) {
        wnd->m_ncDestroyed = false;
        wnd->PostNcDestroy();  // may delete wnd
    }
    return result;
}

namespace {
BOOL ChangeStyleWord(HWND hWnd, int index, DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = static_cast<DWORD>(::GetWindowLongW(hWnd, index)), changed = (style & ~remove) | add;
    if (style == changed) return FALSE;
    ::SetWindowLongW(hWnd, index, static_cast<LONG>(changed));
    if (swpFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ChangeStyleWord(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    return ChangeStyleWord(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

void CWnd::ScreenToClient(RECT* r) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2);
}

void CWnd::ClientToScreen(RECT* r) const {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(r), 2);
}

void CWnd::SetWindowText(const std::string& gbkText) {
    std::wstring wide = gbk::ToWide(gbkText);
    ::SetWindowTextW(m_hWnd, wide.c_str());
}

std::string CWnd::GetWindowText() const {
    int n = ::GetWindowTextLengthW(m_hWnd);
    std::wstring wide(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(m_hWnd, &wide[0], n + 1);
    wide.resize(static_cast<size_t>(n > 0 ? n : 0));
    return gbk::FromWide(wide);
}

BOOL CWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) const {
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, bar, info);
}

BOOL CWnd::SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw) {
    info->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, bar, info, redraw);
    return TRUE;
}

HWND CWnd::GetOwnerOrParent() const {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    return owner ? owner : ::GetParent(m_hWnd);
}
