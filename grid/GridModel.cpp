// The row, column and cell store: counts, sizes, cell access, modified flags, merging.
#include <algorithm>
#include <new>

#include "framework/Exceptions.h"
#include "grid/GridCtrl.h"

namespace {
// A cell that joins the fixed rows (lineBit CELL_FIXEDROW) or columns (CELL_FIXEDCOL): it
// takes the header colours of its default cell.
void JoinFixed(CGridCellBase* cell, DWORD lineBit) {
    cell->SetState(cell->GetState() | CELL_FIXED | lineBit);
    cell->SetBackColour(CLR_DEFAULT);
    cell->SetTextColour(CLR_DEFAULT);
}

// A cell that leaves the fixed rows or columns; one still in the other fixed block stays
// fixed and keeps its colours.
void LeaveFixed(CGridCellBase* cell, DWORD lineBit, bool stillFixed) {
    if (stillFixed) {
        cell->SetState(cell->GetState() & ~lineBit);
        return;
    }
    cell->SetState(cell->GetState() & ~(static_cast<DWORD>(CELL_FIXED) | lineBit));
    cell->SetBackColour(CLR_DEFAULT);
    cell->SetTextColour(CLR_DEFAULT);
}

// Deletes the cells a failed growth step made before they became reachable.
void DeleteCells(std::vector<CGridCellBase*>& cells, size_t from) {
    for (size_t i = from; i < cells.size(); ++i) delete cells[i];
    cells.resize(from);
}

// Gives back the room a vector holds beyond its elements, when a smaller block can be had.
template <class T>
void ShrinkToFit(std::vector<T>& v) {
    try {
        v.shrink_to_fit();
    } catch (...) {
    }
}
}  // namespace

CGridDefaultCell* CGridCtrl::DefaultCellFor(BOOL fixedRow, BOOL fixedCol) const {
    const CGridDefaultCell* def = fixedRow ? (fixedCol ? &m_defaultCorner : &m_defaultFixedRow)
                                           : (fixedCol ? &m_defaultFixedCol : &m_defaultNormal);
    return const_cast<CGridDefaultCell*>(def);
}

CGridCellBase* CGridCtrl::MakeCell(int row, int col) {
    CGridCellBase* cell = NewCellOf(CellClass, row, col);
    // A creatable cell class that yields nothing ran out of memory (or its constructor failed).
    if (!cell && CellClass && CellClass->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase)) && CellClass->IsCreatable())
        throw std::bad_alloc();
    return cell;
}

CGridCellBase* CGridCtrl::NewCellOf(const CRuntimeClass* cls, int row, int col) {
    const bool fixedRow = row < m_fixedRows, fixedCol = col < m_fixedCols;
    const DWORD fixedState = (fixedRow ? CELL_FIXED | CELL_FIXEDROW : 0) | (fixedCol ? CELL_FIXED | CELL_FIXEDCOL : 0);
    if (cls == RUNTIME_CLASS(CGridCell)) {
        // The class nearly every cell is, made without its class record and its setters'
        // calls through the table (a million cells a fill): the same steps as below, with
        // what CGridCell's own versions of them do (no position; a new cell's state is 0).
        auto* cell = new (std::nothrow) CGridCell;
        if (!cell) return nullptr;
        cell->CGridCell::SetOwnerGrid(this);
        cell->CGridCellBase::SetState(fixedState);
        cell->CGridCell::SetFormat(DefaultCellFor(fixedRow, fixedCol)->GetFormat());
        return cell;
    }
    if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase))) return nullptr;
    CObject* object = cls->CreateObject();
    if (!object) return nullptr;
    // The class record says what the object is; a cast that searches the type tree would
    // cost more than the rest of making a cell.
    if (!object->IsKindOf(RUNTIME_CLASS(CGridCellBase))) {
        delete object;
        return nullptr;
    }
    auto* cell = static_cast<CGridCellBase*>(object);
    cell->SetOwnerGrid(this);
    cell->SetPosition(row, col);
    cell->SetState(cell->GetState() | fixedState);
    if (CGridDefaultCell* def = cell->GetDefaultCell()) cell->SetFormat(def->GetFormat());
    return cell;
}

void CGridCtrl::FreeCell(int row, int col) {
    CGridCellBase* cell = GetCell(row, col);
    if (cell && cell->IsEditing()) {
        // Its editor ends first, reporting into the cell while it is still in place; the
        // owner hearing of it may change the table, so the place is looked up again.
        cell->StopEdit();
        cell = GetCell(row, col);
    }
    if (!cell) return;
    SetCellState(row, col, 0);
    // Out of the table before it goes: whatever its destructor sets off (an editor ending,
    // a question to the grid) finds no half-destroyed cell.
    m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)] = nullptr;
    delete cell;
}

void CGridCtrl::DropRows(int count) {
    const std::vector<CGridCellId> cut = BlocksReaching(count, true);
    m_selection.KeepWithin(count, m_cols);  // at once, not a hole per freed cell
    // From the end, one row at a time: the counts always match the arrays, and a cell's
    // destructor that changes the table again only shortens this loop.
    while (m_rows > count) {
        const int row = m_rows - 1;
        for (int col = 0; col < m_cols; ++col) FreeCell(row, col);
        if (row != m_rows - 1) continue;  // the table changed under us; start from its end
        m_cells.pop_back();
        m_rowSizes.Truncate(row);
        m_rows = row;
    }
    CutBlocks(cut);
}

void CGridCtrl::DropColumns(int count) {
    const std::vector<CGridCellId> cut = BlocksReaching(count, false);
    m_selection.KeepWithin(m_rows, count);
    while (m_cols > count) {
        const int col = m_cols - 1;
        for (int row = 0; row < m_rows; ++row) FreeCell(row, col);
        if (col != m_cols - 1) continue;
        for (auto& cells : m_cells) cells.resize(static_cast<size_t>(col));
        m_colSizes.Truncate(col);
        m_cols = col;
    }
    CutBlocks(cut);
}

std::vector<CGridCellId> CGridCtrl::BlocksReaching(int line, bool isRow) const {
    // A block that reaches from before `line` into it covers every one of its cells there.
    std::vector<CGridCellId> origins;
    const int across = isRow ? m_cols : m_rows;
    for (int i = 0; i < across; ++i) {
        const CGridCellBase* cell = isRow ? GetCell(line, i) : GetCell(i, line);
        if (!cell || !cell->IsCoveredBySpan()) continue;
        const CGridCellId origin = cell->GetSpanOwner();
        const int start = isRow ? origin.row : origin.col;
        if (start < line && (origins.empty() || origins.back() != origin)) origins.push_back(origin);
    }
    return origins;
}

void CGridCtrl::CutBlocks(const std::vector<CGridCellId>& origins) {
    for (const CGridCellId& origin : origins) {
        CGridCellBase* cell = GetCell(origin.row, origin.col);
        if (!cell || !cell->IsSpanned()) continue;
        CGridCellRange block = cell->GetSpanRange();
        block.maxRow = std::min(block.maxRow, m_rows - 1);
        block.maxCol = std::min(block.maxCol, m_cols - 1);
        if (block.IsSet() && block.CellCount() > 1) {
            cell->SetSpanRange(block);
        } else {
            // Its origin alone is left: an ordinary cell again, drawn as one.
            cell->SetSpanRange(CGridCellRange());
            cell->SetVisible(true);
        }
    }
}

BOOL CGridCtrl::AddRows(int count) {
    // Reserved first, so that once a row is complete nothing below throws; a growth that
    // fails gives the reserved room back.
    try {
        m_cells.reserve(static_cast<size_t>(count));
        m_rowSizes.Reserve(count);
        const int height = m_defaultNormal.GetHeight();
        std::vector<CGridCellBase*> cells;
        while (m_rows < count) {
            // A row becomes reachable only when all its cells exist.
            cells.reserve(static_cast<size_t>(m_cols));
            try {
                for (int col = 0; col < m_cols; ++col) cells.push_back(MakeCell(m_rows, col));
            } catch (...) {
                DeleteCells(cells, 0);
                throw;
            }
            m_rowSizes.Append(height);
            m_cells.push_back(std::move(cells));
            cells = std::vector<CGridCellBase*>();
            ++m_rows;
        }
        return TRUE;
    } catch (...) {
        ShrinkToFit(m_cells);
        m_rowSizes.ShrinkToFit();
        AfxReportOutOfMemory();
        return FALSE;
    }
}

BOOL CGridCtrl::AddColumns(int count) {
    // All or nothing: the new columns join the table only when every row has its cells.
    size_t built = 0;
    try {
        m_colSizes.Reserve(count);
        for (auto& cells : m_cells) cells.reserve(static_cast<size_t>(count));
        for (; built < m_cells.size(); ++built) {
            for (int col = m_cols; col < count; ++col)
                m_cells[built].push_back(MakeCell(static_cast<int>(built), col));
        }
    } catch (...) {
        for (size_t row = 0; row < m_cells.size(); ++row) {
            if (row <= built) DeleteCells(m_cells[row], static_cast<size_t>(m_cols));
            ShrinkToFit(m_cells[row]);
        }
        m_colSizes.ShrinkToFit();
        AfxReportOutOfMemory();
        return FALSE;
    }
    const int width = m_defaultFixedCol.GetWidth();
    while (m_cols < count) {
        m_colSizes.Append(width);
        ++m_cols;
    }
    return TRUE;
}

BOOL CGridCtrl::SetRowCount(int rows) {
    if (rows < 0) return FALSE;
    if (rows == m_rows) return TRUE;
    if (rows < m_fixedRows) m_fixedRows = rows;
    ForgetTopLeftColumn();
    if (m_focusCell.row >= rows) MoveFocusTo(-1, -1);

    BOOL result = TRUE;
    if (rows < m_rows)
        DropRows(rows);
    else
        result = AddRows(rows);
    SetModified(TRUE);
    UpdateScrollBars();
    RefreshAll();
    return result;
}

BOOL CGridCtrl::SetColumnCount(int cols) {
    if (cols < 0) return FALSE;
    if (cols == m_cols) return TRUE;
    if (cols < m_fixedCols) m_fixedCols = cols;
    ForgetTopLeftColumn();
    if (m_focusCell.col >= cols) MoveFocusTo(-1, -1);

    BOOL result = TRUE;
    if (cols < m_cols)
        DropColumns(cols);
    else
        result = AddColumns(cols);
    SetModified(TRUE);
    UpdateScrollBars();
    RefreshAll();
    return result;
}

BOOL CGridCtrl::SetFixedRowCount(int fixedRows) {
    if (fixedRows < 0) return FALSE;
    if (fixedRows == m_fixedRows) return TRUE;
    ClearSelection();
    ForgetTopLeftColumn();
    if (m_rows < fixedRows && !SetRowCount(fixedRows)) return FALSE;
    if (m_focusCell.row < fixedRows) MoveFocusTo(-1, -1);

    for (int row = fixedRows; row < m_fixedRows; ++row)
        for (int col = 0; col < m_cols; ++col)
            if (CGridCellBase* cell = GetCell(row, col)) LeaveFixed(cell, CELL_FIXEDROW, col < m_fixedCols);
    for (int row = m_fixedRows; row < fixedRows; ++row)
        for (int col = 0; col < m_cols; ++col)
            if (CGridCellBase* cell = GetCell(row, col)) JoinFixed(cell, CELL_FIXEDROW);
    m_fixedRows = fixedRows;
    // The fixed rows are out of the scrolling area: the vertical range changes with them.
    UpdateScrollBars();
    RefreshAll();
    return TRUE;
}

BOOL CGridCtrl::SetFixedColumnCount(int fixedCols) {
    if (fixedCols < 0) return FALSE;
    if (fixedCols == m_fixedCols) return TRUE;
    ClearSelection();
    ForgetTopLeftColumn();
    if (m_cols < fixedCols && !SetColumnCount(fixedCols)) return FALSE;
    if (m_focusCell.col < fixedCols) MoveFocusTo(-1, -1);

    for (int row = 0; row < m_rows; ++row) {
        for (int col = fixedCols; col < m_fixedCols; ++col)
            if (CGridCellBase* cell = GetCell(row, col)) LeaveFixed(cell, CELL_FIXEDCOL, row < m_fixedRows);
        for (int col = m_fixedCols; col < fixedCols; ++col)
            if (CGridCellBase* cell = GetCell(row, col)) JoinFixed(cell, CELL_FIXEDCOL);
    }
    m_fixedCols = fixedCols;
    UpdateScrollBars();
    RefreshAll();
    return TRUE;
}

BOOL CGridCtrl::RemoveAllCells() {
    ClearSelection();
    m_focusCell = CGridCellId();
    m_fixedRows = m_fixedCols = 0;
    DropRows(0);
    DropColumns(0);
    ShrinkToFit(m_cells);
    m_rowSizes.Clear();
    m_colSizes.Clear();
    ForgetTopLeftColumn();
    UpdateScrollBars();
    SetModified(TRUE);
    return TRUE;
}

BOOL CGridCtrl::SetRowHeight(int row, int height) {
    if (!m_rowSizes.SetSize(row, height)) return FALSE;
    UpdateScrollBars();
    return TRUE;
}

BOOL CGridCtrl::SetColumnWidth(int col, int width) {
    if (!m_colSizes.SetSize(col, width)) return FALSE;
    UpdateScrollBars();
    return TRUE;
}

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
    if (!IsValidCell(row, col)) return nullptr;
    return m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

BOOL CGridCtrl::SetCellText(int row, int col, const std::string& text) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return FALSE;
    cell->SetText(text);
    MarkModified(*cell, col);
    return TRUE;
}

std::string CGridCtrl::GetCellText(int row, int col) const {
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetText() : std::string();
}

BOOL CGridCtrl::SetCellState(int row, int col, DWORD state) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return FALSE;
    // The set follows the bit whatever SelectionEnabled says, so it never holds a cell
    // whose bit is clear.
    if (state & CELL_SELECTED)
        m_selection.Insert(CGridCellId(row, col));
    else
        m_selection.Erase(CGridCellId(row, col));
    cell->SetState(state);
    return TRUE;
}

DWORD CGridCtrl::GetCellState(int row, int col) const {
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetState() : 0;
}

BOOL CGridCtrl::SetCellBackColour(int row, int col, COLORREF colour) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return FALSE;
    cell->SetBackColour(colour);
    return TRUE;
}

BOOL CGridCtrl::SetCellTextColour(int row, int col, COLORREF colour) {
    CGridCellBase* cell = GetCell(row, col);
    if (!cell) return FALSE;
    cell->SetTextColour(colour);
    return TRUE;
}

BOOL CGridCtrl::IsCellEditing(int row, int col) const {
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->IsEditing() : FALSE;
}

BOOL CGridCtrl::SetCellFromItem(const GridItem* item) {
    if (!item) return FALSE;
    CGridCellBase* cell = GetCell(item->row, item->col);
    if (!cell) return FALSE;
    SetModified(TRUE, item->row, item->col);
    const UINT mask = item->mask;
    if (mask & ITEM_TEXT) cell->SetText(item->text);
    if (mask & ITEM_DATA) cell->SetData(item->data);
    if (mask & ITEM_IMAGE) cell->SetImage(item->image);
    if (mask & ITEM_STATE) SetCellState(item->row, item->col, item->state);
    if (mask & ITEM_FORMAT) cell->SetFormat(item->format);
    if (mask & ITEM_BKCOLOUR) cell->SetBackColour(item->bkColour);
    if (mask & ITEM_FGCOLOUR) cell->SetTextColour(item->fgColour);
    if (mask & ITEM_FONT) cell->SetFont(&item->font);
    if (mask & ITEM_MARGIN) cell->SetMargin(item->margin);
    return TRUE;
}

void CGridCtrl::MarkModified(CGridCellBase& cell, int col) {
    // An edit in the sorted column voids the sort mark.
    if (col == SortColumn) SetSortColumn(-1);
    cell.SetState(cell.GetState() | CELL_MODIFIED);
    m_modified = TRUE;
}

BOOL CGridCtrl::SetModified(BOOL modified, int row, int col) {
    const bool wholeGrid = row < 0 || col < 0;
    if (!wholeGrid && !IsValidCell(row, col)) return m_modified;
    // An edit in the sorted column (or anywhere, for the whole grid) voids the sort mark.
    if (col < 0 || col == SortColumn) SetSortColumn(-1);
    if (!wholeGrid) {
        if (CGridCellBase* cell = GetCell(row, col)) {
            if (modified)
                MarkModified(*cell, col);
            else
                cell->SetState(cell->GetState() & ~static_cast<DWORD>(CELL_MODIFIED));
        }
        // A cell's flag never clears the grid's: while the grid-wide flag is FALSE, every
        // cell was cleared when it became FALSE, and no cell has been marked since (marking
        // one sets the grid's flag). Nothing else to walk.
        return m_modified;
    }
    m_modified = modified;
    if (!m_modified) {
        for (auto& cells : m_cells)
            for (CGridCellBase* cell : cells)
                if (cell && (cell->GetState() & CELL_MODIFIED))
                    cell->SetState(cell->GetState() & ~static_cast<DWORD>(CELL_MODIFIED));
    }
    return m_modified;
}

void CGridCtrl::MergeCells(int minRow, int minCol, int maxRow, int maxCol) {
    const CGridCellRange range(minRow, minCol, maxRow, maxCol);
    if (!IsValidRange(range)) return;
    // A cell belongs to one block at most: the blocks the new one overlaps are dissolved
    // first (left alone, their cells outside it would stay hidden behind an origin that no
    // longer covers them).
    for (int row = minRow; row <= maxRow; ++row) {
        for (int col = minCol; col <= maxCol; ++col) {
            const CGridCellBase* cell = GetCell(row, col);
            if (!cell) continue;
            if (cell->IsSpanned())
                DissolveBlock(CGridCellId(row, col));
            else if (cell->IsCoveredBySpan())
                DissolveBlock(cell->GetSpanOwner());
        }
    }
    // One cell is no block: it stays an ordinary cell, drawn as one.
    if (range.CellCount() < 2) return;
    for (int row = minRow; row <= maxRow; ++row) {
        for (int col = minCol; col <= maxCol; ++col) {
            CGridCellBase* cell = GetCell(row, col);
            if (!cell) continue;
            cell->SetVisible(false);
            if (row == minRow && col == minCol)
                cell->SetSpanRange(CGridCellRange(minRow, minCol, maxRow, maxCol));
            else
                cell->SetSpanOwner(minRow, minCol);
        }
    }
    if (IsWindow()) Invalidate(TRUE);
}
