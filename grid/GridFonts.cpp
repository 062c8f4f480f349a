// The window's font is the default cells' font: WM_SETFONT gives its description to all four,
// WM_GETFONT answers with the normal default cell's font object.
#include "grid/GridCtrl.h"

LRESULT CGridCtrl::OnSetFont(WPARAM font, LPARAM redraw) {
    LRESULT result = Default();
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(font);
    LOGFONTW lf{};
    if (!handle || ::GetObjectType(handle) != OBJ_FONT ||
        ::GetObjectW(handle, sizeof(LOGFONTW), &lf) != static_cast<int>(sizeof(LOGFONTW)))
        return result;
    for (CGridDefaultCell* def : {&m_defaultNormal, &m_defaultFixedCol, &m_defaultFixedRow, &m_defaultCorner})
        def->SetFont(&lf);
    RefreshAll();
    return result;
}

LRESULT CGridCtrl::OnGetFont(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_defaultNormal.GetFontObject());
}
