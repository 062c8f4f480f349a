#include "demo/GridSettingAccess.h"

#include <iterator>

#include "grid/GridCtrl.h"

namespace {

struct SettingAccess {
    int64_t (*read)(const CGridCtrl& grid);
    void (*write)(CGridCtrl& grid, int64_t value);
};

// One row per line of GridSettingList.h, in the same order as GridSettings().
const SettingAccess kAccess[] = {
#define GRID_SETTING(name, kind, lowest, highest, text)                                  \
    {[](const CGridCtrl& grid) { return static_cast<int64_t>(grid.name); },               \
     [](CGridCtrl& grid, int64_t value) { grid.name = static_cast<decltype(grid.name)>(value); }},
#include "demo/GridSettingList.h"
#undef GRID_SETTING
};

bool Known(int setting) { return setting >= 0 && setting < static_cast<int>(std::size(kAccess)); }

}  // namespace

int64_t ReadGridSetting(const CGridCtrl& grid, int setting) {
    return Known(setting) ? kAccess[setting].read(grid) : 0;
}

void WriteGridSetting(CGridCtrl& grid, int setting, int64_t value) {
    if (Known(setting)) kAccess[setting].write(grid, value);
}
