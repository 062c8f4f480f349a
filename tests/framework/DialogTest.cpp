// Modal dialogs from template resources: creation through the hook (WM_CREATE can refuse),
// OnInitDialog, data exchange binding template controls to member objects, OK and Cancel.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/System.h"

namespace {

const UINT IDD_PLAIN = 200, IDD_REFUSES = 201;

// The template's custom control class, with the default procedure as a dialog finds it.
void CustomClass() { AfxRegisterClassOnce(L"FrameworkTestCustom", 0, nullptr); }

class CustomCtrl : public CWnd {
public:
    int subclassed = 0;
    int pings = 0;
    int entersSeen = 0;      // Enter key presses shown to it before dispatch
    bool keepEnter = false;  // it handles Enter itself, as an in-place editor does

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message != WM_KEYDOWN || msg->wParam != VK_RETURN) return FALSE;
        ++entersSeen;
        return keepEnter;
    }

protected:
    void OnSubclassed() override { ++subclassed; }
    LRESULT OnPing(WPARAM, LPARAM) { return ++pings; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CustomCtrl, CWnd)
    ON_MESSAGE(WM_APP, OnPing)
END_MESSAGE_MAP()

class TestDlg : public CDialog {
public:
    explicit TestDlg(UINT id, CWnd* parent = nullptr) : CDialog(id, parent) {}
    CListBox list;
    CustomCtrl custom;
    bool refuse = false;
    UINT endWith = IDCANCEL;
    UINT afterInit = 0;   // a message the dialog posts itself first (WM_END_ ones below)
    HWND owner = nullptr;
    BOOL ownerEnabledWhileRunning = TRUE;
    int created = 0, okCalls = 0, destroyed = 0;
    std::string firstLine;
    int customPings = 0;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        list.InsertString(-1, "\xB5\xDA\xD2\xBB\xD0\xD0");  // 第一行
        firstLine = list.GetText(0);
        customPings = static_cast<int>(SendDlgItemMessageW(m_hWnd, 301, WM_APP, 0, 0));
        if (afterInit) PostMessage(afterInit);
        if (endWith) PostMessage(WM_COMMAND, MAKEWPARAM(endWith, BN_CLICKED), 0);
        return TRUE;
    }
    void OnCancel() override {
        if (owner) ownerEnabledWhileRunning = ::IsWindowEnabled(owner);
        CDialog::OnCancel();
    }
    void OnOK() override {
        ++okCalls;
        if (okCalls == 1) {
            // The first OK is swallowed, the way the card tool's Enter does nothing.
            PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        CDialog::OnOK();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, 300, list);
        DDX_Control(pDX, 301, custom);
    }
    int OnCreate(CREATESTRUCTW*) {
        ++created;
        if (Default() == -1) return -1;
        return refuse ? -1 : 0;
    }
    void OnDestroy() {
        ++destroyed;
        Default();
    }
    // Ways a modal dialog ends other than EndDialog.
    LRESULT OnPressEnter(WPARAM, LPARAM) {
        HWND custom = GetDlgItem(301);
        ::SetFocus(custom);
        ::PostMessageW(custom, WM_KEYDOWN, VK_RETURN, 1);
        PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    LRESULT OnEndRaw(WPARAM, LPARAM) { return ::EndDialog(m_hWnd, 77); }
    LRESULT OnQuit(WPARAM, LPARAM) {
        PostQuitMessage(5);
        return 0;
    }
    LRESULT OnDestroyMe(WPARAM, LPARAM) { return DestroyWindow(); }
    DECLARE_MESSAGE_MAP()
};
const UINT WM_PRESS_ENTER = WM_APP + 30, WM_END_RAW = WM_APP + 31, WM_END_QUIT = WM_APP + 32,
           WM_END_DESTROY = WM_APP + 33;
BEGIN_MESSAGE_MAP(TestDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_PRESS_ENTER, OnPressEnter)
    ON_MESSAGE(WM_END_RAW, OnEndRaw)
    ON_MESSAGE(WM_END_QUIT, OnQuit)
    ON_MESSAGE(WM_END_DESTROY, OnDestroyMe)
END_MESSAGE_MAP()

}  // namespace

TEST(Dialog, RunsModallyBindsItsControlsAndEndsOnCancel) {
    CustomClass();
    TestDlg dlg(IDD_PLAIN);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.created, 1);
    EXPECT_EQ(dlg.destroyed, 1);
    EXPECT_EQ(dlg.firstLine, "\xB5\xDA\xD2\xBB\xD0\xD0");
    EXPECT_EQ(dlg.custom.subclassed, 1);
    EXPECT_EQ(dlg.customPings, 1) << "the template's custom control must route through its object";
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.list.m_hWnd, nullptr) << "controls unlink when their windows go";
}

TEST(Dialog, OkCanBeOverriddenToKeepTheDialogOpen) {
    CustomClass();
    TestDlg dlg(IDD_PLAIN);
    dlg.endWith = IDOK;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.okCalls, 1);
}

TEST(Dialog, RefusedCreationMeansNoDialog) {
    TestDlg dlg(IDD_REFUSES);
    dlg.refuse = true;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.created, 1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Dialog, AMissingTemplateFails) {
    TestDlg dlg(999);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.created, 0);
}

TEST(Dialog, AControlSeesItsKeysBeforeTheDialogTurnsThemIntoButtons) {
    CustomClass();
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "the control keeps Enter" : "the control lets Enter go");
        TestDlg dlg(IDD_PLAIN);
        dlg.custom.keepEnter = keep;
        dlg.afterInit = WM_PRESS_ENTER;
        dlg.endWith = 0;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.custom.entersSeen, 1);
        EXPECT_EQ(dlg.okCalls, keep ? 0 : 1) << "Enter became the default button only when let go";
    }
}

TEST(Dialog, TheModalLoopDisablesTheOwnerAndEndsHoweverTheDialogGoes) {
    CustomClass();
    CustomCtrl ownerWnd;
    ASSERT_TRUE(ownerWnd.CreateEx(0, L"FrameworkTestCustom", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CRect(0, 0, 200, 100), nullptr, 0));
    const struct {
        const char* how;
        UINT message;
        INT_PTR result;
        WPARAM quitCode;  // WM_QUIT left in the queue; 0 none
    } ends[] = {
        {"EndDialog", 0, IDCANCEL, 0},
        {"the platform's EndDialog", WM_END_RAW, IDCANCEL, 0},
        {"WM_QUIT", WM_END_QUIT, -1, 5},
        {"DestroyWindow", WM_END_DESTROY, -1, 0},
    };
    for (const auto& e : ends) {
        SCOPED_TRACE(e.how);
        TestDlg dlg(IDD_PLAIN, &ownerWnd);
        dlg.owner = ownerWnd.m_hWnd;
        dlg.afterInit = e.message;
        if (e.message) dlg.endWith = 0;  // only the way under test ends it
        EXPECT_EQ(dlg.DoModal(), e.result);
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        EXPECT_EQ(dlg.destroyed, 1);
        EXPECT_TRUE(ownerWnd.IsWindowEnabled()) << "the owner has its input back";
        MSG msg;
        const bool quit = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        EXPECT_EQ(quit, e.quitCode != 0);
        if (quit) {
            EXPECT_EQ(msg.wParam, e.quitCode);
        }
    }
    TestDlg dlg(IDD_PLAIN, &ownerWnd);
    dlg.owner = ownerWnd.m_hWnd;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.ownerEnabledWhileRunning);
}
