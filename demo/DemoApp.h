// CGridDemoApp: reads the command line, opens the demo's frame and runs the framework's
// message loop, refreshing the status bar whenever the loop goes idle. A bad command line
// is reported in a message box and ends the program with exit code 2.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/WinApp.h"

class CDemoFrame;

class CGridDemoApp : public CWinApp {
public:
    static constexpr int kBadCommandLine = 2;  // the exit code of an unknown option or a bad value

    CGridDemoApp();
    ~CGridDemoApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnIdle(LONG count) override;

    // The program's arguments (its name left out), as GBK.
    static std::vector<std::string> CommandLineArguments();

private:
    std::unique_ptr<CDemoFrame> m_frame;  // the main window's object
    int m_exitCode = 0;                   // what ExitInstance returns
};
