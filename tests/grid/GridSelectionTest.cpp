// The selection set and the selection operations, the focus cell, and the editing hooks
// that the focus cell carries.
#include <algorithm>
#include <set>
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
