// The standard controls as far as the program's dialogs use them. Texts are GBK; they cross
// to the control as UTF-16.
#pragma once

#include <string>

#include "framework/Wnd.h"

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
};

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
};

class CListBox : public CWnd {
    DECLARE_DYNAMIC(CListBox)

public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    // Inserts at `index` (-1 = at the end); the new line's index or LB_ERR / LB_ERRSPACE.
    int InsertString(int index, const std::string& gbkText);
    int AddString(const std::string& gbkText);
    int DeleteString(int index) { return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index))); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    // The line's text as GBK; empty for an index outside the list.
    std::string GetText(int index) const;
};
