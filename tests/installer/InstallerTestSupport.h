// What the installer tests share: the packages under test (named by the environment the
// test script sets), the places an install goes to, programs run to their end, and the
// shortcut and file properties as the system reads them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// ---- the packages under test ----

// CARDCHECK_SETUP: the installer. CARDCHECK_UNZIPPED: the zip's folder, unpacked.
// CARDCHECK_DEMO: CardCheckDemo.exe, which drives the running tool.
struct Packages {
    std::wstring setup;
    std::wstring unzipped;
    std::wstring demo;
};
const Packages& ThePackages();

// ---- where an install goes ----

std::wstring ProgramFolder();     // Program Files\Tessarin\CardCheck
std::wstring DataFolder();        // the common application data folder's Tessarin\CardCheck
std::wstring ShortcutPath();      // the common Start menu's Programs\Tessarin（自查版）.lnk
std::wstring SystemDriverPath();  // SSCardDriver.dll in the system folder

// ---- programs ----

// Runs a command line as it is (nothing is quoted for it) and waits for its end: the exit
// code, or -1 when it did not start or end within `ms`.
long RunToEnd(const std::wstring& commandLine, DWORD ms = 60000);

// Polls `done` every 50 ms for up to `ms`; true once it holds.
template <typename Done>
bool WaitUntil(Done done, DWORD ms) {
    for (DWORD waited = 0;; waited += 50) {
        if (done()) return true;
        if (waited >= ms) return false;
        Sleep(50);
    }
}

// ---- files ----

bool Exists(const std::wstring& path);
// The whole file, or "<missing>" when it cannot be read. (FilesIn, from the driver tests'
// support, names a folder's files.)
std::string Contents(const std::wstring& path);
// A UTF-8 file's lines, in UTF-16.
std::vector<std::wstring> Utf8Lines(const std::wstring& path);

// ---- what the system says ----

// A shortcut as the shell reads it; `loaded` is false when it cannot be read.
struct Shortcut {
    bool loaded = false;
    std::wstring target, workingDirectory, arguments;
};
Shortcut ReadShortcut(const std::wstring& lnk);

// The file properties a user sees, from the version resource's first language; "<none>"
// for a string it lacks. `numbers` is the fixed file version as "a.b.c.d".
struct FileProperties {
    std::wstring productName, productVersion, fileVersion, numbers;
};
FileProperties PropertiesOf(const std::wstring& file);

// A value under HKEY_LOCAL_MACHINE, or "<none>".
std::wstring MachineRegistryString(const std::wstring& key, const std::wstring& name);
