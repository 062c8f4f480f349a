// Copy, cut, paste and select all through the real clipboard; the edit commands and their
// enabling; vetoes from the parent.
#include <string>
#include <vector>

#include "framework/GbkText.h"
#include "tests/grid/GridTestSupport.h"

using namespace std::string_literals;

namespace {
// A parent that answers -1 to one code for one cell, and may destroy the grid on the first
// notification of a code.
class VetoingParent : public RecordingParent {
public:
    int vetoCode = 0;
    CGridCellId vetoCell;
    int destroyOnCode = 0;
    CWnd* grid = nullptr;

protected:
    LRESULT OnVetoNotify(WPARAM wParam, LPARAM lParam) {
        const auto* nm = reinterpret_cast<const GridNotification*>(lParam);
        notes.push_back({static_cast<int>(nm->hdr.code), nm->row, nm->col, nm->hdr.hwndFrom, wParam});
        if (grid && static_cast<int>(nm->hdr.code) == destroyOnCode) grid->DestroyWindow();
        return static_cast<int>(nm->hdr.code) == vetoCode && CGridCellId(nm->row, nm->col) == vetoCell ? -1 : 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(VetoingParent, RecordingParent)
    ON_MESSAGE(WM_NOTIFY, OnVetoNotify)
END_MESSAGE_MAP()

// A cell that can pretend its editor is open.
class EditingCell : public CGridCell {
    DECLARE_DYNCREATE(EditingCell)

public:
    void OpenEditor(CWnd* editor) { SetEditing(TRUE, editor); }
};
IMPLEMENT_DYNCREATE(EditingCell, CGridCell)

// A cell class with an answer of its own for its text.
class ComputedCell : public CGridCell {
    DECLARE_DYNCREATE(ComputedCell)

public:
    std::string GetText() const override { return "computed"; }
};
IMPLEMENT_DYNCREATE(ComputedCell, CGridCell)

// A grid of `rows` x `cols` in a vetoing parent, every cell holding "t<row><col>".
struct ClipboardGrid {
    VetoingParent parent;
    CGridCtrl grid;
    ClipboardGrid(int rows, int cols) {
        EXPECT_TRUE(parent.CreateTopLevel());
        EXPECT_TRUE(grid.Create(CRect(0, 0, 300, 200), &parent, GRID_ID, WS_CHILD | WS_VISIBLE));
        parent.grid = &grid;
        grid.SetRowCount(rows);
        grid.SetColumnCount(cols);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) grid.SetCellText(r, c, "t" + std::to_string(r) + std::to_string(c));
        grid.SetModified(FALSE);
    }
    void Select(const std::vector<CGridCellId>& cells) {
        for (const CGridCellId& c : cells) grid.SetCellState(c.row, c.col, grid.GetCellState(c.row, c.col) | CELL_SELECTED);
    }
    std::vector<std::string> Row(int r) const {
        std::vector<std::string> texts;
        for (int c = 0; c < grid.GetColumnCount(); ++c) texts.push_back(grid.GetCellText(r, c));
        return texts;
    }
};

std::string ClipboardBytes(UINT format) {
    std::string bytes;
    AfxReadClipboardBytes(format, &bytes);
    return bytes;
}

// Puts blocks on the clipboard the way another program does, in the order given.
void PutOnClipboard(const std::vector<std::pair<UINT, std::string>>& blocks) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    for (const auto& b : blocks) SetClipboardData(b.first, AfxGlobalFromBytes(b.second.data(), b.second.size()));
    CloseClipboard();
}

std::string Utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}
}  // namespace

TEST(GridClipboard, CopyWritesTheSelectedCellsAsTextUnicodeAndLocale) {
    ClipboardGrid g(3, 3);
    g.Select({{0, 0}, {1, 1}});
    g.grid.CopyToClipboard();
    // Exactly the text and one zero byte.
    EXPECT_EQ(ClipboardBytes(CF_TEXT), "t00\t\n\tt11\0"s);

    // A hidden column gives one field fewer; Chinese text reads back as UTF-16 and the
    // locale says Chinese (PRC).
    g.grid.SetCellText(0, 2, "\xD6\xD0\xCE\xC4");  // 中文
    g.Select({{0, 1}, {0, 2}});
    g.grid.SetColumnWidth(1, 0);
    g.grid.CopyToClipboard();
    EXPECT_EQ(ClipboardBytes(CF_TEXT), "t00\t\xD6\xD0\xCE\xC4\n\t\0"s);  // no t11
    const std::string wide = ClipboardBytes(CF_UNICODETEXT);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(wide.data())), L"t00\t\u4E2D\u6587\n\t");
    const std::string locale = ClipboardBytes(CF_LOCALE);
    ASSERT_GE(locale.size(), 4u);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(locale.data()), 0x0804u);

    // A cell class with its own text is asked for it.
    g.grid.ClearSelection();
    g.grid.CellClass = RUNTIME_CLASS(ComputedCell);
    g.grid.SetRowCount(4);
    g.Select({{3, 2}});
    g.grid.CopyToClipboard();
    EXPECT_EQ(ClipboardBytes(CF_TEXT), "computed\0"s);

    // Nothing selected: nothing is put there.
    g.grid.ClearSelection();
    EXPECT_EQ(g.grid.CopySelectionToSource(), nullptr);
}

TEST(GridClipboard, PasteFillsCellsFromTheTargetAndSelectsThem) {
    const struct {
        const char* what;
        std::string text;
        std::vector<std::vector<std::string>> expected;  // rows 2 and 3 afterwards
        CGridCellRange pasted;
    } cases[] = {
        {"comma and tab separate fields", "one,two\nthree\tfour",
         {{"t20", "one", "two", "t23"}, {"t30", "three", "four", "t33"}}, {2, 1, 3, 2}},
        {"CR LF lines", "one\r\ntwo\r\n", {{"t20", "one", "t22", "t23"}, {"t30", "two", "t32", "t33"}}, {2, 1, 3, 1}},
        {"fields past the last column and lines past the last row dropped", "a,b,c,d\ne\nf\ng",
         {{"t20", "a", "b", "c"}, {"t30", "e", "t32", "t33"}}, {2, 1, 3, 3}},
        {"an empty field clears its cell", "x,,y", {{"t20", "x", "", "y"}, {"t30", "t31", "t32", "t33"}}, {2, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClipboardGrid g(5, 4);
        g.grid.SetRowHeight(4, 0);  // the last row is hidden: no line lands there
        PutOnClipboard({{CF_TEXT, c.text + '\0'}});
        // The selection's top-left cell is the target, not the focus.
        g.grid.MoveFocusTo(0, 3);
        g.Select({{2, 1}, {3, 3}});
        g.grid.PasteFromClipboard();
        EXPECT_EQ(g.Row(2), c.expected[0]);
        EXPECT_EQ(g.Row(3), c.expected[1]);
        EXPECT_EQ(g.grid.GetCellText(4, 1), "t41");
        // The pasted block is selected, and nothing else.
        EXPECT_EQ(g.grid.SelectionBounds(), c.pasted);
        EXPECT_EQ(static_cast<int64_t>(g.grid.Selection().Size()), c.pasted.CellCount());
    }
}

TEST(GridClipboard, ChineseIsPastedFromTheFormatTheSourceWrote) {
    const std::string gbk = "\xD6\xD0\xCE\xC4";  // 中文
    const struct {
        const char* what;
        std::vector<std::pair<UINT, std::string>> blocks;
        std::string expected;
    } cases[] = {
        {"UTF-16 only (the system's CF_TEXT is in code page 1252)", {{CF_UNICODETEXT, Utf16(L"\u4E2D\u6587")}}, gbk},
        {"GBK CF_TEXT only", {{CF_TEXT, gbk + '\0'}}, gbk},
        {"both", {{CF_UNICODETEXT, Utf16(L"\u4E2D\u6587")}, {CF_TEXT, gbk + '\0'}}, gbk},
        {"a character GBK lacks", {{CF_UNICODETEXT, Utf16(L"\u4E2D\u0E01")}}, "\xD6\xD0?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClipboardGrid g(2, 2);
        PutOnClipboard(c.blocks);
        g.grid.MoveFocusTo(1, 1);
        g.grid.PasteFromClipboard();
        EXPECT_EQ(g.grid.GetCellText(1, 1), c.expected);
    }
}

TEST(GridClipboard, VetoKeepsThatCellsTextAndFlags) {
    ClipboardGrid g(3, 3);
    PutOnClipboard({{CF_TEXT, "a,b\nc,d"s + '\0'}});
    g.parent.vetoCode = GRID_NOTIFY_ENDEDIT;
    g.parent.vetoCell = CGridCellId(1, 2);
    g.grid.MoveFocusTo(1, 1);
    g.grid.PasteFromClipboard();
    EXPECT_EQ(g.Row(1), (std::vector<std::string>{"t10", "a", "t12"}));
    EXPECT_EQ(g.Row(2), (std::vector<std::string>{"t20", "c", "d"}));
    EXPECT_TRUE(g.grid.GetCellState(1, 1) & CELL_MODIFIED);
    EXPECT_FALSE(g.grid.GetCellState(1, 2) & CELL_MODIFIED);

    // A veto at the start leaves the cell alone without asking again at the end.
    g.parent.notes.clear();
    g.parent.vetoCode = GRID_NOTIFY_BEGINEDIT;
    g.grid.SetCellTextNotified(1, 2, "x");
    EXPECT_EQ(g.grid.GetCellText(1, 2), "t12");
    ASSERT_EQ(g.parent.notes.size(), 1u);
    EXPECT_EQ(g.parent.notes[0].code, GRID_NOTIFY_BEGINEDIT);

    // A parent that destroys the grid on the first question stops the paste there.
    g.parent.vetoCode = 0;
    g.parent.destroyOnCode = GRID_NOTIFY_BEGINEDIT;
    g.grid.SetCellState(0, 0, CELL_SELECTED);
    g.grid.PasteFromClipboard();
    EXPECT_FALSE(g.grid.IsWindow());
    EXPECT_EQ(g.grid.GetCellText(0, 0), "t00");
}

TEST(GridClipboard, CutClearsOnlyAnEditableGrid) {
    for (BOOL editable : {FALSE, TRUE}) {
        SCOPED_TRACE(editable ? "editable" : "not editable");
        ClipboardGrid g(2, 2);
        PutOnClipboard({{CF_TEXT, "before"s + '\0'}});
        g.grid.Editable = editable;
        g.Select({{0, 1}, {1, 1}});
        g.grid.CutToClipboard();
        EXPECT_EQ(ClipboardBytes(CF_TEXT), editable ? "t01\nt11\0"s : "before\0"s);
        EXPECT_EQ(g.grid.GetCellText(0, 1), editable ? "" : "t01");
        EXPECT_EQ(g.grid.GetCellText(1, 1), editable ? "" : "t11");
        EXPECT_EQ(g.grid.GetCellText(0, 0), "t00");
    }
}

TEST(GridClipboard, EditCommandsAndTheirEnabling) {
    ClipboardGrid g(3, 3);
    g.grid.SetFixedRowCount(1);
    PutOnClipboard({{CF_TEXT, "p"s + '\0'}});
    const struct {
        const char* what;
        BOOL editable, selectionEnabled, select, focus, readOnlyFocus, clipboardText;
        BOOL copy, cut, paste, selectAll;
    } cases[] = {
        {"nothing selected, no focus", TRUE, TRUE, FALSE, FALSE, FALSE, TRUE, FALSE, FALSE, FALSE, TRUE},
        {"a selection and an editable focus", TRUE, TRUE, TRUE, TRUE, FALSE, TRUE, TRUE, TRUE, TRUE, TRUE},
        {"read-only grid", FALSE, TRUE, TRUE, TRUE, FALSE, TRUE, TRUE, FALSE, FALSE, TRUE},
        {"read-only focus cell", TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, FALSE, TRUE},
        {"no text on the clipboard", TRUE, TRUE, TRUE, TRUE, FALSE, FALSE, TRUE, TRUE, FALSE, TRUE},
        {"selection disabled", TRUE, FALSE, FALSE, TRUE, FALSE, TRUE, FALSE, FALSE, TRUE, FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g.grid.ClearSelection();
        g.grid.Editable = c.editable;
        g.grid.SelectionEnabled = TRUE;
        if (c.select) g.Select({{1, 1}});
        g.grid.SelectionEnabled = c.selectionEnabled;
        if (c.focus) g.grid.MoveFocusTo(2, 2);
        g.grid.SetCellState(2, 2, (g.grid.GetCellState(2, 2) & ~CELL_READONLY) | (c.readOnlyFocus ? static_cast<DWORD>(CELL_READONLY) : 0u));
        if (c.clipboardText)
            PutOnClipboard({{CF_TEXT, "p"s + '\0'}});
        else
            PutOnClipboard({});
        EXPECT_EQ(g.grid.IsEditCommandEnabled(ID_EDIT_COPY), c.copy);
        EXPECT_EQ(g.grid.IsEditCommandEnabled(ID_EDIT_CUT), c.cut);
        EXPECT_EQ(g.grid.IsEditCommandEnabled(ID_EDIT_PASTE), c.paste);
        EXPECT_EQ(g.grid.IsEditCommandEnabled(ID_EDIT_SELECT_ALL), c.selectAll);
    }
    EXPECT_FALSE(g.grid.IsEditCommandEnabled(57636));

    // The commands arrive as WM_COMMAND from a menu or an accelerator.
    g.grid.Editable = TRUE;
    g.grid.SelectionEnabled = TRUE;
    g.grid.ClearSelection();
    g.parent.notes.clear();
    g.grid.SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_SELECT_ALL, 1));
    EXPECT_EQ(g.grid.SelectionBounds(), CGridCellRange(1, 0, 2, 2));
    ASSERT_EQ(g.parent.notes.size(), 2u);
    EXPECT_EQ(g.parent.notes[0].code, GRID_NOTIFY_SELCHANGING);
    EXPECT_EQ(g.parent.notes[1].code, GRID_NOTIFY_SELCHANGED);
    g.grid.SendMessage(WM_COMMAND, ID_EDIT_COPY);
    EXPECT_EQ(ClipboardBytes(CF_TEXT), "t10\tt11\tt12\nt20\tt21\tt22\0"s);
    g.grid.SendMessage(WM_COMMAND, ID_EDIT_CUT);
    EXPECT_EQ(g.grid.GetCellText(2, 2), "");
    g.grid.ClearSelection();
    g.grid.MoveFocusTo(2, 0);
    g.grid.SendMessage(WM_COMMAND, ID_EDIT_PASTE);
    EXPECT_EQ(g.grid.GetCellText(2, 0), "t10");
}

TEST(GridClipboard, PasteGoesIntoAnOpenEditControl) {
    ClipboardGrid g(2, 2);
    g.grid.CellClass = RUNTIME_CLASS(EditingCell);
    g.grid.SetRowCount(3);
    CWnd edit;
    ASSERT_TRUE(edit.CreateEx(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), g.grid.m_hWnd, 8));
    static_cast<EditingCell*>(g.grid.GetCell(2, 1))->OpenEditor(&edit);
    PutOnClipboard({{CF_TEXT, "pasted"s + '\0'}});
    g.grid.MoveFocusTo(2, 1);
    g.grid.PasteFromClipboard();
    EXPECT_EQ(edit.GetWindowText(), "pasted");
    EXPECT_EQ(g.grid.GetCellText(2, 1), "");
    g.grid.GetCell(2, 1)->OnEditEnded();
}

TEST(GridClipboard, CopiedTextOutlivesTheGrid) {
    {
        ClipboardGrid g(1, 1);
        g.Select({{0, 0}});
        g.grid.CopyToClipboard();
        EXPECT_NE(COleDataSource::GetClipboardOwner(), nullptr);
    }
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), nullptr);
    EXPECT_EQ(ClipboardBytes(CF_TEXT), "t00\0"s);
}
