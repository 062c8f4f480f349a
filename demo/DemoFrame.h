// CDemoFrame: GridDemo's main window. One grid fills it above a status bar; the menus and
// shortcuts come from the features (DemoFeatures.h). The status bar's first part shows the
// focus cell and the selection, its second the table's counts; both are brought up to date
// whenever the message loop goes idle (a paste or a sort changes the selection without a
// notification) and on every selection notification.
//
// The selection's bounds take a walk over the whole selection (about 30 ms for a million
// cells). So when idle with a selection larger than kExactStatusCells, the status is worked
// out at most once per kStatusDelayMs: an idle pass sooner than that after the last one
// leaves it to a one-shot timer, whose own idle pass brings it up to date.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "demo/DemoFeatures.h"
#include "demo/DemoOptions.h"
#include "framework/FrameWnd.h"
#include "grid/GridCtrl.h"

class CDemoFrame : public CFrameWnd {
public:
    static constexpr UINT kGridId = 1001;             // the grid's control id
    static constexpr UINT kFirstCommandId = 40000;    // the ids the frame gives to menu items
    static constexpr size_t kExactStatusCells = 100000;  // selections up to this: every idle pass
    static constexpr UINT kStatusDelayMs = 250;          // else at most this often
    static constexpr UINT_PTR kStatusTimerId = 1;

    explicit CDemoFrame(const DemoOptions& options);
    ~CDemoFrame() override;

    // Creates the window (visible, at least 800 x 600) with its grid, menus and shortcuts,
    // and builds the table the options describe, with their settings applied.
    BOOL Create();

    CGridCtrl& Grid() { return m_grid; }
    // The grid's four counts.
    TableShape Shape() const;

    // Changes the counts, keeping the texts of the cells that stay; new cells are empty.
    void Reshape(const TableShape& shape);
    // Gives every cell its text under `mode` (none: empty) and clears the modified flags.
    void FillTable(FillMode mode);
    // Sets setting `setting` (an index of GridSettings()) and repaints.
    void ApplySetting(int setting, int64_t value);
    bool ImagesShown() const { return m_imagesShown; }
    void ShowImages(bool shown);
    // The column that shows the pictures: the first scrolling one; -1 when there is none.
    int ImageColumn() const;

    // Brings the status bar up to date.
    void RefreshStatus();
    // The message loop went idle: brings the status bar up to date, at once or (for a large
    // selection) when the status timer has run.
    void RefreshStatusWhenIdle();
    // A message box owned by the frame (GBK text).
    int ShowMessage(const std::string& gbkText, UINT type = MB_OK | MB_ICONINFORMATION);
    // The id the frame gave to the item `text` of menu `menu` (as the features name them);
    // 0 when there is none.
    UINT CommandId(const std::string& menu, const std::string& text) const;

protected:
    BOOL OnFrameCommand(UINT id) override;
    void UpdateCommand(UINT id, CommandState* state) override;
    void RecalcLayout() override;
    LRESULT OnNotifyMessage(WPARAM, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    HMENU BuildMenuBar() const;
    std::vector<ACCEL> Shortcuts() const;
    // The pictures' indices in the image column (and none in the column that had them).
    void PlaceImages();
    const DemoCommand* CommandOf(UINT id) const;

    DemoOptions m_options;                 // as the program was started
    DemoFeatures m_features;               // every menu item and notification handler
    std::map<UINT, size_t> m_commandIndex; // command id -> its item in m_features.commands
    CGridCtrl m_grid;                      // the view
    HIMAGELIST m_images = nullptr;         // the pictures; owned
    bool m_imagesShown = true;             // the grid draws them
    int m_imageColumn = -1;                // the column whose cells carry picture indices
    DWORD m_statusTick = 0;                // GetTickCount of the last RefreshStatus
    bool m_statusTimer = false;            // the status timer runs
    bool m_statusDue = false;              // it has run: the next idle pass refreshes
};
