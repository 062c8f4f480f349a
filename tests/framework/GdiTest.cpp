// Device contexts and GDI objects: drawing GBK text into a DIB, selection guards that put
// the old object back, and the live counts that let a paint test prove it leaked nothing.
#include <gtest/gtest.h>

#include "framework/Gdi.h"
#include "framework/System.h"

namespace {

// A 32-bit top-down DIB section selected into a memory context.
struct Dib {
    explicit Dib(int w, int h) : width(w), height(h), dc(nullptr) {
        bitmap.CreateDIBSection(w, h, &bits);
        old = dc.SelectObject(bitmap.GetSafeHandle());
    }
    ~Dib() { dc.SelectObject(old); }
    COLORREF Pixel(int x, int y) const {
        DWORD p = bits[y * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int CountNot(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += Pixel(x, y) != c;
        return n;
    }
    int width, height;
    DWORD* bits = nullptr;
    CBitmap bitmap;
    CMemoryDC dc;
    HGDIOBJ old;
};

}  // namespace

TEST(Gdi, OwningTypesDeleteExactlyOnceAndCountThemselves) {
    long objects = GdiLiveCounts::Objects();
    {
        CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
        CBrush brush(RGB(4, 5, 6));
        EXPECT_EQ(GdiLiveCounts::Objects(), objects + 2);
        CBrush moved(std::move(brush));
        EXPECT_FALSE(brush);
        EXPECT_TRUE(moved);
        EXPECT_EQ(GdiLiveCounts::Objects(), objects + 2);
        HGDIOBJ raw = pen.Detach();
        EXPECT_EQ(GdiLiveCounts::Objects(), objects + 1);
        EXPECT_TRUE(DeleteObject(raw));
    }
    EXPECT_EQ(GdiLiveCounts::Objects(), objects);
}

TEST(Gdi, ChineseTextDrawsThroughTheWideFunctions) {
    long contexts = GdiLiveCounts::Contexts();
    {
        Dib dib(120, 40);
        dib.dc.FillSolidRect(CRect(0, 0, 120, 40), RGB(255, 255, 255));
        EXPECT_EQ(dib.CountNot(RGB(255, 255, 255)), 0);
        CFont font;
        ASSERT_TRUE(font.CreateFont(24, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0x20, L"\u5FAE\u8F6F\u96C5\u9ED1"));
        {
            CSelectGuard select(dib.dc, font.GetSafeHandle());
            dib.dc.SetTextColor(RGB(0, 0, 0));
            dib.dc.SetBkMode(TRANSPARENT);
            CRect r(0, 0, 120, 40);
            const std::string text = "\xBF\xA8\xBA\xC5";  // 卡号
            dib.dc.DrawText(text, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
            // Two CJK glyphs, not four Latin-1 mojibake glyphs: each is a full-width character,
            // about an em wide, and twice as wide as the Latin letter "n".
            CSize extent = dib.dc.GetTextExtent(text);
            CSize one = dib.dc.GetTextExtent("\xBF\xA8");
            TEXTMETRICW tm{};
            ASSERT_TRUE(dib.dc.GetTextMetrics(&tm));
            EXPECT_EQ(extent.cx, 2 * one.cx);
            EXPECT_GE(one.cx, (tm.tmHeight - tm.tmInternalLeading) * 9 / 10);
            EXPECT_GE(one.cx, 3 * dib.dc.GetTextExtent("n").cx / 2);
        }
        EXPECT_GT(dib.CountNot(RGB(255, 255, 255)), 30);
        EXPECT_EQ(dib.dc.GetCurrentObject(OBJ_FONT), GetStockObject(SYSTEM_FONT)) << "the guard reselects the old font";
        EXPECT_EQ(dib.Pixel(0, 39), RGB(255, 255, 255));
    }
    EXPECT_EQ(GdiLiveCounts::Contexts(), contexts);
}

TEST(Gdi, DibSectionIsTopDownWithOneDwordPerPixel) {
    long objects = GdiLiveCounts::Objects();
    {
        Dib dib(7, 5);
        ASSERT_NE(dib.bits, nullptr);
        EXPECT_EQ(GdiLiveCounts::Objects(), objects + 1);
        SetPixelV(dib.dc, 6, 0, RGB(0x11, 0x22, 0x33));
        SetPixelV(dib.dc, 0, 4, RGB(0x44, 0x55, 0x66));
        GdiFlush();
        EXPECT_EQ(dib.bits[6], 0x112233u) << "top row first, 0x00RRGGBB";
        EXPECT_EQ(dib.bits[4 * 7], 0x445566u);
    }
    EXPECT_EQ(GdiLiveCounts::Objects(), objects);
    CBitmap refused;
    DWORD* bits = reinterpret_cast<DWORD*>(1);
    EXPECT_FALSE(refused.CreateDIBSection(0, 0, &bits));
    EXPECT_EQ(bits, nullptr);
}

TEST(Gdi, IntersectClipRectLimitsDrawingUntilRestored) {
    Dib dib(20, 20);
    dib.dc.FillSolidRect(CRect(0, 0, 20, 20), RGB(255, 255, 255));
    {
        CSaveDCGuard saved(dib.dc);
        EXPECT_EQ(dib.dc.IntersectClipRect(CRect(5, 5, 10, 10)), SIMPLEREGION);
        CRect box;
        dib.dc.GetClipBox(&box);
        EXPECT_EQ(box, CRect(5, 5, 10, 10));
        dib.dc.FillSolidRect(CRect(0, 0, 20, 20), RGB(0, 0, 0));
        EXPECT_EQ(dib.dc.IntersectClipRect(CRect(12, 12, 15, 15)), NULLREGION);
    }
    EXPECT_EQ(dib.CountNot(RGB(255, 255, 255)), 25);
    dib.dc.FillSolidRect(CRect(0, 0, 20, 20), RGB(0, 0, 0));
    EXPECT_EQ(dib.CountNot(RGB(255, 255, 255)), 400) << "the saved state had no clip";
}

TEST(Gdi, FillSolidRectKeepsTheBackgroundColour) {
    Dib dib(10, 10);
    dib.dc.SetBkColor(RGB(9, 9, 9));
    dib.dc.FillSolidRect(CRect(2, 2, 5, 5), RGB(200, 0, 0));
    EXPECT_EQ(dib.dc.GetBkColor(), RGB(9, 9, 9));
    EXPECT_EQ(dib.Pixel(2, 2), RGB(200, 0, 0));
    EXPECT_EQ(dib.Pixel(4, 4), RGB(200, 0, 0));
    EXPECT_NE(dib.Pixel(5, 5), RGB(200, 0, 0)) << "the right and bottom edges are exclusive";
}

TEST(System, WheelSettingComesFromTheSystem) {
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(ReadWheelScrollLines(), static_cast<int>(lines));
}

TEST(System, OleInitialisesOncePerThread) {
    EXPECT_TRUE(AfxOleInit());
    EXPECT_TRUE(AfxOleIsInitialized());
    EXPECT_TRUE(AfxOleInit());
}
