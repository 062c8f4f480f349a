#include "app/CardCheckDlg.h"

#include <algorithm>

#include "app/CheckLog.h"
#include "app/CheckLogFile.h"
#include "app/ResultList.h"
#include "framework/System.h"
#include "framework/WinApp.h"

namespace {

// The three fonts: made once, kept until the program ends.
struct DialogFonts {
    CFont buttons, list, grid;

    static DialogFonts& Get() {
        static DialogFonts fonts;
        return fonts;
    }

private:
    DialogFonts() {
        Make(buttons, 36);
        Make(list, 26);
        Make(grid, 23);
    }
    static void Make(CFont& font, int height) {
        // A control whose font could not be made keeps its default font.
        font.CreateFont(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0x20, L"微软雅黑");
    }
};

const char kGridTitle[] = "社  会  保  障  卡  基  本  信  息";
const DWORD kTitleFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;  // 0x8025
const DWORD kLabelFormat = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;   // 0x8026
const DWORD kValueFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;    // 0x8024
const COLORREF kGridBackground = RGB(255, 255, 224);

// The buttons a driver call holds, in HeldButtons order.
const int kCheckButtons[3] = {IDC_READ_BASIC, IDC_PIN_RESET, IDC_DEBIT};

// Pixels the list box draws its text in from its left edge, and room after the text's end.
const int kListTextMargin = 4;

}  // namespace

void SetCreatedFont(HWND control, const CFont& font) {
    if (font) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), TRUE);
}

BEGIN_MESSAGE_MAP(CCardCheckDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_READ_BASIC, OnReadBasicInfo)
    ON_BN_CLICKED(IDC_PIN_RESET, OnPinResetCheck)
    ON_BN_CLICKED(IDC_DEBIT, OnDebitCheck)
    ON_LBN_DBLCLK(IDC_RESULT_LIST, OnResultListDblClk)
END_MESSAGE_MAP()

CCardCheckDlg::CCardCheckDlg(CWnd* parent)
    : CDialog(IDD, parent),
      m_grid(0, 0, 0, 0),
      m_hIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_APP_ICON))) {}

void CCardCheckDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RESULT_LIST, m_list);
    DDX_Control(pDX, IDC_BASIC_GRID, m_grid);
}

int CCardCheckDlg::OnCreate(CREATESTRUCTW*) {
    if (Default() == -1) return -1;
    // Without the reader's driver the tool can check nothing: no window at all.
    return m_hDriver.Load() ? 0 : -1;
}

void CCardCheckDlg::OnDestroy() {
    Default();
    // Not under a call that is still running (a driver that pumps messages can see the
    // window go): the call returns into the library, which goes when it has.
    if (!m_inDriverCall) m_hDriver.Free();
}

BOOL CCardCheckDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    DialogFonts& fonts = DialogFonts::Get();
    for (int id : kCheckButtons) SetCreatedFont(GetDlgItem(id), fonts.buttons);
    SetCreatedFont(m_list, fonts.list);

    SetupGrid();
    EnableLiveChecks(false);
    return TRUE;
}

void CCardCheckDlg::SetupGrid() {
    m_grid.HighlightFocusHeaders = FALSE;
    m_grid.Editable = FALSE;
    m_grid.DefaultCellFor(FALSE, FALSE)->SetBackColour(kGridBackground);
    m_grid.SetRowCount(12);
    m_grid.SetColumnCount(2);
    m_grid.SetColumnWidth(0, 180);
    m_grid.SetColumnWidth(1, 412);
    m_grid.FocusCellFramed = FALSE;
    m_grid.MergeCells(0, 0, 0, 1);
    SetCreatedFont(m_grid, DialogFonts::Get().grid);
    for (int row = 0; row < m_grid.GetRowCount(); ++row) m_grid.SetRowHeight(row, 39);
    m_grid.SetRowHeight(0, 42);

    for (int row = 0; row < m_grid.GetRowCount(); ++row) {
        for (int col = 0; col < m_grid.GetColumnCount(); ++col) {
            GridItem item;
            item.mask = ITEM_TEXT | ITEM_FORMAT;
            item.row = row;
            item.col = col;
            if (row == 0) {
                item.text = kGridTitle;
                item.format = kTitleFormat;
            } else if (col == 0) {
                item.text = FieldLabel(row);
                item.format = kLabelFormat;
            } else {
                item.format = kValueFormat;
            }
            m_grid.SetCellFromItem(&item);
        }
    }
}

int CCardCheckDlg::AddToList(const std::string& text) {
    for (const std::string& piece : SplitListPieces(text)) {
        m_list.InsertString(-1, piece);
        m_list.SetCurSel(m_list.GetCount() - 1);
    }
    UpdateListExtent();
    return 0;
}

int CCardCheckDlg::ClearList() {
    m_list.ResetContent();
    UpdateListExtent();
    return 0;
}

void CCardCheckDlg::UpdateListExtent() {
    CClientDC dc(m_list);
    CSelectGuard font(dc, m_list.GetFont());
    int widest = 0;
    for (int line = 0, count = m_list.GetCount(); line < count; ++line)
        widest = std::max(widest, static_cast<int>(dc.GetTextExtent(m_list.GetText(line)).cx));
    m_list.SendMessage(LB_SETHORIZONTALEXTENT, widest > 0 ? static_cast<WPARAM>(widest + 2 * kListTextMargin) : 0);
}

void CCardCheckDlg::EnableLiveChecks(bool enable) {
    ::EnableWindow(GetDlgItem(IDC_PIN_RESET), enable);
    ::EnableWindow(GetDlgItem(IDC_DEBIT), enable);
}

bool CCardCheckDlg::CanStart(int button) const {
    return !m_inDriverCall && ::IsWindowEnabled(GetDlgItem(button));
}

CCardCheckDlg::HeldButtons CCardCheckDlg::BeginDriverCall() {
    HeldButtons held{{}, ::GetFocus()};
    for (int i = 0; i < 3; ++i) held.enabled[i] = ::IsWindowEnabled(GetDlgItem(kCheckButtons[i])) != FALSE;
    m_inDriverCall = true;
    for (int id : kCheckButtons) ::EnableWindow(GetDlgItem(id), FALSE);
    return held;
}

bool CCardCheckDlg::EndDriverCall(const HeldButtons& held) {
    m_inDriverCall = false;
    if (!IsWindow()) {
        m_hDriver.Free();  // the window went during the call
        return false;
    }
    for (int i = 0; i < 3; ++i) ::EnableWindow(GetDlgItem(kCheckButtons[i]), held.enabled[i]);
    // Disabling the focused button took the focus away; the keyboard gets it back, unless
    // the operator has moved on to another program meanwhile.
    HWND focus = ::GetFocus();
    bool ours = focus == nullptr || focus == m_hWnd || ::IsChild(m_hWnd, focus);
    if (ours && held.focus && ::IsWindow(held.focus) && ::IsWindowEnabled(held.focus)) ::SetFocus(held.focus);
    return true;
}

void CCardCheckDlg::OnReadBasicInfo() {
    if (!CanStart(IDC_READ_BASIC)) return;
    // The cleared display must be on the screen while the driver call blocks.
    m_grid.RemoveAllCells();
    m_grid.RefreshAll();
    SetupGrid();
    m_grid.RefreshAll();
    ClearList();
    UpdateWindow();

    DriverResult read;
    HeldButtons held = BeginDriverCall();
    {
        CWaitCursor busy;
        read = m_hDriver.ReadCardBas();
    }
    const bool shown = EndDriverCall(held);  // else the window went during the call
    std::optional<CardBasicInfo> parsed;
    if (read.code == 0) parsed = ParseCardBasicInfo(read.text);
    if (!parsed) {
        if (!shown) return;
        AddToList(read.code != 0 ? ReadBasicDriverErrorText(read.code, read.text) : ReadBasicFieldErrorText());
        EnableLiveChecks(false);
        return;
    }
    const CardBasicInfo& card = *parsed;
    m_cardReference = MakeCardReference(card);
    RuleOutcome rules = ApplyFieldRules(card);
    BasicVerdict verdict = ComposeBasicVerdict(card, rules);
    if (shown) {
        for (int row = 1; row < m_grid.GetRowCount() && row <= CardBasicInfo::kFieldCount; ++row)
            m_grid.SetCellText(row, 1, card.Field(row));
        m_grid.RefreshAll();
        UpdateWindow();
        for (const std::string& text : verdict.listTexts) AddToList(text);
        EnableLiveChecks(verdict.liveChecksEnabled);
    }
    // The record is written even when nobody is left to see the check.
    LogWriteResult logged = AppendBasicInfoRecord(verdict.resultText, verdict.detailText, card);
    if (shown && !logged.written) AddToList(LogWriteFailedText(logged.path));
}

void CCardCheckDlg::RunLiveCheck(LiveCheck check) {
    int button = check == LiveCheck::PinReset ? IDC_PIN_RESET : IDC_DEBIT;
    // Only for the card a basic check has read.
    if (!CanStart(button) || m_cardReference.empty()) return;
    // The prompt tells the operator how many PIN entries the reader will ask for; it must
    // be on the screen before the driver takes over.
    AddToList(LiveCheckPrompt(check));
    if (check == LiveCheck::Debit)
        UpdateWindow();
    else
        m_list.UpdateWindow();

    DriverResult result;
    HeldButtons held = BeginDriverCall();
    {
        CWaitCursor busy;
        result = check == LiveCheck::PinReset ? m_hDriver.ReloadPin(m_cardReference) : m_hDriver.DoDebit(m_cardReference);
    }
    const bool shown = EndDriverCall(held);
    if (shown) {
        m_list.DeleteString(m_list.GetCount() - 1);
        AddToList(LiveCheckResultText(check, result.code, result.text));
    }
    LogWriteResult logged = AppendLiveCheckRecord(CardNumberOfReference(m_cardReference), LiveCheckLogTitle(check),
                                                  result.code, result.code == 0 ? std::string() : result.text);
    if (shown && !logged.written) AddToList(LogWriteFailedText(logged.path));
}

void CCardCheckDlg::OnPinResetCheck() { RunLiveCheck(LiveCheck::PinReset); }

void CCardCheckDlg::OnDebitCheck() { RunLiveCheck(LiveCheck::Debit); }

void CCardCheckDlg::OnResultListDblClk() { ClearList(); }

void CCardCheckDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON), cyIcon = GetSystemMetrics(SM_CYICON);
    CRect client;
    GetClientRect(&client);
    dc.DrawIcon((client.Width() - cxIcon + 1) / 2, (client.Height() - cyIcon + 1) / 2, m_hIcon);
}

HCURSOR CCardCheckDlg::OnQueryDragIcon() { return m_hIcon; }
