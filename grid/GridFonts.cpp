// The window's font is the default cells' font: WM_SETFONT gives its description to all four,
// WM_GETFONT answers with the normal default cell's font object.
//
// Font objects the grid hands out stay valid until the grid is destroyed, or (for the default
// cells' objects) until WM_SETFONT replaces them. A window of the grid's (an editor, the title
// tip) still using a replaced object is given the new one before the old is deleted, so no
// deleted handle is ever selected again.
#include "grid/GridCtrl.h"
#include "grid/cells/GridTitleTip.h"

#include <algorithm>

namespace {
// Gives `font` to every window in `windows` whose font is one of `replaced`.
void ReplaceFontOf(const std::vector<HWND>& windows, const std::vector<CFont>& replaced, HFONT font) {
    for (HWND window : windows) {
        if (!::IsWindow(window)) continue;
        const HGDIOBJ current = reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0));
        if (!current) continue;
        const bool stale = std::any_of(replaced.begin(), replaced.end(),
                                       [current](const CFont& old) { return old.GetSafeHandle() == current; });
        if (stale) ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

BOOL CALLBACK CollectChild(HWND child, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(child);
    return TRUE;
}
}  // namespace

LRESULT CGridCtrl::OnSetFont(WPARAM font, LPARAM redraw) {
    LRESULT result = Default();
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(font);
    LOGFONTW lf{};
    if (!handle || ::GetObjectType(handle) != OBJ_FONT ||
        ::GetObjectW(handle, sizeof(LOGFONTW), &lf) != static_cast<int>(sizeof(LOGFONTW)))
        return result;
    for (CGridDefaultCell* def : {&m_defaultNormal, &m_defaultFixedCol, &m_defaultFixedRow, &m_defaultCorner})
        def->SetFont(&lf);
    // The replaced objects go now; the grid's own windows move to the new font first.
    std::vector<HWND> windows;
    ::EnumChildWindows(m_hWnd, &CollectChild, reinterpret_cast<LPARAM>(&windows));
    if (m_titleTip && m_titleTip->IsWindow()) windows.push_back(m_titleTip->m_hWnd);
    ReplaceFontOf(windows, m_retiredFonts, m_defaultNormal.GetFontObject());
    m_retiredFonts.clear();
    RefreshAll();
    return result;
}

LRESULT CGridCtrl::OnGetFont(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_defaultNormal.GetFontObject());
}

HFONT CGridCtrl::FontObjectFor(const LOGFONTW& font) { return m_cellFonts.For(font); }

void CGridCtrl::RetireFontObject(CFont&& font) {
    if (font) m_retiredFonts.push_back(std::move(font));
}
