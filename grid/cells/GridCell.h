// CGridCell: the ordinary cell, holding its text and every per-cell attribute. Attributes
// left unset (format, margin, font) fall back to the grid's default cell for this cell's
// kind (normal, fixed row, fixed column, corner); colours stay CLR_DEFAULT and drawing asks
// the default cell itself.
//
// A table holds a million of these, so the object keeps only what nearly every cell has: its
// text (short ones inside the object), its format and its grid. Data, image, colours, font,
// margin and the editor live in the side block (GridCellExtras), made when one is set.
//
// Classes in this file:
//   CGridEditorLink  what a cell needs of its in-place editor
//   CGridFontCache   font objects made from descriptions, kept as long as the cache
//   CGridCell        the ordinary cell
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "grid/cells/CompactText.h"
#include "grid/cells/GridCellBase.h"

// What a cell needs of its in-place editor beyond the window: "finish now". Each editor
// class implements it; the cell holds the editor as a window and asks through this.
class CGridEditorLink {
public:
    // Ends editing as the user's Enter would: the editor reports its text and closes.
    virtual void FinishEdit() = 0;

protected:
    ~CGridEditorLink() = default;
};

// One font object per distinct font description, all kept until the cache is cleared or
// goes: a handle handed out stays valid for whoever holds it (an editor, a host), and none is
// deleted while it may still be selected somewhere. The grid keeps one for its cells.
class CGridFontCache {
public:
    // The object for `font` (made on first request); none when the system cannot make it.
    HFONT For(const LOGFONTW& font);
    size_t Size() const { return m_fonts.size(); }
    void Clear() { m_fonts.clear(); }

private:
    // The description's bytes, the face name cleared after its end: equal descriptions give
    // equal keys.
    static std::string KeyOf(const LOGFONTW& font);
    std::map<std::string, CFont> m_fonts;  // description -> its object
};

class CGridCell : public CGridCellBase {
    DECLARE_DYNCREATE(CGridCell)

public:
    CGridCell();
    ~CGridCell() override;

    void SetText(const std::string& text) override { m_text.Assign(text); }
    void SetImage(int image) override { PutExtra(&GridCellExtras::image, image); }
    void SetData(LPARAM data) override { PutExtra(&GridCellExtras::data, data); }
    void SetFormat(DWORD format) override { m_format = format; }
    void SetTextColour(COLORREF colour) override { PutExtra(&GridCellExtras::textColour, colour); }
    void SetBackColour(COLORREF colour) override { PutExtra(&GridCellExtras::backColour, colour); }
    // None frees the own record; else the whole record is copied into it.
    void SetFont(const LOGFONTW* font) override;
    void SetMargin(UINT margin) override { PutExtra(&GridCellExtras::margin, margin); }
    void SetOwnerGrid(CGridCtrl* grid) override { m_grid = grid; }
    void SetPosition(int row, int col) override {}

    std::string GetText() const override { return m_text.Str(); }
    // The stored text without a copy, for loops over many cells (copying a million cells to
    // the clipboard); valid until the cell's text changes. Only for cells whose class is
    // CGridCell itself: a derived class may give GetText another answer.
    const CCompactText& StoredText() const { return m_text; }
    int GetImage() const override { return Extras().image; }
    LPARAM GetData() const override { return Extras().data; }
    DWORD GetFormat() const override;
    COLORREF GetTextColour() const override { return Extras().textColour; }
    COLORREF GetBackColour() const override { return Extras().backColour; }
    const LOGFONTW* GetFont() const override;
    // With an own record: the owner grid's object for that description (valid until the
    // grid goes); a cell of no grid takes one of the process's, valid until it ends.
    HFONT GetFontObject() const override;
    CGridCtrl* GetOwnerGrid() const override { return m_grid; }
    CWnd* GetEditor() const override { return Extras().editor; }
    UINT GetMargin() const override;
    BOOL UsesDefaultFont() const override { return Extras().font == nullptr; }
    BOOL IsEditing() const override { return Extras().editing; }

    void Reset() override;
    // Opens the cell's editor over `rect` (OpenEditor), or, when this cell is editing
    // already, types `key` into the open editor. FALSE (and no editing) when the editor's
    // window cannot be made.
    BOOL BeginEdit(int row, int col, CRect rect, CPoint point, UINT id, UINT key) override;
    // Takes over `other`'s stored attributes as they are (unset ones stay unset, so they go on
    // following the default cell), with its state and merge data: the cell that replaces
    // `other` in its grid. Not its editor: `other` must not be editing.
    void TakeOverFrom(const CGridCell& other);
    // Asks an open editor to finish (it reports through the grid, which calls OnEditEnded).
    void StopEdit() override;
    void OnEditEnded() override;

protected:
    // Makes the editor window over `rect`, with control id `id`, placing its caret by `key`
    // (BeginEdit's arguments); none when its window cannot be made. This cell's: a
    // CCellEditBox with the cell's text and EditStyle.
    virtual CWnd* OpenEditor(int row, int col, const CRect& rect, UINT id, UINT key);
    // The text editor's style: its alignment as the cell's format says (ES_RIGHT, ES_CENTER).
    virtual DWORD EditStyle() const;
    // `editor` when its window was made; else none, and the object (which has no window to
    // delete it) is deleted.
    static CWnd* KeepIfMade(CWnd* editor);
    // Records the editing flag and the open editor as BeginEdit does (OnEditEnded clears
    // both), for a cell that opens its editor itself. May throw std::bad_alloc when editing
    // starts.
    void SetEditing(BOOL editing, CWnd* editor);
    // `size` with room beside it for a control's button (a combo box's arrow, a picker's
    // spin buttons): a scroll bar's width more, and at least a scroll arrow's height.
    static CSize WithButtonRoom(CSize size);

    CCompactText m_text;                // GBK
    CGridCtrl* m_grid = nullptr;        // set by the grid when it makes the cell
    DWORD m_format = 0xFFFFFFFF;        // DrawText flags; 0xFFFFFFFF = unset
};
