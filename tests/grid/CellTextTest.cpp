// A cell's text drawn the quick way (one ExtTextOutW) against DrawTextW itself: the same
// pixels for every format, font, rectangle and text, and the quick way taken for the
// common cell (one line that fits) and declined where DrawTextW must lay the text out.
#include <string>
#include <vector>

#include "framework/GbkText.h"
#include "grid/cells/CellText.h"
#include "tests/grid/GridTestSupport.h"

namespace {
constexpr UINT kCellFormat = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;  // the default cell's

// A font the test makes and deletes.
struct TestFont {
    CFont font;
    TestFont(int height, int weight, BYTE italic, const wchar_t* face) {
        font.CreateFont(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    }
};

// The single-line extent of `text` in the font selected in `dc`.
SIZE Extent(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}
}  // namespace

TEST(CellText, DrawsWhatDrawTextDraws) {
    DibSurface system(220, 60, RGB(255, 255, 255)), quick(220, 60, RGB(255, 255, 255));
    TestFont bold(-17, FW_BOLD, TRUE, L"Arial"), chinese(-12, FW_NORMAL, FALSE, L"SimSun");
    const HFONT fonts[] = {static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), bold.font, chinese.font};
    const std::string texts[] = {"abcdefg", "中文字和abc", "Wy", "a&b", "x\ty", "one\ntwo", "", "  spaced  "};
    const UINT formats[] = {kCellFormat,
                            kCellFormat | DT_CENTER,
                            kCellFormat | DT_RIGHT,
                            DT_SINGLELINE | DT_NOPREFIX | DT_BOTTOM | DT_RIGHT,
                            DT_SINGLELINE | DT_NOPREFIX,
                            DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_CENTER | DT_VCENTER,
                            DT_SINGLELINE | DT_NOPREFIX | DT_WORDBREAK | DT_VCENTER,
                            DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS,
                            DT_SINGLELINE | DT_VCENTER,  // prefixes: DrawTextW's own work
                            DT_NOPREFIX | DT_WORDBREAK | DT_EXPANDTABS,
                            DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS};
    int compared = 0;
    for (HFONT font : fonts) {
        CSelectGuard a(system.dc, font), b(quick.dc, font);
        system.dc.SetBkMode(TRANSPARENT);
        quick.dc.SetBkMode(TRANSPARENT);
        for (const std::string& text : texts) {
            const std::wstring wide = gbk::ToWide(text);
            const SIZE extent = Extent(system.dc, wide);
            // Room to spare, exactly the text's width, a pixel short, nearly none; heights
            // above and below the text's, odd and even.
            const int widths[] = {200, static_cast<int>(extent.cx), static_cast<int>(extent.cx) - 1, 3};
            const int heights[] = {extent.cy + 7, extent.cy + 6, extent.cy, extent.cy - 3};
            for (int width : widths)
                for (int height : heights)
                    for (UINT format : formats) {
                        if (width <= 0 || height <= 0) continue;
                        const CRect rect(6, 4, 6 + width, 4 + height);
                        system.Fill(RGB(255, 255, 255));
                        quick.Fill(RGB(255, 255, 255));
                        CRect place = rect;
                        DrawTextW(system.dc, wide.c_str(), static_cast<int>(wide.size()), &place, format);
                        celltext::Draw(quick.dc, text, rect, format);
                        EXPECT_TRUE(quick.SameAs(system)) << "text \"" << text << "\" in " << width << " x " << height
                                                          << ", format 0x" << std::hex << format;
                        ++compared;
                    }
        }
    }
    EXPECT_GT(compared, 1000);
}

TEST(CellText, QuickOnlyForOneLineThatFits) {
    DibSurface dib(220, 40, RGB(255, 255, 255));
    CSelectGuard font(dib.dc, GetStockObject(DEFAULT_GUI_FONT));
    const SIZE word = Extent(dib.dc, L"abcdef");
    const struct {
        const char* what;
        const wchar_t* text;
        int width;
        UINT format;
        bool quick;
    } cases[] = {
        {"the default cell's format, room to spare", L"abcdef", 200, kCellFormat, true},
        {"exactly the text's width", L"abcdef", word.cx, kCellFormat, true},
        {"a pixel short: an ellipsis", L"abcdef", word.cx - 1, kCellFormat, false},
        {"a pixel short, no ellipsis: clipped", L"abcdef", word.cx - 1, DT_SINGLELINE | DT_NOPREFIX, true},
        {"a pixel short, broken at words", L"abcdef", word.cx - 1, DT_SINGLELINE | DT_NOPREFIX | DT_WORDBREAK, false},
        {"centred and right", L"abcdef", 200, kCellFormat | DT_CENTER, true},
        {"a tab", L"ab\tcd", 200, kCellFormat, false},
        {"a line break", L"ab\ncd", 200, kCellFormat, false},
        {"prefixes", L"a&b", 200, DT_SINGLELINE | DT_VCENTER, false},
        {"several lines", L"abcdef", 200, DT_NOPREFIX | DT_WORDBREAK, false},
        {"right to left", L"abcdef", 200, kCellFormat | DT_RTLREADING, false},
        {"external leading", L"abcdef", 200, kCellFormat | DT_EXTERNALLEADING, false},
        {"no text", L"", 200, kCellFormat, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CRect rect(4, 4, 4 + c.width, 24);
        dib.Fill(RGB(255, 255, 255));
        EXPECT_EQ(celltext::DrawQuick(dib.dc, c.text, static_cast<int>(wcslen(c.text)), rect, c.format), c.quick);
        EXPECT_EQ(dib.Count(RGB(255, 255, 255)) < dib.width * dib.height, c.quick) << "drawn only when taken";
    }
    // Another mapping or text alignment on the context: left to DrawTextW.
    const CRect rect(4, 4, 200, 24);
    SetTextAlign(dib.dc, TA_BASELINE);
    EXPECT_FALSE(celltext::DrawQuick(dib.dc, L"abc", 3, rect, kCellFormat));
    SetTextAlign(dib.dc, TA_LEFT | TA_TOP);
    SetMapMode(dib.dc, MM_TWIPS);
    EXPECT_FALSE(celltext::DrawQuick(dib.dc, L"abc", 3, rect, kCellFormat));
    SetMapMode(dib.dc, MM_TEXT);
    EXPECT_TRUE(celltext::DrawQuick(dib.dc, L"abc", 3, rect, kCellFormat));
}
