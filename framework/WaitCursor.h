// Shows the hourglass for the lifetime of the object: an operator must see that the
// program is busy (a driver call, a long sort), not hung. The cursor of before comes back.
#pragma once

#include <windows.h>

class CWaitCursor {
public:
    CWaitCursor() : m_old(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_old ? m_old : ::LoadCursorW(nullptr, IDC_ARROW)); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_old;
};
