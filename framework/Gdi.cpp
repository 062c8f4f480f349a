#include "framework/Gdi.h"

#include <atomic>

#include "framework/GbkText.h"

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_contexts{0};
}  // namespace

long GdiLiveCounts::Objects() { return g_objects.load(); }
long GdiLiveCounts::Contexts() { return g_contexts.load(); }

CGdiObject::CGdiObject(HGDIOBJ handle) { Attach(handle); }

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept {
    if (this != &other) {
        DeleteObject();
        m_hObject = other.m_hObject;  // ownership moves; the live count stays
        other.m_hObject = nullptr;
    }
    return *this;
}

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    DeleteObject();
    if (!handle) return FALSE;
    m_hObject = handle;
    ++g_objects;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ handle = m_hObject;
    if (handle) --g_objects;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject() {
    HGDIOBJ handle = Detach();
    return handle ? ::DeleteObject(handle) : FALSE;
}

BOOL CBitmap::CreateDIBSection(int width, int height, DWORD** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // negative: the first row is the top one
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* first = nullptr;
    BOOL made = Attach(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &first, nullptr, 0));
    if (bits) *bits = made ? static_cast<DWORD*>(first) : nullptr;
    return made;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
    COLORREF old = ::SetBkColor(m_hDC, colour);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT old{};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}

int CDC::DrawText(const std::string& gbkText, RECT* rect, UINT format) {
    std::wstring wide = gbk::ToWide(gbkText);
    const int length = static_cast<int>(wide.size());
    // With DT_MODIFYSTRING the system writes the shortened text back, up to four characters
    // longer than the text: it gets a buffer with that room (the result is not passed on).
    if (format & DT_MODIFYSTRING) wide.append(4, L'\0');
    return ::DrawTextW(m_hDC, &wide[0], length, rect, format);
}

BOOL CDC::TextOut(int x, int y, const std::string& gbkText) {
    std::wstring wide = gbk::ToWide(gbkText);
    return ::TextOutW(m_hDC, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

CSize CDC::GetTextExtent(const std::string& gbkText) const {
    std::wstring wide = gbk::ToWide(gbkText);
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(m_hDC, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

CPoint CDC::SetWindowOrg(int x, int y) {
    POINT old{};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::GetWindowOrg() const {
    POINT org{};
    ::GetWindowOrgEx(m_hDC, &org);
    return org;
}

CPoint CDC::OffsetWindowOrg(int dx, int dy) {
    POINT old{};
    ::OffsetWindowOrgEx(m_hDC, dx, dy, &old);
    return old;
}

CSize CDC::SetWindowExt(int cx, int cy) {
    SIZE old{};
    ::SetWindowExtEx(m_hDC, cx, cy, &old);
    return old;
}

CSize CDC::SetViewportExt(int cx, int cy) {
    SIZE old{};
    ::SetViewportExtEx(m_hDC, cx, cy, &old);
    return old;
}

CPaintDC::CPaintDC(HWND wnd) : m_wnd(wnd) {
    m_hDC = ::BeginPaint(wnd, &m_ps);
    if (m_hDC) ++g_contexts;
}

CPaintDC::~CPaintDC() {
    if (m_hDC) --g_contexts;
    ::EndPaint(m_wnd, &m_ps);
}

CClientDC::CClientDC(HWND wnd) : m_wnd(wnd) {
    m_hDC = ::GetDC(wnd);
    if (m_hDC) ++g_contexts;
}

CClientDC::~CClientDC() {
    if (m_hDC) {
        --g_contexts;
        ::ReleaseDC(m_wnd, m_hDC);
    }
}

CWindowDC::CWindowDC(HWND wnd) : m_wnd(wnd) {
    m_hDC = ::GetWindowDC(wnd);
    if (m_hDC) ++g_contexts;
}

CWindowDC::~CWindowDC() {
    if (m_hDC) {
        --g_contexts;
        ::ReleaseDC(m_wnd, m_hDC);
    }
}

CMemoryDC::CMemoryDC(HDC compatibleWith) {
    m_hDC = ::CreateCompatibleDC(compatibleWith);
    if (m_hDC) ++g_contexts;
}

CMemoryDC::~CMemoryDC() {
    if (m_hDC) {
        --g_contexts;
        ::DeleteDC(m_hDC);
    }
}
