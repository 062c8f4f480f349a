#include "framework/PrintPreview.h"

#include <algorithm>
#include <cstdio>

#include "framework/GbkText.h"
#include "framework/MessageLoop.h"
#include "framework/System.h"
#include "framework/WinApp.h"

namespace {
constexpr wchar_t kWindowClass[] = L"PrintPreviewWindow";
constexpr int kToolBarHeight = 36;  // the strip with the buttons and the page number
constexpr int kDeskMargin = 12;     // grey around the page
constexpr int kShadow = 4;          // the page's shadow, down and right
constexpr COLORREF kDesk = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kPaper = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kShadowColour = RGB(0x40, 0x40, 0x40);
constexpr int kOversample = 3;      // the page is drawn this many times larger, then shrunk

HWND MakeChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& r, UINT id) {
    HWND child = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                   AfxGetInstanceHandle(), nullptr);
    if (child) ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}
}  // namespace

BEGIN_MESSAGE_MAP(CPrintPreviewWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_KEYDOWN()
    ON_WM_MOUSEWHEEL()
    ON_BN_CLICKED(ID_PREVIOUS_PAGE, OnPreviousPage)
    ON_BN_CLICKED(ID_NEXT_PAGE, OnNextPage)
    ON_BN_CLICKED(ID_CLOSE_PREVIEW, OnClosePreview)
END_MESSAGE_MAP()

CPrintPreviewWnd::CPrintPreviewWnd(CPrintSource& source, HDC printer) : m_source(source), m_printer(printer) {}

BOOL CPrintPreviewWnd::Create(HWND owner, const std::string& gbkTitle) {
    AfxRegisterClassOnce(kWindowClass, CS_HREDRAW | CS_VREDRAW, nullptr);
    const std::wstring title = gbk::ToWide(gbkTitle);
    if (!CreateEx(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                  CRect(40, 40, 680, 840), owner, 0))
        return FALSE;
    ShowPage(1);
    SetFocus();
    return TRUE;
}

void CPrintPreviewWnd::RunModal(HWND owner, const std::string& gbkTitle) {
    if (!Create(owner, gbkTitle)) return;
    if (owner) ::EnableWindow(owner, FALSE);
    MSG msg;
    while (IsWindow()) {
        // The framework's step before dispatch, as every loop of ours takes it.
        if (!AfxPumpMessage(&msg)) {
            if (msg.message == WM_QUIT) ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
    }
    if (owner) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (IsWindow()) DestroyWindow();
}

int CPrintPreviewWnd::OnCreate(CREATESTRUCTW*) {
    m_previous = MakeChild(m_hWnd, L"BUTTON", L"< Previous", BS_PUSHBUTTON, CRect(8, 6, 96, 30), ID_PREVIOUS_PAGE);
    m_next = MakeChild(m_hWnd, L"BUTTON", L"Next >", BS_PUSHBUTTON, CRect(102, 6, 190, 30), ID_NEXT_PAGE);
    m_close = MakeChild(m_hWnd, L"BUTTON", L"Close", BS_PUSHBUTTON, CRect(196, 6, 284, 30), ID_CLOSE_PREVIEW);
    m_label = MakeChild(m_hWnd, L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE, CRect(300, 6, 520, 30), ID_PAGE_LABEL);
    return m_previous && m_next && m_close && m_label ? 0 : -1;
}

BOOL CPrintPreviewWnd::ShowPage(UINT page) {
    CClientDC screen(nullptr);
    CDC job(m_printer ? m_printer : screen.GetSafeHdc());
    job.SetPrinting(TRUE);
    CPrintInfo info;
    info.m_bPreview = TRUE;
    CMetafilePages pages(m_printer);
    // The job says how many pages there are only once it has begun: a page past the end
    // renders nothing, and the last page is rendered instead.
    page = std::max(page, 1u);
    if (RunPrintJob(m_source, job, info, pages, page, page) == 0 && info.GetMaxPage() > 0) {
        page = info.GetMaxPage();
        RunPrintJob(m_source, job, info, pages, page, page);
    }
    m_pageCount = info.GetMaxPage();
    const bool rendered = !pages.Pages().empty();
    if (rendered) {
        m_page = std::move(pages.Pages().front());
        m_shown.DeleteObject();
        m_current = page;
    }
    UpdateControls();
    if (IsWindow()) Invalidate(FALSE);
    return rendered;
}

void CPrintPreviewWnd::TurnTo(UINT page) {
    if (m_pageCount == 0) return;
    const UINT wanted = std::clamp(page, 1u, m_pageCount);
    if (wanted != m_current) ShowPage(wanted);
    SetFocus();
}

void CPrintPreviewWnd::UpdateControls() {
    if (!IsWindow()) return;
    char text[64];
    if (m_current > 0)
        std::snprintf(text, sizeof(text), "Page %u of %u", m_current, m_pageCount);
    else
        std::snprintf(text, sizeof(text), "No pages");
    ::SetWindowTextW(m_label, gbk::ToWide(text).c_str());
    ::EnableWindow(m_previous, m_current > 1);
    ::EnableWindow(m_next, m_current > 0 && m_current < m_pageCount);
}

CRect CPrintPreviewWnd::PageRect() const {
    CRect client;
    if (IsWindow()) GetClientRect(&client);
    const CRect desk(client.left + kDeskMargin, client.top + kToolBarHeight + kDeskMargin,
                     client.right - kDeskMargin - kShadow, client.bottom - kDeskMargin - kShadow);
    ENHMETAHEADER header{};
    if (!m_page || desk.IsRectEmpty() || !::GetEnhMetaFileHeader(m_page.GetSafeHandle(), sizeof(header), &header))
        return CRect();
    const long long frameWidth = std::max<LONG>(header.rclFrame.right - header.rclFrame.left, 1);
    const long long frameHeight = std::max<LONG>(header.rclFrame.bottom - header.rclFrame.top, 1);
    // As large as the desk allows, in the page's proportions, centred.
    int width = desk.Width(), height = static_cast<int>(width * frameHeight / frameWidth);
    if (height > desk.Height()) {
        height = desk.Height();
        width = static_cast<int>(height * frameWidth / frameHeight);
    }
    const int left = desk.left + (desk.Width() - width) / 2, top = desk.top + (desk.Height() - height) / 2;
    return CRect(left, top, left + width, top + height);
}

void CPrintPreviewWnd::PaintOn(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(CRect(0, 0, client.right, kToolBarHeight), ::GetSysColor(COLOR_BTNFACE));
    dc->FillSolidRect(CRect(0, kToolBarHeight, client.right, client.bottom), kDesk);
    const CRect page = PageRect();
    if (page.IsRectEmpty()) return;
    CRect shadow = page;
    shadow.OffsetRect(kShadow, kShadow);
    dc->FillSolidRect(shadow, kShadowColour);
    if (!m_shown || m_shownSize != CSize(page.Width(), page.Height())) RenderPage(CSize(page.Width(), page.Height()));
    CMemoryDC shown(*dc);
    CSelectGuard select(shown, m_shown);
    if (m_shown) dc->BitBlt(page.left, page.top, page.Width(), page.Height(), shown, 0, 0, SRCCOPY);
}

void CPrintPreviewWnd::RenderPage(CSize size) {
    // Played straight at this size, thin lines and small letters lose pixels here and there;
    // drawn larger and shrunk by averaging, every stroke keeps some ink.
    m_shownSize = size;
    m_shown.DeleteObject();
    CBitmap large;
    DWORD *largeBits = nullptr, *shownBits = nullptr;
    const CSize big(size.cx * kOversample, size.cy * kOversample);
    if (!large.CreateDIBSection(big.cx, big.cy, &largeBits) || !m_shown.CreateDIBSection(size.cx, size.cy, &shownBits))
        return;
    {
        CMemoryDC largeDC(nullptr);
        CSelectGuard select(largeDC, large);
        largeDC.FillSolidRect(CRect(0, 0, big.cx, big.cy), kPaper);
        m_page.Play(largeDC, CRect(0, 0, big.cx, big.cy));
    }
    ::GdiFlush();
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            unsigned sum[3] = {0, 0, 0};
            for (int dy = 0; dy < kOversample; ++dy) {
                const DWORD* p = largeBits + static_cast<size_t>(y * kOversample + dy) * big.cx + x * kOversample;
                for (int dx = 0; dx < kOversample; ++dx)
                    for (int channel = 0; channel < 3; ++channel) sum[channel] += (p[dx] >> (8 * channel)) & 0xFF;
            }
            constexpr unsigned n = kOversample * kOversample;
            shownBits[static_cast<size_t>(y) * size.cx + x] = (sum[2] / n) << 16 | (sum[1] / n) << 8 | sum[0] / n;
        }
    }
}

void CPrintPreviewWnd::OnPaint() {
    CPaintDC paint(m_hWnd);
    CRect client;
    GetClientRect(&client);
    // Through a buffer: playing a page straight onto the window would flicker.
    CMemoryDC buffer(paint);
    CBitmap bitmap;
    if (!buffer.GetSafeHdc() || !bitmap.CreateCompatibleBitmap(paint, client.Width(), client.Height())) {
        PaintOn(&paint);
        return;
    }
    CSelectGuard select(buffer, bitmap);
    PaintOn(&buffer);
    paint.BitBlt(0, 0, client.Width(), client.Height(), buffer, 0, 0, SRCCOPY);
}

BOOL CPrintPreviewWnd::OnEraseBkgnd(HDC) { return TRUE; }  // OnPaint covers every pixel

void CPrintPreviewWnd::OnSize(UINT, int, int) { Invalidate(FALSE); }

void CPrintPreviewWnd::OnKeyDown(UINT key, UINT, UINT) {
    switch (key) {
    case VK_NEXT: case VK_RIGHT: case VK_DOWN: case VK_SPACE: TurnTo(m_current + 1); break;
    case VK_PRIOR: case VK_LEFT: case VK_UP: case VK_BACK: TurnTo(m_current > 1 ? m_current - 1 : 1); break;
    case VK_HOME: TurnTo(1); break;
    case VK_END: TurnTo(m_pageCount); break;
    case VK_ESCAPE: DestroyWindow(); break;
    default: Default();
    }
}

BOOL CPrintPreviewWnd::OnMouseWheel(UINT, short delta, CPoint) {
    if (delta < 0) TurnTo(m_current + 1);
    else if (delta > 0) TurnTo(m_current > 1 ? m_current - 1 : 1);
    return TRUE;
}
