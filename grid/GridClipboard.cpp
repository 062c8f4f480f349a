// Copy, cut, paste and select all; the edit commands and their enabling; text changes that
// the parent may veto.
#include <algorithm>
#include <new>

#include "framework/GbkText.h"
#include "grid/GridClipText.h"
#include "grid/GridCtrl.h"

namespace {
// Movable, shareable, zero-filled: the block handed to the clipboard.
constexpr UINT kClipboardMemory = GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT;

static_assert(sizeof(wchar_t) == 2, "CF_UNICODETEXT holds UTF-16 units");
static_assert(cliptext::FORMAT_TEXT == CF_TEXT && cliptext::FORMAT_UNICODETEXT == CF_UNICODETEXT &&
                  cliptext::FORMAT_LOCALE == CF_LOCALE,
              "the text formats are the platform's");

// The copy text decoded from GBK, for programs that read UTF-16 whatever their code page.
HGLOBAL UnicodeFromAnsi(COleDataSource& source) {
    HGLOBAL ansi = source.CachedGlobal(CF_TEXT);
    if (!ansi) return nullptr;
    const char* bytes = static_cast<const char*>(::GlobalLock(ansi));
    if (!bytes) return nullptr;
    std::wstring wide = gbk::ToWide(cliptext::TextFromAnsiBlock(std::string_view(bytes, ::GlobalSize(ansi))));
    ::GlobalUnlock(ansi);
    wide.push_back(L'\0');
    return AfxGlobalFromBytes(wide.data(), wide.size() * sizeof(wchar_t), kClipboardMemory);
}
}  // namespace

bool CGridCtrl::NotifyAndCheck(int row, int col, int code, LRESULT* reply) {
    const HWND self = m_hWnd;
    const LRESULT answer = NotifyParent(row, col, code);
    if (reply) *reply = answer;
    return !self || ::IsWindow(self);
}

BOOL CGridCtrl::ValidateCellEdit(int row, int col, const std::string& text) {
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->AcceptEditText(text) : TRUE;
}

void CGridCtrl::SetCellTextNotified(int row, int col, const std::string& text) { ChangeCellText(row, col, text); }

bool CGridCtrl::ChangeCellText(int row, int col, const std::string& text) {
    if (!IsCellEditable(row, col)) return true;
    LRESULT reply = 0;
    if (!NotifyAndCheck(row, col, GRID_NOTIFY_BEGINEDIT, &reply)) return false;
    if (reply < 0) return true;
    return CommitEditedText(row, col, text);
}

std::vector<CGridCellId> CGridCtrl::SortedSelection() const {
    std::vector<CGridCellId> cells = m_selection.Cells();
    auto before = [](const CGridCellId& a, const CGridCellId& b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    };
    // A rectangle alone comes in order already.
    if (!std::is_sorted(cells.begin(), cells.end(), before)) std::sort(cells.begin(), cells.end(), before);
    return cells;
}

void CGridCtrl::ClearSelectedText() {
    if (!Editable) return;
    for (const CGridCellId& id : SortedSelection())
        if (!ChangeCellText(id.row, id.col, std::string())) return;
}

std::string CGridCtrl::SelectionText() const {
    const CGridCellRange range = SelectionBounds();
    if (!IsValidRange(range)) return std::string();
    std::vector<int32_t> rows, cols;
    for (int row = range.minRow; row <= range.maxRow; ++row)
        if (GetRowHeight(row) > 0) rows.push_back(row);
    for (int col = range.minCol; col <= range.maxCol; ++col)
        if (GetColumnWidth(col) > 0) cols.push_back(col);
    // Each cell is reached through its row's array; its state says whether it is selected.
    // A plain cell's text is moved where it lies, without the copy GetText makes; a short
    // one as one block.
    static_assert(cliptext::CopyTextBuffer::kBlock == sizeof(CCompactText), "a short text moves as one block");
    auto appendCell = [this](int row, int col, cliptext::CopyTextBuffer& out) {
        const CGridCellBase* cell = m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
        if (!cell) return;
        if (cell->GetRuntimeClass() == RUNTIME_CLASS(CGridCell)) {
            // CGridCell keeps the base's state as it is.
            if (!(cell->CGridCellBase::GetState() & CELL_SELECTED)) return;
            const CCompactText& text = static_cast<const CGridCell*>(cell)->StoredText();
            if (text.OnHeap())
                out.Append(text.Data(), text.Size());
            else
                out.AppendFromBlock(text.Data(), text.Size());
        } else if (cell->GetState() & CELL_SELECTED) {
            out.Append(cell->GetText());
        }
    };
    // After a sort the rows lie anywhere in memory; read in row order, nearly every cell
    // would wait on memory.
    const std::vector<int> byMemory = RowsInMemoryOrder(range.minRow, range.maxRow);
    if (std::is_sorted(byMemory.begin(), byMemory.end()))
        return cliptext::BuildCopyText(rows, range.maxRow, cols, range.maxCol, appendCell);
    constexpr size_t kHidden = static_cast<size_t>(-1);
    std::vector<size_t> indexOf(byMemory.size(), kHidden);
    for (size_t i = 0; i < rows.size(); ++i) indexOf[static_cast<size_t>(rows[i] - range.minRow)] = i;
    std::vector<size_t> visit;
    visit.reserve(rows.size());
    for (int row : byMemory)
        if (indexOf[static_cast<size_t>(row - range.minRow)] != kHidden)
            visit.push_back(indexOf[static_cast<size_t>(row - range.minRow)]);
    return cliptext::BuildCopyTextVisiting(rows, range.maxRow, cols, range.maxCol, visit, appendCell);
}

CRefPtr<COleDataSource> CGridCtrl::CopySelectionToSource() {
    std::string text;
    try {
        text = SelectionText();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (text.empty()) return nullptr;
    HGLOBAL ansi = AfxGlobalFromBytes(text.data(), text.size(), kClipboardMemory);
    if (!ansi) return nullptr;
    CRefPtr<COleDataSource> source(new (std::nothrow) COleDataSource);
    if (!source) {
        ::GlobalFree(ansi);
        return nullptr;
    }
    try {
        source->CacheGlobalData(CF_TEXT, ansi);
        // Made only when a reader asks for it: most pastes read the GBK text itself.
        source->DelayRenderGlobal(CF_UNICODETEXT, &UnicodeFromAnsi);
        const DWORD locale = cliptext::LOCALE_CHINESE_PRC;
        if (HGLOBAL block = AfxGlobalFromBytes(&locale, sizeof(locale), kClipboardMemory))
            source->CacheGlobalData(CF_LOCALE, block);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return source;
}

void CGridCtrl::CopyToClipboard() {
    CRefPtr<COleDataSource> source = CopySelectionToSource();
    if (source && source->SetClipboard()) ClipboardSource = source.get();
}

void CGridCtrl::CutToClipboard() {
    if (!Editable) return;
    CRefPtr<COleDataSource> source = CopySelectionToSource();
    if (!source) return;
    if (source->SetClipboard()) ClipboardSource = source.get();
    source.reset();
    ClearSelectedText();
}

BOOL CGridCtrl::OffersText(COleDataObject* data) {
    return data && (data->IsDataAvailable(CF_TEXT) || data->IsDataAvailable(CF_UNICODETEXT));
}

BOOL CGridCtrl::ReadOfferedText(COleDataObject* data, std::string* text) {
    std::vector<unsigned> order;
    for (CLIPFORMAT f : data->FormatOrder()) order.push_back(f);
    cliptext::TextFormat format = cliptext::ChooseTextFormat(order);
    // A source that will not list its formats: its GBK text if it has one.
    if (format == cliptext::TextFormat::None)
        format = data->IsDataAvailable(CF_TEXT) ? cliptext::TextFormat::Ansi : cliptext::TextFormat::Unicode;
    std::string block;
    if (format == cliptext::TextFormat::Ansi) {
        if (!data->GetGlobalBytes(CF_TEXT, &block)) return FALSE;
        *text = cliptext::TextFromAnsiBlock(block);
    } else {
        if (!data->GetGlobalBytes(CF_UNICODETEXT, &block)) return FALSE;
        *text = cliptext::TextFromUnicodeBlock(block);
    }
    return TRUE;
}

BOOL CGridCtrl::PasteTextAt(const CGridCellId& cell, COleDataObject* data, BOOL selectPasted) {
    if (!IsValidCell(cell) || !IsCellEditable(cell.row, cell.col) || !OffersText(data)) return FALSE;
    std::string text;
    if (!ReadOfferedText(data, &text)) return FALSE;

    CGridCellRange pasted(cell.row, cell.col, -1, -1);
    m_pasteCut = false;
    int rowOffset = 0;
    for (const cliptext::PasteLine& fields : cliptext::ParsePasteText(text)) {
        int row = cell.row + rowOffset;
        for (; GetRowHeight(row) == 0; ++row) ++rowOffset;  // hidden rows take no line
        int colOffset = 0;
        for (std::string_view field : fields) {
            int col = cell.col + colOffset;
            for (; GetColumnWidth(col) == 0; ++col) ++colOffset;  // nor hidden columns a field
            if (IsValidCell(row, col)) {
                if (!ChangeCellText(row, col, std::string(field))) return FALSE;
                SetCellState(row, col, GetCellState(row, col) & ~static_cast<DWORD>(CELL_SELECTED));
                pasted.maxRow = std::max(pasted.maxRow, row);
                pasted.maxCol = std::max(pasted.maxCol, col);
                if (m_dragRunning) m_droppedCells.Insert(CGridCellId(row, col));
            } else {
                m_pasteCut = true;
            }
            ++colOffset;
        }
        ++rowOffset;
    }
    if (selectPasted) {
        SelectRange(pasted.minRow, pasted.minCol, pasted.maxRow, pasted.maxCol, TRUE, TRUE);
    } else {
        ClearSelection();
        RefreshAll();
    }
    return TRUE;
}

void CGridCtrl::PasteFromClipboard() {
    if (!Editable) return;
    CGridCellId target;
    const CGridCellRange selected = SelectionBounds();
    if (IsValidRange(selected))
        target = selected.TopLeft();
    else if (IsValidCell(m_focusCell))
        target = m_focusCell;
    else
        target = TopLeftScrollCell();
    if (!IsValidCell(target)) return;

    // An open edit control takes the paste into its own text.
    if (IsCellEditing(target.row, target.col)) {
        CGridCellBase* cell = GetCell(target.row, target.col);
        CWnd* editor = cell ? cell->GetEditor() : nullptr;
        wchar_t className[16] = {};
        if (editor && editor->IsWindow() && ::GetClassNameW(editor->m_hWnd, className, 16) &&
            ::lstrcmpiW(className, L"Edit") == 0) {
            editor->SendMessage(WM_PASTE);
            return;
        }
    }
    COleDataObject data;
    if (data.AttachClipboard()) PasteTextAt(target, &data, TRUE);
}

void CGridCtrl::SelectAllCells() {
    if (!NotifyAndCheck(ButtonDownCell.row, ButtonDownCell.col, GRID_NOTIFY_SELCHANGING)) return;
    SelectWholeGrid();
    NotifyParent(m_focusCell.row, m_focusCell.col, GRID_NOTIFY_SELCHANGED);
}

BOOL CGridCtrl::IsEditCommandEnabled(UINT id) {
    switch (id) {
        case ID_EDIT_COPY: return !m_selection.Empty();
        case ID_EDIT_CUT: return Editable && !m_selection.Empty();
        case ID_EDIT_PASTE:
            return IsValidCell(m_focusCell) && IsCellEditable(m_focusCell.row, m_focusCell.col) &&
                   (::IsClipboardFormatAvailable(CF_TEXT) || ::IsClipboardFormatAvailable(CF_UNICODETEXT));
        case ID_EDIT_SELECT_ALL: return SelectionEnabled;
        default: return FALSE;
    }
}

void CGridCtrl::OnEditCopy() { CopyToClipboard(); }
void CGridCtrl::OnEditCut() { CutToClipboard(); }
void CGridCtrl::OnEditPaste() { PasteFromClipboard(); }
void CGridCtrl::OnEditSelectAll() { SelectAllCells(); }
