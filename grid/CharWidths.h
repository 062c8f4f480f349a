// CGridCharWidths: the advance widths of one font's characters, measured once each, so that
// measuring many texts adds widths instead of asking the system about every text. No window:
// whoever holds the font supplies the measuring function.
//
// A text's width is the sum of its characters' advances, which is what the system's own
// single-line extent of the whole text gives (it neither kerns nor shapes there), so the
// result is the same to the pixel. Characters are GBK code units (see GbkOrder.h), so texts
// are never decoded whole: a unit is decoded only the first time it is met.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class CGridCharWidths {
public:
    struct Extent {
        int cx = 0;  // width in pixels
        int cy = 0;  // height in pixels
        bool operator==(const Extent& o) const { return cx == o.cx && cy == o.cy; }
    };
    // The system's extent of a text of one character's GBK bytes (or of no text at all).
    using Measure = std::function<Extent(std::string_view gbk)>;

    explicit CGridCharWidths(Measure measure);

    // The extent of `text` in one line, as Measure would give it for the whole text.
    Extent TextExtent(std::string_view text);
    // Characters measured so far.
    int Measured() const { return m_measured; }

private:
    // The width of the unit starting at text[i]; i moves past it.
    int UnitWidth(std::string_view text, size_t& i);

    static constexpr int16_t UNKNOWN = -1;
    Measure m_measure;                                     // asks the system
    // Widths by unit: page 0 holds the single bytes, page `lead` the units of that lead
    // byte. A page is made when its first unit is met; UNKNOWN marks units not measured yet.
    std::array<std::unique_ptr<int16_t[]>, 256> m_pages;
    Extent m_empty;                                        // the extent of no text
    int m_height = -1;                                     // a text's height; -1 until measured
    int m_measured = 0;                                    // characters measured so far
};
