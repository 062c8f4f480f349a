#include "grid/cells/GridCell.h"

#include <cwchar>

#include "framework/Wnd.h"
#include "grid/cells/GridDefaultCell.h"

IMPLEMENT_DYNCREATE(CGridCell, CGridCellBase)

namespace {

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// The one font object handed out for cells with a font of their own. Callers select it at
// once, so it only has to live until the next request; asking again for the same
// description keeps the object instead of making it anew.
struct SharedCellFont {
    CFont font;
    LOGFONTW made{};

    HFONT For(const LOGFONTW& lf) {
        if (!font || !SameFont(made, lf)) {
            font.CreateFontIndirect(&lf);
            made = lf;
        }
        return font;
    }
};

SharedCellFont& CellFont() {
    static SharedCellFont shared;
    return shared;
}

}  // namespace

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
    if (m_font) return CellFont().For(*m_font);
    const CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this) return nullptr;
    return def->GetFontObject();
}

void CGridCell::StopEdit() {
    if (auto* link = dynamic_cast<CGridEditorLink*>(m_editor)) link->FinishEdit();
}

void CGridCell::OnEditEnded() {
    m_editing = FALSE;
    m_editor = nullptr;
}
