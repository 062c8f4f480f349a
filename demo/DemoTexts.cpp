#include "demo/DemoTexts.h"

#include "bench/SeededText.h"

namespace {
std::string CellName(int row, int col) { return "R" + std::to_string(row) + "C" + std::to_string(col); }

const CellKind kSampleKinds[] = {CellKind::Check, CellKind::Choice, CellKind::ChooseOnly, CellKind::Date,
                                 CellKind::Number, CellKind::Link, CellKind::Text};

const char* HeaderOf(CellKind kind) {
    switch (kind) {
        case CellKind::Check: return "已缴费";
        case CellKind::Choice: return "审核状态";
        case CellKind::ChooseOnly: return "险种";
        case CellKind::Date: return "有效期至";
        case CellKind::Number: return "金额 (分)";
        case CellKind::Link: return "链接";
        default: return "备注";
    }
}

// A sample of link texts: links alone, one word among others, and text with none.
std::string LinkText(int row) {
    switch (row % 4) {
        case 0: return "http://www.example.com/card/" + std::to_string(row);
        case 1: return "见 www.example.com 说明";
        case 2: return "mailto:office@example.com";
        default: return "no link here";
    }
}

// The text of a scrolling cell of kind `kind` in data row `row`; `seeded` gives plain words.
std::string SampleText(CellKind kind, int row, CSeededText& seeded) {
    switch (kind) {
        case CellKind::Choice:
        case CellKind::ChooseOnly: {
            const std::vector<std::string> options = SampleOptions(kind);
            return options[static_cast<size_t>(row) % options.size()];
        }
        case CellKind::Number: return std::to_string((row * 7919 % 900 + 100) * 10);
        case CellKind::Link: return LinkText(row);
        case CellKind::Text: return seeded.Word();
        default: return std::string();
    }
}
}  // namespace

CellKind SampleKindOf(int col, int fixedCols) {
    if (col < fixedCols) return CellKind::Text;
    return kSampleKinds[static_cast<size_t>(col - fixedCols) % (sizeof(kSampleKinds) / sizeof(kSampleKinds[0]))];
}

std::vector<std::string> SampleOptions(CellKind kind) {
    if (kind == CellKind::Choice) return {"待审核", "已通过", "已退回"};
    if (kind == CellKind::ChooseOnly) return {"养老", "医疗", "失业", "工伤", "生育"};
    return {};
}

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
            else if (mode == FillMode::CellTypes && col >= shape.fixedCols)
                put(row, col, row < shape.fixedRows ? HeaderOf(SampleKindOf(col, shape.fixedCols))
                                                    : SampleText(SampleKindOf(col, shape.fixedCols), row, seeded));
            else if (row < shape.fixedRows)
                put(row, col, CSeededText::Heading(col));
            else if (col < shape.fixedCols)
                put(row, col, std::to_string(row));
            else
                put(row, col, seeded.Word());
        }
}
