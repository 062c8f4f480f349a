// CGridDefaultCell: one of the grid's four default cells (normal, fixed row, fixed column,
// corner). It carries the defaults that ordinary cells fall back to, owns the font object
// made from its font description, and knows the default cell width, height and margin
// measured from that font on the screen.
#pragma once

#include "grid/cells/GridCell.h"

class CGridDefaultCell : public CGridCell {
    DECLARE_DYNCREATE(CGridDefaultCell)

public:
    // Format DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS and the system's
    // message-box font, measured.
    CGridDefaultCell();

    // Default cells are never focused, selected or carriers of data.
    void SetData(LPARAM data) override {}
    void SetState(DWORD state) override {}
    DWORD GetState() const override { return CGridCell::GetState() | CELL_READONLY; }
    // Makes the font object from the description and measures it (none: nothing changes).
    // The object it replaces goes to the owner grid, which keeps it valid as long as a
    // handle it handed out must stay valid (CGridCtrl::RetireFontObject).
    void SetFont(const LOGFONTW* font) override;
    const LOGFONTW* GetFont() const override { return Extras().font.get(); }
    HFONT GetFontObject() const override { return m_fontObject; }

    // 65-70
    virtual DWORD GetStyle() const { return m_style; }
    virtual void SetStyle(DWORD style) { m_style = style; }
    virtual int GetWidth() const { return m_width; }
    virtual int GetHeight() const { return m_height; }
    virtual void SetWidth(int width) { m_width = width; }
    virtual void SetHeight(int height) { m_height = height; }

protected:
    // Margin, width and height from the font object as drawn on `screen`; fixed values when
    // there is no screen context (or no font object) to measure with.
    void MeasureFont(HDC screen);

    int m_width = 30;    // default column width, measured from the font
    int m_height = 10;   // default row height, measured from the font
    CFont m_fontObject;  // made from the font description
    DWORD m_style = 0;   // kept and returned for the owner; nothing else reads it
};
