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
