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
        if (m_editor && m_editor->IsWindow()) m_editor->SendMessage(WM_CHAR, key, 0);
        return TRUE;
    }
    if (!m_grid) return FALSE;
    const DWORD format = GetFormat();
    DWORD style = 0;
    if (format != 0xFFFFFFFF) style = (format & DT_RIGHT) ? ES_RIGHT : (format & DT_CENTER) ? ES_CENTER : 0;
    auto* editor = new CCellEditBox(m_grid, rect, style, id, row, col, GetText(), key);
    // A window that could not be made: the object is ours to drop, and nothing is edited.
    if (!editor->IsWindow()) {
        delete editor;
        return FALSE;
    }
    m_editing = TRUE;
    m_editor = editor;
    return TRUE;
}

void CGridCell::StopEdit() {
    if (auto* link = dynamic_cast<CGridEditorLink*>(m_editor)) link->FinishEdit();
}

void CGridCell::OnEditEnded() {
    m_editing = FALSE;
    m_editor = nullptr;
}
