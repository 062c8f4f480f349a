// The cell model: fall-backs to the default cells, copies, the default cells' own rules,
// the font objects of cells' own fonts, merge data, and the default cell's measured font.
#include "framework/Gdi.h"
#include "tests/grid/GridTestSupport.h"

namespace {
LOGFONTW Font(const wchar_t* face, int height) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

LOGFONTW FontOf(HFONT font) {
    LOGFONTW lf{};
    EXPECT_EQ(GetObjectW(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    return lf;
}
}  // namespace

TEST(CellFallback, WithoutAGridNothingIsSet) {
    CGridCell cell;
    EXPECT_EQ(cell.GetFormat(), 0xFFFFFFFFu);
    EXPECT_EQ(cell.GetMargin(), 0xFFFFFFFFu);
    EXPECT_EQ(cell.GetFont(), nullptr);
    EXPECT_EQ(cell.GetFontObject(), nullptr);
    EXPECT_EQ(cell.GetDefaultCell(), nullptr);
    EXPECT_EQ(cell.GetImage(), -1);
    EXPECT_EQ(cell.GetTextColour(), CLR_DEFAULT);
    EXPECT_EQ(cell.GetBackColour(), CLR_DEFAULT);
    EXPECT_TRUE(cell.UsesDefaultFont());
    EXPECT_EQ(cell.MeasureText(nullptr), CSize(0, 0));
}

TEST(CellFallback, TheHeaderBitsChooseTheDefaultCell) {
    CGridCtrl g;
    // Tell the four default cells apart by format, margin and font height.
    const struct {
        BOOL fixedRow, fixedCol;
        DWORD format;
    } defaults[] = {{FALSE, FALSE, DT_LEFT}, {FALSE, TRUE, DT_CENTER}, {TRUE, FALSE, DT_RIGHT}, {TRUE, TRUE, DT_BOTTOM}};
    for (const auto& d : defaults) {
        CGridDefaultCell* def = g.DefaultCellFor(d.fixedRow, d.fixedCol);
        def->SetFormat(d.format);
        LOGFONTW lf = Font(L"Arial", -10 - static_cast<int>(d.format));
        def->SetFont(&lf);  // measures, so before the margin
        def->SetMargin(d.format + 100);
    }
    const struct {
        DWORD state;
        DWORD expectedFormat;
    } cases[] = {{0, DT_LEFT},
                 {CELL_FIXED, DT_LEFT},  // CELL_FIXED alone says nothing
                 {CELL_FIXED | CELL_FIXEDCOL, DT_CENTER},
                 {CELL_FIXEDCOL, DT_CENTER},
                 {CELL_FIXED | CELL_FIXEDROW, DT_RIGHT},
                 {CELL_FIXED | CELL_FIXEDROW | CELL_FIXEDCOL, DT_BOTTOM},
                 {CELL_FIXEDROW | CELL_FIXEDCOL | CELL_SELECTED, DT_BOTTOM}};
    for (const auto& c : cases) {
        CGridCell cell;
        cell.SetOwnerGrid(&g);
        cell.SetState(c.state);
        EXPECT_EQ(cell.GetFormat(), c.expectedFormat) << "state " << c.state;
        EXPECT_EQ(cell.GetMargin(), c.expectedFormat + 100) << "state " << c.state;
        ASSERT_NE(cell.GetFont(), nullptr);
        EXPECT_EQ(cell.GetFont()->lfHeight, -10 - static_cast<int>(c.expectedFormat));
        EXPECT_EQ(cell.GetFontObject(), cell.GetDefaultCell()->GetFontObject());
        // Colours do not fall back inside the cell.
        EXPECT_EQ(cell.GetBackColour(), CLR_DEFAULT);
        // Own values win.
        cell.SetFormat(DT_WORDBREAK);
        cell.SetMargin(0);
        EXPECT_EQ(cell.GetFormat(), static_cast<DWORD>(DT_WORDBREAK));
        EXPECT_EQ(cell.GetMargin(), 0u);
    }
}

TEST(CellCopy, CopiesEffectiveValuesThroughTheAccessors) {
    CGridCtrl g;
    CGridCell source;
    source.SetOwnerGrid(&g);
    source.SetText("\xBF\xA8\xBA\xC5");  // 卡号
    source.SetImage(3);
    source.SetData(42);
    source.SetState(CELL_READONLY | CELL_FIXED);
    source.SetTextColour(RGB(1, 2, 3));
    source.SetSpanOwner(4, 5);
    source.SetSpanRange(CGridCellRange(1, 1, 2, 2));
    source.SetVisible(false);

    CGridCell copy;
    copy.SetFont(nullptr);
    copy.CopyFrom(source);
    EXPECT_EQ(copy.GetOwnerGrid(), &g);
    EXPECT_EQ(copy.GetText(), source.GetText());
    EXPECT_EQ(copy.GetImage(), 3);
    EXPECT_EQ(copy.GetData(), 42);
    EXPECT_EQ(copy.GetState(), static_cast<DWORD>(CELL_READONLY | CELL_FIXED));
    EXPECT_EQ(copy.GetTextColour(), RGB(1, 2, 3));
    EXPECT_EQ(copy.GetBackColour(), CLR_DEFAULT);
    EXPECT_EQ(copy.GetSpanOwner(), CGridCellId(4, 5));
    EXPECT_TRUE(copy.IsCoveredBySpan());
    EXPECT_EQ(copy.GetSpanRange(), CGridCellRange(1, 1, 2, 2));
    EXPECT_FALSE(copy.IsVisible());
    EXPECT_TRUE(copy.UsesDefaultFont()) << "a source on the default font gives no own font";

    // The unset format and margin arrive as the default cell's, stored in the copy.
    const DWORD defaultFormat = g.DefaultCellFor(FALSE, FALSE)->GetFormat();
    copy.SetOwnerGrid(nullptr);
    EXPECT_EQ(copy.GetFormat(), defaultFormat);
    EXPECT_EQ(copy.GetMargin(), g.DefaultCellFor(FALSE, FALSE)->GetMargin());

    LOGFONTW lf = Font(L"Arial", -17);
    source.SetFont(&lf);
    copy.CopyFrom(source);
    ASSERT_FALSE(copy.UsesDefaultFont());
    EXPECT_EQ(copy.GetFont()->lfHeight, -17);
    EXPECT_NE(copy.GetFont(), source.GetFont()) << "the copy owns its record";
}

TEST(CellCopy, OntoItselfChangesNothing) {
    CGridCtrl g;
    CGridCell cell;
    cell.SetOwnerGrid(&g);
    cell.SetText("a");
    cell.CopyFrom(cell);
    EXPECT_EQ(cell.GetText(), "a");
    // Had it copied, the unset format would now be stored: a later default change would not show.
    g.DefaultCellFor(FALSE, FALSE)->SetFormat(DT_RIGHT);
    EXPECT_EQ(cell.GetFormat(), static_cast<DWORD>(DT_RIGHT));
}

TEST(CellReset, DropsTheGridTheDataAndTheFont) {
    CGridCtrl g;
    CGridCell cell;
    cell.SetOwnerGrid(&g);
    cell.SetData(9);
    cell.SetText("x");
    cell.SetState(CELL_SELECTED);
    LOGFONTW lf = Font(L"Arial", -9);
    cell.SetFont(&lf);
    cell.SetSpanRange(CGridCellRange(0, 0, 1, 1));
    cell.Reset();
    EXPECT_EQ(cell.GetOwnerGrid(), nullptr);
    EXPECT_EQ(cell.GetData(), 0);
    EXPECT_EQ(cell.GetText(), "");
    EXPECT_EQ(cell.GetState(), 0u);
    EXPECT_TRUE(cell.UsesDefaultFont());
    EXPECT_FALSE(cell.IsSpanned());
    EXPECT_EQ(cell.GetFormat(), 0xFFFFFFFFu);
}

TEST(CellMerge, SpanOwnerAndSpanned) {
    CGridCell cell;
    cell.SetSpanOwner(3, 4);
    EXPECT_TRUE(cell.IsCoveredBySpan());
    cell.SetSpanOwner(-1, 4);
    EXPECT_FALSE(cell.IsCoveredBySpan());
    cell.SetSpanOwner(0, -1);
    EXPECT_TRUE(cell.IsCoveredBySpan()) << "only the row decides";
    const struct {
        CGridCellRange range;
        bool spanned;
    } cases[] = {{{-1, -1, -1, -1}, false}, {{2, 2, 2, 2}, false}, {{2, 2, 2, 3}, true}, {{0, 5, 1, 5}, true},
                 // Inverted or partly unset ranges cover nothing, whatever their product says.
                 {{5, 5, 1, 1}, false}, {{2, 2, 0, 4}, false}, {{2, 6, 4, 3}, false}, {{-1, -1, 1, 1}, false},
                 {{-3, -3, -1, -1}, false}};
    for (const auto& c : cases) {
        cell.SetSpanRange(c.range);
        EXPECT_EQ(cell.IsSpanned(), c.spanned) << c.range.minRow << c.range.minCol << c.range.maxRow << c.range.maxCol;
    }
}

TEST(CellDefault, StateAlwaysReadOnlyAndIgnoresStateAndData) {
    CGridDefaultCell def;
    EXPECT_EQ(def.GetState(), static_cast<DWORD>(CELL_READONLY));
    def.SetState(CELL_SELECTED | CELL_FOCUSED);
    def.SetData(5);
    EXPECT_EQ(def.GetState(), static_cast<DWORD>(CELL_READONLY));
    EXPECT_TRUE(def.IsReadOnly());
    EXPECT_EQ(def.GetData(), 0);
    EXPECT_EQ(def.GetFormat(), static_cast<DWORD>(DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS));
    EXPECT_EQ(def.GetTextColour(), CLR_DEFAULT);
    def.SetStyle(7);
    EXPECT_EQ(def.GetStyle(), 7u);
    // A default cell whose own format is unset does not ask itself.
    CGridCtrl g;
    CGridDefaultCell* normal = g.DefaultCellFor(FALSE, FALSE);
    normal->SetFormat(0xFFFFFFFF);
    EXPECT_EQ(normal->GetFormat(), 0xFFFFFFFFu);
}

TEST(CellDefault, StartsWithTheMessageBoxFont) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    CGridDefaultCell def;
    ASSERT_NE(def.GetFont(), nullptr);
    EXPECT_STREQ(def.GetFont()->lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(def.GetFont()->lfHeight, metrics.lfMessageFont.lfHeight);
    ASSERT_NE(def.GetFontObject(), nullptr);
    EXPECT_STREQ(FontOf(def.GetFontObject()).lfFaceName, metrics.lfMessageFont.lfFaceName);
}

namespace {
// Measures as the default cell does with no screen to measure on.
class ScreenlessDefaultCell : public CGridDefaultCell {
public:
    void MeasureWithoutScreen() { MeasureFont(nullptr); }
};
}  // namespace

TEST(CellDefault, MeasuresItsFontOnTheScreen) {
    const LOGFONTW fonts[] = {Font(L"Arial", -13), Font(L"Arial", -27), Font(L"\x5B8B\x4F53", -16)};  // 宋体
    for (const LOGFONTW& lf : fonts) {
        CGridDefaultCell def;
        def.SetFont(&lf);
        ASSERT_NE(def.GetFontObject(), nullptr);
        EXPECT_EQ(FontOf(def.GetFontObject()).lfHeight, lf.lfHeight);
        // What the font itself says, read back through the platform.
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, def.GetFontObject());
        SIZE space{}, sample{};
        GetTextExtentPoint32W(screen, L" ", 1, &space);
        GetTextExtentPoint32W(screen, L" XXXXXXXXXXXX ", 14, &sample);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        EXPECT_GT(sample.cx, space.cx);
        EXPECT_EQ(def.GetMargin(), static_cast<UINT>(space.cx));
        EXPECT_EQ(def.GetWidth(), sample.cx);
        EXPECT_EQ(def.GetHeight(), sample.cy * 3 / 2);
    }
    ScreenlessDefaultCell screenless;
    screenless.MeasureWithoutScreen();
    EXPECT_EQ(screenless.GetMargin(), 3u);
    EXPECT_EQ(screenless.GetWidth(), 40);
    EXPECT_EQ(screenless.GetHeight(), 16);

    CGridDefaultCell unchanged;
    const int width = unchanged.GetWidth();
    unchanged.SetFont(nullptr);
    EXPECT_EQ(unchanged.GetWidth(), width);
    EXPECT_NE(unchanged.GetFont(), nullptr);
}

// A font object handed out may be held (by an editor, a host) as long as its grid lives: a
// later request for another description must not delete it.
TEST(CellFont, AFontObjectHandedOutStaysValidAfterOtherRequests) {
    struct {
        const char* owner;
        bool inGrid;
    } cases[] = {{"cells of a grid", true}, {"cells of no grid", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.owner);
        CGridCtrl g;
        CGridCell first, second;
        if (c.inGrid) {
            first.SetOwnerGrid(&g);
            second.SetOwnerGrid(&g);
        }
        LOGFONTW a = Font(L"Arial", -11), b = Font(L"Arial", -23);
        first.SetFont(&a);
        second.SetFont(&b);
        HFONT forFirst = first.GetFontObject();
        ASSERT_NE(forFirst, nullptr);
        HFONT forSecond = second.GetFontObject();
        ASSERT_NE(forSecond, nullptr);
        EXPECT_NE(forSecond, forFirst);
        EXPECT_EQ(GetObjectType(forFirst), static_cast<DWORD>(OBJ_FONT)) << "the first object is still there";
        EXPECT_EQ(FontOf(forFirst).lfHeight, -11);
        EXPECT_EQ(FontOf(forSecond).lfHeight, -23);
        // The same description again, from another cell too, gives the same object.
        CGridCell third;
        if (c.inGrid) third.SetOwnerGrid(&g);
        third.SetFont(&a);
        EXPECT_EQ(first.GetFontObject(), forFirst);
        EXPECT_EQ(third.GetFontObject(), forFirst);
    }
}

TEST(CellEvents, BaseBehaviours) {
    CGridCell cell;
    EXPECT_FALSE(cell.BeginEdit(0, 0, CRect(), CPoint(), INPLACE_EDITOR_ID, 0));
    EXPECT_TRUE(cell.AcceptEditText("anything"));
    EXPECT_TRUE(cell.OnSetCursor());
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    cell.SetText("tip");
    EXPECT_EQ(cell.GetTipText(), "tip");
    CRect r(1, 2, 30, 40);
    EXPECT_TRUE(cell.GetTipRect(&r));
    EXPECT_EQ(r, CRect(1, 2, 30, 40));
    EXPECT_TRUE(cell.IsVisible());
    cell.SetVisible(false);
    EXPECT_FALSE(cell.IsVisible());
}
