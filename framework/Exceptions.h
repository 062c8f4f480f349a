// The framework's exceptions and its standard reports. No exception crosses a window or
// dialog procedure: the framework catches there (see Wnd.cpp).
#pragma once

#include <string>

class CException {
public:
    virtual ~CException() = default;
    virtual const char* What() const = 0;
};

// A system resource (a window class, a window) could not be obtained.
class CResourceException : public CException {
public:
    const char* What() const override { return "A required resource was unavailable."; }
};

[[noreturn]] void AfxThrowResourceException();

// The standard error box for memory exhaustion ("Out of memory.").
void AfxReportOutOfMemory();

// A message box with a GBK text, owned by the active window. Tests replace the box with a
// recorder (SetMessageBoxHandler) so that nothing waits for a click.
int AfxMessageBox(const std::string& gbkText, unsigned type = 0);
using MessageBoxHandler = int (*)(const std::string& gbkText, unsigned type);
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);  // returns the previous one
