// Printing on a printer surface that a host's loop supplies: the job's layout (the page cuts
// themselves are worked out in PrintLayout.cpp), and each page's header band, heading rows,
// row headers, body cells and footer band.
//
// A page in logical units, from the top: the header band, a gap, the heading rows (the fixed
// rows, with the corner at their left), the body rows beside their row headers, the footer
// band at the bottom. The grid's pixels are the logical units; the mapping stretches the
// paper over the printer's page.
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "framework/GbkText.h"
#include "framework/System.h"
#include "grid/GridCtrl.h"

namespace {
// The sizes as the page layout takes them: a print job copies them once.
std::vector<unsigned> SizesOf(const CGridLineSizes& lines) {
    std::vector<unsigned> sizes(static_cast<size_t>(lines.Count()));
    for (int i = 0; i < lines.Count(); ++i) sizes[static_cast<size_t>(i)] = static_cast<unsigned>(lines.Size(i));
    return sizes;
}

// The average letter width is measured on this text (52 letters, its second S as it has
// always been).
constexpr char kMeasureText[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
constexpr int kMeasureLetters = 52;

constexpr UINT kBandText = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
constexpr UINT kCentred = DT_CENTER | kBandText;  // 0x825
constexpr UINT kRight = DT_RIGHT | kBandText;     // 0x826
constexpr UINT kLeft = DT_LEFT | kBandText;       // 0x824

bool HorizontalLines(int mode) { return mode == 1 || mode == 3; }
bool VerticalLines(int mode) { return mode == 2 || mode == 3; }

// The title of the nearest window above `wnd` that has one; empty when none has.
std::string NearestTitle(HWND wnd) {
    for (HWND w = ::GetParent(wnd); w; w = ::GetParent(w)) {
        wchar_t text[512];
        const int length = ::GetWindowTextW(w, text, static_cast<int>(std::size(text)));
        if (length > 0) return gbk::FromWide(std::wstring_view(text, static_cast<size_t>(length)));
    }
    return std::string();
}

// The printer font in bold, for the bands' texts.
void MakeBold(const CFont& printerFont, CFont* bold) {
    LOGFONTW lf{};
    if (!printerFont.GetLogFont(&lf)) return;
    lf.lfWeight = FW_BOLD;
    bold->CreateFontIndirect(&lf);
}

// A band's texts in bold on a transparent background; the context's mode and font as they
// were afterwards.
void DrawBandTexts(CDC* dc, const CFont& printerFont, const RECT& band,
                   std::initializer_list<std::pair<const std::string*, UINT>> texts) {
    CFont bold;
    MakeBold(printerFont, &bold);
    CSelectGuard font(*dc, bold);
    const int mode = dc->SetBkMode(TRANSPARENT);
    for (const auto& [text, format] : texts) {
        CRect rect = band;
        if (!text->empty()) dc->DrawText(*text, &rect, format);
    }
    dc->SetBkMode(mode);
}

void Line(CDC* dc, int x1, int y1, int x2, int y2) {
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
}
}  // namespace

void CGridCtrl::BeginPrinting(CDC* dc, CPrintInfo* info) {
    if (!dc || !dc->GetSafeHdc() || !info) return;
    CClientDC screen(nullptr);
    if (!screen.GetSafeHdc()) return;
    PrintMeasures measures;
    measures.printerDpiY = dc->GetDeviceCaps(LOGPIXELSY);
    measures.printerDpiX = dc->GetDeviceCaps(LOGPIXELSX);
    measures.screenDpiY = screen.GetDeviceCaps(LOGPIXELSY);
    measures.screenDpiX = screen.GetDeviceCaps(LOGPIXELSX);

    PrinterFont.CreateFont(-10, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                           CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial");
    CSelectGuard font(*dc, PrinterFont);
    const CSize letters = dc->GetTextExtent(kMeasureText);
    PrintCharHeight = measures.charHeight = letters.cy;
    PrintCharWidth = measures.charWidth = letters.cx / kMeasureLetters;
    PrintDeviceWidth = measures.deviceWidth = dc->GetDeviceCaps(HORZRES);
    PrintDeviceHeight = measures.deviceHeight = dc->GetDeviceCaps(VERTRES);

    PrintMargins margins;
    margins.headerLines = PrintHeaderLines;
    margins.footerLines = PrintFooterLines;
    margins.leftChars = PrintLeftMargin;
    margins.rightChars = PrintRightMargin;
    margins.gapLines = PrintGapLines;
    m_printLayout = GridPrintLayout::Compute(measures, margins, PrintScreenScale != FALSE, SizesOf(m_rowSizes),
                                             m_fixedRows, SizesOf(m_colSizes), m_fixedCols);
    PrintPaperWidth = m_printLayout.paperWidth;
    PrintPaperHeight = m_printLayout.paperHeight;
    PrintRowSpace = m_printLayout.rowSpace;
    PrintColumnSpace = m_printLayout.columnSpace;
    PrintPagesWide = m_printLayout.PagesWide();
    PrintPageCount = m_printLayout.PageCount();
    info->SetMaxPage(static_cast<UINT>(PrintPageCount));
    info->m_nCurPage = 1;
}

void CGridCtrl::PrintPage(CDC* dc, CPrintInfo* info) {
    // Nothing outside a job: the layout is made by BeginPrinting.
    if (!dc || !dc->GetSafeHdc() || !info || m_printLayout.rowStarts.empty()) return;
    const int page = static_cast<int>(info->m_nCurPage);
    const int leftMargin = PrintLeftMargin * PrintCharWidth;
    const int sideMargins = (PrintLeftMargin + PrintRightMargin) * PrintCharWidth;
    const int fixedWidth = FixedColumnsWidth(), fixedHeight = FixedRowsHeight();

    CSelectGuard font(*dc, PrinterFont);
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowExt(PrintPaperWidth, PrintPaperHeight);
    dc->SetViewportExt(PrintDeviceWidth, PrintDeviceHeight);

    dc->SetWindowOrg(-leftMargin, 0);
    info->m_rectDraw = CRect(0, 0, PrintPaperWidth - sideMargins, PrintHeaderLines * PrintCharHeight);
    PrintPageHeader(dc, info);

    // Down past the header band and the gap to the top of the body rows.
    dc->OffsetWindowOrg(0, -PrintHeaderLines * PrintCharHeight);
    dc->OffsetWindowOrg(0, -PrintGapLines * PrintCharHeight);
    dc->OffsetWindowOrg(0, -fixedHeight);

    // The page's rows and columns, cut to the table as it is now (it may have shrunk since
    // the job began).
    const auto cut = [](PrintLineRange range, int count) {
        return PrintLineRange{std::min(range.first, count), std::min(range.end, count)};
    };
    m_printRows = cut(m_printLayout.RowsOfPage(page), m_rows);
    m_printColumns = cut(m_printLayout.ColumnsOfPage(page), m_cols);
    PrintStartRow = m_printRows.first;
    PrintStartColumn = m_printColumns.first;

    PrintRowHeaders(dc, info);

    // Up to the heading rows; they run over the fixed columns' width too.
    info->m_rectDraw.bottom = fixedHeight;
    dc->OffsetWindowOrg(0, fixedHeight);
    PrintColumnSpace += fixedWidth;
    if (PrintStartColumn == m_fixedCols) {
        // On the first column page the corner and the headings are one run from column 0.
        PrintStartColumn = 0;
        PrintHeadingRows(dc, info);
        PrintStartColumn = m_fixedCols;
    } else {
        PrintHeadingRows(dc, info);
    }
    PrintColumnSpace -= fixedWidth;

    dc->OffsetWindowOrg(-fixedWidth, -fixedHeight);
    const int end = std::min(PrintBodyRows(dc), PrintRowSpace);
    // Merged blocks may reach below the body: the paper shows there.
    dc->FillSolidRect(CRect(0, end + 1, PrintPaperWidth, PrintPaperHeight), RGB(0xFF, 0xFF, 0xFF));

    info->m_rectDraw.bottom = PrintFooterLines * PrintCharHeight;
    dc->SetWindowOrg(-leftMargin, PrintFooterLines * PrintCharHeight - PrintPaperHeight);
    PrintPageFooter(dc, info);
    dc->SetWindowOrg(0, 0);
}

void CGridCtrl::EndPrinting(CDC*, CPrintInfo*) {
    PrinterFont.DeleteObject();
    m_printLayout = GridPrintLayout();
}

int CGridCtrl::PrintBodyRows(CDC* dc) {
    CRect rect(0, 0, -1, -1);  // the rectangles run on from -1
    for (int row = m_printRows.first; row < m_printRows.end; ++row) {
        rect.top = rect.bottom + 1;
        rect.bottom = rect.top + GetRowHeight(row) - 1;
        CRect run = CutToBody(rect);
        run.right = -1;
        PrintRowCells(PrintStartColumn, m_cols, row, run, dc);
    }
    return m_printRows.end < m_rows ? rect.bottom + 1 : rect.bottom;
}

CRect CGridCtrl::CutToBody(CRect rect) const {
    // Only a row alone on its page can reach past the room: the page cuts put a row that
    // does not fit on the next page, unless it is too tall for any page.
    if (rect.bottom >= PrintRowSpace) rect.bottom = PrintRowSpace - 1;
    return rect;
}

void CGridCtrl::PrintRowCells(int firstCol, int endCol, int row, CRect& rect, CDC* dc) {
    if (!dc || !dc->GetSafeHdc()) return;
    for (int col = std::max(firstCol, 0); col < std::min(endCol, m_cols); ++col) {
        rect.left = rect.right + 1;
        rect.right = rect.left + GetColumnWidth(col) - 1;
        // The run ends at the column that does not fit; only a column wider than any page,
        // alone on its column page, is printed, cut to the room.
        const bool last = rect.right >= PrintColumnSpace;
        if (last) {
            if (col != m_printColumns.first) break;
            rect.right = PrintColumnSpace - 1;
        }
        PrintCell(dc, row, col, rect);
        if (last) break;
    }
}

void CGridCtrl::PrintCell(CDC* dc, int row, int col, CRect rect) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return;
    if (cell->IsSpanned()) {
        CRect block;
        if (RangeRect(cell->GetSpanRange(), &block)) {
            block.OffsetRect(rect.left - block.left, rect.top - block.top);
            // A cell cut to the page cuts its block with it.
            if (rect.Height() + 1 < GetRowHeight(row)) block.bottom = rect.bottom;
            if (rect.Width() + 1 < GetColumnWidth(col)) block.right = rect.right;
            rect = block;
        }
    } else if (cell->IsCoveredBySpan()) {
        return;  // its block's origin prints it
    }
    cell->Print(dc, row, col, rect);
}

void CGridCtrl::PrintHeadingRows(CDC* dc, CPrintInfo*) {
    if (!dc || !dc->GetSafeHdc()) return;
    CSelectGuard font(*dc, PrinterFont);
    int top = 0;
    for (int row = 0; row < m_fixedRows; ++row) {
        const int height = GetRowHeight(row);
        CRect rect(0, top, -1, top + height - 1);
        // Past the first column page the corner comes first, then the page's headings.
        if (PrintStartColumn >= m_fixedCols) PrintRowCells(0, m_fixedCols, row, rect, dc);
        PrintRowCells(PrintStartColumn, m_cols, row, rect, dc);
        top += height;
    }
}

void CGridCtrl::PrintRowHeaders(CDC* dc, CPrintInfo*) {
    if (!dc || !dc->GetSafeHdc()) return;
    CSelectGuard font(*dc, PrinterFont);
    bool firstLine = true;  // the line above the first header is drawn once
    int left = 0;
    for (int col = 0; col < m_fixedCols; ++col) {
        const int right = left + GetColumnWidth(col) - 1;
        int top = 0;
        for (int row = m_printRows.first; row < m_printRows.end; ++row) {
            const CRect rect = CutToBody(CRect(left, top, right, top + GetRowHeight(row) - 1));
            top += GetRowHeight(row);
            if (CGridCellBase* cell = GetCell(row, col)) cell->Print(dc, row, col, rect);
            if (HorizontalLines(GridLineMode)) {
                const int from = col == 0 ? rect.left : rect.left - 1;
                Line(dc, from, rect.bottom, rect.right, rect.bottom);
                if (firstLine) Line(dc, from, rect.top - 1, rect.right, rect.top - 1);
                firstLine = false;
            }
            if (VerticalLines(GridLineMode)) {
                const int from = row == 0 ? rect.top : rect.top - 1;
                Line(dc, rect.right, from, rect.right, rect.bottom);
                if (col == 0) Line(dc, rect.left, from, rect.left, rect.bottom);
            }
        }
        left = right + 1;
    }
}

void CGridCtrl::PrintPageHeader(CDC* dc, CPrintInfo* info) {
    if (!dc || !dc->GetSafeHdc() || !info) return;
    const std::string title = NearestTitle(m_hWnd);
    // Empty in a program without a string table.
    const std::string appTitle = AfxLoadString(AFX_IDS_APP_TITLE);
    const CRect band = info->m_rectDraw;
    DrawBandTexts(dc, PrinterFont, band, {{&title, kCentred}, {&appTitle, kRight}});
    dc->SelectStockObject(BLACK_PEN);
    Line(dc, band.left, band.bottom, band.right, band.bottom);
}

void CGridCtrl::PrintPageFooter(CDC* dc, CPrintInfo* info) {
    if (!dc || !dc->GetSafeHdc() || !info) return;
    char pageText[64];
    std::snprintf(pageText, sizeof(pageText), "Page %d of %d", static_cast<int>(info->m_nCurPage),
                  static_cast<int>(info->GetMaxPage()));
    const std::string page = pageText;
    const std::string date = FormatLocalTime("%c");
    const CRect band = info->m_rectDraw;
    dc->SelectStockObject(BLACK_PEN);
    Line(dc, band.left, band.top, band.right, band.top);
    const COLORREF text = dc->SetTextColor(RGB(0, 0, 0));
    DrawBandTexts(dc, PrinterFont, band, {{&page, kLeft}, {&date, kRight}});
    dc->SetTextColor(text);
}
