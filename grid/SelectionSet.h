// A set of cells keyed on the full (row, column) pair: the grid's selection and
// previous-selection sets. No window; stays fast with a million entries.
//
// Open addressing with linear probing over a power-of-two table kept at most half full:
// one 8-byte slot per place, no node per member, so selecting every cell of a large grid
// costs about 16 bytes a cell and no allocation per cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "grid/GridCellId.h"

class CGridSelectionSet {
public:
    bool Insert(const CGridCellId& cell);        // true when it was not there yet
    bool Erase(const CGridCellId& cell);         // true when it was there
    bool Contains(const CGridCellId& cell) const;
    size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }
    void Clear();                                // also gives the table's memory back
    void Swap(CGridSelectionSet& other) noexcept {
        m_slots.swap(other.m_slots);
        std::swap(m_size, other.m_size);
    }
    // A copy of the members, for loops that change the set while they walk it.
    std::vector<CGridCellId> Cells() const;
    // Calls f(cell) for every member; f must not change the set.
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
