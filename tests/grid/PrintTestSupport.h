// A printer for the printing tests, and what a recorded page holds.
//
// The test printer is a real one of the platform's PostScript driver (600 dpi, A4), added to
// the test prefix on first use from a page description written here; its pages can go to a
// file. Pages recorded as enhanced metafiles that measure like it are read back record by
// record.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The test printer's context for the test's lifetime; null (with the reason in `failure`)
// when the printer could not be set up.
struct TestPrinter {
    TestPrinter();
    ~TestPrinter();
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;
    HDC dc = nullptr;
    std::string failure;
};

// What one page's metafile draws, in logical units as recorded.
struct PageRecords {
    std::vector<std::wstring> texts;  // every non-empty text, in order
    std::vector<POINT> lineEnds;      // the end point of every line
    std::vector<RECT> boxes;          // every rectangle (the cells' outlines), as recorded:
                                      // right and bottom inside, so a cell's outline is as
                                      // wide and high as the cell
    bool HasLineTo(int x, int y) const;
    bool HasBox(int width, int height) const;
};

PageRecords ReadPage(HENHMETAFILE page);
