#include "grid/cells/GridCellNumeric.h"

IMPLEMENT_DYNCREATE(CGridCellNumeric, CGridCell)

CGridCellNumeric::CGridCellNumeric() = default;
