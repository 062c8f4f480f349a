// The framework's message loop (CWinApp::Run): idle work whenever the queue has no posted
// message, after a message another thread sent too, and the look at each message before it
// is dispatched.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "framework/System.h"
#include "framework/WinApp.h"

namespace {

constexpr UINT kSent = WM_APP, kPosted = WM_APP + 1, kKept = WM_APP + 2;

// Records the loop's calls in order: "idle", "sent", "posted".
class RecordingApp : public CWinApp {
public:
    std::string events;
    HANDLE idleAfterSent = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    ~RecordingApp() override { CloseHandle(idleAfterSent); }
    BOOL OnIdle(LONG count) override {
        if (events.empty() || events.back() != 'i') events += 'i';
        if (events.find("si") != std::string::npos) SetEvent(idleAfterSent);
        if (events.find('p') != std::string::npos) ::PostQuitMessage(0);
        return FALSE;
    }
    int ExitInstance() override { return 7; }
};

class Receiver : public CWnd {
public:
    explicit Receiver(std::string* events) : m_events(events) {}
    // The window's pre-translate step keeps kKept from dispatch.
    BOOL PreTranslateMessage(MSG* msg) override { return msg->message == kKept; }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kSent) *m_events += 's';
        if (msg == kPosted) *m_events += 'p';
        if (msg == kKept) *m_events += 'k';
        return CWnd::WindowProc(msg, wp, lp);
    }

private:
    std::string* m_events;
};

}  // namespace

TEST(WinAppRun, IdlesAfterEveryMessageSentFromAnotherThreadAndFiltersPostedOnes) {
    RecordingApp app;
    AfxRegisterClassOnce(L"WinAppRunTest", 0, nullptr);
    Receiver receiver(&app.events);
    ASSERT_TRUE(receiver.CreateEx(0, L"WinAppRunTest", L"", 0, CRect(0, 0, 10, 10), HWND_MESSAGE, 0));
    PostMessageW(receiver, kKept, 0, 0);

    const HWND target = receiver.m_hWnd;
    bool idledAfterSent = false;
    std::thread other([&] {
        // Handled inside the loop's wait, with no posted message after it: only an idle
        // pass that follows sent messages too brings the event.
        SendMessageW(target, kSent, 0, 0);
        idledAfterSent = WaitForSingleObject(app.idleAfterSent, 5000) == WAIT_OBJECT_0;
        PostMessageW(target, kPosted, 0, 0);
    });
    const int code = app.Run();
    other.join();
    EXPECT_TRUE(idledAfterSent);
    EXPECT_EQ(code, 7);  // ExitInstance's
    // An idle pass after each message; the kept one never dispatched. (The sent message may
    // come before the first idle pass or after it.)
    EXPECT_TRUE(app.events == "isipi" || app.events == "sipi") << app.events;
}
