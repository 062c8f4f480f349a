// The grid window: class registration, construction and destruction, attaching to a
// dialog's control, notifications to the owner, system colour changes.
#include <ole2.h>

#include "framework/Exceptions.h"
#include "framework/ScopedFlag.h"
#include "framework/System.h"
#include "grid/GridCtrl.h"
#include "grid/cells/GridTitleTip.h"

IMPLEMENT_DYNCREATE(CGridCtrl, CWnd)

BEGIN_MESSAGE_MAP(CGridCtrl, CWnd)
    // Clipboard and drag-and-drop (GridClipboard.cpp, GridDragDrop.cpp): the edit commands
    // from a menu (code 0) or an accelerator (code 1).
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_EDIT_CUT, OnEditCut)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
    ON_CONTROL(1, ID_EDIT_COPY, OnEditCopy)
    ON_CONTROL(1, ID_EDIT_CUT, OnEditCut)
    ON_CONTROL(1, ID_EDIT_PASTE, OnEditPaste)
    ON_CONTROL(1, ID_EDIT_SELECT_ALL, OnEditSelectAll)
    ON_WM_DESTROY()
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(WM_NCPAINT, OnNcPaint)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_TIMER()
    // The mouse (GridMouse.cpp, GridResize.cpp).
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_CAPTURECHANGED()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(WM_GETFONT, OnGetFont)
    // Keyboard and editing (GridKeyboard.cpp, GridEdit.cpp).
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_MESSAGE(WM_IME_CHAR, OnImeChar)
    ON_NOTIFY(GRID_NOTIFY_ENDEDIT, INPLACE_EDITOR_ID, OnEditorEnded)
END_MESSAGE_MAP()

void CGridCtrl::RegisterWindowClass() {
    AfxRegisterClassOnce(GRID_WINDOW_CLASS, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                         reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1));
}

CGridCtrl::CGridCtrl(int rows, int cols, int fixedRows, int fixedCols) {
    RegisterWindowClass();
    m_titleTip = std::make_unique<CGridTitleTip>();
    if (!AfxOleIsInitialized() && !AfxOleInit())
        AfxMessageBox("OLE initialization failed. Make sure that the OLE libraries are the correct version");

    m_windowText = AfxGetSysColor(COLOR_WINDOWTEXT);
    m_window = AfxGetSysColor(COLOR_WINDOW);
    m_buttonFace = AfxGetSysColor(COLOR_BTNFACE);
    m_buttonShadow = AfxGetSysColor(COLOR_BTNSHADOW);
    WheelScrollLines = ReadWheelScrollLines();
    CellClass = RUNTIME_CLASS(CGridCell);

    for (CGridDefaultCell* def : {&m_defaultNormal, &m_defaultFixedRow, &m_defaultFixedCol, &m_defaultCorner}) {
        def->SetOwnerGrid(this);
        def->SetTextColour(m_windowText);
        def->SetBackColour(def == &m_defaultNormal ? m_window : m_buttonFace);
    }
    OuterBackColour = m_buttonShadow;

    SetRowCount(rows);
    SetColumnCount(cols);
    SetFixedRowCount(fixedRows);
    SetFixedColumnCount(fixedCols);
    // Building the table is not an edit.
    m_modified = FALSE;
}

CGridCtrl::~CGridCtrl() {
    RemoveAllCells();
    if (TitleTipsEnabled && m_titleTip && m_titleTip->IsWindow()) m_titleTip->DestroyWindow();
    if (IsWindow()) DestroyWindow();
    // Copied text stays available to other programs after the grid has gone.
    if (ClipboardSource && ::OleIsCurrentClipboard(ClipboardSource) == S_OK) ::OleFlushClipboard();
    ClipboardSource = nullptr;
}

BOOL CGridCtrl::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
    // Always clipping its children: a cell drawn at once never paints over an open editor.
    if (!CreateEx(0, GRID_WINDOW_CLASS, nullptr, style | WS_CLIPCHILDREN, rect, parent ? parent->m_hWnd : nullptr, id))
        return FALSE;
    m_titleTip->SetParentWnd(this);
    UpdateScrollBars();
    return TRUE;
}

void CGridCtrl::OnSubclassed() {
    // Moving the window below sends messages that can reach this grid being attached again.
    CScopedFlag attaching(m_attaching);
    if (!attaching.Entered()) return;
    m_titleTip->SetParentWnd(this);
    ModifyStyleEx(0, WS_EX_CLIENTEDGE);
    ModifyStyle(0, WS_CLIPCHILDREN);
    // A changed frame takes effect only when the window is moved: move it out by one pixel
    // and back.
    CRect rect;
    GetWindowRect(&rect);
    if (HWND parent = GetParent()) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    rect.InflateRect(1, 1);
    MoveWindow(rect, TRUE);
    rect.DeflateRect(1, 1);
    MoveWindow(rect, TRUE);
}

LRESULT CGridCtrl::NotifyParent(int row, int col, int code) {
    if (!IsWindow()) return 0;
    HWND receiver = GetOwnerOrParent();
    if (!receiver || !::IsWindow(receiver)) return 0;
    GridNotification nm{};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    nm.hdr.code = static_cast<UINT>(code);
    nm.row = row;
    nm.col = col;
    return ::SendMessageW(receiver, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void CGridCtrl::RefreshAll() {
    if (IsWindow() && RedrawEnabled) Invalidate(TRUE);
}

void CGridCtrl::OnSysColorChange() {
    Default();
    COLORREF windowText = AfxGetSysColor(COLOR_WINDOWTEXT), window = AfxGetSysColor(COLOR_WINDOW);
    // A colour the owner chose stays; one still equal to the old system colour follows it.
    for (CGridDefaultCell* def : {&m_defaultNormal, &m_defaultFixedRow, &m_defaultFixedCol, &m_defaultCorner}) {
        if (def->GetTextColour() == m_windowText) def->SetTextColour(windowText);
        if (def->GetBackColour() == m_window) def->SetBackColour(window);
    }
    COLORREF buttonShadow = AfxGetSysColor(COLOR_BTNSHADOW);
    if (OuterBackColour == m_buttonShadow) OuterBackColour = buttonShadow;
    m_windowText = windowText;
    m_window = window;
    m_buttonFace = AfxGetSysColor(COLOR_BTNFACE);
    m_buttonShadow = buttonShadow;
}

void CGridCtrl::SetPrintMargins(int header, int footer, int left, int right, int top, int bottom, int gap) {
    if (header >= 0) PrintHeaderLines = header;
    if (footer >= 0) PrintFooterLines = footer;
    if (left >= 0) PrintLeftMargin = left;
    if (right >= 0) PrintRightMargin = right;
    if (top >= 0) PrintTopMargin = top;
    if (bottom >= 0) PrintBottomMargin = bottom;
    if (gap >= 0) PrintGapLines = gap;
}
