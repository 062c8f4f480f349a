// Buttons 1012 and 1013 after a card of the terminal's province was read: the prompt while
// the reader works, the outcome in the list, what the reader received and the records
// that join the card's file of the day.
#include "AppTestSupport.h"

#include <thread>

#include "framework/GbkText.h"
#include "sim/PinPadIds.h"

namespace {
using namespace shown;

const std::string kReference = "639900D15600000500BF7C7A48FB4966|X00000019|";
const std::string kTransaction = "0.0|0.0|20160821185001|";

class LiveCheckTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(Read(ValidHomeCard()));
        ASSERT_EQ(ui_->List(), Lines{kPass});
        ui_->ExpectLiveChecks(true);
        basicRecord_ = BasicRecord(kPass, "", ValidHomeCard());
        ASSERT_EQ(Log("X00000019"), basicRecord_);
        reader_.ForgetCalls();
    }

    // What the reader received in its last call, checked against the contract.
    void ExpectCallOf(const std::string& entry, const std::string& reference, const std::string& context) {
        CallRecord calls = reader_.Calls();
        ASSERT_FALSE(calls.empty()) << context;
        auto& call = calls.back();
        EXPECT_EQ(call["entry"], entry) << context;
        EXPECT_EQ(call["iType"], "3") << context;
        EXPECT_EQ(call["cardInfo"], Hex(reference)) << context;
        EXPECT_EQ(call["outputZeroed"], "1") << context;
        if (entry == "iDoDebit") {
            EXPECT_EQ(call["payInfo"], Hex(kTransaction)) << context;
            EXPECT_EQ(call["payBuffer"], Hex(kTransaction + std::string(200 - kTransaction.size(), '\0'))) << context;
        } else {
            EXPECT_EQ(call.count("payBuffer"), 0u) << context;
        }
    }

    std::string basicRecord_;
};
}  // namespace

TEST_F(LiveCheckTest, OutcomesReachTheListTheReaderAndTheLog) {
    const std::string fullBuffer(300, 'Z');
    struct Case {
        const char* what;
        int button;
        const char* entry;
        int code;
        std::string out, more;
        Lines shown;
        std::string record;
    } cases[] = {
        {"PIN reset passes", IDC_PIN_RESET, "iReloadPIN", 0, "", "", {kResetPassed}, LiveRecord(kResetTitle, 0, "")},
        {"PIN reset fails", IDC_PIN_RESET, "iReloadPIN", -5, "X", "", {kResetFailed, "状态码：[-5] 错误描述：[X]"},
         LiveRecord(kResetTitle, -5, "X")},
        {"debit passes", IDC_DEBIT, "iDoDebit", 0, "", "", {kDebitPassed}, LiveRecord(kDebitTitle, 0, "")},
        {"debit fails", IDC_DEBIT, "iDoDebit", -51, "PIN校验失败，剩余次数2次", "",
         {kDebitFailed, "状态码：[-51] 错误描述：[PIN校验失败，剩余次数2次]"}, LiveRecord(kDebitTitle, -51, "PIN校验失败，剩余次数2次")},
        // A text that comes with success is neither shown nor logged.
        {"debit passes with a text", IDC_DEBIT, "iDoDebit", 0, "ignored", "", {kDebitPassed}, LiveRecord(kDebitTitle, 0, "")},
        {"a description filling the whole buffer", IDC_PIN_RESET, "iReloadPIN", 2, "", "length = buffer\npad = 5A\nnul = no",
         {kResetFailed, "状态码：[2] 错误描述：[" + fullBuffer + "]"}, LiveRecord(kResetTitle, 2, fullBuffer)},
    };
    std::string log = basicRecord_;
    for (const Case& c : cases) {
        const std::string prompt = c.button == IDC_PIN_RESET ? kResetPrompt : kDebitPrompt;
        reader_.Answer(c.entry, c.code, c.out, c.more);
        reader_.Hooked(c.entry);
        Lines before = ui_->List();
        std::string lastLine;
        bool lastSelected = false, listPainted = false, dialogPainted = false;
        DuringCall during([&](const std::string&) {
            Lines now = ui_->List();
            lastLine = now.empty() ? "" : now.back();
            lastSelected = ui_->Selection() == static_cast<int>(now.size()) - 1;
            listPainted = !GetUpdateRect(ui_->Item(IDC_RESULT_LIST), nullptr, FALSE);
            dialogPainted = !GetUpdateRect(ui_->dlg.m_hWnd, nullptr, FALSE);
        });
        InvalidateRect(ui_->dlg.m_hWnd, nullptr, TRUE);  // as if another window had covered it
        ui_->Click(c.button);

        EXPECT_EQ(during.Calls(), 1) << c.what;
        EXPECT_EQ(lastLine, prompt) << c.what;
        EXPECT_TRUE(lastSelected) << c.what;
        EXPECT_TRUE(listPainted) << c.what;
        // The debit check repaints the whole dialog before it hands over to the reader.
        if (c.button == IDC_DEBIT) {
            EXPECT_TRUE(dialogPainted) << c.what;
        }
        UpdateWindow(ui_->dlg.m_hWnd);

        Lines after = ui_->List();
        EXPECT_EQ(after, Joined(before, c.shown)) << c.what;  // the prompt has gone
        EXPECT_EQ(ui_->Selection(), static_cast<int>(after.size()) - 1) << c.what;
        ui_->ExpectLiveChecks(true, c.what);
        ExpectCallOf(c.entry, kReference, c.what);
        log += c.record;
        EXPECT_EQ(Log("X00000019"), log) << c.what;
    }
    EXPECT_EQ(LogFiles().size(), 1u);
}

TEST_F(LiveCheckTest, RepeatedChecksAppendRecordAfterRecord) {
    ui_->Click(IDC_DEBIT);
    ui_->Click(IDC_DEBIT);
    reader_.Answer("iReloadPIN", -31, "用户取消密码输入");
    ui_->Click(IDC_PIN_RESET);
    EXPECT_EQ(ui_->List(), (Lines{kPass, kDebitPassed, kDebitPassed, kResetFailed, "状态码：[-31] 错误描述：[用户取消密码输入]"}));
    const std::string debit = LiveRecord(kDebitTitle, 0, "");
    EXPECT_EQ(Log("X00000019"), basicRecord_ + debit + debit + LiveRecord(kResetTitle, -31, "用户取消密码输入"));
    CallRecord calls = reader_.Calls();
    ASSERT_EQ(calls.size(), 3u);
    for (auto& call : calls) EXPECT_EQ(call["cardInfo"], Hex(kReference));
    ui_->ExpectLiveChecks(true);
}

// A list emptied by a double click gets only the outcome; the prompt goes as before.
TEST_F(LiveCheckTest, AfterTheListWasEmptied) {
    RECT item{};
    HWND list = ui_->Item(IDC_RESULT_LIST);
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(item.left + 2, item.top + 2));
    ASSERT_TRUE(ui_->List().empty());
    ui_->Click(IDC_PIN_RESET);
    EXPECT_EQ(ui_->List(), Lines{kResetPassed});
}

// The live checks use the card the last successful read found, also one that failed its
// rules; the record goes to that card's file, whose name is the card number decoded.
TEST_F(LiveCheckTest, UseTheCardOfTheLastRead) {
    CardBasicInfo card = ValidHomeCard();
    card.cardNumber = "王珅12345";  // 9 bytes, a separator byte inside; not a digit or letter first
    Read(card);
    ASSERT_EQ(ui_->List(), (Lines{kFailHeadline, "卡号格式不符合规范。"}));
    ui_->ExpectLiveChecks(true);
    reader_.ForgetCalls();

    ui_->Click(IDC_DEBIT);
    EXPECT_EQ(ui_->List(), (Lines{kFailHeadline, "卡号格式不符合规范。", kDebitPassed}));
    ExpectCallOf("iDoDebit", card.cardIdCode + "|王珅12345|", "debit");
    EXPECT_EQ(Log(card.cardNumber), BasicRecord(kResultFailed, kFailHeadline + "\r\n卡号格式不符合规范。\r\n", card) +
                                        LiveRecord(kDebitTitle, 0, ""));
    EXPECT_EQ(LogFiles(), (std::vector<std::wstring>{L"X00000019.txt", L"王珅12345.txt"}));

    // A read that fails keeps that card for the live checks too.
    reader_.Answer("iReadCardBas", -2, "无卡");
    ui_->Click(IDC_READ_BASIC);
    ui_->ExpectLiveChecks(false);
    EXPECT_EQ(ui_->dlg.CardReference(), card.cardIdCode + "|王珅12345|");
}

// A record that cannot be written: the outcome as ever, then a line naming the file.
TEST_F(LiveCheckTest, UnwritableLogIsReportedAfterTheOutcome) {
    BlockLog(dir_.Path(), "X00000019");
    reader_.Answer("iDoDebit", -52, "PIN锁定");
    ui_->Click(IDC_DEBIT);
    ui_->Click(IDC_PIN_RESET);
    Lines list = ui_->List();
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(Lines(list.begin(), list.begin() + 3), (Lines{kPass, kDebitFailed, "状态码：[-52] 错误描述：[PIN锁定]"}));
    EXPECT_EQ(list[4], kResetPassed);
    for (const std::string& line : {list[3], list[5]}) {
        EXPECT_TRUE(line == LogWriteFailedText(LogFolder(dir_.Path(), since_) + L"\\X00000019.txt") ||
                    line == LogWriteFailedText(LogFolder(dir_.Path(), NextDay(since_)) + L"\\X00000019.txt"))
            << line;
    }
    EXPECT_TRUE(LogFiles().empty());
    EXPECT_EQ(reader_.Calls().size(), 2u);
    ui_->ExpectLiveChecks(true);
}

// The reader's own checks in unattended mode: it accepts the card reference and the
// transaction only when they are what the contract says, and takes the PINs as given.
TEST_F(LiveCheckTest, ReaderInUnattendedModeAcceptsWhatTheDialogSends) {
    const std::string card = "card = other\r\nterminal = 639900000001";
    struct Step {
        int button;
        const char* answers;
        Lines shown;
    } steps[] = {
        {IDC_PIN_RESET, "reset = 111111, 222222", {kResetFailed, "状态码：[-34] 错误描述：[两次输入密码不一致]"}},
        {IDC_PIN_RESET, "reset = 111111, 111111", {kResetPassed}},
        {IDC_DEBIT, "debit = 123456", {kDebitFailed, "状态码：[-51] 错误描述：[PIN校验失败，剩余次数2次]"}},
        {IDC_DEBIT, "debit = 111111", {kDebitPassed}},
    };
    reader_.Checking("unattended", card);
    ui_->Click(IDC_READ_BASIC);  // the reader's own card 李明, at its home terminal
    ASSERT_EQ(ui_->List(), Lines{kPass});
    for (const Step& s : steps) {
        reader_.Checking("unattended", card, s.answers);
        Lines before = ui_->List();
        ui_->Click(s.button);
        EXPECT_EQ(ui_->List(), Joined(before, s.shown)) << s.answers;
    }
}

namespace {
// The operator at the reader's own PIN pad (interactive mode), on another thread: for each
// pad that shows, reads the dialog's last list line (the dialog's thread is in the pad's
// loop, so it answers), then types the PIN and confirms.
class PinPadOperator {
public:
    PinPadOperator(HWND list, std::vector<std::wstring> pins)
        : list_(list), pins_(std::move(pins)), thread_([this] { Run(); }) {}
    ~PinPadOperator() { thread_.join(); }
    const Lines& PromptsSeen() const { return seen_; }

private:
    void Run() {
        for (const std::wstring& pin : pins_) {
            HWND pad = WaitForOwnWindow([](HWND w) { return GetDlgItem(w, IDC_PIN_EDIT) != nullptr; }, 5000);
            if (!pad) return;
            Lines now = ListLines(list_);
            seen_.push_back(now.empty() ? "" : now.back());
            SendMessageW(GetDlgItem(pad, IDC_PIN_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pin.c_str()));
            SendMessageW(pad, WM_COMMAND, IDOK, 0);
            while (IsWindow(pad)) Sleep(5);
        }
    }

    HWND list_;
    std::vector<std::wstring> pins_;
    Lines seen_;
    std::thread thread_;
};
}  // namespace

// With the reader's PIN pad up, the operator sees the prompt that says how many PINs it wants.
TEST_F(LiveCheckTest, OperatorSeesThePromptWhileThePadAsks) {
    const std::string card = "card = other\r\nterminal = 639900000001";
    reader_.Checking("unattended", card);
    ui_->Click(IDC_READ_BASIC);
    ASSERT_EQ(ui_->List(), Lines{kPass});
    reader_.Checking("interactive", card + "\r\npinTimeout = 10");  // a pad nobody answers gives up
    {
        PinPadOperator at(ui_->Item(IDC_RESULT_LIST), {L"222222", L"222222"});
        ui_->Click(IDC_PIN_RESET);
        EXPECT_EQ(at.PromptsSeen(), (Lines{kResetPrompt, kResetPrompt}));
    }
    {
        PinPadOperator at(ui_->Item(IDC_RESULT_LIST), {L"222222"});
        ui_->Click(IDC_DEBIT);
        EXPECT_EQ(at.PromptsSeen(), Lines{kDebitPrompt});
    }
    EXPECT_EQ(ui_->List(), (Lines{kPass, kResetPassed, kDebitPassed}));
}
