// A 32-bit DIB selected into a memory context: what the benchmarks paint a grid into.
#pragma once

#include "framework/Gdi.h"
#include "framework/Wnd.h"

struct BenchSurface {
    CBitmap bitmap;
    CMemoryDC dc{nullptr};
    HGDIOBJ old;
    BenchSurface(int width, int height) {
        bitmap.CreateDIBSection(width, height);
        old = dc.SelectObject(bitmap.GetSafeHandle());
    }
    ~BenchSurface() { dc.SelectObject(old); }
    BenchSurface(const BenchSurface&) = delete;
    BenchSurface& operator=(const BenchSurface&) = delete;
    // Paints the whole client area of `wnd` into the bitmap (WM_PRINTCLIENT).
    void PaintOf(CWnd& wnd) { wnd.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), PRF_CLIENT); }
};
