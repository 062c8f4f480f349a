// CGridLineSizes: the heights of a grid's rows (or the widths of its columns) and their
// running totals. No window; used by the grid's geometry and tested alone.
//
// Every question the geometry asks (where a line starts, which line covers a pixel, the
// total) costs O(log n) on n lines, and so does changing one size: the sizes are kept with
// a Fenwick tree of 64-bit partial sums beside them. Appending a line costs O(1) amortised,
// cutting lines off the end O(1) each. Each size is bounded (MAX_SIZE), so no total of up to
// 2^31 lines can overflow.
#pragma once

#include <cstdint>
#include <vector>

class CGridLineSizes {
public:
    // The largest size of one line in pixels. Nothing taller than a screen is meant to be
    // shown whole, and GDI's older paths hold only 16-bit coordinates.
    static constexpr int MAX_SIZE = 32767;

    int Count() const { return static_cast<int>(m_sizes.size()); }
    // The size of line `index`; -1 outside [0, Count()).
    int Size(int index) const;
    // False (and nothing changes) outside [0, Count()) or for a size outside [0, MAX_SIZE].
    bool SetSize(int index, int size);

    // Room for `count` lines without reallocation: Append cannot throw below that. May
    // throw (std::bad_alloc, std::length_error).
    void Reserve(int count);
    // A new last line; `size` is clamped to [0, MAX_SIZE]. May throw when no room was reserved.
    void Append(int size);
    // Keeps the first `count` lines (nothing when there are no more than that).
    void Truncate(int count);
    // Gives back the room reserved beyond the lines there are.
    void ShrinkToFit();
    void Clear();

    // The sum of all sizes.
    int64_t Total() const { return m_total; }
    // The sum of the sizes of lines [0, count): where line `count` starts. `count` is
    // clamped to [0, Count()].
    int64_t Prefix(int count) const;
    // The sum of the sizes of lines [first, last] (inclusive); 0 when last < first.
    int64_t Sum(int first, int last) const;
    // The smallest n in [0, Count()] with Prefix(n) >= offset; Count() + 1 when even the
    // total falls short.
    int FirstReaching(int64_t offset) const;
    // The line covering `offset` (its start <= offset < its end), or -1 when the offset lies
    // before 0 or at or beyond the total. Lines of size 0 never cover anything.
    int LineAt(int64_t offset) const;

private:
    std::vector<int32_t> m_sizes;  // one per line
    // Fenwick tree over m_sizes, 1-based (m_tree[0] unused): m_tree[i] is the sum of the
    // sizes of lines [i - lowbit(i), i). Same count + 1 entries, always.
    std::vector<int64_t> m_tree = std::vector<int64_t>(1, 0);
    int64_t m_total = 0;  // the sum of all sizes
};
