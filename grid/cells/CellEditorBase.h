// CCellEditorBase: what the in-place editors (the text box, the combo box of a choice cell,
// the date-time picker of a date cell) share. The editor is a child of the grid over the
// edited cell; it reports the end of editing to its owner (else its parent, the grid) with
// one WM_NOTIFY, code GRID_NOTIFY_ENDEDIT from its control id, carrying a
// GridItemNotification, and closes. The object deletes itself once its window is gone and
// none of its messages is still being dispatched.
//
// One report per editor, whatever happens during it: the receiver may move the focus (which
// asks the editor to finish again), close the editor or destroy the grid. Each editor guards
// its own finishing, so two editors of two grids never block each other.
//
// Classes in this file:
//   GridItemNotification  the record of the end-of-edit message
//   CCellEditorBase       the shared part of the editors
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

class CCellEditorBase : public CWnd, public CGridEditorLink {
    DECLARE_DYNAMIC(CCellEditorBase)

public:
    // Ends editing: reports the text once and closes the window. A call while one is running
    // (the report's receiver moves the focus), after the report, or without a window does
    // nothing.
    void FinishEdit() override;

    int Row() const { return m_row; }
    int Column() const { return m_col; }
    UINT EndKey() const { return m_endKey; }
    // The edited cell's colours when editing began, kept for a host that asks; the editors
    // paint with the system's colours.
    COLORREF TextColour() const { return m_textColour; }
    COLORREF BackColour() const { return m_backColour; }

    // PageUp, PageDown or an arrow: the keys that may end editing and move on.
    static bool IsExitKey(UINT key) { return key == VK_PRIOR || key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN); }
    static bool CtrlHeld() { return ::GetKeyState(VK_CONTROL) < 0; }
    // An exit key with Ctrl held: it ends editing in every editor (plain, it moves inside the
    // choice and date editors).
    static bool IsCtrlExitKey(UINT key) { return IsExitKey(key) && CtrlHeld(); }
    // Tab, Enter or Esc: the keys whose release ends editing.
    static bool IsEndingKey(WPARAM key) { return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE; }

protected:
    CCellEditorBase(int row, int col, COLORREF textColour = CLR_DEFAULT, COLORREF backColour = CLR_DEFAULT);
    ~CCellEditorBase() override;

    // The text the report carries (GBK); asked while the window exists.
    virtual std::string FinalText() const = 0;
    // Work just before the report, while the window exists (the date-time box stores its
    // value into the cell).
    virtual void BeforeReport() {}

    // Stores the ending key and gives the focus back to the grid; finishes at once when that
    // ended nothing (the editor did not have the focus).
    void EndWithKey(UINT key);
    // Whether the focus going to `gaining` leaves the editor: not while it stays in the
    // editor's window or one of its children (the picker's spin buttons, the box's field).
    bool FocusLeaves(HWND gaining) const;

    // Whether Tab, Enter or Esc `key` went down in this editor since it last came up here
    // (and forgets it). A release whose press went to the grid and opened the editor (Enter
    // typed on a cell, Tab from the cell before) must not end the editing at once.
    bool PressedHere(UINT key);

    void PostNcDestroy() override;
    LRESULT OnFinishMessage(WPARAM, LPARAM);
    void OnDestroy();
    UINT OnGetDlgCode();
    // Ctrl with an exit key ends editing; Tab, Enter and Esc are noted for PressedHere.
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

    const int m_row;                // the edited cell
    const int m_col;
    UINT m_endKey = 0;              // the key that ended editing; 0 none yet
    UINT m_pressed = 0;             // Tab, Enter or Esc last gone down in this editor; 0 none
    const COLORREF m_textColour;    // the cell's colours when editing began (not painted)
    const COLORREF m_backColour;
    // Set by the derived constructor once its window exists: only then does the object
    // delete itself when the window goes (a window that failed during its creation is
    // destroyed while the constructor still runs; the caller deletes that object).
    bool m_windowMade = false;

private:
    // The message FinishEdit sends to the window itself, so that the close it causes happens
    // inside one of the editor's own messages and the object outlives the work.
    static UINT FinishMessage();
    // Sends the end-of-edit report, once in the editor's life.
    void Report();

    bool m_finishing = false;  // FinishEdit's work is running (its report may move the focus)
    bool m_reported = false;   // the end-of-edit report has been sent
};
