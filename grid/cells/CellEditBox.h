// CCellEditBox: the single-line text editor a cell opens over itself while the grid edits
// it. A child edit control of the grid placed over the cell, filled with the cell's text; it
// reports the final text to its owner (else its parent, the grid) with one WM_NOTIFY
// (GridItemNotification, code GRID_NOTIFY_ENDEDIT from its control id) and closes. The
// object deletes itself once its window is gone and none of its messages is still being
// dispatched.
//
// Texts cross into and out of the control as UTF-16 converted with code page 936, so
// Chinese shows and comes back right whatever the system's code page; the report carries
// GBK. Reporting once and closing are the shared editor's (CellEditorBase.h).
#pragma once

#include <string>

#include "grid/cells/CellEditorBase.h"

class CCellEditBox : public CCellEditorBase {
    DECLARE_DYNAMIC(CCellEditBox)

public:
    // Creates the window over `rect` of `parent` with `style` (ES_ alignment or ES_NUMBER)
    // and control id `id`, gives it the parent's font, the text and the keyboard focus, and
    // places the caret by `firstChar`: VK_LBUTTON (1: a mouse start) and Enter put it at the
    // end; Backspace at the end, then deletes the last character; Tab, space and the page
    // and arrow keys select the whole text; any other character replaces the text. When the
    // window cannot be made the object has none (IsWindow() FALSE): the caller deletes it.
    CCellEditBox(CWnd* parent, const CRect& rect, DWORD style, UINT id, int row, int col,
                 const std::string& initialText, UINT firstChar);
    ~CCellEditBox() override;

    // Where the window is, in the parent's client coordinates.
    CRect Rect() const { return m_rect; }

    // Swallows WM_SYSCHAR, and takes Tab, Enter and Esc itself before a dialog or a frame
    // around the grid turns them into buttons or shortcuts.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // The window's text.
    std::string FinalText() const override { return GetWindowText(); }

    LRESULT OnKillFocus(WPARAM, LPARAM);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnImeChar(WPARAM ch, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // Widens the window to the text typed (never past the parent's client edge, never narrower).
    void GrowToText();

    std::string m_initialText;   // the cell's text when editing began (GBK), for Esc
    BOOL m_exitOnArrows;         // arrows end editing (FALSE after a mouse start: they move the caret)
    CRect m_rect;                // the window's place in the parent; grows with the text
};
