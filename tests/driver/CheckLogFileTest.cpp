// The check log on disk, in a working directory of the test's own.
#include "app/CheckLogFile.h"

#include <gtest/gtest.h>

#include "app/CheckLog.h"
#include "framework/GbkText.h"
#include "TestSupport.h"

namespace {
CardBasicInfo Card(const std::string& number) {
    CardBasicInfo card;
    card.regionCode = "639900";
    card.cardNumber = number;
    card.name = "王珅";
    return card;
}

class CheckLogOnDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(cwd_.Changed()); }

    std::wstring TodayDir() const {
        LogDate d = TodayLocal();
        return dir_ / (L"LOG\\" + gbk::ToWide(DateDirectoryName(d.year, d.month, d.day)));
    }

    TempDir dir_;
    ScopedCurrentDirectory cwd_{dir_.Path()};
};
}  // namespace

TEST_F(CheckLogOnDisk, RecordsAppendedByteForByte) {
    ASSERT_FALSE(PathExists(dir_ / L"LOG"));
    CardBasicInfo card = Card("X00000019");
    std::string failure = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n卡号为空。\r\n";
    ASSERT_TRUE(AppendBasicInfoRecord("检测失败，此卡不能跨省使用！", failure, card));
    ASSERT_TRUE(AppendLiveCheckRecord("X00000019", "消费交易检测结果：", -51, "PIN校验失败，剩余次数2次"));
    ASSERT_TRUE(AppendLiveCheckRecord("X00000019", "消费交易检测结果：", 0, ""));
    EXPECT_TRUE(PathExists(dir_ / L"LOG"));
    EXPECT_TRUE(PathExists(TodayDir()));

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(TodayDir() + L"\\X00000019.txt", bytes));
    std::string expected = BasicInfoRecordText("检测失败，此卡不能跨省使用！", failure, card) +
                           LiveCheckRecordText("消费交易检测结果：", -51, "PIN校验失败，剩余次数2次") +
                           LiveCheckRecordText("消费交易检测结果：", 0, "");
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos);  // binary: CR LF stays CR LF
    EXPECT_EQ(bytes.substr(0, 77), "[" + std::string(73, '-') + "]\r\n");
}

TEST_F(CheckLogOnDisk, DayDirectoryFromTheDate) {
    LogFile file = OpenCheckLog("X00000019", LogDate{2026, 3, 7});
    ASSERT_TRUE(file);
    file.reset();
    EXPECT_TRUE(PathExists(dir_ / L"LOG\\20260307\\X00000019.txt"));
    // An existing LOG is used as it is.
    EXPECT_TRUE(OpenCheckLog("Y", LogDate{2026, 3, 8}));
    EXPECT_TRUE(PathExists(dir_ / L"LOG\\20260308\\Y.txt"));
}

TEST_F(CheckLogOnDisk, NamesFromTheCardAreMadeSafe) {
    struct Case {
        const char* number;
        const wchar_t* file;
    } cases[] = {
        {"", L".txt"},
        {"..\\..\\evil", L".._.._evil.txt"},
        {"a/b:c", L"a_b_c.txt"},
        {"CON", L"_CON.txt"},
        {"nul", L"_nul.txt"},
        {"\x81\x5C", L"\u4E57.txt"},
        {"\xCD\xF5\xAB\x7C", L"\u738B\u73C5.txt"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(AppendLiveCheckRecord(c.number, "PIN重置检测结果：", 0, "")) << c.number;
        std::string bytes;
        EXPECT_TRUE(ReadFileBytes(TodayDir() + L"\\" + c.file, bytes)) << c.number;
        EXPECT_EQ(bytes, LiveCheckRecordText("PIN重置检测结果：", 0, "")) << c.number;
    }
    EXPECT_FALSE(PathExists(dir_ / L"evil.txt"));
    EXPECT_FALSE(PathExists(dir_ / L"LOG\\evil.txt"));
}

TEST_F(CheckLogOnDisk, UnopenableFileSkipsTheRecord) {
    WriteFileBytes(dir_ / L"LOG", "a file where the directory belongs");
    EXPECT_FALSE(AppendLiveCheckRecord("X00000019", "PIN重置检测结果：", 0, ""));
    EXPECT_FALSE(OpenCheckLog("X00000019"));
}

TEST_F(CheckLogOnDisk, LongWorkingDirectory) {
    // A working directory near the longest the platform lets a program enter (MAX_PATH
    // less two), and a card number that takes the log file's path past MAX_PATH.
    const size_t target = MAX_PATH - 20;
    std::wstring deep = dir_ / L"\u738B\u73C5";  // not ASCII either
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    for (wchar_t c = L'a'; deep.size() + 1 < target; ++c) {
        deep += L"\\" + std::wstring(std::min<size_t>(40, target - deep.size() - 1), c);
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_GE(deep.size(), target - 1);
    ScopedCurrentDirectory inside(deep);
    ASSERT_TRUE(inside.Changed());
    std::string number(40, '7');
    ASSERT_TRUE(AppendLiveCheckRecord(number, "PIN重置检测结果：", 0, ""));
    LogDate d = TodayLocal();
    std::wstring file = deep + L"\\LOG\\" + gbk::ToWide(DateDirectoryName(d.year, d.month, d.day)) + L"\\" +
                        gbk::ToWide(number) + L".txt";
    ASSERT_GT(file.size(), static_cast<size_t>(MAX_PATH));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(L"\\\\?\\" + file, bytes));
    EXPECT_EQ(bytes, LiveCheckRecordText("PIN重置检测结果：", 0, ""));
}
