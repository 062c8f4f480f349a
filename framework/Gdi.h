// Device contexts and GDI objects.
//
// Classes in this file:
//   CGdiObject, CPen, CBrush, CFont, CBitmap   owning, move-only: the object is deleted when
//                                              its owner goes (never wrap a stock object or a
//                                              system-colour brush in one)
//   CDC                                        a borrowed device context with the drawing
//                                              operations; texts are GBK and go out through
//                                              the W functions
//   CPaintDC, CClientDC, CWindowDC, CMemoryDC  owning contexts: BeginPaint/EndPaint,
//                                              GetDC/ReleaseDC, CreateCompatibleDC/DeleteDC
//   CSelectGuard, CSaveDCGuard                 select an object (or save the state) for one
//                                              scope and restore the old one at its end
//
// Every owning type counts itself in GdiLiveCounts, so a test can check that a paint leaves
// no object or context behind.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Types.h"

struct GdiLiveCounts {
    static long Objects();  // pens, brushes, fonts, bitmaps alive in owning types
    static long Contexts(); // contexts alive in owning types
};

class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(HGDIOBJ handle);
    ~CGdiObject();
    CGdiObject(CGdiObject&& other) noexcept : m_hObject(other.m_hObject) { other.m_hObject = nullptr; }
    CGdiObject& operator=(CGdiObject&& other) noexcept;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    explicit operator bool() const { return m_hObject != nullptr; }
    // Takes ownership; an object held before is deleted.
    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    BOOL DeleteObject();

protected:
    HGDIOBJ m_hObject = nullptr;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    BOOL CreatePen(int style, int width, COLORREF colour) { return Attach(::CreatePen(style, width, colour)); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* lf) { return Attach(lf ? ::CreateFontIndirectW(lf) : nullptr); }
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const wchar_t* faceName) {
        return Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                    charSet, outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
    }
    BOOL GetLogFont(LOGFONTW* lf) const {
        return m_hObject && ::GetObjectW(m_hObject, sizeof(LOGFONTW), lf) == sizeof(LOGFONTW);
    }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBitmap : public CGdiObject {
public:
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height) {
        return Attach(::CreateCompatibleBitmap(dc, width, height));
    }
    // A 32-bit top-down DIB section; `bits` (if given) receives its first pixel, one DWORD
    // 0x00RRGGBB per pixel, row after row.
    BOOL CreateDIBSection(int width, int height, DWORD** bits = nullptr);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // A printing surface (a printer, or the metafile that stands in for one).
    BOOL IsPrinting() const { return m_bPrinting; }
    void SetPrinting(BOOL printing) { m_bPrinting = printing; }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectStockObject(int index) { return ::SelectObject(m_hDC, ::GetStockObject(index)); }
    HGDIOBJ GetCurrentObject(UINT type) const { return ::GetCurrentObject(m_hDC, type); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }

    // Fills with a colour without a brush; the background colour is left as it was.
    void FillSolidRect(const RECT& rect, COLORREF colour);
    void FillRect(const RECT& rect, HBRUSH brush) { ::FillRect(m_hDC, &rect, brush); }
    void FrameRect(const RECT& rect, HBRUSH brush) { ::FrameRect(m_hDC, &rect, brush); }
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }
    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL Rectangle(const RECT& r) { return ::Rectangle(m_hDC, r.left, r.top, r.right, r.bottom); }
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
    BOOL BitBlt(int x, int y, int w, int h, HDC source, int sx, int sy, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, w, h, source, sx, sy, rop);
    }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    // GBK text, converted with code page 936 and drawn with DrawTextW / TextOutW.
    int DrawText(const std::string& gbkText, RECT* rect, UINT format);
    BOOL TextOut(int x, int y, const std::string& gbkText);
    CSize GetTextExtent(const std::string& gbkText) const;
    BOOL GetTextMetrics(TEXTMETRICW* tm) const { return ::GetTextMetricsW(m_hDC, tm); }

    int GetClipBox(RECT* rect) const { return ::GetClipBox(m_hDC, rect); }
    // Narrows the clip region to `rect` (logical units); the region type comes back.
    int IntersectClipRect(const RECT& rect) {
        return ::IntersectClipRect(m_hDC, rect.left, rect.top, rect.right, rect.bottom);
    }
    CPoint SetWindowOrg(int x, int y);
    CPoint GetWindowOrg() const;
    // Moves the window origin by (dx, dy): drawing at the same logical point lands (-dx, -dy)
    // further on.
    CPoint OffsetWindowOrg(int dx, int dy);
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    CSize SetWindowExt(int cx, int cy);
    CSize SetViewportExt(int cx, int cy);
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

protected:
    BOOL m_bPrinting = FALSE;
};

// WM_PAINT's context: BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_wnd;
};

// A window's client-area context (or the screen's, for a null window): GetDC/ReleaseDC.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND wnd);
    ~CClientDC() override;

private:
    HWND m_wnd;
};

// The whole window's context, frame included: GetWindowDC/ReleaseDC.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND wnd);
    ~CWindowDC() override;

private:
    HWND m_wnd;
};

// A memory context compatible with another (null: with the screen): DeleteDC at the end.
class CMemoryDC : public CDC {
public:
    explicit CMemoryDC(HDC compatibleWith);
    ~CMemoryDC() override;
};

class CSelectGuard {
public:
    CSelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? ::SelectObject(dc, object) : nullptr) {}
    ~CSelectGuard() {
        if (m_old) ::SelectObject(m_dc, m_old);
    }
    CSelectGuard(const CSelectGuard&) = delete;
    CSelectGuard& operator=(const CSelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

class CSaveDCGuard {
public:
    explicit CSaveDCGuard(HDC dc) : m_dc(dc), m_saved(::SaveDC(dc)) {}
    ~CSaveDCGuard() {
        if (m_saved) ::RestoreDC(m_dc, m_saved);
    }
    CSaveDCGuard(const CSaveDCGuard&) = delete;
    CSaveDCGuard& operator=(const CSaveDCGuard&) = delete;

private:
    HDC m_dc;
    int m_saved;
};
