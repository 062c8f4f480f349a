// The grid's common operations on a table of the seeded words: N data rows x 10 columns
// (N = 100,000 unless the command line names another) below the fixed heading row, in a
// 1000 x 700 window with 14-pixel rows in the system's default GUI font.
//
// Taken in this order: the fill (counts, then every cell's text) with the heap and private
// memory it adds; one full paint into a DIB, first and warm; a scroll to the last row with
// its paint, and a full paint there; 1,000 single-line scrolls each with its paint (from the
// top, three times); a sort by column 3 ascending, checked for order; select all and its
// repaint; the copy text of the whole table and the copy to the clipboard; autosizing column
// 3 over every row; the copy text once more with the rows back in their filled order; the
// grid's destruction.
//
// Beside each, its floor: the same work as a bare loop in this program. Storing one heap
// object holding its text per cell (and freeing them), an index sort of column 3 with
// strcmp, writing the copy text from an array of strings, ExtTextOut of the texts shown plus
// the grid lines, measuring every cell of column 3 with a system call of its own. Grid and
// floor are timed in turns, so that a busy machine slows both alike; a time is the best of
// its runs unless it says median.
//
// Prints one "key value unit" line per figure and "checksum XXXXXXXX": FNV-1a over every
// data cell's text as the grid holds it after the fill, row by row (CTextChecksum).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/BenchSurface.h"
#include "bench/SeededText.h"
#include "framework/GbkText.h"
#include "framework/System.h"
#include "grid/GridCtrl.h"

namespace {
constexpr int kCols = 10, kSortCol = 3;
constexpr int kWidth = 1000, kHeight = 700, kRowHeight = 14;
constexpr int kFillRuns = 3, kRuns = 3, kPaintRuns = 30, kLineSteps = 1000;

void Print(const char* key, double value, const char* unit) { std::printf("%s %.2f %s\n", key, value, unit); }

double Median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The words of the data rows, row by row.
struct Data {
    int rows = 0;
    std::vector<std::string> words;

    explicit Data(int dataRows) : rows(dataRows) {
        CSeededText seeded;
        words.reserve(static_cast<size_t>(rows) * kCols);
        for (size_t i = 0; i < static_cast<size_t>(rows) * kCols; ++i) words.push_back(seeded.Word());
    }
    const std::string& At(int dataRow, int col) const { return words[static_cast<size_t>(dataRow) * kCols + col]; }
    long long Cells() const { return (static_cast<long long>(rows) + 1) * kCols; }
};

// The floor of the fill and the destruction: one heap object holding its text per cell.
struct FloorCell {
    std::string text;
};

std::vector<FloorCell*> FloorFill(const Data& data) {
    std::vector<FloorCell*> cells(static_cast<size_t>(data.Cells()));
    size_t i = 0;
    for (int col = 0; col < kCols; ++col) cells[i++] = new FloorCell{CSeededText::Heading(col)};
    for (const std::string& word : data.words) cells[i++] = new FloorCell{word};
    return cells;
}

void FloorDestroy(std::vector<FloorCell*>& cells) {
    for (FloorCell* cell : cells) delete cell;
    std::vector<FloorCell*>().swap(cells);
}

// One grid in the host window, as the benchmark sets it up: the default GUI font, 14-pixel
// rows.
std::unique_ptr<CGridCtrl> NewGrid(CWnd& host) {
    auto grid = std::make_unique<CGridCtrl>();
    grid->Create(CRect(0, 0, kWidth, kHeight), &host, 1008, WS_CHILD | WS_VISIBLE);
    grid->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    for (BOOL fixedRow : {FALSE, TRUE})
        for (BOOL fixedCol : {FALSE, TRUE}) grid->DefaultCellFor(fixedRow, fixedCol)->SetHeight(kRowHeight);
    return grid;
}

void Fill(CGridCtrl& grid, const Data& data) {
    grid.SetColumnCount(kCols);
    grid.SetRowCount(data.rows + 1);
    grid.SetFixedRowCount(1);
    for (int col = 0; col < kCols; ++col) grid.SetCellText(0, col, CSeededText::Heading(col));
    for (int row = 0; row < data.rows; ++row)
        for (int col = 0; col < kCols; ++col) grid.SetCellText(row + 1, col, data.At(row, col));
}

// The GDI floor of one paint: the texts of the cells shown, already UTF-16, drawn clipped to
// their cells over a cleared background, with a line under every row and right of every
// column.
struct PaintFloor {
    std::vector<std::wstring> texts;  // row by row, the rows shown
    std::vector<RECT> rects;          // each text's cell
    std::vector<int> rowEdges, colEdges;
    int margin = 0;

    PaintFloor(CGridCtrl& grid, int rowsShown) {
        const CGridCellId topLeft = grid.TopLeftScrollCell();
        std::vector<int> rows{0};
        for (int row = topLeft.row; static_cast<int>(rows.size()) < rowsShown; ++row) rows.push_back(row);
        margin = static_cast<int>(grid.DefaultCellFor(FALSE, FALSE)->GetMargin());
        int y = 0;
        for (int row : rows) {
            int x = 0;
            for (int col = 0; col < kCols; ++col) {
                const int width = grid.GetColumnWidth(col);
                texts.push_back(gbk::ToWide(grid.GetCellText(row, col)));
                rects.push_back({x, y, x + width - 1, y + kRowHeight - 1});
                x += width;
                if (row == 0) colEdges.push_back(x - 1);
            }
            y += kRowHeight;
            rowEdges.push_back(y - 1);
        }
    }
    void Paint(HDC dc) const {
        const RECT all{0, 0, kWidth, kHeight};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetBkMode(dc, TRANSPARENT);
        for (size_t i = 0; i < texts.size(); ++i) {
            const RECT& r = rects[i];
            ::ExtTextOutW(dc, r.left + margin, r.top, ETO_CLIPPED, &r, texts[i].data(),
                          static_cast<UINT>(texts[i].size()), nullptr);
        }
        HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
        const int right = colEdges.empty() ? 0 : colEdges.back(), bottom = rowEdges.empty() ? 0 : rowEdges.back();
        for (int y : rowEdges) {
            ::MoveToEx(dc, 0, y, nullptr);
            ::LineTo(dc, right + 1, y);
        }
        for (int x : colEdges) {
            ::MoveToEx(dc, x, 0, nullptr);
            ::LineTo(dc, x, bottom + 1);
        }
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldFont);
    }
};

// Puts the rows back in the order they were filled in: `data` maps each column-0 cell to
// its row then.
int ByFilledRow(const CGridCellBase* a, const CGridCellBase* b, LPARAM data) {
    const auto& filled = *reinterpret_cast<const std::unordered_map<const CGridCellBase*, int>*>(data);
    return filled.at(a) - filled.at(b);
}

std::string ClipboardText() {
    std::string bytes;
    AfxReadClipboardBytes(CF_TEXT, &bytes);
    return bytes;
}
}  // namespace

int main(int argc, char** argv) {
    const int dataRows = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (dataRows < 2) {
        std::fprintf(stderr, "usage: operations_bench [data rows, at least 2]\n");
        return 2;
    }
    const Data data(dataRows);
    const long long cells = data.Cells();
    AfxRegisterClassOnce(L"OperationsBenchHost", 0, nullptr);
    CWnd host;
    host.CreateEx(0, L"OperationsBenchHost", L"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                  CRect(0, 0, kWidth + 50, kHeight + 80), nullptr, 0);

    // ---- fill and destroy, in turns with the floor; the first fill's memory ----
    double fillMs = 1e30, fillFloorMs = 1e30, destroyMs = 1e30, destroyFloorMs = 1e30;
    HeapUse heapBefore{}, heapAfter{}, floorHeapBefore{}, floorHeapAfter{};
    Memory memoryBefore{}, memoryAfter{};
    std::unique_ptr<CGridCtrl> grid;
    for (int run = 0; run <= kFillRuns; ++run) {
        grid = NewGrid(host);
        if (run == 0) {
            heapBefore = HeapInUse();
            memoryBefore = MemoryNow();
        }
        fillMs = std::min(fillMs, Ms([&] { Fill(*grid, data); }));
        if (run == 0) {
            memoryAfter = MemoryNow();
            heapAfter = HeapInUse();
        }
        if (run == kFillRuns) break;  // the last grid is kept for the operations
        destroyMs = std::min(destroyMs, Ms([&] { grid.reset(); }));

        std::vector<FloorCell*> floorCells;
        if (run == 0) floorHeapBefore = HeapInUse();
        fillFloorMs = std::min(fillFloorMs, Ms([&] { floorCells = FloorFill(data); }));
        if (run == 0) floorHeapAfter = HeapInUse();
        destroyFloorMs = std::min(destroyFloorMs, Ms([&] { FloorDestroy(floorCells); }));
    }

    CTextChecksum held, generated;
    for (int row = 0; row < data.rows; ++row)
        for (int col = 0; col < kCols; ++col) {
            held.Add(grid->GetCellText(row + 1, col));
            generated.Add(data.At(row, col));
        }
    bool headingsHeld = true;
    for (int col = 0; col < kCols; ++col) headingsHeld &= grid->GetCellText(0, col) == CSeededText::Heading(col);

    // ---- paints ----
    BenchSurface surface(kWidth, kHeight);
    const double paintFirstMs = Ms([&] { surface.PaintOf(*grid); });
    grid->UpdateWindow();
    const CGridCellRange shown = grid->VisibleScrollRange();
    const int rowsShown = grid->GetFixedRowCount() + shown.maxRow - shown.minRow + 1;
    const PaintFloor paintFloor(*grid, rowsShown);
    std::vector<double> warm, gdiFloor;
    for (int run = 0; run < kPaintRuns; ++run) {
        warm.push_back(Ms([&] { surface.PaintOf(*grid); }));
        gdiFloor.push_back(Ms([&] { paintFloor.Paint(surface.dc.GetSafeHdc()); }));
    }

    // ---- scrolling ----
    double scrollLastMs = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        grid->SendMessage(WM_VSCROLL, SB_TOP);
        grid->UpdateWindow();
        scrollLastMs = std::min(scrollLastMs, Ms([&] {
                                    grid->SendMessage(WM_VSCROLL, SB_BOTTOM);
                                    grid->UpdateWindow();
                                }));
    }
    const bool atLastRow = grid->VisibleScrollRange().maxRow == grid->GetRowCount() - 1;
    std::vector<double> afterScroll;
    for (int run = 0; run < kPaintRuns; ++run) afterScroll.push_back(Ms([&] { surface.PaintOf(*grid); }));
    // The steps from the top, as often as the other operations run; the best run counts,
    // as for them (a step leans on the window system's processes, which share the machine).
    double lineStepsMs = 1e30;
    int topAfterLines = 0;
    for (int run = 0; run < kRuns; ++run) {
        grid->SendMessage(WM_VSCROLL, SB_TOP);
        grid->UpdateWindow();
        lineStepsMs = std::min(lineStepsMs, Ms([&] {
                                   for (int step = 0; step < kLineSteps; ++step) {
                                       grid->SendMessage(WM_VSCROLL, SB_LINEDOWN);
                                       grid->UpdateWindow();
                                   }
                               }));
        topAfterLines = grid->TopLeftScrollCell().row;
    }
    grid->SendMessage(WM_VSCROLL, SB_TOP);
    grid->UpdateWindow();

    // ---- sort by column 3, from the filled order each time ----
    std::unordered_map<const CGridCellBase*, int> filledRow;
    for (int row = 1; row <= data.rows; ++row) filledRow[grid->GetCell(row, 0)] = row;
    std::vector<int> index(static_cast<size_t>(data.rows));
    double sortMs = 1e30, sortFloorMs = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        grid->SortRowsWith(ByFilledRow, 0, TRUE, reinterpret_cast<LPARAM>(&filledRow));
        sortMs = std::min(sortMs, Ms([&] { grid->SortByColumn(kSortCol, TRUE); }));
        std::iota(index.begin(), index.end(), 0);
        sortFloorMs = std::min(sortFloorMs, Ms([&] {
                                   std::sort(index.begin(), index.end(), [&](int a, int b) {
                                       return std::strcmp(data.At(a, kSortCol).c_str(), data.At(b, kSortCol).c_str()) < 0;
                                   });
                               }));
    }
    bool sorted = true;
    for (int row = 0; row < data.rows && sorted; ++row)
        sorted = grid->GetCellText(row + 1, kSortCol) == data.At(index[static_cast<size_t>(row)], kSortCol);
    grid->UpdateWindow();

    // ---- select all with its repaint ----
    double selectMs = 1e30, selectPaintMs = 1e30, selectBothMs = 1e30, clearMs = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const double select = Ms([&] { grid->SelectAllCells(); });
        const double paint = Ms([&] { grid->UpdateWindow(); });
        selectMs = std::min(selectMs, select);
        selectPaintMs = std::min(selectPaintMs, paint);
        selectBothMs = std::min(selectBothMs, select + paint);
        if (run == kRuns - 1) break;  // left selected for the copy
        clearMs = std::min(clearMs, Ms([&] { grid->ClearSelection(); }));
        grid->UpdateWindow();
    }
    // Select all takes the cells below the fixed row.
    const bool allSelected = static_cast<long long>(grid->Selection().Size()) == cells - kCols;

    // ---- copy: the selected data rows ----
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(cells));
    for (int row = 1; row <= data.rows; ++row)
        for (int col = 0; col < kCols; ++col) texts.push_back(grid->GetCellText(row, col));
    std::string floorText, gridText;
    double copyMs = 1e30, copyFloorMs = 1e30, clipboardMs = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        copyFloorMs = std::min(copyFloorMs, Ms([&] { floorText = PlainCopyText(texts, data.rows, kCols); }));
        copyMs = std::min(copyMs, Ms([&] { gridText = grid->SelectionText(); }));
    }
    for (int run = 0; run < kRuns; ++run) clipboardMs = std::min(clipboardMs, Ms([&] { grid->CopyToClipboard(); }));
    const bool clipboardSame = ClipboardText() == floorText;

    // ---- autosize column 3 over every row, beside every cell measured on its own ----
    double autoSizeMs = 1e30, perCellMs = 1e30;
    int perCellWidth = 0;
    for (int run = 0; run < kRuns; ++run) {
        autoSizeMs = std::min(autoSizeMs, Ms([&] { grid->AutoSizeColumn(kSortCol, 3, TRUE); }));
        perCellMs = std::min(perCellMs, Ms([&] {
                                 CClientDC dc(grid->GetSafeHwnd());
                                 perCellWidth = 0;
                                 for (int row = 0; row <= data.rows; ++row)
                                     perCellWidth = std::max<int>(perCellWidth,
                                                                  grid->GetCell(row, kSortCol)->MeasureCell(&dc).cx);
                             }));
    }
    const int autoSizeWidth = grid->GetColumnWidth(kSortCol);

    // The copy text once more with the rows back in the order they were filled in, where
    // they lie in memory one after the other: what the sort's scattering costs the copy.
    grid->SortRowsWith(ByFilledRow, 0, TRUE, reinterpret_cast<LPARAM>(&filledRow));
    grid->SelectAllCells();
    double copyFilledMs = 1e30;
    std::string filledText;
    for (int run = 0; run < kRuns; ++run)
        copyFilledMs = std::min(copyFilledMs, Ms([&] { filledText = grid->SelectionText(); }));

    const double destroyAfterMs = Ms([&] { grid.reset(); });

    // ---- figures ----
    Print("data_rows", data.rows, "rows");
    Print("cells", static_cast<double>(cells), "cells");
    std::printf("checksum %08x\n", static_cast<unsigned>(held.Value()));
    Print("checksum_same_as_generated", held.Value() == generated.Value() && headingsHeld ? 1 : 0, "bool");
    Print("fill_ms", fillMs, "ms");
    Print("fill_floor_ms", fillFloorMs, "ms");
    Print("fill_over_floor", fillMs / fillFloorMs, "x");
    Print("heap_inuse_fill_per_cell", static_cast<double>(heapAfter.bytes - heapBefore.bytes) / cells, "B");
    Print("heap_blocks_fill_per_cell", static_cast<double>(heapAfter.blocks - heapBefore.blocks) / cells, "blocks");
    Print("heap_inuse_floor_per_cell", static_cast<double>(floorHeapAfter.bytes - floorHeapBefore.bytes) / cells, "B");
    Print("mem_fill_private_per_cell", static_cast<double>(memoryAfter.privateBytes - memoryBefore.privateBytes) / cells,
          "B");
    Print("paint_rows_shown", rowsShown, "rows");
    Print("paint_first_ms", paintFirstMs, "ms");
    Print("paint_warm_ms", Median(warm), "ms (median)");
    Print("paint_gdi_floor_ms", Median(gdiFloor), "ms (median)");
    Print("paint_warm_over_floor", Median(warm) / Median(gdiFloor), "x");
    Print("scroll_last_ms", scrollLastMs, "ms");
    Print("scroll_reached_last_row", atLastRow ? 1 : 0, "bool");
    Print("paint_after_scroll_ms", Median(afterScroll), "ms (median)");
    Print("line_scroll_paint_ms", lineStepsMs / kLineSteps, "ms");
    Print("line_scroll_top_row_after", topAfterLines, "row");
    Print("sort_ms", sortMs, "ms");
    Print("sort_strcmp_floor_ms", sortFloorMs, "ms");
    Print("sort_over_floor", sortMs / sortFloorMs, "x");
    Print("sort_order_checked", sorted ? 1 : 0, "bool");
    Print("select_all_ms", selectMs, "ms");
    Print("select_paint_ms", selectPaintMs, "ms");
    Print("select_all_and_paint_ms", selectBothMs, "ms");
    Print("select_all_every_cell", allSelected ? 1 : 0, "bool");
    Print("clear_selection_ms", clearMs, "ms");
    Print("copy_text_ms", copyMs, "ms");
    Print("copy_text_floor_ms", copyFloorMs, "ms");
    Print("copy_text_over_floor", copyMs / copyFloorMs, "x");
    Print("copy_text_same_as_floor", gridText == floorText ? 1 : 0, "bool");
    Print("copy_text_bytes", static_cast<double>(gridText.size()), "B");
    Print("copy_text_filled_order_ms", copyFilledMs, "ms");
    Print("copy_text_filled_order_over_floor", copyFilledMs / copyFloorMs, "x");
    Print("clipboard_set_ms", clipboardMs, "ms");
    Print("clipboard_same_text", clipboardSame ? 1 : 0, "bool");
    Print("autosize_col3_ms", autoSizeMs, "ms");
    Print("autosize_per_cell_floor_ms", perCellMs, "ms");
    Print("autosize_over_per_cell", autoSizeMs / perCellMs, "x");
    Print("autosize_col3_width", autoSizeWidth, "px");
    Print("autosize_same_width_as_per_cell", autoSizeWidth == perCellWidth ? 1 : 0, "bool");
    Print("destroy_ms", destroyMs, "ms");
    Print("destroy_floor_ms", destroyFloorMs, "ms");
    Print("destroy_over_floor", destroyMs / destroyFloorMs, "x");
    Print("destroy_after_operations_ms", destroyAfterMs, "ms");
    return 0;
}
