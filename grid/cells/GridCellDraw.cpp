// Drawing, measuring and printing of the plain cell: the base implementation that the
// ordinary, default, date and number cells use as it is and the other cell kinds build on.
//
// Rectangles come from the grid with right and bottom on the cell's grid lines; filled as
// usual (right and bottom exclusive) they leave the grid lines alone, and grown by one pixel
// they cover them.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "grid/GridCtrl.h"
#include "grid/cells/CellText.h"
#include "grid/cells/GridCellBase.h"
#include "grid/cells/GridDefaultCell.h"

namespace {

// The DrawText flags a cell's format may bring to drawing. DT_CALCRECT would draw nothing,
// DT_MODIFYSTRING would have the system write into a temporary copy of the text, and
// DT_TABSTOP would read the flags forced beside the format as a tab length.
constexpr UINT DRAWABLE_FORMATS = DT_TOP | DT_LEFT | DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_WORDBREAK |
                                  DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_EXTERNALLEADING | DT_NOPREFIX |
                                  DT_INTERNAL | DT_EDITCONTROL | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_RTLREADING |
                                  DT_WORD_ELLIPSIS | DT_NOFULLWIDTHCHARBREAK | DT_HIDEPREFIX | DT_PREFIXONLY;

// The format a cell's text is drawn (or printed) with.
UINT DrawFormatOf(const CGridCellBase& cell) { return (cell.GetFormat() & DRAWABLE_FORMATS) | DT_NOPREFIX; }

// The grid's image `image`, when it has an image list holding that image.
bool ImageOf(const CGridCtrl* grid, int image, IMAGEINFO* info) {
    return grid && grid->ImageList && image >= 0 && ImageList_GetImageInfo(grid->ImageList, image, info);
}

// An image's size as the cell geometry counts it: the image rectangle, both edges included.
CSize ImageSize(const IMAGEINFO& info) {
    return CSize(info.rcImage.right - info.rcImage.left + 1, info.rcImage.bottom - info.rcImage.top + 1);
}

int MarginOf(const CGridCellBase& cell) {
    const UINT margin = cell.GetMargin();
    return margin == 0xFFFFFFFF ? 0 : static_cast<int>(margin);
}

// A header's raised look: light along the top and left, dark along the right and bottom;
// then the rectangle shrinks past the edge.
void DrawRaisedEdge(CDC* dc, CRect& rect) {
    CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    CPen dark(PS_SOLID, 1, ::GetSysColor(COLOR_3DDKSHADOW));
    {
        CSelectGuard select(*dc, light);
        dc->MoveTo(rect.right, rect.top);
        dc->LineTo(rect.left, rect.top);
        dc->LineTo(rect.left, rect.bottom);
    }
    {
        CSelectGuard select(*dc, dark);
        dc->MoveTo(rect.right, rect.top);
        dc->LineTo(rect.right, rect.bottom);
        dc->LineTo(rect.left, rect.bottom);
    }
    rect.DeflateRect(1, 1);
}

// A closed outline through three corners with `pen`.
void Triangle(CDC* dc, HPEN pen, POINT a, POINT b, POINT c) {
    CSelectGuard select(*dc, pen);
    dc->MoveTo(a.x, a.y);
    dc->LineTo(b.x, b.y);
    dc->LineTo(c.x, c.y);
    dc->LineTo(a.x, a.y);
}

// The sort column's header mark: a triangle of side `a` pointing up (ascending) or down,
// drawn twice, light and one pixel off, then in shadow, so that it looks engraved.
void DrawSortMark(CDC* dc, int x, int t, int a, bool ascending) {
    CPen shadow(PS_SOLID, 0, ::GetSysColor(COLOR_BTNSHADOW));
    CPen light(PS_SOLID, 0, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    for (int offset : {1, 0}) {
        const HPEN pen = offset ? static_cast<HPEN>(light) : static_cast<HPEN>(shadow);
        const int left = x + offset, top = t + offset;
        if (ascending)
            Triangle(dc, pen, {left, top + a}, {left + a / 2, top}, {left + a, top + a});
        else
            Triangle(dc, pen, {left, top}, {left + a / 2, top + a}, {left + a, top});
    }
}

// Fills `rect` with `colour` through the context's own brush: no brush object made, and far
// cheaper than an opaque empty text.
void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
    const COLORREF old = ::SetDCBrushColor(dc, colour);
    ::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    ::SetDCBrushColor(dc, old);
}

// The text colours and background mode a cell's drawing changes, put back at the end of the
// scope: all of the context's state that drawing touches, at a fraction of SaveDC's cost.
class CTextStateGuard {
public:
    explicit CTextStateGuard(HDC dc)
        : m_dc(dc), m_text(::GetTextColor(dc)), m_back(::GetBkColor(dc)), m_mode(::GetBkMode(dc)) {}
    ~CTextStateGuard() {
        ::SetTextColor(m_dc, m_text);
        ::SetBkColor(m_dc, m_back);
        ::SetBkMode(m_dc, m_mode);
    }
    CTextStateGuard(const CTextStateGuard&) = delete;
    CTextStateGuard& operator=(const CTextStateGuard&) = delete;

private:
    HDC m_dc;
    COLORREF m_text, m_back;
    int m_mode;
};

// `font` when the context does not hold it already (the grid selects its usual font once
// for a whole paint), else none: nothing to select.
HGDIOBJ FontToSelect(HDC dc, HFONT font) { return font && ::GetCurrentObject(dc, OBJ_FONT) != font ? font : nullptr; }

bool IsVertical(const LOGFONTW* font, bool eitherWay) {
    return font && (font->lfEscapement == 900 || (eitherWay && font->lfEscapement == -900));
}

}  // namespace

BOOL CGridCellBase::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
    // A covered member of a merged block is drawn by the block's origin.
    if (!IsVisible() && !IsSpanned()) return TRUE;
    CGridCtrl* grid = GetOwnerGrid();
    if (!grid || !dc || !dc->GetSafeHdc() || rect.Width() <= 0 || rect.Height() <= 0) return FALSE;
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def) return FALSE;
    CTextStateGuard state(*dc);
    dc->SetBkMode(TRANSPARENT);

    COLORREF text = GetTextColour() == CLR_DEFAULT ? def->GetTextColour() : GetTextColour();
    COLORREF back = def->GetBackColour();
    if (GetBackColour() != CLR_DEFAULT) {
        // A cell with a background of its own always paints it.
        back = GetBackColour();
        eraseBkgnd = TRUE;
    }

    if (IsFocused() || IsDropHighlighted()) {
        if (IsSelected()) {
            back = ::GetSysColor(COLOR_HIGHLIGHT);
            text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
            eraseBkgnd = TRUE;
        }
        rect.InflateRect(0, 0, 1, 1);
        if (eraseBkgnd) {
            CBrush brush(back);
            if (brush) dc->FillRect(rect, brush);
        }
        // Without grid lines the frame encloses the whole cell; with them it stays inside.
        if (grid->GridLineMode != 0) rect.DeflateRect(0, 0, 1, 1);
        if (grid->FocusCellFramed) {
            CBrush brush(text);
            if (brush) dc->FrameRect(rect, brush);
        }
        dc->SetTextColor(text);
        if (grid->GridLineMode == 0) rect.DeflateRect(0, 0, 1, 1);
        rect.DeflateRect(0, 1, 1, 1);
    } else if (IsSelected()) {
        rect.InflateRect(0, 0, 1, 1);
        FillColour(*dc, rect, ::GetSysColor(COLOR_HIGHLIGHT));
        rect.DeflateRect(0, 0, 1, 1);
        dc->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        if (eraseBkgnd) {
            rect.InflateRect(0, 0, 1, 1);
            FillColour(*dc, rect, back);
            rect.DeflateRect(0, 0, 1, 1);
        }
        dc->SetTextColor(text);
    }

    if (IsFixed() && grid->GridLineMode != 0) {
        const CGridCellId focus = grid->GetFocusCell();
        if (grid->HighlightFocusHeaders && grid->IsValidCell(focus) && (focus.row == row || focus.col == col)) {
            // The headers of the focus row and column look pressed.
            rect.InflateRect(0, 0, 1, 1);
            dc->DrawEdge(&rect, BDR_SUNKENINNER, BF_RECT);
            rect.DeflateRect(1, 1);
        } else {
            DrawRaisedEdge(dc, rect);
        }
    }

    // A printer gets its fonts from the print code, scaled to its resolution.
    CSelectGuard font(*dc, dc->IsPrinting() ? nullptr : FontToSelect(*dc, GetFontObject()));
    const int margin = MarginOf(*this);
    rect.DeflateRect(margin, 0);

    IMAGEINFO image{};
    if (ImageOf(grid, GetImage(), &image)) {
        const CSize size = ImageSize(image);
        if (rect.left + size.cx <= rect.right + 2 * margin && rect.top + size.cy <= rect.bottom + 2 * margin)
            ImageList_Draw(grid->ImageList, GetImage(), *dc, rect.left, rect.top, ILD_NORMAL);
    }

    if (grid->SortColumn == col && row == 0) {
        int a = dc->GetTextExtent("M").cy - 4;
        if (a >= rect.Height()) a = rect.Height() - 4;
        const bool vertical = IsVertical(GetFont(), false);
        if (a > 0 && rect.left + a < rect.right + 2 * margin) {
            const int t = rect.bottom - a - 2;
            const int x = vertical ? (rect.right + rect.left - a) / 2 : rect.right - a;
            DrawSortMark(dc, x, t, a, grid->SortAscending != FALSE);
            // Horizontal text stops short of the mark.
            if (!vertical) rect.right -= a;
        }
    }

    GetTextRect(&rect);
    celltext::Draw(*dc, GetText(), rect, DrawFormatOf(*this));
    return TRUE;
}

BOOL CGridCellBase::GetTextRect(RECT* rect) {
    IMAGEINFO image{};
    if (rect && ImageOf(GetOwnerGrid(), GetImage(), &image)) rect->left += MarginOf(*this) + ImageSize(image).cx;
    return TRUE;
}

CSize CGridCellBase::MeasureText(const std::string* text, CDC* dc) {
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def) return CSize(0, 0);
    const CSize fallback(def->GetWidth(), def->GetHeight());
    if (!text) return fallback;
    std::unique_ptr<CClientDC> own;
    if (!dc) {
        // The grid's window; before it has one, the screen, which it will be shown on.
        own = std::make_unique<CClientDC>(GetOwnerGrid()->GetSafeHwnd());
        if (!own->GetSafeHdc()) return fallback;
        dc = own.get();
    }

    const int margin = MarginOf(*this);
    const HFONT fontObject = GetFontObject();
    const DWORD format = GetFormat() & DRAWABLE_FORMATS;
    const bool wrapped = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    CSize size;
    int overhang = 0;
    // An autosize has the widths of the characters met so far: no system call per text.
    if (wrapped || !GetOwnerGrid()->MeasuredTextExtent(dc->GetSafeHdc(), fontObject, *text, &size, &overhang)) {
        CSelectGuard font(*dc, fontObject);
        if (wrapped) {
            // Wrapped text is as wide as its widest line; DrawText works out the rest.
            int widest = 0;
            for (size_t start = 0; start <= text->size();) {
                size_t end = text->find('\n', start);
                if (end == std::string::npos) end = text->size();
                widest = std::max<int>(widest, dc->GetTextExtent(text->substr(start, end - start)).cx);
                start = end + 1;
            }
            CRect calc(0, 0, widest + 1, 0);
            dc->DrawText(*text, &calc, format | DT_CALCRECT);
            size = CSize(calc.Width(), calc.Height());
        } else {
            size = dc->GetTextExtent(*text);
        }
        TEXTMETRICW metrics{};
        dc->GetTextMetrics(&metrics);
        overhang = metrics.tmOverhang;
    }
    size.cx += overhang + 4 * margin;
    size.cy += 2 * margin;
    // Vertical text runs down the cell: its extent's width is the cell's height.
    if (IsVertical(GetFont(), true)) return CSize(size.cy, size.cx + 4 * margin);
    return size;
}

CSize CGridCellBase::MeasureCell(CDC* dc) {
    const std::string text = GetText();
    CSize size = MeasureText(&text, dc);
    IMAGEINFO image{};
    if (ImageOf(GetOwnerGrid(), GetImage(), &image)) {
        const CSize imageSize = ImageSize(image);
        size.cx += imageSize.cx;
        size.cy = std::max(size.cy, imageSize.cy);
    }
    return size;
}

BOOL CGridCellBase::GetPrintColours(BOOL twoColourDevice, COLORREF* back, COLORREF* text) const {
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def) return FALSE;
    const COLORREF own = GetBackColour();
    if (IsFixed())
        *back = own == CLR_DEFAULT ? def->GetBackColour() : own;
    else
        // Paper is the normal background: only a colour that stands out is printed.
        *back = own != CLR_DEFAULT && own != def->GetBackColour() ? own : CLR_DEFAULT;
    *text = GetTextColour() == CLR_DEFAULT ? def->GetTextColour() : GetTextColour();
    if (twoColourDevice && *back == CLR_DEFAULT) {
        // Light text on bare paper would vanish on a black-and-white printer: darken it.
        // In whole hundredths: 200 x 0.30 is 60, where doubles would truncate to 59.
        *text = RGB(GetRValue(*text) * 30 / 100, GetGValue(*text) * 59 / 100, GetBValue(*text) * 11 / 100);
    }
    return TRUE;
}

BOOL CGridCellBase::Print(CDC* dc, int row, int col, CRect rect) {
    if (!IsVisible() && !IsSpanned()) return TRUE;
    CGridCtrl* grid = GetOwnerGrid();
    if (!grid || !dc || !dc->GetSafeHdc() || rect.Width() <= 0 || rect.Height() <= 0) return FALSE;
    CSaveDCGuard saved(*dc);
    dc->SetBkMode(TRANSPARENT);

    // The cell's outline in the context's own pen and brush.
    rect.InflateRect(1, 1);
    dc->Rectangle(rect);
    rect.DeflateRect(1, 1);

    if (grid->PrintInColour) {
        COLORREF back = CLR_DEFAULT, text = 0;
        if (!GetPrintColours(dc->GetDeviceCaps(NUMCOLORS) == 2, &back, &text)) return FALSE;
        if (back != CLR_DEFAULT) dc->FillSolidRect(CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1), back);
        dc->SetTextColor(text);
    } else {
        dc->SetTextColor(RGB(0, 0, 0));
    }

    CSelectGuard font(*dc, GetFontObject());
    if (grid->GridLineMode != 0 && IsFixed()) DrawRaisedEdge(dc, rect);
    const int margin = MarginOf(*this);
    rect.DeflateRect(margin, 0);
    IMAGEINFO image{};
    if (ImageOf(grid, GetImage(), &image)) {
        ImageList_Draw(grid->ImageList, GetImage(), *dc, rect.left, rect.top, ILD_NORMAL);
        rect.left += image.rcImage.right - image.rcImage.left + margin;
    }
    dc->DrawText(GetText(), &rect, DrawFormatOf(*this));
    return TRUE;
}
