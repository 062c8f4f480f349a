// The pre-translate step: which windows see a message before it is dispatched, in which
// order, and where the walk stops; through the framework's loop, a host's own loop with the
// thread's hook, and both together (each window still sees each message once).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/MessageLoop.h"
#include "framework/System.h"
#include "framework/Wnd.h"

namespace {
const UINT WM_PROBE = WM_APP + 20;
std::vector<std::string> g_seen;

// A window that notes each message it is shown before dispatch, and each it gets.
class FilterWnd : public CWnd {
public:
    std::string name;
    bool keep = false;  // its step handles the probe

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message != WM_PROBE) return FALSE;
        g_seen.push_back(name);
        return keep;
    }

protected:
    LRESULT OnProbe(WPARAM, LPARAM) {
        g_seen.push_back("dispatched to " + name);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(FilterWnd, CWnd)
    ON_MESSAGE(WM_PROBE, OnProbe)
END_MESSAGE_MAP()

// An owner, a top-level window it owns, a child of that and a grandchild.
struct Family {
    FilterWnd owner, top, child, grandchild;
    Family() {
        AfxRegisterClassOnce(L"FrameworkTestFilter", 0, nullptr);
        owner.name = "owner";
        top.name = "top";
        child.name = "child";
        grandchild.name = "grandchild";
        const CRect r(0, 0, 100, 100);
        EXPECT_TRUE(owner.CreateEx(0, L"FrameworkTestFilter", L"owner", WS_OVERLAPPEDWINDOW, r, nullptr, 0));
        EXPECT_TRUE(top.CreateEx(0, L"FrameworkTestFilter", L"top", WS_OVERLAPPEDWINDOW, r, owner.m_hWnd, 0));
        EXPECT_TRUE(child.CreateEx(0, L"FrameworkTestFilter", nullptr, WS_CHILD, r, top.m_hWnd, 1));
        EXPECT_TRUE(grandchild.CreateEx(0, L"FrameworkTestFilter", nullptr, WS_CHILD, r, child.m_hWnd, 2));
    }
};

// Runs the thread's queue to WM_QUIT the framework's way.
void FrameworkLoop() {
    MSG msg;
    while (AfxPumpMessage(&msg)) {
    }
}

// Runs it the way a host with a loop of its own does, knowing nothing of the framework.
void HostLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
}  // namespace

TEST(MessageLoop, EachWindowUpToTheTopLevelLooksFirstAndMayKeepTheMessage) {
    using Seen = std::vector<std::string>;
    const struct {
        const char* keeper;  // the window whose step handles the probe, if any
        Seen seen;
    } keepers[] = {
        {nullptr, {"grandchild", "child", "top", "dispatched to grandchild"}},  // never the owner
        {"child", {"grandchild", "child"}},
        {"grandchild", {"grandchild"}},
    };
    const struct {
        const char* how;
        bool hook;
        void (*loop)();
    } loops[] = {{"the framework's loop", false, &FrameworkLoop},
                 {"a host's loop with the hook", true, &HostLoop},
                 {"the framework's loop with the hook", true, &FrameworkLoop}};
    for (const auto& l : loops) {
        for (const auto& k : keepers) {
            SCOPED_TRACE(std::string(l.how) + ", kept by " + (k.keeper ? k.keeper : "nobody"));
            Family f;
            for (FilterWnd* w : {&f.owner, &f.top, &f.child, &f.grandchild}) w->keep = k.keeper && w->name == k.keeper;
            if (l.hook) {
                ASSERT_TRUE(AfxInstallPreTranslateHook());
            }
            g_seen.clear();
            PostMessageW(f.grandchild.m_hWnd, WM_PROBE, 0, 0);
            PostQuitMessage(0);
            l.loop();
            if (l.hook) AfxRemovePreTranslateHook();
            EXPECT_EQ(g_seen, k.seen);
        }
    }
    EXPECT_FALSE(AfxPreTranslateHookInstalled());
    // Counted: the hook stays until its last user removes it.
    ASSERT_TRUE(AfxInstallPreTranslateHook());
    ASSERT_TRUE(AfxInstallPreTranslateHook());
    AfxRemovePreTranslateHook();
    EXPECT_TRUE(AfxPreTranslateHookInstalled());
    AfxRemovePreTranslateHook();
    EXPECT_FALSE(AfxPreTranslateHookInstalled());
    MSG threadMessage{nullptr, WM_PROBE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(AfxPreTranslateMessage(&threadMessage)) << "a message for no window is nobody's";
}
