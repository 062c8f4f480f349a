// The title tip over a cell whose text does not fit, with real messages: when it shows and
// where, what keeps it up, and where the moves, keys and presses it takes go on to.
#include "grid/cells/GridTitleTip.h"
#include "tests/grid/GridTestSupport.h"

namespace {
using Log = std::vector<std::string>;
CPoint At(int row, int col) { return MouseGrid::At(row, col); }
LPARAM Param(CPoint p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }
}  // namespace

TEST(GridTitleTip, ShowsTruncatedTextAndPassesTheUsersActionsOn) {
    MouseGrid w;
    CGridCtrl& g = w.grid;
    CGridTitleTip* tip = g.GetTitleTip();
    auto shown = [tip] { return tip->IsWindow() && tip->IsWindowVisible(); };
    // A point of the grid in the tip's client coordinates.
    auto onTip = [&](CPoint p) {
        g.ClientToScreen(&p);
        tip->ScreenToClient(&p);
        return Param(p);
    };
    g.SetCellText(2, 2, "a text far too long for its cell");
    g.SetCellText(2, 3, "ab");
    ASSERT_EQ(GetFocus(), g.m_hWnd);

    w.Do(WM_MOUSEMOVE, At(2, 3), 0);
    EXPECT_FALSE(shown()) << "the text fits";

    // On the cell, wider than it, holding the mouse.
    w.Do(WM_MOUSEMOVE, At(2, 2), 0);
    ASSERT_TRUE(shown());
    CRect cell, placed;
    g.CellRect(2, 2, &cell);
    g.ClientToScreen(&cell);
    tip->GetWindowRect(&placed);
    EXPECT_EQ(placed.TopLeft(), cell.TopLeft());
    EXPECT_EQ(placed.Height(), cell.Height());
    EXPECT_GT(placed.Width(), cell.Width());
    EXPECT_EQ(GetCapture(), tip->m_hWnd);

    tip->Show(CRect(0, 0, 10, 10), "something else", 0);
    CRect again;
    tip->GetWindowRect(&again);
    EXPECT_EQ(again, placed) << "a second Show changes nothing";

    // Within the cell it stays; out of it, it goes and the grid gets the move.
    tip->SendMessage(WM_MOUSEMOVE, 0, onTip(CPoint(At(2, 2).x + 20, At(2, 2).y + 5)));
    EXPECT_TRUE(shown());
    tip->SendMessage(WM_MOUSEMOVE, 0, onTip(At(3, 2)));
    EXPECT_FALSE(shown());
    EXPECT_NE(GetCapture(), tip->m_hWnd);
    MSG moved;
    ASSERT_TRUE(PeekMessageW(&moved, g.m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_EQ(moved.lParam, Param(At(3, 2)));

    // A key reaches the grid once, and the tip goes until the pointer moves.
    CPoint pointer = At(2, 2);
    g.ClientToScreen(&pointer);
    ASSERT_TRUE(SetCursorPos(pointer.x, pointer.y));
    w.Do(WM_MOUSEMOVE, At(2, 2), 0);
    ASSERT_TRUE(shown());
    PostMessageW(g.m_hWnd, WM_KEYDOWN, 'A', 1);
    EXPECT_EQ(PumpPosted(g.m_hWnd, WM_KEYDOWN), 1);
    EXPECT_FALSE(shown());
    w.Do(WM_MOUSEMOVE, At(2, 2), 0);
    EXPECT_FALSE(shown());
    ASSERT_TRUE(SetCursorPos(pointer.x + 1, pointer.y));

    // Two presses on the tip within the double-click time: a press, then a double click.
    const Log expected[] = {{"OnPress 25,10", "SELCHANGING 2,2"}, {"BEGINEDIT 2,2", "OnDoubleClick 25,10", "NM_DBLCLK 2,2"}};
    for (const Log& e : expected) {
        w.Do(WM_MOUSEMOVE, At(2, 2), 0);
        ASSERT_TRUE(shown());
        w.parent.log.clear();
        PostMessageW(tip->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, onTip(At(2, 2)));
        PumpPosted();
        EXPECT_EQ(w.parent.log, e);
        EXPECT_FALSE(shown());
        w.Do(WM_LBUTTONUP, At(2, 2), 0);
    }

    // The tip goes with the grid's window, and lets the mouse go (over another cell: (2, 2)
    // is being edited now).
    g.SetCellText(4, 2, "another text too long for its cell");
    w.Do(WM_MOUSEMOVE, At(4, 2), 0);
    ASSERT_TRUE(shown());
    g.DestroyWindow();
    EXPECT_FALSE(shown());
    EXPECT_EQ(GetCapture(), nullptr);
}
