#include "grid/CharWidths.h"

#include <algorithm>
#include <utility>

CGridCharWidths::CGridCharWidths(Measure measure) : m_measure(std::move(measure)), m_empty(m_measure({})) {}

int CGridCharWidths::UnitWidth(std::string_view text, size_t& i) {
    const auto first = static_cast<unsigned char>(text[i]);
    const bool pair = first >= 0x81 && first <= 0xFE && i + 1 < text.size();
    const size_t page = pair ? first : 0, slot = static_cast<unsigned char>(text[pair ? i + 1 : i]);
    const size_t length = pair ? 2 : 1;
    std::unique_ptr<int16_t[]>& widths = m_pages[page];
    if (!widths) {
        widths.reset(new int16_t[256]);
        std::fill(widths.get(), widths.get() + 256, UNKNOWN);
    }
    int16_t& width = widths[slot];
    if (width == UNKNOWN) {
        const Extent one = m_measure(text.substr(i, length));
        // No character is wider than a line may be (CGridLineSizes::MAX_SIZE).
        width = static_cast<int16_t>(std::min(std::max(one.cx, 0), 32767));
        if (m_height < 0) m_height = one.cy;
        ++m_measured;
    }
    i += length;
    return width;
}

CGridCharWidths::Extent CGridCharWidths::TextExtent(std::string_view text) {
    if (text.empty()) return m_empty;
    Extent extent;
    for (size_t i = 0; i < text.size();) extent.cx += UnitWidth(text, i);
    extent.cy = m_height;
    return extent;
}
