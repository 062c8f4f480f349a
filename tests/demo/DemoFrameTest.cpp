// GridDemo's frame created in this process and driven with real messages: the table and
// settings it starts with, the status bar, the menus built from the settings table, the
// grid's edit commands, the shortcuts, and the Table menu's dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "demo/DemoFrame.h"
#include "demo/DemoImages.h"
#include "demo/DemoResource.h"
#include "demo/DemoTexts.h"
#include "demo/GridSettingAccess.h"
#include "demo/GridSettings.h"
#include "demo/NumbersDialog.h"
#include "framework/GbkText.h"
#include "framework/PrintPreview.h"
#include "grid/cells/GridCellCheck.h"
#include "grid/cells/GridCellCombo.h"
#include "grid/cells/GridCellDateTime.h"
#include "grid/cells/GridCellNumeric.h"
#include "grid/cells/GridURLCell.h"

namespace {

std::unique_ptr<CDemoFrame> OpenFrame(const std::vector<std::string>& args) {
    DemoOptions options;
    std::string error;
    EXPECT_TRUE(ParseDemoOptions(args, &options, &error)) << error;
    auto frame = std::make_unique<CDemoFrame>(options);
    EXPECT_TRUE(frame->Create());
    return frame;
}

// The popup that holds item `id`, searched through the whole menu bar.
HMENU MenuHolding(HMENU menu, UINT id) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuItemID(menu, i) == id) return menu;
        if (HMENU sub = GetSubMenu(menu, i))
            if (HMENU found = MenuHolding(sub, id)) return found;
    }
    return nullptr;
}

// The item's MF_ state bits as they are when its menu opens; ~0u when there is no such item.
UINT StateWhenOpened(CDemoFrame& frame, const std::string& menu, const std::string& text) {
    const UINT id = frame.CommandId(menu, text);
    HMENU popup = id ? MenuHolding(GetMenu(frame), id) : nullptr;
    if (!popup) return ~0u;
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    return GetMenuState(popup, id, MF_BYCOMMAND);
}

bool Enabled(UINT state) { return state != ~0u && !(state & (MF_GRAYED | MF_DISABLED)); }
bool Checked(UINT state) { return state != ~0u && (state & MF_CHECKED); }

void Choose(CDemoFrame& frame, const std::string& menu, const std::string& text) {
    const UINT id = frame.CommandId(menu, text);
    ASSERT_NE(id, 0u) << menu << " " << text;
    frame.SendMessage(WM_COMMAND, id, 0);
}

const char kSelectAll[] = "Select &All\tCtrl+A";

// Dispatches this thread's messages until `done` says so or two seconds have passed.
template <class Done>
void PumpUntil(Done done) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done() && GetTickCount() - start < 2000) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
}

// What a preview window of this thread showed when the timer found it (which then closes it).
struct PreviewSeen {
    UINT pages = 0;
    UINT current = 0;
} g_previewSeen;

BOOL CALLBACK ClosePreview(HWND hWnd, LPARAM) {
    auto* preview = dynamic_cast<CPrintPreviewWnd*>(CWnd::FromHandlePermanent(hWnd));
    if (!preview) return TRUE;
    g_previewSeen = {preview->PageCount(), preview->CurrentPage()};
    preview->PostMessage(WM_COMMAND, CPrintPreviewWnd::ID_CLOSE_PREVIEW);
    return FALSE;
}

void CALLBACK LookForPreview(HWND, UINT, UINT_PTR id, DWORD) {
    if (!EnumThreadWindows(GetCurrentThreadId(), &ClosePreview, 0)) KillTimer(nullptr, id);
}

}  // namespace

TEST(DemoFrame, StartsWithTheTableAndSettingsOfItsCommandLine) {
    auto frame = OpenFrame({"--rows", "5", "--cols", "4", "--fill", "numbered", "--Editable=0", "--GridLineMode=1",
                            "--WholeRowSelect=1", "--GridLineColour=0x0000FF"});
    CGridCtrl& grid = frame->Grid();
    EXPECT_EQ(frame->Shape().rows, 5);
    EXPECT_EQ(frame->Shape().cols, 4);
    EXPECT_EQ(grid.GetFixedRowCount(), 1);
    EXPECT_EQ(grid.GetFixedColumnCount(), 1);
    EXPECT_EQ(grid.GetCellText(0, 0), "R0C0");
    EXPECT_EQ(grid.GetCellText(4, 3), "R4C3");
    EXPECT_FALSE(grid.GetModified());
    // The settings named, each in its own member; the others as the grid made them.
    EXPECT_FALSE(grid.Editable);
    EXPECT_EQ(grid.GridLineMode, 1);
    EXPECT_TRUE(grid.WholeRowSelect);
    EXPECT_EQ(grid.GridLineColour, RGB(0xFF, 0, 0));
    EXPECT_FALSE(grid.SortOnHeaderClick);
    EXPECT_TRUE(grid.DoubleBuffered);
    // Pictures in the first scrolling column, below the headers.
    EXPECT_NE(grid.GetImageList(), nullptr);
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(grid.GetCell(row, 1)->GetImage(), row == 0 ? -1 : (row - 1) % kDemoImageCount) << row;
        EXPECT_EQ(grid.GetCell(row, 2)->GetImage(), -1) << row;
    }
}

TEST(DemoFrame, OptionsMenuShowsAndSwitchesEveryBooleanSetting) {
    auto frame = OpenFrame({"--rows", "3", "--cols", "3", "--SortOnHeaderClick=1"});
    CGridCtrl& grid = frame->Grid();
    const auto& settings = GridSettings();
    for (size_t i = 0; i < settings.size(); ++i) {
        if (settings[i].kind != SettingKind::Bool) continue;
        SCOPED_TRACE(settings[i].name);
        const int64_t before = ReadGridSetting(grid, static_cast<int>(i));
        EXPECT_EQ(Checked(StateWhenOpened(*frame, "&Options", settings[i].name)), before != 0);
        Choose(*frame, "&Options", settings[i].name);
        EXPECT_EQ(ReadGridSetting(grid, static_cast<int>(i)), before ? 0 : 1);
        EXPECT_EQ(Checked(StateWhenOpened(*frame, "&Options", settings[i].name)), before == 0);
    }
    // Each item changed its own member: switched once, every one is the opposite of its default.
    EXPECT_FALSE(grid.Editable);
    EXPECT_FALSE(grid.SortOnHeaderClick);  // on from the command line
    EXPECT_TRUE(grid.DragAndDropEnabled);
    EXPECT_FALSE(grid.TitleTipsEnabled);
    EXPECT_TRUE(grid.PrintScreenScale);
    EXPECT_FALSE(grid.RowsHideable);
    EXPECT_FALSE(grid.SortAscending);
}

TEST(DemoFrame, ChoicesAreRadioItemsInTheirOwnSubmenus) {
    auto frame = OpenFrame({"--rows", "3", "--cols", "3", "--AutoSizeScope=2"});
    CGridCtrl& grid = frame->Grid();
    const std::string lines = "&Options/Grid lines", scope = "&Options/Autosizing measures";
    EXPECT_TRUE(Checked(StateWhenOpened(*frame, lines, "Both")));
    EXPECT_FALSE(Checked(StateWhenOpened(*frame, lines, "None")));
    EXPECT_TRUE(Checked(StateWhenOpened(*frame, scope, "Other rows")));
    Choose(*frame, lines, "Vertical");
    Choose(*frame, scope, "Fixed rows");
    EXPECT_EQ(grid.GridLineMode, 2);
    EXPECT_EQ(grid.AutoSizeScope, 1);
    EXPECT_TRUE(Checked(StateWhenOpened(*frame, lines, "Vertical")));
    EXPECT_FALSE(Checked(StateWhenOpened(*frame, lines, "Both")));
    EXPECT_TRUE(Checked(StateWhenOpened(*frame, scope, "Fixed rows")));
}

TEST(DemoFrame, EditMenuFollowsTheGridAndItsCommandsReachIt) {
    auto frame = OpenFrame({"--rows", "3", "--cols", "3", "--fill", "numbered"});
    CGridCtrl& grid = frame->Grid();
    struct Expect {
        const char* text;
        bool enabled;
    };
    auto check = [&](const std::vector<Expect>& items) {
        for (const Expect& e : items) EXPECT_EQ(Enabled(StateWhenOpened(*frame, "&Edit", e.text)), e.enabled) << e.text;
    };
    // Nothing selected and no focus cell: only select all.
    check({{"Cu&t\tCtrl+X", false}, {"&Copy\tCtrl+C", false}, {"&Paste\tCtrl+V", false}, {"&Delete", false},
           {kSelectAll, true}});
    // The grid handles the command itself and notifies: the status follows at once.
    Choose(*frame, "&Edit", kSelectAll);
    EXPECT_EQ(grid.Selection().Size(), 4u);
    EXPECT_EQ(frame->GetStatusBar().GetText(0), "Focus: none  Selection: R1C1:R2C2 (4 cells)");
    check({{"Cu&t\tCtrl+X", true}, {"&Copy\tCtrl+C", true}, {"&Paste\tCtrl+V", false}, {"&Delete", true}});
    Choose(*frame, "&Edit", "&Delete");
    EXPECT_EQ(grid.GetCellText(1, 1), "");
    EXPECT_EQ(grid.GetCellText(2, 2), "");
    EXPECT_EQ(grid.GetCellText(0, 1), "R0C1");  // headers are never selected
    // A grid that may not be edited can be copied from, not cut or cleared.
    Choose(*frame, "&Options", "Editable");
    check({{"Cu&t\tCtrl+X", false}, {"&Copy\tCtrl+C", true}, {"&Delete", false}});
    Choose(*frame, "&Options", "SelectionEnabled");
    check({{kSelectAll, false}});
}

// Typing edits a cell, Tab carries the editing on, and the Options item vetoes edits of the
// first scrolling column.
TEST(DemoFrame, TypingEditsAndTheVetoItemKeepsTheFirstColumn) {
    auto frame = OpenFrame({"--rows", "3", "--cols", "4", "--fill", "numbered"});
    CGridCtrl& grid = frame->Grid();
    for (const char* typed : {"a\tb\r", "x\ty\r"}) {
        grid.MoveFocusTo(1, 1);
        grid.SetFocus();
        for (const char* ch = typed; *ch; ++ch) {
            SendMessageW(GetFocus(), WM_CHAR, static_cast<WPARAM>(*ch), 1);
            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
        }
        EXPECT_EQ(Checked(StateWhenOpened(*frame, "&Options", kVetoFirstColumnItem)), typed[0] == 'x');
        if (typed[0] == 'a') Choose(*frame, "&Options", kVetoFirstColumnItem);
    }
    EXPECT_EQ(grid.GetCellText(1, 1), "a") << "vetoed: the old text came back";
    EXPECT_EQ(grid.GetCellText(1, 2), "y");
}

TEST(DemoFrame, ShortcutsWorkForTheGridAndFrameOnly) {
    auto frame = OpenFrame({"--rows", "4", "--cols", "4"});
    CGridCtrl& grid = frame->Grid();
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    struct Case {
        const char* what;
        HWND target;
        bool ctrl;
        bool taken;
    } cases[] = {
        {"Ctrl+A to the grid", grid.m_hWnd, true, true},
        {"Ctrl+A to the frame", frame->m_hWnd, true, true},
        {"A without Ctrl", grid.m_hWnd, false, false},
        // Another child keeps its keys (an in-place editor's Ctrl+A selects its own text).
        {"Ctrl+A to the status bar", frame->GetStatusBar().m_hWnd, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grid.ClearSelection();
        keys[VK_CONTROL] = c.ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg{c.target, WM_KEYDOWN, 'A', 1};
        EXPECT_EQ(frame->PreTranslateMessage(&msg) != FALSE, c.taken);
        EXPECT_EQ(grid.Selection().Size(), c.taken ? 9u : 0u);
    }
    // Copy was greyed when the Edit menu last opened; its shortcut works once there is a
    // selection.
    grid.ClearSelection();
    EXPECT_FALSE(Enabled(StateWhenOpened(*frame, "&Edit", "&Copy\tCtrl+C")));
    grid.SelectAllCells();
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    MSG copy{grid.m_hWnd, WM_KEYDOWN, 'C', 1};
    EXPECT_TRUE(frame->PreTranslateMessage(&copy));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

TEST(DemoFrame, TableChangesKeepTextsAndMoveThePictures) {
    auto frame = OpenFrame({"--rows", "4", "--cols", "3", "--fill", "numbered"});
    CGridCtrl& grid = frame->Grid();
    frame->Reshape({6, 2, 2, 0});
    EXPECT_EQ(frame->GetStatusBar().GetText(1), "Rows: 4 (1 fixed)  Columns: 3 (1 fixed)");  // until idle
    frame->RefreshStatus();
    EXPECT_EQ(frame->GetStatusBar().GetText(1), "Rows: 6 (2 fixed)  Columns: 2 (0 fixed)");
    EXPECT_EQ(grid.GetCellText(3, 1), "R3C1");
    EXPECT_EQ(grid.GetCellText(5, 1), "");
    // The first scrolling column is now column 0.
    EXPECT_EQ(grid.GetCell(3, 0)->GetImage(), 1);
    EXPECT_EQ(grid.GetCell(1, 0)->GetImage(), -1);
    EXPECT_EQ(grid.GetCell(3, 1)->GetImage(), -1);

    frame->FillTable(FillMode::Seeded);
    EXPECT_EQ(grid.GetCellText(1, 1), "Col1");
    EXPECT_EQ(grid.GetCellText(2, 0), "gihrfqbhew");
    EXPECT_EQ(grid.GetCellText(2, 1), "daclskr");
    Choose(*frame, "&Table", "&Empty every cell");
    EXPECT_EQ(grid.GetCellText(0, 0), "");
    EXPECT_EQ(grid.GetCellText(2, 0), "");

    // Pictures can be hidden, and there is nowhere to show them in a table of fixed columns.
    Choose(*frame, "&Table", "Show &pictures");
    EXPECT_EQ(grid.GetImageList(), nullptr);
    EXPECT_FALSE(Checked(StateWhenOpened(*frame, "&Table", "Show &pictures")));
    frame->Reshape({3, 2, 1, 2});
    EXPECT_EQ(frame->ImageColumn(), -1);
    EXPECT_FALSE(Enabled(StateWhenOpened(*frame, "&Table", "Show &pictures")));
}

TEST(DemoFrame, CellTypesTurnTheFocusColumnAndTheSampleShowsEveryKind) {
    auto frame = OpenFrame({"--rows", "4", "--cols", "3", "--fill", "numbered"});
    CGridCtrl& grid = frame->Grid();
    const char kMenu[] = "&Cell types";
    EXPECT_FALSE(Enabled(StateWhenOpened(*frame, kMenu, "&Check box"))) << "no focus cell, no column";
    grid.MoveFocusTo(2, 2);
    const struct {
        const char* item;
        const CRuntimeClass* cls;
    } items[] = {{"&Check box", RUNTIME_CLASS(CGridCellCheck)},  {"C&hoice list", RUNTIME_CLASS(CGridCellCombo)},
                 {"Choose-&only list", RUNTIME_CLASS(CGridCellCombo)}, {"&Date", RUNTIME_CLASS(CGridCellDateTime)},
                 {"&Number", RUNTIME_CLASS(CGridCellNumeric)},   {"&Link", RUNTIME_CLASS(CGridURLCell)},
                 {"&Text", RUNTIME_CLASS(CGridCell)}};
    for (const auto& item : items) {
        SCOPED_TRACE(item.item);
        Choose(*frame, kMenu, item.item);
        for (int row = 1; row < 4; ++row) {
            EXPECT_EQ(grid.GetCell(row, 2)->GetRuntimeClass(), item.cls);
            EXPECT_EQ(grid.GetCellText(row, 2), "R" + std::to_string(row) + "C2");
        }
        EXPECT_EQ(grid.GetCell(0, 2)->GetRuntimeClass(), RUNTIME_CLASS(CGridCell)) << "the header stays";
        for (const auto& other : items) EXPECT_EQ(Checked(StateWhenOpened(*frame, kMenu, other.item)), &other == &item);
    }

    Choose(*frame, kMenu, "&Sample table");
    EXPECT_EQ(frame->Shape().cols, 8);
    for (int col = 1; col < 8; ++col) {
        const CellKind kind = SampleKindOf(col, 1);
        for (int row = 1; row < grid.GetRowCount(); ++row) {
            CGridCellBase* cell = grid.GetCell(row, col);
            if (auto* date = dynamic_cast<CGridCellDateTime*>(cell)) {
                EXPECT_EQ(date->GetText(), CGridCellDateTime::DateText(date->GetTime()));
            }
            if (auto* combo = dynamic_cast<CGridCellCombo*>(cell)) {
                EXPECT_EQ(combo->GetOptions(), SampleOptions(kind));
                EXPECT_EQ(combo->GetComboStyle() == CBS_DROPDOWNLIST, kind == CellKind::ChooseOnly);
            }
            EXPECT_EQ(dynamic_cast<CGridCellCheck*>(cell) != nullptr, kind == CellKind::Check);
            EXPECT_EQ(dynamic_cast<CGridURLCell*>(cell) != nullptr, kind == CellKind::Link);
        }
    }
    EXPECT_TRUE(static_cast<CGridCellCheck*>(grid.GetCell(1, 1))->GetCheck());
    EXPECT_FALSE(static_cast<CGridCellCheck*>(grid.GetCell(2, 1))->GetCheck());
}

TEST(DemoFrame, TableMenuAutosizesAndSorts) {
    auto frame = OpenFrame({"--rows", "6", "--cols", "3", "--fill", "seeded"});
    CGridCtrl& grid = frame->Grid();
    grid.SetCellText(3, 2, "a text wider than any seeded word");
    Choose(*frame, "&Table", "&Autosize columns");
    CClientDC dc(grid.GetSafeHwnd());
    for (int col = 0; col < 3; ++col) {
        int widest = 0;
        for (int row = 0; row < 6; ++row) widest = std::max<int>(widest, grid.GetCell(row, col)->MeasureCell(&dc).cx);
        EXPECT_EQ(grid.GetColumnWidth(col), widest) << col;
    }

    // Sort takes the focus cell's column, which the sort then clears.
    EXPECT_FALSE(Enabled(StateWhenOpened(*frame, "&Table", "S&ort")));
    for (BOOL ascending : {TRUE, FALSE}) {
        grid.MoveFocusTo(2, 2);
        ASSERT_TRUE(Enabled(StateWhenOpened(*frame, "&Table", "S&ort")));
        Choose(*frame, "&Table", "S&ort");
        EXPECT_EQ(grid.SortColumn, 2);
        EXPECT_EQ(grid.SortAscending, ascending);
        std::vector<std::string> column;
        for (int row = 1; row < 6; ++row) column.push_back(grid.GetCellText(row, 2));
        EXPECT_TRUE(ascending ? std::is_sorted(column.begin(), column.end())
                              : std::is_sorted(column.rbegin(), column.rend()));
        EXPECT_EQ(grid.GetFocusCell(), CGridCellId());
    }
}

TEST(DemoFrame, LargeSelectionsReachTheStatusAfterTheDelay) {
    auto frame = OpenFrame({"--rows", "401", "--cols", "301", "--fill", "none"});
    CGridCtrl& grid = frame->Grid();
    CStatusBar& bar = frame->GetStatusBar();
    // Small: the first idle pass shows it, notified or not.
    grid.SelectRange(1, 1, 2, 2);
    frame->RefreshStatusWhenIdle();
    EXPECT_EQ(bar.GetText(0), "Focus: none  Selection: R1C1:R2C2 (4 cells)");

    grid.SelectRange(1, 1, 400, 300);
    frame->RefreshStatus();
    ASSERT_EQ(bar.GetText(0), "Focus: none  Selection: R1C1:R400C300 (120000 cells)");
    // One cell less, without a notification: an idle pass this soon leaves it to the timer.
    grid.SetCellState(400, 300, 0);
    frame->RefreshStatusWhenIdle();
    frame->RefreshStatusWhenIdle();
    EXPECT_EQ(bar.GetText(0), "Focus: none  Selection: R1C1:R400C300 (120000 cells)");
    const DWORD start = GetTickCount();
    const std::string expected = "Focus: none  Selection: R1C1:R400C300 (119999 cells)";
    PumpUntil([&] {
        frame->RefreshStatusWhenIdle();
        return bar.GetText(0) == expected;
    });
    EXPECT_EQ(bar.GetText(0), expected);
    EXPECT_GE(GetTickCount() - start + 20, CDemoFrame::kStatusDelayMs);  // the ticks' grain
}

TEST(DemoFrame, PrintPreviewShowsTheGridsPagesAndGivesTheWindowBack) {
    auto frame = OpenFrame({"--rows", "1001", "--cols", "5", "--fill", "numbered"});
    g_previewSeen = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &LookForPreview);
    Choose(*frame, "&File", "Print Pre&view");  // returns when the preview has closed
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_previewSeen.current, 1u);
    EXPECT_GT(g_previewSeen.pages, 1u);
    EXPECT_TRUE(frame->IsWindowEnabled());
}

TEST(NumbersDialog, StaysOpenUntilTheNumbersPassTheCheck) {
    auto frame = OpenFrame({"--rows", "3", "--cols", "3"});
    CNumbersDialog dialog(frame.get(), "Table size", {{"Rows", 3}, {"Fixed rows", 1}},
                          [](const std::vector<int>& v) { return CheckTableShape({v[0], 1, v[1], 0}); });
    ASSERT_TRUE(dialog.Create(frame->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_NUMBER_VALUE + 2)));  // two rows shown only
    struct Case {
        const char* rows;
        const char* fixedRows;
        const char* error;  // empty: accepted
    } cases[] = {
        {"", "1", "Rows needs a whole number."},
        {"12a", "1", "Rows needs a whole number."},
        {"99999999999", "1", "Rows needs a whole number."},
        {"2", "5", "The fixed rows (5) must be from 0 to the row count (2)."},
        {"8", "2", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        SetDlgItemTextW(dialog, IDC_NUMBER_VALUE, gbk::ToWide(c.rows).c_str());
        SetDlgItemTextW(dialog, IDC_NUMBER_VALUE + 1, gbk::ToWide(c.fixedRows).c_str());
        dialog.SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_EQ(dialog.ErrorText(), c.error);
        const std::vector<int> kept{3, 1}, entered{8, 2};
        EXPECT_EQ(dialog.Values(), *c.error ? kept : entered);
    }
    dialog.DestroyWindow();
}
