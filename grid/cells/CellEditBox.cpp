#include "grid/cells/CellEditBox.h"

#include <algorithm>

#include "framework/Gdi.h"
#include "framework/ScopedFlag.h"
#include "grid/GridCtrl.h"

IMPLEMENT_DYNAMIC(CCellEditBox, CWnd)

BEGIN_MESSAGE_MAP(CCellEditBox, CWnd)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_MESSAGE(WM_IME_CHAR, OnImeChar)
    ON_WM_GETDLGCODE()
    ON_WM_DESTROY()
    ON_MESSAGE(FinishMessage(), OnFinishMessage)
END_MESSAGE_MAP()

namespace {
bool CtrlHeld() { return ::GetKeyState(VK_CONTROL) < 0; }

// The keys that end editing when arrows do: PageUp, PageDown and the four arrows.
bool IsExitKey(UINT key) { return key == VK_PRIOR || key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN); }
}  // namespace

UINT CCellEditBox::FinishMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"CellEditBoxFinish");
    return message;
}

CCellEditBox::CCellEditBox(CWnd* parent, const CRect& rect, DWORD style, UINT id, int row, int col,
                           const std::string& initialText, UINT firstChar)
    : m_row(row), m_col(col), m_initialText(initialText), m_exitOnArrows(firstChar != VK_LBUTTON), m_rect(rect) {
    const DWORD windowStyle = style | WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
    if (!parent || !parent->IsWindow() || !CreateEx(0, L"Edit", L"", windowStyle, rect, parent->m_hWnd, id)) return;

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

void CCellEditBox::PostNcDestroy() { delete this; }

void CCellEditBox::FinishEdit() {
    // Without a window there is nothing to read and no one to tell.
    if (IsWindow()) SendMessage(FinishMessage());
}

LRESULT CCellEditBox::OnFinishMessage(WPARAM, LPARAM) {
    CScopedFlag finishing(m_finishing);
    if (!finishing.Entered()) return 0;
    Report();
    // The receiver may have destroyed the window (with the grid); this object lives on until
    // this message has unwound.
    if (IsWindow()) SendMessage(WM_CLOSE);
    return 0;
}

void CCellEditBox::Report() {
    if (m_reported || !IsWindow()) return;
    m_reported = true;
    const HWND receiver = GetOwnerOrParent();
    if (!receiver || !::IsWindow(receiver)) return;
    GridItemNotification note{};
    note.hdr.hwndFrom = m_hWnd;
    note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    note.hdr.code = static_cast<UINT>(GRID_NOTIFY_ENDEDIT);
    note.item.row = m_row;
    note.item.col = m_col;
    note.item.mask = ITEM_TEXT | ITEM_DATA;
    note.item.data = static_cast<LPARAM>(m_endKey);
    note.item.text = GetWindowText();
    ::SendMessageW(receiver, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
}

void CCellEditBox::OnDestroy() {
    // Destroyed without finishing (its grid went away): the cell still hears that editing
    // ended, so it never points at an editor that is gone.
    Report();
    Default();
}

LRESULT CCellEditBox::OnKillFocus(WPARAM, LPARAM) {
    Default();
    FinishEdit();
    return 0;
}

void CCellEditBox::EndWithKey(UINT key) {
    m_endKey = key;
    if (HWND parent = GetParent()) ::SetFocus(parent);
    // Still here: the editor did not have the focus, so losing it ended nothing.
    if (IsWindow()) FinishEdit();
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

UINT CCellEditBox::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

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
