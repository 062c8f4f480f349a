// Process- and thread-wide platform services: window class registration, OLE start-up,
// system colours and the mouse-wheel setting.
#pragma once

#include <windows.h>

#include <string>

// Registers a window class; FALSE when the system refuses.
BOOL AfxRegisterClass(const WNDCLASSW* wndClass);

// Registers `name` for this program's module unless it is known already: the default window
// procedure (the framework subclasses each window), no extra bytes, no icon, the arrow cursor,
// the given class styles and background brush. Raises CResourceException when the system
// refuses.
void AfxRegisterClassOnce(const wchar_t* name, UINT style, HBRUSH background);

// Initialises OLE on the calling thread (once per thread). FALSE when OLE could not be
// initialised; a later call tries again.
BOOL AfxOleInit();
BOOL AfxOleIsInitialized();

COLORREF AfxGetSysColor(int index);

// Rows per wheel notch: the system's setting (SPI_GETWHEELSCROLLLINES), or on systems that
// do not answer it the current user's "Control Panel\Desktop" value "WheelScrollLines";
// 3 when neither is known. WHEEL_PAGESCROLL comes back as -1 (scroll a page per notch).
int ReadWheelScrollLines();

// String resource `id` of the program's module as GBK; empty when there is none.
std::string AfxLoadString(UINT id);

// The local date and time now, formatted as strftime does ("%c": the locale's date and
// time).
std::string FormatLocalTime(const char* format);

// Shows the hourglass for one scope (a long operation on the window's thread) and puts the
// cursor that was there back at its end.
class CWaitCursor {
public:
    CWaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_previous;  // the cursor before the scope
};
