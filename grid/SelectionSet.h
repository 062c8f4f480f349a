// Sets of cells keyed on the full (row, column) pair: the grid's selection and
// previous-selection sets. No window; stays fast with a million members.
//
// Classes in this file:
//   CGridCellTable     single cells in an open-addressing hash table
//   CGridSelectionSet  one rectangle of members (less its holes) plus single members
//
// A selection is mostly one rectangle: select all, a dragged block, whole rows. Kept as its
// four corners, such a selection costs nothing per cell however large it is; only the cells
// taken out of it (a Ctrl-click) and the members outside it are stored one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "grid/GridCellId.h"

// Open addressing with linear probing over a power-of-two table kept at most half full: one
// 8-byte slot per place, no node per member, no allocation per cell.
class CGridCellTable {
public:
    bool Insert(const CGridCellId& cell);        // true when it was not there yet
    bool Erase(const CGridCellId& cell);         // true when it was there
    bool Contains(const CGridCellId& cell) const;
    size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }
    void Clear();                                // also gives the table's memory back
    void Swap(CGridCellTable& other) noexcept {
        m_slots.swap(other.m_slots);
        std::swap(m_size, other.m_size);
    }
    // Calls f(cell) for every member; f must not change the table.
    template <class F>
    void ForEach(F f) const {
        for (uint64_t key : m_slots)
            if (key != kEmpty) f(CellOf(key));
    }
    // The most places any member lies from where its hash points (1 = in its own place): how
    // well the keys spread.
    size_t LongestProbe() const;

private:
    static constexpr uint64_t kEmpty = ~0ull;  // the key of (-1, -1), which is never a member
    static uint64_t KeyOf(const CGridCellId& c) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(c.row)) << 32) | static_cast<uint32_t>(c.col);
    }
    static CGridCellId CellOf(uint64_t key) {
        return CGridCellId(static_cast<int32_t>(key >> 32), static_cast<int32_t>(key & 0xFFFFFFFFu));
    }
    // Both halves mixed: rows and columns alike decide the place.
    static size_t Home(uint64_t key, size_t mask) {
        key ^= key >> 33;
        key *= 0xFF51AFD7ED558CCDull;
        key ^= key >> 33;
        key *= 0xC4CEB9FE1A85EC53ull;
        key ^= key >> 33;
        return static_cast<size_t>(key) & mask;
    }
    // The slot holding `key`, or the empty slot where it would go.
    size_t Find(uint64_t key) const;
    void Grow();

    std::vector<uint64_t> m_slots;  // power-of-two count (or none); kEmpty marks a free place
    size_t m_size = 0;              // members
};

class CGridSelectionSet {
public:
    bool Insert(const CGridCellId& cell);        // true when it was not there yet
    bool Erase(const CGridCellId& cell);         // true when it was there
    bool Contains(const CGridCellId& cell) const {
        return InBlock(cell) ? !m_holes.Contains(cell) : m_single.Contains(cell);
    }
    size_t Size() const;
    bool Empty() const { return Size() == 0; }
    void Clear();                                // also gives the tables' memory back
    void Swap(CGridSelectionSet& other) noexcept {
        std::swap(m_block, other.m_block);
        m_holes.Swap(other.m_holes);
        m_single.Swap(other.m_single);
    }
    // Every cell of `range` becomes a member. Into an empty set, or over a set whose
    // rectangle is smaller, the range becomes the rectangle: no work per cell of it.
    void InsertRange(const CGridCellRange& range);
    // Members outside rows [0, rows) and columns [0, cols) leave (the table shrank).
    void KeepWithin(int rows, int cols);
    // The smallest range holding every member; unset (-1s) when there is none.
    CGridCellRange Bounds() const;
    // A copy of the members: the rectangle's row by row, then the others.
    std::vector<CGridCellId> Cells() const;
    // Calls f(cell) for every member, in the order Cells gives; f must not change the set.
    template <class F>
    void ForEach(F f) const {
        ForEachOutside(CGridCellRange(), f);
    }
    // Calls f(cell) for every member outside `range` (all of them for an unset range).
    template <class F>
    void ForEachOutside(const CGridCellRange& range, F f) const {
        if (m_block.IsSet()) {
            for (int64_t row = m_block.minRow; row <= m_block.maxRow; ++row) {
                const bool crossing = range.IsSet() && row >= range.minRow && row <= range.maxRow;
                for (int64_t col = m_block.minCol; col <= m_block.maxCol; ++col) {
                    const CGridCellId cell(static_cast<int32_t>(row), static_cast<int32_t>(col));
                    // Past the range's columns in one jump.
                    if (crossing && col >= range.minCol && col <= range.maxCol)
                        col = range.maxCol;
                    else if (m_holes.Empty() || !m_holes.Contains(cell))
                        f(cell);
                }
            }
        }
        m_single.ForEach([&](const CGridCellId& c) {
            if (!range.IsSet() || !range.Contains(c.row, c.col)) f(c);
        });
    }
    // The rectangle all of whose cells are members but its holes; unset when there is none.
    const CGridCellRange& Block() const { return m_block; }
    // LongestProbe of the table of single members.
    size_t LongestProbe() const { return m_single.LongestProbe(); }

private:
    bool InBlock(const CGridCellId& cell) const { return m_block.IsSet() && m_block.Contains(cell.row, cell.col); }
    // No rectangle left once every cell of it is a hole.
    void DropEmptyBlock();

    CGridCellRange m_block;   // every cell a member but the holes; unset: none
    CGridCellTable m_holes;   // cells of m_block that are not members
    CGridCellTable m_single;  // the members outside m_block
};
