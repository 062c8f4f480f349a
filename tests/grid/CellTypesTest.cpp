// The special cells in a real grid: the check box (where it sits, what a click toggles), the
// combo cell's arrow, link cells (the word under the pointer, the hand, what a click opens),
// the link rules without a window, and replacing a cell's class in place.
#include <algorithm>

#include "grid/cells/GridCellCheck.h"
#include "grid/cells/GridCellCombo.h"
#include "grid/cells/GridURLCell.h"
#include "grid/cells/LinkText.h"
#include "tests/grid/GridTestSupport.h"

namespace {
const COLORREF kPaper = RGB(0xFF, 0x00, 0xFF), kOwn = RGB(0x20, 0xC0, 0x20);

bool HasUpdate(HWND wnd) { return GetUpdateRect(wnd, nullptr, FALSE) != FALSE; }

CPoint Centre(const RECT& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

int MarginOf(const CGridCellBase* cell) { return static_cast<int>(cell->GetMargin()); }

// A grid whose cell (2, 2), 240 x 30 pixels, has class `cls`.
struct OneCell : GridInWindow {
    explicit OneCell(const CRuntimeClass* cls) : GridInWindow(4, 4, 1, 1) {
        grid.SetColumnWidth(2, 240);
        grid.SetRowHeight(2, 30);
        EXPECT_TRUE(grid.SetCellType(2, 2, cls));
        EXPECT_TRUE(grid.CellRect(2, 2, &rect));
    }
    template <class T>
    T* Cell() { return static_cast<T*>(grid.GetCell(2, 2)); }
    // `p` (grid client) relative to the cell.
    CPoint InCell(CPoint p) const { return CPoint(p.x - rect.left, p.y - rect.top); }
    CRect rect;
};
}  // namespace

TEST(CheckCell, TogglesOnlyOnAClickInTheBoxOfAnEditableCell) {
    const struct {
        const char* what;
        bool drawn;
        BOOL editable;
        DWORD state;
        bool onBox;
        bool toggles;
    } cases[] = {
        {"the box", true, TRUE, 0, true, true},
        {"the text", true, TRUE, 0, false, false},
        {"a read-only cell", true, TRUE, CELL_READONLY, true, false},
        {"a grid not editable", true, FALSE, 0, true, false},
        {"a cell never drawn", false, TRUE, 0, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OneCell w(RUNTIME_CLASS(CGridCellCheck));
        w.grid.UpdateWindow();
        if (!c.drawn) {
            // A new check cell in its place, not drawn yet.
            ASSERT_TRUE(w.grid.SetCellType(2, 2, RUNTIME_CLASS(CGridCell)));
            ASSERT_TRUE(w.grid.SetCellType(2, 2, RUNTIME_CLASS(CGridCellCheck)));
        }
        auto* cell = w.Cell<CGridCellCheck>();
        cell->SetText("Accepted");
        w.grid.SetCellState(2, 2, c.state);
        w.grid.Editable = c.editable;
        ValidateRect(w.grid.m_hWnd, nullptr);
        ASSERT_FALSE(HasUpdate(w.grid.m_hWnd));
        const CRect box = CGridCellCheck::BoxRect(w.rect, MarginOf(cell));
        const CPoint at = c.onBox ? Centre(box) : CPoint(w.rect.right - 20, Centre(box).y);
        cell->OnClick(w.InCell(at));
        EXPECT_EQ(cell->GetCheck() != FALSE, c.toggles);
        EXPECT_EQ(HasUpdate(w.grid.m_hWnd), c.toggles);
        // Toggling is no edit: no notification, no modified flag.
        EXPECT_TRUE(w.parent.notes.empty());
        EXPECT_FALSE(w.grid.GetCellState(2, 2) & CELL_MODIFIED);
    }
}

TEST(CheckCell, BoxSitsOneMarginInOrCentredInALowRow) {
    OneCell w(RUNTIME_CLASS(CGridCellCheck));
    auto* cell = w.Cell<CGridCellCheck>();
    cell->SetBackColour(kOwn);
    const int s = CGridCellCheck::BoxSize(), m = MarginOf(cell);
    for (int height : {s + 2 * m + 9, s + 2 * m, s + 2 * m - 1, s - 4}) {
        SCOPED_TRACE(height);
        DibSurface dib(90, 90, kPaper);
        const CRect rect(10, 30, 80, 30 + height);
        ASSERT_TRUE(cell->Draw(&dib.dc, 2, 2, rect, TRUE));
        const int top = height < s + 2 * m ? rect.top + (height - s) / 2 : rect.top + m;
        // The box's pixels are neither the cell's background nor the paper around it.
        auto boxy = [&](int x, int y) { return dib.Pixel(x, y) != kOwn && dib.Pixel(x, y) != kPaper; };
        const int x = rect.left + m + s / 2;
        int first = -1, last = -1;
        for (int y = 0; y < dib.height; ++y)
            if (boxy(x, y)) (first < 0 ? first : last) = y, last = y;
        EXPECT_EQ(first, top);
        EXPECT_EQ(last, top + s - 1);
        EXPECT_TRUE(boxy(rect.left + m, top + s / 2));
        EXPECT_FALSE(boxy(rect.left + m - 1, top + s / 2));
        EXPECT_TRUE(boxy(rect.left + m + s - 1, top + s / 2));
        EXPECT_FALSE(boxy(rect.left + m + s, top + s / 2));
    }
    // The text starts right of the box, but never beyond the cell.
    CRect text(10, 10, 200, 40), narrow(10, 10, 20, 40);
    cell->GetTextRect(&text);
    cell->GetTextRect(&narrow);
    EXPECT_EQ(text.left, 10 + s + 2 * m);
    EXPECT_EQ(narrow.left, 20);
}

TEST(ComboCell, ArrowOnlyWhenEditableAndNoTextUnderAnOpenBox) {
    const int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
    const struct {
        const char* what;
        BOOL editable;
        DWORD state;
        bool editing;
        bool arrow;
        bool text;
    } cases[] = {
        {"editable", TRUE, 0, false, true, true},
        {"grid not editable", FALSE, 0, false, false, true},
        {"read-only", TRUE, CELL_READONLY, false, false, true},
        {"being edited", TRUE, 0, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OneCell g(RUNTIME_CLASS(CGridCellCombo));
        auto* cell = g.Cell<CGridCellCombo>();
        cell->SetText("WWWWWW");
        cell->SetBackColour(kOwn);
        cell->SetTextColour(RGB(0, 0, 0));
        cell->SetOptions({"WWWWWW", "MMMM"});
        g.grid.SetCellState(2, 2, c.state);
        g.grid.Editable = c.editable;
        if (c.editing) {
            ASSERT_TRUE(cell->BeginEdit(2, 2, g.rect, CPoint(-1, -1), INPLACE_EDITOR_ID, VK_LBUTTON));
        }
        DibSurface dib(200, 60, kPaper);
        const CRect rect(10, 10, 190, 40);
        ASSERT_TRUE(cell->Draw(&dib.dc, 2, 2, rect, TRUE));
        const CRect button(rect.right - w, rect.top, rect.right, rect.top + h);
        const int face = dib.Count(button, GetSysColor(COLOR_BTNFACE));
        if (c.arrow) {
            EXPECT_GT(face, button.Width() * button.Height() / 2);
        } else {
            EXPECT_EQ(face, 0);
        }
        EXPECT_EQ(dib.Count(CRect(rect.left, rect.top, rect.right - w, rect.bottom), RGB(0, 0, 0)) > 0, c.text);
        if (c.editing) cell->StopEdit();
    }
}

namespace {
// A combo cell whose editing ends while it draws: editing for its first kEditingCalls asks
// (whether to draw the arrow, whether to hide the text).
class EndingCombo : public CGridCellCombo {
public:
    BOOL IsEditing() const override { return m_asked++ < kEditingCalls; }
    static constexpr int kEditingCalls = 2;

private:
    mutable int m_asked = 0;
};
}  // namespace

TEST(ComboCell, TheTextHiddenUnderAnOpenBoxComesBackWhenTheEditingEndsWhileItDraws) {
    GridInWindow g(4, 4, 1, 1);
    EndingCombo cell;
    cell.SetOwnerGrid(&g.grid);
    cell.SetText("kept");
    DibSurface dib(200, 60, kPaper);
    EXPECT_TRUE(cell.Draw(&dib.dc, 2, 2, CRect(10, 10, 190, 40), TRUE));
    EXPECT_EQ(cell.GetText(), "kept");
}

TEST(URLCell, HandAndClickOnlyOverTheLinkWordInEachAlignment) {
    const std::string text = "leftword http://example.com rightword";
    std::vector<std::wstring> opened;
    const GridLinkOpener previous = CGridURLCell::SetLinkOpener([&opened](const std::wstring& target) {
        opened.push_back(target);
        return true;
    });
    for (DWORD align : {DT_LEFT, DT_CENTER, DT_RIGHT}) {
        SCOPED_TRACE(align);
        OneCell w(RUNTIME_CLASS(CGridURLCell));
        auto* cell = w.Cell<CGridURLCell>();
        cell->SetText(text);
        cell->SetFormat(align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ASSERT_TRUE(w.grid.RedrawCell(2, 2));
        EXPECT_EQ(cell->GetTextColour(), cell->GetLinkColour());

        // Where the text really is: as drawn, inside the margins.
        CClientDC dc(w.grid.m_hWnd);
        CSelectGuard font(dc, cell->GetFontObject());
        const int m = MarginOf(cell), width = dc.GetTextExtent(text).cx;
        const int left = align == DT_LEFT    ? w.rect.left + m
                         : align == DT_RIGHT ? w.rect.right - m - width
                                             : (w.rect.left + w.rect.right - width) / 2;
        // The middle of the word that starts at byte `start`, `length` bytes long.
        auto middleOf = [&](size_t start, size_t length) {
            return CPoint(left + dc.GetTextExtent(text.substr(0, start)).cx +
                              dc.GetTextExtent(text.substr(start, length)).cx / 2,
                          Centre(w.rect).y);
        };
        const struct {
            CPoint at;
            const char* word;
        } points[] = {
            {middleOf(0, 8), ""},
            {middleOf(9, 18), "http://example.com"},
            {middleOf(28, 9), ""},
            {CPoint(align == DT_RIGHT ? w.rect.left + 2 : w.rect.right - 2, Centre(w.rect).y), ""},  // beside it
        };
        for (const auto& p : points) {
            EXPECT_EQ(cell->LinkUnder(w.InCell(p.at)), p.word);
            CPoint screen = p.at;
            ClientToScreen(w.grid.m_hWnd, &screen);
            SetCursorPos(screen.x, screen.y);
            MSG msg;
            PostMessageW(w.grid.m_hWnd, WM_NULL, 0, 0);
            PeekMessageW(&msg, w.grid.m_hWnd, WM_NULL, WM_NULL, PM_REMOVE);
            EXPECT_TRUE(cell->OnSetCursor());
            EXPECT_EQ(GetCursor(), *p.word ? CGridURLCell::HandCursor() : LoadCursorW(nullptr, IDC_ARROW));
            opened.clear();
            cell->OnClick(w.InCell(p.at));
            EXPECT_EQ(opened, *p.word ? std::vector<std::wstring>{L"http://example.com"} : std::vector<std::wstring>{});
        }
        cell->SetOpenOnClick(FALSE);
        opened.clear();
        cell->OnClick(w.InCell(middleOf(9, 18)));
        EXPECT_TRUE(opened.empty());
    }
    CGridURLCell::SetLinkOpener(previous);
}

TEST(URLCell, OnlyALinkTextTakesTheLinkColour) {
    OneCell w(RUNTIME_CLASS(CGridURLCell));
    auto* cell = w.Cell<CGridURLCell>();
    cell->SetText("plain words HTTP: here");  // markers are case-sensitive
    ASSERT_TRUE(w.grid.RedrawCell(2, 2));
    EXPECT_EQ(cell->GetTextColour(), CLR_DEFAULT);
    EXPECT_EQ(cell->LinkUnder(CPoint(20, 10)), "");
    // Once drawn with a link, the colour stays the cell's own.
    cell->SetText("www.example.com");
    ASSERT_TRUE(w.grid.RedrawCell(2, 2));
    cell->SetText("plain again");
    EXPECT_EQ(cell->GetTextColour(), cell->GetLinkColour());
    EXPECT_FALSE(cell->BeginEdit(2, 2, w.rect, CPoint(-1, -1), INPLACE_EDITOR_ID, 'a'));
    EXPECT_FALSE(cell->IsEditing());
}

TEST(URLCell, HandPointerIsNeverUnset) {
    EXPECT_NE(CGridURLCell::HandCursor(), nullptr);
    EXPECT_EQ(CGridURLCell::LoadHandCursor(L"C:\\no such folder\\winhlp32.exe"), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(CGridURLCell::LoadHandCursor(L""), LoadCursorW(nullptr, IDC_HAND));
}

TEST(LinkText, WordsAndMarkers) {
    EXPECT_TRUE(linktext::HoldsLink("see www.example.com"));
    EXPECT_TRUE(linktext::HoldsLink("ftp.example.com"));
    EXPECT_FALSE(linktext::HoldsLink("HTTP://EXAMPLE.COM"));
    EXPECT_FALSE(linktext::HoldsLink(""));
    const struct {
        size_t index;
        const char* word;
    } words[] = {{0, "one"}, {2, "one"}, {3, "one"}, {4, "two"}, {7, "two"}, {8, "three"}, {99, "three"}};
    for (const auto& w : words) EXPECT_EQ(linktext::WordAt("one two three", w.index), w.word) << w.index;
}

TEST(LinkText, AClickNeverStartsAProgram) {
    const struct {
        const char* word;
        const char* opened;  // "" = not opened
    } cases[] = {
        {"http://example.com/a?b=c", "http://example.com/a?b=c"},
        {"https://example.com", "https://example.com"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"www.example.com", "http://www.example.com"},  // never a file "www.example.com"
        {"ftp.example.com", "ftp://ftp.example.com"},
        {"url:http://example.com", "http://example.com"},
        {"file:///C:/docs/report.pdf", "file:///C:/docs/report.pdf"},
        {"file:///C:/docs/", "file:///C:/docs/"},
        {"file:///C:/Windows/notepad.exe", ""},
        {"file:///C:/x/run.BAT", ""},
        {"file:///C:/x/run%2Eexe", ""},
        {"file:///C:/x/tool.exe?x=.pdf", ""},
        {"file:///C:/x/tool.exe.", ""},
        {"file:///C:/Windows/notepad", ""},  // the shell would find notepad.exe
        {"file:C:\\x\\a.txt:b.exe", ""},
        {"file:\\\\server\\share\\setup.msi", ""},
        {"C:\\docs\\www.notes.txt", "C:\\docs\\www.notes.txt"},
        {"C:\\tools\\www.setup.cmd", ""},
        {"run.vbs#http:", ""},
        {"ms-settings:http:", ""},  // a scheme of its own
        {"plainword", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(linktext::TargetToOpen(c.word), c.opened) << c.word;
}

TEST(CellTypes, ReplacingAClassKeepsWhatTheCellHolds) {
    GridInWindow w(5, 5, 1, 1);
    CGridCellBase* old = w.grid.GetCell(2, 2);
    old->SetText("kept");
    old->SetData(42);
    old->SetImage(3);
    old->SetFormat(0xFFFFFFFF);  // unset: follows the default cell
    old->SetTextColour(RGB(1, 2, 3));
    old->SetBackColour(RGB(4, 5, 6));
    LOGFONTW font{};
    font.lfHeight = -17;
    wcscpy(font.lfFaceName, L"Arial");
    old->SetFont(&font);
    old->SetMargin(7);
    w.grid.SetCellState(2, 2, CELL_SELECTED | CELL_READONLY);
    w.grid.MergeCells(2, 2, 3, 3);

    for (const CRuntimeClass* cls : {RUNTIME_CLASS(CGridCellCheck), RUNTIME_CLASS(CGridURLCell), RUNTIME_CLASS(CGridCell)}) {
        SCOPED_TRACE(cls->m_lpszClassName);
        ASSERT_TRUE(w.grid.SetCellType(2, 2, cls));
        ASSERT_TRUE(w.grid.SetCellType(3, 3, cls));
        CGridCellBase* cell = w.grid.GetCell(2, 2);
        EXPECT_EQ(cell->GetRuntimeClass(), cls);
        EXPECT_EQ(cell->GetOwnerGrid(), &w.grid);
        EXPECT_EQ(cell->GetText(), "kept");
        EXPECT_EQ(cell->GetData(), 42);
        EXPECT_EQ(cell->GetImage(), 3);
        EXPECT_EQ(cell->GetTextColour(), RGB(1, 2, 3));
        EXPECT_EQ(cell->GetBackColour(), RGB(4, 5, 6));
        ASSERT_FALSE(cell->UsesDefaultFont());
        EXPECT_EQ(cell->GetFont()->lfHeight, -17);
        EXPECT_EQ(cell->GetMargin(), 7u);
        EXPECT_EQ(cell->GetState(), static_cast<DWORD>(CELL_SELECTED | CELL_READONLY));
        EXPECT_TRUE(w.grid.CellIsSelected(2, 2));
        EXPECT_EQ(cell->GetSpanRange(), CGridCellRange(2, 2, 3, 3));
        EXPECT_TRUE(w.grid.GetCell(3, 3)->IsCoveredBySpan());
        EXPECT_EQ(w.grid.GetCell(3, 3)->GetSpanOwner(), CGridCellId(2, 2));
        // The format is still unset: it follows the default cell.
        w.grid.DefaultCellFor(FALSE, FALSE)->SetFormat(DT_RIGHT | DT_SINGLELINE);
        EXPECT_EQ(cell->GetFormat(), static_cast<DWORD>(DT_RIGHT | DT_SINGLELINE));
    }

    CGridCellBase* same = w.grid.GetCell(2, 2);
    EXPECT_TRUE(w.grid.SetCellType(2, 2, RUNTIME_CLASS(CGridCell)));
    EXPECT_EQ(w.grid.GetCell(2, 2), same);
    EXPECT_FALSE(w.grid.SetCellType(5, 2, RUNTIME_CLASS(CGridCellCheck)));
    EXPECT_FALSE(w.grid.SetCellType(2, 2, RUNTIME_CLASS(CGridCellBase)));  // not creatable
    EXPECT_FALSE(w.grid.SetCellType(2, 2, RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(w.grid.SetCellType(2, 2, nullptr));
    EXPECT_EQ(w.grid.GetCell(2, 2), same);

    // New cells take CellClass.
    w.grid.CellClass = RUNTIME_CLASS(CGridCellCheck);
    w.grid.SetRowCount(6);
    EXPECT_EQ(w.grid.GetCell(5, 4)->GetRuntimeClass(), RUNTIME_CLASS(CGridCellCheck));
    EXPECT_EQ(w.grid.GetCell(4, 4)->GetRuntimeClass(), RUNTIME_CLASS(CGridCell));
}
