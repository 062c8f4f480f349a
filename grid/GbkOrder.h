// The order in which the grid sorts texts: by GBK code units, the same on every machine
// whatever its code page or locale. No window.
//
// Classes in this file:
//   CGbkSortHead  the head of a text, which decides most comparisons alone
#pragma once

#include <cstdint>
#include <string_view>

// Negative when `a` sorts before `b`, 0 when they are equal, positive when after.
//
// A lead byte (0x81 to 0xFE) with a byte after it forms one code unit, lead * 256 + trail;
// any other byte is a unit of its own value. Units compare as unsigned numbers, so every
// double-byte character sorts after every single byte, and a text sorts after each of its
// prefixes. Case counts and no collation applies: "B" before "a", "10" before "9".
int CompareGbkText(std::string_view a, std::string_view b);

// The first eight bytes of a text, held for the many comparisons a sort makes: two heads
// decide most of them without reaching the texts, which may lie anywhere in memory.
class CGbkSortHead {
public:
    CGbkSortHead() = default;
    explicit CGbkSortHead(std::string_view text);

    // True when the two heads alone tell how their texts compare: `order` then gets what
    // CompareGbkText would give for them. False when only the whole texts can tell.
    // Inline: a sort asks this millions of times.
    bool Orders(const CGbkSortHead& other, int* order) const {
        // Heads that differ differ where the texts first do, or where one text ends and the
        // other goes on with a byte above 0 (a zero byte there leaves the heads equal).
        if (!m_byteOrdered || !other.m_byteOrdered || m_head == other.m_head) return false;
        *order = m_head < other.m_head ? -1 : 1;
        return true;
    }

private:
    uint64_t m_head = 0;        // the first eight bytes, the first one highest; zeros after the end
    bool m_byteOrdered = true;  // plain byte order gives the text's unit order (see the constructor)
};
