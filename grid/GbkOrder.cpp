#include "grid/GbkOrder.h"

#include <algorithm>

namespace {
bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
}  // namespace

int CompareGbkText(std::string_view a, std::string_view b) {
    // Equal bytes parse alike in both texts: walk them, knowing whether the next byte begins
    // a unit (it does not after a lead byte).
    const size_t common = std::min(a.size(), b.size());
    bool unitStart = true;
    size_t i = 0;
    for (; i < common && a[i] == b[i]; ++i) unitStart = !unitStart || !IsLead(static_cast<unsigned char>(a[i]));
    if (i == common) return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);

    const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (unitStart) {
        // A unit of two bytes is above every unit of one.
        const bool doubleA = IsLead(ca) && i + 1 < a.size(), doubleB = IsLead(cb) && i + 1 < b.size();
        if (doubleA != doubleB) return doubleA ? 1 : -1;
    }
    // Two units of the same width (or two trail bytes after the same lead): the first bytes
    // that differ decide.
    return ca < cb ? -1 : 1;
}

CGbkSortHead::CGbkSortHead(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < 8; ++i) m_head = m_head << 8 | (i < text.size() ? bytes[i] : 0);
    // Byte order and unit order part only where a unit of one byte at or above 0x81 meets a
    // unit of two: a byte 0xFF, or a lead byte left alone at the end. A text with neither
    // sorts by its bytes.
    for (size_t i = 0; i < text.size(); ++i) {
        if (bytes[i] == 0xFF || (IsLead(bytes[i]) && i + 1 == text.size())) {
            m_byteOrdered = false;
            break;
        }
        if (IsLead(bytes[i])) ++i;
    }
}
