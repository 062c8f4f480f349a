// How a printed grid is cut into pages: the size of a page in the grid's own units, the room
// left for body rows and columns, and where each page's rows and columns start. No window
// and no device here: the printing code measures the printer and hands the figures in.
//
// Classes in this file:
//   PrintMeasures    what the printing code measured (printer font, page, resolutions)
//   PrintMargins     the grid's print margins, in lines and average characters
//   PrintLineRange   a run of rows or columns [first, end)
//   GridPrintLayout  the page size, the body room, the page cuts; page n's rows and columns
#pragma once

#include <vector>

struct PrintMeasures {
    int charWidth = 0;    // the printer font's average letter width
    int charHeight = 0;   // and its line height
    int deviceWidth = 0;  // the printable page in printer pixels
    int deviceHeight = 0;
    int printerDpiX = 0, printerDpiY = 0;  // printer pixels per inch
    int screenDpiX = 0, screenDpiY = 0;    // screen pixels per inch
};

struct PrintMargins {
    int headerLines = 2;  // height of the header band, in font lines
    int footerLines = 2;  // height of the footer band
    int leftChars = 4;    // room left of everything, in average characters
    int rightChars = 4;   // room right of the bands and the columns
    int gapLines = 1;     // between the header and the headings; counted twice on a page
};

struct PrintLineRange {
    int first = 0;  // first row (column) printed
    int end = 0;    // one past the last; equal to first when the page has none
    bool operator==(const PrintLineRange& o) const { return first == o.first && end == o.end; }
};

// The platform's MulDiv: a * b / c rounded to the nearest, halves away from zero; -1 when c
// is 0 or the result does not fit.
int MulDivRounded(int a, int b, int c);

// The first line of every page of lines `first`..sizes.size()-1 that are cut into pages of
// `space` units: a line whose size would carry the page's running sum past `space` starts
// the next page. A line larger than `space` therefore gets a page of its own (and when it is
// the very first line, the page before it stays empty). Never empty: no lines is one page.
std::vector<int> PageStarts(const std::vector<unsigned>& sizes, int first, int space);

class GridPrintLayout {
public:
    // Lays out a grid with these row heights and column widths (the fixed ones first).
    // screenScale: print at the screen size enlarged by 4/3 and cut the columns into pages
    // too; else fit the whole grid's width and the margins to the page width.
    static GridPrintLayout Compute(const PrintMeasures& m, const PrintMargins& margins, bool screenScale,
                                   const std::vector<unsigned>& rowHeights, int fixedRows,
                                   const std::vector<unsigned>& colWidths, int fixedCols);

    int paperWidth = 0, paperHeight = 0;  // the page in the grid's units (logical units)
    int rowSpace = 0;     // room for body rows on a page
    int columnSpace = 0;  // room for body columns on a page
    std::vector<int> rowStarts;     // first body row of each block of rows
    std::vector<int> columnStarts;  // first body column of each column page
    int rowCount = 0, columnCount = 0;  // the table's size when laid out

    int PagesWide() const { return static_cast<int>(columnStarts.size()); }
    int PageCount() const { return static_cast<int>(rowStarts.size()) * PagesWide(); }
    // The body rows and columns of page `page` (from 1; pages outside 1..PageCount take the
    // nearest page). Pages run across the column pages of a row block, then down.
    PrintLineRange RowsOfPage(int page) const;
    PrintLineRange ColumnsOfPage(int page) const;
};
