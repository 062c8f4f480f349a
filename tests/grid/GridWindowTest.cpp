// The grid as a window: its class, attaching to a dialog's control, direct creation and
// destruction, OLE start-up, system colour changes, the font messages, and the title tip.
#include <objbase.h>

#include <thread>

#include "framework/Dialog.h"
#include "framework/System.h"
#include "grid/cells/GridTitleTip.h"
#include "tests/grid/GridTestSupport.h"

namespace {
const UINT IDD_GRID_HOST = 300;

LOGFONTW FontOf(HFONT font) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

bool HasUpdate(HWND wnd) { return GetUpdateRect(wnd, nullptr, FALSE) != FALSE; }
}  // namespace

TEST(GridClass, RegisteredWithTheDocumentedAttributes) {
    CGridCtrl g;
    WNDCLASSW wc{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"MFCGridCtrl", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(wc.style, 11u);
    EXPECT_EQ(wc.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(16));
    EXPECT_EQ(wc.cbClsExtra + wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hIcon, nullptr);

    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"ZTitleTip", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_SAVEBITS));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1));
    EXPECT_EQ(wc.hCursor, LoadCursorW(nullptr, IDC_ARROW));
}

namespace {
// The card tool's way: a dialog template holds the grid control, data exchange attaches it.
class GridHostDlg : public CDialog {
public:
    GridHostDlg() : CDialog(IDD_GRID_HOST) {}
    CGridCtrl grid;
    CRect before, after, client;
    DWORD exStyleBefore = 0, exStyleAfter = 0, styleAfter = 0;
    CWnd* tipParent = nullptr;

    BOOL OnInitDialog() override {
        HWND control = GetDlgItem(1008);
        ::GetWindowRect(control, &before);
        ScreenToClient(&before);
        exStyleBefore = static_cast<DWORD>(::GetWindowLongW(control, GWL_EXSTYLE));
        CDialog::OnInitDialog();
        grid.GetWindowRect(&after);
        ScreenToClient(&after);
        exStyleAfter = grid.GetExStyle();
        styleAfter = grid.GetStyle();
        grid.GetClientRect(&client);
        tipParent = grid.GetTitleTip()->GetParentWnd();
        EndDialog(IDOK);
        return TRUE;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1008, grid); }
};
}  // namespace

TEST(GridAttach, DialogControlGetsTheClientEdgeInTheSameRectangle) {
    GridHostDlg dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.exStyleBefore & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(dlg.exStyleAfter & WS_EX_CLIENTEDGE);
    EXPECT_EQ(dlg.after, dlg.before);
    // The new frame took effect: the client area lost the edge on every side.
    EXPECT_EQ(dlg.client.Width(), dlg.before.Width() - 2 * GetSystemMetrics(SM_CXEDGE));
    EXPECT_EQ(dlg.client.Height(), dlg.before.Height() - 2 * GetSystemMetrics(SM_CYEDGE));
    EXPECT_EQ(dlg.tipParent, &dlg.grid);
    EXPECT_TRUE(dlg.styleAfter & WS_CLIPCHILDREN) << "an editor over a cell stays out of its redraws";
}

TEST(GridWindow, ClipsItsChildren) {
    GridInWindow w(5, 5, 1, 1);
    EXPECT_TRUE(w.grid.GetStyle() & WS_CLIPCHILDREN) << "created without asking for it";
    // A child over cell (1, 1), as an in-place editor lies: a cell drawn at once through the
    // grid's own surface cannot reach it.
    CRect cell;
    ASSERT_TRUE(w.grid.CellRect(1, 1, &cell));
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, cell.left, cell.top, cell.Width(),
                                 cell.Height(), w.grid.m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    CClientDC dc(w.grid.m_hWnd);
    HRGN visible = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetRandomRgn(dc, visible, SYSRGN), 1);
    CPoint inChild(cell.left + 3, cell.top + 3), beside(cell.right + 3, cell.top + 3);
    w.grid.ClientToScreen(&inChild);
    w.grid.ClientToScreen(&beside);
    EXPECT_FALSE(PtInRegion(visible, inChild.x, inChild.y));
    EXPECT_TRUE(PtInRegion(visible, beside.x, beside.y));
    DeleteObject(visible);
}

TEST(GridLifetime, CreateAndDestroy) {
    RecordingParent parent;
    ASSERT_TRUE(parent.CreateTopLevel());
    HWND gridWnd, tipWnd;
    {
        CGridCtrl g(3, 3);
        ASSERT_TRUE(g.Create(CRect(10, 10, 110, 80), &parent, 77));
        gridWnd = g.m_hWnd;
        EXPECT_EQ(g.GetDlgCtrlID(), 77);
        EXPECT_EQ(g.GetParent(), parent.m_hWnd);
        EXPECT_EQ(g.GetTitleTip()->GetParentWnd(), &g);
        ASSERT_TRUE(g.GetTitleTip()->Create(&g));
        tipWnd = g.GetTitleTip()->m_hWnd;
        EXPECT_TRUE(IsWindow(tipWnd));
    }
    EXPECT_FALSE(IsWindow(gridWnd));
    EXPECT_FALSE(IsWindow(tipWnd));
}

TEST(GridLifetime, OleIsStartedOnTheGridsThread) {
    MessageBoxRecorder boxes;
    CGridCtrl g;
    EXPECT_TRUE(AfxOleIsInitialized());
    EXPECT_TRUE(MessageBoxRecorder::Texts().empty());

    // A thread already in the multithreaded apartment cannot start OLE: the grid says so
    // and goes on.
    std::vector<std::string> seen;
    int rows = -1;
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        {
            CGridCtrl other(2, 2);
            rows = other.GetRowCount();
        }
        seen = MessageBoxRecorder::Texts();
        CoUninitialize();
    });
    worker.join();
    EXPECT_EQ(seen, std::vector<std::string>{
                        "OLE initialization failed. Make sure that the OLE libraries are the correct version"});
    EXPECT_EQ(rows, 2);
}

TEST(GridColours, SystemColourChangeKeepsColoursTheOwnerChose) {
    GridInWindow w(2, 2, 1, 1);
    CGridCtrl& g = w.grid;
    CGridDefaultCell* normal = g.DefaultCellFor(FALSE, FALSE);
    CGridDefaultCell* fixedRow = g.DefaultCellFor(TRUE, FALSE);
    normal->SetBackColour(RGB(0xFF, 0xFF, 0xE0));  // the card tool's light yellow, 0xE0FFFF
    ASSERT_EQ(normal->GetBackColour(), 0xE0FFFFu);
    fixedRow->SetTextColour(RGB(0, 0, 0x80));

    const int indices[] = {COLOR_WINDOWTEXT, COLOR_WINDOW, COLOR_BTNSHADOW};
    COLORREF saved[3], changed[3] = {RGB(1, 2, 3), RGB(0xFE, 0xFD, 0xFC), RGB(0x40, 0x41, 0x42)};
    for (int i = 0; i < 3; ++i) saved[i] = GetSysColor(indices[i]);
    ASSERT_TRUE(SetSysColors(3, indices, changed));
    g.SendMessage(WM_SYSCOLORCHANGE);
    COLORREF normalBack = normal->GetBackColour(), normalText = normal->GetTextColour();
    COLORREF rowText = fixedRow->GetTextColour(), cornerText = g.DefaultCellFor(TRUE, TRUE)->GetTextColour();
    COLORREF outer = g.OuterBackColour;
    SetSysColors(3, indices, saved);
    g.SendMessage(WM_SYSCOLORCHANGE);

    EXPECT_EQ(normalBack, 0xE0FFFFu);
    EXPECT_EQ(normalText, changed[0]);
    EXPECT_EQ(rowText, RGB(0, 0, 0x80));
    EXPECT_EQ(cornerText, changed[0]);
    EXPECT_EQ(outer, changed[2]);
    // And back with the restored colours.
    EXPECT_EQ(normal->GetTextColour(), saved[0]);
    EXPECT_EQ(g.OuterBackColour, saved[2]);
}

TEST(GridFonts, SetFontGoesToTheDefaultCellsOnly) {
    GridInWindow w(2, 2, 1, 1);
    CGridCtrl& g = w.grid;
    LOGFONTW own{};
    own.lfHeight = -9;
    wcscpy(own.lfFaceName, L"Arial");
    g.GetCell(1, 1)->SetFont(&own);

    CFont sent;
    ASSERT_TRUE(sent.CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"\x5FAE\x8F6F\x96C5\x9ED1"));  // 微软雅黑
    ValidateRect(g.m_hWnd, nullptr);
    g.SetFont(sent);
    EXPECT_TRUE(HasUpdate(g.m_hWnd)) << "the grid repaints";
    for (BOOL fixedRow : {FALSE, TRUE})
        for (BOOL fixedCol : {FALSE, TRUE}) {
            const LOGFONTW* lf = g.DefaultCellFor(fixedRow, fixedCol)->GetFont();
            ASSERT_NE(lf, nullptr);
            EXPECT_EQ(lf->lfHeight, -20);
            EXPECT_EQ(lf->lfWeight, FW_BOLD);
            EXPECT_STREQ(lf->lfFaceName, L"\x5FAE\x8F6F\x96C5\x9ED1");
        }
    HFONT reported = g.GetFont();
    EXPECT_NE(reported, static_cast<HFONT>(sent));
    EXPECT_EQ(reported, g.DefaultCellFor(FALSE, FALSE)->GetFontObject());
    EXPECT_EQ(FontOf(reported).lfHeight, -20);
    EXPECT_EQ(g.GetCell(1, 1)->GetFont()->lfHeight, -9) << "a cell's own font stays";
    EXPECT_TRUE(g.GetCell(0, 1)->UsesDefaultFont());
    EXPECT_EQ(g.GetCell(0, 1)->GetFont()->lfHeight, -20);

    // A handle that is no font changes nothing and repaints nothing.
    HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
    ValidateRect(g.m_hWnd, nullptr);
    g.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(brush), TRUE);
    DeleteObject(brush);
    EXPECT_FALSE(HasUpdate(g.m_hWnd));
    EXPECT_EQ(g.GetFont(), reported);
    EXPECT_EQ(g.DefaultCellFor(TRUE, TRUE)->GetFont()->lfHeight, -20);
}

TEST(GridFonts, FontsHandedOutStayValidUntilWmSetFontReplacesThem) {
    auto run = [](bool check) {
        GridInWindow w(3, 3, 1, 1);
        CGridCtrl& g = w.grid;
        // A child of the grid that draws with the grid's font, as an in-place editor does.
        HWND editor = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 5, 5, 80, 20, g.m_hWnd, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        const HFONT reported = g.GetFont();
        const LONG height = FontOf(reported).lfHeight;
        SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(reported), FALSE);
        // The owner gives a default cell another font directly: what was handed out stays.
        LOGFONTW other = FontOf(reported);
        other.lfHeight = -31;
        g.DefaultCellFor(FALSE, FALSE)->SetFont(&other);
        g.GetCell(1, 1)->SetFont(&other);
        DibSurface dib(300, 200);
        g.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc.GetSafeHdc()), PRF_CLIENT);
        if (check) {
            EXPECT_EQ(GetObjectType(reported), static_cast<DWORD>(OBJ_FONT));
            EXPECT_EQ(FontOf(reported).lfHeight, height);
        }
        // WM_SETFONT replaces them; the editor is moved to the new font before the old goes.
        CFont sent;
        sent.CreateFont(-17, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
        g.SetFont(sent);
        const HFONT editorFont = reinterpret_cast<HFONT>(SendMessageW(editor, WM_GETFONT, 0, 0));
        if (check) {
            EXPECT_EQ(editorFont, g.GetFont());
            EXPECT_EQ(GetObjectType(editorFont), static_cast<DWORD>(OBJ_FONT));
            EXPECT_EQ(FontOf(editorFont).lfHeight, -17);
        }
    };
    run(false);  // the system makes what it keeps for such windows once
    const long before = LiveGdiObjects();
    run(true);
    EXPECT_EQ(LiveGdiObjects(), before) << "the grid took every font object it made with it";
}

TEST(GridTitleTip, CreateHideAndDestroy) {
    RecordingParent parent;
    ASSERT_TRUE(parent.CreateTopLevel());
    CGridTitleTip tip;
    EXPECT_FALSE(tip.IsWindow());
    tip.Hide();  // no window yet: nothing to do
    ASSERT_TRUE(tip.Create(&parent));
    HWND first = tip.m_hWnd;
    EXPECT_TRUE(tip.Create(&parent));
    EXPECT_EQ(tip.m_hWnd, first) << "made once";
    EXPECT_EQ(tip.GetParentWnd(), &parent);
    EXPECT_EQ(GetAncestor(tip.m_hWnd, GA_PARENT), GetDesktopWindow()) << "no parent window";
    EXPECT_EQ(tip.GetExStyle() & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), static_cast<DWORD>(WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    EXPECT_EQ(tip.GetStyle() & (WS_POPUP | WS_BORDER), static_cast<DWORD>(WS_POPUP | WS_BORDER));

    ShowWindow(tip.m_hWnd, SW_SHOWNA);
    tip.SetCapture();
    ASSERT_EQ(GetCapture(), tip.m_hWnd);
    tip.Hide();
    EXPECT_FALSE(tip.IsWindowVisible());
    EXPECT_NE(GetCapture(), tip.m_hWnd);

    EXPECT_TRUE(tip.DestroyWindow());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(tip.Create(&parent)) << "made again after destruction";
}
