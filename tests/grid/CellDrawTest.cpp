// A cell drawing, measuring and printing itself on a DIB section: the focus and selection
// branches, header edges, the sort mark, images, DT_NOPREFIX, the size of text, and the
// print colours. Expected pixels come from the system colours and the cell's own font.
#include <algorithm>
#include <vector>

#include "tests/grid/GridTestSupport.h"

namespace {
const COLORREF kPaper = RGB(0xFF, 0x00, 0xFF), kOwn = RGB(0x20, 0xC0, 0x20);

// A grid with one fixed row and column and a surface to draw its cells on, in the
// rectangle the grid would pass for a 60 x 30 cell at (10, 10).
struct CellSurface : GridInWindow {
    CellSurface() : GridInWindow(4, 4, 1, 1) {}
    DibSurface dib{120, 60, kPaper};
    CRect rect{10, 10, 69, 39};

    BOOL Draw(int row, int col, BOOL erase = FALSE) {
        dib.Fill(kPaper);
        return grid.GetCell(row, col)->Draw(&dib.dc, row, col, rect, erase);
    }
    COLORREF At(int x, int y) const { return dib.Pixel(x, y); }
    // The cell's font's height of "M", as the sort mark is sized.
    int MarkSize(int row, int col) {
        CSelectGuard font(dib.dc, grid.GetCell(row, col)->GetFontObject());
        return dib.dc.GetTextExtent("M").cy - 4;
    }
};

COLORREF Sys(int index) { return GetSysColor(index); }
}  // namespace

TEST(CellDraw, FocusAndDropHighlight) {
    const COLORREF hi = Sys(COLOR_HIGHLIGHT), hiText = Sys(COLOR_HIGHLIGHTTEXT);
    // With grid lines the frame lies inside them (x 10..68, y 10..38) while the fill also
    // covers the line pixels (x 69, y 39); without lines the frame encloses those too.
    // 0 below stands for the default text colour.
    const struct {
        DWORD state;
        int lines;
        BOOL framed;
        COLORREF inside, left, innerEdge, onLine;
    } cases[] = {
        {CELL_FOCUSED | CELL_SELECTED, 3, TRUE, hi, hiText, hiText, hi},
        {CELL_DROPHILITED | CELL_SELECTED, 3, TRUE, hi, hiText, hiText, hi},
        {CELL_FOCUSED | CELL_SELECTED, 0, TRUE, hi, hiText, hi, hiText},
        {CELL_FOCUSED | CELL_SELECTED, 3, FALSE, hi, hi, hi, hi},
        {CELL_FOCUSED, 3, TRUE, kPaper, 0, 0, kPaper},
    };
    for (const auto& c : cases) {
        CellSurface s;
        const COLORREF text = s.grid.DefaultCellFor(FALSE, FALSE)->GetTextColour();
        auto colour = [text](COLORREF c) { return c == 0 ? text : c; };
        s.grid.GridLineMode = c.lines;
        s.grid.FocusCellFramed = c.framed;
        s.grid.GetCell(2, 2)->SetState(c.state);
        ASSERT_TRUE(s.Draw(2, 2));
        EXPECT_EQ(s.At(30, 25), c.inside) << c.state << " " << c.lines;
        EXPECT_EQ(s.At(10, 25), colour(c.left)) << c.state << " " << c.lines;
        EXPECT_EQ(s.At(30, 10), colour(c.left)) << c.state << " " << c.lines;
        EXPECT_EQ(s.At(68, 25), colour(c.innerEdge)) << c.state << " " << c.lines;
        EXPECT_EQ(s.At(30, 38), colour(c.innerEdge)) << c.state << " " << c.lines;
        EXPECT_EQ(s.At(69, 25), colour(c.onLine)) << c.state << " " << c.lines;
        EXPECT_EQ(s.At(30, 39), colour(c.onLine)) << c.state << " " << c.lines;
        EXPECT_EQ(s.At(70, 25), kPaper);
    }
}

TEST(CellDraw, SelectionAndBackgrounds) {
    CellSurface s;
    CGridCellBase* cell = s.grid.GetCell(2, 2);
    const COLORREF normal = s.grid.DefaultCellFor(FALSE, FALSE)->GetBackColour();
    const struct {
        DWORD state;
        COLORREF own;
        BOOL erase;
        COLORREF inside;
    } cases[] = {
        {0, CLR_DEFAULT, FALSE, kPaper},             // the grid painted the background already
        {0, CLR_DEFAULT, TRUE, normal},
        {0, kOwn, FALSE, kOwn},                      // an own colour always paints
        {CELL_SELECTED, kOwn, FALSE, Sys(COLOR_HIGHLIGHT)},  // selection ignores it
    };
    for (const auto& c : cases) {
        cell->SetState(c.state);
        cell->SetBackColour(c.own);
        ASSERT_TRUE(s.Draw(2, 2, c.erase));
        EXPECT_EQ(s.At(30, 25), c.inside);
        EXPECT_EQ(s.At(69, 39), c.inside) << "a fill covers the cell's line pixels";
        EXPECT_EQ(s.At(70, 40), kPaper);
    }
}

TEST(CellDraw, HeaderEdges) {
    const COLORREF light = Sys(COLOR_BTNHIGHLIGHT), dark = Sys(COLOR_3DDKSHADOW);
    // The pressed look as the platform draws it on the cell grown over its lines.
    DibSurface sunken(120, 60, kPaper);
    CRect grown(10, 10, 70, 40);
    DrawEdge(sunken.dc, &grown, BDR_SUNKENINNER, BF_RECT);
    const POINT edgePixels[] = {{10, 25}, {30, 10}, {69, 25}, {30, 39}};

    const struct {
        int lines;
        BOOL highlightHeaders;
        int focusCol;
        const char* look;
    } cases[] = {{3, TRUE, 2, "raised"},   // the focus is in another column
                 {3, TRUE, 1, "sunken"},   // the header of the focus column
                 {3, FALSE, 1, "raised"},
                 {0, TRUE, 1, "none"}};    // no lines, no edges
    for (const auto& c : cases) {
        CellSurface s;
        s.grid.GridLineMode = c.lines;
        s.grid.HighlightFocusHeaders = c.highlightHeaders;
        s.grid.MoveFocusTo(2, c.focusCol);
        ASSERT_TRUE(s.Draw(0, 1));
        const std::string look = c.look;
        if (look == "raised") {
            EXPECT_EQ(s.At(10, 25), light);
            EXPECT_EQ(s.At(30, 10), light);
            EXPECT_EQ(s.At(69, 25), dark);
            EXPECT_EQ(s.At(30, 39), dark);
        } else if (look == "sunken") {
            for (POINT p : edgePixels) EXPECT_EQ(s.At(p.x, p.y), sunken.Pixel(p.x, p.y)) << p.x << "," << p.y;
        } else {
            for (POINT p : edgePixels) EXPECT_EQ(s.At(p.x, p.y), kPaper) << p.x << "," << p.y;
        }
    }
}

TEST(CellDraw, SortMarkInTheSortColumnsHeader) {
    const COLORREF shadow = Sys(COLOR_BTNSHADOW);
    ASSERT_NE(shadow, Sys(COLOR_3DDKSHADOW)) << "the mark must be told from the edge";
    CellSurface s;
    CGridCtrl& g = s.grid;
    g.SortColumn = 2;
    const int a = s.MarkSize(0, 2), margin = static_cast<int>(g.GetCell(0, 2)->GetMargin());
    ASSERT_GT(a, 0);
    // Inside the raised edge and the margins; bottom-right, two pixels above the edge.
    const int right = s.rect.right - 1 - margin, bottom = s.rect.bottom - 1;
    const int x = right - a, t = bottom - a - 2;
    for (BOOL ascending : {TRUE, FALSE}) {
        g.SortAscending = ascending;
        ASSERT_TRUE(s.Draw(0, 2));
        EXPECT_EQ(s.At(x + a / 2, ascending ? t : t + a), shadow) << "the point";
        EXPECT_EQ(s.At(x, ascending ? t + a : t), shadow) << "a corner of the base";
        EXPECT_NE(s.At(x, ascending ? t : t + a), shadow) << "no corner there";
    }
    // Horizontal text stops short of the mark.
    g.GetCell(0, 2)->SetFormat(DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    g.GetCell(0, 2)->SetText("WWWWWWWWWW");
    ASSERT_TRUE(s.Draw(0, 2));
    const COLORREF text = g.DefaultCellFor(TRUE, FALSE)->GetTextColour();
    EXPECT_GT(s.dib.Count(CRect(11, 11, x, bottom), text), 0);
    EXPECT_EQ(s.dib.Count(CRect(x, 11, right, bottom), text), 0);

    // Only row 0 of the sort column, and only when the mark fits.
    ASSERT_TRUE(s.Draw(0, 1));
    EXPECT_EQ(s.dib.Count(shadow), 0);
    g.SortColumn = 1;
    g.GetCell(1, 1)->SetState(CELL_FIXED | CELL_FIXEDCOL);
    ASSERT_TRUE(s.Draw(1, 1));
    EXPECT_EQ(s.dib.Count(shadow), 0);
    s.rect = CRect(10, 10, 10 + a, 39);
    ASSERT_TRUE(s.Draw(0, 1));
    EXPECT_EQ(s.dib.Count(shadow), 0);
}

TEST(CellDraw, TextIsDrawnWithoutPrefixes) {
    CellSurface s;
    CGridCellBase* cell = s.grid.GetCell(2, 2);
    cell->SetFormat(DT_LEFT | DT_TOP | DT_SINGLELINE);
    cell->SetText("&&x&y");
    ASSERT_TRUE(s.Draw(2, 2));
    auto reference = [&](UINT extra) {
        auto dib = std::make_unique<DibSurface>(120, 60, kPaper);
        CSelectGuard font(dib->dc, cell->GetFontObject());
        dib->dc.SetBkMode(TRANSPARENT);
        dib->dc.SetTextColor(s.grid.DefaultCellFor(FALSE, FALSE)->GetTextColour());
        CRect r = s.rect;
        r.DeflateRect(static_cast<int>(cell->GetMargin()), 0);
        dib->dc.DrawText("&&x&y", &r, DT_LEFT | DT_TOP | DT_SINGLELINE | extra);
        return dib;
    };
    EXPECT_TRUE(s.dib.SameAs(*reference(DT_NOPREFIX)));
    EXPECT_FALSE(s.dib.SameAs(*reference(0))) << "prefix handling would change the picture";
}

TEST(CellDraw, ImageFromTheGridsList) {
    CellSurface s;
    CGridCtrl& g = s.grid;
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    ASSERT_NE(list, nullptr);
    {
        DibSurface red(16, 16, RGB(0xFF, 0, 0));
        HBITMAP bitmap = static_cast<HBITMAP>(red.bitmap.GetSafeHandle());
        red.dc.SelectObject(red.old);  // a bitmap goes into the list unselected
        ASSERT_EQ(ImageList_Add(list, bitmap, nullptr), 0);
        red.dc.SelectObject(bitmap);
    }
    IMAGEINFO info{};
    ASSERT_TRUE(ImageList_GetImageInfo(list, 0, &info));
    const int imageWidth = info.rcImage.right - info.rcImage.left + 1;
    g.ImageList = list;
    CGridCellBase* cell = g.GetCell(2, 2);
    const int margin = static_cast<int>(cell->GetMargin());
    cell->SetText("text");

    const CSize plain = cell->MeasureCell(&s.dib.dc);
    cell->SetImage(0);
    ASSERT_TRUE(s.Draw(2, 2));
    EXPECT_EQ(s.dib.Count(RGB(0xFF, 0, 0)), 16 * 16);
    EXPECT_EQ(s.At(10 + margin, 10), RGB(0xFF, 0, 0)) << "at the top left inside the margin";
    CRect text = s.rect;
    ASSERT_TRUE(cell->GetTextRect(&text));
    EXPECT_EQ(text.left, s.rect.left + margin + imageWidth);
    EXPECT_EQ(cell->MeasureCell(&s.dib.dc), CSize(plain.cx + imageWidth, std::max<LONG>(plain.cy, 17)));

    s.rect = CRect(10, 10, 20, 20);  // too small for the image
    ASSERT_TRUE(s.Draw(2, 2));
    EXPECT_EQ(s.dib.Count(RGB(0xFF, 0, 0)), 0);
    cell->SetImage(5);  // not in the list
    text = CRect(0, 0, 50, 20);
    cell->GetTextRect(&text);
    EXPECT_EQ(text.left, 0);
    g.ImageList = nullptr;
    ImageList_Destroy(list);
}

TEST(CellDraw, WhatIsNotDrawn) {
    CellSurface s;
    CGridCtrl& g = s.grid;
    g.MergeCells(2, 1, 2, 2);
    g.GetCell(2, 2)->SetBackColour(kOwn);
    EXPECT_TRUE(s.Draw(2, 2, TRUE)) << "a covered member draws nothing, successfully";
    EXPECT_EQ(s.dib.Count(kPaper), 120 * 60);
    g.GetCell(2, 1)->SetBackColour(kOwn);
    EXPECT_TRUE(s.Draw(2, 1)) << "the hidden origin of a block draws";
    EXPECT_EQ(s.At(30, 25), kOwn);

    CGridCell orphan;
    EXPECT_FALSE(orphan.Draw(&s.dib.dc, 0, 0, s.rect, TRUE));
    EXPECT_FALSE(orphan.Print(&s.dib.dc, 0, 0, s.rect));
    CGridCellBase* cell = g.GetCell(1, 1);
    EXPECT_FALSE(cell->Draw(nullptr, 1, 1, s.rect, TRUE));
    EXPECT_FALSE(cell->Draw(&s.dib.dc, 1, 1, CRect(10, 10, 10, 30), TRUE));
    EXPECT_FALSE(cell->Print(&s.dib.dc, 1, 1, CRect(10, 10, 40, 10)));
}

TEST(CellMeasure, TextSizes) {
    CellSurface s;
    CGridCellBase* cell = s.grid.GetCell(2, 2);
    const CGridDefaultCell* def = cell->GetDefaultCell();
    EXPECT_EQ(cell->MeasureText(nullptr, &s.dib.dc), CSize(def->GetWidth(), def->GetHeight()));
    EXPECT_EQ(cell->MeasureText(nullptr), CSize(def->GetWidth(), def->GetHeight()));

    LOGFONTW lf = *def->GetFont();
    lf.lfHeight = -17;
    cell->SetFont(&lf);
    const int margin = static_cast<int>(cell->GetMargin());
    const std::string text = "Measure 测量";
    CSize extent;
    TEXTMETRICW tm{};
    {
        CSelectGuard font(s.dib.dc, cell->GetFontObject());
        extent = s.dib.dc.GetTextExtent(text);
        s.dib.dc.GetTextMetrics(&tm);
    }
    const CSize flat(extent.cx + tm.tmOverhang + 4 * margin, extent.cy + 2 * margin);
    EXPECT_EQ(cell->MeasureText(&text, &s.dib.dc), flat);
    EXPECT_EQ(cell->MeasureText(&text), flat) << "on the grid window's own context";

    // Down the cell: width and height change places, the height gets the margins again.
    for (int escapement : {900, -900}) {
        lf.lfEscapement = lf.lfOrientation = escapement;
        cell->SetFont(&lf);
        EXPECT_EQ(cell->MeasureText(&text, &s.dib.dc), CSize(flat.cy, flat.cx + 4 * margin)) << escapement;
    }
    lf.lfEscapement = lf.lfOrientation = 0;
    cell->SetFont(&lf);

    // Wrapped text: as wide as its widest line, as high as its lines.
    cell->SetFormat(DT_LEFT | DT_WORDBREAK);
    const std::string lines = "ab\nthe longest line\ncd";
    CSize widest;
    {
        CSelectGuard font(s.dib.dc, cell->GetFontObject());
        widest = s.dib.dc.GetTextExtent("the longest line");
    }
    EXPECT_EQ(cell->MeasureText(&lines, &s.dib.dc),
              CSize(widest.cx + tm.tmOverhang + 4 * margin, 3 * tm.tmHeight + 2 * margin));
}

TEST(CellPrint, ColoursForColourAndTwoColourDevices) {
    CellSurface s;
    CGridCtrl& g = s.grid;
    const CGridDefaultCell* normal = g.DefaultCellFor(FALSE, FALSE);
    const CGridDefaultCell* header = g.DefaultCellFor(TRUE, FALSE);
    const COLORREF text = normal->GetTextColour();
    const struct {
        int row;
        COLORREF ownBack, ownText;
        BOOL twoColour;
        COLORREF back, printedText;
    } cases[] = {
        {2, CLR_DEFAULT, CLR_DEFAULT, FALSE, CLR_DEFAULT, text},  // paper for the normal background
        {2, normal->GetBackColour(), CLR_DEFAULT, FALSE, CLR_DEFAULT, text},
        {2, kOwn, CLR_DEFAULT, FALSE, kOwn, text},
        {0, CLR_DEFAULT, CLR_DEFAULT, FALSE, header->GetBackColour(), header->GetTextColour()},
        {0, kOwn, RGB(1, 2, 3), FALSE, kOwn, RGB(1, 2, 3)},
        {2, CLR_DEFAULT, RGB(200, 100, 50), TRUE, CLR_DEFAULT, RGB(60, 59, 5)},  // darkened, truncated
        {2, CLR_DEFAULT, RGB(255, 255, 255), TRUE, CLR_DEFAULT, RGB(76, 150, 28)},
        {2, CLR_DEFAULT, RGB(0, 0, 0), TRUE, CLR_DEFAULT, RGB(0, 0, 0)},
        {2, kOwn, RGB(200, 100, 50), TRUE, kOwn, RGB(200, 100, 50)},  // on its own background: kept
    };
    for (const auto& c : cases) {
        CGridCellBase* cell = g.GetCell(c.row, 2);
        cell->SetBackColour(c.ownBack);
        cell->SetTextColour(c.ownText);
        COLORREF back = 0, printed = 0;
        ASSERT_TRUE(cell->GetPrintColours(c.twoColour, &back, &printed));
        EXPECT_EQ(back, c.back) << c.row << " " << c.twoColour;
        EXPECT_EQ(printed, c.printedText) << c.row << " " << c.twoColour;
    }
    CGridCell orphan;
    COLORREF back, printed;
    EXPECT_FALSE(orphan.GetPrintColours(FALSE, &back, &printed));
}

TEST(CellPrint, OutlineFillAndText) {
    CellSurface s;
    CGridCtrl& g = s.grid;
    s.dib.dc.SetPrinting(TRUE);
    CGridCellBase* cell = g.GetCell(2, 2);
    cell->SetFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    cell->SetText("WWW");
    cell->SetBackColour(kOwn);
    cell->SetTextColour(RGB(0, 0, 0xC0));
    SelectObject(s.dib.dc, GetStockObject(BLACK_PEN));
    SelectObject(s.dib.dc, GetStockObject(NULL_BRUSH));

    ASSERT_TRUE(cell->Print(&s.dib.dc, 2, 2, s.rect));
    // The outline one pixel outside the rectangle's left and top; the fill covers the
    // rectangle with its line pixels, where the outline's right and bottom were.
    EXPECT_EQ(s.At(9, 25), RGB(0, 0, 0));
    EXPECT_EQ(s.At(30, 9), RGB(0, 0, 0));
    EXPECT_EQ(s.At(69, 39), kOwn);
    EXPECT_EQ(s.At(70, 25), kPaper);
    EXPECT_GT(s.dib.Count(RGB(0, 0, 0xC0)), 0);

    g.PrintInColour = FALSE;
    s.dib.Fill(kPaper);
    ASSERT_TRUE(cell->Print(&s.dib.dc, 2, 2, s.rect));
    EXPECT_EQ(s.At(30, 12), kPaper) << "no fill";
    EXPECT_EQ(s.dib.Count(RGB(0, 0, 0xC0)), 0);
    EXPECT_GT(s.dib.Count(CRect(10, 10, 69, 39), RGB(0, 0, 0)), 0) << "black text";

    // A metafile, as a printer driver records it, plays back with the cell's colours.
    g.PrintInColour = TRUE;
    s.dib.Fill(kPaper);
    const HDC recording = CreateEnhMetaFileW(s.dib.dc, nullptr, nullptr, nullptr);
    ASSERT_NE(recording, nullptr);
    CDC emf(recording);
    emf.SetPrinting(TRUE);
    SetPixelV(emf, 0, 0, kPaper);  // the recording spans the whole surface
    SetPixelV(emf, 119, 59, kPaper);
    ASSERT_TRUE(cell->Print(&emf, 2, 2, s.rect));
    HENHMETAFILE recorded = CloseEnhMetaFile(recording);
    ASSERT_NE(recorded, nullptr);
    CRect all(0, 0, 120, 60);
    PlayEnhMetaFile(s.dib.dc, recorded, &all);
    DeleteEnhMetaFile(recorded);
    EXPECT_EQ(s.At(30, 12), kOwn);
    EXPECT_GT(s.dib.Count(RGB(0, 0, 0xC0)), 0);
}

TEST(CellDraw, FormatFlagsThatCannotDrawAreLeftOut) {
    // DT_CALCRECT would draw nothing, DT_MODIFYSTRING would have the system write into the
    // text's temporary copy: neither reaches drawing, so each draws what the format without
    // it draws.
    CellSurface s;
    CGridCellBase* cell = s.grid.GetCell(2, 2);
    const std::string text = "A text far too long for its cell";
    cell->SetText(text);
    const DWORD plain = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    cell->SetFormat(plain);
    ASSERT_TRUE(s.Draw(2, 2, TRUE));
    const std::vector<DWORD> expected(s.dib.bits, s.dib.bits + s.dib.width * s.dib.height);
    const COLORREF ink = s.grid.DefaultCellFor(FALSE, FALSE)->GetTextColour();
    ASSERT_GT(s.dib.Count(s.rect, ink), 20) << "the text is drawn";
    for (DWORD extra : {DWORD(DT_CALCRECT), DWORD(DT_MODIFYSTRING), DWORD(DT_CALCRECT | DT_MODIFYSTRING)}) {
        cell->SetFormat(plain | extra);
        ASSERT_TRUE(s.Draw(2, 2, TRUE));
        GdiFlush();
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), s.dib.bits)) << std::hex << extra;
        EXPECT_EQ(cell->GetText(), text);
    }
}
