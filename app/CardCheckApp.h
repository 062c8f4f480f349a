// The application object: runs the main dialog modally; the program ends when it closes.
#pragma once

#include "framework/WinApp.h"

class CCardCheckApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
