// CGridTitleTip: a small bordered pop-up (window class "ZTitleTip") that shows the whole text
// of a cell whose text does not fit. The grid owns one; it is created by the first Show.
#pragma once

#include <string>

#include "framework/Wnd.h"

class CGridTitleTip : public CWnd {
    DECLARE_DYNAMIC(CGridTitleTip)

public:
    CGridTitleTip();  // registers the window class once per process
    ~CGridTitleTip() override;

    // The grid the tip belongs to (its logical parent; the tip window has none).
    void SetParentWnd(CWnd* parent) { m_parent = parent; }
    CWnd* GetParentWnd() const { return m_parent; }

    BOOL Create(CWnd* parent);
    BOOL DestroyWindow() override;
    void Hide();

protected:
    CWnd* m_parent = nullptr;        // the grid
    CRect m_hover;                   // the area over which the tip stays up
    DWORD m_lastClickTime = 0xFFFFFFFF;  // tick count of the last left press on the tip
    DWORD m_doubleClickTime;         // the system's double-click time at construction
    BOOL m_created = FALSE;          // the window exists
};
