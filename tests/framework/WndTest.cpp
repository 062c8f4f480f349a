// The window core under real windows: message tables and their inheritance, default
// processing, the handle map, creation through the hook, subclassing, re-entrancy and the
// deferred PostNcDestroy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Wnd.h"

namespace {

const UINT WM_PING = WM_APP + 1;
const UINT WM_PONG = WM_APP + 2;
const UINT WM_DESTROY_ME = WM_APP + 3;
const UINT WM_THROW = WM_APP + 4;

std::vector<std::string> g_log;

// A window class whose own procedure records what reaches it: the "default processing" of
// a subclassed window.
LRESULT CALLBACK RecordingProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PING) {
        g_log.push_back("class proc ping");
        return 77;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

const wchar_t* RecordingClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FrameworkTestRecording";
        RegisterClassW(&wc);
        registered = true;
    }
    return L"FrameworkTestRecording";
}

class BaseWnd : public CWnd {
public:
    int creates = 0;
    bool sawNcCreate = false;
    int OnCreate(CREATESTRUCTW*) {
        ++creates;
        return refuseCreate ? -1 : 0;
    }
    bool refuseCreate = false;

protected:
    LRESULT OnPing(WPARAM, LPARAM) {
        g_log.push_back("base ping");
        return 1;
    }
    LRESULT OnPong(WPARAM, LPARAM) {
        g_log.push_back("base pong");
        return 2;
    }
    LRESULT OnNcCreate(WPARAM, LPARAM) {
        sawNcCreate = true;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_NCCREATE, OnNcCreate)
    ON_MESSAGE(WM_PING, OnPing)
    ON_MESSAGE(WM_PONG, OnPong)
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
public:
    int clicks = 0;
    int notifies = 0;

protected:
    // Overrides the base's row; falls back to default processing afterwards.
    LRESULT OnPingDerived(WPARAM, LPARAM) {
        g_log.push_back("derived ping");
        return Default();
    }
    void OnClick42() { ++clicks; }
    void OnNotify7(NMHDR*, LRESULT* result) {
        ++notifies;
        *result = -5;
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw 1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
    ON_MESSAGE(WM_PING, OnPingDerived)
    ON_BN_CLICKED(42, OnClick42)
    ON_NOTIFY(-100, 7, OnNotify7)
    ON_MESSAGE(WM_THROW, OnThrow)
END_MESSAGE_MAP()

// Deletes itself after its window is gone, like the grid's in-place editors.
class SelfDeletingWnd : public CWnd {
public:
    static int alive;
    SelfDeletingWnd() { ++alive; }
    ~SelfDeletingWnd() override {
        --alive;
        g_log.push_back("deleted");
    }

protected:
    LRESULT OnDestroyMe(WPARAM, LPARAM) {
        // Destroys its own window from inside a handler: the object must survive until
        // this handler (and every outer one) has returned.
        DestroyWindow();
        g_log.push_back(alive ? "handler returns, object alive" : "handler returns, object gone");
        return 0;
    }
    LRESULT OnPing(WPARAM, LPARAM) {
        SendMessage(WM_DESTROY_ME);
        g_log.push_back(alive ? "outer handler returns, object alive" : "outer handler returns, object gone");
        return 0;
    }
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()
};
int SelfDeletingWnd::alive = 0;

BEGIN_MESSAGE_MAP(SelfDeletingWnd, CWnd)
    ON_MESSAGE(WM_DESTROY_ME, OnDestroyMe)
    ON_MESSAGE(WM_PING, OnPing)
END_MESSAGE_MAP()

BOOL CreateChildless(CWnd& w, const wchar_t* cls = nullptr) {
    return w.CreateEx(0, cls ? cls : RecordingClass(), L"t", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100), nullptr, 0);
}

}  // namespace

TEST(WndDispatch, DerivedRowsWinAndBaseRowsAreInherited) {
    g_log.clear();
    DerivedWnd w;
    ASSERT_TRUE(CreateChildless(w));
    EXPECT_EQ(w.creates, 1);
    EXPECT_TRUE(w.sawNcCreate) << "the hook must subclass before WM_NCCREATE";
    EXPECT_EQ(CWnd::FromHandlePermanent(w.m_hWnd), &w);

    // The derived row handles WM_PING and falls back to the class procedure.
    EXPECT_EQ(w.SendMessage(WM_PING), 77);
    EXPECT_EQ(g_log, (std::vector<std::string>{"derived ping", "class proc ping"}));
    // WM_PONG only has a base row.
    EXPECT_EQ(w.SendMessage(WM_PONG), 2);
    EXPECT_EQ(g_log.back(), "base pong");
}

TEST(WndDispatch, CommandsAndNotificationsMatchTheirIdAndCode) {
    DerivedWnd w;
    ASSERT_TRUE(CreateChildless(w));
    w.SendMessage(WM_COMMAND, MAKEWPARAM(42, BN_CLICKED), 0);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(43, BN_CLICKED), 0);       // other control
    w.SendMessage(WM_COMMAND, MAKEWPARAM(42, BN_DOUBLECLICKED), 0); // other code
    EXPECT_EQ(w.clicks, 1);

    NMHDR hdr{w.m_hWnd, 7, static_cast<UINT>(-100)};
    EXPECT_EQ(w.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&hdr)), -5);
    hdr.code = static_cast<UINT>(-101);
    EXPECT_EQ(w.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&hdr)), 0);
    EXPECT_EQ(w.notifies, 1);
}

namespace {
// A raw WM_NOTIFY row in a base class takes every notification that no keyed row of the
// derived class takes.
class NotifySinkWnd : public CWnd {
public:
    std::vector<UINT> codes;

protected:
    LRESULT OnAnyNotify(WPARAM, LPARAM lParam) {
        codes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        return 9;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(NotifySinkWnd, CWnd)
    ON_MESSAGE(WM_NOTIFY, OnAnyNotify)
END_MESSAGE_MAP()

class KeyedNotifyWnd : public NotifySinkWnd {
protected:
    void OnNotify7(NMHDR*, LRESULT* result) { *result = -5; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(KeyedNotifyWnd, NotifySinkWnd)
    ON_NOTIFY(-100, 7, OnNotify7)
END_MESSAGE_MAP()
}  // namespace

TEST(WndDispatch, MessageRowsTakeNotificationsOfAnyCode) {
    KeyedNotifyWnd w;
    ASSERT_TRUE(CreateChildless(w));
    NMHDR hdr{w.m_hWnd, 7, static_cast<UINT>(-100)};
    EXPECT_EQ(w.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&hdr)), -5);
    hdr.code = static_cast<UINT>(-101);
    EXPECT_EQ(w.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&hdr)), 9);
    hdr.idFrom = 1008;
    hdr.code = static_cast<UINT>(-100);
    EXPECT_EQ(w.SendMessage(WM_NOTIFY, 1008, reinterpret_cast<LPARAM>(&hdr)), 9);
    EXPECT_EQ(w.codes, (std::vector<UINT>{static_cast<UINT>(-101), static_cast<UINT>(-100)}));
}

TEST(WndDispatch, AnExceptionStopsAtTheWindowProcedure) {
    DerivedWnd w;
    ASSERT_TRUE(CreateChildless(w));
    EXPECT_EQ(w.SendMessage(WM_THROW), 0);
    EXPECT_TRUE(w.IsWindow());
}

TEST(WndLifetime, CreationRefusedInOnCreateLeavesNoLink) {
    BaseWnd w;
    w.refuseCreate = true;
    EXPECT_FALSE(CreateChildless(w));
    EXPECT_EQ(w.m_hWnd, nullptr);
    EXPECT_EQ(w.creates, 1);
}

TEST(WndLifetime, DestroyingTheWindowUnlinksTheObject) {
    BaseWnd w;
    ASSERT_TRUE(CreateChildless(w));
    HWND h = w.m_hWnd;
    w.DestroyWindow();
    EXPECT_EQ(w.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

TEST(WndLifetime, ObjectDestructionDestroysItsWindow) {
    HWND h;
    {
        BaseWnd w;
        ASSERT_TRUE(CreateChildless(w));
        h = w.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

TEST(WndLifetime, SelfDeletionWaitsForTheOutermostMessage) {
    g_log.clear();
    auto* w = new SelfDeletingWnd;
    ASSERT_TRUE(CreateChildless(*w));
    HWND h = w->m_hWnd;
    SendMessageW(h, WM_PING, 0, 0);
    EXPECT_EQ(SelfDeletingWnd::alive, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"handler returns, object alive", "outer handler returns, object alive",
                                               "deleted"}));
}

TEST(WndSubclass, AnExistingWindowRoutesThroughTheTablesAndKeepsItsProcedure) {
    g_log.clear();
    HWND h = CreateWindowExW(0, RecordingClass(), L"x", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(h);
    {
        DerivedWnd w;
        ASSERT_TRUE(w.SubclassWindow(h));
        EXPECT_FALSE(DerivedWnd().SubclassWindow(h)) << "a handle links to one object only";
        EXPECT_EQ(SendMessageW(h, WM_PING, 0, 0), 77);
        EXPECT_EQ(g_log, (std::vector<std::string>{"derived ping", "class proc ping"}));
        EXPECT_EQ(w.UnsubclassWindow(), h);
    }
    // Back to the class procedure alone, and the window survived the object.
    g_log.clear();
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(SendMessageW(h, WM_PING, 0, 0), 77);
    EXPECT_EQ(g_log, (std::vector<std::string>{"class proc ping"}));
    DestroyWindow(h);
}

TEST(WndText, WindowTextCrossesAsUtf16) {
    BaseWnd w;
    ASSERT_TRUE(CreateChildless(w));
    const std::string caption = "\xC9\xE7\xBB\xE1\xB1\xA3\xD5\xCF";  // 社会保障
    w.SetWindowText(caption);
    wchar_t wide[16] = {};
    GetWindowTextW(w.m_hWnd, wide, 16);
    EXPECT_EQ(std::wstring(wide), L"\u793E\u4F1A\u4FDD\u969C");
    EXPECT_EQ(w.GetWindowText(), caption);
}

// Named, not anonymous: the classes exist only for their runtime class records.
namespace runtime_classes {
struct Animal : CObject {
    DECLARE_DYNCREATE(Animal)
};
IMPLEMENT_DYNCREATE(Animal, CObject)
struct Dog : Animal {
    DECLARE_DYNCREATE(Dog)
};
IMPLEMENT_DYNCREATE(Dog, Animal)
struct Abstract : CObject {
    DECLARE_DYNAMIC(Abstract)
};
IMPLEMENT_DYNAMIC(Abstract, CObject)
}  // namespace runtime_classes
using namespace runtime_classes;

TEST(RuntimeClass, CreatesByClassRecordAndKnowsItsAncestry) {
    CObject* o = RUNTIME_CLASS(Dog)->CreateObject();
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(Dog)));
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(Animal)));
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(o->IsKindOf(RUNTIME_CLASS(Abstract)));
    EXPECT_STREQ(o->GetRuntimeClass()->m_lpszClassName, "Dog");
    delete o;
    EXPECT_EQ(RUNTIME_CLASS(Abstract)->CreateObject(), nullptr);
    EXPECT_FALSE(RUNTIME_CLASS(Abstract)->IsCreatable());
    EXPECT_FALSE(RUNTIME_CLASS(Animal)->IsDerivedFrom(RUNTIME_CLASS(Dog)));
}
