// The installer as an office's IT person runs it: silently, in a Wine prefix of its own,
// with and without the simulated reader. The installed tool is started through its
// Start-menu shortcut and checks the simulator's default card; uninstalling removes the
// program and keeps the check logs; a reader driver already on the workstation is used
// as it is and never replaced.
#include "InstallerTestSupport.h"

#include <objbase.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "app/CheckLog.h"
#include "app/CheckLogFile.h"
#include "tests/driver/TestSupport.h"

namespace {
using Names = std::vector<std::wstring>;

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TessarinCardCheck";
const char kCardNumber[] = "B41000001";  // the simulator's default card
const char kPassed[] = "读基本信息检测通过！";

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

bool SameFile(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The folder a path is in.
std::wstring Parent(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// The default card's records in the data folder's log, from the day `since` on.
std::string DefaultCardLog(const LogDate& since) {
    const LogDate today = TodayLocal();
    std::vector<LogDate> days{since};
    if (today.year != since.year || today.month != since.month || today.day != since.day) days.push_back(today);
    std::string all;
    for (const LogDate& day : days) {
        const std::string name = DateDirectoryName(day.year, day.month, day.day);  // digits only
        std::string bytes = Contents(DataFolder() + L"\\LOG\\" + std::wstring(name.begin(), name.end()) + L"\\" +
                                     LogFileName(kCardNumber));
        if (bytes != "<missing>") all += bytes;
    }
    return all;
}

// Starts the tool as the Start menu does, through its shortcut; CardCheckDemo clicks
// "读基本信息检测", reads the result list and closes the tool. The list's lines.
std::vector<std::wstring> CheckTheCardThroughTheShortcut() {
    const std::wstring lnk = ShortcutPath(), demo = Quoted(ThePackages().demo);
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.lpFile = lnk.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&run)) {
        ADD_FAILURE() << "the shortcut did not start the tool: " << GetLastError();
        return {};
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring lines = std::wstring(temp) + L"result-list.txt";
    DeleteFileW(lines.c_str());
    EXPECT_EQ(RunToEnd(demo + L" click 1010 " + Quoted(lines), 90000), 0);
    std::vector<std::wstring> shown = Utf8Lines(lines);
    EXPECT_EQ(RunToEnd(demo + L" close"), 0);
    if (run.hProcess) {
        EXPECT_EQ(WaitForSingleObject(run.hProcess, 20000), WAIT_OBJECT_0) << "the tool did not close";
        CloseHandle(run.hProcess);
    }
    return shown;
}
}  // namespace

// The installer, the zip and the program carry one product name and version, which the
// two file names carry too; the zip holds the program and, apart, the simulated reader.
TEST(Packages, InstallerZipAndProgramCarryOneNameAndVersion) {
    const Packages& packages = ThePackages();
    ASSERT_FALSE(packages.setup.empty() || packages.unzipped.empty()) << "run by tests/installer/run-installer-tests.sh";
    const FileProperties program = PropertiesOf(packages.unzipped + L"\\CardCheck.exe"),
                         setup = PropertiesOf(packages.setup),
                         reader = PropertiesOf(packages.unzipped + L"\\Simulator\\SSCardDriver.dll");
    EXPECT_EQ(program.productName, L"Tessarin（自查版）");
    EXPECT_EQ(program.fileVersion, program.numbers);
    for (const FileProperties* other : {&setup, &reader}) {
        EXPECT_EQ(other->productName, program.productName);
        EXPECT_EQ(other->productVersion, program.productVersion);
        EXPECT_EQ(other->fileVersion, program.fileVersion);
        EXPECT_EQ(other->numbers, program.numbers);
    }
    EXPECT_TRUE(EndsWith(packages.setup, L"\\CardCheck-Setup-" + program.fileVersion + L".exe"));
    EXPECT_TRUE(EndsWith(packages.unzipped, L"\\CardCheck-" + program.fileVersion));
    EXPECT_EQ(FilesIn(packages.unzipped), (Names{L"CardCheck.exe", L"README.txt"}));
    EXPECT_EQ(FilesIn(packages.unzipped + L"\\Simulator"), (Names{L"SSCardDriver.dll", L"SSCardDriver.ini"}));
}

namespace {
// Every test starts with nothing installed and leaves nothing installed (the check logs
// stay, as they would on a workstation).
class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_FALSE(ThePackages().setup.empty()) << "run by tests/installer/run-installer-tests.sh";
        ASSERT_FALSE(Exists(ProgramFolder())) << "an install is left from before";
    }
    void TearDown() override {
        if (Exists(ProgramFolder() + L"\\Uninstall.exe")) UninstallInPlace();
        Restart();
        CoUninitialize();
    }

    static long Install(const std::wstring& options) { return RunToEnd(Quoted(ThePackages().setup) + L" /S" + options); }
    // As a deployment tool runs it: in place, returning when done.
    static long UninstallInPlace() {
        return RunToEnd(Quoted(ProgramFolder() + L"\\Uninstall.exe") + L" /S _?=" + ProgramFolder());
    }
    // Wine's restart of the prefix: what was left for the next restart goes.
    static void Restart() { EXPECT_EQ(RunToEnd(L"wineboot.exe -r"), 0); }
};
}  // namespace

TEST_F(InstallerTest, WithTheSimulatorTheShortcutStartsTheToolInTheDataFolderAndUninstallingKeepsItsLog) {
    // 0 also says the data folder was given to the users (2 when that fails; Wine keeps
    // no access lists of folders to read back).
    ASSERT_EQ(Install(L" /SIMULATOR"), 0);
    const std::wstring program = ProgramFolder(), zip = ThePackages().unzipped;
    EXPECT_EQ(FilesIn(program),
              (Names{L"CardCheck.exe", L"README.txt", L"SSCardDriver.dll", L"SSCardDriver.ini", L"Uninstall.exe"}));
    // The same bytes as the zip's files.
    const struct {
        const wchar_t* installed;
        const wchar_t* inZip;
    } same[] = {{L"CardCheck.exe", L"CardCheck.exe"},
                {L"README.txt", L"README.txt"},
                {L"SSCardDriver.dll", L"Simulator\\SSCardDriver.dll"},
                {L"SSCardDriver.ini", L"Simulator\\SSCardDriver.ini"}};
    for (const auto& file : same) {
        std::string installed = Contents(program + L"\\" + file.installed);
        EXPECT_TRUE(installed != "<missing>" && installed == Contents(zip + L"\\" + file.inZip))
            << std::string(file.installed, file.installed + wcslen(file.installed));
    }

    const Shortcut shortcut = ReadShortcut(ShortcutPath());
    ASSERT_TRUE(shortcut.loaded);
    EXPECT_TRUE(SameFile(shortcut.target, program + L"\\CardCheck.exe"));
    EXPECT_TRUE(SameFile(shortcut.workingDirectory, DataFolder()));
    EXPECT_EQ(shortcut.arguments, L"");
    // Programs and Features: the program's version, and a silent uninstall that waits.
    EXPECT_EQ(MachineRegistryString(kUninstallKey, L"DisplayName"), L"Tessarin（自查版）");
    EXPECT_EQ(MachineRegistryString(kUninstallKey, L"DisplayVersion"), PropertiesOf(program + L"\\CardCheck.exe").fileVersion);
    EXPECT_EQ(MachineRegistryString(kUninstallKey, L"QuietUninstallString"),
              Quoted(program + L"\\Uninstall.exe") + L" /S _?=" + program);

    const LogDate since = TodayLocal();
    const std::vector<std::wstring> shown = CheckTheCardThroughTheShortcut();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), L"读基本信息检测通过！");
    const std::string log = DefaultCardLog(since);
    EXPECT_NE(log.find(kPassed), std::string::npos) << "no record in the data folder's LOG";
    EXPECT_NE(log.find(kCardNumber), std::string::npos);

    // In place the uninstaller cannot remove itself: it goes at the restart.
    EXPECT_EQ(UninstallInPlace(), 3010);
    EXPECT_EQ(FilesIn(program), (Names{L"Uninstall.exe"}));
    EXPECT_FALSE(Exists(ShortcutPath()));
    EXPECT_EQ(MachineRegistryString(kUninstallKey, L"DisplayName"), L"<none>");
    Restart();
    EXPECT_FALSE(Exists(program));
    EXPECT_EQ(DefaultCardLog(since), log);
}

TEST_F(InstallerTest, WithoutTheSimulatorNoDriverIsPlacedAndThePlainUninstallRemovesAllButTheLogs) {
    ASSERT_EQ(Install(L""), 0);
    const std::wstring program = ProgramFolder();
    EXPECT_EQ(FilesIn(program), (Names{L"CardCheck.exe", L"README.txt", L"Uninstall.exe"}));
    EXPECT_FALSE(Exists(SystemDriverPath()));
    ASSERT_TRUE(Exists(DataFolder()));
    // An operator's record, as the tool leaves it.
    const std::wstring day = DataFolder() + L"\\LOG\\20240102", record = day + L"\\B41000002.txt";
    CreateDirectoryW((DataFolder() + L"\\LOG").c_str(), nullptr);
    CreateDirectoryW(day.c_str(), nullptr);
    HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, kPassed, sizeof kPassed - 1, &written, nullptr);
    CloseHandle(file);

    // Returns at once; a copy of the uninstaller in the temporary folder finishes the work.
    EXPECT_EQ(RunToEnd(Quoted(program + L"\\Uninstall.exe") + L" /S"), 0);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(program) && !Exists(ShortcutPath()); }, 30000));
    EXPECT_FALSE(Exists(Parent(program)));  // Program Files\Tessarin
    EXPECT_EQ(Contents(record), kPassed);
}

// A driver already on the workstation is the one the tool loads: a simulated reader
// beside the program would take its place. So the simulated reader is not installed, the
// driver's file is not touched, and uninstalling leaves it where it was.
TEST_F(InstallerTest, AnExistingDriverIsUsedAsItIsAndNeverReplaced) {
    const std::wstring program = ProgramFolder();
    const struct Case {
        const char* what;
        std::wstring driver;
    } cases[] = {
        {"a vendor's driver in the system folder", SystemDriverPath()},
        {"a driver put beside the program before", program + L"\\SSCardDriver.dll"},
    };
    for (const Case& c : cases) {
        const std::string vendor = std::string("vendor driver: ") + c.what;
        CreateDirectoryW(Parent(program).c_str(), nullptr);
        CreateDirectoryW(program.c_str(), nullptr);
        HANDLE file = CreateFileW(c.driver.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << c.what;
        DWORD written = 0;
        WriteFile(file, vendor.data(), static_cast<DWORD>(vendor.size()), &written, nullptr);
        CloseHandle(file);

        EXPECT_EQ(Install(L" /SIMULATOR"), 0) << c.what;
        EXPECT_EQ(Contents(c.driver), vendor) << c.what;
        EXPECT_FALSE(Exists(program + L"\\SSCardDriver.ini")) << c.what;
        if (c.driver == SystemDriverPath()) {
            EXPECT_FALSE(Exists(program + L"\\SSCardDriver.dll")) << c.what;
        }

        UninstallInPlace();
        Restart();
        EXPECT_EQ(Contents(c.driver), vendor) << c.what;
        if (c.driver != SystemDriverPath()) {
            EXPECT_EQ(FilesIn(program), (Names{L"SSCardDriver.dll"})) << c.what;
        }
        DeleteFileW(c.driver.c_str());
        RemoveDirectoryW(program.c_str());
        RemoveDirectoryW(Parent(program).c_str());
    }
}
