// The texts GridDemo shows and fills in, without a window: the status bar's parts and the
// cell texts of each fill mode.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "demo/DemoOptions.h"
#include "grid/GridCellId.h"

// "Focus: R<row>C<col>  Selection: R<r1>C<c1>:R<r2>C<c2> (<n> cells)", with "none" for an
// unset focus and for an empty selection (selected == 0; `bounds` is then not read).
std::string SelectionStatusText(const CGridCellId& focus, const CGridCellRange& bounds, int64_t selected);

// "Rows: <n> (<f> fixed)  Columns: <n> (<f> fixed)".
std::string ShapeStatusText(const TableShape& shape);

// Calls put(row, col, text) for every cell of `shape` that `mode` gives a text, row by row
// and column by column. Seeded: fixed rows hold "Col<c>", the other fixed cells their row
// number, and the scrolling cells the benchmark words in that order.
void ForEachFillText(const TableShape& shape, FillMode mode,
                     const std::function<void(int row, int col, const std::string& text)>& put);
