#include "grid/cells/CellText.h"

#include <cstring>
#include <vector>

namespace {

// The formats the quick way knows: one line, placed by its alignment bits. Anything else
// (ellipses are checked per text) goes to DrawTextW.
constexpr UINT QUICK_FORMATS = DT_SINGLELINE | DT_LEFT | DT_CENTER | DT_RIGHT | DT_TOP | DT_VCENTER | DT_BOTTOM |
                               DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS |
                               DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK;
// Formats that change a line too wide for its rectangle: shortened, or broken at words.
constexpr UINT SHORTENING = DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS | DT_WORDBREAK;

// Where the line of `extent` starts in `rect`, by the format's alignment.
POINT LineOrigin(const RECT& rect, SIZE extent, UINT format) {
    POINT at{rect.left, rect.top};
    if (format & DT_CENTER)
        at.x = (rect.left + rect.right - extent.cx) / 2;
    else if (format & DT_RIGHT)
        at.x = rect.right - extent.cx;
    if (format & DT_VCENTER)
        at.y = rect.top + (rect.bottom - rect.top) / 2 - extent.cy / 2;
    else if (format & DT_BOTTOM)
        at.y = rect.bottom - extent.cy;
    return at;
}

// A 32-bit DIB on a memory context, for comparing the two ways once.
class Probe {
public:
    Probe(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        if (m_dc && m_bitmap) m_old = ::SelectObject(m_dc, m_bitmap);
    }
    ~Probe() {
        if (m_old) ::SelectObject(m_dc, m_old);
        if (m_bitmap) ::DeleteObject(m_bitmap);
        if (m_dc) ::DeleteDC(m_dc);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    bool Ready() const { return m_old && m_bits; }
    HDC Dc() const { return m_dc; }
    void Clear() { std::memset(m_bits, 0xFF, static_cast<size_t>(m_width) * m_height * 4); }
    std::vector<DWORD> Pixels() const { return std::vector<DWORD>(m_bits, m_bits + m_width * m_height); }

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// Whether the quick way gives DrawTextW's pixels on this system: a text drawn both ways in
// every alignment, in rectangles whose room leaves odd pixels over (where rounding shows).
bool CheckQuickWay() {
    Probe probe(64, 40);
    if (!probe.Ready()) return false;
    const HDC dc = probe.Dc();
    const HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    const wchar_t text[] = L"Wg1";
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text, 3, &extent);
    bool same = extent.cx > 0 && extent.cy > 0;
    for (int slack : {3, 4}) {
        for (UINT horizontal : {DT_LEFT, DT_CENTER, DT_RIGHT}) {
            for (UINT vertical : {DT_TOP, DT_VCENTER, DT_BOTTOM}) {
                if (!same) break;
                RECT rect{5, 3, 5 + extent.cx + slack, 3 + extent.cy + slack};
                const UINT format = DT_SINGLELINE | DT_NOPREFIX | horizontal | vertical;
                probe.Clear();
                ::DrawTextW(dc, text, 3, &rect, format);
                const std::vector<DWORD> system = probe.Pixels();
                probe.Clear();
                const POINT at = LineOrigin(rect, extent, format);
                ::ExtTextOutW(dc, at.x, at.y, ETO_CLIPPED, &rect, text, 3, nullptr);
                same = probe.Pixels() == system;
            }
        }
    }
    ::SelectObject(dc, oldFont);
    return same;
}

bool QuickWayAllowed() {
    static const bool allowed = CheckQuickWay();
    return allowed;
}

}  // namespace

namespace celltext {

bool DrawQuick(HDC dc, const wchar_t* text, int length, const RECT& rect, UINT format) {
    if ((format & ~QUICK_FORMATS) || !(format & DT_SINGLELINE) || !(format & DT_NOPREFIX) || length <= 0 ||
        rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    // Control characters (tabs, line breaks) are DrawTextW's to lay out.
    for (int i = 0; i < length; ++i)
        if (text[i] < L' ') return false;
    // Another mapping, direction or alignment on the context: DrawTextW knows what to do.
    if (::GetMapMode(dc) != MM_TEXT || ::GetTextAlign(dc) != (TA_LEFT | TA_TOP | TA_NOUPDATECP) || ::GetLayout(dc) != 0)
        return false;
    if (!QuickWayAllowed()) return false;
    SIZE extent{};
    if (!::GetTextExtentPoint32W(dc, text, length, &extent)) return false;
    if ((format & SHORTENING) && extent.cx > rect.right - rect.left) return false;
    const POINT at = LineOrigin(rect, extent, format);
    return ::ExtTextOutW(dc, at.x, at.y, (format & DT_NOCLIP) ? 0 : ETO_CLIPPED, &rect, text,
                         static_cast<UINT>(length), nullptr) != FALSE;
}

void Draw(HDC dc, const std::string& text, const RECT& rect, UINT format) {
    if (text.empty()) return;
    // Short texts decode on the stack; longer ones into a string.
    wchar_t small[64];
    std::wstring large;
    const wchar_t* wide = small;
    int length = 0;
    if (text.size() < sizeof(small) / sizeof(small[0])) {
        length = ::MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), small, 64);
    } else {
        length = ::MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        large.resize(static_cast<size_t>(length > 0 ? length : 0));
        if (length > 0)
            length = ::MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), &large[0], length);
        wide = large.c_str();
    }
    if (length <= 0) return;
    if (DrawQuick(dc, wide, length, rect, format)) return;
    RECT place = rect;
    ::DrawTextW(dc, wide, length, &place, format);
}

}  // namespace celltext
