// Editing: an Options item that makes the demo veto every edit of the first scrolling
// column, so a person sees the old text come back when the editor closes. Typing, F2, a
// double click and Tab from cell to cell are the grid's own.
#include <memory>

#include "demo/DemoFeatures.h"
#include "demo/DemoFrame.h"

void AddEditingFeature(DemoFeatures& features) {
    auto veto = std::make_shared<bool>(false);

    DemoCommand c;
    c.menu = "&Options";
    c.text = kVetoFirstColumnItem;
    c.run = [veto](CDemoFrame&) { *veto = !*veto; };
    c.update = [veto](CDemoFrame&, CFrameWnd::CommandState* state) { state->checked = *veto; };
    features.Separator(c.menu);
    features.commands.push_back(c);

    features.notifyHandlers.push_back([veto](CDemoFrame& frame, const GridNotification& note, LRESULT* reply) {
        if (!*veto || static_cast<int>(note.hdr.code) != GRID_NOTIFY_ENDEDIT ||
            note.col != frame.Grid().GetFixedColumnCount())
            return false;
        *reply = -1;
        return true;
    });
}
