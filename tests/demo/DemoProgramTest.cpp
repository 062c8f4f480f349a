// The real GridDemo.exe started as its own process and read from outside, as scripts and
// other programs see it: its one grid and status bar, the status texts through WM_GETTEXT
// and SB_GETTEXTW, the table through the grid's own commands and the clipboard, its exit
// codes, and the message box of a bad command line.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/SeededText.h"
#include "demo/DemoFeatures.h"
#include "demo/DemoFrame.h"
#include "demo/DemoResource.h"
#include "grid/GridCtrl.h"

namespace {

std::wstring BesideThisProgram(const std::wstring& name) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, n);
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

std::wstring ClassOf(HWND hWnd) {
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    return name;
}

std::wstring TextOf(HWND hWnd) {
    wchar_t text[1024] = {};
    SendMessageW(hWnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

struct TopWindowSearch {
    DWORD process;
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND hWnd, LPARAM lp) {
    auto* search = reinterpret_cast<TopWindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    if (owner == search->process && IsWindowVisible(hWnd) && ClassOf(hWnd) == search->className)
        search->found.push_back(hWnd);
    return TRUE;
}

// The visible top-level windows of a process, of one class.
std::vector<HWND> TopWindows(DWORD process, const std::wstring& className) {
    TopWindowSearch search{process, className, {}};
    EnumWindows(&CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The direct children of `parent` of one class.
std::vector<HWND> Children(HWND parent, const std::wstring& className) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == className) found.push_back(child);
    return found;
}

// GridDemo.exe with `args`, ended when still running at the end of the test.
class Demo {
public:
    explicit Demo(const std::wstring& args) {
        const std::wstring exe = BesideThisProgram(L"GridDemo.exe");
        std::wstring command = L"\"" + exe + L"\" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_);
    }
    ~Demo() {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    bool Started() const { return started_; }

    // The first visible top-level window of `className`, or null when the process ended or
    // none came within `ms`. Notes whether a frame was ever seen meanwhile.
    HWND WaitForWindow(const std::wstring& className, DWORD ms = 20000) {
        for (DWORD waited = 0; waited < ms; waited += 10) {
            if (!TopWindows(info_.dwProcessId, L"CFrameWnd").empty()) sawFrame_ = true;
            const std::vector<HWND> found = TopWindows(info_.dwProcessId, className);
            if (!found.empty()) return found.front();
            if (WaitForSingleObject(info_.hProcess, 10) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }
    // Posts `msg` to `window` (WM_CLOSE to the frame, IDOK to a message box) and returns
    // the exit code, or STILL_ACTIVE when the process has not ended within 20 seconds.
    DWORD EndBy(HWND window, UINT msg, WPARAM wParam = 0) {
        PostMessageW(window, msg, wParam, 0);
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    bool SawFrame() const { return sawFrame_; }

    // Part `part` of the status bar `bar` through SB_GETTEXTW, with the text's buffer in the
    // demo's own memory, as another program has to.
    std::wstring StatusPart(HWND bar, int part) const {
        const SIZE_T bytes = 1024 * sizeof(wchar_t);
        void* remote = VirtualAllocEx(info_.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
        if (!remote) return L"(no memory in the demo)";
        std::wstring text(1024, L'\0');
        DWORD_PTR length = 0;
        SIZE_T read = 0;
        if (SendMessageTimeoutW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(remote),
                                SMTO_ABORTIFHUNG, 10000, &length))
            ReadProcessMemory(info_.hProcess, remote, &text[0], bytes, &read);
        VirtualFreeEx(info_.hProcess, remote, 0, MEM_RELEASE);
        text.resize(LOWORD(length));
        return text;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    bool sawFrame_ = false;
};

// What `read` gives once it is `expected` (the demo brings its status bar up to date when
// idle), or what it gave last after ten seconds.
template <class Read>
std::wstring WaitFor(const std::wstring& expected, Read read) {
    std::wstring text;
    for (DWORD waited = 0; waited <= 10000 && (text = read()) != expected; waited += 20) Sleep(20);
    return text;
}

// The status bar's first part through WM_GETTEXT, once it is `expected`.
std::wstring WaitForStatus(HWND bar, const std::wstring& expected) {
    return WaitFor(expected, [bar] { return TextOf(bar); });
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "(clipboard busy)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) text = bytes;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Select all and copy through the grid window's own commands: the copy text of every
// scrolling cell.
std::string CopyAll(HWND grid) {
    SendMessageW(grid, WM_COMMAND, ID_EDIT_SELECT_ALL, 0);
    SendMessageW(grid, WM_COMMAND, ID_EDIT_COPY, 0);
    return ClipboardText();
}

// Every text of the message box `box` (its static controls).
std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    for (HWND s : Children(box, L"Static")) text += TextOf(s);
    return text;
}

}  // namespace

TEST(DemoProgram, ShowsOneGridAndItsStatusAndEndsWithZeroWhenClosed) {
    Demo demo(L"--rows 6 --cols 4 --fixed-rows 1 --fixed-cols=1 --fill seeded --SelectionEnabled=1");
    ASSERT_TRUE(demo.Started());
    HWND frame = demo.WaitForWindow(L"CFrameWnd");
    ASSERT_NE(frame, nullptr);
    const std::vector<HWND> grids = Children(frame, GRID_WINDOW_CLASS), bars = Children(frame, STATUSCLASSNAMEW);
    ASSERT_EQ(grids.size(), 1u);
    ASSERT_EQ(bars.size(), 1u);
    HWND grid = grids.front(), bar = bars.front();
    CRect window;
    GetWindowRect(frame, &window);
    EXPECT_GE(window.Width(), 800);
    EXPECT_GE(window.Height(), 600);
    EXPECT_TRUE(GetWindowLongW(frame, GWL_STYLE) & WS_THICKFRAME);  // resizable

    // Nothing chosen at the start; both ways of reading give the same texts.
    EXPECT_EQ(WaitForStatus(bar, L"Focus: none  Selection: none"), L"Focus: none  Selection: none");
    EXPECT_EQ(demo.StatusPart(bar, 0), L"Focus: none  Selection: none");
    EXPECT_EQ(demo.StatusPart(bar, 1), L"Rows: 6 (1 fixed)  Columns: 4 (1 fixed)");

    // The counts and the benchmark words, seen through the grid's commands.
    CSeededText words;
    std::string expected;
    for (int row = 1; row < 6; ++row)
        for (int col = 1; col < 4; ++col) expected += words.Word() + (col < 3 ? "\t" : row < 5 ? "\n" : "");
    EXPECT_EQ(CopyAll(grid), expected);
    EXPECT_EQ(WaitForStatus(bar, L"Focus: none  Selection: R1C1:R5C3 (15 cells)"),
              L"Focus: none  Selection: R1C1:R5C3 (15 cells)");

    // More fixed rows through the Table menu's dialog: the grid clears its selection without
    // a notification, and the status follows when the demo goes idle.
    const UINT sizeCommand = FindCommandId(AllDemoFeatures(CDemoFrame::kFirstCommandId), "&Table", "&Size...");
    PostMessageW(frame, WM_COMMAND, sizeCommand, 0);
    HWND dialog = demo.WaitForWindow(L"#32770");
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, IDC_NUMBER_VALUE + 2, L"2");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForStatus(bar, L"Focus: none  Selection: none"), L"Focus: none  Selection: none");
    const std::wstring shape = L"Rows: 6 (2 fixed)  Columns: 4 (1 fixed)";
    EXPECT_EQ(WaitFor(shape, [&] { return demo.StatusPart(bar, 1); }), shape);

    EXPECT_EQ(demo.EndBy(frame, WM_CLOSE), 0u);
}

TEST(DemoProgram, ABadCommandLineIsShownAndEndsWithTwo) {
    struct Case {
        const wchar_t* args;
        const wchar_t* said;  // part of the message box's text
        DWORD exitCode;
    } cases[] = {
        {L"--bogus", L"Unknown option: --bogus", 2},
        {L"--rows x", L"--rows: \"x\"", 2},
        {L"--GridLineMode=9", L"--GridLineMode: \"9\"", 2},
        {L"--fixed-rows 5 --rows 2", L"fixed rows (5)", 2},
        {L"--help", L"--WholeRowSelect", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.args)));
        Demo demo(c.args);
        ASSERT_TRUE(demo.Started());
        HWND box = demo.WaitForWindow(L"#32770");
        ASSERT_NE(box, nullptr);
        EXPECT_NE(MessageBoxText(box).find(c.said), std::wstring::npos) << testing::PrintToString(MessageBoxText(box));
        EXPECT_EQ(demo.EndBy(box, WM_COMMAND, IDOK), c.exitCode);
        EXPECT_FALSE(demo.SawFrame());
    }
}
