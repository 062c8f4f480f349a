// Where the keyboard moves the focus cell: the next or previous row or column that is shown
// (a line of size 0 is skipped), and Tab's walk through the table. No window; the grid's
// keyboard handling (GridKeyboard.cpp) asks these and does the scrolling and selecting.
#pragma once

#include "grid/LineSizes.h"

namespace keymoves {

// The first line after `from` with a size; -1 when there is none.
int NextShown(const CGridLineSizes& sizes, int from);
// The last line before `from`, not before `first`, with a size; -1 when there is none.
int PreviousShown(const CGridLineSizes& sizes, int from, int first);
// The first line from `first` on with a size; the last line when none has one (-1 for no
// lines at all).
int FirstShownFrom(const CGridLineSizes& sizes, int first);
// The last line with a size, not before `first`; `first` when none after it has one (-1 for
// no lines at all).
int LastShownFrom(const CGridLineSizes& sizes, int first);

struct Target {
    int row;
    int col;
    bool wrapped;  // Tab went on to another row
};

// Tab: the next shown column; past the last one, the first shown scrolling column of the
// next shown row (wrapped). No move at the end of the table.
Target TabForward(const CGridLineSizes& rows, const CGridLineSizes& cols, int fixedRows, int fixedCols, int row,
                  int col);
// Shift+Tab: the same backwards, never into the fixed rows or columns.
Target TabBackward(const CGridLineSizes& rows, const CGridLineSizes& cols, int fixedRows, int fixedCols, int row,
                   int col);

}  // namespace keymoves
