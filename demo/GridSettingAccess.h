// The grid's settings read and written by their index in GridSettings() (GridSettings.h).
#pragma once

#include <cstdint>

class CGridCtrl;

int64_t ReadGridSetting(const CGridCtrl& grid, int setting);
// Stores the value in the member; the caller repaints. An index outside the table does
// nothing.
void WriteGridSetting(CGridCtrl& grid, int setting, int64_t value);
