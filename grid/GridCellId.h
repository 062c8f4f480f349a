// A cell's coordinates and an inclusive block of cells. Plain values with no window, used
// by every part of the grid; -1 means "none".
#pragma once

#include <cstdint>

struct CGridCellId {
    int32_t row = -1;
    int32_t col = -1;

    CGridCellId() = default;
    CGridCellId(int32_t r, int32_t c) : row(r), col(c) {}
    // Both coordinates set; whether the cell exists is the grid's question (IsValidCell).
    bool IsSet() const { return row >= 0 && col >= 0; }
    bool operator==(const CGridCellId& o) const { return row == o.row && col == o.col; }
    bool operator!=(const CGridCellId& o) const { return !(*this == o); }
};

struct CGridCellRange {
    int32_t minRow = -1;
    int32_t minCol = -1;
    int32_t maxRow = -1;
    int32_t maxCol = -1;

    CGridCellRange() = default;
    CGridCellRange(int32_t r1, int32_t c1, int32_t r2, int32_t c2) : minRow(r1), minCol(c1), maxRow(r2), maxCol(c2) {}

    // All four set and each maximum at least its minimum (the grid adds the bounds check).
    bool IsSet() const { return minRow >= 0 && minCol >= 0 && maxRow >= minRow && maxCol >= minCol; }
    bool Contains(int32_t r, int32_t c) const { return r >= minRow && r <= maxRow && c >= minCol && c <= maxCol; }
    CGridCellId TopLeft() const { return CGridCellId(minRow, minCol); }
    // Cells covered; the unset range (-1, -1, -1, -1) counts as one.
    int64_t CellCount() const {
        return static_cast<int64_t>(maxRow - minRow + 1) * static_cast<int64_t>(maxCol - minCol + 1);
    }
    bool operator==(const CGridCellRange& o) const {
        return minRow == o.minRow && minCol == o.minCol && maxRow == o.maxRow && maxCol == o.maxCol;
    }
    bool operator!=(const CGridCellRange& o) const { return !(*this == o); }
};
