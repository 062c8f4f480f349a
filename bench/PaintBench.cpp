// How fast the grid paints and scrolls a large table of seeded short texts: 10 columns, a
// header row holding Col0..Col9, 14-pixel rows in the system's default GUI font, a 1000 x 700
// client area (about 48 rows shown). Beside each figure its floor, measured in the same run:
// the same visible texts drawn with bare ExtTextOutW calls plus the grid lines, on the same
// DIB and in the same font. Prints one "key value unit" line per figure.
//
//   paint_*          one full paint into a DIB (WM_PRINTCLIENT): first, warm, and warm at
//                    1,000 against 100,000 rows, taken in turns with the floor
//   line_scroll_*    1,000 single-line steps down (then up) through the window, each with
//                    its paint (WM_PAINT); column_scroll_* the steps right (then left) over a
//                    table of 120 columns, where each step also moves the bar's thumb, beside
//                    the system's own redraw of that bar (bar_redraw_floor_ms)
//   bottom_*         SB_BOTTOM and its paint
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/BenchSurface.h"
#include "bench/SeededText.h"
#include "framework/GbkText.h"
#include "framework/System.h"
#include "grid/GridCtrl.h"

namespace {
constexpr int kRows = 100000, kSmallRows = 1000, kCols = 10, kWideCols = 120;
constexpr int kWidth = 1000, kHeight = 700, kRowHeight = 14;
constexpr int kSteps = 1000, kPaintRuns = 60;

void Print(const char* key, double value, const char* unit) { std::printf("%s %.3f %s\n", key, value, unit); }

double Median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// A grid in a top-level window, filled with the seeded words (row 0 the header).
struct Bench {
    CWnd parent;
    CGridCtrl grid;
    BenchSurface surface{kWidth, kHeight};

    Bench(int rows, int cols) {
        AfxRegisterClassOnce(L"PaintBenchHost", 0, nullptr);
        parent.CreateEx(0, L"PaintBenchHost", L"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                        CRect(0, 0, kWidth + 50, kHeight + 80), nullptr, 0);
        grid.Create(CRect(0, 0, kWidth, kHeight), &parent, 1008, WS_CHILD | WS_VISIBLE);
        grid.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        // Rows made from now on are 14 pixels high.
        for (BOOL fixedRow : {FALSE, TRUE})
            for (BOOL fixedCol : {FALSE, TRUE}) grid.DefaultCellFor(fixedRow, fixedCol)->SetHeight(kRowHeight);
        grid.SetColumnCount(cols);
        grid.SetRowCount(rows);
        grid.SetFixedRowCount(1);
        CSeededText seeded;
        for (int col = 0; col < cols; ++col) grid.SetCellText(0, col, "Col" + std::to_string(col));
        for (int row = 1; row < rows; ++row)
            for (int col = 0; col < cols; ++col) grid.SetCellText(row, col, seeded.Word());
        grid.UpdateWindow();
    }
    void PrintClient() {
        surface.PaintOf(grid);
    }
    // Each step through the window, with the paint it asks for.
    double StepMs(UINT message, UINT code, int steps) {
        return Ms([&] {
                   for (int i = 0; i < steps; ++i) {
                       grid.SendMessage(message, code);
                       grid.UpdateWindow();
                   }
               }) /
               steps;
    }
};

// The floor of one screen: what the grid shows, drawn by hand with the fewest GDI calls.
class Floor {
public:
    explicit Floor(Bench& bench) : m_dc(bench.surface.dc) {
        CGridCtrl& grid = bench.grid;
        m_font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        const CGridCellRange shown = grid.VisibleScrollRange();
        m_rows = shown.maxRow - shown.minRow + 2;  // with the header row
        m_cols = shown.maxCol - shown.minCol + 1;
        int y = 0;
        AddRow(grid, 0, &y);
        for (int row = shown.minRow; row <= shown.maxRow; ++row) AddRow(grid, row, &y);
    }
    void Draw() {
        HDC dc = m_dc.GetSafeHdc();
        const HGDIOBJ oldFont = ::SelectObject(dc, m_font);
        ::SetBkMode(dc, TRANSPARENT);
        const RECT all = {0, 0, kWidth, kHeight};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        for (const Text& text : m_texts)
            ::ExtTextOutW(dc, text.rect.left + 2, text.rect.top, ETO_CLIPPED, &text.rect, text.wide.data(),
                          static_cast<UINT>(text.wide.size()), nullptr);
        const HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
        for (const RECT& r : m_lines) {
            ::MoveToEx(dc, r.left, r.top, nullptr);
            ::LineTo(dc, r.right, r.bottom);
        }
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldFont);
    }
    int Rows() const { return m_rows; }
    int Columns() const { return m_cols; }

private:
    struct Text {
        RECT rect;
        std::wstring wide;
    };
    void AddRow(CGridCtrl& grid, int row, int* y) {
        const int height = grid.GetRowHeight(row);
        int x = 0;
        const CGridCellRange shown = grid.VisibleScrollRange();
        for (int col = shown.minCol; col <= shown.maxCol; ++col) {
            const int width = grid.GetColumnWidth(col);
            m_texts.push_back({{x, *y, x + width - 1, *y + height - 1}, gbk::ToWide(grid.GetCellText(row, col))});
            x += width;
        }
        m_lines.push_back({0, *y + height - 1, x, *y + height - 1});
        if (row == 0)
            for (int col = shown.minCol, at = 0; col <= shown.maxCol; ++col) {
                at += grid.GetColumnWidth(col);
                m_lines.push_back({at - 1, 0, at - 1, kHeight});
            }
        *y += height;
    }

    CDC& m_dc;
    HFONT m_font;
    std::vector<Text> m_texts;  // every visible cell's text and rectangle
    std::vector<RECT> m_lines;  // the grid lines, from (left, top) to (right, bottom)
    int m_rows = 0, m_cols = 0;
};
}  // namespace

int main() {
    Bench big(kRows, kCols);
    Floor floor(big);
    Print("paint_rows_shown", floor.Rows(), "rows");
    Print("paint_cols_shown", floor.Columns(), "cols");

    Print("paint_first_ms", Ms([&] { big.PrintClient(); }), "ms");
    // Warm: the floor, the grid at 100,000 rows and at 1,000 rows in turns, so that whatever
    // else the machine does weighs on all alike.
    Bench small(kSmallRows, kCols);
    small.PrintClient();
    floor.Draw();
    std::vector<double> floorMs, bigMs, smallMs;
    for (int i = 0; i < kPaintRuns; ++i) {
        floorMs.push_back(Ms([&] { floor.Draw(); }));
        bigMs.push_back(Ms([&] { big.PrintClient(); }));
        smallMs.push_back(Ms([&] { small.PrintClient(); }));
    }
    const double floorMedian = Median(floorMs);
    Print("paint_floor_ms", floorMedian, "ms");
    Print("paint_warm_ms", Median(bigMs), "ms");
    Print("paint_warm_1000_rows_ms", Median(smallMs), "ms");
    Print("paint_warm_over_floor", Median(bigMs) / floorMedian, "x");
    Print("paint_warm_1000_rows_over_floor", Median(smallMs) / floorMedian, "x");

    // Line steps through the window, each with its paint; the full paint through the window
    // measured just before, as the yardstick a step used to cost.
    std::vector<double> windowMs;
    for (int i = 0; i < 20; ++i)
        windowMs.push_back(Ms([&] {
            big.grid.Invalidate(TRUE);
            big.grid.UpdateWindow();
        }));
    Print("paint_window_full_ms", Median(windowMs), "ms");
    Print("line_scroll_paint_ms", big.StepMs(WM_VSCROLL, SB_LINEDOWN, kSteps), "ms");
    Print("line_scroll_up_paint_ms", big.StepMs(WM_VSCROLL, SB_LINEUP, kSteps), "ms");
    Print("page_scroll_paint_ms", big.StepMs(WM_VSCROLL, SB_PAGEDOWN, 20), "ms");
    Print("bottom_scroll_paint_ms", big.StepMs(WM_VSCROLL, SB_BOTTOM, 1), "ms");
    Print("bottom_top_row", big.grid.TopLeftScrollCell().row, "row");

    // Horizontal steps over a table wider than the window.
    big.grid.DestroyWindow();
    Bench wide(kSmallRows, kWideCols);
    const int columnSteps = kWideCols - 20;
    Print("column_scroll_paint_ms", wide.StepMs(WM_HSCROLL, SB_LINERIGHT, columnSteps), "ms");
    Print("column_scroll_left_paint_ms", wide.StepMs(WM_HSCROLL, SB_LINELEFT, columnSteps), "ms");
    // The floor of a step that moves the thumb: the system drawing that one bar. On a table
    // this wide every column step moves it.
    std::vector<double> barMs;
    for (int i = 0; i < 20; ++i)
        barMs.push_back(Ms([&] {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_POS;
            ::GetScrollInfo(wide.grid.m_hWnd, SB_HORZ, &info);
            ::SetScrollInfo(wide.grid.m_hWnd, SB_HORZ, &info, TRUE);
        }));
    Print("bar_redraw_floor_ms", Median(barMs), "ms");
    return 0;
}
