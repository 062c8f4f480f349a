// CCellDateTimeBox: the in-place editor of a date-time cell, a platform date-time picker
// with spin buttons laid over the cell. When editing ends (Tab, Enter, Esc, Ctrl with an
// arrow or page key, or the focus leaving) it writes the picker's moment into the cell's
// value, whatever the key (Esc too), and reports the picker's display text.
#pragma once

#include <cstdint>
#include <string>

#include "grid/cells/CellEditorBase.h"

class CCellDateTimeBox : public CCellEditorBase {
    DECLARE_DYNAMIC(CCellDateTimeBox)

public:
    // Creates the picker over `rect` of `parent` with `style` (DTS_ styles) and control id
    // `id`, showing the moment `*value` (seconds since 1970, UTC), with the parent's font
    // and the focus. A first character other than VK_LBUTTON, Enter or a page or arrow key
    // is typed into the picker. `value` receives the moment when editing ends; it may be
    // null. When the window cannot be made the object has none (IsWindow() FALSE): the
    // caller deletes it.
    CCellDateTimeBox(CWnd* parent, const CRect& rect, DWORD style, UINT id, int row, int col, COLORREF textColour,
                     COLORREF backColour, int64_t* value, UINT firstChar);
    ~CCellDateTimeBox() override;

    // Every open picker of this thread that would write into `value` forgets it (its cell is
    // going away).
    static void ForgetTarget(const int64_t* value);

protected:
    // The picker's display text.
    std::string FinalText() const override;
    // The picker's moment into the cell.
    void BeforeReport() override;

    LRESULT OnKeyUp(WPARAM key, LPARAM keyData);
    LRESULT OnKillFocus(WPARAM gaining, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    int64_t* m_value;  // the cell's moment, written when editing ends; none once the cell goes
};
