#include "demo/DemoTexts.h"

#include "bench/SeededText.h"

namespace {
std::string CellName(int row, int col) { return "R" + std::to_string(row) + "C" + std::to_string(col); }
}  // namespace

std::string SelectionStatusText(const CGridCellId& focus, const CGridCellRange& bounds, int64_t selected) {
    std::string text = "Focus: " + (focus.IsSet() ? CellName(focus.row, focus.col) : std::string("none"));
    text += "  Selection: ";
    if (selected <= 0) return text + "none";
    return text + CellName(bounds.minRow, bounds.minCol) + ":" + CellName(bounds.maxRow, bounds.maxCol) + " (" +
           std::to_string(selected) + " cells)";
}

std::string ShapeStatusText(const TableShape& s) {
    return "Rows: " + std::to_string(s.rows) + " (" + std::to_string(s.fixedRows) + " fixed)  Columns: " +
           std::to_string(s.cols) + " (" + std::to_string(s.fixedCols) + " fixed)";
}

void ForEachFillText(const TableShape& shape, FillMode mode,
                     const std::function<void(int row, int col, const std::string& text)>& put) {
    if (mode == FillMode::None) return;
    CSeededText seeded;
    for (int row = 0; row < shape.rows; ++row)
        for (int col = 0; col < shape.cols; ++col) {
            if (mode == FillMode::Numbered)
                put(row, col, CellName(row, col));
            else if (row < shape.fixedRows)
                put(row, col, "Col" + std::to_string(col));
            else if (col < shape.fixedCols)
                put(row, col, std::to_string(row));
            else
                put(row, col, seeded.Word());
        }
}
