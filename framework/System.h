// Process- and thread-wide platform services: window class registration, OLE start-up,
// system colours and the mouse-wheel setting.
#pragma once

#include <windows.h>

// Registers a window class; FALSE when the system refuses.
BOOL AfxRegisterClass(const WNDCLASSW* wndClass);

// Initialises OLE on the calling thread (once per thread). FALSE when OLE could not be
// initialised; a later call tries again.
BOOL AfxOleInit();
BOOL AfxOleIsInitialized();

COLORREF AfxGetSysColor(int index);

// Rows per wheel notch: the system's setting (SPI_GETWHEELSCROLLLINES), or on systems that
// do not answer it the current user's "Control Panel\Desktop" value "WheelScrollLines";
// 3 when neither is known. WHEEL_PAGESCROLL comes back as -1 (scroll a page per notch).
int ReadWheelScrollLines();
