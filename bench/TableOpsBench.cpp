// The table operations of the mouse over 100,000 rows x 10 columns of seeded text in a
// 1000 x 700 client area: select all and repaint; sort by column 3, beside a plain index
// sort of the same texts with strcmp (from the filled order, and from the order of another
// column); autosize column 3 over every row, beside measuring every cell with one system
// call each (the cells' own measuring outside an autosize).
// Each time is the best of a few runs on the same input. Prints "key value unit" lines.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/SeededText.h"
#include "framework/System.h"
#include "grid/GridCtrl.h"

namespace {
constexpr int kRows = 100000, kCols = 10, kSortCol = 3, kOtherCol = 7, kRuns = 5;
constexpr int kWidth = 1000, kHeight = 700;

void Print(const char* key, double value, const char* unit) { std::printf("%s %.2f %s\n", key, value, unit); }

// Puts the rows back in the order they were filled in: column 0's data holds each row's
// first place.
int ByFilledRow(const CGridCellBase* a, const CGridCellBase* b, LPARAM) {
    return static_cast<int>(a->GetData()) - static_cast<int>(b->GetData());
}

std::vector<std::string> ColumnTexts(const CGridCtrl& grid, int col) {
    std::vector<std::string> texts;
    texts.reserve(kRows);
    for (int row = 0; row < kRows; ++row) texts.push_back(grid.GetCellText(row, col));
    return texts;
}
}  // namespace

int main() {
    AfxRegisterClassOnce(L"TableOpsBenchHost", 0, nullptr);
    CWnd host;
    host.CreateEx(0, L"TableOpsBenchHost", L"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                  CRect(0, 0, kWidth + 50, kHeight + 80), nullptr, 0);
    auto* grid = new CGridCtrl;
    grid->Create(CRect(0, 0, kWidth, kHeight), &host, 1008, WS_CHILD | WS_VISIBLE);
    grid->SetColumnCount(kCols);
    grid->SetRowCount(kRows);
    CSeededText seeded;
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col) grid->SetCellText(row, col, seeded.Word());
        grid->GetCell(row, 0)->SetData(row);
    }
    grid->UpdateWindow();

    // Select all and repaint: the selection's changed cells on screen are invalidated and
    // painted.
    double selectMs = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        grid->ClearSelection();
        grid->UpdateWindow();
        selectMs = std::min(selectMs, Ms([&] {
                                grid->SelectAllCells();
                                grid->UpdateWindow();
                            }));
    }

    // Sorting, from the filled order each time, in turns with the floor. Then from the
    // order of another column: rows no longer lie in memory in row order.
    const std::vector<std::string> texts = ColumnTexts(*grid, kSortCol);
    std::vector<int> index(kRows);
    double sortMs = 1e30, floorMs = 1e30, scatteredMs = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        grid->SortRowsWith(ByFilledRow, 0, TRUE);
        grid->SortByColumn(kOtherCol, TRUE);
        scatteredMs = std::min(scatteredMs, Ms([&] { grid->SortByColumn(kSortCol, TRUE); }));
        grid->SortRowsWith(ByFilledRow, 0, TRUE);
        sortMs = std::min(sortMs, Ms([&] { grid->SortByColumn(kSortCol, TRUE); }));
        std::iota(index.begin(), index.end(), 0);
        floorMs = std::min(floorMs, Ms([&] {
                               std::sort(index.begin(), index.end(), [&](int a, int b) {
                                   return std::strcmp(texts[a].c_str(), texts[b].c_str()) < 0;
                               });
                           }));
    }
    bool sameOrder = true;
    for (int row = 0; row < kRows && sameOrder; ++row)
        sameOrder = grid->GetCellText(row, kSortCol) == texts[static_cast<size_t>(index[row])];
    const double headerMs = Ms([&] {
        grid->SortByHeader(kSortCol);  // descending now
        grid->UpdateWindow();
    });

    // Autosizing, beside the cells measured one system call each.
    double autoSizeMs = 1e30, perCellMs = 1e30;
    int perCellWidth = 0;
    for (int run = 0; run < 3; ++run) {
        autoSizeMs = std::min(autoSizeMs, Ms([&] { grid->AutoSizeColumn(kSortCol, 3, TRUE); }));
        perCellMs = std::min(perCellMs, Ms([&] {
                                 CClientDC dc(grid->GetSafeHwnd());
                                 perCellWidth = 0;
                                 for (int row = 0; row < kRows; ++row)
                                     perCellWidth = std::max<int>(perCellWidth,
                                                                  grid->GetCell(row, kSortCol)->MeasureCell(&dc).cx);
                             }));
    }

    Print("table_rows", kRows, "rows");
    Print("table_cells", static_cast<double>(kRows) * kCols, "cells");
    Print("select_all_and_repaint", selectMs, "ms");
    Print("sort_by_column", sortMs, "ms");
    Print("sort_strcmp_index_floor", floorMs, "ms");
    Print("sort_over_floor", sortMs / floorMs, "x");
    Print("sort_same_order_as_floor", sameOrder ? 1 : 0, "bool");
    Print("sort_by_column_rows_scattered", scatteredMs, "ms");
    Print("sort_rows_scattered_over_floor", scatteredMs / floorMs, "x");
    Print("sort_by_header_press_with_paint", headerMs, "ms");
    Print("autosize_column", autoSizeMs, "ms");
    Print("autosize_per_cell_extent", perCellMs, "ms");
    Print("autosize_over_per_cell", autoSizeMs / perCellMs, "x");
    Print("autosize_width", grid->GetColumnWidth(kSortCol), "px");
    Print("autosize_same_width_as_per_cell", grid->GetColumnWidth(kSortCol) == perCellWidth ? 1 : 0, "bool");
    delete grid;
    return 0;
}
