// CGridCellNumeric: a cell edited with the text editor in its digits-only style
// (ES_NUMBER): the edit control itself refuses anything but digits while it is typed.
#pragma once

#include "grid/cells/GridCell.h"

class CGridCellNumeric : public CGridCell {
    DECLARE_DYNCREATE(CGridCellNumeric)

public:
    CGridCellNumeric();

protected:
    // ES_NUMBER, and no alignment style.
    DWORD EditStyle() const override { return ES_NUMBER; }
};
