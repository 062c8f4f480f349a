// Select all and copy over 100,000 rows x 10 columns of seeded text: building the copy text
// beside a plain loop that writes the same text from an array of strings (the floor), the
// copy to the clipboard, select all and copy together, and the UTF-16 text a reader may ask
// for. Each time is the best of a few runs. Prints one "key value unit" line per figure.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/SeededText.h"
#include "framework/System.h"
#include "grid/GridCtrl.h"

namespace {
constexpr int kRows = 100000, kCols = 10, kRuns = 5;

// Milliseconds of the fastest of kRuns runs of `step`.
template <class F>
double BestMs(F step) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const double start = Seconds();
        step();
        best = std::min(best, Seconds() - start);
    }
    return best * 1000.0;
}

void Print(const char* key, double value, const char* unit) { std::printf("%s %.2f %s\n", key, value, unit); }

std::string ClipboardBytes(UINT format) {
    std::string bytes;
    AfxReadClipboardBytes(format, &bytes);
    return bytes;
}
}  // namespace

int main() {
    AfxRegisterClassOnce(L"ClipboardBenchHost", 0, nullptr);
    CWnd host;
    host.CreateEx(0, L"ClipboardBenchHost", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480), nullptr,
                  0);
    auto* grid = new CGridCtrl;
    grid->Create(CRect(0, 0, 600, 400), &host, 1008, WS_CHILD | WS_VISIBLE);
    grid->SetColumnCount(kCols);
    grid->SetRowCount(kRows);

    CSeededText seeded;
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(kRows) * kCols);
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kCols; ++col) {
            cells.push_back(seeded.Word());
            grid->SetCellText(row, col, cells.back());
        }

    std::string floorText, gridText;
    const double selectMs = BestMs([&] {
        grid->ClearSelection();
        grid->SelectAllCells();
    });
    // The floor and the grid's text in turns, so that a busy machine slows both alike.
    double floorMs = 1e30, buildMs = 1e30;
    for (int run = 0; run < 3; ++run) {
        floorMs = std::min(floorMs, BestMs([&] { floorText = PlainCopyText(cells, kRows, kCols); }));
        buildMs = std::min(buildMs, BestMs([&] { gridText = grid->SelectionText(); }));
    }
    const double copyMs = BestMs([&] { grid->CopyToClipboard(); });
    // The whole command from nothing selected: select all, then copy.
    double selectCopyMs = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        grid->ClearSelection();
        const double start = Seconds();
        grid->SelectAllCells();
        grid->CopyToClipboard();
        selectCopyMs = std::min(selectCopyMs, (Seconds() - start) * 1000.0);
    }
    const std::string onClipboard = ClipboardBytes(CF_TEXT);
    // The UTF-16 text is made the first time a reader asks for it.
    const double unicodeStart = Seconds();
    const std::string wide = ClipboardBytes(CF_UNICODETEXT);
    const double unicodeMs = (Seconds() - unicodeStart) * 1000.0;

    Print("clipboard_cells", static_cast<double>(kRows) * kCols, "cells");
    Print("clipboard_text_bytes", static_cast<double>(gridText.size()), "bytes");
    Print("clipboard_text_same_as_floor", gridText == floorText && onClipboard == floorText ? 1 : 0, "bool");
    Print("clipboard_floor_text", floorMs, "ms");
    Print("clipboard_selection_text", buildMs, "ms");
    Print("clipboard_text_over_floor", buildMs / floorMs, "x");
    Print("clipboard_select_all", selectMs, "ms");
    Print("clipboard_copy_to_clipboard", copyMs, "ms");
    Print("clipboard_select_all_and_copy", selectCopyMs, "ms");
    Print("clipboard_unicode_bytes", static_cast<double>(wide.size()), "bytes");
    Print("clipboard_unicode_on_demand", unicodeMs, "ms");
    delete grid;
    return 0;
}
