// Printing: the print job record, and the one page loop that prints a printable view on a
// printer and renders it for the preview.
//
// Classes in this file:
//   CPrintInfo        the job record a host loop fills and a view's print code reads
//   CPrintSource      the three entry points of a printable view; CPrintSourceOf adapts any
//                     class that has them (the grid) without deriving from this
//   CPageTarget       where the loop's pages go: CPrinterPages (a printer's pages, between
//                     StartPage and EndPage) or CMetafilePages (enhanced metafiles in memory)
//   CEnhMetaFile      an owned enhanced metafile
//
// Functions: RunPrintJob (the page loop), PrintDocument (one document on a printer),
// ChoosePrinter and DefaultPrinter (the system's print dialog).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Types.h"

// The string resource that names the application.
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;

class CPrintInfo {
public:
    UINT m_nCurPage = 1;     // the page being printed, from 1
    CRect m_rectDraw;        // the drawing rectangle the page's parts read (logical units)
    BOOL m_bPreview = FALSE; // pages go to the preview, not to paper

    void SetMaxPage(UINT page) { m_nMaxPage = page; }
    UINT GetMaxPage() const { return m_nMaxPage; }

private:
    UINT m_nMaxPage = 0;     // the last page, set by the view's BeginPrinting
};

class CPrintSource {
public:
    virtual ~CPrintSource() = default;
    virtual void BeginPrinting(CDC* dc, CPrintInfo* info) = 0;
    virtual void PrintPage(CDC* dc, CPrintInfo* info) = 0;
    virtual void EndPrinting(CDC* dc, CPrintInfo* info) = 0;
};

template <class View>
class CPrintSourceOf : public CPrintSource {
public:
    explicit CPrintSourceOf(View& view) : m_view(view) {}
    void BeginPrinting(CDC* dc, CPrintInfo* info) override { m_view.BeginPrinting(dc, info); }
    void PrintPage(CDC* dc, CPrintInfo* info) override { m_view.PrintPage(dc, info); }
    void EndPrinting(CDC* dc, CPrintInfo* info) override { m_view.EndPrinting(dc, info); }

private:
    View& m_view;  // not owned; outlives the job
};

class CPageTarget {
public:
    virtual ~CPageTarget() = default;
    // The surface of page `page`; null stops the job.
    virtual CDC* StartPage(UINT page) = 0;
    // FALSE stops the job.
    virtual BOOL EndPage(UINT page) = 0;
};

// The pages of a printer document that has been started (StartDoc).
class CPrinterPages : public CPageTarget {
public:
    explicit CPrinterPages(CDC& printer) : m_printer(printer) {}
    CDC* StartPage(UINT) override { return ::StartPage(m_printer) > 0 ? &m_printer : nullptr; }
    BOOL EndPage(UINT) override { return ::EndPage(m_printer) > 0; }

private:
    CDC& m_printer;  // the printer's context
};

class CEnhMetaFile {
public:
    CEnhMetaFile() = default;
    explicit CEnhMetaFile(HENHMETAFILE handle) : m_handle(handle) {}
    ~CEnhMetaFile() { Reset(); }
    CEnhMetaFile(CEnhMetaFile&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    CEnhMetaFile& operator=(CEnhMetaFile&& other) noexcept;
    CEnhMetaFile(const CEnhMetaFile&) = delete;
    CEnhMetaFile& operator=(const CEnhMetaFile&) = delete;

    HENHMETAFILE GetSafeHandle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset();
    // Plays the picture stretched over `rect` of `dc`.
    BOOL Play(HDC dc, const RECT& rect) const { return m_handle && ::PlayEnhMetaFile(dc, m_handle, &rect); }

private:
    HENHMETAFILE m_handle = nullptr;
};

// Each page recorded as an enhanced metafile that measures like `reference` (a printer, or
// the screen), its frame the reference's whole printable page.
class CMetafilePages : public CPageTarget {
public:
    explicit CMetafilePages(HDC reference) : m_reference(reference) {}
    ~CMetafilePages() override;
    CMetafilePages(const CMetafilePages&) = delete;
    CMetafilePages& operator=(const CMetafilePages&) = delete;
    CDC* StartPage(UINT page) override;
    BOOL EndPage(UINT page) override;

    // The pages recorded, in the order printed.
    std::vector<CEnhMetaFile>& Pages() { return m_pages; }
    // The page numbers they were printed as.
    const std::vector<UINT>& Numbers() const { return m_numbers; }

private:
    void Discard();  // drops a page being recorded

    HDC m_reference;                   // not owned
    CDC m_recording;                   // the page being recorded; no context between pages
    std::vector<CEnhMetaFile> m_pages; // finished pages
    std::vector<UINT> m_numbers;       // their page numbers
};

// The page loop of printing and previewing: BeginPrinting on `job` (which sets the last
// page), PrintPage for pages first..last (last 0: to the end; both cut to the pages there
// are), each between the target's StartPage and EndPage, then EndPrinting on `job`, whatever
// happened. The pages printed, or -1 when the target stopped the job.
int RunPrintJob(CPrintSource& source, CDC& job, CPrintInfo& info, CPageTarget& target, UINT first = 1,
                UINT last = 0);

// Prints every page as one document on `printer` (StartDoc, the pages, EndDoc; AbortDoc when
// a page fails). `outputFile`, when not empty, sends the printer's output to that file.
// The pages printed, or -1.
int PrintDocument(CPrintSource& source, HDC printer, const std::string& gbkDocName,
                  const std::wstring& outputFile = std::wstring());

// The system's print dialog: the context of the printer chosen (the caller deletes it with
// DeleteDC), or null when the user cancelled or there is no printer.
HDC ChoosePrinter(HWND owner);
// The default printer's context without a dialog, or null when there is none.
HDC DefaultPrinter();
