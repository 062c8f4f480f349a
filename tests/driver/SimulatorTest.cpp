// The calls the program makes, checked byte for byte at the simulated reader, and the
// simulated reader's own behaviour: sample cards, reader errors, PIN entry.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "app/BasicCheck.h"
#include "app/CardData.h"
#include "app/CardDriver.h"
#include "app/FieldRules.h"
#include "framework/GbkText.h"
#include "sim/PinPadIds.h"
#include "TestSupport.h"

namespace {
class Simulator : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(driver_.Load()); }
    void TearDown() override { driver_.Free(); }

    // The INI file in force: [reader] lines first (recording every call), then the rest.
    void Configure(const std::string& reader, const std::string& rest = "") {
        WriteFileBytes(ini_, "[reader]\r\nrecord = " + gbk::FromWide(dir_ / L"calls.txt") + "\r\n" + reader + "\r\n" + rest);
    }

    std::vector<std::map<std::string, std::string>> Calls() {
        std::string text;
        ReadFileBytes(dir_ / L"calls.txt", text);
        return ParseCallRecord(text);
    }

    TempDir dir_;
    std::wstring ini_ = dir_ / L"SSCardDriver.ini";
    ScopedEnv env_{L"SSCARDDRIVER_INI", ini_};
    CardDriver driver_;
};

const std::string kReference = "639900D15600000500BF7C7A48FB4966|X00000019|";
}  // namespace

TEST_F(Simulator, ReadCardBasGetsAZeroedBufferAndItsTextBack) {
    // The INI file is UTF-8, its escapes are bytes.
    Configure("mode = scripted", u8"[script]\r\niReadCardBas.code = 0\r\niReadCardBas.out = 639900|王珅|\\xAB\\x7C|\r\n");
    DriverResult r = driver_.ReadCardBas();
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.text, "639900|\xCD\xF5\xAB\x7C|\xAB\x7C|");
    auto calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0]["entry"], "iReadCardBas");
    EXPECT_EQ(calls[0]["iType"], "3");
    EXPECT_EQ(calls[0]["outputZeroed"], "1");
}

TEST_F(Simulator, OutputWithoutTerminatorEndsAtTheBuffersEnd) {
    struct Case {
        int entry;  // 0 iReadCardBas, 1 iReloadPIN, 2 iDoDebit
        const char* script;
        std::string text;
    } cases[] = {
        {0, "iReadCardBas.length = buffer\r\niReadCardBas.pad = 41\r\niReadCardBas.nul = no", std::string(20480, 'A')},
        {0, "iReadCardBas.out = abc\r\niReadCardBas.nul = no", "abc"},  // the rest was zero-filled
        {1, "iReloadPIN.length = buffer\r\niReloadPIN.pad = 42\r\niReloadPIN.nul = no", std::string(300, 'B')},
        {2, "iDoDebit.length = buffer\r\niDoDebit.pad = 43\r\niDoDebit.nul = no", std::string(300, 'C')},
        {2, "iDoDebit.out = \\xB0\\xA1\\x00hidden\r\niDoDebit.nul = no", "\xB0\xA1"},
    };
    for (const Case& c : cases) {
        Configure("mode = scripted", std::string("[script]\r\n") + c.script + "\r\n");
        DriverResult r[] = {driver_.ReadCardBas(), driver_.ReloadPin(kReference), driver_.DoDebit(kReference)};
        EXPECT_EQ(r[c.entry].text, c.text) << c.script;
        for (const auto& call : Calls()) EXPECT_EQ(call.at("outputZeroed"), "1") << call.at("entry");
    }
}

TEST_F(Simulator, CardReferenceIsPassedWholeAndTheTransactionInItsBuffer) {
    Configure("mode = scripted", "[script]\r\niReloadPIN.code = -5\r\niReloadPIN.out = X\r\n");
    // Longer than any fixed buffer, with GBK characters and their 7C trail bytes.
    std::string reference = std::string(400, 'C') + "|\xCD\xF5\xAB\x7C" + std::string(150, '9') + "|";
    DriverResult reset = driver_.ReloadPin(reference);
    EXPECT_EQ(reset.code, -5);
    EXPECT_EQ(reset.text, "X");
    EXPECT_EQ(driver_.DoDebit(reference).code, 0);
    auto calls = Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0]["entry"], "iReloadPIN");
    EXPECT_EQ(calls[0]["iType"], "3");
    EXPECT_EQ(calls[0]["cardInfo"], Hex(reference));
    EXPECT_EQ(calls[0]["cardBuffer"], Hex(reference.substr(0, 100)));
    EXPECT_EQ(calls[1]["entry"], "iDoDebit");
    EXPECT_EQ(calls[1]["iType"], "3");
    EXPECT_EQ(calls[1]["cardInfo"], Hex(reference));
    std::string transaction = "0.0|0.0|20160821185001|";
    EXPECT_EQ(calls[1]["payInfo"], Hex(transaction));
    EXPECT_EQ(calls[1]["payBuffer"], Hex(transaction + std::string(200 - transaction.size(), '\0')));
    EXPECT_EQ(calls[1]["outputZeroed"], "1");
}

// However short the card reference, the reader gets the 100 bytes the interface promises,
// zero after the text.
TEST_F(Simulator, ShortCardReferenceInAFullZeroFilledBuffer) {
    Configure("mode = scripted");
    for (const std::string& reference : {std::string(), std::string("a|b|"), std::string(99, 'C')}) {
        DeleteFileW((dir_ / L"calls.txt").c_str());
        driver_.ReloadPin(reference);
        driver_.DoDebit(reference);
        auto calls = Calls();
        ASSERT_EQ(calls.size(), 2u);
        for (auto& call : calls) {
            EXPECT_EQ(call["cardInfo"], Hex(reference)) << call["entry"];
            EXPECT_EQ(call["cardBuffer"], Hex(reference + std::string(100 - reference.size(), '\0'))) << call["entry"];
        }
    }
}

TEST_F(Simulator, ScriptedBytesAndCodesAsTheyAre) {
    std::string longField(5000, 'N');
    Configure("mode = scripted", "[script]\r\niReadCardBas.code = 0\r\niReadCardBas.out = 1|2|3|4|" + longField +
                                     "|6|7|8|9|10|11|\r\niReloadPIN.code = -2147483648\r\niReloadPIN.out = "
                                     "\\xC3\\xDC\\xC2\\xEB\\r\\n\\\\\r\niDoDebit.code = 0x10\r\n");
    std::optional<CardBasicInfo> card = ParseCardBasicInfo(driver_.ReadCardBas().text);
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(card->name, longField);  // an overlong field reaches the program whole
    DriverResult reset = driver_.ReloadPin(kReference);
    EXPECT_EQ(reset.code, -2147483647 - 1);
    EXPECT_EQ(reset.text, "密码\r\n\\");
    EXPECT_EQ(driver_.DoDebit(kReference).code, 16);
}

// What each built-in card gives when the program reads and judges it ("" names none).
TEST_F(Simulator, SampleCardsJudgedAsNamed) {
    const std::string pass = "读基本信息检测通过！";
    struct Case {
        const char* card;
        int failures;
        bool ssnNote, versionNote, nameNote, enabled;
    } cases[] = {
        {"", 0, false, false, false, true},             {"home", 0, false, false, false, true},
        {"other", 0, false, false, false, false},       {"wang-shen", 0, false, false, false, true},
        {"bad-region", 1, false, false, false, true},   {"bad-ssn", 1, false, false, false, true},
        {"bad-card-number", 1, false, false, false, true}, {"bad-card-id", 1, false, false, false, true},
        {"bad-name", 1, false, false, false, true},     {"bad-reset", 1, false, false, false, true},
        {"bad-version", 1, false, false, false, true},  {"ssn-short", 0, true, false, false, true},
        {"ssn-checksum", 0, true, false, false, true},  {"name-star", 0, false, false, true, true},
        {"version-empty", 0, false, false, false, true}, {"version-note", 0, false, true, false, false},
        {"many-failures", 2, true, false, false, true},
    };
    for (const Case& c : cases) {
        Configure(*c.card ? std::string("card = ") + c.card : "");
        DriverResult r = driver_.ReadCardBas();
        ASSERT_EQ(r.code, 0) << c.card;
        std::optional<CardBasicInfo> card = ParseCardBasicInfo(r.text);
        ASSERT_TRUE(card.has_value()) << c.card;
        RuleOutcome rules = ApplyFieldRules(*card);
        EXPECT_EQ(rules.failureCount, c.failures) << c.card;
        EXPECT_EQ(rules.ssnNote, c.ssnNote) << c.card;
        EXPECT_EQ(rules.versionNote, c.versionNote) << c.card;
        EXPECT_EQ(rules.nameNote, c.nameNote) << c.card;
        EXPECT_EQ(ComposeBasicVerdict(*card, rules).liveChecksEnabled, c.enabled) << c.card;
        EXPECT_EQ(card->terminalNumber, "410100813475") << c.card;
    }
}

TEST_F(Simulator, ReaderErrors) {
    struct Case {
        const char* card;
        int code;
        const char* text;
    } cases[] = {
        {"wrong-type", -1, "卡类型不对"},
        {"no-card", -2, "无卡"},
        {"reader-offline", -11, "读卡器连接错"},
        {"no-psam", -2201, "无PSAM卡"},
    };
    for (const Case& c : cases) {
        Configure(std::string("card = ") + c.card);
        for (const DriverResult& r : {driver_.ReadCardBas(), driver_.ReloadPin(kReference), driver_.DoDebit(kReference)}) {
            EXPECT_EQ(r.code, c.code) << c.card;
            EXPECT_EQ(r.text, c.text) << c.card;
        }
    }
}

// A mistake in the settings is no reader error: every entry point names the file, the line
// and the problem, for the tool to show.
TEST_F(Simulator, MistakesInTheSettingsAreReportedWithFileAndLine) {
    const std::string file = gbk::FromWide(ini_);
    struct Case {
        const char* reader;  // [reader] lines after the record line (line 3 on)
        const char* rest;
        int line;
        std::string problem;
    } cases[] = {
        {"card = no-such-card", "", 3, "没有名为“no-such-card”的卡，也没有 [card.no-such-card] 节"},
        {"card = mine", "[card.mine]\r\nbase = homme\r\n", 5, "没有名为“homme”的内置卡"},
    };
    for (const Case& c : cases) {
        Configure(c.reader, c.rest);
        const std::string text = "模拟读卡器配置有误：SSCardDriver.ini 第" + std::to_string(c.line) + "行：" + c.problem + "（" + file + "）";
        for (const DriverResult& r : {driver_.ReadCardBas(), driver_.ReloadPin(kReference), driver_.DoDebit(kReference)}) {
            EXPECT_EQ(r.code, -90) << c.reader;
            EXPECT_EQ(r.text, text.substr(0, 299)) << c.reader;
        }
        EXPECT_EQ(Calls().size(), 3u) << "the calls are recorded all the same";
        DeleteFileW((dir_ / L"calls.txt").c_str());
    }
    // A file the environment names must be there.
    DeleteFileW(ini_.c_str());
    DriverResult r = driver_.ReadCardBas();
    EXPECT_EQ(r.code, -90);
    EXPECT_EQ(r.text.substr(0, std::strlen("模拟读卡器配置有误：SSCardDriver.ini：文件不存在或无法读取")),
              "模拟读卡器配置有误：SSCardDriver.ini：文件不存在或无法读取");
}

TEST_F(Simulator, CardsOfTheIniFile) {
    const std::string cards = u8"[card.mine]\r\nbase = other\r\nname = 王珅\r\ncardNumber = \\x81\\x5C\r\n"
                              u8"[card.broken]\r\nerror = -4\r\nerrorText = 卡无应答\r\n";
    Configure("card = mine\r\nterminal = 639900000001", cards);
    std::optional<CardBasicInfo> card = ParseCardBasicInfo(driver_.ReadCardBas().text);
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(card->name, "王珅");
    EXPECT_EQ(card->cardNumber, "\x81\x5C");
    EXPECT_EQ(card->regionCode, "639900");
    EXPECT_EQ(card->terminalNumber, "639900000001");
    Configure("card = broken", cards);
    DriverResult r = driver_.ReadCardBas();
    EXPECT_EQ(r.code, -4);
    EXPECT_EQ(r.text, "卡无应答");
}

// The interface argument, called directly (the program always passes 3).
TEST_F(Simulator, CardInterfaceArgument) {
    using ReadFn = int(__stdcall*)(int, char*);
    auto read = reinterpret_cast<ReadFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"SSCardDriver.dll"), "iReadCardBas")));
    ASSERT_NE(read, nullptr);
    struct Case {
        const char* iface;
        int iType;
        int code;
    } cases[] = {
        {"dual", 1, 0},        {"dual", 2, 0},        {"dual", 3, 0},        {"dual", 4, 0},
        {"contact", 2, -2},    {"contact", 4, 0},     {"contactless", 1, -2}, {"contactless", 3, 0},
        {"dual", 0, -1},       {"dual", 5, -1},       {"dual", -3, -1},
    };
    for (const Case& c : cases) {
        Configure("card = mine", std::string("[card.mine]\r\nbase = home\r\ninterface = ") + c.iface + "\r\n");
        std::vector<char> out(20480, '\0');
        EXPECT_EQ(read(c.iType, out.data()), c.code) << c.iface << " " << c.iType;
    }
}

TEST_F(Simulator, PinResetAsksTwiceAndDebitOnce) {
    const std::string home = "410100D156000005004F2A3C1D8E9B70|B41000001|";
    struct Step {
        const char* answers;  // [unattended] lines
        bool debit;
        int code;
        const char* text;
    } steps[] = {
        {"reset = 111111, 111111", false, 0, ""},
        {"debit = 123456", true, -51, "PIN校验失败，剩余次数2次"},  // the old PIN no longer
        {"debit = 111111", true, 0, ""},
        {"reset = 222222, 333333", false, -34, "两次输入密码不一致"},
        {"reset = cancel", false, -31, "用户取消密码输入"},
        {"reset = 222222, timeout", false, -32, "密码输入操作超时"},
        {"debit = 000000", true, -51, "PIN校验失败，剩余次数2次"},
        {"debit = 000000", true, -51, "PIN校验失败，剩余次数1次"},
        {"debit = 000000", true, -52, "PIN锁定"},
        {"debit = 111111", true, -52, "PIN锁定"},  // locked: the right PIN no longer helps
        {"reset = 444444, 444444", false, 0, ""},  // a reset unlocks
        {"debit = 444444", true, 0, ""},
        {"", true, -31, "用户取消密码输入"},      // no answer left
    };
    for (const Step& s : steps) {
        Configure("mode = unattended", std::string("[unattended]\r\n") + s.answers + "\r\n");
        DriverResult r = s.debit ? driver_.DoDebit(home) : driver_.ReloadPin(home);
        EXPECT_EQ(r.code, s.code) << s.answers;
        EXPECT_EQ(r.text, s.text) << s.answers;
    }
}

TEST_F(Simulator, LiveChecksVerifyTheirArguments) {
    Configure("mode = unattended", "[unattended]\r\nreset = 1111, 1111\r\ndebit = 123456\r\n");
    EXPECT_EQ(driver_.ReloadPin(kReference).code, -23);  // the card in the reader is another one
    EXPECT_EQ(driver_.ReloadPin("").text, "传入数据与卡内不符");
    const std::string home = "410100D156000005004F2A3C1D8E9B70|B41000001|";
    for (const char* bad : {"", "0.0|0.0|", "0.0|0.0|2016082118500|", "0.0|x|20160821185001|", "0.0|0.0|20160821185001"}) {
        DriverResult r = driver_.DoDebit(home, bad);
        EXPECT_EQ(r.code, -14) << bad;
        EXPECT_EQ(r.text, "命令参数错") << bad;
    }
    EXPECT_EQ(driver_.DoDebit(home, "12.50|0|20240101120000|").code, 0);
}

namespace {
// Answers the PIN pad from another thread, as an operator would: the first pad of this
// process that shows gets each of `pins` typed and confirmed in turn (a pad that stays
// open, as for a PIN too short, takes the next), or is cancelled after the last.
class Operator {
public:
    explicit Operator(std::vector<std::wstring> pins, bool cancelAtTheEnd = false)
        : thread_([this, pins, cancelAtTheEnd] { Run(pins, cancelAtTheEnd); }) {}
    ~Operator() { Join(); }
    // Waits for the operator to be done; read what it saw only after this.
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    bool sawMaskedEdit = false;
    std::wstring caption;
    int padStillOpen = 0;  // confirmations the pad did not accept

private:
    void Run(const std::vector<std::wstring>& pins, bool cancel) {
        HWND pad = WaitForOwnWindow([](HWND w) { return GetDlgItem(w, IDC_PIN_EDIT) != nullptr; }, 5000);
        if (!pad) return;
        wchar_t text[64] = {};
        GetWindowTextW(pad, text, 64);
        caption = text;
        HWND edit = GetDlgItem(pad, IDC_PIN_EDIT);
        sawMaskedEdit = (GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD) != 0;
        for (const std::wstring& pin : pins) {
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pin.c_str()));
            SendMessageW(pad, WM_COMMAND, IDOK, 0);
            if (!IsWindow(pad) || !IsWindowVisible(pad)) return;  // ended (EndDialog hides it at once)
            ++padStillOpen;
        }
        if (cancel) PostMessageW(pad, WM_COMMAND, IDCANCEL, 0);
    }
    std::thread thread_;
};
}  // namespace

TEST_F(Simulator, InteractivePinPad) {
    const std::string home = "410100D156000005004F2A3C1D8E9B70|B41000001|";
    Configure("mode = interactive");
    {
        Operator op({L"123456"});
        EXPECT_EQ(driver_.DoDebit(home).code, 0);
        op.Join();
        EXPECT_TRUE(op.sawMaskedEdit);
        EXPECT_EQ(op.caption, L"社保卡读卡器");
    }
    {
        Operator op({}, true);
        DriverResult r = driver_.DoDebit(home);
        EXPECT_EQ(r.code, -31);
        EXPECT_EQ(r.text, "用户取消密码输入");
    }
    Configure("mode = interactive\r\npinTimeout = 1");
    EXPECT_EQ(driver_.DoDebit(home).code, -32);  // nobody at the pad
}

// The pad takes exactly the PINs the settings take: 4 to 12 digits.
TEST_F(Simulator, PinPadAndSettingsAgreeOnTheLength) {
    const std::string home = "410100D156000005004F2A3C1D8E9B70|B41000001|";
    struct Case {
        const wchar_t* pin;
        bool accepted;  // by the pad, and as `pin =` in the settings
    } cases[] = {
        {L"123", false}, {L"1234", true}, {L"123456", true}, {L"123456789012", true},
        {L"1234567890123", false}, {L"12a4", false}, {L"", false},
    };
    int serial = 0;
    for (const Case& c : cases) {
        std::string pin = gbk::FromWide(c.pin);
        // A card of its own each time, so its PIN is the one set here.
        std::string card = "p" + std::to_string(++serial);
        Configure("mode = interactive\r\ncard = " + card + "\r\npin = " + (*c.pin ? pin : std::string("\"\"")),
                  "[card." + card + "]\r\nbase = home\r\n");
        if (c.accepted) {
            Operator op({c.pin});
            EXPECT_EQ(driver_.DoDebit(home).code, 0) << pin;
            op.Join();
            EXPECT_EQ(op.padStillOpen, 0) << pin;
            continue;
        }
        EXPECT_EQ(driver_.DoDebit(home).code, -90) << pin;  // the settings refuse it before any pad shows
        Configure("mode = interactive");
        Operator typing({c.pin}, true);
        EXPECT_EQ(driver_.DoDebit(home).code, -31) << pin;  // the pad waited for more; then cancelled
        typing.Join();
        EXPECT_EQ(typing.padStillOpen, 1) << pin;
    }
}
