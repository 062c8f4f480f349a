// Cell types: a "Cell types" menu that turns the focus cell's column into each kind of cell,
// and the sample table (the cell-types fill) that shows every kind at once.
#include "demo/DemoFeatures.h"
#include "demo/DemoFrame.h"
#include "demo/DemoTexts.h"
#include "grid/cells/GridCellCheck.h"
#include "grid/cells/GridCellCombo.h"
#include "grid/cells/GridCellDateTime.h"
#include "grid/cells/GridCellNumeric.h"
#include "grid/cells/GridURLCell.h"

namespace {

const char kMenu[] = "&Cell types";

const struct {
    const char* text;
    CellKind kind;
} kKindItems[] = {
    {"&Text", CellKind::Text},           {"&Check box", CellKind::Check},   {"C&hoice list", CellKind::Choice},
    {"Choose-&only list", CellKind::ChooseOnly}, {"&Date", CellKind::Date}, {"&Number", CellKind::Number},
    {"&Link", CellKind::Link},
};

// The sample table's shape: a header row and a row-number column around 15 rows of one
// column of each kind.
const TableShape kSampleShape{16, 8, 1, 1};

const CRuntimeClass* ClassOf(CellKind kind) {
    switch (kind) {
        case CellKind::Check: return RUNTIME_CLASS(CGridCellCheck);
        case CellKind::Choice:
        case CellKind::ChooseOnly: return RUNTIME_CLASS(CGridCellCombo);
        case CellKind::Date: return RUNTIME_CLASS(CGridCellDateTime);
        case CellKind::Number: return RUNTIME_CLASS(CGridCellNumeric);
        case CellKind::Link: return RUNTIME_CLASS(CGridURLCell);
        default: return RUNTIME_CLASS(CGridCell);
    }
}

// A column width that shows a cell of the kind whole.
int WidthFor(CellKind kind) {
    switch (kind) {
        case CellKind::Check: return 70;
        case CellKind::Date: return 110;
        case CellKind::Link: return 230;
        default: return 100;
    }
}

bool IsKind(const CGridCellBase* cell, CellKind kind) {
    if (!cell || cell->GetRuntimeClass() != ClassOf(kind)) return false;
    const auto* combo = dynamic_cast<const CGridCellCombo*>(cell);
    return !combo || (combo->GetComboStyle() == CBS_DROPDOWNLIST) == (kind == CellKind::ChooseOnly);
}

// The kind's set-up of a cell that has just become one (the choices of a choice cell).
void SetUpCell(CGridCellBase* cell, CellKind kind) {
    if (auto* combo = dynamic_cast<CGridCellCombo*>(cell)) {
        combo->SetOptions(SampleOptions(kind));
        combo->SetComboStyle(kind == CellKind::ChooseOnly ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    }
}

// The sample's values beside the texts: every third box ticked, dates from 2036 on (past
// 2038 further down), amounts right-aligned, and no pictures over the boxes.
void SetSampleValue(CGridCellBase* cell, CellKind kind, int row) {
    cell->SetImage(-1);
    if (auto* check = dynamic_cast<CGridCellCheck*>(cell)) check->SetCheck(row % 3 == 1);
    if (auto* date = dynamic_cast<CGridCellDateTime*>(cell)) {
        SYSTEMTIME first{};
        first.wYear = 2036;
        first.wMonth = 1;
        first.wDay = 15;
        int64_t moment = 0;
        if (GridTimeFromLocal(first, &moment)) date->SetTime(moment + static_cast<int64_t>(row) * 97 * 86400);
        date->SetText(CGridCellDateTime::DateText(date->GetTime()));
    }
    if (kind == CellKind::Number) cell->SetFormat(DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

DemoCommand KindItem(const char* text, CellKind kind) {
    DemoCommand c;
    c.menu = kMenu;
    c.text = text;
    c.radio = true;
    c.run = [kind](CDemoFrame& frame) {
        CGridCtrl& grid = frame.Grid();
        TurnColumnInto(grid, grid.GetFocusCell().col, kind);
        grid.RefreshAll();
    };
    c.update = [kind](CDemoFrame& frame, CFrameWnd::CommandState* state) {
        const CGridCellId focus = frame.Grid().GetFocusCell();
        state->enabled = frame.Grid().IsValidCell(focus);
        state->checked = state->enabled && IsKind(frame.Grid().GetCell(focus.row, focus.col), kind);
    };
    return c;
}

}  // namespace

void TurnColumnInto(CGridCtrl& grid, int col, CellKind kind) {
    if (col < 0 || col >= grid.GetColumnCount()) return;
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row)
        if (grid.SetCellType(row, col, ClassOf(kind))) SetUpCell(grid.GetCell(row, col), kind);
}

void FillWithCellTypes(CGridCtrl& grid) {
    const int fixedCols = grid.GetFixedColumnCount();
    for (int col = fixedCols; col < grid.GetColumnCount(); ++col) {
        const CellKind kind = SampleKindOf(col, fixedCols);
        TurnColumnInto(grid, col, kind);
        grid.SetColumnWidth(col, WidthFor(kind));
        for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row)
            if (CGridCellBase* cell = grid.GetCell(row, col)) SetSampleValue(cell, kind, row);
    }
}

void AddCellTypesFeature(DemoFeatures& features) {
    for (const auto& item : kKindItems) features.commands.push_back(KindItem(item.text, item.kind));
    features.Separator(kMenu);
    DemoCommand sample;
    sample.menu = kMenu;
    sample.text = "&Sample table";
    sample.run = [](CDemoFrame& frame) {
        frame.Reshape(kSampleShape);
        frame.FillTable(FillMode::CellTypes);
    };
    features.commands.push_back(sample);
}
