// The in-place editor of a choice cell: a platform combo box laid over the cell with its
// list already dropped, and (in the drop-down style) the edit field inside it.
//
// The box is as high as the cell plus room for four lines of the cell's height in the
// dropped list; the list is as wide as its widest option (at most 200 pixels). Editing ends
// with Tab, Enter or Esc (on their key-up, so that the box has finished with the key-down
// first), with Ctrl and an arrow or page key, or when the focus leaves; Esc puts the text
// back as it was. Options and texts cross to the box as UTF-16 converted with code page 936.
//
// Classes in this file:
//   CCellComboEdit  the box's edit field, passing the ending keys on to the box
//   CCellComboList  the combo box
#pragma once

#include <string>
#include <vector>

#include "grid/cells/CellEditorBase.h"

// The edit child of a drop-down combo box (control id 1001), attached when the box opens.
// It deletes itself when its window goes.
class CCellComboEdit : public CWnd {
    DECLARE_DYNAMIC(CCellComboEdit)

public:
    // The platform's id of a combo box's edit child.
    static constexpr UINT EDIT_ID = 1001;

    // Dispatches key presses and releases at once (before a dialog or a frame's shortcuts
    // take them) and swallows WM_SYSCHAR.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PostNcDestroy() override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    LRESULT OnKeyUp(WPARAM key, LPARAM keyData);
    LRESULT OnKillFocus(WPARAM gaining, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // The combo box: the owner if one is set, else the parent.
    HWND Box() const { return GetOwnerOrParent(); }

    // Tab, Enter or Esc last gone down in the field: only its release is sent on (a release
    // whose press opened the editor on the grid is not).
    UINT m_pressed = 0;
};

class CCellComboList : public CCellEditorBase {
    DECLARE_DYNAMIC(CCellComboList)

public:
    // Lines of cell height the dropped list has room for.
    static constexpr int DROP_DOWN_LINES = 4;
    // The dropped list is never wider than this.
    static constexpr int MAX_DROPPED_WIDTH = 200;

    // Creates the box over `cell` of `parent` (style CBS_DROPDOWN or CBS_DROPDOWNLIST, control
    // id `id`), fills it with `options`, shows `initialText` (selected when an option equals
    // it byte for byte; else as the drop-down style's text), drops the list and takes the
    // focus. `firstChar` places the caret as for the text editor: VK_LBUTTON and Enter at the
    // end, Backspace at the end and then deletes, the page and arrow keys select the text,
    // any other character is typed into the box. When the window cannot be made the object
    // has none (IsWindow() FALSE): the caller deletes it.
    CCellComboList(CWnd* parent, const CRect& cell, DWORD style, UINT id, int row, int col, COLORREF textColour,
                   COLORREF backColour, const std::vector<std::string>& options, const std::string& initialText,
                   UINT firstChar);

    // The edit field (drop-down style); none in the choose-only style or once it is gone.
    CWnd* EditField() const;
    // The style the box was made with (CBS_DROPDOWN or CBS_DROPDOWNLIST).
    DWORD ComboStyle() const { return m_style; }
    // The list's dropped width for the box's font and options.
    int DroppedWidth();

    // Sizes the dropped list again each time it drops.
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    // The box's text; in the choose-only style with nothing chosen, the text the cell had
    // (a box that cannot show it must not empty the cell).
    std::string FinalText() const override;

    LRESULT OnKeyUp(WPARAM key, LPARAM keyData);
    LRESULT OnKillFocus(WPARAM gaining, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // Shows the text the cell had: its option selected, or as the edit field's text.
    void ShowInitialText();
    // Attaches the edit field and places its caret by the first character.
    void StartEditField(UINT firstChar);
    bool ChooseOnly() const { return (m_style & 3) == CBS_DROPDOWNLIST; }

    // The edit field's window (its object deletes itself, so it is found by handle while the
    // window lasts); none in the choose-only style.
    HWND m_editWnd = nullptr;
    DWORD m_style;                     // CBS_DROPDOWN or CBS_DROPDOWNLIST
    int m_dropDownLines = DROP_DOWN_LINES;  // room in the dropped list, in cell heights
    std::string m_initialText;         // the cell's text when editing began (GBK), for Esc
    int m_initialIndex = -1;           // the option equal to it; -1 none
    std::vector<std::string> m_options;  // the option texts (GBK), for measuring
};
