// Autosizing: a column fitted to its widest cell, a row to its tallest, each cell measured
// by its own MeasureCell. While an autosize runs, a cell's single-line text is measured from
// tables of character widths, one per font (CGridCharWidths), filled as characters are met:
// the same pixels as asking the system for every text, for a fraction of the cost.
#include <algorithm>
#include <map>
#include <memory>

#include "framework/GbkText.h"
#include "grid/CharWidths.h"
#include "grid/GridCtrl.h"

// The width tables of one autosize on one surface. Made on the grid while it measures, so
// that the cells' MeasureText finds it (MeasuredTextExtent); gone when the autosize ends,
// since a font object may be deleted and its handle reused afterwards.
class CGridCtrl::CMeasuring {
public:
    CMeasuring(CGridCtrl& grid, HDC dc) : m_grid(grid), m_dc(dc), m_outer(grid.m_measuring) {
        grid.m_measuring = this;
    }
    ~CMeasuring() { m_grid.m_measuring = m_outer; }
    CMeasuring(const CMeasuring&) = delete;
    CMeasuring& operator=(const CMeasuring&) = delete;

    HDC Dc() const { return m_dc; }

    // The extent of `text` in `font` and the font's overhang.
    void Measure(HFONT font, const std::string& text, CSize* extent, int* overhang) {
        Font& f = For(font);
        const CGridCharWidths::Extent e = f.widths->TextExtent(text);
        *extent = CSize(e.cx, e.cy);
        *overhang = f.overhang;
    }

private:
    struct Font {
        std::unique_ptr<CGridCharWidths> widths;  // its characters' widths
        int overhang = 0;                         // from its text metrics
    };

    Font& For(HFONT font) {
        auto found = m_fonts.find(font);
        if (found != m_fonts.end()) return found->second;
        Font made;
        {
            CSelectGuard select(m_dc, font);
            TEXTMETRICW metrics{};
            ::GetTextMetricsW(m_dc, &metrics);
            made.overhang = metrics.tmOverhang;
        }
        const HDC dc = m_dc;
        made.widths = std::make_unique<CGridCharWidths>([dc, font](std::string_view gbk) {
            CSelectGuard select(dc, font);
            const std::wstring wide = gbk::ToWide(gbk);
            SIZE size{0, 0};
            ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
            return CGridCharWidths::Extent{size.cx, size.cy};
        });
        return m_fonts.emplace(font, std::move(made)).first->second;
    }

    CGridCtrl& m_grid;                 // whose cells are measured
    HDC m_dc;                          // the surface they are measured on
    CMeasuring* m_outer;               // the autosize this one runs inside; none mostly
    std::map<HFONT, Font> m_fonts;     // the tables of the fonts met so far
};

BOOL CGridCtrl::MeasuredTextExtent(HDC dc, HFONT font, const std::string& text, CSize* extent, int* overhang) {
    if (!m_measuring || !dc || m_measuring->Dc() != dc) return FALSE;
    if (!font) font = static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT));
    m_measuring->Measure(font, text, extent, overhang);
    return TRUE;
}

BOOL CGridCtrl::WidestCell(CDC& dc, int col, int first, int last, int* width) {
    bool measured = false;
    int widest = 0;
    for (int row = std::max(first, 0); row <= std::min(last, m_rows - 1); ++row) {
        CGridCellBase* cell = GetCell(row, col);
        if (!cell) continue;
        widest = std::max<int>(widest, cell->MeasureCell(&dc).cx);
        measured = true;
    }
    *width = widest;
    return measured;
}

BOOL CGridCtrl::FitColumn(CDC& dc, int col, int scope) {
    // A hidden column stays hidden.
    if (col < 0 || col >= m_cols || GetColumnWidth(col) <= 0) return FALSE;
    if (scope == 0) scope = AutoSizeScope;
    const int first = (scope & 1) ? 0 : m_fixedRows;
    const int last = (scope & 2) ? m_rows - 1 : m_fixedRows - 1;
    int width = 0;
    // No cell to fit leaves the width alone rather than hiding the column.
    if (!WidestCell(dc, col, first, last, &width)) return FALSE;
    m_colSizes.SetSize(col, std::min(width, CGridLineSizes::MAX_SIZE));
    return TRUE;
}

BOOL CGridCtrl::AutoSizeColumn(int col, int scope, BOOL updateBars) {
    if (col < 0 || col >= m_cols || GetColumnWidth(col) <= 0) return FALSE;
    // Before the grid has a window: the screen, which it will be shown on.
    CClientDC dc(m_hWnd);
    if (!dc.GetSafeHdc()) return FALSE;
    CMeasuring measuring(*this, dc.GetSafeHdc());
    if (!FitColumn(dc, col, scope)) return FALSE;
    if (updateBars) UpdateScrollBars();
    return TRUE;
}

void CGridCtrl::AutoSizeColumns(int scope) {
    CClientDC dc(m_hWnd);
    if (!dc.GetSafeHdc()) return;
    CMeasuring measuring(*this, dc.GetSafeHdc());
    for (int col = 0; col < m_cols; ++col) FitColumn(dc, col, scope);
    UpdateScrollBars();
}

BOOL CGridCtrl::AutoSizeRow(int row, BOOL updateBars) {
    if (row < 0 || row >= m_rows || GetRowHeight(row) <= 0) return FALSE;
    CClientDC dc(m_hWnd);
    if (!dc.GetSafeHdc()) return FALSE;
    CMeasuring measuring(*this, dc.GetSafeHdc());
    bool measured = false;
    int tallest = 0;
    for (int col = 0; col < m_cols; ++col) {
        CGridCellBase* cell = GetCell(row, col);
        if (!cell) continue;
        tallest = std::max<int>(tallest, cell->MeasureCell(&dc).cy);
        measured = true;
    }
    if (!measured) return FALSE;
    m_rowSizes.SetSize(row, std::min(tallest, CGridLineSizes::MAX_SIZE));
    if (updateBars) UpdateScrollBars();
    return TRUE;
}
