// Scrolling that moves the pixels already drawn: after every step the window shows what a
// full paint at the new position shows (fixed lines, partly shown lines, selection and focus,
// merged blocks, cells of other classes, a change still waiting to be painted), a line step
// leaves only the uncovered strip to paint, and the bars are redrawn only when their look
// changes.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/cells/GridCellCheck.h"
#include "tests/grid/GridTestSupport.h"

namespace {
// The box around the pixels where two surfaces of one size differ, as "l,t - r,b"; empty
// when they are the same.
std::string DifferenceBox(const DibSurface& a, const DibSurface& b) {
    CRect box(a.width, a.height, -1, -1);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) box = CRect(std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                                                             std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1));
    if (box.right < 0) return std::string();
    return std::to_string(box.left) + "," + std::to_string(box.top) + " - " + std::to_string(box.right) + "," +
           std::to_string(box.bottom);
}

// A uniform grid (MakeUniform: 20-pixel rows, 50-pixel columns, one fixed row and column) of
// 40 x 12 cells, each holding its "row,col".
struct MovingGrid : GridInWindow {
    MovingGrid(int width = 300, int height = 200) : GridInWindow(0, 0, 0, 0, width, height) {
        MakeUniform(grid, 40, 12);
        for (int r = 0; r < 40; ++r)
            for (int c = 0; c < 12; ++c) grid.SetCellText(r, c, std::to_string(r) + "," + std::to_string(c));
    }
    CRect Client() {
        CRect client;
        grid.GetClientRect(&client);
        return client;
    }
    // What the window shows against a full paint at the same position into a bitmap: empty
    // when they agree, else the box around the pixels that differ.
    std::string DiffersFromAFullPaint() {
        const CRect client = Client();
        DibSurface shown(client.Width(), client.Height()), full(client.Width(), client.Height());
        CaptureWindow(grid.m_hWnd, shown);
        grid.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(full.dc.GetSafeHdc()), PRF_CLIENT);
        return DifferenceBox(shown, full);
    }
    bool ShowsAFullPaint() { return DiffersFromAFullPaint().empty(); }
    CRect UpdateRect() {
        CRect r;
        GetUpdateRect(grid.m_hWnd, &r, FALSE);
        return r;
    }
};

// A scroll message with its code, or (message 0) a cell scrolled into view.
struct Step {
    UINT message;
    WPARAM code;
};
Step IntoView(int row, int col) { return {0, static_cast<WPARAM>(row << 16 | col)}; }
const Step kDown{WM_VSCROLL, SB_LINEDOWN}, kUp{WM_VSCROLL, SB_LINEUP}, kRight{WM_HSCROLL, SB_LINERIGHT},
    kLeft{WM_HSCROLL, SB_LINELEFT}, kPageDown{WM_VSCROLL, SB_PAGEDOWN}, kKeyDown{WM_KEYDOWN, VK_DOWN},
    kKeyRight{WM_KEYDOWN, VK_RIGHT};
const std::vector<Step> kSequences[] = {
    {kDown, kDown, kDown, kUp, kPageDown, kUp},
    {kRight, kRight, kRight, kLeft},
    // The focus walks past the last row (column) shown: the keyboard scrolls, with the
    // focus cell's repaint still waiting.
    {kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyDown},
    {kKeyRight, kKeyRight, kKeyRight, kKeyRight, kKeyRight, kKeyRight, kKeyRight},
    // Both bars in one call: a line each way, then further.
    {IntoView(12, 3), IntoView(13, 7), IntoView(2, 9), IntoView(30, 11), IntoView(29, 10)},
};

struct Scene {
    const char* what;
    int width, height;
    std::function<void(CGridCtrl&)> set;      // before the first paint
    std::function<void(CGridCtrl&)> pending;  // after it, left unpainted
};
}  // namespace

TEST(GridScrollPaint, EveryStepShowsWhatAFullPaintShows) {
    const Scene scenes[] = {
        {"plain cells", 300, 200, nullptr, nullptr},
        {"a part of a row and of a column at the far edges", 287, 193, nullptr, nullptr},
        {"a selection and the focus", 300, 200,
         [](CGridCtrl& g) {
             g.SelectRange(3, 2, 7, 4);
             g.MoveFocusTo(5, 3);
         },
         nullptr},
        {"a merged block among the moving cells", 300, 200,
         [](CGridCtrl& g) {
             g.SetCellText(4, 2, "merged block");
             g.MergeCells(4, 2, 6, 4);
         },
         nullptr},
        {"a block reaching from the fixed row", 300, 200,
         [](CGridCtrl& g) {
             g.SetCellText(0, 2, "header block");
             g.MergeCells(0, 2, 2, 3);
         },
         nullptr},
        {"a block reaching from the fixed column", 300, 200,
         [](CGridCtrl& g) {
             g.SetCellText(3, 0, "side block");
             g.MergeCells(3, 0, 4, 2);
         },
         nullptr},
        {"two fixed lines, a tall line and a hidden one", 300, 200,
         [](CGridCtrl& g) {
             g.SetFixedRowCount(2);
             g.SetFixedColumnCount(2);
             g.SetRowHeight(4, 37);
             g.SetRowHeight(5, 0);
             g.SetColumnWidth(4, 83);
             g.SetColumnWidth(5, 0);
         },
         nullptr},
        {"check boxes", 300, 200,
         [](CGridCtrl& g) {
             for (int r = 1; r < 40; ++r) {
                 g.SetCellType(r, 3, RUNTIME_CLASS(CGridCellCheck));
                 static_cast<CGridCellCheck*>(g.GetCell(r, 3))->SetCheck(r % 3 == 0);
             }
         },
         nullptr},
        {"a change waiting to be painted", 300, 200, nullptr,
         [](CGridCtrl& g) {
             g.SetCellText(6, 3, "changed");
             g.InvalidateCell(6, 3);
         }},
    };
    for (const Scene& scene : scenes) {
        for (const std::vector<Step>& steps : kSequences) {
            SCOPED_TRACE(scene.what);
            MovingGrid w(scene.width, scene.height);
            if (scene.set) scene.set(w.grid);
            if (steps.front().message == WM_KEYDOWN) w.grid.MoveFocusTo(w.grid.GetFixedRowCount(), w.grid.GetFixedColumnCount());
            w.grid.UpdateWindow();
            if (scene.pending) scene.pending(w.grid);
            for (size_t i = 0; i < steps.size(); ++i) {
                if (steps[i].message)
                    w.grid.SendMessage(steps[i].message, steps[i].code, 0);
                else
                    w.grid.ScrollCellIntoView(static_cast<int>(steps[i].code >> 16), static_cast<int>(steps[i].code & 0xFFFF));
                w.grid.UpdateWindow();
                EXPECT_EQ(w.DiffersFromAFullPaint(), "") << "step " << i << " of message 0x" << std::hex << steps[i].message
                                                 << " code " << std::dec << steps[i].code << ", top-left now "
                                                 << w.grid.TopLeftScrollCell().row << ","
                                                 << w.grid.TopLeftScrollCell().col;
            }
            EXPECT_NE(w.grid.TopLeftScrollCell(), CGridCellId(w.grid.GetFixedRowCount(), w.grid.GetFixedColumnCount()))
                << "the view moved";
        }
    }
}

TEST(GridScrollPaint, ALineStepLeavesOnlyTheUncoveredStrip) {
    const struct {
        const char* what;
        Step step;
        int tallRow, tallCol;  // given 33 pixels (-1 none)
        bool fromEnd;          // the strip is at the far edge (a step down or right)
        int size;              // its height (width)
    } cases[] = {
        {"down", kDown, -1, -1, true, 20},
        {"down past a tall row", kDown, 1, -1, true, 33},
        {"up", kUp, -1, -1, false, 20},
        {"up onto a tall row", kUp, 1, -1, false, 33},
        {"right", kRight, -1, -1, true, 50},
        {"right past a wide column", kRight, -1, 1, true, 33},
        {"left", kLeft, -1, -1, false, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MovingGrid w;
        if (c.tallRow >= 0) w.grid.SetRowHeight(c.tallRow, 33);
        if (c.tallCol >= 0) w.grid.SetColumnWidth(c.tallCol, 33);
        const bool vertical = c.step.message == WM_VSCROLL;
        // A step back needs a step forward first.
        if (!c.fromEnd) w.grid.SendMessage(c.step.message, vertical ? SB_LINEDOWN : SB_LINERIGHT, 0);
        w.grid.UpdateWindow();
        const CRect client = w.Client();
        CRect strip = client;
        if (vertical)
            strip = c.fromEnd ? CRect(0, client.bottom - c.size, client.right, client.bottom)
                              : CRect(0, 20, client.right, 20 + c.size);
        else
            strip = c.fromEnd ? CRect(client.right - c.size, 0, client.right, client.bottom)
                              : CRect(50, 0, 50 + c.size, client.bottom);
        w.grid.SendMessage(c.step.message, c.step.code, 0);
        HRGN update = CreateRectRgn(0, 0, 0, 0), expected = CreateRectRgnIndirect(&strip);
        GetUpdateRgn(w.grid.m_hWnd, update, FALSE);
        EXPECT_TRUE(EqualRgn(update, expected)) << "update box " << w.UpdateRect().left << "," << w.UpdateRect().top
                                                << " - " << w.UpdateRect().right << "," << w.UpdateRect().bottom;
        DeleteObject(update);
        DeleteObject(expected);
        w.grid.UpdateWindow();
        EXPECT_TRUE(w.ShowsAFullPaint());
    }
    // A block reaching from the fixed row changes shape: it is painted whole as well.
    MovingGrid w;
    w.grid.MergeCells(0, 2, 2, 3);
    w.grid.UpdateWindow();
    CRect block;
    w.grid.CellRect(0, 2, &block);
    w.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    CRect box = w.UpdateRect();
    EXPECT_EQ(box.top, block.top);
    EXPECT_EQ(box.bottom, w.Client().bottom);
    // A page is more than the view: everything below the fixed row, and that block again.
    w.grid.UpdateWindow();
    w.grid.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(w.UpdateRect(), CRect(0, 0, w.Client().right, w.Client().bottom));
    MovingGrid plain;
    plain.grid.UpdateWindow();
    plain.grid.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(plain.UpdateRect(), CRect(0, 20, plain.Client().right, plain.Client().bottom));
}

TEST(GridScrollPaint, CheckBoxesAnswerWhereTheyNowAre) {
    MouseGrid w(30, 5);
    for (int r = 1; r < 30; ++r) w.grid.SetCellType(r, 2, RUNTIME_CLASS(CGridCellCheck));
    w.grid.UpdateWindow();
    w.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    w.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    w.grid.UpdateWindow();
    CRect cell;
    ASSERT_TRUE(w.grid.CellRect(5, 2, &cell));
    const CRect boxRect = CGridCellCheck::BoxRect(cell, 0);
    const CPoint box((boxRect.left + boxRect.right) / 2, (boxRect.top + boxRect.bottom) / 2);
    w.Do(WM_LBUTTONDOWN, box, MK_LBUTTON);
    w.Do(WM_LBUTTONUP, box);
    for (int r = 1; r < 30; ++r)
        EXPECT_EQ(static_cast<CGridCellCheck*>(w.grid.GetCell(r, 2))->GetCheck(), r == 5) << "row " << r;
    // The ticked box repaints where it is now.
    w.grid.UpdateWindow();
    CRect client;
    w.grid.GetClientRect(&client);
    DibSurface shown(client.Width(), client.Height()), full(client.Width(), client.Height());
    CaptureWindow(w.grid.m_hWnd, shown);
    w.grid.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(full.dc.GetSafeHdc()), PRF_CLIENT);
    EXPECT_TRUE(shown.SameAs(full));
}

namespace {
// Counts the frame paints a window gets.
struct FramePaints {
    static HWND& Window() {
        static HWND window = nullptr;
        return window;
    }
    static int& Count() {
        static int count = 0;
        return count;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->hwnd == Window() && message->message == WM_NCPAINT) ++Count();
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook;
    explicit FramePaints(HWND window) {
        Window() = window;
        Count() = 0;
        hook = SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId());
    }
    ~FramePaints() { UnhookWindowsHookEx(hook); }
};
}  // namespace

TEST(GridScrollPaint, BarsShowTheirPositionWithoutAFrameRepaint) {
    // Every step moves the thumb on a short table; on a tall one a step moves it by a
    // fraction of a pixel, and the bar need not be drawn at all.
    for (int rows : {30, 20000}) {
        SCOPED_TRACE(rows);
        MovingGrid w;
        w.grid.SetRowCount(rows);
        w.grid.UpdateWindow();
        CRect window;
        w.grid.GetWindowRect(&window);
        FramePaints paints(w.grid.m_hWnd);
        for (int i = 0; i < 40; ++i) {
            w.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
            w.grid.UpdateWindow();
        }
        EXPECT_EQ(FramePaints::Count(), 0) << "the whole frame is not painted for a step";
        DibSurface shown(window.Width(), window.Height()), redrawn(window.Width(), window.Height());
        CaptureWindow(w.grid.m_hWnd, shown, true);
        RedrawWindow(w.grid.m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        CaptureWindow(w.grid.m_hWnd, redrawn, true);
        EXPECT_EQ(DifferenceBox(shown, redrawn), "") << "the bars show what a full redraw shows";
    }
}

TEST(GridPaint, ABitmapGetsWhatTheWindowShows) {
    MovingGrid w;
    w.grid.SelectRange(2, 2, 4, 3);
    w.grid.MoveFocusTo(3, 2);
    w.grid.MergeCells(6, 1, 7, 3);
    w.grid.SetCellBackColour(5, 4, RGB(0x30, 0x90, 0x30));
    for (BOOL buffered : {TRUE, FALSE}) {
        w.grid.DoubleBuffered = buffered;
        w.grid.Invalidate(TRUE);
        w.grid.UpdateWindow();
        EXPECT_TRUE(w.ShowsAFullPaint()) << "buffered " << buffered;
    }
}
