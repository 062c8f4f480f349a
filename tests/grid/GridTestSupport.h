// Shared pieces of the grid's tests: a parent window that records every WM_NOTIFY it gets,
// a grid made as its child, and a recorder in place of message boxes.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "grid/GridCtrl.h"

struct NotifyRecord {
    int code;
    int row;
    int col;
    HWND from;
    UINT_PTR id;
    bool operator==(const NotifyRecord& o) const {
        return code == o.code && row == o.row && col == o.col && from == o.from && id == o.id;
    }
};

// What a notification was about, for comparing sequences with expected tables.
struct CellNote {
    int code, row, col;
    bool operator==(const CellNote& o) const { return code == o.code && row == o.row && col == o.col; }
};
void PrintTo(const CellNote& n, std::ostream* os);

// A top-level window standing in for the dialog that holds the grid.
class RecordingParent : public CWnd {
public:
    std::vector<NotifyRecord> notes;
    LRESULT reply = 0;  // what every WM_NOTIFY is answered with
    // When set, answers each WM_NOTIFY (after it is recorded) in place of `reply`; it may act
    // on the grid as an owner would.
    std::function<LRESULT(const NotifyRecord&)> answer;
    BOOL CreateTopLevel(int width = 400, int height = 300);

protected:
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

constexpr UINT GRID_ID = 1008;

// The notifications the parent got, in order.
std::vector<CellNote> CellNotes(const RecordingParent& parent);

// A parent window with a grid of `rows` x `cols` (fixed counts as given) as its child,
// the grid's client area `width` x `height` with no border.
struct GridInWindow {
    RecordingParent parent;
    CGridCtrl grid;
    explicit GridInWindow(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0, int width = 300,
                          int height = 200);
};

// Gives `grid` rows x cols cells, one fixed row and column, rows of 20 pixels and columns
// of 50 (so the cell under a point is easy to tell).
void MakeUniform(CGridCtrl& grid, int rows, int cols);

// A 32-bit DIB section selected into a memory context: what paint tests draw on and read.
struct DibSurface {
    explicit DibSurface(int width, int height, COLORREF fill = RGB(0xFF, 0x00, 0xFF));
    ~DibSurface();
    void Fill(COLORREF colour);
    COLORREF Pixel(int x, int y) const;
    // Pixels of `colour` inside `area` (cut to the surface).
    int Count(const RECT& area, COLORREF colour) const;
    int Count(COLORREF colour) const { return Count(CRect(0, 0, width, height), colour); }
    bool SameAs(const DibSurface& other) const;

    int width, height;
    DWORD* bits = nullptr;
    CBitmap bitmap;
    CMemoryDC dc;
    HGDIOBJ old = nullptr;
};

// What the window shows now, read back from its own surface: its client area (or, with
// `whole`, the whole window with its frame and bars) copied into `into`, which must be as
// large.
void CaptureWindow(HWND window, DibSurface& into, bool whole = false);

// The GDI objects the process really holds, whatever the wrappers count: GetGuiResources,
// or where the system does not implement it (Wine), the handle slots that name an object.
long LiveGdiObjects();

// Bytes of the process's address space reserved or committed: what a reservation takes even
// before it is touched.
long long AddressSpaceInUse();

// Ctrl and Shift as GetKeyState reads them on this thread, for one scope (the keyboard's
// state made real with SetKeyboardState); both released at its end.
class HeldKeys {
public:
    explicit HeldKeys(bool ctrl, bool shift = false) { Set(ctrl, shift); }
    ~HeldKeys() { Set(false, false); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;
    static void Set(bool ctrl, bool shift);
};

// Dispatches whatever the thread's queue holds, through the pre-translate step as the
// framework's loops do.
void PumpMessages();

// Records message boxes instead of showing them, for one scope.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    static std::vector<std::string>& Texts();

private:
    MessageBoxHandler m_previous;
};

// ---- the mouse ----
// A parent that logs, in order, what its grid tells it ("SELCHANGING 2,3", "NM_CLICK 0,2",
// "WM_COMMAND 1008/0") and what the cells of class CHookCell are told ("OnPress 25,10":
// points relative to the cell). With destroyOn set it destroys the grid on that code.
class LoggingParent : public CWnd {
public:
    std::vector<std::string> log;
    int destroyOn = 0;  // a WM_NOTIFY code; 0 none
    BOOL CreateTopLevel();

protected:
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// A cell that logs its mouse hooks to the log the fixture below points it at.
class CHookCell : public CGridCell {
    DECLARE_DYNCREATE(CHookCell)

public:
    static std::vector<std::string>* sink;
    void OnPress(CPoint p) override { Log("OnPress", p); }
    void OnClick(CPoint p) override { Log("OnClick", p); }
    void OnRightClick(CPoint p) override { Log("OnRightClick", p); }
    void OnDoubleClick(CPoint p) override { Log("OnDoubleClick", p); }

private:
    static void Log(const char* what, CPoint p);
};

// A 300 x 200 grid of hook cells, `rows` x `cols` made uniform (cells 50 x 20 with one fixed
// row and column), in a logging parent on top of every other window.
struct MouseGrid {
    LoggingParent parent;
    CGridCtrl grid;
    explicit MouseGrid(int rows = 6, int cols = 5);
    ~MouseGrid();
    // The centre of a cell while nothing is scrolled.
    static CPoint At(int row, int col) { return CPoint(50 * col + 25, 20 * row + 10); }
    // Sends one mouse message, the key state made real first (MK_CONTROL, MK_SHIFT and
    // MK_LBUTTON in `keys`, which is also the message's wParam), then handles the posted
    // messages; returns what was logged meanwhile. Nothing when the grid is gone.
    std::vector<std::string> Do(UINT message, CPoint point, UINT keys = 0);
};

// Handles the messages posted to this thread, each through the pre-translate step first;
// returns how many reached `window` as `message` (0 for any window or message).
int PumpPosted(HWND window = nullptr, UINT message = 0);
