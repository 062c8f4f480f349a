// The storm: a grid in a top-level window driven by a seeded random stream of real messages
// (presses, moves, releases, double and right clicks, keys and characters into the grid and
// its editors, the wheel, scroll bar requests, clicks on the pop-ups the grid opens) and of
// an owner's calls (resizes, counts, merges, sorts, the clipboard, cell classes, settings).
// After every batch the invariants are checked; any broken one, crash or hang names the
// seed and the message, so that the run can be replayed.
//
//   grid_storm.exe [--messages=N] [--seed=S] [--batch=B]   (CTest: 20,000 with a fixed seed;
//   checks every B = 500 messages, every one with B = 1 to find the message that breaks one;
//   --verbose prints the resources counted at each check)
//
// A replay is deterministic except where the platform reads the clock (a double click on
// the title tip): the auto-scroll timer is fired by the storm itself, never by the clock.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/MessageLoop.h"
#include "framework/System.h"
#include "grid/cells/CellEditorBase.h"
#include "grid/cells/GridCellCheck.h"
#include "grid/cells/GridCellCombo.h"
#include "grid/cells/GridCellDateTime.h"
#include "grid/cells/GridCellNumeric.h"
#include "grid/cells/GridURLCell.h"
#include "tests/grid/GridTestSupport.h"

namespace {
long long g_messages = 20000;
uint32_t g_seed = 0x15C0FFEE;
long long g_batch = 500;  // messages between checks (1 narrows a failure down to its message)
bool g_verbose = false;  // prints the resources counted at every check
// GDI objects (and kernel handles) the counts may vary by once the run has settled: a cache
// the platform fills late, a font the grid hands out.
constexpr long kGdiSlack = 8;

// What the crash and hang reports name: the message being handled and what it was.
std::atomic<long long> g_index{0};
std::atomic<const char*> g_doing{"start"};
// The last mouse message's window class, for the report.
char g_target[32] = "";
// Messages dispatched by the storm's own loop: still while a platform's modal loop runs.
std::atomic<long long> g_dispatched{0};
// Times the watchdog let go of the buttons for a user inside a modal loop.
std::atomic<long> g_rescues{0};
DWORD g_thread = 0;

void Report(const char* what) {
    std::fprintf(stderr, "storm: seed %" PRIu32 ", message %lld (%s, last mouse message to %s): %s\n", g_seed,
                 g_index.load(), g_doing.load(), g_target, what);
    std::fflush(stderr);
}

// A modal loop of the platform's (a scroll bar's tracking, a right press on a caption, a
// menu) waits for the user: after half a second the user's hand lets go of the buttons and
// presses Esc, and the storm goes on. No progress at all for a minute is a hang.
void Watchdog() {
    long long last = -1;
    for (int still = 0;; std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
        const long long now = g_dispatched.load();
        still = now == last && std::string(g_doing.load()) != "end" ? still + 1 : 0;
        last = now;
        GUITHREADINFO info{sizeof(info)};
        if (still > 0 && still % 5 == 0 && ::GetGUIThreadInfo(g_thread, &info)) {
            for (UINT up : {WM_LBUTTONUP, WM_RBUTTONUP})
                if (info.hwndCapture) ::PostMessageW(info.hwndCapture, up, 0, 0);
            if (info.hwndMenuOwner) ::PostMessageW(info.hwndMenuOwner, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostThreadMessageW(g_thread, WM_NULL, 0, 0);
            ++g_rescues;
        }
        if (still >= 600) {
            char what[160];
            char capture[32] = "";
            if (info.hwndCapture) ::GetClassNameA(info.hwndCapture, capture, sizeof capture);
            std::snprintf(what, sizeof what, "hang: no progress for 60 s (thread flags %lx, capture %s, menu owner %p)",
                          info.flags, capture, static_cast<void*>(info.hwndMenuOwner));
            Report(what);
            ::TerminateProcess(::GetCurrentProcess(), 3);
        }
    }
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* e) {
    char what[64];
    std::snprintf(what, sizeof what, "crash, exception %08lX", e->ExceptionRecord->ExceptionCode);
    Report(what);
    return EXCEPTION_EXECUTE_HANDLER;
}

class Random {
public:
    explicit Random(uint32_t seed) : m_s(seed ? seed : 1) {}
    uint32_t Next() {
        m_s ^= m_s << 13;
        m_s ^= m_s >> 17;
        m_s ^= m_s << 5;
        return m_s;
    }
    int Below(int n) { return n > 0 ? static_cast<int>(Next() % static_cast<uint32_t>(n)) : 0; }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Percent(int p) { return Below(100) < p; }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(static_cast<int>(N))]; }

private:
    uint32_t m_s;
};

const CRuntimeClass* const kClasses[] = {RUNTIME_CLASS(CGridCell),         RUNTIME_CLASS(CGridCellCheck),
                                         RUNTIME_CLASS(CGridCellCombo),    RUNTIME_CLASS(CGridCellDateTime),
                                         RUNTIME_CLASS(CGridCellNumeric), RUNTIME_CLASS(CGridURLCell)};
const char* const kTexts[] = {"", "a", "甲乙", "10", "9", "www.example.com", "see http://example.org/x now",
                              "a longer text that does not fit its cell", "中文字", "1\t2", "mailto:x@example.com"};

// A menu's modal loop (an edit control's context menu) would wait for a user: it closes as
// soon as it starts, and the storm goes on.
LRESULT CALLBACK CloseMenus(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU) ::EndMenu();
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Ours(HWND w) { return w && ::IsWindow(w) && ::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId(); }

// The owner: answers every notification, now and then with a veto of an edit.
class StormParent : public CWnd {
public:
    Random* random = nullptr;
    long edits = 0, edited = 0, clicks = 0;  // begin-edit, end-edit and click notifications
    BOOL Create() {
        AfxRegisterClassOnce(L"GridStormParent", 0, nullptr);
        return CreateEx(0, L"GridStormParent", L"storm", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                        CRect(0, 0, 640, 480), nullptr, 0);
    }

protected:
    LRESULT OnNotify(WPARAM, LPARAM lParam) {
        const int code = static_cast<int>(reinterpret_cast<const NMHDR*>(lParam)->code);
        edits += code == GRID_NOTIFY_BEGINEDIT;
        edited += code == GRID_NOTIFY_ENDEDIT;
        clicks += code == int(NM_CLICK) || code == int(NM_DBLCLK) || code == int(NM_RCLICK);
        const bool edit = code == GRID_NOTIFY_BEGINEDIT || code == GRID_NOTIFY_ENDEDIT;
        return edit && random->Percent(5) ? -1 : 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(StormParent, CWnd)
ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

// What may not grow: GDI objects, the thread's windows (open editors and their lists
// aside), the process's kernel handles.
struct Resources {
    long gdi = 0, windows = 0, handles = 0;
};

std::string g_windowClasses;  // the classes of the windows counted last, for the report

// Whether `w` is an open editor, one of its parts or a pop-up it owns (a dropped list, a
// calendar): those are counted by the editor checks, not here.
bool PartOfEditor(HWND w) {
    for (HWND at = w; at; at = ::GetParent(at))  // a pop-up's parent is its owner
        if (::GetDlgCtrlID(at) == static_cast<int>(INPLACE_EDITOR_ID) && (::GetWindowLongW(at, GWL_STYLE) & WS_CHILD))
            return true;
    return false;
}

void CountWindows(HWND w, long* n) {
    if (PartOfEditor(w)) return;
    char cls[32] = {};
    ::GetClassNameA(w, cls, sizeof cls);
    // Only editors make dropped lists and calendars here, which may be owned by no window.
    if (lstrcmpA(cls, "ComboLBox") == 0 || lstrcmpA(cls, "SysMonthCal32") == 0) return;
    g_windowClasses += std::string(cls) + " ";
    ++*n;
    for (HWND c = ::GetWindow(w, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) CountWindows(c, n);
}

BOOL CALLBACK CountThreadWindow(HWND w, LPARAM n) {
    CountWindows(w, reinterpret_cast<long*>(n));
    return TRUE;
}

// The pop-ups the grid opens: dropped lists and the title tip.
BOOL CALLBACK CollectPopup(HWND w, LPARAM out) {
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (::IsWindowVisible(w) && (lstrcmpW(cls, L"ComboLBox") == 0 || lstrcmpW(cls, L"ZTitleTip") == 0))
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
    return TRUE;
}

Resources Measure() {
    Resources r;
    r.gdi = LiveGdiObjects();
    g_windowClasses.clear();
    ::EnumThreadWindows(::GetCurrentThreadId(), CountThreadWindow, reinterpret_cast<LPARAM>(&r.windows));
    DWORD handles = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &handles)) r.handles = static_cast<long>(handles);
    return r;
}

class Storm {
public:
    Storm() : m_random(g_seed) {}
    // Runs `count` messages; returns what broke (empty when nothing did).
    std::string Run(long long count);

private:
    struct Action {
        int weight;
        const char* name;
        void (Storm::*run)();
    };
    static const Action kActions[];
    static const Action kEditorActions[];

    // ---- the platform's side ----
    void Pump();
    void SetKeys(bool ctrl, bool shift) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
        keys[VK_LBUTTON] = m_buttonDown ? 0x80 : 0;
        ::SetKeyboardState(keys);
        m_keys = (ctrl ? MK_CONTROL : 0) | (shift ? MK_SHIFT : 0) | (m_buttonDown ? MK_LBUTTON : 0);
    }
    void RandomKeys() { SetKeys(m_random.Percent(15), m_random.Percent(20)); }
    // One mouse message at a screen point, to the window that would get it.
    void Mouse(UINT message, POINT screen);
    void MouseAtGridPoint(UINT message, CPoint client) {
        m_grid.ClientToScreen(&client);
        Mouse(message, client);
    }
    CPoint GridPoint();
    void Key(UINT vk);
    HWND FocusTarget() {
        const HWND focus = ::GetFocus();
        return Ours(focus) ? focus : m_grid.m_hWnd;
    }
    int Row() { return m_random.Below(std::max(1, m_grid.GetRowCount())); }
    int Col() { return m_random.Below(std::max(1, m_grid.GetColumnCount())); }

    // ---- actions ----
    void Press() {
        if (m_buttonDown) return Release();
        RandomKeys();
        MouseAtGridPoint(WM_LBUTTONDOWN, GridPoint());
    }
    void Move() {
        RandomKeys();
        MouseAtGridPoint(WM_MOUSEMOVE, GridPoint());
    }
    void Release() {
        RandomKeys();
        m_buttonDown = false;
        MouseAtGridPoint(WM_LBUTTONUP, m_random.Percent(70) ? m_lastPoint : GridPoint());
    }
    void DoubleClick() {
        const CPoint p = GridPoint();
        RandomKeys();
        for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) MouseAtGridPoint(m, p);
    }
    void RightClick() {
        const CPoint p = GridPoint();
        RandomKeys();
        MouseAtGridPoint(WM_RBUTTONDOWN, p);
        MouseAtGridPoint(WM_RBUTTONUP, p);
    }
    void PressKey();
    void TypeCharacter() {
        static const UINT chars[] = {'a', 'Z', '7', ' ', 0x4E2D, VK_BACK, VK_TAB, VK_RETURN, VK_ESCAPE, VK_NEXT};
        SetKeys(false, m_random.Percent(20));
        Post(FocusTarget(), WM_CHAR, m_random.Pick(chars), 1);
    }
    void Wheel() {
        RandomKeys();
        CPoint p = GridPoint();
        m_grid.ClientToScreen(&p);
        const short delta = static_cast<short>(WHEEL_DELTA * (m_random.Percent(50) ? 1 : -1) * m_random.Between(1, 3));
        Post(FocusTarget(), WM_MOUSEWHEEL, MAKEWPARAM(m_keys, delta), MAKELPARAM(p.x, p.y));
    }
    void ScrollRequest() {
        const UINT code = static_cast<UINT>(m_random.Below(SB_ENDSCROLL + 1));
        Post(m_grid.m_hWnd, m_random.Percent(50) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, m_random.Below(400)), 0);
    }
    void FireTimer() {
        if (m_grid.AutoScrollTimer) Post(m_grid.m_hWnd, WM_TIMER, AUTOSCROLL_TIMER_ID, 0);
    }
    void ClickPopup();
    void Resize() {
        m_grid.MoveWindow(CRect(0, 0, m_random.Percent(5) ? m_random.Below(8) : m_random.Between(40, 600),
                                m_random.Percent(5) ? m_random.Below(8) : m_random.Between(30, 440)),
                          TRUE);
    }
    void Rows() { m_grid.SetRowCount(m_random.Percent(3) ? 0 : m_random.Between(1, 60)); }
    void Columns() { m_grid.SetColumnCount(m_random.Percent(3) ? 0 : m_random.Between(1, 16)); }
    void FixedRows() { m_grid.SetFixedRowCount(m_random.Below(4)); }
    void FixedColumns() { m_grid.SetFixedColumnCount(m_random.Below(4)); }
    void Merge() {
        const int r = Row(), c = Col();
        m_grid.MergeCells(r, c, r + m_random.Below(3), c + m_random.Below(3));
    }
    void Sort() { m_grid.SortByColumn(Col(), m_random.Percent(50)); }
    void EditCommand() {
        static const UINT ids[] = {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_SELECT_ALL};
        Post(m_grid.m_hWnd, WM_COMMAND, MAKEWPARAM(m_random.Pick(ids), m_random.Below(2)), 0);
    }
    void PutTextOnClipboard();
    void Retype() { Dress(Row(), Col(), m_random.Pick(kClasses)); }
    // Gives (r, c) class `cls` with what that class shows: options, a moment, a tick, a link.
    void Dress(int r, int c, const CRuntimeClass* cls);
    void ChangeCellClass() { m_grid.CellClass = m_random.Pick(kClasses); }
    void SetText() { m_grid.SetCellText(Row(), Col(), m_random.Pick(kTexts)); }
    void ToggleReadOnly() {
        const int r = Row(), c = Col();
        m_grid.SetCellState(r, c, m_grid.GetCellState(r, c) ^ CELL_READONLY);
    }
    void ToggleSetting() {
        BOOL* settings[] = {&m_grid.Editable,         &m_grid.WholeRowSelect,      &m_grid.SingleRowSelect,
                            &m_grid.SingleColumnSelect, &m_grid.SelectionEnabled,   &m_grid.SortOnHeaderClick,
                            &m_grid.RowHeaderSelects, &m_grid.ColumnHeaderSelects, &m_grid.HandleTabKey,
                            &m_grid.TitleTipsEnabled, &m_grid.DoubleBuffered,      &m_grid.ColumnResizeEnabled,
                            &m_grid.RowResizeEnabled, &m_grid.ColumnsHideable,     &m_grid.RowsHideable};
        BOOL* setting = m_random.Pick(settings);
        *setting = !*setting;
    }
    void LineSize() {
        if (m_random.Percent(50))
            m_grid.SetRowHeight(Row(), m_random.Percent(10) ? 0 : m_random.Between(5, 40));
        else
            m_grid.SetColumnWidth(Col(), m_random.Percent(10) ? 0 : m_random.Between(5, 120));
    }
    void AutoSize() {
        if (m_random.Percent(50))
            m_grid.AutoSizeColumn(Col());
        else
            m_grid.AutoSizeRow(Row());
    }
    void OwnerFocusAndEdit() {
        if (m_random.Percent(50)) return (void)m_grid.MoveFocusTo(Row(), Col());
        const CGridCellId f = m_grid.GetFocusCell();
        m_grid.StartCellEdit(f.row, f.col, CPoint(-1, -1), VK_LBUTTON);
    }
    void OwnerSelection() {
        switch (m_random.Below(3)) {
            case 0: m_grid.SelectRange(Row(), Col(), Row(), Col(), m_random.Percent(50)); break;
            case 1: m_grid.ClearSelection(); break;
            default: m_grid.EndEditing(); break;
        }
    }
    void FocusElsewhere() { ::SetFocus(m_random.Percent(50) ? m_parent.m_hWnd : m_grid.m_hWnd); }
    void ChangeFont() {
        m_grid.SendMessage(WM_SETFONT,
                           reinterpret_cast<WPARAM>(::GetStockObject(m_random.Percent(50) ? DEFAULT_GUI_FONT : SYSTEM_FONT)),
                           TRUE);
    }
    void RemoveAll() { m_grid.RemoveAllCells(); }

    void Post(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
        ++m_sent;
        ::PostMessageW(w, message, wParam, lParam);
        Pump();
    }
    void Build();
    // Makes what the platform makes once on first use (each editor, an edit control's
    // context menu, the title tip, the clipboard's data), then takes the baseline of the
    // resources.
    void WarmUp();
    std::string CheckInvariants();
    std::string CheckCells();
    std::string CheckScrollBars();

    Random m_random;
    StormParent m_parent;
    CGridCtrl m_grid;
    const char* m_last = "";    // the last action's name
    long long m_sent = 0;       // messages posted and owner calls made so far
    bool m_buttonDown = false;  // the storm's left button
    UINT m_keys = 0;            // MK_ flags of the keys held now
    CPoint m_lastPoint;         // grid client point of the last mouse message
    Resources m_baseline;       // the highest counts while the run settles
    Resources m_peak;           // the highest counts after it has settled
    long long m_settleBy = 0;   // where it has settled
    long m_popupClicks = 0;     // mouse messages sent to an editor, a dropped list or the tip
};

const Storm::Action Storm::kActions[] = {
    {12, "press", &Storm::Press},          {16, "move", &Storm::Move},
    {10, "release", &Storm::Release},      {3, "double click", &Storm::DoubleClick},
    {3, "right click", &Storm::RightClick}, {22, "key", &Storm::PressKey},
    {6, "character", &Storm::TypeCharacter}, {3, "wheel", &Storm::Wheel},
    {4, "scroll bar", &Storm::ScrollRequest}, {2, "timer", &Storm::FireTimer},
    {4, "pop-up", &Storm::ClickPopup},     {2, "resize", &Storm::Resize},
    {2, "rows", &Storm::Rows},             {2, "columns", &Storm::Columns},
    {1, "fixed rows", &Storm::FixedRows},  {1, "fixed columns", &Storm::FixedColumns},
    {2, "merge", &Storm::Merge},           {2, "sort", &Storm::Sort},
    {3, "edit command", &Storm::EditCommand}, {1, "clipboard text", &Storm::PutTextOnClipboard},
    {3, "cell class", &Storm::Retype},     {1, "new cells' class", &Storm::ChangeCellClass},
    {2, "text", &Storm::SetText},          {1, "read-only", &Storm::ToggleReadOnly},
    {1, "setting", &Storm::ToggleSetting}, {2, "line size", &Storm::LineSize},
    {1, "autosize", &Storm::AutoSize},     {2, "owner focus or edit", &Storm::OwnerFocusAndEdit},
    {2, "owner selection", &Storm::OwnerSelection}, {1, "focus elsewhere", &Storm::FocusElsewhere},
    {1, "font", &Storm::ChangeFont},       {1, "remove all", &Storm::RemoveAll},
};

const Storm::Action Storm::kEditorActions[] = {
    {5, "key", &Storm::PressKey}, {3, "character", &Storm::TypeCharacter}, {4, "pop-up", &Storm::ClickPopup}};

void Storm::Pump() {
    MSG msg;
    for (int n = 0; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (n > 100000) {
            Report("hang: the queue never empties");
            ::ExitProcess(3);
        }
        // The storm fires the auto-scroll itself, so that a replay does not depend on the clock.
        if (msg.message == WM_TIMER && msg.wParam == AUTOSCROLL_TIMER_ID) continue;
        ++g_dispatched;
        if (AfxPreTranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Storm::Mouse(UINT message, POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) m_buttonDown = true;
    if (message == WM_LBUTTONUP) m_buttonDown = false;
    SetKeys((m_keys & MK_CONTROL) != 0, (m_keys & MK_SHIFT) != 0);
    HWND target = ::GetCapture();
    if (!Ours(target)) target = ::WindowFromPoint(screen);
    if (!Ours(target)) target = m_grid.m_hWnd;
    POINT client = screen;
    ::ScreenToClient(target, &client);
    ::GetClassNameA(target, g_target, sizeof g_target);
    CPoint inGrid = screen;
    m_grid.ScreenToClient(&inGrid);
    m_lastPoint = inGrid;
    Post(target, message, m_keys, MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y)));
}

CPoint Storm::GridPoint() {
    CRect client;
    m_grid.GetClientRect(&client);
    // Over an open editor often: its parts get the mouse too.
    CRect editor;
    if (HWND open = ::GetDlgItem(m_grid.m_hWnd, INPLACE_EDITOR_ID); open && m_random.Percent(30) && ::GetWindowRect(open, &editor)) {
        m_grid.ScreenToClient(&editor);
        return CPoint(m_random.Between(editor.left, editor.right), m_random.Between(editor.top, editor.bottom));
    }
    // A boundary in the headers (to resize) now and then; else anywhere, a little beyond the
    // edges too (for the auto-scroll).
    if (m_random.Percent(15)) {
        int x = 0, y = 0;
        if (m_random.Percent(50) && m_grid.ColumnLeft(Col(), &x))
            return CPoint(x + m_random.Between(-3, 3), m_random.Below(std::max(1, m_grid.FixedRowsHeight())));
        if (m_grid.RowTop(Row(), &y))
            return CPoint(m_random.Below(std::max(1, m_grid.FixedColumnsWidth())), y + m_random.Between(-3, 3));
    }
    return CPoint(m_random.Between(-20, client.right + 20), m_random.Between(-20, client.bottom + 20));
}

void Storm::Key(UINT vk) {
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    Post(FocusTarget(), WM_KEYDOWN, vk, MAKELPARAM(1, scan));
    // The release goes where the focus is now, as a real one would.
    Post(FocusTarget(), WM_KEYUP, vk, MAKELPARAM(1, scan | KF_UP | KF_REPEAT));
}

void Storm::PressKey() {
    static const UINT keys[] = {VK_LEFT, VK_RIGHT, VK_UP,     VK_DOWN,   VK_PRIOR, VK_NEXT, VK_HOME, VK_END,
                                VK_TAB,  VK_RETURN, VK_ESCAPE, VK_DELETE, VK_F2,    VK_INSERT, 'C',   'X',
                                'V',     'A',      'Q',       '5',       VK_BACK,  VK_SPACE};
    // Into an open editor mostly what ends it or types.
    static const UINT editing[] = {VK_TAB, VK_RETURN, VK_ESCAPE, 'Q', '5', VK_LEFT, VK_DOWN, VK_BACK};
    const bool editorOpen = ::GetDlgItem(m_grid.m_hWnd, INPLACE_EDITOR_ID) != nullptr;
    RandomKeys();
    Key(editorOpen && m_random.Percent(60) ? m_random.Pick(editing) : m_random.Pick(keys));
}

void Storm::ClickPopup() {
    // The open editor, its parts and its dropped list, or the title tip.
    std::vector<HWND> popups;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectPopup, reinterpret_cast<LPARAM>(&popups));
    if (HWND editor = ::GetDlgItem(m_grid.m_hWnd, INPLACE_EDITOR_ID)) {
        popups.push_back(editor);
        for (HWND c = ::GetWindow(editor, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) popups.push_back(c);
    }
    if (popups.empty()) return Move();
    const HWND target = popups[static_cast<size_t>(m_random.Below(static_cast<int>(popups.size())))];
    ++m_popupClicks;
    CRect rect;
    ::GetWindowRect(target, &rect);
    const POINT p = {m_random.Between(rect.left, std::max(rect.left, rect.right - 1)),
                     m_random.Between(rect.top, std::max(rect.top, rect.bottom - 1))};
    RandomKeys();
    static const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK};
    Mouse(m_random.Pick(messages), p);
}

void Storm::PutTextOnClipboard() {
    std::wstring text;
    for (int r = m_random.Between(1, 3); r > 0; --r) {
        for (int c = m_random.Between(1, 3); c > 0; --c) text += c > 1 ? L"x\t" : L"\x4E2D";
        text += L"\r\n";
    }
    if (!::OpenClipboard(m_parent.m_hWnd)) return;
    ::EmptyClipboard();
    if (HGLOBAL block = AfxGlobalFromBytes(text.c_str(), (text.size() + 1) * sizeof(wchar_t), GMEM_MOVEABLE))
        if (!::SetClipboardData(CF_UNICODETEXT, block)) ::GlobalFree(block);
    ::CloseClipboard();
}

void Storm::Dress(int r, int c, const CRuntimeClass* cls) {
    if (!m_grid.SetCellType(r, c, cls)) return;
    CGridCellBase* cell = m_grid.GetCell(r, c);
    if (auto* combo = dynamic_cast<CGridCellCombo*>(cell)) {
        combo->SetOptions({"甲", "乙", "alpha", "10", "1"});
        combo->SetComboStyle(m_random.Percent(50) ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
    } else if (auto* date = dynamic_cast<CGridCellDateTime*>(cell)) {
        date->SetTime(static_cast<int64_t>(m_random.Next()) * 16);
    } else if (auto* check = dynamic_cast<CGridCellCheck*>(cell)) {
        check->SetCheck(m_random.Percent(50));
    } else if (dynamic_cast<CGridURLCell*>(cell)) {
        cell->SetText(m_random.Percent(50) ? "www.example.com" : "open http://example.org/x now");
    }
}

void Storm::Build() {
    m_parent.random = &m_random;
    ASSERT_TRUE(m_parent.Create());
    ASSERT_TRUE(m_grid.Create(CRect(0, 0, 460, 340), &m_parent, GRID_ID, WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    m_grid.SetColumnCount(10);
    m_grid.SetRowCount(30);
    m_grid.SetFixedRowCount(1);
    m_grid.SetFixedColumnCount(1);
    // Every class in every column, and on the headers too.
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 10; ++c) {
            m_grid.SetCellText(r, c, m_random.Pick(kTexts));
            Dress(r, c, kClasses[(r + c) % 6]);
        }
    m_grid.SetFocus();
    Pump();
}

void Storm::WarmUp() {
    m_grid.SetColumnWidth(1, 30);
    for (const CRuntimeClass* cls : kClasses) {
        Dress(1, 1, cls);
        m_grid.SetCellText(1, 1, "a text far too long for its cell");
        m_grid.MoveFocusTo(1, 1);
        m_grid.StartCellEdit(1, 1, CPoint(-1, -1), VK_LBUTTON);
        Pump();
        if (HWND editor = ::GetDlgItem(m_grid.m_hWnd, INPLACE_EDITOR_ID)) {
            CRect rect;
            ::GetWindowRect(editor, &rect);
            const POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            Mouse(WM_RBUTTONDOWN, middle);
            Mouse(WM_RBUTTONUP, middle);
        }
        Key(VK_ESCAPE);
        CPoint origin;
        if (m_grid.CellOrigin(1, 1, &origin)) MouseAtGridPoint(WM_MOUSEMOVE, CPoint(origin.x + 10, origin.y + 5));
        MouseAtGridPoint(WM_MOUSEMOVE, CPoint(1, 1));
    }
    // The system's cursors are made on first use, and the window manager keeps the device
    // contexts it hands out for use again: both are made here, ahead of the count.
    for (const wchar_t* cursor : {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_SIZEWE, IDC_SIZENS, IDC_HAND, IDC_APPSTARTING})
        ::LoadCursorW(nullptr, cursor);
    std::vector<HDC> contexts;
    for (HWND w : {m_grid.m_hWnd, m_parent.m_hWnd})
        for (int i = 0; i < 8; ++i) contexts.push_back(::GetDC(w));
    for (size_t i = 0; i < contexts.size(); ++i) ::ReleaseDC(i < 8 ? m_grid.m_hWnd : m_parent.m_hWnd, contexts[i]);
    m_grid.SelectRange(1, 1, 2, 2);
    m_grid.CopyToClipboard();
    m_grid.PasteFromClipboard();
    Pump();
    m_baseline = Measure();
    m_sent = 0;
}

std::string Storm::Run(long long count) {
    Build();
    if (::testing::Test::HasFatalFailure()) return "the grid could not be made";
    WarmUp();
    // A short run settles over its first half (the platform's caches fill within about
    // 10,000 messages), a long one over its first quarter.
    m_settleBy = std::max({count / 4, std::min<long long>(count / 2, 10000), g_batch});
    long long sum = 0, editorSum = 0;
    for (const Action& a : kActions) sum += a.weight;
    for (const Action& a : kEditorActions) editorSum += a.weight;
    while (m_sent < count) {
        // A batch: messages posted, or an owner's call where an action posts none.
        for (const long long batchEnd = m_sent + g_batch; m_sent < batchEnd;) {
            g_index = m_sent;
            // While an editor is open, often something for it: keys, characters, its pop-ups.
            const bool forEditor = ::GetDlgItem(m_grid.m_hWnd, INPLACE_EDITOR_ID) && m_random.Percent(40);
            const Action* table = forEditor ? kEditorActions : kActions;
            int pick = m_random.Below(static_cast<int>(forEditor ? editorSum : sum));
            const Action* action = table;
            while (pick >= action->weight) pick -= (action++)->weight;
            g_doing = m_last = action->name;
            const long long before = m_sent;
            (this->*action->run)();
            Pump();
            if (m_sent == before) ++m_sent;
        }
        // The invariants hold once the button is up and the queue is empty.
        g_doing = "release before the checks";
        if (m_buttonDown) Release();
        SetKeys(false, false);
        // A release that went to another window (over it, no capture held) reaches the grid
        // as the next move over it; none comes while another window holds the capture.
        CRect client;
        m_grid.GetClientRect(&client);
        if (m_grid.LeftButtonDown && !Ours(::GetCapture()) && !client.IsRectEmpty())
            Post(m_grid.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.right / 2, client.bottom / 2));
        g_doing = "checks";
        std::string broken = CheckInvariants();
        if (!broken.empty()) return "after " + std::string(m_last) + ": " + broken;
    }
    std::printf("storm: most GDI objects, windows and kernel handles while settling %ld, %ld, %ld; after it "
                "%ld, %ld, %ld\n",
                m_baseline.gdi, m_baseline.windows, m_baseline.handles, m_peak.gdi, m_peak.windows, m_peak.handles);
    std::printf("storm: %ld edits begun, %ld ended, %ld clicks notified, %ld mouse messages to editors and pop-ups, "
                "%ld modal loops let go of\n",
                m_parent.edits, m_parent.edited, m_parent.clicks, m_popupClicks, g_rescues.load());
    return std::string();
}

std::string Storm::CheckInvariants() {
    std::string broken = CheckCells() + CheckScrollBars();
    std::ostringstream out;
    const CGridCellId focus = m_grid.GetFocusCell();
    if (focus != CGridCellId() && !m_grid.IsValidCell(focus))
        out << "focus cell " << focus.row << "," << focus.col << " outside the counts; ";
    // Idle, or hovering over a boundary; the press forgotten unless another window holds the
    // capture (the grid hears of the release only through its next move).
    const GridMouseState state = m_grid.MouseState;
    const bool hoverOrIdle = state == MS_IDLE || state == MS_AT_COLUMN_EDGE || state == MS_AT_ROW_EDGE;
    CRect client;
    m_grid.GetClientRect(&client);
    const bool releaseUnheard = Ours(::GetCapture()) || client.IsRectEmpty();
    if ((!hoverOrIdle && !m_grid.LeftButtonDown) || (m_grid.LeftButtonDown && !releaseUnheard) ||
        m_grid.AutoScrollTimer || ::GetCapture() == m_grid.m_hWnd)
        out << "mouse not idle with the button up: state " << state << ", button " << m_grid.LeftButtonDown
            << ", timer " << m_grid.AutoScrollTimer << "; ";
    // Editors: one at most, on a cell that is editing; every editing cell has its editor.
    std::vector<CGridCellId> edited;
    for (HWND c = ::GetWindow(m_grid.m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        auto* editor = dynamic_cast<CCellEditorBase*>(CWnd::FromHandlePermanent(c));
        if (!editor) continue;
        edited.emplace_back(editor->Row(), editor->Column());
        if (!m_grid.IsCellEditing(editor->Row(), editor->Column()))
            out << "editor of " << editor->Row() << "," << editor->Column() << " outlives its cell; ";
    }
    if (edited.size() > 1) out << edited.size() << " editors open; ";
    for (int r = 0; r < m_grid.GetRowCount(); ++r)
        for (int c = 0; c < m_grid.GetColumnCount(); ++c)
            if (m_grid.IsCellEditing(r, c) && std::find(edited.begin(), edited.end(), CGridCellId(r, c)) == edited.end())
                out << "cell " << r << "," << c << " editing with no editor; ";

    // The platform fills caches of its own on first use (device contexts, menu and control
    // bitmaps) up to a level: the highest counts while the run settles are the baseline, and
    // the rest of the run may not go beyond them.
    // Counted with no editor open: an editor's own objects (its fonts, its calendar) come and
    // go with it.
    if (!edited.empty()) return broken + out.str();
    const Resources now = Measure();
    if (m_sent <= m_settleBy) {
        m_baseline = {std::max(m_baseline.gdi, now.gdi), std::max(m_baseline.windows, now.windows),
                      std::max(m_baseline.handles, now.handles)};
    } else {
        m_peak = {std::max(m_peak.gdi, now.gdi), std::max(m_peak.windows, now.windows),
                  std::max(m_peak.handles, now.handles)};
        if (now.gdi > m_baseline.gdi + kGdiSlack || now.windows > m_baseline.windows ||
            now.handles > m_baseline.handles + kGdiSlack)
            out << "resources grew: GDI objects " << m_baseline.gdi << " -> " << now.gdi << ", windows "
                << m_baseline.windows << " -> " << now.windows << ", kernel handles " << m_baseline.handles << " -> "
                << now.handles << " (windows: " << g_windowClasses << "); ";
    }
    if (g_verbose) {
        int types[16] = {};
        for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) ++types[::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) & 15];
        std::printf("storm: message %lld: %ld GDI objects (pens %d, brushes %d, DCs %d, fonts %d, bitmaps %d, regions %d, "
                    "memory DCs %d), %ld windows (%s)\n",
                    m_sent, now.gdi, types[OBJ_PEN], types[OBJ_BRUSH], types[OBJ_DC], types[OBJ_FONT], types[OBJ_BITMAP],
                    types[OBJ_REGION], types[OBJ_MEMDC], now.windows, g_windowClasses.c_str());
    }
    return broken + out.str();
}

std::string Storm::CheckCells() {
    std::ostringstream out;
    const int rows = m_grid.GetRowCount(), cols = m_grid.GetColumnCount();
    const int fixedRows = m_grid.GetFixedRowCount(), fixedCols = m_grid.GetFixedColumnCount();
    if (fixedRows > rows || fixedCols > cols) out << "fixed counts beyond the counts; ";
    size_t selected = 0;
    m_grid.Selection().ForEach([&](const CGridCellId& id) {
        if (!(m_grid.GetCellState(id.row, id.col) & CELL_SELECTED))
            out << "selection holds " << id.row << "," << id.col << " without CELL_SELECTED; ";
    });
    const CGridCellId focus = m_grid.GetFocusCell();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const CGridCellBase* cell = m_grid.GetCell(r, c);
            if (!cell) {
                out << "no cell at " << r << "," << c << "; ";
                continue;
            }
            const DWORD state = cell->GetState();
            if (state & CELL_SELECTED) ++selected;
            if ((state & CELL_FOCUSED) && CGridCellId(r, c) != focus)
                out << "cell " << r << "," << c << " marked focused, the focus is " << focus.row << "," << focus.col << "; ";
            if (((state & CELL_FIXEDROW) != 0) != (r < fixedRows) || ((state & CELL_FIXEDCOL) != 0) != (c < fixedCols))
                out << "cell " << r << "," << c << " fixed bits " << (state & 0x70) << "; ";
            if (!cell->IsVisible() && !cell->IsCoveredBySpan() && !cell->IsSpanned())
                out << "cell " << r << "," << c << " hidden outside any block; ";
            if (cell->IsCoveredBySpan()) {
                const CGridCellId o = cell->GetSpanOwner();
                const CGridCellBase* head = m_grid.GetCell(o.row, o.col);
                if (!head || !head->IsSpanned() || !head->GetSpanRange().Contains(r, c))
                    out << "cell " << r << "," << c << " covered by " << o.row << "," << o.col << ", no block there; ";
            }
            if (cell->IsSpanned()) {
                const CGridCellRange b = cell->GetSpanRange();
                if (b.minRow != r || b.minCol != c || b.maxRow >= rows || b.maxCol >= cols)
                    out << "block of " << r << "," << c << " is " << b.minRow << "," << b.minCol << "-" << b.maxRow
                        << "," << b.maxCol << "; ";
            }
        }
    }
    if (selected != m_grid.Selection().Size())
        out << "selection set holds " << m_grid.Selection().Size() << " cells, " << selected << " are selected; ";
    return out.str();
}

std::string Storm::CheckScrollBars() {
    // Judged against the client area without bars, the vertical bar first; the horizontal
    // bar's height may then call for the vertical one.
    // A window too small to hold a bar gives the bars less than their size: there they are
    // no measure of anything, and nothing can be seen to scroll.
    CRect client, window;
    m_grid.GetClientRect(&client);
    m_grid.GetWindowRect(&window);
    const long long cxBar = ::GetSystemMetrics(SM_CXVSCROLL), cyBar = ::GetSystemMetrics(SM_CYHSCROLL);
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_grid.m_hWnd, GWL_STYLE));
    CRect frame(0, 0, 0, 0);
    ::AdjustWindowRectEx(&frame, style & ~(WS_VSCROLL | WS_HSCROLL), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(m_grid.m_hWnd, GWL_EXSTYLE)));
    if (client.IsRectEmpty() || window.Width() - frame.Width() < cxBar || window.Height() - frame.Height() < cyBar)
        return std::string();
    long long width = client.Width() + ((style & WS_VSCROLL) ? cxBar : 0);
    long long height = client.Height() + ((style & WS_HSCROLL) ? cyBar : 0);
    const int rows = m_grid.GetRowCount(), cols = m_grid.GetColumnCount();
    const long long fixedW = m_grid.ColumnRangeWidth(0, m_grid.GetFixedColumnCount() - 1);
    const long long fixedH = m_grid.RowRangeHeight(0, m_grid.GetFixedRowCount() - 1);
    const long long contentW = m_grid.ColumnRangeWidth(0, cols - 1) - fixedW;
    const long long contentH = m_grid.RowRangeHeight(0, rows - 1) - fixedH;
    bool vertical = false, horizontal = false;
    if (fixedW < width && fixedH < height) {
        if (height - fixedH < contentH) width -= cxBar;
        horizontal = contentW > 0 && width - fixedW < contentW;
        if (horizontal) height -= cyBar;
        vertical = contentH > 0 && height - fixedH < contentH;
    }
    std::ostringstream out;
    const long long vMax = vertical ? contentH - 1 : 0, hMax = horizontal ? contentW - 1 : 0;
    if (m_grid.VScrollMax != vMax || m_grid.HScrollMax != hMax)
        out << "scroll ranges " << m_grid.HScrollMax << "," << m_grid.VScrollMax << ", the sizes give " << hMax << ","
            << vMax << " (client " << client.Width() << "x" << client.Height() << ", fixed " << fixedW << "x" << fixedH
            << ", content " << contentW << "x" << contentH << "); ";
    if (((style & WS_VSCROLL) != 0) != vertical || ((style & WS_HSCROLL) != 0) != horizontal)
        out << "bars shown " << ((style & WS_HSCROLL) != 0) << "," << ((style & WS_VSCROLL) != 0) << ", the sizes give "
            << horizontal << "," << vertical << "; ";
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO info{sizeof(info), SIF_ALL};
        const int max = bar == SB_VERT ? m_grid.VScrollMax : m_grid.HScrollMax;
        if (!max) continue;
        if (!::GetScrollInfo(m_grid.m_hWnd, bar, &info) || info.nMax != max || info.nPos < 0 || info.nPos > max)
            out << "bar " << bar << " range " << info.nMax << " position " << info.nPos << ", the grid's maximum " << max
                << "; ";
    }
    return out.str();
}
}  // namespace

TEST(GridStorm, InvariantsHoldUnderASeededStreamOfMessages) {
    std::printf("storm: seed %" PRIu32 ", %lld messages\n", g_seed, g_messages);
    std::fflush(stdout);
    MessageBoxRecorder boxes;
    const HHOOK menus = ::SetWindowsHookExW(WH_MSGFILTER, CloseMenus, nullptr, ::GetCurrentThreadId());
    const GridLinkOpener opener = CGridURLCell::SetLinkOpener([](const std::wstring&) { return true; });
    if (!AfxOleIsInitialized()) AfxOleInit();
    const long windowsBefore = Measure().windows;
    const auto start = std::chrono::steady_clock::now();
    std::string broken;
    {
        Storm storm;
        broken = storm.Run(g_messages);
    }
    PumpMessages();
    g_doing = "end";
    CGridURLCell::SetLinkOpener(opener);
    ::UnhookWindowsHookEx(menus);
    if (!broken.empty()) Report(broken.c_str());
    EXPECT_EQ(broken, "") << "seed " << g_seed << ", message " << g_index.load();
    // Every window the grid opened (editors, lists, the title tip) is gone with it.
    EXPECT_EQ(Measure().windows, windowsBefore);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("storm: %lld messages in %.1f s\n", g_messages, seconds);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--messages=", 0) == 0) g_messages = std::atoll(arg.c_str() + 11);
        if (arg == "--verbose") g_verbose = true;
        if (arg.rfind("--batch=", 0) == 0) g_batch = std::max(1LL, std::atoll(arg.c_str() + 8));
        if (arg.rfind("--seed=", 0) == 0) g_seed = static_cast<uint32_t>(std::strtoul(arg.c_str() + 7, nullptr, 0));
    }
    ::SetUnhandledExceptionFilter(OnCrash);
    g_thread = ::GetCurrentThreadId();
    std::thread(Watchdog).detach();
    return RUN_ALL_TESTS();
}
