// How fast the grid fills, paints and scrolls a large table, and what a cell costs in
// memory: 100,000 rows x 10 columns of short texts in a 1000 x 700 client area. One
// screen's paint is also timed on a table of 1,000 rows: painting must not grow with the
// rows that are not shown.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "framework/System.h"
#include "grid/GridCtrl.h"

namespace {
constexpr int kRows = 100000, kCols = 10, kSmallRows = 1000;
constexpr int kWidth = 1000, kHeight = 700;

// A 32-bit DIB of the client area's size to paint into through WM_PRINTCLIENT.
struct Surface {
    CBitmap bitmap;
    CMemoryDC dc{nullptr};
    HGDIOBJ old;
    Surface() {
        bitmap.CreateDIBSection(kWidth, kHeight);
        old = dc.SelectObject(bitmap.GetSafeHandle());
    }
    ~Surface() { dc.SelectObject(old); }
};

struct Bench {
    CWnd parent;
    CGridCtrl grid;
    Surface surface;

    explicit Bench(int rows, double* fillSeconds = nullptr) {
        AfxRegisterClassOnce(L"PaintBenchHost", 0, nullptr);
        parent.CreateEx(0, L"PaintBenchHost", L"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                        CRect(0, 0, kWidth + 50, kHeight + 80), nullptr, 0);
        grid.Create(CRect(0, 0, kWidth, kHeight), &parent, 1008, WS_CHILD | WS_VISIBLE);
        const double start = Seconds();
        grid.SetColumnCount(kCols);
        grid.SetRowCount(rows);
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        char text[32];
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < kCols; ++col) {
                std::snprintf(text, sizeof(text), "R%dC%d", row, col);
                grid.SetCellText(row, col, text);
            }
        if (fillSeconds) *fillSeconds = Seconds() - start;
    }
    void PrintClient() {
        grid.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc.GetSafeHdc()), PRF_CLIENT);
    }
    void ForcedPaint() {
        grid.Invalidate(TRUE);
        grid.UpdateWindow();
    }
};

template <class F>
double TimeOf(F step) {
    const double start = Seconds();
    step();
    return Seconds() - start;
}

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("  %-46s median %8.3f ms   min %8.3f ms   (%zu runs)\n", what, ms[ms.size() / 2], ms.front(), ms.size());
}

// Median and minimum of `runs` timings of `step`, in milliseconds.
template <class F>
void Time(const char* what, int runs, F step) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) ms.push_back(TimeOf(step) * 1000.0);
    Report(what, ms);
}
}  // namespace

int main() {
    std::printf("Grid paint benchmark: %d x %d cells of short texts, client area %d x %d\n", kRows, kCols, kWidth,
                kHeight);
    const long long before = MemoryNow().privateBytes;
    double fill = 0;
    Bench big(kRows, &fill);
    const long long after = MemoryNow().privateBytes;
    CRect client;
    big.grid.GetClientRect(&client);
    std::printf("  client area with the bars: %d x %d; visible rows %d..%d\n", client.Width(), client.Height(),
                big.grid.VisibleScrollRange().minRow, big.grid.VisibleScrollRange().maxRow);
    std::printf("  %-46s %8.3f s\n", "fill (counts, then every cell's text)", fill);
    std::printf("  %-46s %8.1f bytes (%.1f MB private for %d cells)\n", "memory per cell (private bytes)",
                static_cast<double>(after - before) / (static_cast<double>(kRows) * kCols),
                static_cast<double>(after - before) / (1024.0 * 1024.0), kRows * kCols);

    big.PrintClient();  // the first paint makes the fonts' glyphs; not counted
    std::printf("First screen, %d rows:\n", kRows);
    Time("one full paint (WM_PRINTCLIENT)", 50, [&] { big.PrintClient(); });
    Time("one full paint (InvalidateRect + UpdateWindow)", 50, [&] { big.ForcedPaint(); });

    std::printf("Bottom of the table:\n");
    Time("SB_BOTTOM then a paint (WM_PAINT)", 1, [&] {
        big.grid.SendMessage(WM_VSCROLL, SB_BOTTOM);
        big.grid.UpdateWindow();
    });
    std::printf("  top-left scrolling cell now: row %d\n", big.grid.TopLeftScrollCell().row);
    Time("one full paint at the bottom (WM_PRINTCLIENT)", 50, [&] { big.PrintClient(); });

    big.grid.SendMessage(WM_VSCROLL, SB_TOP);
    big.grid.UpdateWindow();
    const int steps = 1000;
    const double lines = TimeOf([&] {
        for (int i = 0; i < steps; ++i) {
            big.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN);
            big.grid.UpdateWindow();
        }
    });
    std::printf("  %-46s %8.3f s total, %.3f ms each (now at row %d)\n", "1,000 x (SB_LINEDOWN + WM_PAINT)", lines,
                lines * 1000.0 / steps, big.grid.TopLeftScrollCell().row);
    // The scroll alone (the bar's own redraw included), the paints left to the end.
    const double scrollsOnly = TimeOf([&] {
        for (int i = 0; i < steps; ++i) big.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN);
    });
    big.grid.UpdateWindow();
    std::printf("  %-46s %8.3f s total, %.3f ms each\n", "of which the 1,000 SB_LINEDOWN alone", scrollsOnly,
                scrollsOnly * 1000.0 / steps);

    // Taken in turns, so that whatever else the machine does weighs on both alike.
    std::printf("Same screen at %d rows and at %d rows (WM_PRINTCLIENT, first screen, in turns):\n", kSmallRows, kRows);
    big.grid.SendMessage(WM_VSCROLL, SB_TOP);
    Bench small(kSmallRows);
    small.PrintClient();
    std::vector<double> smallMs, bigMs;
    for (int i = 0; i < 200; ++i) {
        smallMs.push_back(TimeOf([&] { small.PrintClient(); }) * 1000.0);
        bigMs.push_back(TimeOf([&] { big.PrintClient(); }) * 1000.0);
    }
    Report("  1,000 rows", smallMs);
    Report("100,000 rows", bigMs);
    return 0;
}
