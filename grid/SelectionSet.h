// A set of cells keyed on the full (row, column) pair: the grid's selection and
// previous-selection sets. No window; stays fast with a million entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "grid/GridCellId.h"

class CGridSelectionSet {
public:
    bool Insert(const CGridCellId& cell);        // true when it was not there yet
    bool Erase(const CGridCellId& cell);         // true when it was there
    bool Contains(const CGridCellId& cell) const;
    size_t Size() const { return m_keys.size(); }
    bool Empty() const { return m_keys.empty(); }
    void Clear();
    void Swap(CGridSelectionSet& other) noexcept { m_keys.swap(other.m_keys); }
    // A copy of the members, for loops that change the set while they walk it.
    std::vector<CGridCellId> Cells() const;
    template <class F>
    void ForEach(F f) const {
        for (uint64_t key : m_keys) f(CellOf(key));
    }

private:
    static uint64_t KeyOf(const CGridCellId& c) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(c.row)) << 32) | static_cast<uint32_t>(c.col);
    }
    static CGridCellId CellOf(uint64_t key) {
        return CGridCellId(static_cast<int32_t>(key >> 32), static_cast<int32_t>(key & 0xFFFFFFFFu));
    }
    std::unordered_set<uint64_t> m_keys;
};
