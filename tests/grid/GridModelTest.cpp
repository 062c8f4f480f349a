// The grid's table: construction defaults, counts with fixed rows and columns, cell access,
// modified flags, cell items, merging, notifications, and running out of memory.
#include <new>
#include <set>
#include <string>

#include "framework/System.h"
#include "tests/grid/GridTestSupport.h"

namespace {

struct Setting {
    const char* name;
    long long value;
    long long expected;
};

}  // namespace

TEST(GridConstruction, SettingsStartAtTheirDefaults) {
    CGridCtrl g;
    const Setting settings[] = {
        {"GridLineMode", g.GridLineMode, 3},           {"Editable", g.Editable, TRUE},
        {"DragAndDropEnabled", g.DragAndDropEnabled, FALSE}, {"WholeRowSelect", g.WholeRowSelect, FALSE},
        {"SingleRowSelect", g.SingleRowSelect, FALSE},  {"SingleColumnSelect", g.SingleColumnSelect, FALSE},
        {"RedrawEnabled", g.RedrawEnabled, TRUE},       {"SelectionEnabled", g.SelectionEnabled, TRUE},
        {"RowHeaderSelects", g.RowHeaderSelects, TRUE}, {"ColumnHeaderSelects", g.ColumnHeaderSelects, TRUE},
        {"SortOnHeaderClick", g.SortOnHeaderClick, FALSE}, {"HandleTabKey", g.HandleTabKey, TRUE},
        {"DoubleBuffered", g.DoubleBuffered, TRUE},     {"TitleTipsEnabled", g.TitleTipsEnabled, TRUE},
        {"TitleTipTextColour", g.TitleTipTextColour, CLR_DEFAULT},
        {"TitleTipBackColour", g.TitleTipBackColour, CLR_DEFAULT},
        {"PrintScreenScale", g.PrintScreenScale, FALSE},
        {"HiddenColumnsResizable", g.HiddenColumnsResizable, TRUE},
        {"HiddenRowsResizable", g.HiddenRowsResizable, TRUE}, {"ColumnsHideable", g.ColumnsHideable, TRUE},
        {"RowsHideable", g.RowsHideable, TRUE},         {"HighlightFocusHeaders", g.HighlightFocusHeaders, TRUE},
        {"FocusCellFramed", g.FocusCellFramed, TRUE},   {"PrintInColour", g.PrintInColour, TRUE},
        {"AutoSizeScope", g.AutoSizeScope, 3},          {"RowResizeEnabled", g.RowResizeEnabled, TRUE},
        {"ColumnResizeEnabled", g.ColumnResizeEnabled, TRUE}, {"ResizeCaptureRange", g.ResizeCaptureRange, 3},
        {"AutoScrollInterval", g.AutoScrollInterval, 25}, {"WheelScrollLines", g.WheelScrollLines, ReadWheelScrollLines()},
        {"SortAscending", g.SortAscending, TRUE},       {"SortColumn", g.SortColumn, -1},
        {"MouseState", g.MouseState, MS_IDLE},          {"AutoScrollTimer", static_cast<long long>(g.AutoScrollTimer), 0},
        {"LeftButtonDown", g.LeftButtonDown, FALSE},
        {"GridLineColour", g.GridLineColour, RGB(0xC0, 0xC0, 0xC0)},
        {"OuterBackColour", g.OuterBackColour, GetSysColor(COLOR_BTNSHADOW)},
        {"PrintHeaderLines", g.PrintHeaderLines, 2},    {"PrintFooterLines", g.PrintFooterLines, 2},
        {"PrintLeftMargin", g.PrintLeftMargin, 4},      {"PrintRightMargin", g.PrintRightMargin, 4},
        {"PrintTopMargin", g.PrintTopMargin, 1},        {"PrintBottomMargin", g.PrintBottomMargin, 1},
        {"PrintGapLines", g.PrintGapLines, 1},
        {"rows", g.GetRowCount(), 0}, {"columns", g.GetColumnCount(), 0}, {"fixed rows", g.GetFixedRowCount(), 0},
        {"fixed columns", g.GetFixedColumnCount(), 0}, {"modified", g.GetModified(), FALSE},
    };
    for (const Setting& s : settings) EXPECT_EQ(s.value, s.expected) << s.name;
    EXPECT_EQ(g.CellClass, RUNTIME_CLASS(CGridCell));
    EXPECT_EQ(g.ImageList, nullptr);
    EXPECT_EQ(g.GetFocusCell(), CGridCellId(-1, -1));
    for (const CGridCellId& id : {g.ButtonDownCell, g.SelectionAnchor, g.DropTargetCell}) EXPECT_FALSE(id.IsSet());
}

TEST(GridConstruction, DefaultCellsTakeTheSystemColours) {
    CGridCtrl g;
    struct {
        BOOL fixedRow, fixedCol;
        int back;
    } cases[] = {{FALSE, FALSE, COLOR_WINDOW}, {FALSE, TRUE, COLOR_BTNFACE}, {TRUE, FALSE, COLOR_BTNFACE},
                 {TRUE, TRUE, COLOR_BTNFACE}};
    for (const auto& c : cases) {
        CGridDefaultCell* def = g.DefaultCellFor(c.fixedRow, c.fixedCol);
        EXPECT_EQ(def->GetTextColour(), GetSysColor(COLOR_WINDOWTEXT)) << c.fixedRow << c.fixedCol;
        EXPECT_EQ(def->GetBackColour(), GetSysColor(c.back)) << c.fixedRow << c.fixedCol;
        EXPECT_EQ(def->GetOwnerGrid(), &g);
    }
    // Four distinct cells.
    EXPECT_NE(g.DefaultCellFor(FALSE, TRUE), g.DefaultCellFor(TRUE, FALSE));
    EXPECT_NE(g.DefaultCellFor(TRUE, TRUE), g.DefaultCellFor(FALSE, FALSE));
}

TEST(GridCounts, GrowingMarksFixedCellsAndSizesNewLines) {
    CGridCtrl g;
    ASSERT_TRUE(g.SetRowCount(5));
    ASSERT_TRUE(g.SetColumnCount(4));
    ASSERT_TRUE(g.SetFixedRowCount(2));
    ASSERT_TRUE(g.SetFixedColumnCount(1));
    struct {
        int row, col;
        DWORD state;
    } cases[] = {{0, 0, 0x70}, {0, 3, 0x30}, {1, 0, 0x70}, {1, 2, 0x30}, {2, 0, 0x50}, {4, 0, 0x50}, {2, 1, 0}, {4, 3, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(g.GetCellState(c.row, c.col), c.state) << c.row << "," << c.col;
        CGridCellBase* cell = g.GetCell(c.row, c.col);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->GetBackColour(), CLR_DEFAULT);
        EXPECT_EQ(cell->GetTextColour(), CLR_DEFAULT);
        EXPECT_EQ(cell->GetOwnerGrid(), &g);
    }
    for (int row = 0; row < 5; ++row) EXPECT_EQ(g.GetRowHeight(row), g.DefaultCellFor(FALSE, FALSE)->GetHeight());
    for (int col = 0; col < 4; ++col) EXPECT_EQ(g.GetColumnWidth(col), g.DefaultCellFor(FALSE, TRUE)->GetWidth());
    EXPECT_TRUE(g.GetModified());
}

TEST(GridCounts, OutOfRangeAccessChangesNothing) {
    CGridCtrl g(3, 2);
    EXPECT_EQ(g.GetRowHeight(3), -1);
    EXPECT_EQ(g.GetColumnWidth(-1), -1);
    EXPECT_FALSE(g.SetRowHeight(3, 10));
    EXPECT_FALSE(g.SetColumnWidth(0, -1));
    EXPECT_EQ(g.GetCell(0, 2), nullptr);
    EXPECT_EQ(g.GetCellState(-1, 0), 0u);
    EXPECT_EQ(g.GetCellText(3, 0), "");
    EXPECT_FALSE(g.SetCellText(3, 0, "x"));
    EXPECT_FALSE(g.SetCellState(0, 5, CELL_SELECTED));
    EXPECT_TRUE(g.Selection().Empty());
    EXPECT_FALSE(g.SetCellFromItem(nullptr));
    EXPECT_FALSE(g.SetRowCount(-1));
    EXPECT_EQ(g.GetRowCount(), 3);
    EXPECT_TRUE(g.SetRowHeight(2, 0));
    EXPECT_EQ(g.GetRowHeight(2), 0);
}

TEST(GridCounts, FixedRowsBeyondTheRowsGrowTheTable) {
    CGridCtrl g(1, 2);
    ASSERT_TRUE(g.SetFixedRowCount(3));
    EXPECT_EQ(g.GetRowCount(), 3);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 2; ++col) EXPECT_EQ(g.GetCellState(row, col), 0x30u) << row << "," << col;
}

TEST(GridCounts, ShrinkingFixedRowsKeepsFixedColumnsFixed) {
    CGridCtrl g(4, 3, 2, 1);
    g.SetCellBackColour(1, 2, RGB(1, 2, 3));
    g.SetCellBackColour(1, 0, RGB(4, 5, 6));
    ASSERT_TRUE(g.SetFixedRowCount(1));
    EXPECT_EQ(g.GetCellState(1, 0), 0x50u);  // only CELL_FIXEDROW went
    EXPECT_EQ(g.GetCellState(1, 2), 0u);
    EXPECT_EQ(g.GetCell(1, 2)->GetBackColour(), CLR_DEFAULT);
    EXPECT_EQ(g.GetCell(1, 0)->GetBackColour(), RGB(4, 5, 6));
    EXPECT_EQ(g.GetCellState(0, 0), 0x70u);

    ASSERT_TRUE(g.SetFixedColumnCount(0));
    EXPECT_EQ(g.GetCellState(0, 0), 0x30u);
    EXPECT_EQ(g.GetCellState(2, 0), 0u);
}

TEST(GridCounts, ShrinkingMovesTheFocusAwayAndLowersFixedCounts) {
    GridInWindow w(6, 4, 2, 1);
    CGridCtrl& g = w.grid;
    g.MoveFocusTo(4, 2);
    ASSERT_EQ(g.GetFocusCell(), CGridCellId(4, 2));
    ASSERT_TRUE(g.SetRowCount(4));
    EXPECT_EQ(g.GetFocusCell(), CGridCellId(-1, -1));

    g.MoveFocusTo(3, 3);
    ASSERT_TRUE(g.SetColumnCount(3));
    EXPECT_EQ(g.GetFocusCell(), CGridCellId(-1, -1));
    EXPECT_EQ(g.GetColumnCount(), 3);
    EXPECT_EQ(g.GetCell(0, 3), nullptr);

    g.MoveFocusTo(2, 1);
    ASSERT_TRUE(g.SetRowCount(0));
    EXPECT_EQ(g.GetFixedRowCount(), 0);
    EXPECT_EQ(g.GetFocusCell(), CGridCellId(-1, -1));
    EXPECT_EQ(g.VirtualHeight(), 0);
}

TEST(GridCounts, RemoveAllCellsEmptiesTheTable) {
    CGridCtrl g(5, 5, 1, 1);
    g.SelectWholeGrid();
    ASSERT_FALSE(g.Selection().Empty());
    g.SetModified(FALSE);
    EXPECT_TRUE(g.RemoveAllCells());
    EXPECT_EQ(g.GetRowCount() + g.GetColumnCount() + g.GetFixedRowCount() + g.GetFixedColumnCount(), 0);
    EXPECT_TRUE(g.Selection().Empty());
    EXPECT_EQ(g.VirtualWidth(), 0);
    EXPECT_TRUE(g.GetModified());
}

TEST(GridCells, TextStateAndColours) {
    CGridCtrl g(3, 3, 1, 1);
    g.SetModified(FALSE);
    ASSERT_TRUE(g.SetCellBackColour(1, 1, RGB(9, 8, 7)));
    ASSERT_TRUE(g.SetCellTextColour(1, 1, RGB(1, 1, 1)));
    EXPECT_FALSE(g.GetModified()) << "colours are not edits";
    EXPECT_EQ(g.GetCell(1, 1)->GetBackColour(), RGB(9, 8, 7));

    ASSERT_TRUE(g.SetCellText(2, 2, "\xD6\xD0\xCE\xC4"));  // 中文
    EXPECT_EQ(g.GetCellText(2, 2), "\xD6\xD0\xCE\xC4");
    EXPECT_TRUE(g.GetCell(2, 2)->IsModified());
    EXPECT_TRUE(g.GetModified());
    EXPECT_FALSE(g.GetCell(1, 1)->IsModified());

    ASSERT_TRUE(g.SetCellState(2, 1, CELL_SELECTED | CELL_READONLY));
    EXPECT_EQ(g.GetCellState(2, 1), static_cast<DWORD>(CELL_SELECTED | CELL_READONLY));
    EXPECT_TRUE(g.Selection().Contains(CGridCellId(2, 1)));
    ASSERT_TRUE(g.SetCellState(2, 1, CELL_READONLY));
    EXPECT_FALSE(g.Selection().Contains(CGridCellId(2, 1)));
    EXPECT_FALSE(g.IsCellEditing(2, 1));
}

TEST(GridCells, ModifiedFlagsAndTheSortColumn) {
    CGridCtrl g(4, 3);
    g.SortColumn = 1;
    g.SetCellText(0, 2, "a");
    EXPECT_EQ(g.SortColumn, 1) << "an edit elsewhere keeps the sort mark";
    g.SetCellText(3, 1, "b");
    EXPECT_EQ(g.SortColumn, -1) << "an edit in the sorted column voids it";

    g.SortColumn = 2;
    EXPECT_TRUE(g.SetModified(TRUE));
    EXPECT_EQ(g.SortColumn, -1) << "the whole grid modified voids it too";

    g.SetModified(FALSE, 0, 2);
    EXPECT_FALSE(g.GetCell(0, 2)->IsModified());
    EXPECT_TRUE(g.GetCell(3, 1)->IsModified());
    EXPECT_TRUE(g.GetModified());
    EXPECT_FALSE(g.SetModified(FALSE));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) EXPECT_FALSE(g.GetCell(row, col)->IsModified());
}

namespace {
// Records the order in which the grid calls the cell's setters.
class RecordingCell : public CGridCell {
    DECLARE_DYNCREATE(RecordingCell)

public:
    static std::vector<std::string>& Calls() {
        static std::vector<std::string> calls;
        return calls;
    }
    void SetText(const std::string& t) override { Calls().push_back("text"), CGridCell::SetText(t); }
    void SetData(LPARAM d) override { Calls().push_back("data"), CGridCell::SetData(d); }
    void SetImage(int i) override { Calls().push_back("image"), CGridCell::SetImage(i); }
    void SetState(DWORD s) override { Calls().push_back("state"), CGridCell::SetState(s); }
    void SetFormat(DWORD f) override { Calls().push_back("format"), CGridCell::SetFormat(f); }
    void SetBackColour(COLORREF c) override { Calls().push_back("back"), CGridCell::SetBackColour(c); }
    void SetTextColour(COLORREF c) override { Calls().push_back("fore"), CGridCell::SetTextColour(c); }
    void SetFont(const LOGFONTW* f) override { Calls().push_back("font"), CGridCell::SetFont(f); }
    void SetMargin(UINT m) override { Calls().push_back("margin"), CGridCell::SetMargin(m); }
};
IMPLEMENT_DYNCREATE(RecordingCell, CGridCell)
}  // namespace

TEST(GridCells, PlainCellsAreMadeAsCellsOfAnyOtherClass) {
    // CGridCell's cells are made on a short path of their own; a class derived from it goes
    // through its class record and its setters. Both must give the same cells.
    auto made = [](const CRuntimeClass* cls, CGridCtrl& g) {
        g.CellClass = cls;
        const DWORD formats[2][2] = {{DT_LEFT, DT_CENTER}, {DT_RIGHT, DT_BOTTOM | DT_SINGLELINE}};
        for (BOOL fixedRow : {FALSE, TRUE})
            for (BOOL fixedCol : {FALSE, TRUE}) g.DefaultCellFor(fixedRow, fixedCol)->SetFormat(formats[fixedRow][fixedCol]);
        g.SetRowCount(1);
        g.SetColumnCount(1);
        g.SetFixedRowCount(1);
        g.SetFixedColumnCount(1);
        g.SetRowCount(3);
        g.SetColumnCount(3);
        std::vector<std::pair<DWORD, DWORD>> cells;  // state, format
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                EXPECT_EQ(g.GetCell(row, col)->GetOwnerGrid(), &g);
                cells.emplace_back(g.GetCell(row, col)->GetState(), g.GetCell(row, col)->GetFormat());
            }
        return cells;
    };
    CGridCtrl plain, derived;
    const auto plainCells = made(RUNTIME_CLASS(CGridCell), plain);
    EXPECT_EQ(plainCells, made(RUNTIME_CLASS(RecordingCell), derived));
    EXPECT_EQ(plainCells[0].first, static_cast<DWORD>(CELL_FIXED | CELL_FIXEDROW | CELL_FIXEDCOL));
    EXPECT_EQ(plainCells[5], std::make_pair(DWORD{0}, DWORD{DT_LEFT})) << "cell (1, 2)";
    EXPECT_EQ(plainCells[6].second, static_cast<DWORD>(DT_CENTER)) << "cell (2, 0): fixed column";
}

TEST(GridCells, SetCellFromItemAppliesTheMaskedFieldsInOrder) {
    CGridCtrl g;
    g.CellClass = RUNTIME_CLASS(RecordingCell);
    g.SetRowCount(2);
    g.SetColumnCount(2);
    ASSERT_NE(dynamic_cast<RecordingCell*>(g.GetCell(1, 1)), nullptr);

    GridItem item;
    item.row = 1;
    item.col = 1;
    item.mask = ITEM_ALL;
    item.text = "\xC9\xED\xB7\xDD";  // 身份
    item.data = 77;
    item.image = 2;
    item.state = CELL_SELECTED;
    item.format = DT_LEFT;
    item.bkColour = RGB(1, 2, 3);
    item.fgColour = RGB(4, 5, 6);
    wcscpy(item.font.lfFaceName, L"\x5B8B\x4F53");  // 宋体
    item.font.lfHeight = -12;
    item.margin = 5;
    RecordingCell::Calls().clear();
    ASSERT_TRUE(g.SetCellFromItem(&item));
    // The modified bit comes first, through the state setter.
    const std::vector<std::string> expected = {"state", "text", "data", "image", "state", "format",
                                               "back", "fore", "font", "margin"};
    EXPECT_EQ(RecordingCell::Calls(), expected);

    CGridCellBase* cell = g.GetCell(1, 1);
    EXPECT_EQ(cell->GetText(), item.text);
    EXPECT_EQ(cell->GetData(), 77);
    EXPECT_EQ(cell->GetImage(), 2);
    EXPECT_EQ(cell->GetFormat(), static_cast<DWORD>(DT_LEFT));
    EXPECT_EQ(cell->GetMargin(), 5u);
    EXPECT_STREQ(cell->GetFont()->lfFaceName, L"\x5B8B\x4F53");
    EXPECT_TRUE(g.Selection().Contains(CGridCellId(1, 1))) << "the state goes through the grid";

    RecordingCell::Calls().clear();
    item.mask = ITEM_MARGIN | ITEM_TEXT;
    ASSERT_TRUE(g.SetCellFromItem(&item));
    EXPECT_EQ(RecordingCell::Calls(), (std::vector<std::string>{"state", "text", "margin"}));
    item.row = 2;
    EXPECT_FALSE(g.SetCellFromItem(&item));
}

TEST(GridCells, MakeCellFollowsTheCellClass) {
    CGridCtrl g;
    g.CellClass = nullptr;
    g.SetRowCount(1);
    g.SetColumnCount(1);
    EXPECT_EQ(g.GetCell(0, 0), nullptr) << "no cell class, no cells";
    g.CellClass = RUNTIME_CLASS(CWnd);  // not a cell class
    EXPECT_EQ(g.MakeCell(0, 0), nullptr);
    g.CellClass = RUNTIME_CLASS(CGridCell);
    g.SetFixedColumnCount(1);
    std::unique_ptr<CGridCellBase> cell(g.MakeCell(0, 0));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->GetState(), static_cast<DWORD>(CELL_FIXED | CELL_FIXEDCOL));
    EXPECT_EQ(cell->GetFormat(), g.DefaultCellFor(FALSE, TRUE)->GetFormat());
}

TEST(GridMerge, MergedBlockRecordsOriginAndRange) {
    GridInWindow w(4, 4);
    CGridCtrl& g = w.grid;
    g.MergeCells(1, 1, 2, 3);
    CGridCellBase* origin = g.GetCell(1, 1);
    EXPECT_EQ(origin->GetSpanRange(), CGridCellRange(1, 1, 2, 3));
    EXPECT_TRUE(origin->IsSpanned());
    EXPECT_FALSE(origin->IsCoveredBySpan());
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= 3; ++col) {
            EXPECT_FALSE(g.GetCell(row, col)->IsVisible());
            EXPECT_EQ(g.MergeOrigin(row, col), CGridCellId(1, 1));
            if (row != 1 || col != 1) {
                EXPECT_TRUE(g.GetCell(row, col)->IsCoveredBySpan());
            }
        }
    EXPECT_EQ(g.MergeOrigin(0, 0), CGridCellId(0, 0));
    EXPECT_TRUE(g.GetCell(0, 1)->IsVisible());

    CRect block, first, last;
    ASSERT_TRUE(g.CellRect(1, 1, &block));
    g.SetColumnWidth(0, 10);  // the geometry is taken fresh
    ASSERT_TRUE(g.CellRect(1, 1, &block));
    g.RangeRect(CGridCellRange(1, 1, 1, 1), &first);
    g.RangeRect(CGridCellRange(2, 3, 2, 3), &last);
    EXPECT_EQ(block, CRect(first.left, first.top, last.right, last.bottom));

    // A block outside the table changes nothing.
    g.MergeCells(3, 3, 4, 4);
    EXPECT_FALSE(g.GetCell(3, 3)->IsSpanned());
}

TEST(GridNotify, NotificationsReachTheParentWithTheCell) {
    GridInWindow w(3, 3);
    w.parent.reply = -1;
    EXPECT_EQ(w.grid.NotifyParent(2, 1, GRID_NOTIFY_BEGINEDIT), -1);
    w.parent.reply = 0;
    EXPECT_EQ(w.grid.NotifyParent(-1, -1, NM_RCLICK), 0);
    const std::vector<NotifyRecord> expected = {{GRID_NOTIFY_BEGINEDIT, 2, 1, w.grid.m_hWnd, GRID_ID},
                                                {static_cast<int>(NM_RCLICK), -1, -1, w.grid.m_hWnd, GRID_ID}};
    EXPECT_EQ(w.parent.notes, expected);

    CGridCtrl noWindow;
    EXPECT_EQ(noWindow.NotifyParent(0, 0, NM_CLICK), 0);
}

// ---- running out of memory while growing ----

namespace {
// Counts the cells alive, so a test sees that a failed growth leaks none.
class CountedCell : public CGridCell {
    DECLARE_DYNCREATE(CountedCell)

public:
    static int alive;
    static int budget;  // objects that may still be made; negative = unlimited
    CountedCell() { ++alive; }
    ~CountedCell() override { --alive; }
    static CObject* MakeWithinBudget() {
        if (budget == 0) return nullptr;  // as a nothrow allocation that found no memory
        if (budget > 0) --budget;
        return new (std::nothrow) CountedCell;
    }
};
IMPLEMENT_DYNCREATE(CountedCell, CGridCell)
int CountedCell::alive = 0;
int CountedCell::budget = -1;

// The cell class of a grid whose memory runs out after a budget of cells.
const CRuntimeClass classRationedCell = {"RationedCell", sizeof(CountedCell), &CountedCell::MakeWithinBudget,
                                         RUNTIME_CLASS(CountedCell)};

// A grid whose cell factory throws std::bad_alloc after a budget of cells.
class ThrowingGrid : public CGridCtrl {
public:
    int budget = -1;
    CGridCellBase* MakeCell(int row, int col) override {
        if (budget == 0) throw std::bad_alloc();
        if (budget > 0) --budget;
        return CGridCtrl::MakeCell(row, col);
    }
};

// Every cell inside the counts exists, and the size arrays match the counts.
void ExpectConsistent(CGridCtrl& g) {
    for (int row = 0; row < g.GetRowCount(); ++row) {
        EXPECT_GE(g.GetRowHeight(row), 0);
        for (int col = 0; col < g.GetColumnCount(); ++col) ASSERT_NE(g.GetCell(row, col), nullptr) << row << "," << col;
    }
    for (int col = 0; col < g.GetColumnCount(); ++col) EXPECT_GE(g.GetColumnWidth(col), 0);
    EXPECT_EQ(g.GetRowHeight(g.GetRowCount()), -1);
    EXPECT_EQ(g.GetColumnWidth(g.GetColumnCount()), -1);
    EXPECT_EQ(g.GetCell(g.GetRowCount(), 0), nullptr);
    EXPECT_EQ(g.GetCell(0, g.GetColumnCount()), nullptr);
}
}  // namespace

TEST(GridOutOfMemory, RowGrowthKeepsTheRowsBuiltAndReports) {
    MessageBoxRecorder boxes;
    struct {
        const char* how;
        bool throwing;
    } cases[] = {{"factory throws", true}, {"cell class makes nothing", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        MessageBoxRecorder::Texts().clear();
        {
            ThrowingGrid g;
            g.CellClass = RUNTIME_CLASS(CountedCell);
            g.SetColumnCount(4);
            g.SetRowCount(2);
            if (c.throwing) {
                g.budget = 10;  // two and a half rows
            } else {
                g.CellClass = &classRationedCell;
                CountedCell::budget = 10;
            }
            EXPECT_FALSE(g.SetRowCount(100));
            CountedCell::budget = -1;
            EXPECT_EQ(g.GetRowCount(), 4) << "the half-built row is not kept";
            EXPECT_EQ(CountedCell::alive, 16);
            ExpectConsistent(g);
            EXPECT_EQ(MessageBoxRecorder::Texts(), std::vector<std::string>{"Out of memory."});

            // The grid goes on working.
            g.budget = -1;
            g.CellClass = RUNTIME_CLASS(CountedCell);
            EXPECT_TRUE(g.SetRowCount(6));
            ExpectConsistent(g);
        }
        EXPECT_EQ(CountedCell::alive, 0);
    }
}

TEST(GridOutOfMemory, ColumnGrowthLeavesTheColumnsAsTheyWere) {
    MessageBoxRecorder boxes;
    {
        ThrowingGrid g;
        g.CellClass = RUNTIME_CLASS(CountedCell);
        g.SetRowCount(5);
        g.SetColumnCount(2);
        g.SetCellText(4, 1, "kept");
        g.budget = 7;  // runs out in the second row's new cells
        EXPECT_FALSE(g.SetColumnCount(6));
        EXPECT_EQ(g.GetColumnCount(), 2);
        EXPECT_EQ(CountedCell::alive, 10);
        EXPECT_EQ(g.GetCellText(4, 1), "kept");
        ExpectConsistent(g);
        EXPECT_EQ(MessageBoxRecorder::Texts(), std::vector<std::string>{"Out of memory."});
        g.budget = -1;
        EXPECT_TRUE(g.SetColumnCount(3));
        ExpectConsistent(g);
    }
    EXPECT_EQ(CountedCell::alive, 0);
}

TEST(GridOutOfMemory, FixedCountGrowthFailsWithTheTable) {
    MessageBoxRecorder boxes;
    ThrowingGrid g;
    g.SetRowCount(1);
    g.SetColumnCount(3);
    g.budget = 4;
    EXPECT_FALSE(g.SetFixedRowCount(5));
    EXPECT_EQ(g.GetFixedRowCount(), 0);
    EXPECT_EQ(g.GetRowCount(), 2);
    ExpectConsistent(g);
}

TEST(GridOutOfMemory, CountsBeyondWhatAnArrayHoldsTakeTheSamePath) {
    MessageBoxRecorder boxes;
    // Counts whose arrays the library refuses outright (std::length_error), not only those
    // the heap cannot give.
    const struct {
        const char* what;
        bool rows;
        int count;
    } cases[] = {{"rows", true, 200000000}, {"rows", true, 0x7FFFFFFF},
                 {"columns", false, 600000000}, {"columns", false, 0x7FFFFFFF}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.count));
        MessageBoxRecorder::Texts().clear();
        GridInWindow w(3, 2);
        EXPECT_FALSE(c.rows ? w.grid.SetRowCount(c.count) : w.grid.SetColumnCount(c.count));
        EXPECT_EQ(MessageBoxRecorder::Texts(), std::vector<std::string>{"Out of memory."});
        EXPECT_EQ(w.grid.GetRowCount(), 3);
        EXPECT_EQ(w.grid.GetColumnCount(), 2);
        ExpectConsistent(w.grid);
        EXPECT_TRUE(w.grid.SetRowCount(5));
        EXPECT_TRUE(w.grid.SetColumnCount(4));
        ExpectConsistent(w.grid);
    }
}

TEST(GridOutOfMemory, ARefusedGrowthGivesBackTheRoomItReserved) {
    MessageBoxRecorder boxes;
    const struct {
        const char* what;
        bool rows;
    } cases[] = {{"rows", true}, {"columns", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ThrowingGrid g;
        g.SetRowCount(c.rows ? 2 : 10);
        g.SetColumnCount(c.rows ? 1 : 2);
        const long long before = AddressSpaceInUse();
        g.budget = 5;  // the room for 20 million lines is reserved, then the cells run out
        EXPECT_FALSE(c.rows ? g.SetRowCount(20000000) : g.SetColumnCount(20000000));
        EXPECT_LT(AddressSpaceInUse() - before, 16LL << 20) << "the reservation stays taken";
        ExpectConsistent(g);
    }
}

TEST(GridMerge, ShrinkingCutsBlocksBackToWhatIsLeft) {
    const CGridCellRange none;
    const struct {
        const char* what;
        CGridCellRange block;
        int rows, cols;                // the counts shrunk to
        CGridCellRange left;           // the origin's block after; unset: dissolved
    } cases[] = {
        {"rows through the block", {1, 1, 3, 2}, 3, 4, {1, 1, 2, 2}},
        {"to the origin's row", {1, 1, 3, 2}, 2, 4, {1, 1, 1, 2}},
        {"columns through the block", {1, 1, 3, 3}, 4, 2, {1, 1, 3, 1}},
        {"both, down to the origin", {1, 1, 3, 3}, 2, 2, none},
        {"below the block", {0, 0, 1, 1}, 2, 2, {0, 0, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GridInWindow w(4, 4);
        CGridCtrl& g = w.grid;
        g.MergeCells(c.block.minRow, c.block.minCol, c.block.maxRow, c.block.maxCol);
        g.SetRowCount(c.rows);
        g.SetColumnCount(c.cols);
        CGridCellBase* origin = g.GetCell(c.block.minRow, c.block.minCol);
        ASSERT_NE(origin, nullptr);
        EXPECT_EQ(origin->GetSpanRange(), c.left);
        EXPECT_EQ(origin->IsVisible() != FALSE, !c.left.IsSet()) << "a dissolved origin is drawn as a cell";
        // What is left of it can be drawn and invalidated again.
        CRect rect, expected;
        ASSERT_TRUE(g.CellRect(c.block.minRow, c.block.minCol, &rect));
        const CGridCellRange whole = c.left.IsSet() ? c.left : CGridCellRange(c.block.minRow, c.block.minCol,
                                                                              c.block.minRow, c.block.minCol);
        ASSERT_TRUE(g.RangeRect(whole, &expected));
        EXPECT_EQ(rect, expected);
        EXPECT_TRUE(g.InvalidateCell(c.block.minRow, c.block.minCol));
        EXPECT_EQ(g.MergedBlock(c.block.minRow, c.block.minCol), c.left);
    }
}

namespace {
// Looks at its grid while it is being deleted, as a cell whose editor ends then would: the
// grid must not reach it any more, nor any cell already gone, and its counts must match
// its arrays.
class ProbingCell : public CGridCell {
    DECLARE_DYNCREATE(ProbingCell)

public:
    static std::set<const ProbingCell*>& Alive() {
        static std::set<const ProbingCell*> alive;
        return alive;
    }
    static int& Faults() {
        static int faults = 0;
        return faults;
    }
    ProbingCell() { Alive().insert(this); }
    ~ProbingCell() override {
        if (Alive().erase(this) != 1) ++Faults();  // deleted twice
        CGridCtrl* g = GetOwnerGrid();
        if (!g) return;
        for (int row = 0; row < g->GetRowCount(); ++row) {
            if (g->GetRowHeight(row) < 0) ++Faults();
            for (int col = 0; col < g->GetColumnCount(); ++col) {
                const CGridCellBase* cell = g->GetCell(row, col);
                if (cell == this || (cell && !Alive().count(static_cast<const ProbingCell*>(cell)))) ++Faults();
            }
        }
        for (int col = 0; col < g->GetColumnCount(); ++col)
            if (g->GetColumnWidth(col) < 0) ++Faults();
    }
};
IMPLEMENT_DYNCREATE(ProbingCell, CGridCell)

// A grid with a FreeCell of its own, which its destructor reaches as the header says.
class CountingFreeGrid : public CGridCtrl {
public:
    explicit CountingFreeGrid(int* freed) : m_freed(freed) {}
    ~CountingFreeGrid() override { RemoveAllCells(); }
    void FreeCell(int row, int col) override {
        if (GetCell(row, col)) ++*m_freed;
        CGridCtrl::FreeCell(row, col);
    }

private:
    int* m_freed;  // cells freed through this override
};
}  // namespace

TEST(GridLifetime, CellsGoOnceAndNeverWhileTheGridStillReachesThem) {
    const struct {
        const char* what;
        void (*shrink)(CGridCtrl&);
        size_t left;  // cells left before the grid goes
    } cases[] = {
        {"fewer rows", [](CGridCtrl& g) { g.SetRowCount(2); }, 2 * 4},
        {"fewer columns", [](CGridCtrl& g) { g.SetColumnCount(1); }, 5 * 1},
        {"all removed", [](CGridCtrl& g) { g.RemoveAllCells(); }, 0},
        {"the grid destroyed", nullptr, 5 * 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProbingCell::Faults() = 0;
        {
            CGridCtrl g;
            g.CellClass = RUNTIME_CLASS(ProbingCell);
            g.SetRowCount(5);
            g.SetColumnCount(4);
            g.SelectWholeGrid();
            ASSERT_EQ(ProbingCell::Alive().size(), 20u);
            if (c.shrink) c.shrink(g);
            EXPECT_EQ(ProbingCell::Alive().size(), c.left);
            EXPECT_EQ(g.Selection().Size(), c.left) << "the freed cells left the selection";
        }
        EXPECT_EQ(ProbingCell::Faults(), 0);
        EXPECT_TRUE(ProbingCell::Alive().empty());
    }
    int freed = 0;
    {
        CountingFreeGrid g(&freed);
        g.SetRowCount(3);
        g.SetColumnCount(3);
        g.SetRowCount(2);
        EXPECT_EQ(freed, 3);
    }
    EXPECT_EQ(freed, 9) << "the derived destructor freed the rest through the override";
}

namespace {
// Counts how often the grid asks or tells a cell its state.
class StateCountingCell : public CGridCell {
    DECLARE_DYNCREATE(StateCountingCell)

public:
    static int& Touches() {
        static int touches = 0;
        return touches;
    }
    DWORD GetState() const override { return ++Touches(), CGridCell::GetState(); }
    void SetState(DWORD state) override { ++Touches(), CGridCell::SetState(state); }
};
IMPLEMENT_DYNCREATE(StateCountingCell, CGridCell)
}  // namespace

TEST(GridCells, ClearingOneCellsFlagTouchesThatCellAlone) {
    CGridCtrl g;
    g.CellClass = RUNTIME_CLASS(StateCountingCell);
    g.SetRowCount(200);
    g.SetColumnCount(10);
    g.SetCellText(7, 3, "a");
    g.SetModified(FALSE);
    ASSERT_FALSE(g.GetCell(7, 3)->IsModified());
    StateCountingCell::Touches() = 0;
    for (int row = 0; row < 200; ++row) g.SetModified(FALSE, row, 4);
    EXPECT_LE(StateCountingCell::Touches(), 200 * 2) << "each call touches its own cell only";
    // The grid-wide flag still rules: one cell marked sets it, clearing that cell does not
    // clear it, and clearing the grid clears every cell.
    g.SetModified(TRUE, 9, 1);
    EXPECT_TRUE(g.SetModified(FALSE, 9, 1));
    g.SetModified(TRUE, 9, 2);
    EXPECT_FALSE(g.SetModified(FALSE));
    EXPECT_FALSE(g.GetCell(9, 2)->IsModified());
}

TEST(GridMerge, ANewBlockDissolvesTheBlocksItOverlaps) {
    // Whatever the first block was, only the second is left: its cells hidden behind its
    // origin, every other cell an ordinary one again. A one-cell block merges nothing.
    const struct {
        const char* what;
        CGridCellRange first, second;
    } cases[] = {
        {"over the first's origin", {0, 1, 0, 2}, {0, 0, 1, 1}},
        {"over one of its members", {1, 1, 2, 2}, {2, 2, 3, 3}},
        {"smaller, from the same origin", {1, 1, 2, 3}, {1, 1, 1, 2}},
        {"one cell of it", {1, 1, 2, 2}, {2, 2, 2, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GridInWindow w(4, 4);
        CGridCtrl& g = w.grid;
        g.MergeCells(c.first.minRow, c.first.minCol, c.first.maxRow, c.first.maxCol);
        g.MergeCells(c.second.minRow, c.second.minCol, c.second.maxRow, c.second.maxCol);
        const bool block = c.second.CellCount() > 1;
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) {
                const CGridCellBase* cell = g.GetCell(row, col);
                const bool inside = block && c.second.Contains(row, col);
                const bool origin = inside && CGridCellId(row, col) == c.second.TopLeft();
                EXPECT_EQ(cell->IsVisible() != FALSE, !inside) << row << "," << col;
                EXPECT_EQ(cell->IsSpanned(), origin) << row << "," << col;
                EXPECT_EQ(cell->IsCoveredBySpan(), inside && !origin) << row << "," << col;
                EXPECT_EQ(g.MergeOrigin(row, col), inside ? c.second.TopLeft() : CGridCellId(row, col));
            }
        }
    }
}
