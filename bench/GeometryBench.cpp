// How the grid's geometry scales with the rows: every figure is taken at 10,000, 100,000
// and 1,000,000 rows (or the row counts given on the command line) of a 1000 x 700 client
// area, and each must grow no faster than n log n. Printed as "key value unit" lines.
//
//   set_row_heights     every row's height set one by one (SetRowHeight, bars updated each time)
//   scroll_into_view    ScrollCellIntoView of the last cell, from the top
//   thumb_with_paint    the thumb dropped at 1,000 random positions, each with its paint
//   cell_from_point     CellFromPoint at 1,000,000 random points of the client area
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench/BenchSupport.h"
#include "framework/System.h"
#include "grid/GridCtrl.h"

namespace {
constexpr int kCols = 4;  // enough for a horizontal walk; the rows are what grows
constexpr int kWidth = 1000, kHeight = 700;
constexpr int kThumbDrops = 1000, kPoints = 1000000;

struct Bench {
    CWnd parent;
    CGridCtrl grid;

    explicit Bench(int rows) {
        AfxRegisterClassOnce(L"GeometryBenchHost", 0, nullptr);
        parent.CreateEx(0, L"GeometryBenchHost", L"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                        CRect(0, 0, kWidth + 50, kHeight + 80), nullptr, 0);
        grid.Create(CRect(0, 0, kWidth, kHeight), &parent, 1008, WS_CHILD | WS_VISIBLE);
        grid.SetColumnCount(kCols);
        grid.SetRowCount(rows);
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        for (int col = 0; col < kCols; ++col) grid.SetColumnWidth(col, 300);
    }
};

void Print(const char* key, int rows, double value, const char* unit) {
    std::printf("%s_%d %.3f %s\n", key, rows, value, unit);
}

void Measure(int rows) {
    Bench b(rows);
    CGridCtrl& g = b.grid;
    std::mt19937 random(12345);

    // Heights that differ, so no walk can take a shortcut through a uniform size.
    double start = Seconds();
    for (int row = 0; row < rows; ++row) g.SetRowHeight(row, 16 + row % 9);
    double seconds = Seconds() - start;
    Print("set_row_heights", rows, seconds * 1000.0, "ms");
    Print("set_row_height_each", rows, seconds * 1e6 / rows, "us");

    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        g.SendMessage(WM_VSCROLL, SB_TOP);
        g.SendMessage(WM_HSCROLL, SB_LEFT);
        g.UpdateWindow();
        start = Seconds();
        g.ScrollCellIntoView(rows - 1, kCols - 1);
        ms.push_back((Seconds() - start) * 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    Print("scroll_into_view", rows, ms[ms.size() / 2], "ms");
    Print("scroll_into_view_top_row", rows, g.TopLeftScrollCell().row, "row");

    std::uniform_int_distribution<int> position(0, std::max(0, g.VScrollMax));
    start = Seconds();
    for (int i = 0; i < kThumbDrops; ++i) {
        g.SetScrollPosition(SB_VERT, position(random));
        g.SendMessage(WM_VSCROLL, SB_THUMBPOSITION);
        g.UpdateWindow();
    }
    seconds = Seconds() - start;
    Print("thumb_with_paint", rows, seconds * 1000.0, "ms");
    Print("thumb_with_paint_each", rows, seconds * 1000.0 / kThumbDrops, "ms");

    CRect client;
    g.GetClientRect(&client);
    std::uniform_int_distribution<int> x(0, client.right - 1), y(0, client.bottom - 1);
    std::vector<POINT> points(kPoints);
    for (POINT& p : points) p = {x(random), y(random)};
    long long hits = 0;
    start = Seconds();
    for (const POINT& p : points) hits += g.CellFromPoint(p).row >= 0;
    seconds = Seconds() - start;
    Print("cell_from_point", rows, seconds * 1000.0, "ms");
    Print("cell_from_point_each", rows, seconds * 1e9 / kPoints, "ns");
    Print("cell_from_point_hits", rows, static_cast<double>(hits), "points");
}
}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {10000, 100000, 1000000};
    for (int rows : counts) Measure(rows);
    return 0;
}
