// Edit: the grid's own clipboard commands (it handles them; the frame enables them by
// asking the grid), Delete, and their shortcuts.
#include "demo/DemoFeatures.h"
#include "demo/DemoFrame.h"

namespace {

// A command the grid handles itself, enabled as the grid says.
DemoCommand GridCommand(UINT id, const char* text, WORD key) {
    DemoCommand c;
    c.menu = "&Edit";
    c.text = text;
    c.id = id;
    c.key = key;
    c.keyFlags = FCONTROL;
    c.update = [id](CDemoFrame& frame, CFrameWnd::CommandState* state) {
        state->enabled = frame.Grid().IsEditCommandEnabled(id);
    };
    return c;
}

}  // namespace

void AddEditFeature(DemoFeatures& features) {
    features.commands.push_back(GridCommand(ID_EDIT_CUT, "Cu&t\tCtrl+X", 'X'));
    features.commands.push_back(GridCommand(ID_EDIT_COPY, "&Copy\tCtrl+C", 'C'));
    features.commands.push_back(GridCommand(ID_EDIT_PASTE, "&Paste\tCtrl+V", 'V'));

    DemoCommand clear;
    clear.menu = "&Edit";
    clear.text = "&Delete";
    clear.run = [](CDemoFrame& frame) { frame.Grid().ClearSelectedText(); };
    clear.update = [](CDemoFrame& frame, CFrameWnd::CommandState* state) {
        state->enabled = frame.Grid().Editable && !frame.Grid().Selection().Empty();
    };
    features.commands.push_back(clear);

    features.Separator("&Edit");
    features.commands.push_back(GridCommand(ID_EDIT_SELECT_ALL, "Select &All\tCtrl+A", 'A'));
}
