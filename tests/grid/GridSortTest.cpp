// Sorting a grid in a window: header presses, the byte order of texts, rows travelling whole
// with their heights, fixed rows staying, the selection and focus emptied, merged blocks,
// compare functions, ranges, and what sorts nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "grid/GbkOrder.h"
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

// A grid whose body rows (below `fixedRows`) hold `keys` in column 1; every other cell holds
// "<row>.<col>" of the row it starts in, so a row can be followed wherever it goes.
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
    // The row that started as `row`, found by its text in column 0.
    int RowNow(int row) const {
        for (int r = 0; r < grid.GetRowCount(); ++r)
            if (grid.GetCellText(r, 0) == std::to_string(row) + ".0") return r;
        return -1;
    }
};

std::vector<std::string> Sorted(std::vector<std::string> texts, bool ascending) {
    std::sort(texts.begin(), texts.end(), [&](const std::string& a, const std::string& b) {
        return ascending ? CompareGbkText(a, b) < 0 : CompareGbkText(a, b) > 0;
    });
    return texts;
}

int ByData(const CGridCellBase* a, const CGridCellBase* b, LPARAM data) {
    static_cast<std::vector<LPARAM>*>(reinterpret_cast<void*>(data))->push_back(data);
    return static_cast<int>(a->GetData() - b->GetData());
}
}  // namespace

TEST(GridSort, HeaderPressesTurnTheOrderAndStartAscendingOnAnotherColumn) {
    SortGrid s({"d", "b", "e", "a", "c"});
    CGridCtrl& g = s.grid;
    g.SetCellText(3, 2, "0");  // column 2 orders the rows otherwise than column 1
    const struct {
        int col;
        bool ascending;
    } presses[] = {{1, true}, {1, false}, {1, true}, {1, false}, {2, true}, {2, false}, {1, true}};
    CRect client;
    g.GetClientRect(&client);
    for (const auto& p : presses) {
        const std::vector<std::string> before = s.Column(p.col);
        g.UpdateWindow();
        g.SortByHeader(p.col);
        EXPECT_EQ(g.SortColumn, p.col);
        EXPECT_EQ(g.SortAscending, p.ascending ? TRUE : FALSE);
        EXPECT_EQ(s.Column(p.col), Sorted(before, p.ascending)) << p.col << " " << p.ascending;
        CRect update;
        EXPECT_TRUE(::GetUpdateRect(g.GetSafeHwnd(), &update, FALSE));
        EXPECT_EQ(update, client) << "the whole client area is repainted";
    }
    g.SetCellText(2, 1, "x");
    EXPECT_EQ(g.SortColumn, -1) << "an edit in the sort column removes the mark";
}

TEST(GridSort, TextsInByteOrder) {
    const std::vector<std::string> keys = {"a", "B", "9", "10", "中", "啊", "", "Ab", "A"};
    for (BOOL ascending : {TRUE, FALSE}) {
        SortGrid s(keys);
        s.grid.SortByColumn(1, ascending);
        const std::vector<std::string> up = {"", "10", "9", "A", "Ab", "B", "a", "啊", "中"};
        EXPECT_EQ(s.Column(1), ascending ? up : std::vector<std::string>(up.rbegin(), up.rend()));
    }
    SortGrid s(keys);
    EXPECT_EQ(CGridCtrl::CompareCellText(nullptr, s.grid.GetCell(1, 1), 0), 0) << "a missing cell equals anything";
    EXPECT_EQ(CGridCtrl::CompareCellText(s.grid.GetCell(1, 1), nullptr, 0), 0);
}

TEST(GridSort, RowsTravelWholeAndFixedOnesStay) {
    SortGrid s({"c", "a", "d", "b", "a"}, 2, RUNTIME_CLASS(PlacedCell));
    CGridCtrl& g = s.grid;
    for (int row = 0; row < g.GetRowCount(); ++row) g.SetRowHeight(row, 20 + row);
    g.SelectRange(2, 1, 4, 3);
    g.MoveFocusTo(3, 2);
    ASSERT_FALSE(g.Selection().Empty());
    const long long total = g.VirtualHeight();

    g.SortByColumn(1, TRUE);
    EXPECT_EQ(s.Column(1), std::vector<std::string>({"a", "a", "b", "c", "d"}));
    for (int row = 0; row < g.GetRowCount(); ++row) {
        const int now = s.RowNow(row);
        if (row < 2) {
            EXPECT_EQ(now, row) << "fixed rows stay";
        }
        EXPECT_EQ(g.GetRowHeight(now), 20 + row) << "the height goes with row " << row;
        for (int col = 2; col < 4; ++col) EXPECT_EQ(g.GetCellText(now, col), std::to_string(row) + "." + std::to_string(col));
    }
    EXPECT_EQ(g.VirtualHeight(), total);
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
    g.MergeCells(4, 2, 4, 3);  // one body row: moves with it
    g.MergeCells(5, 1, 6, 2);  // two body rows: dissolved
    g.SortByColumn(1, TRUE);
    ASSERT_EQ(s.Column(1), std::vector<std::string>({"a", "b", "c", "d", "e", "f"}));

    EXPECT_EQ(g.MergedBlock(1, 1), CGridCellRange(0, 1, 1, 1));
    const int moved = s.RowNow(4);
    ASSERT_EQ(moved, 5);
    EXPECT_EQ(g.MergedBlock(moved, 3), CGridCellRange(moved, 2, moved, 3));
    EXPECT_EQ(g.GetCell(moved, 3)->GetSpanOwner(), CGridCellId(moved, 2));
    EXPECT_FALSE(g.GetCell(moved, 3)->IsVisible());
    // Every other cell is an ordinary one again: drawn, heading and covered by nothing.
    for (int row = 0; row < g.GetRowCount(); ++row) {
        for (int col = 0; col < 4; ++col) {
            if ((col == 1 && row < 2) || (row == moved && col >= 2)) continue;
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
    EXPECT_FALSE(seen.empty());
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [&](LPARAM d) { return d == data; })) << "data goes through";
    std::vector<LPARAM> order;
    for (int row = 1; row <= 5; ++row) order.push_back(g.GetCell(row, 2)->GetData());
    EXPECT_EQ(order, std::vector<LPARAM>({2, 2, 1, 1, 0}));

    // A range: rows outside it stay; one reaching into the fixed rows is cut to the body.
    // Called directly, it still empties the selection and the focus, which name positions.
    g.SortCompare = nullptr;
    g.SelectRange(1, 1, 5, 3);
    g.MoveFocusTo(4, 2);
    EXPECT_TRUE(g.SortRowRange(CGridCtrl::CompareCellText, 1, FALSE, 0, 0, 3));
    EXPECT_TRUE(g.Selection().Empty());
    EXPECT_EQ(g.GetFocusCell(), CGridCellId());
    EXPECT_EQ(g.GetCellText(0, 1), "0.1");
    const std::vector<std::string> column = s.Column(1);
    EXPECT_TRUE(std::is_sorted(column.begin(), column.begin() + 3, [](auto& a, auto& b) { return a > b; }));

    const struct {
        int col, lo, hi;
        GridCompareFunc compare;
    } nothing[] = {{4, 1, -1, CGridCtrl::CompareCellText}, {-1, 1, -1, CGridCtrl::CompareCellText},
                   {1, 1, -1, nullptr},  {1, 3, 3, CGridCtrl::CompareCellText},
                   {1, 0, 0, CGridCtrl::CompareCellText}};
    for (const auto& c : nothing) {
        const std::vector<std::string> before = s.Column(1);
        EXPECT_FALSE(g.SortRowRange(c.compare, c.col, TRUE, 0, c.lo, c.hi)) << c.col << " " << c.lo << " " << c.hi;
        EXPECT_EQ(s.Column(1), before);
    }
    // A column outside the table sorts nothing, yet is recorded and the selection goes.
    g.SelectRange(1, 1, 2, 2);
    EXPECT_FALSE(g.SortRowsWith(CGridCtrl::CompareCellText, 9, FALSE));
    EXPECT_EQ(g.SortColumn, 9);
    EXPECT_FALSE(g.SortAscending);
    EXPECT_TRUE(g.Selection().Empty());
}
