// The check log on disk, in a working directory of the test's own. The records are written
// for a fixed day, so no test depends on the clock.
#include "app/CheckLogFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "app/CheckLog.h"
#include "framework/GbkText.h"
#include "TestSupport.h"

namespace {
const LogDate kDay{2026, 3, 7};

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

    std::wstring DayDir() const { return dir_ / L"LOG\\20260307"; }
    std::string Logged(const std::string& number) const {
        std::string bytes;
        ReadFileBytes(L"\\\\?\\" + DayDir() + L"\\" + LogFileName(number), bytes);
        return bytes;
    }

    TempDir dir_;
    ScopedCurrentDirectory cwd_{dir_.Path()};
};
}  // namespace

TEST_F(CheckLogOnDisk, RecordsAppendedByteForByte) {
    ASSERT_FALSE(PathExists(dir_ / L"LOG"));
    CardBasicInfo card = Card("X00000019");
    std::string failure = "读基本信息检测失败，不能跨省使用！请去卡窗口处理！\r\n卡号为空。\r\n";
    LogWriteResult basic = AppendBasicInfoRecord("检测失败，此卡不能跨省使用！", failure, card, kDay);
    EXPECT_TRUE(basic.written);
    EXPECT_EQ(basic.path, DayDir() + L"\\X00000019.txt");
    EXPECT_TRUE(AppendLiveCheckRecord("X00000019", "消费交易检测结果：", -51, "PIN校验失败，剩余次数2次", kDay).written);
    EXPECT_TRUE(AppendLiveCheckRecord("X00000019", "消费交易检测结果：", 0, "", kDay).written);
    EXPECT_TRUE(PathExists(dir_ / L"LOG"));
    EXPECT_TRUE(PathExists(DayDir()));

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(DayDir() + L"\\X00000019.txt", bytes));
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
    EXPECT_EQ(file.Path(), dir_ / L"LOG\\20260307\\X00000019.txt");
    EXPECT_TRUE(file.Append("x"));
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close());  // once
    EXPECT_FALSE(file.Append("y"));
    EXPECT_TRUE(PathExists(dir_ / L"LOG\\20260307\\X00000019.txt"));
    // An existing LOG is used as it is.
    EXPECT_TRUE(OpenCheckLog("Y", LogDate{2026, 3, 8}));
    EXPECT_TRUE(PathExists(dir_ / L"LOG\\20260308\\Y.txt"));
}

// Whatever the number, its record lands whole in a file of its own inside the day's folder.
TEST_F(CheckLogOnDisk, EveryNumberGetsAFileOfItsOwn) {
    std::string longChinese;
    for (int i = 0; i < 100; ++i) longChinese += "\xCD\xF5";
    const std::string numbers[] = {
        "",      "X00000019", "..\\..\\evil", "a/b:c", "a_b_c", "CON", "_CON", "nul", "\x81\x5C", "\xCD\xF5\xAB\x7C",
        std::string(300, '7'), std::string(300, '7') + "8", longChinese, longChinese + "\xCD\xF5", "\x81",
    };
    for (const std::string& number : numbers) {
        std::string title = "PIN重置检测结果：" + number.substr(0, 20);
        LogWriteResult result = AppendLiveCheckRecord(number, title, 0, "", kDay);
        EXPECT_TRUE(result.written) << number.substr(0, 20);
        EXPECT_EQ(result.path, DayDir() + L"\\" + LogFileName(number));
        EXPECT_EQ(Logged(number), LiveCheckRecordText(title, 0, "")) << number.substr(0, 20);
    }
    EXPECT_EQ(FilesIn(DayDir()).size(), std::size(numbers));
    EXPECT_FALSE(PathExists(dir_ / L"evil.txt"));
    EXPECT_FALSE(PathExists(dir_ / L"LOG\\evil.txt"));
}

// A record that cannot be written is reported with the file it was meant for.
TEST_F(CheckLogOnDisk, UnwritableRecordIsReportedWithItsFile) {
    const std::wstring day = L"\\LOG\\20260307", file = day + L"\\X00000019.txt";
    struct Case {
        const char* what;
        std::function<void(const std::wstring& root)> block;
        bool held = false;  // the file is there, held open without sharing by another program
    } cases[] = {
        {"LOG is a file", [](const std::wstring& root) { WriteFileBytes(root + L"\\LOG", "in the way"); }},
        {"the day's folder is a file",
         [&](const std::wstring& root) {
             CreateDirectoryW((root + L"\\LOG").c_str(), nullptr);
             WriteFileBytes(root + day, "in the way");
         }},
        {"the card's file is a folder",
         [&](const std::wstring& root) {
             CreateDirectoryW((root + L"\\LOG").c_str(), nullptr);
             CreateDirectoryW((root + day).c_str(), nullptr);
             CreateDirectoryW((root + file).c_str(), nullptr);
         }},
        {"another program holds the file", [](const std::wstring&) {}, true},
    };
    for (const Case& c : cases) {
        TempDir root;
        ScopedCurrentDirectory cwd(root.Path());
        ASSERT_TRUE(cwd.Changed());
        c.block(root.Path());
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.held) {
            ASSERT_TRUE(AppendLiveCheckRecord("X00000019", "PIN重置检测结果：", 0, "", kDay).written);
            held = CreateFileW((root.Path() + file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        }
        LogWriteResult result = AppendLiveCheckRecord("X00000019", "消费交易检测结果：", 0, "", kDay);
        EXPECT_FALSE(result.written) << c.what;
        EXPECT_EQ(result.path, root.Path() + file) << c.what;
        EXPECT_FALSE(OpenCheckLog("X00000019", kDay)) << c.what;
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    }
}

// Tools appending to one card's file at once: every record arrives whole, none is lost or
// overwritten. Records far longer than a stream buffer, so that a write in pieces shows.
TEST_F(CheckLogOnDisk, SimultaneousAppendsNeverInterleave) {
    const int kRecords = 30;
    const std::string letters = "abcd";
    auto record = [](char letter) {
        return LiveCheckRecordText("消费交易检测结果：", -1, std::string(60000, letter));
    };
    std::vector<std::thread> writers;
    for (char letter : letters)
        writers.emplace_back([letter] {
            for (int i = 0; i < kRecords; ++i)
                AppendLiveCheckRecord("X00000019", "消费交易检测结果：", -1, std::string(60000, letter), kDay);
        });
    for (std::thread& writer : writers) writer.join();
    std::string bytes = Logged("X00000019");
    const size_t size = record('a').size();
    ASSERT_EQ(bytes.size(), letters.size() * kRecords * size);
    std::map<char, int> whole;
    for (size_t at = 0; at < bytes.size(); at += size) {
        std::string found = bytes.substr(at, size);
        for (char letter : letters) whole[letter] += found == record(letter);
    }
    for (char letter : letters) EXPECT_EQ(whole[letter], kRecords) << letter;
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
    LogWriteResult result = AppendLiveCheckRecord(number, "PIN重置检测结果：", 0, "", kDay);
    ASSERT_TRUE(result.written);
    std::wstring file = deep + L"\\LOG\\20260307\\" + gbk::ToWide(number) + L".txt";
    EXPECT_EQ(result.path, file);
    ASSERT_GT(file.size(), static_cast<size_t>(MAX_PATH));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(L"\\\\?\\" + file, bytes));
    EXPECT_EQ(bytes, LiveCheckRecordText("PIN重置检测结果：", 0, ""));
}
