#include "demo/DemoFeatures.h"

DemoFeatures AllDemoFeatures(UINT firstId) {
    DemoFeatures features;
    AddFileFeature(features);
    AddEditFeature(features);
    AddTableFeature(features);
    AddCellTypesFeature(features);
    AddOptionsFeature(features);
    AddEditingFeature(features);
    for (size_t i = 0; i < features.commands.size(); ++i) {
        DemoCommand& c = features.commands[i];
        if (c.id == 0 && !c.text.empty()) c.id = firstId + static_cast<UINT>(i);
    }
    return features;
}

UINT FindCommandId(const DemoFeatures& features, const std::string& menu, const std::string& text) {
    for (const DemoCommand& c : features.commands)
        if (c.menu == menu && c.text == text) return c.id;
    return 0;
}
