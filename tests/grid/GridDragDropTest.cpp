// Drag-and-drop between two grids and within one: the drop target called directly with a
// data source of ours, and real drags (the cursor put over the target, the left button up,
// so the drag drops at once).
#include <string>
#include <vector>

#include "tests/grid/GridTestSupport.h"

using namespace std::string_literals;

namespace {
// Two grids side by side in one parent, 5 x 5 with a fixed row and column, cells "a<r><c>"
// in the left grid and "b<r><c>" in the right one, drag-and-drop on.
struct TwoGrids {
    RecordingParent parent;
    CGridCtrl left, right;
    TwoGrids() {
        EXPECT_TRUE(parent.CreateTopLevel(700, 300));
        // On top of any window another program shows, so the drop lands here.
        SetWindowPos(parent.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        EXPECT_TRUE(left.Create(CRect(0, 0, 300, 200), &parent, GRID_ID, WS_CHILD | WS_VISIBLE));
        EXPECT_TRUE(right.Create(CRect(320, 0, 620, 200), &parent, GRID_ID + 1, WS_CHILD | WS_VISIBLE));
        for (CGridCtrl* g : {&left, &right}) {
            MakeUniform(*g, 5, 5);
            g->DragAndDropEnabled = TRUE;
            const std::string prefix = g == &left ? "a" : "b";
            for (int r = 1; r < 5; ++r)
                for (int c = 1; c < 5; ++c) g->SetCellText(r, c, prefix + std::to_string(r) + std::to_string(c));
        }
    }
    static POINTL ScreenPoint(CGridCtrl& g, int row, int col) {
        CRect rect;
        EXPECT_TRUE(g.CellRect(row, col, &rect));
        CPoint p(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2);
        g.ClientToScreen(&p);
        return POINTL{p.x, p.y};
    }
    static void Select(CGridCtrl& g, const std::vector<CGridCellId>& cells) {
        for (const CGridCellId& c : cells) g.SetCellState(c.row, c.col, g.GetCellState(c.row, c.col) | CELL_SELECTED);
    }
    static std::vector<std::string> Row(const CGridCtrl& g, int r) {
        std::vector<std::string> texts;
        for (int c = 1; c < g.GetColumnCount(); ++c) texts.push_back(g.GetCellText(r, c));
        return texts;
    }
};

HGLOBAL TextBlock(const std::string& text) { return AfxGlobalFromBytes(text.c_str(), text.size() + 1); }

// Ctrl and the left button as the drag loop reads them, for one scope.
struct DragKeys {
    explicit DragKeys(bool ctrl) { Set(ctrl); }
    ~DragKeys() { Set(false); }
    static void Set(bool ctrl) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_LBUTTON] = 0;
        SetKeyboardState(keys);
    }
};
}  // namespace

TEST(GridDragDrop, EachGridRegistersItsOwnTargetOnItsFirstSize) {
    const long before = OleLiveCounts::Objects();
    {
        TwoGrids g;
        ASSERT_NE(g.left.GetDropSink(), nullptr);
        ASSERT_NE(g.right.GetDropSink(), nullptr);
        EXPECT_NE(g.left.GetDropSink(), g.right.GetDropSink());
        EXPECT_TRUE(g.left.GetDropSink()->IsRegistered());
        EXPECT_TRUE(g.right.GetDropSink()->IsRegistered());
        // Only a grid's window is accepted.
        CRefPtr<CGridDropSink> sink(new CGridDropSink);
        EXPECT_FALSE(sink->Register(&g.parent));
        // The window's end revokes: OLE gives its references back.
        g.right.DestroyWindow();
        EXPECT_FALSE(g.right.GetDropSink()->IsRegistered());
        EXPECT_EQ(g.right.GetDropSink()->RefCount(), 1);
    }
    EXPECT_EQ(OleLiveCounts::Objects(), before);
}

TEST(GridDragDrop, DropTargetCalledDirectly) {
    const struct {
        const char* what;
        DWORD keys;
        BOOL readOnly;
        const char* text;
        DWORD effect, dropEffect;
        std::vector<std::string> row2;
    } cases[] = {
        {"Ctrl copies", MK_CONTROL, FALSE, "x\ty", DROPEFFECT_COPY, DROPEFFECT_COPY, {"b21", "x", "y", "b24"}},
        {"no Ctrl moves", 0, FALSE, "x\ty", DROPEFFECT_MOVE, DROPEFFECT_MOVE, {"b21", "x", "y", "b24"}},
        {"a read-only cell refuses", 0, TRUE, "x\ty", DROPEFFECT_NONE, DROPEFFECT_NONE, {"b21", "b22", "b23", "b24"}},
        {"a move cut at the table's edge is a copy", 0, FALSE, "x\ty\tz\tw", DROPEFFECT_MOVE, DROPEFFECT_COPY,
         {"b21", "x", "y", "z"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TwoGrids g;
        g.right.SetCellState(2, 2, c.readOnly ? static_cast<DWORD>(CELL_READONLY) : 0u);
        CRefPtr<COleDataSource> source(new COleDataSource);
        source->CacheGlobalData(CF_TEXT, TextBlock(c.text));
        CGridDropSink* sink = g.right.GetDropSink();
        const POINTL at = TwoGrids::ScreenPoint(g.right, 2, 2);

        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(sink->DragEnter(source.get(), c.keys, at, &effect), S_OK);
        EXPECT_EQ(effect, c.effect);
        EXPECT_EQ((g.right.GetCellState(2, 2) & CELL_DROPHILITED) != 0, !c.readOnly);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(sink->DragOver(c.keys, at, &effect), S_OK);
        EXPECT_EQ(effect, c.effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(sink->Drop(source.get(), c.keys, at, &effect), S_OK);
        EXPECT_EQ(effect, c.dropEffect);
        EXPECT_EQ(TwoGrids::Row(g.right, 2), c.row2);
        EXPECT_FALSE(g.right.GetCellState(2, 2) & CELL_DROPHILITED);
        EXPECT_TRUE(g.right.Selection().Empty());  // a drop leaves nothing selected
    }

    // Leaving takes the highlight away; a grid without drag-and-drop refuses.
    TwoGrids g;
    CRefPtr<COleDataSource> source(new COleDataSource);
    source->CacheGlobalData(CF_TEXT, TextBlock("x"));
    DWORD effect = DROPEFFECT_COPY;
    g.right.GetDropSink()->DragEnter(source.get(), MK_CONTROL, TwoGrids::ScreenPoint(g.right, 3, 3), &effect);
    EXPECT_TRUE(g.right.GetCellState(3, 3) & CELL_DROPHILITED);
    g.right.GetDropSink()->DragLeave();
    EXPECT_FALSE(g.right.GetCellState(3, 3) & CELL_DROPHILITED);
    g.right.DragAndDropEnabled = FALSE;
    effect = DROPEFFECT_COPY;
    g.right.GetDropSink()->DragEnter(source.get(), MK_CONTROL, TwoGrids::ScreenPoint(g.right, 3, 3), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    g.right.GetDropSink()->DragLeave();
}

TEST(GridDragDrop, DraggingTheSelectionCopiesOrMovesIt) {
    const struct {
        const char* what;
        bool ctrl;
        bool ontoRight;     // else onto the left grid itself
        CGridCellId at;     // where the cursor drops
        BOOL readOnlyAt;
        std::vector<std::string> leftRow1, rightRow1;
    } cases[] = {
        {"Ctrl copies to the other grid", true, true, {1, 2}, FALSE, {"a11", "a12", "a13", "a14"},
         {"b11", "a11", "a12", "b14"}},
        {"no Ctrl moves to the other grid", false, true, {1, 2}, FALSE, {"", "", "a13", "a14"},
         {"b11", "a11", "a12", "b14"}},
        {"a move onto the grid itself keeps what the drop wrote", false, false, {1, 2}, FALSE,
         {"", "a11", "a12", "a14"}, {"b11", "b12", "b13", "b14"}},
        {"a read-only cell refuses the drop", false, true, {1, 2}, TRUE, {"a11", "a12", "a13", "a14"},
         {"b11", "b12", "b13", "b14"}},
        {"a move running off the other grid's edge keeps its source", false, true, {1, 4}, FALSE,
         {"a11", "a12", "a13", "a14"}, {"b11", "b12", "b13", "a11"}},
        {"a move running off the grid's own edge keeps its source", false, false, {1, 4}, FALSE,
         {"a11", "a12", "a13", "a11"}, {"b11", "b12", "b13", "b14"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TwoGrids g;
        CGridCtrl& target = c.ontoRight ? g.right : g.left;
        target.SetCellState(c.at.row, c.at.col, c.readOnlyAt ? static_cast<DWORD>(CELL_READONLY) : 0u);
        TwoGrids::Select(g.left, {{1, 1}, {1, 2}});
        const POINTL at = TwoGrids::ScreenPoint(target, c.at.row, c.at.col);
        ASSERT_TRUE(SetCursorPos(at.x, at.y));
        g.parent.notes.clear();
        {
            DragKeys keys(c.ctrl);
            g.left.BeginSelectionDrag();
        }
        EXPECT_EQ(TwoGrids::Row(g.left, 1), c.leftRow1);
        EXPECT_EQ(TwoGrids::Row(g.right, 1), c.rightRow1);
        ASSERT_FALSE(g.parent.notes.empty());
        EXPECT_EQ(g.parent.notes[0], (NotifyRecord{GRID_NOTIFY_BEGINDRAG, 1, 1, g.left.m_hWnd, GRID_ID}));
    }
}
