#include "grid/cells/CellEditorBase.h"

#include "framework/ScopedFlag.h"
#include "grid/GridCtrl.h"

IMPLEMENT_DYNAMIC(CCellEditorBase, CWnd)

BEGIN_MESSAGE_MAP(CCellEditorBase, CWnd)
    ON_WM_DESTROY()
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
    ON_MESSAGE(FinishMessage(), OnFinishMessage)
END_MESSAGE_MAP()

UINT CCellEditorBase::FinishMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"GridCellEditorFinish");
    return message;
}

CCellEditorBase::CCellEditorBase(int row, int col, COLORREF textColour, COLORREF backColour)
    : m_row(row), m_col(col), m_textColour(textColour), m_backColour(backColour) {}

CCellEditorBase::~CCellEditorBase() = default;

void CCellEditorBase::PostNcDestroy() {
    if (m_windowMade) delete this;
}

void CCellEditorBase::FinishEdit() {
    if (IsWindow()) SendMessage(FinishMessage());
}

LRESULT CCellEditorBase::OnFinishMessage(WPARAM, LPARAM) {
    CScopedFlag finishing(m_finishing);
    if (!finishing.Entered()) return 0;
    Report();
    // The receiver may have destroyed the window (with the grid); this object lives on until
    // this message has unwound.
    if (IsWindow()) SendMessage(WM_CLOSE);
    return 0;
}

void CCellEditorBase::Report() {
    if (m_reported || !IsWindow()) return;
    m_reported = true;
    BeforeReport();
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
    note.item.text = FinalText();
    ::SendMessageW(receiver, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
}

void CCellEditorBase::OnDestroy() {
    // Destroyed without finishing (its grid went away): the cell still hears that editing
    // ended, so it never points at an editor that is gone.
    Report();
    Default();
}

void CCellEditorBase::EndWithKey(UINT key) {
    m_endKey = key;
    if (HWND parent = GetParent()) ::SetFocus(parent);
    // Still open: the editor did not have the focus, so losing it ended nothing.
    if (IsWindow()) FinishEdit();
}

bool CCellEditorBase::FocusLeaves(HWND gaining) const {
    return gaining != m_hWnd && !(gaining && ::IsChild(m_hWnd, gaining));
}

UINT CCellEditorBase::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

void CCellEditorBase::OnKeyDown(UINT key, UINT, UINT) {
    if (IsCtrlExitKey(key)) {
        EndWithKey(key);
        return;
    }
    if (IsEndingKey(key)) m_pressed = key;
    Default();
}

bool CCellEditorBase::PressedHere(UINT key) {
    const bool pressed = m_pressed == key;
    m_pressed = 0;
    return pressed;
}
