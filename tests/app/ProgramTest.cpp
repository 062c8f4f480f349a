// The real CardCheck.exe, started as its own process from a folder of the test's own:
// without a usable driver beside it no window appears and the process ends; with the
// simulated reader its dialog comes up, checks a card and closes on WM_CLOSE.
#include "AppTestSupport.h"

#include <cwchar>

#include "framework/GbkText.h"

namespace {
const wchar_t kCaption[] = L"Tessarin（自查版）V1.0";

std::wstring BesideThisProgram(const std::wstring& name) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, n);
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

struct FindArgs {
    DWORD process;
    bool anyCaption;
    HWND found;
};

BOOL CALLBACK MatchToolWindow(HWND hWnd, LPARAM lp) {
    auto* a = reinterpret_cast<FindArgs*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    wchar_t caption[64] = {};
    GetWindowTextW(hWnd, caption, 64);
    if (owner != a->process || !IsWindowVisible(hWnd) || (!a->anyCaption && std::wstring(caption) != kCaption))
        return TRUE;
    a->found = hWnd;
    return FALSE;
}

// A visible top-level window of that process with the tool's caption (or any), if any.
HWND ToolWindowOf(DWORD process, bool anyCaption = false) {
    FindArgs args{process, anyCaption, nullptr};
    EnumWindows(&MatchToolWindow, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

// The program started from `folder`, in `workingDirectory` (the same folder unless given),
// ended when still running at the end of the test.
class Program {
public:
    explicit Program(const std::wstring& folder, std::wstring workingDirectory = std::wstring()) {
        if (workingDirectory.empty()) workingDirectory = folder;
        std::wstring exe = folder + L"\\CardCheck.exe";
        std::wstring command = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  workingDirectory.c_str(), &si, &info_) != FALSE;
    }
    ~Program() {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    bool Started() const { return started_; }

    // Waits for the process to end; false when it still runs after `ms`. Notes whether any
    // window of it (the tool's, a message box) was seen meanwhile.
    bool WaitForEnd(DWORD ms) {
        for (DWORD waited = 0;; waited += 10) {
            if (ToolWindowOf(info_.dwProcessId, true)) sawWindow_ = true;
            if (WaitForSingleObject(info_.hProcess, 10) == WAIT_OBJECT_0) return true;
            if (waited >= ms) return false;
        }
    }
    HWND WaitForWindow(DWORD ms) {
        for (DWORD waited = 0; waited < ms; waited += 10) {
            if (HWND found = ToolWindowOf(info_.dwProcessId)) return found;
            if (WaitForSingleObject(info_.hProcess, 10) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }
    bool SawWindow() const { return sawWindow_; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    bool sawWindow_ = false;
};

// Copies a file that the build put beside this test program into `folder`.
void Place(const TempDir& folder, const std::wstring& name, const std::wstring& as) {
    ASSERT_TRUE(CopyFileW(BesideThisProgram(name).c_str(), (folder / as).c_str(), FALSE)) << gbk::FromWide(name);
}
}  // namespace

TEST(Program, WithoutAUsableDriverNoWindowAppearsAndTheProgramEnds) {
    struct Case {
        const char* what;
        const wchar_t* driver;  // copied as SSCardDriver.dll
        std::string bytes;      // else, when not empty: a file of these bytes in its place
    } cases[] = {
        {"no driver", nullptr, ""},
        {"a driver without iDoDebit", L"PartialDriver.dll", ""},
        {"a file that is no library", nullptr, "not a library"},
    };
    for (const Case& c : cases) {
        TempDir folder;
        ASSERT_NO_FATAL_FAILURE(Place(folder, L"CardCheck.exe", L"CardCheck.exe"));
        if (c.driver) {
            ASSERT_NO_FATAL_FAILURE(Place(folder, c.driver, L"SSCardDriver.dll"));
        }
        if (!c.bytes.empty()) WriteFileBytes(folder / L"SSCardDriver.dll", c.bytes);
        Program program(folder.Path());
        ASSERT_TRUE(program.Started()) << c.what;
        EXPECT_TRUE(program.WaitForEnd(20000)) << c.what;
        EXPECT_EQ(program.ExitCode(), 0u) << c.what;  // ended, not crashed
        EXPECT_FALSE(program.SawWindow()) << c.what;
    }
}

// A driver put in the working directory or on the PATH is not the reader's: the program
// beside which there is none does not start.
TEST(Program, NeverLoadsADriverFromTheWorkingDirectoryOrThePath) {
    TempDir folder, planted;
    ASSERT_NO_FATAL_FAILURE(Place(folder, L"CardCheck.exe", L"CardCheck.exe"));
    ASSERT_NO_FATAL_FAILURE(Place(planted, L"SSCardDriver.dll", L"SSCardDriver.dll"));
    SimulatedReader reader(planted);
    reader.ReadsCard(ValidOtherProvinceCard());
    ScopedEnv path(L"PATH", planted.Path() + L";C:\\windows\\system32;C:\\windows");
    Program program(folder.Path(), planted.Path());
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.WaitForEnd(20000));
    EXPECT_FALSE(program.SawWindow());
    EXPECT_TRUE(reader.Calls().empty());
}

namespace {
// A string of a file's version resource, from its Chinese (936) block.
std::wstring VersionString(const std::wstring& file, const wchar_t* name, VS_FIXEDFILEINFO* fixed = nullptr) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return L"<none>";
    void* value = nullptr;
    UINT length = 0;
    if (fixed && VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof *fixed)
        *fixed = *static_cast<VS_FIXEDFILEINFO*>(value);
    std::wstring key = std::wstring(L"\\StringFileInfo\\080403a8\\") + name;
    if (!VerQueryValueW(data.data(), key.c_str(), &value, &length) || length == 0) return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}
}  // namespace

// The file properties: the program and the simulated reader carry one product name and
// version, the numbers and the text agree, and the reader says it is a simulation.
TEST(Program, VersionResourcesNameTheProductAndTheSimulatedReader) {
    VS_FIXEDFILEINFO program{}, reader{};
    const std::wstring exe = BesideThisProgram(L"CardCheck.exe"), dll = BesideThisProgram(L"SSCardDriver.dll");
    std::wstring version = VersionString(exe, L"FileVersion", &program);
    wchar_t numbers[64];
    std::swprintf(numbers, 64, L"%u.%u.%u.%u", HIWORD(program.dwFileVersionMS), LOWORD(program.dwFileVersionMS),
                  HIWORD(program.dwFileVersionLS), LOWORD(program.dwFileVersionLS));
    EXPECT_EQ(version, numbers);
    EXPECT_EQ(VersionString(dll, L"FileVersion", &reader), version);
    EXPECT_EQ(reader.dwFileVersionMS, program.dwFileVersionMS);
    EXPECT_EQ(reader.dwFileVersionLS, program.dwFileVersionLS);
    EXPECT_EQ(VersionString(exe, L"ProductName"), L"Tessarin（自查版）");
    EXPECT_EQ(VersionString(dll, L"ProductName"), L"Tessarin（自查版）");
    EXPECT_EQ(VersionString(dll, L"FileDescription"), L"模拟读卡器：仅供培训和测试，不是真实读卡器的驱动");
}

TEST(Program, WithTheReaderShowsItsWindowChecksACardAndCloses) {
    TempDir folder;
    ASSERT_NO_FATAL_FAILURE(Place(folder, L"CardCheck.exe", L"CardCheck.exe"));
    ASSERT_NO_FATAL_FAILURE(Place(folder, L"SSCardDriver.dll", L"SSCardDriver.dll"));
    SimulatedReader reader(folder);  // the program inherits the INI file's name
    reader.ReadsCard(ValidOtherProvinceCard());

    const LogDate since = TodayLocal();
    Program program(folder.Path());
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow(20000);
    ASSERT_NE(window, nullptr);
    DWORD_PTR ignored;
    ASSERT_TRUE(SendMessageTimeoutW(GetDlgItem(window, IDC_READ_BASIC), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored));
    EXPECT_EQ(ListLines(GetDlgItem(window, IDC_RESULT_LIST)), (Lines{shown::kPass, shown::kOtherProvince}));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_READ_BASIC)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_PIN_RESET)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_DEBIT)));
    EXPECT_EQ(reader.Calls().size(), 1u);
    // The log goes below the program's working directory.
    EXPECT_EQ(LogSince(folder.Path(), "X00000019", since), BasicRecord(shown::kPass, "", ValidOtherProvinceCard()));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForEnd(20000));
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_FALSE(IsWindow(window));
}
