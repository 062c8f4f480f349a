// The main dialog as it comes up: template, fonts, icon, the grid's layout and its rebuild
// by every basic check; and how it closes: Enter keeps it open, Esc and the close box end
// it (run modally, the way the program runs it).
#include "AppTestSupport.h"

#include <functional>

#include "framework/GbkText.h"

namespace {
const std::wstring kCaption = L"Tessarin（自查版）V1.0";
const std::string kGridTitle = "社  会  保  障  卡  基  本  信  息";
const char* const kRowLabels[] = {"发卡地区行政区划代码", "社会保障号码", "卡号", "卡识别码", "姓名", "复位信息",
                                  "规范版本", "发卡日期", "卡有效期", "终端机编号", "终端设备号"};

LOGFONTW FontOf(HWND window) {
    LOGFONTW lf{};
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0));
    EXPECT_NE(font, nullptr);
    if (font) {
        EXPECT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    }
    return lf;
}

void ExpectDialogFont(const LOGFONTW& lf, LONG height, const char* what) {
    EXPECT_EQ(lf.lfHeight, height) << what;
    EXPECT_EQ(lf.lfWidth, 0) << what;
    EXPECT_EQ(lf.lfWeight, FW_BOLD) << what;
    EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut) << what;
    EXPECT_EQ(lf.lfCharSet, 0) << what;
    EXPECT_EQ(lf.lfPitchAndFamily, 0x20) << what;
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"微软雅黑") << what;
}

// The grid exactly as SetupGrid leaves it, with `values` in column 1.
void ExpectGridLayout(CGridCtrl& grid, const Lines& values) {
    ASSERT_EQ(grid.GetRowCount(), 12);
    ASSERT_EQ(grid.GetColumnCount(), 2);
    EXPECT_EQ(grid.GetFixedRowCount(), 0);
    EXPECT_EQ(grid.GetFixedColumnCount(), 0);
    EXPECT_EQ(grid.GetColumnWidth(0), 180);
    EXPECT_EQ(grid.GetColumnWidth(1), 412);
    EXPECT_EQ(grid.GetRowHeight(0), 42);
    for (int row = 1; row < 12; ++row) EXPECT_EQ(grid.GetRowHeight(row), 39) << row;

    for (int col = 0; col < 2; ++col) {
        ASSERT_NE(grid.GetCell(0, col), nullptr);
        EXPECT_EQ(grid.GetCellText(0, col), kGridTitle) << col;
        EXPECT_EQ(grid.GetCell(0, col)->GetFormat(), 0x8025u) << col;
    }
    EXPECT_EQ(grid.MergeOrigin(0, 1), CGridCellId(0, 0));
    EXPECT_EQ(grid.GetCell(0, 0)->GetSpanRange(), CGridCellRange(0, 0, 0, 1));
    EXPECT_EQ(grid.MergeOrigin(1, 1), CGridCellId(1, 1));  // nothing else is merged
    for (int row = 1; row < 12; ++row) {
        ASSERT_NE(grid.GetCell(row, 0), nullptr);
        ASSERT_NE(grid.GetCell(row, 1), nullptr);
        EXPECT_EQ(grid.GetCellText(row, 0), kRowLabels[row - 1]) << row;
        EXPECT_EQ(grid.GetCell(row, 0)->GetFormat(), 0x8026u) << row;
        EXPECT_EQ(grid.GetCellText(row, 1), values[row - 1]) << row;
        EXPECT_EQ(grid.GetCell(row, 1)->GetFormat(), 0x8024u) << row;
    }
    EXPECT_EQ(grid.DefaultCellFor(FALSE, FALSE)->GetBackColour(), RGB(255, 255, 224));
    EXPECT_FALSE(grid.Editable);
    EXPECT_FALSE(grid.HighlightFocusHeaders);
    EXPECT_FALSE(grid.FocusCellFramed);
    ExpectDialogFont(FontOf(grid.m_hWnd), 23, "grid");
    // The cells draw with the grid's font.
    const LOGFONTW* cellFont = grid.GetCell(5, 1)->GetFont();
    ASSERT_NE(cellFont, nullptr);
    EXPECT_EQ(cellFont->lfHeight, 23);
    EXPECT_EQ(std::wstring(cellFont->lfFaceName), L"微软雅黑");
}

const Lines kNoValues(11);
}  // namespace

TEST_F(DialogTest, ComesUpWithItsFontsIconGridAndOnlyTheReadButtonEnabled) {
    HWND dlg = ui_->dlg.m_hWnd;
    wchar_t caption[64] = {};
    GetWindowTextW(dlg, caption, 64);
    EXPECT_EQ(caption, kCaption);
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_TRUE(GetWindowLongW(dlg, GWL_STYLE) & WS_MINIMIZEBOX);

    ui_->ExpectLiveChecks(false);
    EXPECT_TRUE(ui_->List().empty());
    // The list shows lines in the order they were added, and tells the dialog of a double click.
    DWORD listStyle = static_cast<DWORD>(GetWindowLongW(ui_->Item(IDC_RESULT_LIST), GWL_STYLE));
    EXPECT_FALSE(listStyle & LBS_SORT);
    EXPECT_TRUE(listStyle & LBS_NOTIFY);

    for (int id : {IDC_READ_BASIC, IDC_PIN_RESET, IDC_DEBIT}) ExpectDialogFont(FontOf(ui_->Item(id)), 36, "button");
    ExpectDialogFont(FontOf(ui_->Item(IDC_RESULT_LIST)), 26, "list");

    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_ICON));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(dlg, WM_GETICON, ICON_BIG, 0)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(dlg, WM_GETICON, ICON_SMALL, 0)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(dlg, WM_QUERYDRAGICON, 0, 0)), icon);

    wchar_t gridClass[32] = {};
    GetClassNameW(ui_->Item(IDC_BASIC_GRID), gridClass, 32);
    EXPECT_EQ(std::wstring(gridClass), L"MFCGridCtrl");
    EXPECT_EQ(ui_->dlg.Grid().m_hWnd, ui_->Item(IDC_BASIC_GRID));
    ExpectGridLayout(ui_->dlg.Grid(), kNoValues);
    EXPECT_TRUE(reader_.Calls().empty());  // nothing is read before the operator asks
}

// Whatever happened to the grid, every basic check starts from the layout again; an early
// stop leaves the titles with empty values.
TEST_F(DialogTest, EveryReadRebuildsTheGrid) {
    CGridCtrl& grid = ui_->dlg.Grid();
    grid.SetColumnWidth(0, 50);
    grid.SetRowHeight(3, 100);
    grid.SetCellText(2, 0, "x");
    grid.SetRowCount(20);

    CardBasicInfo card = ValidHomeCard();
    Read(card);
    Lines values;
    for (int n = 1; n <= 11; ++n) values.push_back(card.Field(n));
    ExpectGridLayout(grid, values);

    reader_.Answer("iReadCardBas", -2, "无卡");
    ui_->Click(IDC_READ_BASIC);
    ExpectGridLayout(grid, kNoValues);
    reader_.Answer("iReadCardBas", 0, "1|2|3|");
    ui_->Click(IDC_READ_BASIC);
    ExpectGridLayout(grid, kNoValues);
}

namespace {
// Runs the dialog modally, as the program does; the steps run one after another from a
// timer inside its message loop. A dialog still open after the last step is ended with
// kStillOpen.
constexpr INT_PTR kStillOpen = 4242;

class ModalRun {
public:
    using Step = std::function<void(HWND dlg)>;

    static INT_PTR Run(CCardCheckDlg& dlg, std::vector<Step> steps) {
        ModalRun run{dlg, std::move(steps)};
        current_ = &run;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, &Tick);
        INT_PTR result = dlg.DoModal();
        KillTimer(nullptr, timer);
        current_ = nullptr;
        return result;
    }

private:
    ModalRun(CCardCheckDlg& dlg, std::vector<Step> steps) : dlg_(dlg), steps_(std::move(steps)) {}

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalRun* run = current_;
        if (!run || !run->dlg_.IsWindow()) return;
        if (run->next_ < run->steps_.size())
            run->steps_[run->next_++](run->dlg_.m_hWnd);
        else if (++run->idleTicks_ > 3)
            run->dlg_.EndDialog(kStillOpen);
    }

    CCardCheckDlg& dlg_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    int idleTicks_ = 0;
    static ModalRun* current_;
};
ModalRun* ModalRun::current_ = nullptr;

ModalRun::Step KeyTo(int control, WPARAM key) {
    return [control, key](HWND dlg) {
        HWND target = GetDlgItem(dlg, control);
        SetFocus(target);
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    };
}

ModalRun::Step Post(UINT msg, WPARAM wp) {
    return [msg, wp](HWND dlg) { PostMessageW(dlg, msg, wp, 0); };
}
}  // namespace

TEST_F(DialogTest, EnterKeepsTheDialogOpenEscAndTheCloseBoxEndIt) {
    ui_.reset();  // this test runs its own dialogs modally
    struct Case {
        const char* what;
        ModalRun::Step action;
        INT_PTR result;
    } cases[] = {
        {"Enter in the result list", KeyTo(IDC_RESULT_LIST, VK_RETURN), kStillOpen},
        {"Enter in the grid", KeyTo(IDC_BASIC_GRID, VK_RETURN), kStillOpen},
        {"the OK command", Post(WM_COMMAND, IDOK), kStillOpen},
        {"Esc", KeyTo(IDC_RESULT_LIST, VK_ESCAPE), IDCANCEL},
        {"the close box", Post(WM_SYSCOMMAND, SC_CLOSE), IDCANCEL},
        {"WM_CLOSE", Post(WM_CLOSE, 0), IDCANCEL},
    };
    for (const Case& c : cases) {
        reader_.ForgetCalls();
        CCardCheckDlg dlg;
        bool driverLoaded = false;
        Lines listAfter;
        INT_PTR result = ModalRun::Run(dlg, {
            [&](HWND) { driverLoaded = GetModuleHandleW(L"SSCardDriver.dll") != nullptr; },
            c.action,
            [&](HWND d) { listAfter = ListLines(GetDlgItem(d, IDC_RESULT_LIST)); },
        });
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_TRUE(driverLoaded) << c.what;
        EXPECT_FALSE(dlg.IsWindow()) << c.what;
        // Closing the window frees the driver; no key started a check.
        EXPECT_EQ(GetModuleHandleW(L"SSCardDriver.dll"), nullptr) << c.what;
        EXPECT_TRUE(reader_.Calls().empty()) << c.what;
        EXPECT_TRUE(listAfter.empty()) << c.what;
    }
}

// The dialog's grid is read-only: typing and F2, delivered through the dialog's own loop,
// open no editor. With Editable set the same keys do, so they did arrive.
TEST_F(DialogTest, TypingAndF2InTheGridOpenNoEditor) {
    ui_.reset();  // this test runs its own dialogs modally
    for (const BOOL editable : {FALSE, TRUE}) {
        CCardCheckDlg dlg;
        int editorsSeen = 0;
        auto count = [&](HWND) {
            editorsSeen += FindWindowExW(dlg.Grid().m_hWnd, nullptr, L"Edit", nullptr) != nullptr;
            dlg.Grid().EndEditing();
        };
        auto type = [&](HWND) {
            dlg.Grid().Editable = editable;
            dlg.Grid().MoveFocusTo(2, 1);
            dlg.Grid().SetFocus();
            PostMessageW(dlg.Grid().m_hWnd, WM_CHAR, 'a', 1);
        };
        EXPECT_EQ(ModalRun::Run(dlg, {type, count, KeyTo(IDC_BASIC_GRID, VK_F2), count}), kStillOpen);
        EXPECT_EQ(editorsSeen, editable ? 2 : 0);
        EXPECT_EQ(dlg.Grid().GetCellText(2, 1), editable ? "a" : "");
    }
}

namespace {
// Counts WM_ICONERASEBKGND on the way into the dialog's own procedure.
WNDPROC g_dialogProc = nullptr;
int g_iconErases = 0;
LRESULT CALLBACK CountIconErase(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ICONERASEBKGND && wp) ++g_iconErases;
    return CallWindowProcW(g_dialogProc, hWnd, msg, wp, lp);
}
}  // namespace

// Minimised, the dialog paints its icon itself. Wine gives a minimised window an empty
// client area (so it is never invalidated, and the icon's place cannot be seen in pixels);
// the test sends the paint message itself and sees the minimised paint take the icon's
// way (erasing the icon background) while the normal one does not.
TEST_F(DialogTest, MinimisedPaintDrawsTheIcon) {
    HWND dlg = ui_->dlg.m_hWnd;
    g_dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(dlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountIconErase)));
    g_iconErases = 0;
    InvalidateRect(dlg, nullptr, TRUE);
    UpdateWindow(dlg);
    SendMessageW(dlg, WM_PAINT, 0, 0);
    EXPECT_EQ(g_iconErases, 0);

    ShowWindow(dlg, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(dlg));
    SendMessageW(dlg, WM_PAINT, 0, 0);
    EXPECT_EQ(g_iconErases, 1);

    ShowWindow(dlg, SW_RESTORE);
    EXPECT_FALSE(IsIconic(dlg));
    SetWindowLongPtrW(dlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));
}
