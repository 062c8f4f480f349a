#include "grid/cells/GridDefaultCell.h"

#include <cstddef>
#include <utility>

#include "grid/GridCtrl.h"

IMPLEMENT_DYNCREATE(CGridDefaultCell, CGridCell)

namespace {
// The message-box font of the system's non-client metrics. The structure is passed in its
// size without the padded-border field, which every system version accepts.
bool MessageBoxFont(LOGFONTW* lf) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        *lf = metrics.lfMessageFont;
        return true;
    }
    return ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), lf) == sizeof(LOGFONTW);
}
}  // namespace

CGridDefaultCell::CGridDefaultCell() {
    SetFormat(DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColour(CLR_DEFAULT);
    SetBackColour(CLR_DEFAULT);
    LOGFONTW lf{};
    if (MessageBoxFont(&lf)) CGridDefaultCell::SetFont(&lf);
}

void CGridDefaultCell::SetFont(const LOGFONTW* font) {
    if (!font) return;
    // The replaced object may have been handed out (WM_GETFONT, a cell falling back to it):
    // the grid keeps it valid as long as it promises to.
    CFont replaced(std::move(m_fontObject));
    if (replaced && m_grid) m_grid->RetireFontObject(std::move(replaced));
    m_fontObject.CreateFontIndirect(font);
    CGridCell::SetFont(font);
    CClientDC screen(nullptr);
    MeasureFont(screen.GetSafeHdc());
}

void CGridDefaultCell::MeasureFont(HDC screen) {
    if (!screen || !m_fontObject) {
        CGridCell::SetMargin(3);
        m_width = 40;
        m_height = 16;
        return;
    }
    CDC dc(screen);
    CSelectGuard select(screen, m_fontObject);
    CGridCell::SetMargin(static_cast<UINT>(dc.GetTextExtent(" ").cx));
    CSize size = dc.GetTextExtent(" XXXXXXXXXXXX ");
    m_width = size.cx;
    // Rows get half a line of air.
    m_height = size.cy * 3 / 2;
}
