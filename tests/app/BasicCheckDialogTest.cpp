// Button 1010 against the simulated reader: what the list, the grid, buttons 1012/1013,
// the card reference and the check log show for every kind of driver answer.
#include "AppTestSupport.h"

#include <climits>
#include <functional>

namespace {
using shown::kFailHeadline;
using shown::kOtherProvince;
using shown::kPass;
using shown::kReadFailed;
using shown::kResultFailed;

Lines FieldsOf(const CardBasicInfo& card) {
    Lines fields;
    for (int n = 1; n <= CardBasicInfo::kFieldCount; ++n) fields.push_back(card.Field(n));
    return fields;
}
}  // namespace

TEST_F(DialogTest, EdgeCaseCardPassesAndIsFromAnotherProvince) {
    Read(ValidOtherProvinceCard());
    EXPECT_EQ(ui_->List(), (Lines{kPass, kOtherProvince}));
    EXPECT_EQ(ui_->Selection(), 1);
    ui_->ExpectLiveChecks(false);
    EXPECT_EQ(ui_->dlg.CardReference(), "639900D15600000500BF7C7A48FB4966|X00000019|");
    EXPECT_EQ(ui_->GridValues(), (Lines{"639900", "111111198101011110", "X00000019", "639900D15600000500BF7C7A48FB4966",
                                        "李明", "00814E43238697159900BF7C7A", "1.00", "20151001", "20251001",
                                        "410100813475", ""}));

    CallRecord calls = reader_.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0]["entry"], "iReadCardBas");
    EXPECT_EQ(calls[0]["iType"], "3");
    EXPECT_EQ(calls[0]["outputZeroed"], "1");

    // The whole file, as the log's layout has it: a passing card's details line is empty.
    const std::string separator = "[-------------------------------------------------------------------------]\r\n";
    EXPECT_EQ(Log("X00000019"), separator +
                                    "读基本信息检测结果：读基本信息检测通过！\r\n"
                                    "\r\n"
                                    "社会保障卡基本信息\r\n"
                                    "发卡地区行政区划代码：639900\r\n"
                                    "社会保障号码：111111198101011110\r\n"
                                    "卡号：X00000019\r\n"
                                    "卡识别码：639900D15600000500BF7C7A48FB4966\r\n"
                                    "姓名：李明\r\n"
                                    "卡复位信息（仅取历史字节）：00814E43238697159900BF7C7A\r\n"
                                    "规范版本：1.00\r\n"
                                    "发卡日期：20151001\r\n"
                                    "卡有效期：20251001\r\n"
                                    "终端机编号：410100813475\r\n"
                                    "终端设备号：\r\n" +
                                    separator + "\r\n");
    EXPECT_EQ(LogFiles(), std::vector<std::wstring>{L"X00000019.txt"});
}

TEST_F(DialogTest, ReadsOfOneCardAppendToItsFileOfTheDay) {
    CardBasicInfo other = ValidHomeCard();
    other.cardNumber = "X00000020";
    Read(ValidHomeCard());
    ui_->ExpectLiveChecks(true);
    EXPECT_EQ(ui_->List(), Lines{kPass});
    Read(other);
    Read(ValidHomeCard());
    std::string record = BasicRecord(kPass, "", ValidHomeCard());
    EXPECT_EQ(Log("X00000019"), record + record);
    EXPECT_EQ(Log("X00000020"), BasicRecord(kPass, "", other));
    EXPECT_EQ(LogFiles().size(), 2u);
}

// A read that fails reports the driver's words, disables the live checks, writes no
// record and keeps the card reference of the card read before.
TEST_F(DialogTest, FailedReadReportsAndKeepsThePreviousCard) {
    const std::string wholeBuffer(20480, 'E');
    const std::string cardOutput = DriverOutput(ValidHomeCard());
    const Lines noData = {kReadFailed, "错误描述：[iReadBas函数返回数据有错！]"};
    struct Case {
        const char* what;
        int code;
        std::string out, more;
        Lines list;
    } cases[] = {
        {"reader error", -11, "读卡器连接错", "", {kReadFailed, "状态码：[-11] 错误描述：[读卡器连接错]"}},
        {"a positive code, no text", 7, "", "", {kReadFailed, "状态码：[7] 错误描述：[]"}},
        {"the lowest code", INT_MIN, "无卡", "", {kReadFailed, "状态码：[-2147483648] 错误描述：[无卡]"}},
        {"a description filling the whole buffer", -4, "", "length = buffer\npad = 45\nnul = no",
         {kReadFailed, "状态码：[-4] 错误描述：[" + wholeBuffer + "]"}},
        {"a line break in the description", -9, "a\r\nb", "", {kReadFailed, "状态码：[-9] 错误描述：[a", "b]"}},
        {"a code with a whole card", -3, cardOutput, "", {kReadFailed, "状态码：[-3] 错误描述：[" + cardOutput + "]"}},
        {"ten fields", 0, "1|2|3|4|5|6|7|8|9|10|", "", noData},
        {"an eleventh field without its separator", 0, "1|2|3|4|5|6|7|8|9|10|11", "", noData},
        {"nothing", 0, "", "", noData},
        {"the separator hidden in a character", 0, "1|2|3|4|5|6|7|8|9|10|\xAB|", "", noData},
    };
    int serial = 0;
    for (const Case& c : cases) {
        // A card read before, with its own number, so its reference is recognisable.
        CardBasicInfo before = ValidHomeCard();
        before.cardNumber = "X0000010" + std::to_string(serial++ % 10);
        Read(before);
        ui_->ExpectLiveChecks(true, c.what);
        const std::string log = Log(before.cardNumber);
        const size_t files = LogFiles().size();

        reader_.Answer("iReadCardBas", c.code, c.out, c.more);
        ui_->Click(IDC_READ_BASIC);
        EXPECT_EQ(ui_->List(), c.list) << c.what;
        EXPECT_EQ(ui_->Selection(), static_cast<int>(c.list.size()) - 1) << c.what;
        ui_->ExpectLiveChecks(false, c.what);
        EXPECT_EQ(ui_->dlg.CardReference(), before.cardIdCode + "|" + before.cardNumber + "|") << c.what;
        EXPECT_EQ(Log(before.cardNumber), log) << c.what;
        EXPECT_EQ(LogFiles().size(), files) << c.what;
        EXPECT_EQ(ui_->GridValues(), Lines(11)) << c.what;
    }
}

// Hard rule failures: the headline and one line per failure in rule order; the buttons by
// the province alone; a failure record whose details are the list's text.
TEST_F(DialogTest, RuleFailuresAreListedInRuleOrder) {
    struct Case {
        const char* what;
        std::function<void(CardBasicInfo&)> change;
        Lines failures;
        bool bracketedLast;  // the number's note closes the text without a line break
        bool home;
    } cases[] = {
        {"a five-digit region code", [](CardBasicInfo& c) { c.regionCode = "63990"; },
         {"发卡地区行政区划代码不是6位数字。"}, false, true},
        {"three failures", [](CardBasicInfo& c) { c.cardNumber = "X0000001", c.name = "李A", c.resetInfo[4] = 'e'; },
         {"卡号不是9位。", "姓名格式不符合规范，此卡无法跨省使用。", "卡复位信息（仅取历史字节）不是26位数字。"}, false, true},
        {"a failing card of another province",
         [](CardBasicInfo& c) { c.cardIdCode[15] = '6', c.terminalNumber = "410100813475"; },
         {"卡识别码应用标识符不符合规范。"}, false, false},
        {"a number of no country", [](CardBasicInfo& c) { c.socialSecurityNumber = "chn123456789"; },
         {"社会保障号码不符合社会保障号码校验规则。"}, false, true},
        {"a 17-digit number closes the text", [](CardBasicInfo& c) { c.socialSecurityNumber.pop_back(), c.specVersion = "4.0"; },
         {"规范版本不符合规范。", "社会保障号码不是18位（如可通过卡鉴权，此卡可跨省使用）。"}, true, true},
        {"a checksum note closes the text", [](CardBasicInfo& c) { c.socialSecurityNumber.back() = '1', c.name = "李 明"; },
         {"姓名格式不符合规范，此卡无法跨省使用。", "社会保障号码不符合公民身份号码校验规则（如可通过卡鉴权，此卡可跨省使用）。"}, true,
         true},
        {"a version of 33 without a point", [](CardBasicInfo& c) { c.regionCode = "330100", c.cardIdCode.replace(0, 6, "330100"), c.specVersion = "20", c.terminalNumber = "33"; },
         {"规范版本不符合规范，此卡无法跨省使用。"}, false, true},
        // Empty region code and empty terminal number are the same province.
        {"every field empty", [](CardBasicInfo& c) { c = CardBasicInfo(); },
         {"发卡地区行政区划代码为空。", "社会保障号码为空。", "卡号为空。", "卡识别码为空。", "姓名为空。",
          "卡复位信息（仅取历史字节）为空。"},
         false, true},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidHomeCard();
        c.change(card);
        Read(card);
        Lines list = Joined({kFailHeadline}, c.failures);
        std::string detail;
        for (const std::string& line : list) detail += line + "\r\n";
        if (c.bracketedLast) detail.resize(detail.size() - 2);
        if (!c.home) list.push_back(kOtherProvince);
        EXPECT_EQ(ui_->List(), list) << c.what;
        ui_->ExpectLiveChecks(c.home, c.what);
        EXPECT_EQ(ui_->GridValues(), FieldsOf(card)) << c.what;
        EXPECT_EQ(ui_->dlg.CardReference(), card.cardIdCode + "|" + card.cardNumber + "|") << c.what;
        // An empty card number is logged to ".txt".
        EXPECT_EQ(TakeLog(card.cardNumber), BasicRecord(kResultFailed, detail, card)) << c.what;
    }
}

// What a passing card shows: the pass line and its notes, or the number's note alone.
TEST_F(DialogTest, PassingCardsShowTheirNotes) {
    const std::string ssnShort = "社会保障号码不是18位。如可通过卡鉴权，此卡可跨省使用。";
    const std::string ssnChecksum = "社会保障号码不符合公民身份号码校验规则。如可通过卡鉴权，此卡可跨省使用。";
    const std::string emptyVersion = "卡规范版本为空，建议去卡窗口补全!";
    const std::string version15 = "卡规范版本与卡结构不一致，建议去卡窗口处理!";
    const std::string version = "卡规范版本不符合规范，建议去卡窗口处理!";
    const std::string name = "姓名不符合规范，建议去卡窗口处理!";
    auto ofProvince = [](CardBasicInfo& c, const char* region, const char* terminal) {
        c.regionCode = region;
        c.cardIdCode.replace(0, 6, region);
        c.terminalNumber = terminal;
    };
    struct Case {
        const char* what;
        std::function<void(CardBasicInfo&)> change;
        Lines list;
        std::string result, detail;
        bool home;
    } cases[] = {
        {"no note", [](CardBasicInfo&) {}, {kPass}, kPass, "", true},
        {"a 17-digit number stands for the pass line and the other notes",
         [](CardBasicInfo& c) { c.socialSecurityNumber.pop_back(), c.specVersion = "", c.name = "李*"; },
         {ssnShort}, ssnShort + "\r\n", "", true},
        {"a wrong check digit", [](CardBasicInfo& c) { c.socialSecurityNumber.back() = '1'; }, {ssnChecksum},
         ssnChecksum + "\r\n", "", true},
        {"the number's note at another province",
         [](CardBasicInfo& c) { c.socialSecurityNumber.pop_back(), c.terminalNumber = "41"; }, {ssnShort, kOtherProvince},
         ssnShort + "\r\n", "", false},
        {"an empty version", [](CardBasicInfo& c) { c.specVersion = ""; }, {kPass, emptyVersion}, kPass, emptyVersion, true},
        {"a version note of 15", [&](CardBasicInfo& c) { ofProvince(c, "150100", "150100000001"), c.specVersion = "2.0"; },
         {kPass, version15}, kPass + version15 + "|", "", true},
        {"a version note of 14", [&](CardBasicInfo& c) { ofProvince(c, "140100", "14"), c.specVersion = "20"; },
         {kPass, version}, kPass + version + "|", "", true},
        {"a version note of 33", [&](CardBasicInfo& c) { ofProvince(c, "330100", "33"), c.specVersion = "1.5"; },
         {kPass, version}, kPass + version + "|", "", true},
        {"a name note", [](CardBasicInfo& c) { c.name = "李*"; }, {kPass, name}, kPass + name + "|", "", true},
        {"two notes at another province",
         [&](CardBasicInfo& c) { ofProvince(c, "350100", "410100813475"), c.specVersion = "2.5", c.name = "李-明"; },
         {kPass, version, name, kOtherProvince}, kPass + version + "|" + name + "|", "", false},
        {"an empty terminal number is another province", [](CardBasicInfo& c) { c.terminalNumber = ""; }, {kPass, kOtherProvince},
         kPass, "", false},
        {"terminal number of one digit", [](CardBasicInfo& c) { c.terminalNumber = "6"; }, {kPass, kOtherProvince}, kPass,
         "", false},
    };
    for (const Case& c : cases) {
        CardBasicInfo card = ValidHomeCard();
        c.change(card);
        Read(card);
        EXPECT_EQ(ui_->List(), c.list) << c.what;
        EXPECT_EQ(ui_->Selection(), static_cast<int>(c.list.size()) - 1) << c.what;
        ui_->ExpectLiveChecks(c.home, c.what);
        EXPECT_EQ(ui_->GridValues(), FieldsOf(card)) << c.what;
        EXPECT_EQ(TakeLog(card.cardNumber), BasicRecord(c.result, c.detail, card)) << c.what;
    }
}

TEST_F(DialogTest, FieldsPastTheEleventhAreIgnored) {
    reader_.Answer("iReadCardBas", 0, DriverOutput(ValidHomeCard()) + "12th|13th|tail");
    ui_->Click(IDC_READ_BASIC);
    EXPECT_EQ(ui_->List(), Lines{kPass});
    EXPECT_EQ(ui_->GridValues(), FieldsOf(ValidHomeCard()));
    EXPECT_EQ(Log("X00000019"), BasicRecord(kPass, "", ValidHomeCard()));
}

// 王珅: the second character's trail byte is "|", which must not end the name.
TEST_F(DialogTest, NameWithTheSeparatorAsTrailByteIsReadWhole) {
    ASSERT_EQ(std::string("王珅"), "\xCD\xF5\xAB\x7C");
    CardBasicInfo card = ValidHomeCard();
    card.name = "王珅";
    Read(card);
    EXPECT_EQ(ui_->List(), Lines{kPass});
    EXPECT_EQ(ui_->GridValues(), FieldsOf(card));
    EXPECT_EQ(Log("X00000019"), BasicRecord(kPass, "", card));
}

// Before the reader is asked, the emptied list and grid are on the screen.
TEST_F(DialogTest, DisplayIsClearedAndPaintedBeforeTheReaderIsAsked) {
    Read(ValidHomeCard());
    ASSERT_EQ(ui_->List(), Lines{kPass});
    reader_.Hooked("iReadCardBas");
    Lines listDuring, gridDuring;
    bool painted = false;
    DuringCall during([&](const std::string&) {
        listDuring = ui_->List();
        gridDuring = ui_->GridValues();
        painted = !GetUpdateRect(ui_->dlg.m_hWnd, nullptr, FALSE) &&
                  !GetUpdateRect(ui_->Item(IDC_RESULT_LIST), nullptr, FALSE) &&
                  !GetUpdateRect(ui_->Item(IDC_BASIC_GRID), nullptr, FALSE);
    });
    InvalidateRect(ui_->dlg.m_hWnd, nullptr, TRUE);  // as if another window had covered it
    ui_->Click(IDC_READ_BASIC);
    EXPECT_EQ(during.Calls(), 1);
    EXPECT_TRUE(listDuring.empty());
    EXPECT_EQ(gridDuring, Lines(11));
    EXPECT_TRUE(painted);
    EXPECT_EQ(ui_->List(), Lines{kPass});
}

// A record that cannot be written is reported after the check's own lines, naming its file;
// the check's outcome and buttons are as ever.
TEST_F(DialogTest, UnwritableLogIsReportedAfterTheCheck) {
    const LogDate days[] = {since_, NextDay(since_)};
    struct Case {
        const char* what;
        std::function<void(const std::wstring& root)> block;
        size_t blockingFiles;  // left below the working directory, untouched
    } cases[] = {
        {"LOG is a file", [](const std::wstring& root) { WriteFileBytes(root + L"\\LOG", "in the way"); }, 1},
        {"the day's folder is a file",
         [&](const std::wstring& root) {
             CreateDirectoryW((root + L"\\LOG").c_str(), nullptr);
             for (const LogDate& day : days) WriteFileBytes(LogFolder(root, day), "in the way");
         },
         2},
        {"the card's file is a folder", [&](const std::wstring& root) { BlockLog(root, "X00000019"); }, 0},
    };
    int serial = 0;
    for (const Case& c : cases) {
        std::wstring root = dir_ / (L"case" + std::to_wstring(++serial));
        ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
        ScopedCurrentDirectory cwd(root);
        ASSERT_TRUE(cwd.Changed());
        c.block(root);

        Read(ValidHomeCard());
        Lines list = ui_->List();
        ASSERT_EQ(list.size(), 2u) << c.what;
        EXPECT_EQ(list[0], kPass) << c.what;
        EXPECT_TRUE(list[1] == LogWriteFailedText(LogFolder(root, days[0]) + L"\\X00000019.txt") ||
                    list[1] == LogWriteFailedText(LogFolder(root, days[1]) + L"\\X00000019.txt"))
            << c.what;
        EXPECT_EQ(ui_->Selection(), 1) << c.what;
        ui_->ExpectLiveChecks(true, c.what);
        std::vector<std::wstring> left = FilesBelow(root);
        EXPECT_EQ(left.size(), c.blockingFiles) << c.what;
        for (const std::wstring& file : left) {
            std::string bytes;
            EXPECT_TRUE(ReadFileBytes(root + L"\\" + file, bytes));
            EXPECT_EQ(bytes, "in the way") << c.what;
        }
    }
}
