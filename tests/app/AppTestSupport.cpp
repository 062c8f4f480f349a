#include "AppTestSupport.h"

#include <algorithm>
#include <cstdio>

#include "framework/GbkText.h"

namespace {
std::function<void(const std::string&)> g_seeCall;
DuringCall* g_duringCall = nullptr;

const char kHookName[] = "AppTestDuringCall";
}  // namespace

// The reader finds this by name in the program's exports (SimulatedReader::Hooked).
extern "C" __declspec(dllexport) void __cdecl AppTestDuringCall(const char* entry) {
    if (!g_duringCall) return;
    g_duringCall->Count();
    g_seeCall(entry);
}

DuringCall::DuringCall(std::function<void(const std::string& entry)> see) {
    g_seeCall = std::move(see);
    g_duringCall = this;
}

DuringCall::~DuringCall() {
    g_duringCall = nullptr;
    g_seeCall = nullptr;
}

std::string DriverOutput(const CardBasicInfo& card) {
    std::string out;
    for (int n = 1; n <= CardBasicInfo::kFieldCount; ++n) out += card.Field(n) + "|";
    return out;
}

std::string IniBytes(const std::string& bytes) {
    // Quoted, so blanks at either end stay; every byte that is not plain ASCII as \xHH.
    static const char digits[] = "0123456789ABCDEF";
    std::string value = "\"";
    for (unsigned char b : bytes) {
        if (b > 0x20 && b < 0x7F && b != '\\' && b != '"') {
            value += static_cast<char>(b);
        } else {
            value += "\\x";
            value += digits[b >> 4];
            value += digits[b & 15];
        }
    }
    return value + "\"";
}

SimulatedReader::SimulatedReader(const TempDir& dir)
    : ini_(dir / L"SSCardDriver.ini"), record_(dir / L"calls.txt"), env_(L"SSCARDDRIVER_INI", ini_) {
    Write();
}

void SimulatedReader::Answer(const std::string& entry, int code, const std::string& bytes, const std::string& moreKeys) {
    mode_ = "scripted";
    std::string lines = entry + ".code = " + std::to_string(code) + "\r\n" + entry + ".out = " + IniBytes(bytes) + "\r\n";
    std::string keys = moreKeys;
    for (size_t start = 0; start < keys.size();) {
        size_t end = std::min(keys.find('\n', start), keys.size());
        std::string key = keys.substr(start, end - start);
        if (!key.empty()) lines += entry + "." + key + "\r\n";
        start = end + 1;
    }
    script_[entry] = lines;
    Write();
}

void SimulatedReader::Hooked(const std::string& entry) {
    hooked_[entry] = true;
    Write();
}

void SimulatedReader::Checking(const std::string& mode, const std::string& readerLines, const std::string& answers) {
    mode_ = mode;
    readerLines_ = readerLines;
    answers_ = answers;
    Write();
}

void SimulatedReader::Write() const {
    std::string text = "[reader]\r\nmode = " + mode_ + "\r\nrecord = " + gbk::FromWide(record_) + "\r\n" + readerLines_ + "\r\n";
    text += "[script]\r\n";
    for (const auto& [entry, lines] : script_) text += lines;
    for (const auto& [entry, on] : hooked_)
        if (on) text += entry + ".hook = " + kHookName + "\r\n";
    text += "[unattended]\r\n" + answers_ + "\r\n";
    WriteFileBytes(ini_, text);
}

CallRecord SimulatedReader::Calls() const {
    std::string text;
    ReadFileBytes(record_, text);
    return ParseCallRecord(text);
}

Lines ListLines(HWND list) {
    auto send = [list](UINT msg, WPARAM wp, LPARAM lp) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(list, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &result)) return static_cast<LRESULT>(LB_ERR);
        return static_cast<LRESULT>(result);
    };
    Lines lines;
    LRESULT count = send(LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT n = send(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(n == LB_ERR ? 0 : static_cast<size_t>(n) + 1, L'\0');
        if (text.empty()) text.resize(1);
        n = send(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(n == LB_ERR ? 0 : static_cast<size_t>(n));
        lines.push_back(gbk::FromWide(text));
    }
    return lines;
}

void DialogUnderTest::Click(int id) {
    HWND button = Item(id);
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(IsWindowEnabled(button)) << "button " << id << " is disabled";
    SendMessageW(button, BM_CLICK, 0, 0);
}

Lines DialogUnderTest::GridValues() {
    Lines values;
    for (int row = 1; row <= CardBasicInfo::kFieldCount; ++row) values.push_back(dlg.Grid().GetCellText(row, 1));
    return values;
}

void DialogUnderTest::ExpectLiveChecks(bool enabled, const std::string& context) const {
    EXPECT_TRUE(Enabled(IDC_READ_BASIC)) << context;
    EXPECT_EQ(Enabled(IDC_PIN_RESET), enabled) << context;
    EXPECT_EQ(Enabled(IDC_DEBIT), enabled) << context;
}

LogDate NextDay(const LogDate& day) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(day.year);
    st.wMonth = static_cast<WORD>(day.month);
    st.wDay = static_cast<WORD>(day.day);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
    t.QuadPart += 24ull * 60 * 60 * 10000000;
    ft = {t.LowPart, t.HighPart};
    FileTimeToSystemTime(&ft, &st);
    return {st.wYear, st.wMonth, st.wDay};
}

std::wstring LogFolder(const std::wstring& root, const LogDate& day) {
    return root + L"\\LOG\\" + gbk::ToWide(DateDirectoryName(day.year, day.month, day.day));
}

std::vector<std::wstring> LogFoldersSince(const std::wstring& root, const LogDate& since) {
    std::vector<std::wstring> folders{LogFolder(root, since)};
    std::wstring today = LogFolder(root, TodayLocal());
    if (today != folders.front()) folders.push_back(today);
    return folders;
}

std::string LogSince(const std::wstring& root, const std::string& cardNumber, const LogDate& since) {
    std::string all, bytes;
    for (const std::wstring& folder : LogFoldersSince(root, since))
        if (ReadFileBytes(L"\\\\?\\" + folder + L"\\" + LogFileName(cardNumber), bytes)) all += bytes;
    return all;
}

std::vector<std::wstring> LogFileNamesSince(const std::wstring& root, const LogDate& since) {
    std::vector<std::wstring> names;
    for (const std::wstring& folder : LogFoldersSince(root, since))
        for (const std::wstring& name : FilesIn(folder)) names.push_back(name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string DialogTest::TakeLog(const std::string& cardNumber) const {
    std::string bytes = Log(cardNumber);
    for (const std::wstring& folder : LogFoldersSince(dir_.Path(), since_))
        DeleteFileW((L"\\\\?\\" + folder + L"\\" + LogFileName(cardNumber)).c_str());
    return bytes;
}

void DialogTest::BlockLog(const std::wstring& root, const std::string& cardNumber) const {
    CreateDirectoryW((root + L"\\LOG").c_str(), nullptr);
    for (const LogDate& day : {since_, NextDay(since_)}) {
        std::wstring folder = LogFolder(root, day), file = folder + L"\\" + LogFileName(cardNumber);
        CreateDirectoryW(folder.c_str(), nullptr);
        DeleteFileW(file.c_str());
        EXPECT_TRUE(CreateDirectoryW(file.c_str(), nullptr));
    }
}

namespace {
void CollectFiles(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectFiles(folder + L"\\" + name, prefix + name + L"\\", out);
        else
            out.push_back(prefix + name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

const char kSeparatorLine[] = "[-------------------------------------------------------------------------]\r\n";
}  // namespace

std::vector<std::wstring> FilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files;
    CollectFiles(folder, L"", files);
    std::sort(files.begin(), files.end());
    return files;
}

std::string BasicRecord(const std::string& result, const std::string& detail, const CardBasicInfo& card) {
    static const char* const labels[] = {
        "发卡地区行政区划代码：", "社会保障号码：", "卡号：", "卡识别码：", "姓名：", "卡复位信息（仅取历史字节）：",
        "规范版本：", "发卡日期：", "卡有效期：", "终端机编号：", "终端设备号：",
    };
    std::string record = kSeparatorLine;
    record += "读基本信息检测结果：" + result + "\r\n" + detail + "\r\n社会保障卡基本信息\r\n";
    for (int n = 1; n <= CardBasicInfo::kFieldCount; ++n) record += labels[n - 1] + card.Field(n) + "\r\n";
    return record + kSeparatorLine + "\r\n";
}

std::string LiveRecord(const std::string& title, int code, const std::string& description) {
    std::string record = kSeparatorLine + title + "\r\n" + (code == 0 ? "检测通过！" : "检测失败！") + "\r\n";
    if (code != 0) record += "状态码:[" + std::to_string(code) + "] 错误信息:[" + description + "]\r\n";
    return record + kSeparatorLine + "\r\n";
}
