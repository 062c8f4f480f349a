// In-place editing through real messages: typing or F2 to the grid opens the cell's editor,
// keys and characters to the editor's window end it, and the parent hears of it (and may
// veto) through the grid.
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/GbkText.h"
#include "grid/cells/CellEditBox.h"
#include "tests/grid/GridTestSupport.h"

#define IDD_GRID_HOST 300  // GridTest.rc

namespace {
constexpr int BEGIN = GRID_NOTIFY_BEGINEDIT, END = GRID_NOTIFY_ENDEDIT;
constexpr int CHANGING = GRID_NOTIFY_SELCHANGING, CHANGED = GRID_NOTIFY_SELCHANGED;

// 5 x 5 cells of 20 x 50 pixels with one fixed row and column; cell (2, 2) holds "old"
// and is the focus cell.
struct EditGrid {
    GridInWindow w;
    CGridCtrl& grid = w.grid;
    EditGrid() {
        MakeUniform(grid, 5, 5);
        grid.SetCellText(2, 2, "old");
        grid.SetModified(FALSE);
        grid.MoveFocusTo(2, 2);
        grid.SetFocus();
    }
    // The open editor of a cell; none when it is not editing.
    CCellEditBox* Editor(int row, int col) const {
        CGridCellBase* cell = grid.GetCell(row, col);
        return cell && cell->IsEditing() ? dynamic_cast<CCellEditBox*>(cell->GetEditor()) : nullptr;
    }
    // Opens the focus cell's editor as StartCellEdit does with `first` and lets it settle.
    CCellEditBox* Open(UINT first) {
        grid.StartCellEdit(2, 2, CPoint(-1, -1), first);
        PumpMessages();
        return Editor(2, 2);
    }
    // Edit windows that are children of the grid.
    int EditWindows() const {
        int n = 0;
        for (HWND h = nullptr; (h = FindWindowExW(grid.m_hWnd, h, L"Edit", nullptr)) != nullptr;) ++n;
        return n;
    }
    void Type(UINT ch) {
        grid.SendMessage(WM_CHAR, ch, 1);
        PumpMessages();
    }
    void TypeIntoEditor(const std::wstring& text) {
        for (wchar_t ch : text) {
            CCellEditBox* editor = Editor(2, 2);
            ASSERT_NE(editor, nullptr);
            editor->SendMessage(WM_CHAR, ch, 1);
        }
        PumpMessages();
    }
};
}  // namespace

TEST(GridEdit, NotificationsOfAnEditAndTheParentsVetoes) {
    struct Case {
        const char* what;
        UINT start;  // a character to the grid, or VK_F2 as a key
        std::wstring typed;
        wchar_t end;  // a character to the editor
        LRESULT beginReply, endReply;
        std::string text;  // of the cell afterwards
        bool modified;
        std::vector<CellNote> notes;
    } cases[] = {
        {"typing and Enter", 'a', L"bc", '\r', 0, 0, "abc", true, {{BEGIN, 2, 2}, {END, 2, 2}}},
        {"the parent vetoes the start", 'a', L"", '\r', -1, 0, "old", false, {{BEGIN, 2, 2}}},
        {"the parent vetoes the text", 'a', L"", '\r', 0, -1, "old", false, {{BEGIN, 2, 2}, {END, 2, 2}}},
        {"F2 and Enter: the same text, no end notice", VK_F2, L"", '\r', 0, 0, "old", false, {{BEGIN, 2, 2}}},
        {"F2 appends", VK_F2, L"er", '\r', 0, 0, "older", true, {{BEGIN, 2, 2}, {END, 2, 2}}},
        {"Esc puts the old text back", 'a', L"bc", 27, 0, 0, "old", false, {{BEGIN, 2, 2}}},
        {"Backspace takes the last character", '\b', L"", '\r', 0, 0, "ol", true, {{BEGIN, 2, 2}, {END, 2, 2}}},
        {"a typed bracket is kept", '(', L"1)", '\r', 0, 0, "(1)", true, {{BEGIN, 2, 2}, {END, 2, 2}}},
        {"Chinese typed is stored as GBK", L'中', L"文", '\r', 0, 0, "中文", true, {{BEGIN, 2, 2}, {END, 2, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditGrid g;
        g.w.parent.answer = [&c](const NotifyRecord& n) {
            return n.code == BEGIN ? c.beginReply : n.code == END ? c.endReply : 0;
        };
        if (c.start == VK_F2)
            g.grid.SendMessage(WM_KEYDOWN, VK_F2, 1);
        else
            g.Type(c.start);
        PumpMessages();
        if (c.beginReply >= 0) {
            ASSERT_NE(g.Editor(2, 2), nullptr);
            g.TypeIntoEditor(c.typed + c.end);
        }
        EXPECT_EQ(g.grid.GetCellText(2, 2), c.text);
        EXPECT_EQ(g.grid.GetModified() != FALSE, c.modified);
        EXPECT_EQ((g.grid.GetCellState(2, 2) & CELL_MODIFIED) != 0, c.modified);
        EXPECT_EQ(CellNotes(g.w.parent), c.notes);
        EXPECT_FALSE(g.grid.IsCellEditing(2, 2));
        EXPECT_EQ(g.EditWindows(), 0);
    }
}

TEST(GridEdit, NothingOpensAnEditor) {
    struct Case {
        const char* what;
        void (*setUp)(CGridCtrl& grid);
        UINT message;
        UINT code;
    } cases[] = {
        {"Esc typed", [](CGridCtrl&) {}, WM_CHAR, 27},
        {"Tab typed while the grid takes Tab", [](CGridCtrl&) {}, WM_CHAR, '\t'},
        {"typing while the mouse selects", [](CGridCtrl& g) { g.MouseState = MS_SELECTING_CELLS; }, WM_CHAR, 'a'},
        {"an IME character while the mouse selects",
         [](CGridCtrl& g) { g.MouseState = MS_SELECTING_CELLS; }, WM_IME_CHAR, L'中'},
        {"typing with Editable off", [](CGridCtrl& g) { g.Editable = FALSE; }, WM_CHAR, 'a'},
        {"F2 with Editable off", [](CGridCtrl& g) { g.Editable = FALSE; }, WM_KEYDOWN, VK_F2},
        {"F2 on a read-only cell", [](CGridCtrl& g) { g.SetCellState(2, 2, CELL_READONLY); }, WM_KEYDOWN, VK_F2},
        {"typing without a focus cell", [](CGridCtrl& g) { g.MoveFocusTo(-1, -1); }, WM_CHAR, 'a'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditGrid g;
        c.setUp(g.grid);
        g.grid.SendMessage(c.message, c.code, 1);
        PumpMessages();
        EXPECT_EQ(g.EditWindows(), 0);
        EXPECT_TRUE(g.w.parent.notes.empty());
        EXPECT_EQ(g.grid.GetCellText(2, 2), "old");
    }
}

TEST(GridEdit, TheFirstCharacterPlacesTheCaret) {
    struct Case {
        const char* what;
        UINT first;
        std::string text;
        DWORD selStart, selEnd;
    } cases[] = {
        {"a mouse start: caret at the end", VK_LBUTTON, "old", 3, 3},
        {"Enter: caret at the end", VK_RETURN, "old", 3, 3},
        {"Backspace deletes the last character", VK_BACK, "ol", 2, 2},
        {"Tab selects the text", VK_TAB, "old", 0, 3},
        {"space selects the text", VK_SPACE, "old", 0, 3},
        {"an arrow selects the text", VK_DOWN, "old", 0, 3},
        {"a letter replaces the text", 'x', "x", 1, 1},
        {"a Chinese character replaces the text", L'中', "中", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditGrid g;
        CCellEditBox* editor = g.Open(c.first);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->GetWindowText(), c.text);
        DWORD start = 0, end = 0;
        editor->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, c.selStart);
        EXPECT_EQ(end, c.selEnd);
        EXPECT_EQ(GetFocus(), editor->m_hWnd);
        g.grid.EndEditing();
    }
}

TEST(GridEdit, ArrowsEndAnEditUnlessTheMouseStartedIt) {
    struct Case {
        const char* what;
        UINT first;
        bool ctrl;
        UINT key;
        bool ends;
    } cases[] = {
        {"typed start, Right", 'x', false, VK_RIGHT, true},
        {"typed start, PageDown", 'x', false, VK_NEXT, true},
        {"typed start, Home moves the caret", 'x', false, VK_HOME, false},
        {"mouse start, Left moves the caret", VK_LBUTTON, false, VK_LEFT, false},
        {"mouse start, Ctrl+Left ends", VK_LBUTTON, true, VK_LEFT, true},
        {"Enter start, Up ends", VK_RETURN, false, VK_UP, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditGrid g;
        CCellEditBox* editor = g.Open(c.first);
        ASSERT_NE(editor, nullptr);
        {
            HeldKeys held(c.ctrl);
            editor->SendMessage(WM_KEYDOWN, c.key, 1);
        }
        PumpMessages();
        EXPECT_EQ(g.Editor(2, 2) == nullptr, c.ends);
        g.grid.EndEditing();
    }
}

TEST(GridEdit, TabAndArrowsCarryTheEditingOn) {
    EditGrid g;
    g.Type('a');
    g.TypeIntoEditor(L"\t");
    // Editing went on in the next cell with its text selected, so typing replaces it.
    ASSERT_EQ(g.grid.GetFocusCell(), CGridCellId(2, 3));
    CCellEditBox* next = g.Editor(2, 3);
    ASSERT_NE(next, nullptr);
    next->SendMessage(WM_CHAR, 'b', 1);
    next->SendMessage(WM_CHAR, '\t', 1);
    PumpMessages();
    CCellEditBox* third = g.Editor(2, 4);
    ASSERT_NE(third, nullptr);
    third->SendMessage(WM_CHAR, 'c', 1);
    third->SendMessage(WM_KEYDOWN, VK_DOWN, 1);
    PumpMessages();
    EXPECT_EQ(g.grid.GetCellText(2, 2), "a");
    EXPECT_EQ(g.grid.GetCellText(2, 3), "b");
    EXPECT_EQ(g.grid.GetCellText(2, 4), "c");
    // Down ended the third and opened the cell below.
    ASSERT_NE(g.Editor(3, 4), nullptr);
    EXPECT_EQ(g.EditWindows(), 1);
    const std::vector<CellNote> expected = {
        {BEGIN, 2, 2}, {END, 2, 2}, {CHANGING, 2, 3}, {CHANGED, 2, 3}, {BEGIN, 2, 3}, {END, 2, 3},
        {CHANGING, 2, 4}, {CHANGED, 2, 4}, {BEGIN, 2, 4}, {END, 2, 4}, {CHANGING, 3, 4}, {CHANGED, 3, 4},
        {BEGIN, 3, 4}};
    EXPECT_EQ(CellNotes(g.w.parent), expected);
    g.grid.EndEditing();
    EXPECT_EQ(g.EditWindows(), 0);
}

TEST(GridEdit, TheEditorGrowsWithItsTextUpToTheGridsEdge) {
    EditGrid g;
    g.grid.SetColumnWidth(2, 60);
    g.grid.StartCellEdit(2, 2, CPoint(-1, -1), VK_LBUTTON);
    CCellEditBox* editor = g.Editor(2, 2);
    ASSERT_NE(editor, nullptr);
    const CRect start = editor->Rect();
    CRect client;
    g.grid.GetClientRect(&client);
    auto windowRect = [&] {
        CRect r;
        editor->GetWindowRect(&r);
        g.grid.ScreenToClient(&r);
        return r;
    };
    auto fits = [&](const CRect& r) {
        CClientDC dc(editor->m_hWnd);
        CSelectGuard font(dc.GetSafeHdc(), editor->GetFont());
        return dc.GetTextExtent(editor->GetWindowText() + "  ").cx <= r.Width();
    };
    // A few letters fit the cell; more widen the editor just enough, at the left edge kept.
    for (char ch : std::string("abc")) editor->SendMessage(WM_CHAR, ch, 1);
    EXPECT_EQ(windowRect(), start);
    for (int i = 0; i < 5; ++i)
        for (wchar_t ch : std::wstring(L"W中")) editor->SendMessage(WM_CHAR, ch, 1);
    const CRect grown = windowRect();
    // Grown to hold the whole text, it shows it from its first character again.
    EXPECT_EQ(editor->SendMessage(EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_GT(grown.right, start.right);
    EXPECT_LT(grown.right, client.right);
    EXPECT_EQ(grown.left, start.left);
    EXPECT_EQ(grown.top, start.top);
    EXPECT_EQ(grown.bottom, start.bottom);
    EXPECT_TRUE(fits(grown));
    // Never past the client edge, and never narrower again.
    for (int i = 0; i < 60; ++i) editor->SendMessage(WM_CHAR, 'W', 1);
    EXPECT_EQ(windowRect().right, client.right);
    for (int i = 0; i < 70; ++i) editor->SendMessage(WM_CHAR, '\b', 1);
    EXPECT_EQ(windowRect().right, client.right);
    g.grid.EndEditing();
}

TEST(GridEdit, OneReportPerEditorWhateverEndsIt) {
    // The parent asks the editor to finish again while its report is being handled: nothing
    // more is sent.
    {
        EditGrid g;
        g.Type('x');
        CCellEditBox* editor = g.Editor(2, 2);
        ASSERT_NE(editor, nullptr);
        g.w.parent.answer = [&](const NotifyRecord& n) {
            if (n.code == END) editor->FinishEdit();
            return LRESULT(0);
        };
        g.grid.EndEditing();
        EXPECT_EQ(CellNotes(g.w.parent), (std::vector<CellNote>{{BEGIN, 2, 2}, {END, 2, 2}}));
        EXPECT_EQ(g.EditWindows(), 0);
    }
    // Two grids: an editor opened and ended while another's report is being handled still
    // reports (the guard is each editor's own).
    {
        EditGrid a, b;
        a.Type('x');
        CCellEditBox* first = a.Editor(2, 2);
        ASSERT_NE(first, nullptr);
        a.w.parent.answer = [&](const NotifyRecord& n) {
            if (n.code != END) return LRESULT(0);
            b.grid.StartCellEdit(2, 2, CPoint(-1, -1), VK_LBUTTON);
            if (CCellEditBox* second = b.Editor(2, 2)) second->SendMessage(WM_CHAR, 'y', 1);
            b.grid.EndEditing();
            return LRESULT(0);
        };
        first->FinishEdit();
        EXPECT_EQ(a.grid.GetCellText(2, 2), "x");
        EXPECT_EQ(b.grid.GetCellText(2, 2), "oldy");
        EXPECT_FALSE(b.grid.IsCellEditing(2, 2));
        EXPECT_EQ(b.EditWindows(), 0);
        EXPECT_EQ(CellNotes(b.w.parent), (std::vector<CellNote>{{BEGIN, 2, 2}, {END, 2, 2}}));
    }
    // The grid's window goes while the editor is open: its text is still reported once.
    {
        EditGrid g;
        g.Type('z');
        g.grid.DestroyWindow();
        PumpMessages();
        EXPECT_EQ(CellNotes(g.w.parent), (std::vector<CellNote>{{BEGIN, 2, 2}, {END, 2, 2}}));
        EXPECT_EQ(g.grid.GetCellText(2, 2), "z");
        EXPECT_FALSE(g.grid.IsCellEditing(2, 2));
    }
    // The parent destroys the grid in its reply to the end notice.
    {
        EditGrid g;
        g.Type('z');
        g.w.parent.answer = [&](const NotifyRecord& n) {
            if (n.code == END) g.grid.DestroyWindow();
            return LRESULT(0);
        };
        CCellEditBox* editor = g.Editor(2, 2);
        ASSERT_NE(editor, nullptr);
        editor->SendMessage(WM_CHAR, '\r', 1);
        PumpMessages();
        EXPECT_FALSE(g.grid.IsWindow());
        EXPECT_FALSE(g.grid.IsCellEditing(2, 2));
    }
}

TEST(GridEdit, AnEditorWithoutAWindowOpensNothing) {
    CGridCtrl windowless(4, 4, 1, 1);
    CGridCellBase* cell = windowless.GetCell(1, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_FALSE(cell->BeginEdit(1, 1, CRect(0, 0, 50, 20), CPoint(-1, -1), INPLACE_EDITOR_ID, 'a'));
    EXPECT_FALSE(cell->IsEditing());
    EXPECT_EQ(cell->GetEditor(), nullptr);
    cell->StopEdit();

    CCellEditBox box(nullptr, CRect(0, 0, 50, 20), 0, INPLACE_EDITOR_ID, 1, 1, "text", 'a');
    EXPECT_FALSE(box.IsWindow());
    box.FinishEdit();  // nothing to read, no one to tell
    PumpMessages();
    EXPECT_FALSE(box.IsWindow());
}

TEST(GridEdit, TheEditorKeepsItsKeysFromTheDialog) {
    EditGrid g;
    g.Type('x');
    CCellEditBox* editor = g.Editor(2, 2);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->SendMessage(WM_GETDLGCODE), DLGC_WANTALLKEYS);
    MSG alt{editor->m_hWnd, WM_SYSCHAR, 'f', 0x20000000};
    EXPECT_TRUE(editor->PreTranslateMessage(&alt));
    MSG letter{editor->m_hWnd, WM_KEYDOWN, 'F', 1};
    EXPECT_FALSE(editor->PreTranslateMessage(&letter));
    g.grid.EndEditing();
}

namespace {
// The grid in a dialog with a default button: Enter in an editor ends the edit, not the dialog.
class EditHostDlg : public CDialog {
public:
    EditHostDlg() : CDialog(IDD_GRID_HOST) {}
    CGridCtrl grid;
    bool okPressed = false;
    std::string textAfterEnter;
    bool editorGone = false;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        MakeUniform(grid, 4, 3);
        grid.SetColumnWidth(1, 80);
        grid.MoveFocusTo(1, 1);
        grid.SetFocus();
        grid.StartCellEdit(1, 1, CPoint(-1, -1), 'q');
        CGridCellBase* cell = grid.GetCell(1, 1);
        HWND editor = cell && cell->GetEditor() ? cell->GetEditor()->m_hWnd : nullptr;
        // As the keyboard would deliver it, through the dialog's own loop.
        ::PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageW(m_hWnd, WM_APP, 0, 0);
        return FALSE;  // the editor keeps the focus
    }
    void OnOK() override { okPressed = true; }
    LRESULT OnCheck(WPARAM round, LPARAM) {
        // The character that Enter makes is queued behind the first round.
        if (round < 3) {
            ::PostMessageW(m_hWnd, WM_APP, round + 1, 0);
            return 0;
        }
        textAfterEnter = grid.GetCellText(1, 1);
        editorGone = !grid.IsCellEditing(1, 1);
        EndDialog(IDCANCEL);
        return 0;
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1008, grid); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(EditHostDlg, CDialog)
    ON_MESSAGE(WM_APP, OnCheck)
END_MESSAGE_MAP()
}  // namespace

TEST(GridEdit, EnterInAnEditorInADialogEndsTheEditNotTheDialog) {
    EditHostDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.okPressed);
    EXPECT_TRUE(dlg.editorGone);
    EXPECT_EQ(dlg.textAfterEnter, "q");
}
