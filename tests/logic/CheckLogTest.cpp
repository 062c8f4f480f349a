#include "app/CheckLog.h"

#include <gtest/gtest.h>

#include "TestCards.h"

namespace {
const std::string kSeparator = "[" + std::string(73, '-') + "]";

std::string FieldLines(const CardBasicInfo& c) {
    return "发卡地区行政区划代码：" + c.regionCode + "\r\n社会保障号码：" + c.socialSecurityNumber + "\r\n卡号：" +
           c.cardNumber + "\r\n卡识别码：" + c.cardIdCode + "\r\n姓名：" + c.name + "\r\n卡复位信息（仅取历史字节）：" +
           c.resetInfo + "\r\n规范版本：" + c.specVersion + "\r\n发卡日期：" + c.issueDate + "\r\n卡有效期：" +
           c.expiryDate + "\r\n终端机编号：" + c.terminalNumber + "\r\n终端设备号：" + c.terminalDeviceNumber + "\r\n";
}
}  // namespace

TEST(CheckLogRecord, SeparatorLine) {
    EXPECT_EQ(std::string(LOG_SEPARATOR_LINE), kSeparator);
    EXPECT_EQ(kSeparator.size(), 75u);
}

TEST(CheckLogRecord, PassingBasicCheckWritesAnEmptyDetailLine) {
    CardBasicInfo card = ValidOtherProvinceCard();
    std::string expected = kSeparator + "\r\n读基本信息检测结果：读基本信息检测通过！\r\n\r\n社会保障卡基本信息\r\n" +
                           FieldLines(card) + kSeparator + "\r\n\r\n";
    EXPECT_EQ(BasicInfoRecordText("读基本信息检测通过！", "", card), expected);
}

TEST(CheckLogRecord, FailureTextWithTwoMessagesIsFollowedByAnEmptyLine) {
    CardBasicInfo card = ValidOtherProvinceCard();
    std::string failure = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n卡号为空。\r\n姓名为空。\r\n";
    std::string expected = kSeparator +
                           "\r\n读基本信息检测结果：检测失败，此卡不能跨省使用！\r\n"
                           "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n卡号为空。\r\n姓名为空。\r\n\r\n"
                           "社会保障卡基本信息\r\n" +
                           FieldLines(card) + kSeparator + "\r\n\r\n";
    EXPECT_EQ(BasicInfoRecordText("检测失败，此卡不能跨省使用！", failure, card), expected);
}

TEST(CheckLogRecord, TextEndingInCrLfIsFollowedByAnEmptyLine) {
    CardBasicInfo card = ValidOtherProvinceCard();
    std::string note = "社会保障号码不是18位。如可通过卡鉴权，此卡可跨省使用。\r\n";
    EXPECT_EQ(BasicInfoRecordText(note, "", card), kSeparator + "\r\n读基本信息检测结果：" + note + "\r\n\r\n社会保障卡基本信息\r\n" +
                                                       FieldLines(card) + kSeparator + "\r\n\r\n");
}

TEST(CheckLogRecord, LiveChecks) {
    EXPECT_EQ(LiveCheckRecordText("PIN重置检测结果：", 0, "ignored"),
              kSeparator + "\r\nPIN重置检测结果：\r\n检测通过！\r\n" + kSeparator + "\r\n\r\n");
    EXPECT_EQ(LiveCheckRecordText("消费交易检测结果：", -51, "PIN校验失败，剩余次数2次"),
              kSeparator + "\r\n消费交易检测结果：\r\n检测失败！\r\n状态码:[-51] 错误信息:[PIN校验失败，剩余次数2次]\r\n" +
                  kSeparator + "\r\n\r\n");
    std::string longText(299, 'x');
    EXPECT_EQ(LiveCheckRecordText("T", 5, longText),
              kSeparator + "\r\nT\r\n检测失败！\r\n状态码:[5] 错误信息:[" + longText + "]\r\n" + kSeparator + "\r\n\r\n");
}

TEST(CheckLogNames, DateDirectory) {
    EXPECT_EQ(DateDirectoryName(2026, 3, 7), "20260307");
    EXPECT_EQ(DateDirectoryName(1999, 12, 31), "19991231");
    EXPECT_EQ(DateDirectoryName(987, 1, 1), " 9870101");  // "%4d" pads with a blank
}

// An ordinary number is its own name; any other keeps what it can and gets "~" and eight hex
// digits of a hash of its bytes.
TEST(CheckLogNames, SafeFileNames) {
    struct Case {
        const char* number;
        const wchar_t* stem;  // the name before the hash (or before ".txt")
        bool hashed;
    } cases[] = {
        {"X00000019", L"X00000019", false},
        {"", L"", false},  // an empty number is logged to ".txt"
        {"a\\b/c:d*e?f\"g<h>i|j", L"a_b_c_d_e_f_g_h_i_j", true},
        {"..\\..\\evil", L".._.._evil", true},
        {"C:\\x", L"C__x", true},
        {"a\tb\x01" "c\x7F", L"a_b_c_", true},
        {"PROGRA~1", L"PROGRA_1", true},          // no short 8.3 alias of another file
        {"\x81\x5C", L"\u4E57", false},             // the trail byte 5C is no backslash
        {"\xCD\xF5\xAB\x7C", L"\u738B\u73C5", false}, // 王珅: nor is 7C a bar
        {"\x81", L"", true},                          // a lone lead byte: not GBK
        {"CON", L"_CON", true},
        {"con", L"_con", true},
        {"Nul", L"_Nul", true},
        {"PRN", L"_PRN", true},
        {"aux", L"_aux", true},
        {"COM1", L"_COM1", true},
        {"lpt9", L"_lpt9", true},
        {"COM0", L"_COM0", true},
        {"CONIN$", L"_CONIN$", true},
        {"CON.log", L"_CON.log", true},
        {"CON .x", L"_CON .x", true},
        {"CONSOLE", L"CONSOLE", false},
        {"COM10", L"COM10", false},
        {"COM", L"COM", false},
        {"ACON", L"ACON", false},
        {"LPTA", L"LPTA", false},
    };
    for (const Case& c : cases) {
        std::wstring name = LogFileName(c.number);
        ASSERT_GE(name.size(), 4u) << c.number;
        EXPECT_EQ(name.substr(name.size() - 4), L".txt") << c.number;
        std::wstring stem = name.substr(0, name.size() - 4);
        if (!c.hashed) {
            EXPECT_EQ(stem, c.stem) << c.number;
            continue;
        }
        ASSERT_GE(stem.size(), 9u) << c.number;
        std::wstring hash = stem.substr(stem.size() - 9);
        EXPECT_EQ(hash[0], L'~') << c.number;
        EXPECT_EQ(hash.find_first_not_of(L"0123456789ABCDEF", 1), std::wstring::npos) << c.number;
        if (*c.stem) {  // an undecodable byte may become any replacement character
            EXPECT_EQ(stem.substr(0, stem.size() - 9), c.stem) << c.number;
        }
    }
    // The hash is FNV-1a of the bytes: a name must not change between versions, or one
    // card's records of a day would land in two files.
    EXPECT_EQ(LogFileName("a/b"), L"a_b~3A8E75C1.txt");
    EXPECT_EQ(LogFileName("CON"), L"_CON~3367E86B.txt");
}

// The longest name a number keeps, and where a longer one is cut: within every file
// system's limit, at a whole character. (Distinct numbers in distinct files: on disk, in
// the driver tests.)
TEST(CheckLogNames, LongNumbersAreCutWithinTheLimit) {
    const std::string exactly(kMaxLogNameBytes, 'A');
    EXPECT_EQ(LogFileName(exactly), std::wstring(kMaxLogNameBytes, L'A') + L".txt");
    std::wstring cut = LogFileName(exactly + "A");
    EXPECT_EQ(cut.substr(0, kMaxLogNameBytes - 9), std::wstring(kMaxLogNameBytes - 9, L'A'));
    EXPECT_EQ(cut.size(), kMaxLogNameBytes + 4);
    std::string longChinese;
    for (int i = 0; i < 100; ++i) longChinese += "\xCD\xF5";  // 王: 3 bytes of UTF-8 each
    std::wstring chinese = LogFileName(longChinese);
    EXPECT_EQ(chinese.substr(0, 63), std::wstring(63, L'\u738B'));  // 189 bytes, then the hash
    EXPECT_EQ(chinese.size(), 63u + 9 + 4);
}

// A card's fields cannot forge lines: control bytes are written as \xHH, the program's
// own texts as they are.
TEST(CheckLogRecord, ControlBytesOfTheCardAreEscaped) {
    struct Case {
        std::string field, logged;
    } cases[] = {
        {"", ""},
        {"X00000019", "X00000019"},
        {"\r\n", "\\x0D\\x0A"},
        {"a\tb\x1F\x7F", "a\\x09b\\x1F\x7F"},
        {std::string("\0", 1), "\\x00"},
        {"\xCD\xF5\xAB\x7C\\x41", "\xCD\xF5\xAB\x7C\\x41"},  // GBK and a written "\x41" as they are
    };
    for (const Case& c : cases) EXPECT_EQ(LogFieldText(c.field), c.logged) << c.logged;

    CardBasicInfo forged = ValidOtherProvinceCard();
    forged.name = "李明\r\n" + kSeparator + "\r\n\r\n" + kSeparator + "\r\n读基本信息检测结果：读基本信息检测通过！";
    forged.terminalDeviceNumber = "\n";
    std::string failure = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n卡号为空。\r\n";
    std::string record = BasicInfoRecordText("检测失败，此卡不能跨省使用！", failure, forged);
    CardBasicInfo asLogged = forged;
    asLogged.name = LogFieldText(forged.name);
    asLogged.terminalDeviceNumber = "\\x0A";
    EXPECT_EQ(record, kSeparator + "\r\n读基本信息检测结果：检测失败，此卡不能跨省使用！\r\n" + failure +
                          "\r\n社会保障卡基本信息\r\n" + FieldLines(asLogged) + kSeparator + "\r\n\r\n");
    // The record's 17 lines and the failure text's two, of which two are separators: the
    // card made none.
    size_t lines = 0, separators = 0;
    for (size_t start = 0, end; (end = record.find("\r\n", start)) != std::string::npos; start = end + 2) {
        ++lines;
        separators += record.compare(start, end - start, kSeparator) == 0;
    }
    EXPECT_EQ(lines, 19u);
    EXPECT_EQ(separators, 2u);
}

TEST(CheckLogNames, FailureLineNamesTheFile) {
    EXPECT_EQ(LogWriteFailedText(L"C:\\work\\LOG\\20260307\\X00000019.txt"),
              "检测记录未能写入日志文件：C:\\work\\LOG\\20260307\\X00000019.txt");
    EXPECT_EQ(LogWriteFailedText(L"D:\\\u738B\u73C5\\LOG\\20260307\\.txt"), "检测记录未能写入日志文件：D:\\王珅\\LOG\\20260307\\.txt");
}
