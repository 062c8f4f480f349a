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

TEST(CheckLogNames, SafeFileNames) {
    struct Case {
        const char* number;
        const wchar_t* name;
    } cases[] = {
        {"X00000019", L"X00000019.txt"},
        {"", L".txt"},
        {"a\\b/c:d*e?f\"g<h>i|j", L"a_b_c_d_e_f_g_h_i_j.txt"},
        {"..\\..\\evil", L".._.._evil.txt"},
        {"C:\\x", L"C__x.txt"},
        {"a\tb\x01" "c\x7F", L"a_b_c_.txt"},
        {"\x81\x5C", L"\u4E57.txt"},             // the trail byte 5C is no backslash
        {"\xCD\xF5\xAB\x7C", L"\u738B\u73C5.txt"}, // 王珅: nor is 7C a bar
        {"CON", L"_CON.txt"},
        {"con", L"_con.txt"},
        {"Nul", L"_Nul.txt"},
        {"PRN", L"_PRN.txt"},
        {"aux", L"_aux.txt"},
        {"COM1", L"_COM1.txt"},
        {"lpt9", L"_lpt9.txt"},
        {"COM0", L"_COM0.txt"},
        {"CON.log", L"_CON.log.txt"},
        {"CON .x", L"_CON .x.txt"},
        {"CONSOLE", L"CONSOLE.txt"},
        {"COM10", L"COM10.txt"},
        {"COM", L"COM.txt"},
        {"ACON", L"ACON.txt"},
        {"LPTA", L"LPTA.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(LogFileName(c.number), c.name) << c.number;
}
