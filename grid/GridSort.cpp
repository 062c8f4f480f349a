// The sort column: its header cell (row 0) carries the sort mark.
#include "grid/GridCtrl.h"

void CGridCtrl::SetSortColumn(int col) {
    if (SortColumn >= 0) InvalidateCell(0, SortColumn);
    SortColumn = col;
    if (col >= 0) InvalidateCell(0, col);
}
