#include "grid/cells/CellEditBox.h"

#include <algorithm>

#include "framework/Gdi.h"
#include "grid/GridCtrl.h"

IMPLEMENT_DYNAMIC(CCellEditBox, CCellEditorBase)

BEGIN_MESSAGE_MAP(CCellEditBox, CCellEditorBase)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_MESSAGE(WM_IME_CHAR, OnImeChar)
END_MESSAGE_MAP()

CCellEditBox::CCellEditBox(CWnd* parent, const CRect& rect, DWORD style, UINT id, int row, int col,
                           const std::string& initialText, UINT firstChar)
    : CCellEditorBase(row, col), m_initialText(initialText), m_exitOnArrows(firstChar != VK_LBUTTON), m_rect(rect) {
    const DWORD windowStyle = style | WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
    if (!parent || !parent->IsWindow() || !CreateEx(0, L"Edit", L"", windowStyle, rect, parent->m_hWnd, id)) return;
    m_windowMade = true;

    SetFont(parent->GetFont(), TRUE);
    SetWindowText(initialText);
    SetFocus();

    // Selections count UTF-16 units: the control's own text, not the GBK bytes.
    const LPARAM length = ::GetWindowTextLengthW(m_hWnd);
    const bool caretAtEnd = firstChar == VK_LBUTTON || firstChar == VK_RETURN || firstChar == VK_BACK;
    SendMessage(EM_SETSEL, caretAtEnd ? static_cast<WPARAM>(length) : 0, -1);
    SendMessage(EM_SCROLLCARET);
    if (firstChar == VK_BACK) {
        PostMessage(WM_CHAR, VK_BACK);
    } else if (!caretAtEnd && firstChar != VK_TAB && firstChar != VK_SPACE && !(firstChar >= VK_PRIOR && firstChar <= VK_DOWN)) {
        // The typed character replaces the selected text once the caller has returned.
        PostMessage(firstChar < 128 ? WM_CHAR : WM_IME_CHAR, firstChar);
    }
}

CCellEditBox::~CCellEditBox() = default;

LRESULT CCellEditBox::OnKillFocus(WPARAM, LPARAM) {
    Default();
    FinishEdit();
    return 0;
}

void CCellEditBox::OnKeyDown(UINT key, UINT, UINT) {
    if (IsExitKey(key) && (m_exitOnArrows || CtrlHeld())) {
        EndWithKey(key);
        return;
    }
    Default();
}

void CCellEditBox::OnChar(UINT ch, UINT, UINT) {
    switch (ch) {
        case VK_TAB:
        case VK_RETURN:
            EndWithKey(ch);
            return;
        case VK_ESCAPE:
            SetWindowText(m_initialText);
            EndWithKey(ch);
            return;
        default:
            Default();
            GrowToText();
    }
}

LRESULT CCellEditBox::OnImeChar(WPARAM, LPARAM) {
    const LRESULT result = Default();
    GrowToText();
    return result;
}

void CCellEditBox::GrowToText() {
    if (!IsWindow()) return;
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(std::max(0, ::GetWindowTextW(m_hWnd, &text[0], length + 1))));
    text += L"  ";
    SIZE extent{};
    {
        CClientDC dc(m_hWnd);
        CSelectGuard font(dc.GetSafeHdc(), GetFont());
        if (!::GetTextExtentPoint32W(dc.GetSafeHdc(), text.c_str(), static_cast<int>(text.size()), &extent)) return;
    }
    if (extent.cx <= m_rect.Width()) return;
    CRect client;
    ::GetClientRect(GetParent(), &client);
    const LONG right = std::max(m_rect.right, std::min<LONG>(m_rect.left + extent.cx, client.right));
    if (right == m_rect.right) return;
    m_rect.right = right;
    MoveWindow(m_rect, TRUE);
    // The control scrolled its text to keep the caret in view before it grew; wider now, it
    // shows the text from its start again as far as the caret allows.
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SendMessage(EM_SETSEL, 0, 0);
    SendMessage(EM_SCROLLCARET);
    SendMessage(EM_SETSEL, start, end);
    SendMessage(EM_SCROLLCARET);
}

BOOL CCellEditBox::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != m_hWnd) return FALSE;
    if (msg->message == WM_SYSCHAR) return TRUE;
    const bool endingKey = msg->wParam == VK_TAB || msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE;
    if ((msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && endingKey) {
        // Dispatched here, before a dialog's keys see them. The editor may be gone afterwards.
        ::TranslateMessage(msg);
        ::DispatchMessageW(msg);
        return TRUE;
    }
    return FALSE;
}
