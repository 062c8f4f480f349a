#include "grid/cells/GridCellCombo.h"

#include "grid/GridCtrl.h"
#include "grid/cells/CellComboList.h"

IMPLEMENT_DYNCREATE(CGridCellCombo, CGridCell)

CGridCellCombo::CGridCellCombo() = default;

CWnd* CGridCellCombo::GetEditor() const {
    auto* box = dynamic_cast<CCellComboList*>(CGridCell::GetEditor());
    return box ? box->EditField() : nullptr;
}

BOOL CGridCellCombo::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
    CGridCtrl* grid = GetOwnerGrid();
    CRect button;
    if (grid && grid->IsCellEditable(row, col) && !IsEditing()) {
        const int h = ::GetSystemMetrics(SM_CYHSCROLL), w = ::GetSystemMetrics(SM_CXVSCROLL);
        if (h < rect.Width() && h < rect.Height()) {
            button.SetRect(rect.right - w, rect.top, rect.right, rect.top + h);
            rect.right -= w;
        }
    }
    // Under an open box the text would show through its edges. It goes back whatever the
    // drawing does, even if the editing ends meanwhile.
    struct HiddenText {
        CCompactText& text;
        const bool hidden;
        CCompactText held;
        HiddenText(CCompactText& t, bool hide) : text(t), hidden(hide) {
            if (hidden) held.Swap(text);
        }
        ~HiddenText() {
            if (hidden) held.Swap(text);
        }
    } hiddenText(m_text, IsEditing() != FALSE);
    const BOOL drawn = CGridCell::Draw(dc, row, col, rect, eraseBkgnd);
    // After the cell, so that its background does not cover the button's left edge; a
    // covered member of a merged block draws nothing of its own.
    if (drawn && !button.IsRectEmpty() && (IsVisible() || IsSpanned()))
        ::DrawFrameControl(*dc, &button, DFC_SCROLL, DFCS_SCROLLDOWN);
    return drawn;
}

CSize CGridCellCombo::MeasureCell(CDC* dc) { return WithButtonRoom(CGridCell::MeasureCell(dc)); }

CWnd* CGridCellCombo::OpenEditor(int row, int col, const CRect& rect, UINT id, UINT key) {
    return KeepIfMade(new CCellComboList(m_grid, rect, m_comboStyle, id, row, col, GetTextColour(), GetBackColour(),
                                         m_options, GetText(), key));
}
