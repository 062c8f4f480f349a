// The selection set and the selection operations, the focus cell, and the editing hooks
// that the focus cell carries.
#include <algorithm>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>
#include <utility>

#include "tests/grid/GridTestSupport.h"

namespace {
// The selection set equals the cells whose state has CELL_SELECTED.
void ExpectSetMirrorsBits(const CGridCtrl& g) {
    size_t bits = 0;
    for (int row = 0; row < g.GetRowCount(); ++row)
        for (int col = 0; col < g.GetColumnCount(); ++col) {
            bool selected = (g.GetCellState(row, col) & CELL_SELECTED) != 0;
            bits += selected;
            ASSERT_EQ(selected, g.Selection().Contains(CGridCellId(row, col))) << row << "," << col;
        }
    EXPECT_EQ(bits, g.Selection().Size());
}

std::vector<CGridCellId> Sorted(std::vector<CGridCellId> cells) {
    std::sort(cells.begin(), cells.end(),
              [](const CGridCellId& a, const CGridCellId& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
    return cells;
}
}  // namespace

TEST(SelectionSet, KeysOnTheWholeRowAndColumn) {
    CGridSelectionSet set;
    // Each pair would share one key if rows were cut to 16 bits.
    const CGridCellId cells[] = {{0, 0}, {65536, 0}, {1, 3}, {65537, 3}, {0x7FFFFFFF, 0x7FFFFFFF}, {3, 1}};
    for (const CGridCellId& c : cells) EXPECT_TRUE(set.Insert(c));
    EXPECT_EQ(set.Size(), 6u);
    EXPECT_FALSE(set.Insert(CGridCellId(65536, 0)));
    for (const CGridCellId& c : cells) EXPECT_TRUE(set.Contains(c));
    EXPECT_FALSE(set.Contains(CGridCellId(131072, 0)));
    EXPECT_TRUE(set.Erase(CGridCellId(0, 0)));
    EXPECT_FALSE(set.Erase(CGridCellId(0, 0)));
    EXPECT_TRUE(set.Contains(CGridCellId(65536, 0)));
    EXPECT_EQ(Sorted(set.Cells()), Sorted({{65536, 0}, {1, 3}, {65537, 3}, {0x7FFFFFFF, 0x7FFFFFFF}, {3, 1}}));
    set.Clear();
    EXPECT_TRUE(set.Empty());
}

TEST(SelectionSet, AgreesWithAnOrderedSetThroughInsertsAndErases) {
    CGridSelectionSet set;
    std::set<std::pair<int, int>> reference;
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFF; };
    for (int step = 0; step < 60000; ++step) {
        // Few distinct cells, so inserts, repeats and erases of members all happen often.
        CGridCellId cell(static_cast<int32_t>(next() % 300) * 65536, static_cast<int32_t>(next() % 7));
        bool had = reference.count({cell.row, cell.col}) != 0;
        if (next() % 3 == 0) {
            ASSERT_EQ(set.Erase(cell), had);
            reference.erase({cell.row, cell.col});
        } else {
            ASSERT_EQ(set.Insert(cell), !had);
            reference.insert({cell.row, cell.col});
        }
        ASSERT_EQ(set.Size(), reference.size());
    }
    for (int row = 0; row < 300; ++row)
        for (int col = 0; col < 7; ++col)
            ASSERT_EQ(set.Contains(CGridCellId(row * 65536, col)), reference.count({row * 65536, col}) != 0);
    EXPECT_FALSE(set.Insert(CGridCellId(-1, -1))) << "no cell is not a member";
}

TEST(SelectionSet, KeysOfOneColumnOrOneRowSpreadOut) {
    // A hash of the low half alone (the column) would put a whole column in one place.
    CGridSelectionSet column, row;
    for (int i = 0; i < 100000; ++i) {
        column.Insert(CGridCellId(i, 3));
        row.Insert(CGridCellId(3, i));
    }
    EXPECT_EQ(column.Size(), 100000u);
    EXPECT_LT(column.LongestProbe(), 64u);
    EXPECT_LT(row.LongestProbe(), 64u);
    for (int i = 0; i < 100000; i += 2) column.Erase(CGridCellId(i, 3));
    EXPECT_EQ(column.Size(), 50000u);
    for (int i = 0; i < 100000; ++i) ASSERT_EQ(column.Contains(CGridCellId(i, 3)), i % 2 == 1) << i;
}

TEST(SelectionSet, RectanglesHolesAndSingleCellsAgreeWithAnOrderedSet) {
    // A small table, so rectangles overlap, cover each other and get holes often.
    constexpr int kRows = 12, kCols = 9;
    CGridSelectionSet set;
    std::set<std::pair<int, int>> reference;
    uint32_t seed = 0x2545F491u;
    auto next = [&seed](uint32_t n) {
        seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
        return static_cast<int>(seed % n);
    };
    auto randomRange = [&] {
        const int r1 = next(kRows), r2 = next(kRows), c1 = next(kCols), c2 = next(kCols);
        return CGridCellRange(std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2));
    };
    for (int step = 0; step < 4000; ++step) {
        const int what = next(10);
        if (what < 2) {
            const CGridCellRange range = randomRange();
            set.InsertRange(range);
            for (int r = range.minRow; r <= range.maxRow; ++r)
                for (int c = range.minCol; c <= range.maxCol; ++c) reference.insert({r, c});
        } else if (what < 5) {
            const CGridCellId cell(next(kRows), next(kCols));
            ASSERT_EQ(set.Insert(cell), reference.insert({cell.row, cell.col}).second);
        } else if (what < 9) {
            const CGridCellId cell(next(kRows), next(kCols));
            ASSERT_EQ(set.Erase(cell), reference.erase({cell.row, cell.col}) == 1);
        } else if (next(4) == 0) {
            const int rows = next(kRows + 1), cols = next(kCols + 1);
            set.KeepWithin(rows, cols);
            for (auto it = reference.begin(); it != reference.end();)
                it = it->first >= rows || it->second >= cols ? reference.erase(it) : std::next(it);
        } else {
            CGridSelectionSet copy = set;  // a Ctrl-press keeps the selection this way
            set.Clear();
            set.Swap(copy);
        }
        ASSERT_EQ(set.Size(), reference.size()) << "step " << step;
        if (step % 7) continue;
        // Everything a reader asks, against the reference.
        std::vector<CGridCellId> expected;
        CGridCellRange bounds;
        for (const auto& rc : reference) {
            expected.push_back(CGridCellId(rc.first, rc.second));
            bounds = bounds.IsSet() ? CGridCellRange(std::min(bounds.minRow, rc.first), std::min(bounds.minCol, rc.second),
                                                     std::max(bounds.maxRow, rc.first), std::max(bounds.maxCol, rc.second))
                                    : CGridCellRange(rc.first, rc.second, rc.first, rc.second);
        }
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) ASSERT_EQ(set.Contains(CGridCellId(r, c)), reference.count({r, c}) == 1);
        ASSERT_EQ(Sorted(set.Cells()), expected) << "step " << step;
        ASSERT_EQ(set.Bounds(), bounds) << "step " << step;
        const CGridCellRange outside = randomRange();
        std::vector<CGridCellId> outsideCells, outsideExpected;
        set.ForEachOutside(outside, [&](const CGridCellId& c) { outsideCells.push_back(c); });
        for (const CGridCellId& c : expected)
            if (!outside.Contains(c.row, c.col)) outsideExpected.push_back(c);
        ASSERT_EQ(Sorted(outsideCells), outsideExpected) << "step " << step;
    }
}

TEST(SelectionSet, ARectangleCostsNothingPerCell) {
    CGridSelectionSet set;
    set.Insert(CGridCellId(5, 5));
    set.InsertRange(CGridCellRange(0, 0, 99999, 9));
    EXPECT_EQ(set.Block(), CGridCellRange(0, 0, 99999, 9)) << "the whole range, as one rectangle";
    EXPECT_EQ(set.Size(), 1000000u);
    EXPECT_EQ(set.LongestProbe(), 0u) << "no single member left: (5, 5) is inside";
    set.Erase(CGridCellId(99999, 3));
    EXPECT_EQ(set.Size(), 999999u);
    EXPECT_EQ(set.Bounds(), CGridCellRange(0, 0, 99999, 9));
    const std::vector<CGridCellId> cells = set.Cells();
    EXPECT_TRUE(std::is_sorted(cells.begin(), cells.end(), [](const CGridCellId& a, const CGridCellId& b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    })) << "a rectangle comes row by row";
    set.KeepWithin(50000, 10);
    EXPECT_EQ(set.Size(), 500000u);
    EXPECT_EQ(set.Block(), CGridCellRange(0, 0, 49999, 9));
}

TEST(GridSelection, RowsBeyond65535AreTheirOwnCells) {
    CGridCtrl g(65540, 1);
    g.SelectRange(65536, 0, 65536, 0);
    EXPECT_TRUE(g.CellIsSelected(65536, 0));
    EXPECT_FALSE(g.CellIsSelected(0, 0));
    EXPECT_EQ(g.Selection().Size(), 1u);
    g.SetCellState(0, 0, CELL_SELECTED);
    EXPECT_EQ(g.Selection().Size(), 2u);
    g.SetCellState(65536, 0, 0);
    EXPECT_TRUE(g.Selection().Contains(CGridCellId(0, 0)));
    EXPECT_FALSE(g.Selection().Contains(CGridCellId(65536, 0)));
    EXPECT_EQ(g.SelectionBounds(), CGridCellRange(0, 0, 0, 0));
}

TEST(GridSelection, SelectRangeReplacesTheSelectionOutsideTheFixedCells) {
    GridInWindow w(8, 6, 1, 1);
    CGridCtrl& g = w.grid;
    EXPECT_EQ(g.SelectionBounds(), CGridCellRange(8, 6, -1, -1)) << "nothing selected";
    g.SelectRange(0, 0, 2, 3);  // raised to the first scrolling row and column
    EXPECT_EQ(g.SelectionBounds(), CGridCellRange(1, 1, 2, 3));
    EXPECT_EQ(g.Selection().Size(), 6u);
    ExpectSetMirrorsBits(g);

    g.SelectRange(4, 2, 5, 2);
    EXPECT_EQ(g.SelectionBounds(), CGridCellRange(4, 2, 5, 2));
    EXPECT_FALSE(g.CellIsSelected(1, 1));
    ExpectSetMirrorsBits(g);

    g.SelectRange(5, 2, 5, 2, FALSE, FALSE);  // deselect one, keep the rest
    EXPECT_EQ(g.Selection().Size(), 1u);
    g.SelectRange(3, 3, 9, 9);  // beyond the table: only the old selection goes
    EXPECT_TRUE(g.Selection().Empty());
    ExpectSetMirrorsBits(g);

    g.SelectWholeGrid();
    EXPECT_EQ(g.Selection().Size(), 35u);
    EXPECT_EQ(g.SelectionBounds(), CGridCellRange(1, 1, 7, 5));
    g.MoveFocusTo(3, 3);
    g.ClearSelection();
    EXPECT_TRUE(g.Selection().Empty());
    EXPECT_EQ(g.GetFocusCell(), CGridCellId(-1, -1));
    ExpectSetMirrorsBits(g);
}

TEST(GridSelection, ExtendingFollowsTheMouseStateFromTheAnchor) {
    struct {
        GridMouseState state;
        CGridCellId to;
        BOOL singleColumn, wholeRow, singleRow;
        CGridCellRange expected;  // (8, 6, -1, -1): nothing
    } cases[] = {
        {MS_SELECTING_CELLS, {5, 4}, FALSE, FALSE, FALSE, {3, 2, 5, 4}},
        {MS_SELECTING_CELLS, {1, 1}, FALSE, FALSE, FALSE, {1, 1, 3, 2}},
        {MS_SELECTING_CELLS, {0, 4}, FALSE, FALSE, FALSE, {8, 6, -1, -1}},  // a fixed cell
        {MS_SELECTING_ROWS, {5, 4}, FALSE, FALSE, FALSE, {3, 1, 5, 5}},
        {MS_SELECTING_ROWS, {5, 4}, FALSE, TRUE, TRUE, {5, 1, 5, 5}},
        {MS_SELECTING_COLUMNS, {6, 4}, FALSE, FALSE, FALSE, {1, 2, 7, 4}},
        {MS_SELECTING_COLUMNS, {6, 4}, TRUE, FALSE, FALSE, {1, 4, 7, 4}},
        {MS_SELECTING_COLUMNS, {6, 0}, FALSE, FALSE, FALSE, {8, 6, -1, -1}},
        {MS_SELECTING_ALL, {0, 0}, FALSE, FALSE, FALSE, {1, 1, 7, 5}},
        {MS_IDLE, {5, 4}, FALSE, FALSE, FALSE, {8, 6, -1, -1}},
        {MS_SELECTING_CELLS, {8, 4}, FALSE, FALSE, FALSE, {8, 6, -1, -1}},  // outside the table
    };
    for (const auto& c : cases) {
        CGridCtrl g(8, 6, 1, 1);
        g.SelectionAnchor = CGridCellId(3, 2);
        g.MouseState = c.state;
        g.SingleColumnSelect = c.singleColumn;
        g.WholeRowSelect = c.wholeRow;
        g.SingleRowSelect = c.singleRow;
        g.ExtendSelectionTo(c.to);
        EXPECT_EQ(g.SelectionBounds(), c.expected) << "state " << c.state << " to " << c.to.row << "," << c.to.col;
        const CGridCellRange& e = c.expected;
        EXPECT_EQ(static_cast<int64_t>(g.Selection().Size()), e.IsSet() ? e.CellCount() : 0);
    }
}

TEST(GridSelection, DisabledSelectionIsANoOp) {
    CGridCtrl g(4, 4);
    g.SetCellState(1, 1, CELL_SELECTED);
    g.SelectionEnabled = FALSE;
    EXPECT_FALSE(g.CellIsSelected(1, 1));
    g.SelectRange(0, 0, 3, 3);
    g.ClearSelection();
    EXPECT_EQ(g.Selection().Size(), 1u);
    EXPECT_TRUE(g.GetCellState(1, 1) & CELL_SELECTED);
    g.SelectionEnabled = TRUE;
    g.ClearSelection();
    EXPECT_TRUE(g.Selection().Empty());
}

TEST(GridSelection, FreedCellsLeaveTheSet) {
    CGridCtrl g(6, 6);
    g.SelectWholeGrid();
    g.SetRowCount(3);
    g.SetColumnCount(2);
    EXPECT_EQ(g.Selection().Size(), 6u);
    ExpectSetMirrorsBits(g);
}

TEST(GridSelection, SelectAllThenSingleChanges) {
    // After select all, the set, the cells' bits (as the grid and as each cell reports them),
    // the count and the copied text agree through later changes of single cells and of the
    // table; select all tells the parent once, before and after, whatever the cell count.
    GridInWindow w(40, 6, 1, 1);
    CGridCtrl& g = w.grid;
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 6; ++c) g.SetCellText(r, c, std::to_string(r) + "." + std::to_string(c));
    const CellNote selectAll[] = {{GRID_NOTIFY_SELCHANGING, -1, -1}, {GRID_NOTIFY_SELCHANGED, -1, -1}};
    const struct {
        const char* what;
        std::function<void(CGridCtrl&)> act;
        size_t count;
        std::vector<CGridCellId> off;  // cells of the table not selected besides the fixed ones
    } steps[] = {
        {"select all", [](CGridCtrl& g) { g.SelectAllCells(); }, 39 * 5, {}},
        {"a cell taken out (a Ctrl-click)", [](CGridCtrl& g) { g.SelectRange(7, 3, 7, 3, TRUE, FALSE); }, 39 * 5 - 1, {{7, 3}}},
        {"its bit cleared through the grid", [](CGridCtrl& g) { g.SetCellState(9, 1, 0); }, 39 * 5 - 2, {{7, 3}, {9, 1}}},
        {"one put back", [](CGridCtrl& g) { g.SetCellState(7, 3, CELL_SELECTED); }, 39 * 5 - 1, {{9, 1}}},
        {"rows cut off", [](CGridCtrl& g) { g.SetRowCount(20); }, 19 * 5 - 1, {{9, 1}}},
        {"rows added: not selected", [](CGridCtrl& g) { g.SetRowCount(25); }, 19 * 5 - 1,
         {{9, 1}, {20, 1}, {20, 2}, {20, 3}, {20, 4}, {20, 5}, {21, 1}, {21, 2}, {21, 3}, {21, 4}, {21, 5},
          {22, 1}, {22, 2}, {22, 3}, {22, 4}, {22, 5}, {23, 1}, {23, 2}, {23, 3}, {23, 4}, {23, 5},
          {24, 1}, {24, 2}, {24, 3}, {24, 4}, {24, 5}}},
        {"select all again", [](CGridCtrl& g) { g.SelectAllCells(); }, 24 * 5, {}},
        {"a block inside it", [](CGridCtrl& g) { g.SelectRange(2, 2, 3, 3); }, 4, {}},
        {"cleared", [](CGridCtrl& g) { g.ClearSelection(); }, 0, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        w.parent.notes.clear();
        step.act(g);
        ExpectSetMirrorsBits(g);
        EXPECT_EQ(g.Selection().Size(), step.count);
        for (const CGridCellId& cell : step.off) {
            EXPECT_FALSE(g.CellIsSelected(cell)) << cell.row << "," << cell.col;
            EXPECT_FALSE(g.GetCell(cell.row, cell.col)->IsSelected());
        }
        if (std::string(step.what).rfind("select all", 0) == 0)
            EXPECT_EQ(CellNotes(w.parent), std::vector<CellNote>(std::begin(selectAll), std::end(selectAll)));
        else
            EXPECT_TRUE(w.parent.notes.empty()) << "a single change tells nobody";
    }
    // The copy of a selection with a cell taken out leaves that field empty.
    g.SelectAllCells();
    g.SelectRange(2, 2, 2, 2, TRUE, FALSE);
    const std::string text = g.SelectionText();
    EXPECT_EQ(text.substr(0, text.find('\n')), "1.1\t1.2\t1.3\t1.4\t1.5");
    const size_t second = text.find('\n') + 1;
    EXPECT_EQ(text.substr(second, text.find('\n', second) - second), "2.1\t\t2.3\t2.4\t2.5");
}

TEST(GridSelection, AChangeInvalidatesExactlyTheCellsThatChangedOnScreen) {
    const struct {
        const char* what;
        std::function<void(CGridCtrl&)> before, change;
    } cases[] = {
        {"a block into nothing", nullptr, [](CGridCtrl& g) { g.SelectRange(2, 2, 4, 3); }},
        {"a block grown", [](CGridCtrl& g) { g.SelectRange(2, 2, 4, 3); }, [](CGridCtrl& g) { g.SelectRange(2, 2, 6, 4); }},
        {"a block moved", [](CGridCtrl& g) { g.SelectRange(2, 2, 4, 3); }, [](CGridCtrl& g) { g.SelectRange(3, 1, 5, 2); }},
        {"select all over a block", [](CGridCtrl& g) { g.SelectRange(2, 2, 4, 3); }, [](CGridCtrl& g) { g.SelectWholeGrid(); }},
        {"one cell out of all", [](CGridCtrl& g) { g.SelectWholeGrid(); },
         [](CGridCtrl& g) { g.SelectRange(5, 3, 5, 3, FALSE, FALSE); }},
        {"cleared", [](CGridCtrl& g) { g.SelectWholeGrid(); }, [](CGridCtrl& g) { g.ClearSelection(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GridInWindow w(60, 12, 1, 1);  // more cells than the window shows
        CGridCtrl& g = w.grid;
        MakeUniform(g, 60, 12);
        if (c.before) c.before(g);
        g.UpdateWindow();
        std::set<std::pair<int, int>> was;
        g.Selection().ForEach([&](const CGridCellId& id) { was.insert({id.row, id.col}); });
        c.change(g);
        // The cells on screen whose state changed, and nothing else.
        HRGN expected = CreateRectRgn(0, 0, 0, 0), update = CreateRectRgn(0, 0, 0, 0);
        const CGridCellRange shown = g.VisibleScrollRange();
        for (int r = shown.minRow; r <= shown.maxRow; ++r)
            for (int col = shown.minCol; col <= shown.maxCol; ++col) {
                RECT rect;
                if (g.CellIsSelected(r, col) == (was.count({r, col}) == 1) || !g.CellInvalidRect(r, col, &rect)) continue;
                HRGN cell = CreateRectRgnIndirect(&rect);
                CombineRgn(expected, expected, cell, RGN_OR);
                DeleteObject(cell);
            }
        // What lies beyond the client area is never invalid.
        CRect client;
        g.GetClientRect(&client);
        HRGN inside = CreateRectRgnIndirect(&client);
        CombineRgn(expected, expected, inside, RGN_AND);
        DeleteObject(inside);
        GetUpdateRgn(g.m_hWnd, update, FALSE);
        EXPECT_TRUE(EqualRgn(update, expected));
        DeleteObject(expected);
        DeleteObject(update);
    }
}

TEST(GridSelection, ACtrlDragAfterSelectAllKeepsEverything) {
    MouseGrid w(30, 6);
    w.grid.SelectAllCells();
    const size_t all = w.grid.Selection().Size();
    // A Ctrl-press on a selected cell takes it out; a Ctrl-drag from an unselected one adds.
    w.Do(WM_LBUTTONDOWN, MouseGrid::At(2, 2), MK_LBUTTON | MK_CONTROL);
    w.Do(WM_LBUTTONUP, MouseGrid::At(2, 2), MK_CONTROL);
    EXPECT_EQ(w.grid.Selection().Size(), all - 1);
    w.Do(WM_LBUTTONDOWN, MouseGrid::At(2, 2), MK_LBUTTON | MK_CONTROL);
    w.Do(WM_MOUSEMOVE, MouseGrid::At(3, 3), MK_LBUTTON | MK_CONTROL);
    w.Do(WM_LBUTTONUP, MouseGrid::At(3, 3), MK_CONTROL);
    EXPECT_EQ(w.grid.Selection().Size(), all);
    ExpectSetMirrorsBits(w.grid);
}

TEST(GridFocus, MovesOutOfTheFixedAreaAndCarriesTheFocusBit) {
    GridInWindow w(6, 5, 2, 1);
    CGridCtrl& g = w.grid;
    struct {
        CGridCellId to, expected;
    } cases[] = {{{3, 3}, {3, 3}}, {{0, 3}, {2, 3}}, {{4, 0}, {4, 1}}, {{0, 0}, {2, 1}},
                 {{-1, -1}, {-1, -1}}, {{6, 2}, {-1, -1}}, {{3, 9}, {-1, -1}}};
    CGridCellId previous;
    for (const auto& c : cases) {
        EXPECT_EQ(g.MoveFocusTo(c.to), previous);
        EXPECT_EQ(g.GetFocusCell(), c.expected) << c.to.row << "," << c.to.col;
        int focused = 0;
        for (int row = 0; row < 6; ++row)
            for (int col = 0; col < 5; ++col)
                if (g.GetCell(row, col)->IsFocused()) {
                    ++focused;
                    EXPECT_EQ(CGridCellId(row, col), c.expected);
                }
        EXPECT_EQ(focused, c.expected.IsSet() ? 1 : 0);
        previous = c.expected;
    }
}

namespace {
// An in-place editor as far as the cell sees it.
class FakeEditor : public CWnd, public CGridEditorLink {
public:
    int finishes = 0;
    void FinishEdit() override { ++finishes; }
};

// A cell that opens the fake editor when asked to edit.
class EditingCell : public CGridCell {
    DECLARE_DYNCREATE(EditingCell)

public:
    static FakeEditor editor;
    BOOL BeginEdit(int, int, CRect, CPoint, UINT, UINT) override {
        SetEditing(TRUE, &editor);
        return TRUE;
    }
};
IMPLEMENT_DYNCREATE(EditingCell, CGridCell)
FakeEditor EditingCell::editor;
}  // namespace

TEST(GridFocus, EndEditingStopsTheFocusCellsEditor) {
    CGridCtrl g;
    g.CellClass = RUNTIME_CLASS(EditingCell);
    g.SetRowCount(3);
    g.SetColumnCount(3);
    EditingCell::editor.finishes = 0;
    g.EndEditing();  // no focus cell: nothing to stop
    CGridCellBase* cell = g.GetCell(1, 2);
    ASSERT_TRUE(cell->BeginEdit(1, 2, CRect(), CPoint(), INPLACE_EDITOR_ID, VK_LBUTTON));
    EXPECT_TRUE(g.IsCellEditing(1, 2));
    EXPECT_EQ(cell->GetEditor(), &EditingCell::editor);
    g.MoveFocusTo(1, 1);
    g.EndEditing();
    EXPECT_EQ(EditingCell::editor.finishes, 0) << "only the focus cell is asked";
    g.MoveFocusTo(1, 2);
    g.EndEditing();
    EXPECT_EQ(EditingCell::editor.finishes, 1);
    cell->OnEditEnded();
    EXPECT_FALSE(g.IsCellEditing(1, 2));
    EXPECT_EQ(cell->GetEditor(), nullptr);
    g.EndEditing();
    EXPECT_EQ(EditingCell::editor.finishes, 1) << "a closed editor is not asked again";
}

TEST(GridFocus, EditableCellsNeedTheSettingAndNoReadOnlyBit) {
    CGridCtrl g(3, 3, 1, 1);
    g.SetCellState(2, 2, CELL_READONLY);
    struct {
        BOOL editable;
        int row, col;
        BOOL expected;
    } cases[] = {{TRUE, 1, 1, TRUE}, {TRUE, 2, 2, FALSE}, {FALSE, 1, 1, FALSE}, {TRUE, 3, 1, FALSE}, {TRUE, -1, 0, FALSE}};
    for (const auto& c : cases) {
        g.Editable = c.editable;
        EXPECT_EQ(g.IsCellEditable(c.row, c.col), c.expected) << c.editable << " " << c.row << "," << c.col;
    }
}
