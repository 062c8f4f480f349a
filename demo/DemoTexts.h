// The texts GridDemo shows and fills in, without a window: the status bar's parts and the
// cell texts of each fill mode.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "demo/DemoOptions.h"
#include "grid/GridCellId.h"

// "Focus: R<row>C<col>  Selection: R<r1>C<c1>:R<r2>C<c2> (<n> cells)", with "none" for an
// unset focus and for an empty selection (selected == 0; `bounds` is then not read).
std::string SelectionStatusText(const CGridCellId& focus, const CGridCellRange& bounds, int64_t selected);

// "Rows: <n> (<f> fixed)  Columns: <n> (<f> fixed)".
std::string ShapeStatusText(const TableShape& shape);

// The kinds of cell the "Cell types" menu turns a column into.
enum class CellKind { Text, Check, Choice, ChooseOnly, Date, Number, Link };

// The kind the cell-types fill gives column `col` of a table with `fixedCols` fixed columns:
// the scrolling columns take check boxes, choices, a choose-only list, dates, amounts, links
// and plain text in turn, over again; fixed columns stay text.
CellKind SampleKindOf(int col, int fixedCols);
// The option texts of a choice column (Choice, ChooseOnly); none for the other kinds.
std::vector<std::string> SampleOptions(CellKind kind);

// Calls put(row, col, text) for every cell of `shape` that `mode` gives a text, row by row
// and column by column. Seeded: fixed rows hold "Col<c>", the other fixed cells their row
// number, and the scrolling cells the benchmark words in that order. CellTypes: fixed rows
// name each column's kind, fixed columns hold row numbers, and each scrolling cell a text of
// its column's kind (none for check boxes and dates, whose text the frame makes).
void ForEachFillText(const TableShape& shape, FillMode mode,
                     const std::function<void(int row, int col, const std::string& text)>& put);
