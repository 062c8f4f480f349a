// Drawing, measuring and printing of the plain cell. This build's cells cannot draw yet:
// Draw and Print report failure (the grid ignores the result), the text rectangle is the
// whole cell, and measuring gives the default cell's size.
#include "grid/cells/GridCellBase.h"
#include "grid/cells/GridDefaultCell.h"

BOOL CGridCellBase::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) { return FALSE; }

BOOL CGridCellBase::GetTextRect(RECT* rect) { return TRUE; }

CSize CGridCellBase::MeasureText(const std::string* text, CDC* dc) {
    const CGridDefaultCell* def = GetDefaultCell();
    return def ? CSize(def->GetWidth(), def->GetHeight()) : CSize(0, 0);
}

CSize CGridCellBase::MeasureCell(CDC* dc) {
    std::string text = GetText();
    return MeasureText(&text, dc);
}

BOOL CGridCellBase::Print(CDC* dc, int row, int col, CRect rect) { return FALSE; }
