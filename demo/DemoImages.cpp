#include "demo/DemoImages.h"

#include "framework/Gdi.h"

namespace {

const COLORREF kMask = RGB(255, 0, 255);  // the see-through colour

// Picture `index` in the square whose left edge is at `x`.
void DrawPicture(CDC& dc, int index, int x) {
    static const COLORREF kColours[kDemoImageCount] = {RGB(220, 40, 40), RGB(40, 160, 60), RGB(40, 90, 220),
                                                       RGB(240, 160, 20)};
    CBrush fill(kColours[index]);
    CPen outline(PS_SOLID, 1, RGB(0, 0, 0));
    CSelectGuard brush(dc, fill), pen(dc, outline);
    const int s = kDemoImageSize, m = 2;  // size and margin
    switch (index) {
        case 0: ::Ellipse(dc, x + m, m, x + s - m, s - m); break;
        case 1: dc.Rectangle(CRect(x + m + 1, m + 1, x + s - m - 1, s - m - 1)); break;
        case 2: {
            POINT corners[] = {{x + s / 2, m}, {x + s - m, s - m - 1}, {x + m, s - m - 1}};
            ::Polygon(dc, corners, 3);
            break;
        }
        default: {
            POINT corners[] = {{x + s / 2, m}, {x + s - m, s / 2}, {x + s / 2, s - m}, {x + m, s / 2}};
            ::Polygon(dc, corners, 4);
            break;
        }
    }
}

}  // namespace

HIMAGELIST MakeDemoImages() {
    HIMAGELIST list = ImageList_Create(kDemoImageSize, kDemoImageSize, ILC_COLOR24 | ILC_MASK, kDemoImageCount, 0);
    if (!list) return nullptr;
    CClientDC screen(nullptr);
    CMemoryDC dc(screen);
    CBitmap strip;
    strip.CreateCompatibleBitmap(screen, kDemoImageSize * kDemoImageCount, kDemoImageSize);
    {
        CSelectGuard selected(dc, strip);
        dc.FillSolidRect(CRect(0, 0, kDemoImageSize * kDemoImageCount, kDemoImageSize), kMask);
        for (int i = 0; i < kDemoImageCount; ++i) DrawPicture(dc, i, i * kDemoImageSize);
    }
    if (ImageList_AddMasked(list, strip, kMask) < 0) {
        ImageList_Destroy(list);
        return nullptr;
    }
    return list;
}
