// CGridURLCell: a cell whose text may hold links (the markers of LinkText.h). A text with a
// link is drawn in the link colour; over the word that holds the link the pointer is a hand,
// and a left click on that word opens it through the process's link opener (the shell, by
// default). Such a cell is never edited in place.
//
// A click never starts a program: only a word the link rules allow reaches the opener
// (linktext::TargetToOpen), as UTF-16 decoded from GBK with code page 936.
//
// Classes in this file:
//   GridLinkOpener  what opens a link's target
//   CGridURLCell    the link cell
#pragma once

#include <functional>
#include <string>

#include "grid/cells/GridCell.h"

// Opens a link's target; true when it was handed on.
using GridLinkOpener = std::function<bool(const std::wstring& target)>;

class CGridURLCell : public CGridCell {
    DECLARE_DYNCREATE(CGridURLCell)

public:
    // Link colour = the system's highlight colour now; opens on click. Makes the process's
    // hand pointer when it is the first link cell.
    CGridURLCell();

    COLORREF GetLinkColour() const { return m_linkColour; }
    void SetLinkColour(COLORREF colour) { m_linkColour = colour; }
    BOOL GetOpenOnClick() const { return m_openOnClick; }
    void SetOpenOnClick(BOOL open) { m_openOnClick = open; }

    // A text with a link takes the link colour as its own text colour (and keeps it after the
    // text changes); the rectangle is remembered for the pointer and clicks.
    BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE) override;
    // Never edited in place.
    BOOL BeginEdit(int row, int col, CRect rect, CPoint point, UINT id, UINT key) override { return FALSE; }
    // Opens the link word under `point` (relative to the cell) when opening on click.
    void OnClick(CPoint point) override;
    // The hand over the link word under the pointer (the position of the current message);
    // elsewhere the arrow.
    BOOL OnSetCursor() override;

    // The word under `point` (relative to the cell's top-left corner, as drawn last) when it
    // holds a link; empty otherwise, and before the cell has been drawn.
    std::string LinkUnder(CPoint point);

    // Replaces how links are opened, for the whole process (a host that logs or asks first, a
    // test); none puts the shell back. The previous opener comes back.
    static GridLinkOpener SetLinkOpener(GridLinkOpener opener);
    // The process's hand pointer; never none.
    static HCURSOR HandCursor();
    // Cursor 106 of `module` (loaded as data, so none of its code runs), copied; the system's
    // hand when the module or the cursor is missing; the arrow if even that is.
    static HCURSOR LoadHandCursor(const std::wstring& module);

private:
    COLORREF m_linkColour;      // text colour of a text that holds a link
    BOOL m_openOnClick = TRUE;  // a click on the link word opens it
    CRect m_lastRect;           // the cell rectangle of the last Draw (grid client); empty before
};
