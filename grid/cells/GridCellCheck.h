// CGridCellCheck: a cell with a check box at its left, followed by its text. A click inside
// the box of an editable cell ticks or clears it; nothing else changes (no notification, no
// modified flag). The box is as wide and high as the system's scroll-bar arrow, one margin in
// from the cell's top-left corner, or centred vertically in a row too low for that.
#pragma once

#include "grid/cells/GridCell.h"

class CGridCellCheck : public CGridCell {
    DECLARE_DYNCREATE(CGridCellCheck)

public:
    CGridCellCheck();

    BOOL GetCheck() const { return m_ticked; }
    // Does not repaint: the owner repaints when it sets many at once.
    void SetCheck(BOOL ticked) { m_ticked = ticked; }

    // Draws the cell, then the box over it; remembers the rectangle for clicks.
    BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE) override;
    // The text starts right of the box (never beyond the rectangle's right edge).
    BOOL GetTextRect(RECT* rect) override;
    // Room for the box beside the text, and at least its height.
    CSize MeasureCell(CDC* dc) override;
    // Toggles when `point` (relative to the cell) lies in the box and the grid lets the cell
    // be edited; repaints the cell. A cell never drawn has no box to hit.
    void OnClick(CPoint point) override;

    // The box in a cell drawn at `cell` with margin `margin`: box size s = SM_CXHSCROLL,
    // (left + m, top + m) to (left + m + s, top + m + s), or centred vertically when the cell
    // is lower than s + 2m.
    static CRect BoxRect(const CRect& cell, int margin);
    // The box's side (SM_CXHSCROLL).
    static int BoxSize();

private:
    // The margin as drawn (an unset one counts 0).
    int DrawnMargin() const;

    BOOL m_ticked = FALSE;  // the box's state
    CRect m_lastRect;       // the cell rectangle of the last Draw (grid client); empty before
};
