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
    explicit TestDlg(UINT id) : CDialog(id) {}
    CListBox list;
    CustomCtrl custom;
    bool refuse = false;
    UINT endWith = IDCANCEL;
    int created = 0, okCalls = 0, destroyed = 0;
    std::string firstLine;
    int customPings = 0;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        list.InsertString(-1, "\xB5\xDA\xD2\xBB\xD0\xD0");  // 第一行
        firstLine = list.GetText(0);
        customPings = static_cast<int>(SendDlgItemMessageW(m_hWnd, 301, WM_APP, 0, 0));
        PostMessage(WM_COMMAND, MAKEWPARAM(endWith, BN_CLICKED), 0);
        return TRUE;
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
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
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
