#include "grid/SelectionSet.h"

#include <utility>

size_t CGridSelectionSet::Find(uint64_t key) const {
    const size_t mask = m_slots.size() - 1;
    size_t i = Home(key, mask);
    while (m_slots[i] != kEmpty && m_slots[i] != key) i = (i + 1) & mask;
    return i;
}

void CGridSelectionSet::Grow() {
    std::vector<uint64_t> old(m_slots.empty() ? 16 : m_slots.size() * 2, kEmpty);
    old.swap(m_slots);
    for (uint64_t key : old)
        if (key != kEmpty) m_slots[Find(key)] = key;
}

bool CGridSelectionSet::Insert(const CGridCellId& cell) {
    const uint64_t key = KeyOf(cell);
    if (key == kEmpty) return false;
    // At most half full: probes stay short.
    if ((m_size + 1) * 2 > m_slots.size()) Grow();
    size_t i = Find(key);
    if (m_slots[i] == key) return false;
    m_slots[i] = key;
    ++m_size;
    return true;
}

bool CGridSelectionSet::Erase(const CGridCellId& cell) {
    const uint64_t key = KeyOf(cell);
    if (key == kEmpty || m_slots.empty()) return false;
    const size_t mask = m_slots.size() - 1;
    size_t hole = Find(key);
    if (m_slots[hole] != key) return false;
    // Close the gap: move back each later member of the run that may live in the hole.
    for (size_t next = (hole + 1) & mask; m_slots[next] != kEmpty; next = (next + 1) & mask) {
        size_t home = Home(m_slots[next], mask);
        bool mayMove = hole <= next ? (home <= hole || home > next) : (home <= hole && home > next);
        if (mayMove) {
            m_slots[hole] = m_slots[next];
            hole = next;
        }
    }
    m_slots[hole] = kEmpty;
    --m_size;
    return true;
}

bool CGridSelectionSet::Contains(const CGridCellId& cell) const {
    const uint64_t key = KeyOf(cell);
    if (key == kEmpty || m_slots.empty()) return false;
    return m_slots[Find(key)] == key;
}

void CGridSelectionSet::Clear() {
    std::vector<uint64_t>().swap(m_slots);
    m_size = 0;
}

std::vector<CGridCellId> CGridSelectionSet::Cells() const {
    std::vector<CGridCellId> cells;
    cells.reserve(m_size);
    ForEach([&cells](const CGridCellId& c) { cells.push_back(c); });
    return cells;
}

size_t CGridSelectionSet::LongestProbe() const {
    size_t longest = 0;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i] == kEmpty) continue;
        size_t distance = ((i - Home(m_slots[i], mask)) & mask) + 1;
        if (distance > longest) longest = distance;
    }
    return longest;
}
