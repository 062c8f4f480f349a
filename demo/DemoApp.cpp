#include "demo/DemoApp.h"

#include <shellapi.h>

#include "demo/DemoFrame.h"
#include "demo/DemoOptions.h"
#include "framework/GbkText.h"

CGridDemoApp::CGridDemoApp() = default;
CGridDemoApp::~CGridDemoApp() = default;

std::vector<std::string> CGridDemoApp::CommandLineArguments() {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; argv && i < count; ++i) args.push_back(gbk::FromWide(argv[i]));
    if (argv) ::LocalFree(argv);
    return args;
}

BOOL CGridDemoApp::InitInstance() {
    Enable3dControls();
    DemoOptions options;
    std::string error;
    if (!ParseDemoOptions(CommandLineArguments(), &options, &error)) {
        const std::wstring text = gbk::ToWide(error + "\n\n" + DemoUsage(false));
        ::MessageBoxW(nullptr, text.c_str(), L"GridDemo", MB_OK | MB_ICONERROR);
        m_exitCode = kBadCommandLine;
        return FALSE;
    }
    if (options.help) {
        ::MessageBoxW(nullptr, gbk::ToWide(DemoUsage(true)).c_str(), L"GridDemo", MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    m_frame = std::make_unique<CDemoFrame>(options);
    m_pMainWnd = m_frame.get();
    if (!m_frame->Create()) {
        m_exitCode = 1;
        return FALSE;
    }
    return TRUE;
}

int CGridDemoApp::ExitInstance() {
    m_pMainWnd = nullptr;
    m_frame.reset();
    return m_exitCode;
}

BOOL CGridDemoApp::OnIdle(LONG) {
    if (m_frame) m_frame->RefreshStatusWhenIdle();
    return FALSE;
}

