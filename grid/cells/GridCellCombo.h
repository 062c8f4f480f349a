// CGridCellCombo: a cell whose value is chosen from a list of option texts. While the grid
// lets it be edited (and it is not being edited) it shows a drop-down arrow at its right
// edge; editing opens a CCellComboList over it with the list dropped, in the drop-down style
// (an edit field: any text) or the choose-only style (CBS_DROPDOWNLIST).
#pragma once

#include <string>
#include <vector>

#include "grid/cells/GridCell.h"

class CGridCellCombo : public CGridCell {
    DECLARE_DYNCREATE(CGridCellCombo)

public:
    CGridCellCombo();

    void SetOptions(std::vector<std::string> options) { m_options = std::move(options); }
    const std::vector<std::string>& GetOptions() const { return m_options; }
    // CBS_DROPDOWN (the default) or CBS_DROPDOWNLIST; takes effect with the next edit.
    void SetComboStyle(DWORD style) { m_comboStyle = style; }
    DWORD GetComboStyle() const { return m_comboStyle; }

    // The open box's edit field in the drop-down style; none otherwise.
    CWnd* GetEditor() const override;
    // The arrow button (when editable and not editing), then the cell left of it; no text
    // while the box lies over the cell.
    BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE) override;
    // Room for the arrow button, and at least its height.
    CSize MeasureCell(CDC* dc) override;

protected:
    // A CCellComboList over `rect` with the options and the cell's text.
    CWnd* OpenEditor(int row, int col, const CRect& rect, UINT id, UINT key) override;

private:
    std::vector<std::string> m_options;  // the option texts (GBK), in list order
    DWORD m_comboStyle = CBS_DROPDOWN;   // CBS_DROPDOWN or CBS_DROPDOWNLIST
};
