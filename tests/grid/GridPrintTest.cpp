// Printing read back from the records of each page: the host loop runs on the test printer
// (600 dpi, 4658 x 6716 printable pixels) and records every page as an enhanced metafile.
// Page cuts are chosen so that they hold for any band font of ordinary size: rows and body
// columns are 100 units, far from the room's edges.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "framework/GbkText.h"
#include "framework/PrintPreview.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/grid/PrintTestSupport.h"

namespace {
// A grid with a fixed row of 20 and a fixed column of 60, body rows and columns of 100,
// inside an untitled container in a titled window: the header takes the nearest title.
struct PrintHost {
    RecordingParent top;
    CWnd container;
    CGridCtrl grid;
    explicit PrintHost(int bodyRows, int bodyCols = 6) {
        EXPECT_TRUE(top.CreateTopLevel());
        top.SetWindowText("打印测试");
        EXPECT_TRUE(container.CreateEx(0, L"GridTestParent", nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200),
                                       top, 0));
        EXPECT_TRUE(grid.Create(CRect(0, 0, 300, 200), &container, GRID_ID, WS_CHILD | WS_VISIBLE));
        grid.SetRowCount(bodyRows + 1);
        grid.SetColumnCount(bodyCols + 1);
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        grid.SetRowHeight(0, 20);
        grid.SetColumnWidth(0, 60);
        for (int r = 0; r <= bodyRows; ++r) {
            if (r > 0) grid.SetRowHeight(r, 100);
            for (int c = 0; c <= bodyCols; ++c) grid.SetCellText(r, c, Text(r, c));
        }
        for (int c = 1; c <= bodyCols; ++c) grid.SetColumnWidth(c, 100);
    }
    static std::string Text(int r, int c) {
        char text[32];
        if (r == 0 && c == 0) return "corner";
        if (r == 0) std::snprintf(text, sizeof(text), "C%d", c);
        else if (c == 0) std::snprintf(text, sizeof(text), "R%d", r);
        else std::snprintf(text, sizeof(text), "%d:%d", r, c);
        return text;
    }
};

struct Printed {
    int printed = 0;          // what the loop reported
    UINT maxPage = 0;         // the job's last page
    std::vector<PageRecords> pages;
};

Printed PrintAll(CGridCtrl& grid, HDC printer) {
    CDC job(printer);
    job.SetPrinting(TRUE);
    CPrintInfo info;
    CMetafilePages target(printer);
    CPrintSourceOf<CGridCtrl> source(grid);
    Printed result;
    result.printed = RunPrintJob(source, job, info, target);
    result.maxPage = info.GetMaxPage();
    for (const CEnhMetaFile& page : target.Pages()) result.pages.push_back(ReadPage(page.GetSafeHandle()));
    return result;
}

// Takes the footer's date out of `texts`: it starts with today's date and has a time.
bool TakeDate(std::vector<std::wstring>& texts) {
    char today[64];
    const std::time_t now = std::time(nullptr);
    std::strftime(today, sizeof(today), "%x", std::localtime(&now));
    const std::wstring date = gbk::ToWide(today);
    auto it = std::find_if(texts.begin(), texts.end(), [&](const std::wstring& t) {
        return t.size() > date.size() && t.compare(0, date.size(), date) == 0 && t.find(L':') != std::wstring::npos;
    });
    if (it == texts.end()) return false;
    texts.erase(it);
    return true;
}

// The cells (2,2)-(3,3) are one block shown as "merged".
bool Covered(int r, int c) { return r >= 2 && r <= 3 && c >= 2 && c <= 3 && !(r == 2 && c == 2); }

// Everything page `page` of `count` prints besides the date: the title, the page number,
// the corner once, the headings of its columns, the headers of its rows and their cells.
std::vector<std::wstring> Expected(int page, int count, PrintLineRange rows, PrintLineRange cols) {
    std::vector<std::string> texts{"Page " + std::to_string(page) + " of " + std::to_string(count), "corner"};
    for (int c = cols.first; c < cols.end; ++c) texts.push_back(PrintHost::Text(0, c));
    for (int r = rows.first; r < rows.end; ++r) {
        texts.push_back(PrintHost::Text(r, 0));
        for (int c = cols.first; c < cols.end; ++c)
            if (!Covered(r, c)) texts.push_back(r == 2 && c == 2 ? "merged" : PrintHost::Text(r, c));
    }
    std::vector<std::wstring> wide{L"打印测试"};
    for (const std::string& t : texts) wide.push_back(gbk::ToWide(t));
    std::sort(wide.begin(), wide.end());
    return wide;
}
}  // namespace

TEST(GridPrint, EveryPageHoldsItsRowsAndColumnsWithHeadingsAndBands) {
    TestPrinter printer;
    ASSERT_TRUE(printer.dc) << printer.failure;
    const std::vector<PrintLineRange> sevenRows{{1, 8}, {8, 15}, {15, 22}, {22, 29}, {29, 36}, {36, 41}};
    const struct {
        const char* what;
        BOOL screenScale;
        int tallRow;  // a row made 1200 high, taller than any page; 0 none
        int wideCol;  // a column made 800 wide, wider than any page; 0 none
        std::vector<PrintLineRange> blocks, columnPages;
        CSize merged;  // the merged block's outline
    } cases[] = {
        // 4658 * 96 / 600 * 3 / 4 = 558 by 805 units: 805 - 6 lines - 20 leaves room for seven
        // rows, 558 - 60 - 8 letters for four columns. Page 3 is the second block's first
        // column page, page 4 its second.
        {"screen scale", TRUE, 0, 0, sevenRows, {{1, 5}, {5, 7}}, {200, 200}},
        // 660 + 8 letters across, about 1020 down: nine rows a page, every column.
        {"fitted to the width", FALSE, 0, 0, {{1, 10}, {10, 19}, {19, 28}, {28, 37}, {37, 41}}, {{1, 7}}, {200, 200}},
        // Row 5 has a page of its own and is printed there, cut to the page's body.
        {"a row taller than a page", FALSE, 5, 0, {{1, 5}, {5, 6}, {6, 15}, {15, 24}, {24, 33}, {33, 41}}, {{1, 7}},
         {200, 200}},
        // Column 3 has a column page of its own, cut to its width; the block over columns 2
        // and 3 prints whole from its origin on the first column page.
        {"a column wider than a page", TRUE, 0, 3, sevenRows, {{1, 3}, {3, 4}, {4, 7}}, {900, 200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PrintHost host(40);
        host.grid.PrintScreenScale = c.screenScale;
        host.grid.MergeCells(2, 2, 3, 3);
        host.grid.SetCellText(2, 2, "merged");
        if (c.tallRow) host.grid.SetRowHeight(c.tallRow, 1200);
        if (c.wideCol) host.grid.SetColumnWidth(c.wideCol, 800);

        Printed job = PrintAll(host.grid, printer.dc);
        const int count = static_cast<int>(c.blocks.size() * c.columnPages.size());
        EXPECT_EQ(job.printed, count);
        EXPECT_EQ(job.maxPage, static_cast<UINT>(count));
        ASSERT_EQ(job.pages.size(), static_cast<size_t>(count));
        const CGridCtrl& g = host.grid;
        const int bandWidth = g.PrintPaperWidth - (g.PrintLeftMargin + g.PrintRightMargin) * g.PrintCharWidth;
        for (int page = 1; page <= count; ++page) {
            SCOPED_TRACE("page " + std::to_string(page));
            PageRecords& records = job.pages[static_cast<size_t>(page - 1)];
            const size_t wide = c.columnPages.size();
            EXPECT_TRUE(TakeDate(records.texts)) << "the footer's local date and time";
            std::sort(records.texts.begin(), records.texts.end());
            EXPECT_EQ(records.texts, Expected(page, count, c.blocks[static_cast<size_t>(page - 1) / wide],
                                              c.columnPages[static_cast<size_t>(page - 1) % wide]));
            EXPECT_TRUE(records.HasLineTo(bandWidth, g.PrintHeaderLines * g.PrintCharHeight)) << "the header's rule";
            EXPECT_TRUE(records.HasLineTo(bandWidth, 0)) << "the footer's rule";
        }
        // The block's origin prints once over the whole block.
        EXPECT_TRUE(job.pages[0].HasBox(c.merged.cx, c.merged.cy));
        if (c.tallRow) {
            EXPECT_TRUE(job.pages[1].HasBox(100, g.PrintRowSpace)) << "the tall row cut to the body";
        }
        if (c.wideCol) {
            EXPECT_TRUE(job.pages[1].HasBox(g.PrintColumnSpace, 100)) << "the wide column cut to the body";
        }
    }
}

TEST(GridPrint, ARowEndingJustPastTheRoomIsPrintedOnce) {
    TestPrinter printer;
    ASSERT_TRUE(printer.dc) << printer.failure;
    PrintHost host(2);
    PrintAll(host.grid, printer.dc);
    const int room = host.grid.PrintRowSpace;  // depends on the width only
    host.grid.SetRowHeight(1, room / 2);
    host.grid.SetRowHeight(2, room - room / 2 + 1);
    const Printed job = PrintAll(host.grid, printer.dc);
    ASSERT_EQ(job.pages.size(), 2u);
    auto has = [&](int page, const wchar_t* text) {
        const auto& texts = job.pages[static_cast<size_t>(page)].texts;
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(has(0, L"1:1"));
    EXPECT_FALSE(has(0, L"2:1")) << "its last line would lie one unit past the room";
    EXPECT_TRUE(has(1, L"2:1"));
}

TEST(GridPrint, MarginsShapeTheLayout) {
    TestPrinter printer;
    ASSERT_TRUE(printer.dc) << printer.failure;
    PrintHost host(10);
    CGridCtrl& g = host.grid;
    g.PrintScreenScale = TRUE;  // the paper's size then depends on the printer alone
    PrintAll(g, printer.dc);
    const int rows = g.PrintRowSpace, cols = g.PrintColumnSpace;
    // Header 2 -> 2 (-1 keeps it), footer 2 -> 0, gap 1 -> 3: two lines fewer for rows; left
    // 4 -> 4, right 4 -> 1: three letters more for columns.
    g.SetPrintMargins(-1, 0, -1, 1, -1, -1, 3);
    EXPECT_EQ(g.PrintHeaderLines, 2);
    EXPECT_EQ(g.PrintLeftMargin, 4);
    PrintAll(g, printer.dc);
    EXPECT_EQ(g.PrintRowSpace, rows - 2 * g.PrintCharHeight);
    EXPECT_EQ(g.PrintColumnSpace, cols + 3 * g.PrintCharWidth);
}

TEST(GridPrint, TheJobDeletesEverythingItMade) {
    TestPrinter printer;
    ASSERT_TRUE(printer.dc) << printer.failure;
    PrintHost host(20);
    CGridCtrl& grid = host.grid;
    CDC job(printer.dc);
    job.SetPrinting(TRUE);
    CPrintInfo info;
    const long objects = GdiLiveCounts::Objects();
    // Counts on Windows; Wine answers 0.
    const DWORD handles = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);

    grid.BeginPrinting(nullptr, &info);
    grid.BeginPrinting(&job, nullptr);
    EXPECT_EQ(info.GetMaxPage(), 0u) << "no job without a surface and a record";
    EXPECT_EQ(GdiLiveCounts::Objects(), objects);

    grid.BeginPrinting(&job, &info);
    EXPECT_EQ(GdiLiveCounts::Objects(), objects + 1) << "the printer font";
    CMetafilePages pages(printer.dc);
    for (UINT page : {3u, 1u}) {  // any order
        info.m_nCurPage = page;
        grid.PrintPage(pages.StartPage(page), &info);
        pages.EndPage(page);
    }
    EXPECT_EQ(GdiLiveCounts::Objects(), objects + 1) << "a page deletes its bold fonts and pens";
    grid.EndPrinting(&job, &info);
    EXPECT_EQ(GdiLiveCounts::Objects(), objects);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), handles);

    grid.PrintPage(pages.StartPage(4), &info);
    pages.EndPage(4);
    ASSERT_EQ(pages.Pages().size(), 3u);
    EXPECT_TRUE(ReadPage(pages.Pages()[0].GetSafeHandle()).texts.size() > 0);
    EXPECT_TRUE(ReadPage(pages.Pages()[2].GetSafeHandle()).texts.empty()) << "no page after the job";
}

TEST(GridPrint, PrintDocumentSendsEveryPageToThePrinter) {
    TestPrinter printer;
    ASSERT_TRUE(printer.dc) << printer.failure;
    PrintHost host(10);  // fitted to the width: two pages
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring file = std::wstring(dir) + L"grid-print-test.ps";
    DeleteFileW(file.c_str());
    CPrintSourceOf<CGridCtrl> source(host.grid);
    EXPECT_EQ(PrintDocument(source, printer.dc, "打印测试", file), 2);

    FILE* out = _wfopen(file.c_str(), L"rb");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), out)) > 0;) text.append(buffer, n);
    std::fclose(out);
    DeleteFileW(file.c_str());
    int pages = 0;
    for (size_t at = text.find("%%Page:"); at != std::string::npos; at = text.find("%%Page:", at + 1)) ++pages;
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(PrintDocument(source, nullptr, "none"), -1);
}

TEST(PrintPreview, TurnsPagesAndShowsThemInThePrintersProportions) {
    TestPrinter printer;
    ASSERT_TRUE(printer.dc) << printer.failure;
    PrintHost host(40);  // five pages
    CPrintSourceOf<CGridCtrl> source(host.grid);
    CPrintPreviewWnd preview(source, printer.dc);
    ASSERT_TRUE(preview.Create(host.top));
    HWND next = preview.GetDlgItem(CPrintPreviewWnd::ID_NEXT_PAGE);
    HWND previous = preview.GetDlgItem(CPrintPreviewWnd::ID_PREVIOUS_PAGE);
    const struct {
        const char* what;
        HWND to;  // null: the preview window
        UINT message;
        WPARAM wParam;
        UINT page;
    } steps[] = {
        {"opens on the first page", nullptr, 0, 0, 1},
        {"page down", nullptr, WM_KEYDOWN, VK_NEXT, 2},
        {"end", nullptr, WM_KEYDOWN, VK_END, 5},
        {"next at the end: disabled", next, BM_CLICK, 0, 5},
        {"previous button", previous, BM_CLICK, 0, 4},
        {"home", nullptr, WM_KEYDOWN, VK_HOME, 1},
        {"previous on the first page: disabled", previous, BM_CLICK, 0, 1},
        {"wheel towards the user", nullptr, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 2},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.message) ::SendMessageW(s.to ? s.to : preview.m_hWnd, s.message, s.wParam, 0);
        EXPECT_EQ(preview.CurrentPage(), s.page);
        EXPECT_EQ(preview.PageCount(), 5u);
        wchar_t label[64] = {};
        GetDlgItemTextW(preview, CPrintPreviewWnd::ID_PAGE_LABEL, label, 64);
        EXPECT_EQ(std::wstring(label), L"Page " + std::to_wstring(s.page) + L" of 5");
    }

    CRect client;
    preview.GetClientRect(&client);
    DibSurface dib(client.Width(), client.Height());
    preview.PaintOn(&dib.dc);
    const CRect page = preview.PageRect();
    ASSERT_FALSE(page.IsRectEmpty());
    EXPECT_NEAR(static_cast<double>(page.Width()) / page.Height(), 4658.0 / 6716.0, 0.01);
    const int paper = dib.Count(page, RGB(0xFF, 0xFF, 0xFF));
    EXPECT_GT(paper, page.Width() * page.Height() / 2) << "mostly white paper";
    EXPECT_LT(paper, page.Width() * page.Height()) << "with the page printed on it";
    EXPECT_EQ(dib.Pixel(page.left - 2, page.top + 2), RGB(0x80, 0x80, 0x80)) << "the desk around it";
    preview.DestroyWindow();
}
