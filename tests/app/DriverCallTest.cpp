// While the driver works, the operator cannot start another check: the three buttons are
// disabled and come back as they were, with the focus; a command that arrives from outside
// then does nothing, nor before a card was read. A window that goes during the call still
// leaves the check's record. The result list scrolls sideways to its longest line, and a
// font that could not be made is never sent.
#include "AppTestSupport.h"

#include "framework/GbkText.h"

namespace {
using namespace shown;

const int kButtons[] = {IDC_READ_BASIC, IDC_PIN_RESET, IDC_DEBIT};

struct ButtonStates {
    bool read, reset, debit;
    bool operator==(const ButtonStates& o) const { return read == o.read && reset == o.reset && debit == o.debit; }
};
std::ostream& operator<<(std::ostream& out, const ButtonStates& s) {
    return out << "{" << s.read << ", " << s.reset << ", " << s.debit << "}";
}

ButtonStates StatesOf(const DialogUnderTest& ui) {
    return {ui.Enabled(IDC_READ_BASIC), ui.Enabled(IDC_PIN_RESET), ui.Enabled(IDC_DEBIT)};
}

// A command as another program sends it: straight to the dialog, whatever the button's state.
void CommandFromOutside(HWND dlg, int id) {
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}
}  // namespace

TEST_F(DialogTest, ButtonsAreHeldWhileTheDriverWorks) {
    const ButtonStates allOff{false, false, false}, allOn{true, true, true}, readOnly{true, false, false};
    struct Case {
        const char* what;
        int button;
        const char* entry;
        CardBasicInfo card;  // the reader's answer to iReadCardBas
        bool readFirst;      // a read before the button is clicked
        ButtonStates before, after;
    } cases[] = {
        {"the first read, of a card of another province", IDC_READ_BASIC, "iReadCardBas", ValidOtherProvinceCard(),
         false, readOnly, readOnly},
        {"a read after a card of the province", IDC_READ_BASIC, "iReadCardBas", ValidHomeCard(), true, allOn, allOn},
        {"a PIN reset", IDC_PIN_RESET, "iReloadPIN", ValidHomeCard(), true, allOn, allOn},
        {"a debit", IDC_DEBIT, "iDoDebit", ValidHomeCard(), true, allOn, allOn},
    };
    for (const Case& c : cases) {
        ui_ = std::make_unique<DialogUnderTest>();
        ASSERT_TRUE(ui_->Created());
        reader_.ReadsCard(c.card);
        if (c.readFirst) ui_->Click(IDC_READ_BASIC);
        ASSERT_EQ(StatesOf(*ui_), c.before) << c.what;
        reader_.Hooked(c.entry);
        reader_.ForgetCalls();

        ButtonStates during{};
        Lines listBefore, listAfter;
        DuringCall call([&](const std::string&) {
            if (call.Calls() > 1) return;  // a nested call (the fault this test is about) ends at once
            during = StatesOf(*ui_);
            listBefore = ui_->List();
            // A second click, however it comes, starts nothing inside the running call.
            for (int id : kButtons) {
                SendMessageW(ui_->Item(id), BM_CLICK, 0, 0);
                CommandFromOutside(ui_->dlg.m_hWnd, id);
            }
            listAfter = ui_->List();
        });
        HWND button = ui_->Item(c.button);
        SetFocus(button);
        ASSERT_EQ(GetFocus(), button);
        ui_->Click(c.button);

        EXPECT_EQ(call.Calls(), 1) << c.what;
        EXPECT_EQ(reader_.Calls().size(), 1u) << c.what;
        EXPECT_EQ(during, allOff) << c.what;
        EXPECT_EQ(listAfter, listBefore) << c.what;
        EXPECT_EQ(StatesOf(*ui_), c.after) << c.what;
        EXPECT_EQ(GetFocus(), button) << c.what << ": the keyboard keeps its button";
    }
}

// Without a card read, the PIN reset and debit do nothing, however their command comes;
// so also while their buttons are disabled after a read that failed.
TEST_F(DialogTest, LiveChecksDoNothingWithoutACard) {
    HWND dlg = ui_->dlg.m_hWnd;
    for (int id : {IDC_PIN_RESET, IDC_DEBIT}) CommandFromOutside(dlg, id);
    // Even with the buttons switched on from outside: there is no card to check.
    for (int id : {IDC_PIN_RESET, IDC_DEBIT}) EnableWindow(ui_->Item(id), TRUE);
    for (int id : {IDC_PIN_RESET, IDC_DEBIT}) CommandFromOutside(dlg, id);
    EXPECT_TRUE(ui_->List().empty());
    EXPECT_TRUE(reader_.Calls().empty());
    EXPECT_TRUE(LogFiles().empty());
    EXPECT_TRUE(ui_->dlg.CardReference().empty());

    reader_.Answer("iReadCardBas", -2, "无卡");
    ui_->Click(IDC_READ_BASIC);
    const Lines failed = ui_->List();
    ui_->ExpectLiveChecks(false);
    for (int id : {IDC_PIN_RESET, IDC_DEBIT}) CommandFromOutside(dlg, id);
    EXPECT_EQ(ui_->List(), failed);
    EXPECT_EQ(reader_.Calls().size(), 1u);  // the read only
}

// The window closed while the driver works: the driver stays loaded until its call has
// returned, nothing is touched that has gone, and the check's record is written all the same.
TEST_F(DialogTest, WindowGoneDuringTheCallStillLeavesTheRecord) {
    struct Case {
        const char* what;
        int button;
        const char* entry;
        std::string record;
    } cases[] = {
        {"read", IDC_READ_BASIC, "iReadCardBas", BasicRecord(kPass, "", ValidHomeCard())},
        {"debit", IDC_DEBIT, "iDoDebit", BasicRecord(kPass, "", ValidHomeCard()) + LiveRecord(kDebitTitle, 0, "")},
    };
    for (const Case& c : cases) {
        ui_ = std::make_unique<DialogUnderTest>();
        ASSERT_TRUE(ui_->Created());
        reader_.ReadsCard(ValidHomeCard());
        if (c.button != IDC_READ_BASIC) ui_->Click(IDC_READ_BASIC);
        reader_.Hooked(c.entry);
        DuringCall call([&](const std::string&) { DestroyWindow(ui_->dlg.m_hWnd); });
        ui_->Click(c.button);
        EXPECT_EQ(call.Calls(), 1) << c.what;
        EXPECT_FALSE(ui_->dlg.IsWindow()) << c.what;
        EXPECT_EQ(GetModuleHandleW(L"SSCardDriver.dll"), nullptr) << c.what << ": freed after the call";
        EXPECT_EQ(TakeLog("X00000019"), c.record) << c.what;
    }
}

namespace {
int TextWidth(HWND window, const std::string& gbkText) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    std::wstring text = gbk::ToWide(gbkText);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

int Extent(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)); }
}  // namespace

// A driver description longer than the list is wide can be scrolled to its end.
TEST_F(DialogTest, ResultListScrollsSidewaysToItsLongestLine) {
    HWND list = ui_->Item(IDC_RESULT_LIST);
    RECT client;
    GetClientRect(list, &client);
    const std::string description = "卡片应用已锁定，请到发卡机构解锁后重试" + std::string(120, '9');
    reader_.Answer("iReadCardBas", -4, description);
    ui_->Click(IDC_READ_BASIC);
    const std::string longest = "状态码：[-4] 错误描述：[" + description + "]";
    ASSERT_EQ(ui_->List(), (Lines{kReadFailed, longest}));
    int width = TextWidth(list, longest);
    ASSERT_GT(width, client.right);
    EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL);  // the bar shows
    EXPECT_GE(Extent(list), width);
    EXPECT_LE(Extent(list), width + 16);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE};
    ASSERT_TRUE(GetScrollInfo(list, SB_HORZ, &si));
    EXPECT_GE(si.nMax + 1, width);

    // A shorter text after the list was emptied: the extent follows the lines there are.
    Read(ValidOtherProvinceCard());
    EXPECT_LE(Extent(list), TextWidth(list, kOtherProvince) + 16);
    EXPECT_GE(Extent(list), TextWidth(list, kOtherProvince));
    ui_->dlg.ClearList();
    EXPECT_EQ(Extent(list), 0);
}

// A font that could not be made leaves the control its own; one that was made is sent.
TEST_F(DialogTest, FontThatCouldNotBeMadeIsNotSent) {
    HWND list = ui_->Item(IDC_RESULT_LIST);
    HFONT own = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    ASSERT_NE(own, nullptr);
    SetCreatedFont(list, CFont());
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), own);
    CFont made;
    ASSERT_TRUE(made.CreateFont(17, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, L"Tahoma"));
    SetCreatedFont(list, made);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), static_cast<HFONT>(made));
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);  // back, before `made` goes
}
