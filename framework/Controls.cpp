#include "framework/Controls.h"

#include "framework/GbkText.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)

int CListBox::InsertString(int index, const std::string& gbkText) {
    std::wstring wide = gbk::ToWide(gbkText);
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str())));
}

int CListBox::AddString(const std::string& gbkText) {
    std::wstring wide = gbk::ToWide(gbkText);
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

std::string CListBox::GetText(int index) const {
    LRESULT n = SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (n == LB_ERR) return std::string();
    std::wstring wide(static_cast<size_t>(n) + 1, L'\0');
    n = SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&wide[0]));
    wide.resize(n == LB_ERR ? 0 : static_cast<size_t>(n));
    return gbk::FromWide(wide);
}
