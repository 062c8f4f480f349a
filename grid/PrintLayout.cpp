#include "grid/PrintLayout.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {
long long Sum(const std::vector<unsigned>& sizes, int from, int to) {  // [from, to)
    long long sum = 0;
    for (int i = std::max(from, 0); i < to && i < static_cast<int>(sizes.size()); ++i) sum += sizes[static_cast<size_t>(i)];
    return sum;
}

int Clamp(long long v) { return static_cast<int>(std::min<long long>(std::max<long long>(v, INT_MIN), INT_MAX)); }

// Screen pixels enlarged by 4/3 across a printer page: left to right, each division
// truncating, as the page scale has always been worked out.
int ScreenScaled(int devicePixels, int screenDpi, int printerDpi) {
    if (printerDpi <= 0) return 0;
    return Clamp(static_cast<long long>(devicePixels) * screenDpi / printerDpi * 3 / 4);
}
}  // namespace

int MulDivRounded(int a, int b, int c) {
    if (c == 0) return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    // Round half away from zero: move the product away from zero by half the divisor.
    const long long rounded = ((product < 0) != (c < 0)) ? (product - half) / c : (product + half) / c;
    if (rounded > INT_MAX || rounded < INT_MIN) return -1;
    return static_cast<int>(rounded);
}

std::vector<int> PageStarts(const std::vector<unsigned>& sizes, int first, int space) {
    std::vector<int> starts{first};
    long long sum = 0;
    for (int i = first; i < static_cast<int>(sizes.size()); ++i) {
        const long long size = sizes[static_cast<size_t>(i)];
        sum += size;
        if (sum > space) {
            starts.push_back(i);
            sum = size;
        }
    }
    return starts;
}

GridPrintLayout GridPrintLayout::Compute(const PrintMeasures& m, const PrintMargins& margins, bool screenScale,
                                         const std::vector<unsigned>& rowHeights, int fixedRows,
                                         const std::vector<unsigned>& colWidths, int fixedCols) {
    GridPrintLayout layout;
    layout.rowCount = static_cast<int>(rowHeights.size());
    layout.columnCount = static_cast<int>(colWidths.size());
    const int sideMargins = (margins.leftChars + margins.rightChars) * m.charWidth;
    const int fixedWidth = Clamp(Sum(colWidths, 0, fixedCols));
    const int fixedHeight = Clamp(Sum(rowHeights, 0, fixedRows));
    if (screenScale) {
        layout.paperWidth = ScreenScaled(m.deviceWidth, m.screenDpiX, m.printerDpiX);
        layout.paperHeight = ScreenScaled(m.deviceHeight, m.screenDpiY, m.printerDpiY);
    } else {
        // The whole width and the margins across the page; the height in the paper's proportion.
        layout.paperWidth = Clamp(sideMargins + Sum(colWidths, 0, layout.columnCount));
        layout.paperHeight = MulDivRounded(layout.paperWidth, m.deviceHeight, m.deviceWidth);
    }
    const int bandLines = margins.headerLines + margins.footerLines + 2 * margins.gapLines;
    layout.rowSpace = layout.paperHeight - bandLines * m.charHeight - fixedHeight;
    layout.columnSpace = layout.paperWidth - fixedWidth - sideMargins;
    layout.rowStarts = PageStarts(rowHeights, fixedRows, layout.rowSpace);
    if (screenScale)
        layout.columnStarts = PageStarts(colWidths, fixedCols, layout.columnSpace);
    else
        layout.columnStarts = {fixedCols};  // every column fits the page's width
    return layout;
}

PrintLineRange GridPrintLayout::RowsOfPage(int page) const {
    if (rowStarts.empty() || columnStarts.empty()) return {rowCount, rowCount};
    const size_t block = static_cast<size_t>(std::clamp(page, 1, PageCount()) - 1) / columnStarts.size();
    return {rowStarts[block], block + 1 < rowStarts.size() ? rowStarts[block + 1] : rowCount};
}

PrintLineRange GridPrintLayout::ColumnsOfPage(int page) const {
    if (rowStarts.empty() || columnStarts.empty()) return {columnCount, columnCount};
    const size_t k = static_cast<size_t>(std::clamp(page, 1, PageCount()) - 1) % columnStarts.size();
    return {columnStarts[k], k + 1 < columnStarts.size() ? columnStarts[k + 1] : columnCount};
}
