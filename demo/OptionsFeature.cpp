// Options: the grid's settings from the settings table: a submenu of choices for each
// Choice (grid lines, what autosizing measures), then every boolean setting as a checked
// item named as the setting is.
#include "demo/DemoFeatures.h"
#include "demo/DemoFrame.h"
#include "demo/GridSettingAccess.h"
#include "demo/GridSettings.h"

namespace {

const char kMenu[] = "&Options";

void AddChoices(DemoFeatures& features, int setting) {
    const GridSettingInfo& info = GridSettings()[static_cast<size_t>(setting)];
    const std::vector<std::string> labels = ChoiceLabels(info);
    for (size_t i = 0; i < labels.size(); ++i) {
        const int64_t value = info.lowest + static_cast<int64_t>(i);
        DemoCommand c;
        c.menu = std::string(kMenu) + "/" + ChoiceTitle(info);
        c.text = labels[i];
        c.radio = true;
        c.run = [setting, value](CDemoFrame& frame) { frame.ApplySetting(setting, value); };
        c.update = [setting, value](CDemoFrame& frame, CFrameWnd::CommandState* state) {
            state->checked = ReadGridSetting(frame.Grid(), setting) == value;
        };
        features.commands.push_back(c);
    }
}

void AddSwitch(DemoFeatures& features, int setting) {
    DemoCommand c;
    c.menu = kMenu;
    c.text = GridSettings()[static_cast<size_t>(setting)].name;
    c.run = [setting](CDemoFrame& frame) {
        frame.ApplySetting(setting, ReadGridSetting(frame.Grid(), setting) ? 0 : 1);
    };
    c.update = [setting](CDemoFrame& frame, CFrameWnd::CommandState* state) {
        state->checked = ReadGridSetting(frame.Grid(), setting) != 0;
    };
    features.commands.push_back(c);
}

}  // namespace

void AddOptionsFeature(DemoFeatures& features) {
    const auto& settings = GridSettings();
    const int count = static_cast<int>(settings.size());
    for (int i = 0; i < count; ++i)
        if (settings[static_cast<size_t>(i)].kind == SettingKind::Choice) AddChoices(features, i);
    features.Separator(kMenu);
    for (int i = 0; i < count; ++i)
        if (settings[static_cast<size_t>(i)].kind == SettingKind::Bool) AddSwitch(features, i);
}
