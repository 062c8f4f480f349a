#include "grid/SelectionSet.h"

#include <algorithm>
#include <utility>

// ---- CGridCellTable ----

size_t CGridCellTable::Find(uint64_t key) const {
    const size_t mask = m_slots.size() - 1;
    size_t i = Home(key, mask);
    while (m_slots[i] != kEmpty && m_slots[i] != key) i = (i + 1) & mask;
    return i;
}

void CGridCellTable::Grow() {
    std::vector<uint64_t> old(m_slots.empty() ? 16 : m_slots.size() * 2, kEmpty);
    old.swap(m_slots);
    for (uint64_t key : old)
        if (key != kEmpty) m_slots[Find(key)] = key;
}

bool CGridCellTable::Insert(const CGridCellId& cell) {
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

bool CGridCellTable::Erase(const CGridCellId& cell) {
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

bool CGridCellTable::Contains(const CGridCellId& cell) const {
    const uint64_t key = KeyOf(cell);
    if (key == kEmpty || m_slots.empty()) return false;
    return m_slots[Find(key)] == key;
}

void CGridCellTable::Clear() {
    std::vector<uint64_t>().swap(m_slots);
    m_size = 0;
}

size_t CGridCellTable::LongestProbe() const {
    size_t longest = 0;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i] == kEmpty) continue;
        size_t distance = ((i - Home(m_slots[i], mask)) & mask) + 1;
        if (distance > longest) longest = distance;
    }
    return longest;
}

// ---- CGridSelectionSet ----

namespace {
// The members of `table` inside (`inside`) or outside `range`.
std::vector<CGridCellId> Picked(const CGridCellTable& table, const CGridCellRange& range, bool inside) {
    std::vector<CGridCellId> cells;
    table.ForEach([&](const CGridCellId& c) {
        if (range.Contains(c.row, c.col) == inside) cells.push_back(c);
    });
    return cells;
}
}  // namespace

size_t CGridSelectionSet::Size() const {
    const size_t block = m_block.IsSet() ? static_cast<size_t>(m_block.CellCount()) : 0;
    return block - m_holes.Size() + m_single.Size();
}

bool CGridSelectionSet::Insert(const CGridCellId& cell) {
    if (InBlock(cell)) return m_holes.Erase(cell);
    return m_single.Insert(cell);
}

bool CGridSelectionSet::Erase(const CGridCellId& cell) {
    if (!InBlock(cell)) return m_single.Erase(cell);
    if (!m_holes.Insert(cell)) return false;
    DropEmptyBlock();
    return true;
}

void CGridSelectionSet::DropEmptyBlock() {
    if (!m_block.IsSet() || static_cast<int64_t>(m_holes.Size()) < m_block.CellCount()) return;
    m_block = CGridCellRange();
    m_holes.Clear();
}

void CGridSelectionSet::Clear() {
    m_block = CGridCellRange();
    m_holes.Clear();
    m_single.Clear();
}

void CGridSelectionSet::InsertRange(const CGridCellRange& range) {
    if (!range.IsSet()) return;
    if (m_block.IsSet() && range.CellCount() < m_block.CellCount()) {
        // The smaller range goes in cell by cell.
        for (int64_t row = range.minRow; row <= range.maxRow; ++row)
            for (int64_t col = range.minCol; col <= range.maxCol; ++col)
                Insert(CGridCellId(static_cast<int32_t>(row), static_cast<int32_t>(col)));
        return;
    }
    // The range becomes the rectangle. The old one's members outside it become single
    // members; its holes inside it are members now, and single members inside it are
    // covered by it.
    CGridSelectionSet old;
    Swap(old);
    m_block = range;
    m_single.Swap(old.m_single);
    for (const CGridCellId& c : Picked(m_single, range, true)) m_single.Erase(c);
    old.m_single.Clear();
    old.ForEachOutside(range, [this](const CGridCellId& c) { m_single.Insert(c); });
}

void CGridSelectionSet::KeepWithin(int rows, int cols) {
    const CGridCellRange table(0, 0, rows - 1, cols - 1);
    for (const CGridCellId& c : Picked(m_single, table, false)) m_single.Erase(c);
    if (!m_block.IsSet()) return;
    m_block.maxRow = std::min(m_block.maxRow, rows - 1);
    m_block.maxCol = std::min(m_block.maxCol, cols - 1);
    if (!m_block.IsSet()) {
        m_block = CGridCellRange();
        m_holes.Clear();
        return;
    }
    for (const CGridCellId& c : Picked(m_holes, m_block, false)) m_holes.Erase(c);
    DropEmptyBlock();
}

CGridCellRange CGridSelectionSet::Bounds() const {
    CGridCellRange bounds(INT32_MAX, INT32_MAX, -1, -1);
    auto add = [&bounds](const CGridCellId& c) {
        bounds.minRow = std::min(bounds.minRow, c.row);
        bounds.minCol = std::min(bounds.minCol, c.col);
        bounds.maxRow = std::max(bounds.maxRow, c.row);
        bounds.maxCol = std::max(bounds.maxCol, c.col);
    };
    m_single.ForEach(add);
    if (m_block.IsSet()) {
        const size_t across = static_cast<size_t>(std::min(m_block.maxRow - m_block.minRow, m_block.maxCol - m_block.minCol)) + 1;
        if (m_holes.Size() < across) {
            // Too few holes to empty a whole edge line: the rectangle's corners are the bounds.
            add(m_block.TopLeft());
            add(CGridCellId(m_block.maxRow, m_block.maxCol));
        } else {
            ForEachOutside(CGridCellRange(), add);
        }
    }
    return bounds.maxRow < 0 ? CGridCellRange() : bounds;
}

std::vector<CGridCellId> CGridSelectionSet::Cells() const {
    std::vector<CGridCellId> cells;
    cells.reserve(Size());
    ForEach([&cells](const CGridCellId& c) { cells.push_back(c); });
    return cells;
}
