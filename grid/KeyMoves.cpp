#include "grid/KeyMoves.h"

#include <algorithm>

namespace keymoves {

int NextShown(const CGridLineSizes& sizes, int from) {
    if (from + 1 >= sizes.Count()) return -1;
    // Lines of size 0 cover no offset: the line at the next line's start is the next shown.
    return sizes.LineAt(sizes.Prefix(std::max(0, from + 1)));
}

int PreviousShown(const CGridLineSizes& sizes, int from, int first) {
    const int64_t start = sizes.Prefix(from);
    if (start <= 0) return -1;
    const int line = sizes.LineAt(start - 1);
    return line >= first ? line : -1;
}

int FirstShownFrom(const CGridLineSizes& sizes, int first) {
    const int count = sizes.Count();
    if (count == 0) return -1;
    if (first >= count) return count - 1;
    const int line = sizes.LineAt(sizes.Prefix(std::max(0, first)));
    return line >= 0 ? line : count - 1;
}

int LastShownFrom(const CGridLineSizes& sizes, int first) {
    const int count = sizes.Count();
    if (count == 0) return -1;
    first = std::max(0, std::min(first, count - 1));
    if (sizes.Size(count - 1) > 0) return count - 1;
    const int line = PreviousShown(sizes, count - 1, first);
    return line >= 0 ? line : first;
}

Target TabForward(const CGridLineSizes& rows, const CGridLineSizes& cols, int fixedRows, int fixedCols, int row,
                  int col) {
    const int next = NextShown(cols, col);
    if (next >= 0) return {row, next, false};
    const int nextRow = NextShown(rows, std::max(row, fixedRows - 1));
    if (nextRow < 0 || fixedCols >= cols.Count()) return {row, col, false};
    return {nextRow, FirstShownFrom(cols, fixedCols), true};
}

Target TabBackward(const CGridLineSizes& rows, const CGridLineSizes& cols, int fixedRows, int fixedCols, int row,
                   int col) {
    const int previous = PreviousShown(cols, col, fixedCols);
    if (previous >= 0) return {row, previous, false};
    const int previousRow = PreviousShown(rows, row, fixedRows);
    if (previousRow < 0 || fixedCols >= cols.Count()) return {row, col, false};
    return {previousRow, LastShownFrom(cols, fixedCols), true};
}

}  // namespace keymoves
