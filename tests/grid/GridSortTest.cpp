// Sorting a grid in a window: header presses and the byte order of texts, rows travelling
// whole, fixed rows staying, selection and focus emptied, merged blocks, compare functions,
// ranges, and what sorts nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/grid/GridTestSupport.h"

namespace {
// A cell that remembers where the grid last said it is.
class PlacedCell : public CGridCell {
    DECLARE_DYNCREATE(PlacedCell)

public:
    void SetPosition(int row, int col) override { place = CGridCellId(row, col); }
    CGridCellId place;
};
IMPLEMENT_DYNCREATE(PlacedCell, CGridCell)

// Body rows (below `fixedRows`) hold `keys` in column 1; every other cell holds "<row>.<col>"
// of the row it starts in, so that a row can be followed wherever it goes.
struct SortGrid : GridInWindow {
    SortGrid(const std::vector<std::string>& keys, int fixedRows = 1, const CRuntimeClass* cellClass = nullptr) {
        if (cellClass) grid.CellClass = cellClass;
        grid.SetColumnCount(4);
        grid.SetRowCount(static_cast<int>(keys.size()) + fixedRows);
        grid.SetFixedRowCount(fixedRows);
        grid.SetFixedColumnCount(1);
        for (int row = 0; row < grid.GetRowCount(); ++row)
            for (int col = 0; col < 4; ++col) grid.SetCellText(row, col, std::to_string(row) + "." + std::to_string(col));
        for (size_t k = 0; k < keys.size(); ++k) grid.SetCellText(fixedRows + static_cast<int>(k), 1, keys[k]);
    }
    std::vector<std::string> Column(int col) const {
        std::vector<std::string> texts;
        for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row) texts.push_back(grid.GetCellText(row, col));
        return texts;
    }
    int RowNow(int row) const {
        for (int r = 0; r < grid.GetRowCount(); ++r)
            if (grid.GetCellText(r, 0) == std::to_string(row) + ".0") return r;
        return -1;
    }
};

std::vector<std::string> Reversed(std::vector<std::string> v) { return {v.rbegin(), v.rend()}; }

int ByData(const CGridCellBase* a, const CGridCellBase* b, LPARAM seen) {
    reinterpret_cast<std::vector<LPARAM>*>(seen)->push_back(seen);
    return static_cast<int>(a->GetData() - b->GetData());
}
}  // namespace

TEST(GridSort, HeaderPressesTurnTheOrderOfTextsInByteOrder) {
    SortGrid s({"a", "B", "9", "10", "中", "啊", "", "A"});
    CGridCtrl& g = s.grid;
    const std::vector<std::string> byKey = {"", "10", "9", "A", "B", "a", "啊", "中"};
    const std::vector<std::string> byRow = {"1.2", "2.2", "3.2", "4.2", "5.2", "6.2", "7.2", "8.2"};
    const struct {
        int col;
        bool ascending;
    } presses[] = {{1, true}, {1, false}, {1, true}, {1, false}, {2, true}, {2, false}, {1, true}};
    CRect client, update;
    g.GetClientRect(&client);
    for (const auto& p : presses) {
        g.UpdateWindow();
        g.SortByHeader(p.col);
        EXPECT_EQ(g.SortColumn, p.col);
        EXPECT_EQ(g.SortAscending, p.ascending ? TRUE : FALSE);
        const std::vector<std::string>& up = p.col == 1 ? byKey : byRow;
        EXPECT_EQ(s.Column(p.col), p.ascending ? up : Reversed(up)) << p.col << " " << p.ascending;
        EXPECT_TRUE(::GetUpdateRect(g.GetSafeHwnd(), &update, FALSE) && update == client) << "all repainted";
    }
    EXPECT_EQ(CGridCtrl::CompareCellText(nullptr, g.GetCell(1, 1), 0), 0) << "a missing cell equals anything";
    g.SetCellText(2, 1, "x");
    EXPECT_EQ(g.SortColumn, -1) << "an edit in the sort column removes the mark";
}

TEST(GridSort, RowsTravelWholeAndFixedOnesStay) {
    SortGrid s({"c", "a", "d", "b", "a"}, 2, RUNTIME_CLASS(PlacedCell));
    CGridCtrl& g = s.grid;
    for (int row = 0; row < g.GetRowCount(); ++row) g.SetRowHeight(row, 20 + row);
    g.SelectRange(2, 1, 4, 3);
    g.MoveFocusTo(3, 2);
    g.SortByColumn(1, TRUE);
    EXPECT_EQ(s.Column(1), std::vector<std::string>({"a", "a", "b", "c", "d"}));
    for (int row = 0; row < g.GetRowCount(); ++row) {
        const int now = s.RowNow(row);
        EXPECT_TRUE(row >= 2 || now == row) << "fixed rows stay";
        EXPECT_EQ(g.GetRowHeight(now), 20 + row) << "the height goes with row " << row;
        EXPECT_EQ(g.GetCellText(now, 3), std::to_string(row) + ".3");
    }
    EXPECT_TRUE(g.Selection().Empty());
    EXPECT_EQ(g.GetFocusCell(), CGridCellId());
    for (int row = 0; row < g.GetRowCount(); ++row) {
        for (int col = 0; col < 4; ++col) {
            auto* cell = static_cast<PlacedCell*>(g.GetCell(row, col));
            EXPECT_EQ(cell->GetState() & (CELL_SELECTED | CELL_FOCUSED), 0u) << row << "," << col;
            EXPECT_EQ(cell->place, CGridCellId(row, col)) << "each cell knows where it is";
        }
    }
}

TEST(GridSort, MergedBlocksMoveWithTheirRowOrDissolve) {
    // Rows 0 and 1 are fixed; sorting by column 1 reverses the body rows 2 to 7.
    SortGrid s({"f", "e", "d", "c", "b", "a"}, 2);
    CGridCtrl& g = s.grid;
    g.MergeCells(0, 1, 1, 1);  // fixed rows only: stays
    g.MergeCells(1, 3, 2, 3);  // a fixed row and a body row: dissolved
    g.MergeCells(4, 2, 4, 3);  // one body row: moves with it, to row 5
    g.MergeCells(5, 1, 6, 2);  // two body rows: dissolved
    g.SortByColumn(1, TRUE);
    ASSERT_EQ(s.RowNow(4), 5);
    EXPECT_EQ(g.MergedBlock(1, 1), CGridCellRange(0, 1, 1, 1));
    EXPECT_EQ(g.MergedBlock(5, 3), CGridCellRange(5, 2, 5, 3));
    EXPECT_EQ(g.GetCell(5, 3)->GetSpanOwner(), CGridCellId(5, 2));
    EXPECT_FALSE(g.GetCell(5, 3)->IsVisible());
    for (int row = 0; row < g.GetRowCount(); ++row) {
        for (int col = 0; col < 4; ++col) {
            if ((col == 1 && row < 2) || (row == 5 && col >= 2)) continue;
            const CGridCellBase* cell = g.GetCell(row, col);
            EXPECT_TRUE(cell->IsVisible() && !cell->IsSpanned() && !cell->IsCoveredBySpan()) << row << "," << col;
        }
    }
}

TEST(GridSort, CompareFunctionsRangesAndWhatSortsNothing) {
    SortGrid s({"a", "b", "c", "d", "e"});
    CGridCtrl& g = s.grid;
    for (int row = 1; row <= 5; ++row) g.GetCell(row, 2)->SetData(row % 3);  // 1 2 0 1 2
    std::vector<LPARAM> seen;
    const LPARAM data = reinterpret_cast<LPARAM>(&seen);
    g.SortCompare = ByData;
    g.SortByColumn(2, FALSE, data);
    EXPECT_TRUE(!seen.empty() && std::count(seen.begin(), seen.end(), data) == static_cast<long>(seen.size()));
    std::vector<LPARAM> order;
    for (int row = 1; row <= 5; ++row) order.push_back(g.GetCell(row, 2)->GetData());
    EXPECT_EQ(order, std::vector<LPARAM>({2, 2, 1, 1, 0}));

    // A range reaching into the fixed rows is cut to the body; rows outside it stay. Called
    // directly, it still empties the selection and the focus, which name positions.
    g.SelectRange(1, 1, 5, 3);
    g.MoveFocusTo(4, 2);
    const std::vector<std::string> before = s.Column(1);
    EXPECT_TRUE(g.SortRowRange(CGridCtrl::CompareCellText, 1, FALSE, 0, 0, 3));
    EXPECT_EQ(g.GetCellText(0, 1), "0.1");
    std::vector<std::string> expected = before;
    std::sort(expected.begin(), expected.begin() + 3, std::greater<std::string>());
    EXPECT_EQ(s.Column(1), expected);
    EXPECT_TRUE(g.Selection().Empty());
    EXPECT_EQ(g.GetFocusCell(), CGridCellId());

    const struct {
        int col, lo, hi;
        GridCompareFunc compare;
    } nothing[] = {{4, 1, -1, CGridCtrl::CompareCellText}, {-1, 1, -1, CGridCtrl::CompareCellText},
                   {1, 1, -1, nullptr},  {1, 3, 3, CGridCtrl::CompareCellText}, {1, 0, 0, CGridCtrl::CompareCellText}};
    for (const auto& c : nothing) {
        EXPECT_FALSE(g.SortRowRange(c.compare, c.col, TRUE, 0, c.lo, c.hi)) << c.col << " " << c.lo << " " << c.hi;
        EXPECT_EQ(s.Column(1), expected);
    }
    // A column outside the table sorts nothing, yet is recorded and the selection goes.
    g.SelectRange(1, 1, 2, 2);
    EXPECT_FALSE(g.SortRowsWith(CGridCtrl::CompareCellText, 9, FALSE));
    EXPECT_TRUE(g.SortColumn == 9 && !g.SortAscending && g.Selection().Empty());
}

TEST(GridSort, AnOpenEditorEndsBeforeRowsMove) {
    // The editor's text stays with its cell, which travels with its row; an owner that closes
    // the grid when it hears of the edit stops the sort before anything moves.
    const struct {
        bool wholeSort, ownerCloses;
    } cases[] = {{true, false}, {false, false}, {true, true}, {false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "whole sort " << c.wholeSort << ", owner closes " << c.ownerCloses);
        SortGrid s({"c", "b", "a"});
        CGridCtrl& g = s.grid;
        g.SetFocus();
        g.MoveFocusTo(1, 2);
        g.StartCellEdit(1, 2, CPoint(-1, -1), VK_LBUTTON);
        const HWND editor = ::GetDlgItem(g.m_hWnd, INPLACE_EDITOR_ID);
        ASSERT_TRUE(editor && g.IsCellEditing(1, 2));
        ::SetWindowTextW(editor, L"edited");
        if (c.ownerCloses)
            s.parent.answer = [&g](const NotifyRecord& n) {
                if (n.code == GRID_NOTIFY_ENDEDIT) g.DestroyWindow();
                return LRESULT(0);
            };
        const BOOL sorted = c.wholeSort ? g.SortRowsWith(CGridCtrl::CompareCellText, 1, TRUE)
                                        : g.SortRowRange(CGridCtrl::CompareCellText, 1, TRUE, 0, 1);
        EXPECT_EQ(sorted, !c.ownerCloses);
        EXPECT_FALSE(::IsWindow(editor));
        if (c.ownerCloses) {
            EXPECT_EQ(s.Column(1), std::vector<std::string>({"c", "b", "a"}));
            continue;
        }
        EXPECT_EQ(s.Column(1), std::vector<std::string>({"a", "b", "c"}));
        EXPECT_EQ(g.GetCellText(3, 2), "edited");
        EXPECT_FALSE(g.IsCellEditing(1, 2) || g.IsCellEditing(3, 2));
    }
}

TEST(GridSort, ASelectionKeptWhileSelectingIsOffGoesBeforeRowsMove) {
    // Its cells would carry their bit to other rows, away from the positions the set names.
    SortGrid s({"c", "b", "a"});
    CGridCtrl& g = s.grid;
    g.SelectRange(1, 1, 1, 3);
    g.SelectionEnabled = FALSE;
    g.SortByColumn(1, TRUE);
    EXPECT_TRUE(g.Selection().Empty());
    for (int row = 0; row < g.GetRowCount(); ++row)
        for (int col = 0; col < 4; ++col) EXPECT_FALSE(g.GetCellState(row, col) & CELL_SELECTED) << row << "," << col;
}
