// CCellEditBox: the single-line text editor a cell opens over itself while the grid edits
// it. A child edit control of the grid placed over the cell, filled with the cell's text; it
// reports the final text to its owner (else its parent, the grid) with one WM_NOTIFY
// (GridItemNotification, code GRID_NOTIFY_ENDEDIT from its control id) and closes. The
// object deletes itself once its window is gone and none of its messages is still being
// dispatched.
//
// Texts cross into and out of the control as UTF-16 converted with code page 936, so
// Chinese shows and comes back right whatever the system's code page; the report carries
// GBK.
//
// Classes in this file:
//   GridItemNotification  the record of the end-of-edit message
//   CCellEditBox          the editor
#pragma once

#include <string>

#include "framework/Wnd.h"
#include "grid/cells/GridCell.h"

// The end-of-edit report: the header, then the edited cell with mask ITEM_TEXT | ITEM_DATA,
// data = the key that ended the editing (9, 13, 27, an arrow or page key; else 0).
struct GridItemNotification {
    NMHDR hdr;
    GridItem item;
};

class CCellEditBox : public CWnd, public CGridEditorLink {
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

    // Ends editing: reports the text once and closes the window. A call while one is still
    // running (the close takes the focus away) does nothing; so does a call without a window.
    void FinishEdit() override;

    int Row() const { return m_row; }
    int Column() const { return m_col; }
    UINT EndKey() const { return m_endKey; }
    // Where the window is, in the parent's client coordinates.
    CRect Rect() const { return m_rect; }

    // Swallows WM_SYSCHAR, and takes Tab, Enter and Esc itself before a dialog or a frame
    // around the grid turns them into buttons or shortcuts.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PostNcDestroy() override;
    LRESULT OnKillFocus(WPARAM, LPARAM);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnImeChar(WPARAM ch, LPARAM);
    UINT OnGetDlgCode();
    LRESULT OnFinishMessage(WPARAM, LPARAM);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // The message FinishEdit sends to the window itself, so that the close it causes happens
    // inside one of the editor's own messages and the object outlives the work.
    static UINT FinishMessage();
    // Stores the ending key and gives the focus back to the grid; ends at once if the focus
    // change did not (the editor did not have the focus).
    void EndWithKey(UINT key);
    // Sends the end-of-edit report, once in the editor's life.
    void Report();
    // Widens the window to the text typed (never past the parent's client edge, never narrower).
    void GrowToText();

    int m_row;                   // the edited cell
    int m_col;
    std::string m_initialText;   // the cell's text when editing began (GBK), for Esc
    UINT m_endKey = 0;           // the key that ended editing; 0 none yet
    BOOL m_exitOnArrows;         // arrows end editing (FALSE after a mouse start: they move the caret)
    CRect m_rect;                // the window's place in the parent; grows with the text
    bool m_finishing = false;    // FinishEdit is running (its close takes the focus away)
    bool m_reported = false;     // the end-of-edit report has been sent
};
