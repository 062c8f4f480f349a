// GridDemo's features: each adds its menu items, shortcuts and grid notification handlers in
// a file of its own.
//
// A feature's Add...Feature function appends to DemoFeatures; AllDemoFeatures lists the
// features in menu order and numbers the items. The frame builds the menu bar from the menu
// paths in order of first appearance, makes the shortcuts, runs an item's `run` when it is
// chosen, asks its `update` before its menu opens, and passes every notification of the grid
// to the handlers in turn. A later feature (sorting, editing, cell types) is one more
// function here and one more line in AllDemoFeatures.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/FrameWnd.h"

class CDemoFrame;
class CGridCtrl;
struct GridNotification;
enum class CellKind;

struct DemoCommand {
    // The menu the item is in: "&File", or "&Options/Grid &lines" for a submenu.
    std::string menu;
    // The item's text ("&Copy\tCtrl+C"); empty for a separator.
    std::string text;
    // What choosing it does; none: the command goes to the grid, which handles it itself.
    std::function<void(CDemoFrame& frame)> run;
    // Whether it is enabled and checked now; none: enabled and unchecked.
    std::function<void(CDemoFrame& frame, CFrameWnd::CommandState* state)> update;
    // The command id; 0: AllDemoFeatures gives it one. The grid's own commands keep theirs.
    UINT id = 0;
    // A shortcut: the virtual key and FCONTROL / FSHIFT / FALT; no key: none.
    WORD key = 0;
    BYTE keyFlags = 0;
    // Shown with a bullet rather than a check mark (one of a group of choices).
    bool radio = false;
};

// A handler of the grid's notifications: true when it answered (with `reply`), which ends
// the round; false passes the notification on. The grid may be gone after a handler that
// destroys it; handlers after it are not called then.
using DemoNotifyHandler = std::function<bool(CDemoFrame& frame, const GridNotification& note, LRESULT* reply)>;

struct DemoFeatures {
    std::vector<DemoCommand> commands;
    std::vector<DemoNotifyHandler> notifyHandlers;

    // Adds a separator to `menu`.
    void Separator(const std::string& menu) {
        DemoCommand c;
        c.menu = menu;
        commands.push_back(c);
    }
};

// The features, each in its own file.
void AddFileFeature(DemoFeatures& features);     // print, print preview, exit
void AddEditFeature(DemoFeatures& features);     // cut, copy, paste, delete, select all
void AddTableFeature(DemoFeatures& features);    // the counts, the fills, autosize, sort, images
void AddOptionsFeature(DemoFeatures& features);  // every boolean setting, grid lines, autosizing
void AddEditingFeature(DemoFeatures& features);  // an Options item vetoing edits of one column
void AddCellTypesFeature(DemoFeatures& features);  // a column of each cell type, the sample table

// The cell types (CellTypesFeature.cpp): turns the scrolling cells of column `col` into
// cells of `kind`, keeping their texts; gives each scrolling column of the table the kind
// the cell-types fill gives it (DemoTexts.h), with its width and the sample's values
// (ticks, dates, right-aligned amounts) beside the texts.
void TurnColumnInto(CGridCtrl& grid, int col, CellKind kind);
void FillWithCellTypes(CGridCtrl& grid);

// The Options item that vetoes every edit of the first scrolling column.
constexpr const char* kVetoFirstColumnItem = "&Veto edits of the first column";

// Every feature, in menu order, its items numbered from `firstId` by their place in the
// list (items with an id of their own keep it), so that a program driving the demo from
// outside can work out the same ids.
DemoFeatures AllDemoFeatures(UINT firstId);
// The id of item `text` of menu `menu`, as the features name them; 0 when there is none.
UINT FindCommandId(const DemoFeatures& features, const std::string& menu, const std::string& text);
