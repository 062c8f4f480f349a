// What the tests of the in-place editors share: a window standing in for the grid that
// records each end-of-edit report, and keys pressed as the user's would arrive.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "grid/cells/CellEditorBase.h"
#include "tests/grid/GridTestSupport.h"

struct EditorReport {
    int code;
    int row;
    int col;
    UINT key;
    std::string text;
};

// A top-level window with a child standing in for the grid: editors are made as the child's
// children and report to it. `onReport` runs inside each report (after it is recorded).
class ReportingHost {
public:
    ReportingHost();
    CWnd& Grid() { return m_grid; }
    std::vector<EditorReport> reports;
    std::function<void()> onReport;

private:
    class GridStandIn : public CWnd {
    public:
        ReportingHost* host = nullptr;

    protected:
        LRESULT OnNotify(WPARAM, LPARAM lParam);
        DECLARE_MESSAGE_MAP()
    };
    RecordingParent m_top;
    GridStandIn m_grid;
};

// Posts the key's press and release to the window with the focus and runs them through the
// pre-translate step and dispatch, as the message loop does.
void PressKey(UINT key);
// Posts `ch` to the window with the focus and dispatches it (and anything else queued).
void TypeChar(UINT ch);
