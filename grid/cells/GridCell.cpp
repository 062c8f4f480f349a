#include "grid/cells/GridCell.h"

#include <algorithm>
#include <cwchar>

#include "framework/Wnd.h"
#include "grid/GridCtrl.h"
#include "grid/cells/CellEditBox.h"
#include "grid/cells/GridDefaultCell.h"

IMPLEMENT_DYNCREATE(CGridCell, CGridCellBase)

namespace {
// The fonts of cells that belong to no grid: kept until the process ends.
CGridFontCache& ProcessFonts() {
    static CGridFontCache fonts;
    return fonts;
}
}  // namespace

std::string CGridFontCache::KeyOf(const LOGFONTW& font) {
    LOGFONTW key = font;
    const size_t length = wcsnlen(key.lfFaceName, LF_FACESIZE);
    std::fill(key.lfFaceName + length, key.lfFaceName + LF_FACESIZE, L'\0');
    return std::string(reinterpret_cast<const char*>(&key), sizeof(key));
}

HFONT CGridFontCache::For(const LOGFONTW& font) {
    const std::string key = KeyOf(font);
    auto found = m_fonts.find(key);
    if (found != m_fonts.end()) return found->second;
    CFont made;
    // Not kept when it fails: a later request tries again.
    if (!made.CreateFontIndirect(&font)) return nullptr;
    return m_fonts.emplace(key, std::move(made)).first->second;
}

CGridCell::CGridCell() { CGridCell::Reset(); }

CGridCell::~CGridCell() = default;

void CGridCell::Reset() {
    CGridCellBase::Reset();
    m_text.Clear();
    m_format = 0xFFFFFFFF;
    m_extras.reset();  // data, image, colours, font, margin, the editor
    m_grid = nullptr;
}

void CGridCell::SetFont(const LOGFONTW* font) {
    if (!font) {
        if (!m_extras) return;
        m_extras->font.reset();
        TrimExtras();
        return;
    }
    if (m_extras && m_extras->font) {
        *m_extras->font = *font;
        return;
    }
    auto record = std::make_unique<LOGFONTW>(*font);
    WritableExtras().font = std::move(record);
}

DWORD CGridCell::GetFormat() const {
    if (m_format != 0xFFFFFFFF) return m_format;
    const CGridDefaultCell* def = GetDefaultCell();
    // A default cell with its format unset must not ask itself.
    if (!def || def == this) return 0xFFFFFFFF;
    return def->GetFormat();
}

UINT CGridCell::GetMargin() const {
    const UINT margin = Extras().margin;
    if (margin != 0xFFFFFFFF) return margin;
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this) return 0xFFFFFFFF;
    return def->GetMargin();
}

const LOGFONTW* CGridCell::GetFont() const {
    if (const LOGFONTW* own = Extras().font.get()) return own;
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this) return nullptr;
    return def->GetFont();
}

HFONT CGridCell::GetFontObject() const {
    if (const LOGFONTW* own = Extras().font.get()) return m_grid ? m_grid->FontObjectFor(*own) : ProcessFonts().For(*own);
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this) return nullptr;
    return def->GetFontObject();
}

BOOL CGridCell::BeginEdit(int row, int col, CRect rect, CPoint, UINT id, UINT key) {
    if (IsEditing()) {
        // A second editor would report for the same cell after the cell had forgotten it.
        CWnd* editor = Extras().editor;
        if (editor && editor->IsWindow()) editor->SendMessage(WM_CHAR, key, 0);
        return TRUE;
    }
    if (!m_grid) return FALSE;
    // Editing from the start: the editor's creation may repaint the cell, which then draws
    // as a cell under an editor.
    SetEditing(TRUE, nullptr);
    CWnd* editor = OpenEditor(row, col, rect, id, key);
    if (!editor) {
        SetEditing(FALSE, nullptr);
        return FALSE;
    }
    // The block made for the editing flag is still there: setting the editor cannot throw.
    SetEditing(TRUE, editor);
    return TRUE;
}

CWnd* CGridCell::OpenEditor(int row, int col, const CRect& rect, UINT id, UINT key) {
    return KeepIfMade(new CCellEditBox(m_grid, rect, EditStyle(), id, row, col, GetText(), key));
}

CSize CGridCell::WithButtonRoom(CSize size) {
    size.cx += ::GetSystemMetrics(SM_CXVSCROLL);
    size.cy = std::max<LONG>(size.cy, ::GetSystemMetrics(SM_CYHSCROLL));
    return size;
}

CWnd* CGridCell::KeepIfMade(CWnd* editor) {
    if (editor->IsWindow()) return editor;
    // A window that could not be made: the object is ours to drop, and nothing is edited.
    delete editor;
    return nullptr;
}

DWORD CGridCell::EditStyle() const {
    const DWORD format = GetFormat();
    if (format == 0xFFFFFFFF) return 0;
    return (format & DT_RIGHT) ? ES_RIGHT : (format & DT_CENTER) ? ES_CENTER : 0;
}

void CGridCell::TakeOverFrom(const CGridCell& other) {
    if (&other == this) return;
    // Everything that may fail first: a failure leaves this cell as it was.
    CCompactText text(other.m_text.View());
    std::unique_ptr<GridCellExtras> extras;
    if (other.m_extras) {
        const GridCellExtras& from = *other.m_extras;
        extras = std::make_unique<GridCellExtras>();
        extras->spanRange = from.spanRange;
        extras->spanOwner = from.spanOwner;
        extras->covered = from.covered;
        extras->hidden = from.hidden;
        extras->data = from.data;
        extras->image = from.image;
        extras->textColour = from.textColour;
        extras->backColour = from.backColour;
        extras->margin = from.margin;
        if (from.font) extras->font = std::make_unique<LOGFONTW>(*from.font);
    }
    // This cell's own editing stays as it is.
    if (m_extras) {
        if (!extras) extras = std::make_unique<GridCellExtras>();
        extras->editing = m_extras->editing;
        extras->editor = m_extras->editor;
    }
    m_state = other.m_state;
    m_text.Swap(text);
    m_format = other.m_format;
    m_grid = other.m_grid;
    m_extras = std::move(extras);
    TrimExtras();
}

void CGridCell::SetEditing(BOOL editing, CWnd* editor) {
    PutExtra(&GridCellExtras::editing, editing);
    PutExtra(&GridCellExtras::editor, editor);
}

void CGridCell::StopEdit() {
    if (auto* link = dynamic_cast<CGridEditorLink*>(Extras().editor)) link->FinishEdit();
}

void CGridCell::OnEditEnded() { SetEditing(FALSE, nullptr); }
