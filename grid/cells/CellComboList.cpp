#include "grid/cells/CellComboList.h"

#include <algorithm>

#include "framework/GbkText.h"
#include "framework/Gdi.h"

IMPLEMENT_DYNAMIC(CCellComboEdit, CWnd)
IMPLEMENT_DYNAMIC(CCellComboList, CCellEditorBase)

// ---- the edit field ----

BEGIN_MESSAGE_MAP(CCellComboEdit, CWnd)
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_KEYUP, OnKeyUp)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
END_MESSAGE_MAP()

void CCellComboEdit::PostNcDestroy() { delete this; }

void CCellComboEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (CCellEditorBase::IsCtrlExitKey(key) && GetDlgCtrlID() == static_cast<int>(EDIT_ID)) {
        ::SendMessageW(Box(), WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
        return;
    }
    if (CCellEditorBase::IsEndingKey(key)) m_pressed = key;
    Default();
}

LRESULT CCellComboEdit::OnKeyUp(WPARAM key, LPARAM keyData) {
    if (!CCellEditorBase::IsEndingKey(key) || m_pressed != key) return Default();
    m_pressed = 0;
    return ::SendMessageW(Box(), WM_KEYUP, key, keyData);
}

LRESULT CCellComboEdit::OnKillFocus(WPARAM gaining, LPARAM) {
    Default();
    // The box hands the focus straight back to its field: that is no leaving.
    const HWND box = Box();
    if (reinterpret_cast<HWND>(gaining) == box) return 0;
    if (auto* editor = dynamic_cast<CGridEditorLink*>(CWnd::FromHandlePermanent(box))) editor->FinishEdit();
    return 0;
}

BOOL CCellComboEdit::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != m_hWnd) return FALSE;
    if (msg->message == WM_SYSCHAR) return TRUE;
    if (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) {
        // Dispatched here, before a dialog's keys see them. The field may be gone afterwards.
        ::TranslateMessage(msg);
        ::DispatchMessageW(msg);
        return TRUE;
    }
    return FALSE;
}

// ---- the combo box ----

BEGIN_MESSAGE_MAP(CCellComboList, CCellEditorBase)
    ON_MESSAGE(WM_KEYUP, OnKeyUp)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
END_MESSAGE_MAP()

CCellComboList::CCellComboList(CWnd* parent, const CRect& cell, DWORD style, UINT id, int row, int col,
                               COLORREF textColour, COLORREF backColour, const std::vector<std::string>& options,
                               const std::string& initialText, UINT firstChar)
    : CCellEditorBase(row, col, textColour, backColour),
      m_style(style),
      m_initialText(initialText),
      m_options(options) {
    const int cellHeight = cell.Height();
    CRect rect = cell;
    rect.bottom += ::GetSystemMetrics(SM_CYHSCROLL) + cellHeight * m_dropDownLines;
    const DWORD windowStyle = style | WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_AUTOHSCROLL;
    if (!parent || !parent->IsWindow() || !CreateEx(0, L"ComboBox", L"", windowStyle, rect, parent->m_hWnd, id)) return;
    m_windowMade = true;

    for (size_t i = 0; i < m_options.size(); ++i) {
        const std::wstring option = gbk::ToWide(m_options[i]);
        SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option.c_str()));
        if (m_initialIndex < 0 && m_options[i] == m_initialText) m_initialIndex = static_cast<int>(i);
    }
    SetFont(parent->GetFont(), TRUE);
    SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), cellHeight);
    SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(DroppedWidth()));
    SendMessage(CB_SETHORIZONTALEXTENT, 0);
    // Shown after the drop: dropping selects the first option that begins with the edit
    // field's text, whatever its case, and puts that option into the field.
    SendMessage(CB_SHOWDROPDOWN, TRUE);
    ShowInitialText();

    if (ChooseOnly()) {
        SetFocus();
        return;
    }
    StartEditField(firstChar);
}

void CCellComboList::ShowInitialText() {
    // Selected by an exact match: the box's own search takes the first option that begins
    // with the text, whatever its case ("1" would choose "10").
    SendMessage(CB_SETCURSEL, static_cast<WPARAM>(m_initialIndex));
    if (m_initialIndex < 0 && !ChooseOnly()) SetWindowText(m_initialText);
}

void CCellComboList::StartEditField(UINT firstChar) {
    auto* field = new CCellComboEdit;
    if (field->SubclassWindow(GetDlgItem(CCellComboEdit::EDIT_ID)))
        m_editWnd = field->m_hWnd;
    else
        delete field;
    SetFocus();
    if (!m_editWnd) return;

    // Selections count UTF-16 units: the field's own text, not the GBK bytes.
    const LPARAM length = ::GetWindowTextLengthW(m_editWnd);
    const bool caretAtEnd = firstChar == VK_LBUTTON || firstChar == VK_RETURN || firstChar == VK_BACK;
    const bool navigation = firstChar >= VK_PRIOR && firstChar <= VK_DOWN;
    ::SendMessageW(m_editWnd, EM_SETSEL, caretAtEnd ? static_cast<WPARAM>(length) : 0, caretAtEnd ? length : -1);
    ::SendMessageW(m_editWnd, EM_SCROLLCARET, 0, 0);
    if (firstChar == VK_BACK || (!caretAtEnd && !navigation)) SendMessage(WM_CHAR, firstChar);
}

CWnd* CCellComboList::EditField() const { return m_editWnd ? CWnd::FromHandlePermanent(m_editWnd) : nullptr; }

int CCellComboList::DroppedWidth() {
    CClientDC dc(m_hWnd);
    CSelectGuard font(dc, GetFont());
    LONG widest = 0;
    for (const std::string& option : m_options) widest = std::max(widest, dc.GetTextExtent(option).cx);
    const LONG width = widest + ::GetSystemMetrics(SM_CXVSCROLL) + dc.GetTextExtent("0").cx;
    return static_cast<int>(std::min<LONG>(width, MAX_DROPPED_WIDTH));
}

BOOL CCellComboList::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message != WM_COMMAND || HIWORD(wParam) != CBN_DROPDOWN) return FALSE;
    SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(DroppedWidth()));
    *result = 0;
    return TRUE;
}

std::string CCellComboList::FinalText() const {
    if (ChooseOnly() && SendMessage(CB_GETCURSEL) == CB_ERR) return m_initialText;
    return GetWindowText();
}

LRESULT CCellComboList::OnKeyUp(WPARAM key, LPARAM) {
    // In the drop-down style the edit field has the focus: it sends on only the releases of
    // keys that went down in it.
    if (!IsEndingKey(key) || (ChooseOnly() && !PressedHere(static_cast<UINT>(key)))) return Default();
    if (key == VK_ESCAPE) ShowInitialText();
    EndWithKey(static_cast<UINT>(key));
    return 0;
}

LRESULT CCellComboList::OnKillFocus(WPARAM gaining, LPARAM) {
    Default();
    // In the drop-down style the edit field has the focus, and its loss ends the edit.
    if (ChooseOnly() && FocusLeaves(reinterpret_cast<HWND>(gaining))) FinishEdit();
    return 0;
}
