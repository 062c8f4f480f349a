// CGridTitleTip: a small bordered pop-up (window class "ZTitleTip") that shows the whole text
// of a cell whose text does not fit. The grid owns one; its window is made by the first Show.
// While shown the tip holds the mouse capture. Leaving the hover rectangle, a key or a button
// press hides it, and the move, key or press goes on to the window below, so the user's
// action is not lost.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Gdi.h"
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
    // Shows `text` (GBK) with a space on each side over `rect` (the parent's client
    // coordinates), `xOffset` pixels in, when it does not fit there; nothing while the tip
    // is up, for an empty rectangle, or when no window of this program has the focus. The
    // tip stays up while the pointer is over `hover` (none: `rect`). No font: the parent's.
    // CLR_DEFAULT colours: the system's tooltip background and the default text colour.
    void Show(CRect rect, const std::string& text, int xOffset = 0, const RECT* hover = nullptr,
              const LOGFONTW* font = nullptr, COLORREF textColour = CLR_DEFAULT, COLORREF backColour = CLR_DEFAULT);
    void Hide();
    // Before dispatch: a key hides the tip and goes to the parent (the tip stays away until
    // the pointer moves); a button press hides it and goes to the window under the pointer
    // (two left presses within the double-click time as a double click); anything else hides
    // it when the program has no focus.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void OnMouseMove(UINT flags, CPoint point);
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    // The window under a screen point, the parent in place of the tip itself.
    HWND WindowBelow(POINT screen) const;
    // Posts a press on the tip (its client coordinates) to the window below: in that
    // window's client coordinates, or as its non-client twin off the client area. FALSE when
    // there is no window below.
    BOOL ForwardPress(const MSG& msg, bool doubleClick);

    CWnd* m_parent = nullptr;            // the grid
    CRect m_hover;                       // screen area over which the tip stays up
    DWORD m_lastClickTime = 0xFFFFFFFF;  // tick count of the last left press on the tip
    DWORD m_doubleClickTime;             // the system's double-click time at construction
    BOOL m_created = FALSE;              // the window exists
    std::string m_text;                  // the text shown, spaces included
    CFont m_ownFont;                     // made from the LOGFONT Show was given, if any
    HFONT m_font = nullptr;              // what the text is drawn in (m_ownFont or the parent's)
    COLORREF m_textColour = CLR_DEFAULT; // as Show was given them
    COLORREF m_backColour = CLR_DEFAULT;
    // Hidden by a key: no Show while the pointer stays at m_quietAt (the move a window
    // system reports when the tip goes would bring it straight back).
    bool m_quiet = false;
    CPoint m_quietAt;
};
