// What the dialog tests share: the simulated reader's INI file (scripted or unattended)
// and its call record, the main dialog created modeless and driven with messages, the
// result list read back through the W messages, and the check log below a working
// directory of the test's own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/CardCheckDlg.h"
#include "app/CardData.h"
#include "app/CheckLog.h"
#include "app/CheckLogFile.h"
#include "tests/driver/TestSupport.h"
#include "tests/logic/TestCards.h"

// ---- texts as the operator sees them (GBK) ----
namespace shown {
inline const std::string kPass = "读基本信息检测通过！";
inline const std::string kOtherProvince = "异地卡片，不进行消费交易、PIN重置检测！";
inline const std::string kFailHeadline = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！";
inline const std::string kReadFailed = "读基本信息检测失败！";
inline const std::string kResultFailed = "检测失败，此卡不能跨省使用！";
inline const std::string kResetPrompt = "PIN重置检测需要输入两次密码！";
inline const std::string kDebitPrompt = "消费交易检测需要输入一次密码！";
inline const std::string kResetPassed = "PIN重置检测通过！";
inline const std::string kDebitPassed = "消费交易检测通过！";
inline const std::string kResetFailed = "PIN重置检测失败！";
inline const std::string kDebitFailed = "消费交易检测失败！";
inline const std::string kResetTitle = "PIN重置检测结果：";
inline const std::string kDebitTitle = "消费交易检测结果：";
}  // namespace shown

using Lines = std::vector<std::string>;
using CallRecord = std::vector<std::map<std::string, std::string>>;

inline Lines Joined(Lines first, const Lines& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// ---- cards ----

// ValidOtherProvinceCard (every rule passes: province 63 at a terminal of 41) and
// ValidHomeCard (the same at a terminal of its own province) come from TestCards.h.
// What iReadCardBas writes for a card: every field followed by "|".
std::string DriverOutput(const CardBasicInfo& card);

// ---- the simulated reader ----

// A value of the reader's INI file that stands for exactly these bytes.
std::string IniBytes(const std::string& bytes);

// The reader's INI file in a folder of the test's own (named by SSCARDDRIVER_INI while it
// lives), recording every call. Each change rewrites the file; the reader reads it on
// every call.
class SimulatedReader {
public:
    explicit SimulatedReader(const TempDir& dir);

    // Scripted mode: what `entry` returns.
    void Answer(const std::string& entry, int code, const std::string& bytes, const std::string& moreKeys = "");
    void ReadsCard(const CardBasicInfo& card) { Answer("iReadCardBas", 0, DriverOutput(card)); }
    // Scripted mode: the entry point calls the test's hook (DuringCall) while it runs.
    void Hooked(const std::string& entry);
    // The reader's own checks in `mode` (unattended or interactive): its card and settings
    // ([reader] lines) and the PIN answers ([unattended] lines).
    void Checking(const std::string& mode, const std::string& readerLines, const std::string& answers = "");

    CallRecord Calls() const;
    void ForgetCalls() const { DeleteFileW(record_.c_str()); }

private:
    void Write() const;

    std::wstring ini_, record_;
    ScopedEnv env_;
    std::string mode_ = "scripted", readerLines_, answers_;
    std::map<std::string, std::string> script_;  // entry -> its [script] lines
    std::map<std::string, bool> hooked_;
};

// Runs `see` whenever a hooked entry point of the reader is called, while it lives; the
// reader's thread is the dialog's, so `see` may look at the dialog directly.
class DuringCall {
public:
    explicit DuringCall(std::function<void(const std::string& entry)> see);
    ~DuringCall();
    int Calls() const { return calls_; }
    void Count() { ++calls_; }

private:
    int calls_ = 0;
};

// ---- the dialog ----

// The lines of a list box, through the W messages (so also another process's), as GBK.
Lines ListLines(HWND list);

// The main dialog, created modeless so a test drives it synchronously with messages.
class DialogUnderTest {
public:
    DialogUnderTest() { created_ = dlg.Create() != FALSE; }
    ~DialogUnderTest() {
        if (dlg.IsWindow()) dlg.DestroyWindow();
    }
    DialogUnderTest(const DialogUnderTest&) = delete;
    DialogUnderTest& operator=(const DialogUnderTest&) = delete;

    bool Created() const { return created_; }
    HWND Item(int id) const { return dlg.GetDlgItem(id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // A click as the operator makes one: a disabled button cannot be clicked (a failure).
    void Click(int id);
    Lines List() const { return ListLines(Item(IDC_RESULT_LIST)); }
    int Selection() const { return static_cast<int>(SendMessageW(Item(IDC_RESULT_LIST), LB_GETCURSEL, 0, 0)); }
    // Column 1 of rows 1..11.
    Lines GridValues();
    // Buttons 1012 and 1013 both in this state, 1010 enabled.
    void ExpectLiveChecks(bool enabled, const std::string& context = "") const;

    CCardCheckDlg dlg;

private:
    bool created_ = false;
};

// ---- the check log ----
// A test takes the date before it acts; its records are in that day's folder or, when the
// run crossed midnight, in the next day's, so the clock cannot fail it.

// The day after `day`.
LogDate NextDay(const LogDate& day);
// LOG\YYYYMMDD below `root` for a day.
std::wstring LogFolder(const std::wstring& root, const LogDate& day);
// LOG\YYYYMMDD below `root` for the day `since` and, when it differs, today.
std::vector<std::wstring> LogFoldersSince(const std::wstring& root, const LogDate& since);
// A card's records below `root` written since that day, the earlier day's first; empty
// when there are none.
std::string LogSince(const std::wstring& root, const std::string& cardNumber, const LogDate& since);
// The names of the log files below `root` since that day, each once, sorted.
std::vector<std::wstring> LogFileNamesSince(const std::wstring& root, const LogDate& since);
// The files below a folder, as paths relative to it, sorted.
std::vector<std::wstring> FilesBelow(const std::wstring& folder);

// The records as the log's layout has them.
std::string BasicRecord(const std::string& result, const std::string& detail, const CardBasicInfo& card);
std::string LiveRecord(const std::string& title, int code, const std::string& description);

// ---- fixture ----

// A working directory of the test's own (the log goes below it), the reader's INI file
// there, and the dialog.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(cwd_.Changed());
        ui_ = std::make_unique<DialogUnderTest>();
        ASSERT_TRUE(ui_->Created());
    }
    void TearDown() override { ui_.reset(); }

    // Reads a card by button 1010.
    void Read(const CardBasicInfo& card) {
        reader_.ReadsCard(card);
        ui_->Click(IDC_READ_BASIC);
    }
    std::string Log(const std::string& cardNumber) const { return LogSince(dir_.Path(), cardNumber, since_); }
    // The card's log, which is removed, so the next case of a table starts afresh.
    std::string TakeLog(const std::string& cardNumber) const;
    std::vector<std::wstring> LogFiles() const { return LogFileNamesSince(dir_.Path(), since_); }
    // A folder where the card's log file of the test's day, and of the next, would go, so
    // that its records cannot be written.
    void BlockLog(const std::wstring& root, const std::string& cardNumber) const;

    LogDate since_ = TodayLocal();  // the day the test began
    TempDir dir_;
    ScopedCurrentDirectory cwd_{dir_.Path()};
    SimulatedReader reader_{dir_};
    std::unique_ptr<DialogUnderTest> ui_;
};
