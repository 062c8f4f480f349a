#include "grid/SelectionSet.h"

bool CGridSelectionSet::Insert(const CGridCellId& cell) { return m_keys.insert(KeyOf(cell)).second; }

bool CGridSelectionSet::Erase(const CGridCellId& cell) { return m_keys.erase(KeyOf(cell)) != 0; }

bool CGridSelectionSet::Contains(const CGridCellId& cell) const { return m_keys.count(KeyOf(cell)) != 0; }

void CGridSelectionSet::Clear() { m_keys.clear(); }

std::vector<CGridCellId> CGridSelectionSet::Cells() const {
    std::vector<CGridCellId> cells;
    cells.reserve(m_keys.size());
    ForEach([&cells](const CGridCellId& c) { cells.push_back(c); });
    return cells;
}
