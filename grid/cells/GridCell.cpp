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
    m_text.clear();
    m_data = 0;
    m_image = -1;
    m_format = 0xFFFFFFFF;
    m_margin = 0xFFFFFFFF;
    m_textColour = CLR_DEFAULT;
    m_backColour = CLR_DEFAULT;
    m_font.reset();
    m_editing = FALSE;
    m_editor = nullptr;
    m_grid = nullptr;
}

void CGridCell::SetFont(const LOGFONTW* font) {
    if (!font) {
        m_font.reset();
        return;
    }
    if (!m_font) m_font = std::make_unique<LOGFONTW>();
    *m_font = *font;
}

DWORD CGridCell::GetFormat() const {
    if (m_format != 0xFFFFFFFF) return m_format;
    const CGridDefaultCell* def = GetDefaultCell();
    // A default cell with its format unset must not ask itself.
    if (!def || def == this) return 0xFFFFFFFF;
    return def->GetFormat();
}

UINT CGridCell::GetMargin() const {
    if (m_margin != 0xFFFFFFFF) return m_margin;
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this) return 0xFFFFFFFF;
    return def->GetMargin();
}

const LOGFONTW* CGridCell::GetFont() const {
    if (m_font) return m_font.get();
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this) return nullptr;
    return def->GetFont();
}

HFONT CGridCell::GetFontObject() const {
    if (m_font) return m_grid ? m_grid->FontObjectFor(*m_font) : ProcessFonts().For(*m_font);
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this) return nullptr;
    return def->GetFontObject();
}

BOOL CGridCell::BeginEdit(int row, int col, CRect rect, CPoint, UINT id, UINT key) {
    if (m_editing) {
        // A second editor would report for the same cell after the cell had forgotten it.
        if (m_editor && m_editor->IsWindow()) m_editor->SendMessage(WM_CHAR, key, 0);
        return TRUE;
    }
    if (!m_grid) return FALSE;
    // Editing from the start: the editor's creation may repaint the cell, which then draws
    // as a cell under an editor.
    m_editing = TRUE;
    CWnd* editor = OpenEditor(row, col, rect, id, key);
    if (!editor) {
        m_editing = FALSE;
        return FALSE;
    }
    m_editor = editor;
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
    m_state = other.m_state;
    m_spanRange = other.m_spanRange;
    m_covered = other.m_covered;
    m_spanOwner = other.m_spanOwner;
    m_hidden = other.m_hidden;
    m_text = other.m_text;
    m_data = other.m_data;
    m_image = other.m_image;
    m_format = other.m_format;
    m_textColour = other.m_textColour;
    m_backColour = other.m_backColour;
    m_font = other.m_font ? std::make_unique<LOGFONTW>(*other.m_font) : nullptr;
    m_margin = other.m_margin;
    m_grid = other.m_grid;
}

void CGridCell::StopEdit() {
    if (auto* link = dynamic_cast<CGridEditorLink*>(m_editor)) link->FinishEdit();
}

void CGridCell::OnEditEnded() {
    m_editing = FALSE;
    m_editor = nullptr;
}
