// In-place editing through real messages: a character or F2 to the grid opens the cell's
// editor, keys and characters to the editor's window end it, the parent hears of it (and
// may veto) through the grid.
#include <string>
#include <vector>

#include "framework/MessageLoop.h"
#include "grid/cells/CellEditBox.h"
#include "tests/grid/GridTestSupport.h"

namespace {
constexpr int BEGIN = GRID_NOTIFY_BEGINEDIT, END = GRID_NOTIFY_ENDEDIT;
const std::vector<CellNote> kOneEdit = {{BEGIN, 2, 2}, {END, 2, 2}};

// 5 x 5 cells of 20 x 50 pixels, one fixed row and column; the focus cell (2, 2) holds "old".
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
    CCellEditBox* Editor(int row = 2, int col = 2) const {
        CGridCellBase* cell = grid.GetCell(row, col);
        return cell && cell->IsEditing() ? dynamic_cast<CCellEditBox*>(cell->GetEditor()) : nullptr;
    }
    CCellEditBox* Open(UINT first) {
        grid.StartCellEdit(2, 2, CPoint(-1, -1), first);
        PumpMessages();
        return Editor();
    }
    // Sends each character to the window with the keyboard focus (the editor, once open).
    void Type(const std::wstring& text) {
        for (wchar_t ch : text) {
            ::SendMessageW(::GetFocus(), WM_CHAR, ch, 1);
            PumpMessages();
        }
    }
    bool AnyEditWindow() const { return FindWindowExW(grid.m_hWnd, nullptr, L"Edit", nullptr) != nullptr; }
};
}  // namespace

TEST(GridEdit, NotificationsOfAnEditAndTheParentsVetoes) {
    struct Case {
        const char* what;
        UINT message, code;  // what starts it, sent to the grid
        std::wstring typed;  // then sent to the editor
        LRESULT beginReply, endReply;
        std::string text;
        bool modified;
        std::vector<CellNote> notes;
        void (*setUp)(CGridCtrl&) = nullptr;
    } cases[] = {
        {"typing and Enter", WM_CHAR, 'a', L"bc\r", 0, 0, "abc", true, kOneEdit},
        {"the parent vetoes the start", WM_CHAR, 'a', L"", -1, 0, "old", false, {{BEGIN, 2, 2}}},
        {"the parent vetoes the text", WM_CHAR, 'a', L"\r", 0, -1, "old", false, kOneEdit},
        {"F2 and Enter: the same text", WM_KEYDOWN, VK_F2, L"\r", 0, 0, "old", false, {{BEGIN, 2, 2}}},
        {"Esc puts the old text back", WM_CHAR, 'a', L"bc\x1b", 0, 0, "old", false, {{BEGIN, 2, 2}}},
        {"Backspace", WM_CHAR, '\b', L"\r", 0, 0, "ol", true, kOneEdit},
        {"a typed bracket is kept", WM_CHAR, '(', L"1)\r", 0, 0, "(1)", true, kOneEdit},
        {"Chinese typed is stored as GBK", WM_CHAR, L'中', L"文\r", 0, 0, "中文", true, kOneEdit},
        {"an IME character", WM_IME_CHAR, L'文', L"\r", 0, 0, "文", true, kOneEdit},
        {"Esc to the grid", WM_CHAR, 27, L"", 0, 0, "old", false, {}},
        {"typing while the mouse selects", WM_CHAR, 'a', L"", 0, 0, "old", false, {},
         [](CGridCtrl& g) { g.MouseState = MS_SELECTING_CELLS; }},
        {"F2 with Editable off", WM_KEYDOWN, VK_F2, L"", 0, 0, "old", false, {}, [](CGridCtrl& g) { g.Editable = FALSE; }},
        {"typing into a read-only cell", WM_CHAR, 'a', L"", 0, 0, "old", false, {},
         [](CGridCtrl& g) { g.SetCellState(2, 2, CELL_READONLY); }},
        {"F2 in a hidden column", WM_KEYDOWN, VK_F2, L"", 0, 0, "old", false, {}, [](CGridCtrl& g) { g.SetColumnWidth(2, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditGrid g;
        if (c.setUp) c.setUp(g.grid);
        g.w.parent.answer = [&c](const NotifyRecord& n) { return n.code == BEGIN ? c.beginReply : n.code == END ? c.endReply : 0; };
        g.grid.SendMessage(c.message, c.code, 1);
        PumpMessages();
        EXPECT_EQ(g.Editor() != nullptr, !c.notes.empty() && c.beginReply >= 0);
        g.Type(c.typed);
        EXPECT_EQ(g.grid.GetCellText(2, 2), c.text);
        EXPECT_EQ(g.grid.GetModified() != FALSE, c.modified);
        EXPECT_EQ((g.grid.GetCellState(2, 2) & CELL_MODIFIED) != 0, c.modified);
        EXPECT_EQ(CellNotes(g.w.parent), c.notes);
        EXPECT_FALSE(g.AnyEditWindow());
    }
}

TEST(GridEdit, TheFirstCharacterPlacesTheCaretAndArrowsEndUnlessTheMouseStarted) {
    struct Case {
        UINT first;
        std::string text;
        DWORD selStart, selEnd;
        UINT key;  // then sent to the editor (0: none)
        bool ctrl, ends;
    } cases[] = {
        {VK_LBUTTON, "old", 3, 3, VK_LEFT, false, false}, {VK_LBUTTON, "old", 3, 3, VK_LEFT, true, true},
        {VK_RETURN, "old", 3, 3, VK_UP, false, true},     {VK_BACK, "ol", 2, 2, 0, false, false},
        {VK_TAB, "old", 0, 3, VK_NEXT, false, true},      {VK_SPACE, "old", 0, 3, VK_HOME, false, false},
        {VK_DOWN, "old", 0, 3, 0, false, false},          {'x', "x", 1, 1, VK_RIGHT, false, true},
        {L'中', "中", 1, 1, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        EditGrid g;
        CCellEditBox* editor = g.Open(c.first);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->GetWindowText(), c.text);
        DWORD start = 0, end = 0;
        editor->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, c.selStart);
        EXPECT_EQ(end, c.selEnd);
        EXPECT_EQ(GetFocus(), editor->m_hWnd);
        if (c.key) {
            HeldKeys held(c.ctrl);
            editor->SendMessage(WM_KEYDOWN, c.key, 1);
        }
        EXPECT_EQ(g.Editor() == nullptr, c.ends);
        g.grid.EndEditing();
    }
}

TEST(GridEdit, TabAndArrowsCarryTheEditingOn) {
    EditGrid g;
    g.Type(L"a\tb\tc");
    ::SendMessageW(::GetFocus(), WM_KEYDOWN, VK_DOWN, 1);
    PumpMessages();
    EXPECT_EQ(g.grid.GetCellText(2, 2) + g.grid.GetCellText(2, 3) + g.grid.GetCellText(2, 4), "abc");
    ASSERT_NE(g.Editor(3, 4), nullptr);  // Down ended the third and opened the one below
    const std::vector<CellNote> expected = {{BEGIN, 2, 2}, {END, 2, 2}, {-100, 2, 3}, {-101, 2, 3}, {BEGIN, 2, 3},
                                            {END, 2, 3},   {-100, 2, 4}, {-101, 2, 4}, {BEGIN, 2, 4}, {END, 2, 4},
                                            {-100, 3, 4}, {-101, 3, 4}, {BEGIN, 3, 4}};
    EXPECT_EQ(CellNotes(g.w.parent), expected);
    g.grid.EndEditing();
    EXPECT_FALSE(g.AnyEditWindow());
}

TEST(GridEdit, TheEditorGrowsWithItsTextUpToTheGridsEdge) {
    EditGrid g;
    CCellEditBox* editor = g.Open(VK_LBUTTON);
    ASSERT_NE(editor, nullptr);
    const CRect start = editor->Rect();
    CRect client, now;
    g.grid.GetClientRect(&client);
    auto placed = [&] {
        editor->GetWindowRect(&now);
        g.grid.ScreenToClient(&now);
        return now;
    };
    g.Type(L"W中W中W中W中");
    EXPECT_GT(placed().right, start.right);
    EXPECT_LT(now.right, client.right);
    EXPECT_EQ(CRect(now.left, now.top, start.right, now.bottom), start);
    EXPECT_EQ(editor->SendMessage(EM_GETFIRSTVISIBLELINE), 0) << "the whole text in view again";
    CClientDC dc(editor->m_hWnd);
    CSelectGuard font(dc.GetSafeHdc(), editor->GetFont());
    EXPECT_LE(dc.GetTextExtent(editor->GetWindowText() + "  ").cx, now.Width());
    // Never past the grid's edge, and never narrower again.
    g.Type(std::wstring(60, L'W'));
    EXPECT_EQ(placed().right, client.right);
    g.Type(std::wstring(70, L'\b'));
    EXPECT_EQ(placed().right, client.right);
    g.grid.EndEditing();
}

TEST(GridEdit, EachEditorReportsOnceWhateverEndsIt) {
    // Two grids: an editor opened and ended while the other's report is being handled still
    // reports (each editor keeps its own guard), and asking the first to finish again sends
    // nothing more.
    {
        EditGrid a, b;
        CCellEditBox* first = a.Open('x');
        ASSERT_NE(first, nullptr);
        a.w.parent.answer = [&](const NotifyRecord& n) {
            if (n.code != END) return LRESULT(0);
            first->FinishEdit();
            b.Open(VK_LBUTTON);
            b.Type(L"y");
            b.grid.EndEditing();
            return LRESULT(0);
        };
        first->FinishEdit();
        EXPECT_EQ(CellNotes(a.w.parent), kOneEdit);
        EXPECT_EQ(CellNotes(b.w.parent), kOneEdit);
        EXPECT_EQ(a.grid.GetCellText(2, 2) + b.grid.GetCellText(2, 2), "xoldy");
        EXPECT_FALSE(a.AnyEditWindow() || b.AnyEditWindow() || b.grid.IsCellEditing(2, 2));
    }
    // The grid's window goes while the editor is open, by itself or in the parent's reply.
    for (bool inReply : {false, true}) {
        EditGrid g;
        ASSERT_NE(g.Open('z'), nullptr);
        g.w.parent.answer = [&](const NotifyRecord& n) {
            if (inReply && n.code == END) g.grid.DestroyWindow();
            return LRESULT(0);
        };
        if (inReply)
            g.Type(L"\r");
        else
            g.grid.DestroyWindow();
        PumpMessages();
        EXPECT_EQ(CellNotes(g.w.parent), kOneEdit);
        EXPECT_EQ(g.grid.GetCellText(2, 2), "z");
        EXPECT_FALSE(g.grid.IsWindow() || g.grid.IsCellEditing(2, 2));
    }
    // An editor whose window cannot be made opens nothing and needs nothing finished.
    CGridCtrl windowless(4, 4, 1, 1);
    CGridCellBase* cell = windowless.GetCell(1, 1);
    EXPECT_FALSE(cell->BeginEdit(1, 1, CRect(0, 0, 50, 20), CPoint(-1, -1), INPLACE_EDITOR_ID, 'a'));
    EXPECT_FALSE(cell->IsEditing() || cell->GetEditor());
}

TEST(GridEdit, TheEditorTakesItsKeysBeforeADialogDoes) {
    EditGrid g;
    CCellEditBox* editor = g.Open('q');
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->SendMessage(WM_GETDLGCODE), DLGC_WANTALLKEYS);
    MSG alt{editor->m_hWnd, WM_SYSCHAR, 'f', 0x20000000}, letter{editor->m_hWnd, WM_KEYDOWN, 'F', 1};
    EXPECT_TRUE(editor->PreTranslateMessage(&alt));
    EXPECT_FALSE(editor->PreTranslateMessage(&letter));
    // Enter, as a dialog's loop would meet it: taken (and dispatched) by the editor.
    MSG enter{editor->m_hWnd, WM_KEYDOWN, VK_RETURN, 1};
    EXPECT_TRUE(AfxPreTranslateMessage(&enter));
    PumpMessages();
    EXPECT_EQ(g.Editor(), nullptr);
    EXPECT_EQ(CellNotes(g.w.parent), kOneEdit);
    EXPECT_EQ(g.grid.GetCellText(2, 2), "q");
}

TEST(GridEdit, AnOpenEditorEndsBeforeItsCellGoesOrMoves) {
    // The editor reports its text into its cell first, wherever the focus is by then (an
    // owner may take the focus away while the editor stays open).
    const struct {
        const char* what;
        void (*change)(CGridCtrl&);
    } cases[] = {
        {"the rows shrink past it", [](CGridCtrl& g) { g.SetRowCount(2); }},
        {"the columns shrink past it", [](CGridCtrl& g) { g.SetColumnCount(2); }},
        {"every cell goes", [](CGridCtrl& g) { g.RemoveAllCells(); }},
        {"the focus goes, then a sort", [](CGridCtrl& g) {
             g.ClearSelection();
             g.SortByColumn(1, TRUE);
         }},
        {"the focus goes, then the owner ends editing", [](CGridCtrl& g) {
             g.ClearSelection();
             g.EndEditing();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EditGrid e;
        CCellEditBox* editor = e.Open(VK_LBUTTON);
        ASSERT_NE(editor, nullptr);
        const HWND window = editor->m_hWnd;
        ::SetWindowTextW(window, L"new");
        c.change(e.grid);
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(CellNotes(e.w.parent), kOneEdit);
        for (int row = 0; row < e.grid.GetRowCount(); ++row)
            for (int col = 0; col < e.grid.GetColumnCount(); ++col) EXPECT_FALSE(e.grid.IsCellEditing(row, col));
    }
}
