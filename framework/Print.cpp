#include "framework/Print.h"

#include <commdlg.h>

#include <algorithm>

#include "framework/GbkText.h"

CEnhMetaFile& CEnhMetaFile::operator=(CEnhMetaFile&& other) noexcept {
    if (this != &other) {
        Reset();
        m_handle = other.m_handle;
        other.m_handle = nullptr;
    }
    return *this;
}

void CEnhMetaFile::Reset() {
    if (m_handle) ::DeleteEnhMetaFile(m_handle);
    m_handle = nullptr;
}

CMetafilePages::~CMetafilePages() { Discard(); }

void CMetafilePages::Discard() {
    if (m_recording.m_hDC) ::DeleteEnhMetaFile(::CloseEnhMetaFile(m_recording.m_hDC));
    m_recording.m_hDC = nullptr;
}

CDC* CMetafilePages::StartPage(UINT) {
    Discard();  // a page started and never ended is dropped
    // The frame, in hundredths of a millimetre, is the reference's printable page, so a
    // played page keeps the printer's proportions and margins.
    CClientDC screen(nullptr);
    const HDC measure = m_reference ? m_reference : screen.GetSafeHdc();
    const int dpiX = std::max(::GetDeviceCaps(measure, LOGPIXELSX), 1);
    const int dpiY = std::max(::GetDeviceCaps(measure, LOGPIXELSY), 1);
    const RECT frame{0, 0, ::MulDiv(::GetDeviceCaps(measure, HORZRES), 2540, dpiX),
                     ::MulDiv(::GetDeviceCaps(measure, VERTRES), 2540, dpiY)};
    m_recording.m_hDC = ::CreateEnhMetaFileW(m_reference, nullptr, &frame, nullptr);
    m_recording.SetPrinting(TRUE);
    return m_recording.m_hDC ? &m_recording : nullptr;
}

BOOL CMetafilePages::EndPage(UINT page) {
    if (!m_recording.m_hDC) return FALSE;
    CEnhMetaFile finished(::CloseEnhMetaFile(m_recording.m_hDC));
    m_recording.m_hDC = nullptr;
    if (!finished) return FALSE;
    m_pages.push_back(std::move(finished));
    m_numbers.push_back(page);
    return TRUE;
}

namespace {
// Ends the job whatever way the page loop is left.
class EndPrintingGuard {
public:
    EndPrintingGuard(CPrintSource& source, CDC& job, CPrintInfo& info) : m_source(source), m_job(job), m_info(info) {}
    ~EndPrintingGuard() { m_source.EndPrinting(&m_job, &m_info); }
    EndPrintingGuard(const EndPrintingGuard&) = delete;
    EndPrintingGuard& operator=(const EndPrintingGuard&) = delete;

private:
    CPrintSource& m_source;
    CDC& m_job;
    CPrintInfo& m_info;
};

HDC RunPrintDialog(HWND owner, DWORD flags) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.Flags = flags | PD_RETURNDC;
    const BOOL chosen = ::PrintDlgW(&dialog);
    if (dialog.hDevMode) ::GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) ::GlobalFree(dialog.hDevNames);
    return chosen ? dialog.hDC : nullptr;
}
}  // namespace

int RunPrintJob(CPrintSource& source, CDC& job, CPrintInfo& info, CPageTarget& target, UINT first, UINT last) {
    info.m_nCurPage = 1;
    source.BeginPrinting(&job, &info);
    EndPrintingGuard end(source, job, info);
    const UINT lastPage = (last == 0 || last > info.GetMaxPage()) ? info.GetMaxPage() : last;
    int printed = 0;
    for (UINT page = std::max(first, 1u); page <= lastPage; ++page) {
        CDC* dc = target.StartPage(page);
        if (!dc) return -1;
        info.m_nCurPage = page;
        source.PrintPage(dc, &info);
        if (!target.EndPage(page)) return -1;
        ++printed;
    }
    return printed;
}

int PrintDocument(CPrintSource& source, HDC printer, const std::string& gbkDocName, const std::wstring& outputFile) {
    if (!printer) return -1;
    const std::wstring name = gbk::ToWide(gbkDocName);
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = name.c_str();
    doc.lpszOutput = outputFile.empty() ? nullptr : outputFile.c_str();
    if (::StartDocW(printer, &doc) <= 0) return -1;
    CDC dc(printer);
    dc.SetPrinting(TRUE);
    CPrintInfo info;
    CPrinterPages pages(dc);
    int printed = -1;
    try {
        printed = RunPrintJob(source, dc, info, pages);
    } catch (...) {
        ::AbortDoc(printer);
        throw;
    }
    if (printed < 0)
        ::AbortDoc(printer);
    else if (::EndDoc(printer) <= 0)
        printed = -1;
    return printed;
}

HDC ChoosePrinter(HWND owner) {
    return RunPrintDialog(owner, PD_ALLPAGES | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE);
}

HDC DefaultPrinter() { return RunPrintDialog(nullptr, PD_RETURNDEFAULT); }
