// CGridCellBase: the one interface through which the grid stores, draws, measures, edits
// and asks its cells. The cell state bits and the GridItem record live here too.
//
// The virtual operations are listed in their documented slot order (the root object's
// five slots come first: runtime class, destructor, and three the framework has no use for).
// Texts are GBK byte strings; fonts are LOGFONTW, so face names survive any code page.
//
// Classes in this file:
//   GridItem         one cell's attributes in one record
//   GridCellExtras   what a cell seldom has, in a block of its own made on first need
//   CGridCellBase    the cell interface, with the state and the merge data
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <memory>
#include <new>
#include <string>

#include "framework/Gdi.h"
#include "framework/Object.h"
#include "framework/Types.h"
#include "grid/GridCellId.h"
#include "grid/cells/CellSlabs.h"

class CGridCtrl;
class CGridDefaultCell;
class CWnd;

// Cell state bits.
enum : DWORD {
    CELL_FOCUSED = 0x01,      // the grid's focus cell
    CELL_SELECTED = 0x02,     // part of the selection
    CELL_DROPHILITED = 0x04,  // current drop target of a drag
    CELL_READONLY = 0x08,     // may not be edited
    CELL_FIXED = 0x10,        // in a fixed row or fixed column
    CELL_FIXEDROW = 0x20,     // in a fixed row
    CELL_FIXEDCOL = 0x40,     // in a fixed column
    CELL_MODIFIED = 0x80,     // changed since the modified flags were last cleared
};

// GridItem mask bits: which fields of a GridItem are valid.
enum : UINT {
    ITEM_TEXT = 0x01,
    ITEM_IMAGE = 0x02,
    ITEM_DATA = 0x04,
    ITEM_STATE = 0x08,
    ITEM_BKCOLOUR = 0x10,
    ITEM_FGCOLOUR = 0x20,
    ITEM_FORMAT = 0x40,
    ITEM_FONT = 0x80,
    ITEM_MARGIN = 0x100,
    ITEM_ALL = 0xFFFFFFFF,
};

// CLR_DEFAULT (0xFF000000, from commctrl.h): "not set, take the default cell's colour".

// One cell's attributes in one record, for setting or reading several at once.
struct GridItem {
    int32_t row = 0;
    int32_t col = 0;
    UINT mask = 0;
    DWORD state = 0;
    DWORD format = 0;
    int32_t image = -1;
    COLORREF bkColour = CLR_DEFAULT;
    COLORREF fgColour = CLR_DEFAULT;
    LPARAM data = 0;
    LOGFONTW font{};
    UINT margin = 0;
    std::string text;
};

// What a cell seldom has, kept out of the cell in one block that is made when the first of
// it is set and dropped when all of it is unset again: the merge data, and the attributes of
// CGridCell beyond its text, format and owner grid. A table of plain text cells carries none.
struct GridCellExtras {
    CGridCellRange spanRange;          // the block this cell covers as a merge origin
    CGridCellId spanOwner;             // the origin of the block that covers this cell
    bool covered = false;              // inside another cell's merged block
    bool hidden = false;               // not drawn (members and origins of merged blocks)
    BOOL editing = FALSE;              // an in-place editor is open for this cell
    LPARAM data = 0;                   // the owner's value; never interpreted
    int image = -1;                    // index into the grid's image list; -1 none
    COLORREF textColour = CLR_DEFAULT;
    COLORREF backColour = CLR_DEFAULT;
    UINT margin = 0xFFFFFFFF;          // horizontal pixels kept free; 0xFFFFFFFF = unset
    std::unique_ptr<LOGFONTW> font;    // own font description; none = the default cell's
    CWnd* editor = nullptr;            // the open editor (not owned: it deletes itself)

    // Every field as a new block has it: the block may go.
    bool IsUnset() const;
    // The merge data as a new block has it.
    void ResetMerge();
};

class CGridCellBase : public CObject {
    DECLARE_DYNAMIC(CGridCellBase)

public:
    CGridCellBase();
    ~CGridCellBase() override = default;
    CGridCellBase(const CGridCellBase&) = delete;
    CGridCellBase& operator=(const CGridCellBase&) = delete;

    // Cells of every class live in slabs (CCellSlabs): no heap block of their own.
    static void* operator new(size_t size) { return CCellSlabs::Allocate(size); }
    static void* operator new(size_t size, const std::nothrow_t&) noexcept { return CCellSlabs::TryAllocate(size); }
    static void* operator new(size_t, void* place) noexcept { return place; }
    static void operator delete(void* cell) noexcept { CCellSlabs::Free(cell); }
    static void operator delete(void* cell, const std::nothrow_t&) noexcept { CCellSlabs::Free(cell); }
    static void operator delete(void*, void*) noexcept {}
    // A class that asks for more alignment than a slab gives takes the ordinary heap.
    static void* operator new(size_t size, std::align_val_t align) { return ::operator new(size, align); }
    static void operator delete(void* cell, std::align_val_t align) noexcept { ::operator delete(cell, align); }

    // 5-15: setters
    virtual void SetText(const std::string& text) = 0;
    virtual void SetImage(int image) = 0;
    virtual void SetData(LPARAM data) = 0;
    virtual void SetState(DWORD state) { m_state = state; }
    virtual void SetFormat(DWORD format) = 0;
    virtual void SetTextColour(COLORREF colour) = 0;
    virtual void SetBackColour(COLORREF colour) = 0;
    virtual void SetFont(const LOGFONTW* font) = 0;
    virtual void SetMargin(UINT margin) = 0;
    virtual void SetOwnerGrid(CGridCtrl* grid) = 0;
    virtual void SetPosition(int row, int col) = 0;

    // 16-31: getters
    virtual std::string GetText() const = 0;
    virtual std::string GetTipText() const { return GetText(); }
    virtual int GetImage() const = 0;
    virtual LPARAM GetData() const = 0;
    virtual DWORD GetState() const { return m_state; }
    virtual DWORD GetFormat() const = 0;
    virtual COLORREF GetTextColour() const = 0;
    virtual COLORREF GetBackColour() const = 0;
    virtual const LOGFONTW* GetFont() const = 0;
    // A font object to select at once: it stays valid at least until the next call for any cell.
    virtual HFONT GetFontObject() const = 0;
    virtual CGridCtrl* GetOwnerGrid() const = 0;
    virtual CWnd* GetEditor() const = 0;
    virtual UINT GetMargin() const = 0;
    virtual CGridDefaultCell* GetDefaultCell() const;
    virtual BOOL UsesDefaultFont() const = 0;
    virtual BOOL IsEditing() const = 0;

    // 32-39: state tests
    virtual BOOL IsFocused() const { return (GetState() & CELL_FOCUSED) != 0; }
    virtual BOOL IsFixed() const { return (GetState() & CELL_FIXED) != 0; }
    virtual BOOL IsFixedColumn() const { return (GetState() & CELL_FIXEDCOL) != 0; }
    virtual BOOL IsFixedRow() const { return (GetState() & CELL_FIXEDROW) != 0; }
    virtual BOOL IsSelected() const { return (GetState() & CELL_SELECTED) != 0; }
    virtual BOOL IsReadOnly() const { return (GetState() & CELL_READONLY) != 0; }
    virtual BOOL IsModified() const { return (GetState() & CELL_MODIFIED) != 0; }
    virtual BOOL IsDropHighlighted() const { return (GetState() & CELL_DROPHILITED) != 0; }

    // 40-41
    virtual void CopyFrom(const CGridCellBase& other);
    virtual void Reset();

    // 42-46: drawing and measuring. Rectangles: right and bottom lie on the cell's grid lines.
    virtual BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE);
    virtual BOOL GetTextRect(RECT* rect);
    virtual BOOL GetTipRect(RECT* rect) { return GetTextRect(rect); }
    // `text` may be null (no text): the default cell's width and height come back.
    virtual CSize MeasureText(const std::string* text, CDC* dc = nullptr);
    virtual CSize MeasureCell(CDC* dc);

    // 47-49: editing
    virtual BOOL BeginEdit(int row, int col, CRect rect, CPoint point, UINT id, UINT key) { return FALSE; }
    virtual BOOL AcceptEditText(const std::string& text) { return TRUE; }
    virtual void StopEdit() {}

    // 50
    virtual BOOL Print(CDC* dc, int row, int col, CRect rect);
    // The colours Print uses: `back` CLR_DEFAULT means no fill (the paper shows). On a
    // two-colour device text on bare paper is darkened. FALSE without a default cell.
    BOOL GetPrintColours(BOOL twoColourDevice, COLORREF* back, COLORREF* text) const;

    // 51-59: events from the grid; points are relative to the cell's top-left corner
    virtual void OnEditEnded() {}
    virtual void OnPointerEnter() {}
    virtual void OnPointerOver() {}
    virtual void OnPointerLeave() {}
    virtual void OnClick(CPoint point) {}
    virtual void OnPress(CPoint point) {}
    virtual void OnRightClick(CPoint point) {}
    virtual void OnDoubleClick(CPoint point) {}
    virtual BOOL OnSetCursor();

    // 60-64: visibility and merging
    virtual BOOL IsVisible() const { return !Extras().hidden; }
    virtual CGridCellRange GetSpanRange() const { return Extras().spanRange; }
    virtual bool IsCoveredBySpan() const { return Extras().covered; }
    virtual CGridCellId GetSpanOwner() const { return Extras().spanOwner; }
    virtual void SetSpanOwner(int row, int col);

    void SetVisible(bool show) { PutExtra(&GridCellExtras::hidden, !show); }
    void SetSpanRange(const CGridCellRange& range) { PutExtra(&GridCellExtras::spanRange, range); }
    // TRUE when this cell is the top-left cell of a merged block of more than one cell. An
    // inverted or partly unset range is no block at all.
    bool IsSpanned() const {
        const CGridCellRange& range = Extras().spanRange;
        return range.IsSet() && range.CellCount() > 1;
    }
    // Whether the cell carries a side block now (for tests and memory figures).
    bool HasExtras() const { return m_extras != nullptr; }

protected:
    // The side block, or one with everything unset when the cell has none.
    const GridCellExtras& Extras() const { return m_extras ? *m_extras : kUnsetExtras; }
    // Sets one field of the side block. An unset value makes no block; a block whose fields
    // are all unset again goes. Throws std::bad_alloc (nothing changes) when a block is
    // needed and cannot be had; a cell that has one never throws here.
    template <class T>
    void PutExtra(T GridCellExtras::*field, const T& value) {
        if (!m_extras) {
            if (value == kUnsetExtras.*field) return;
            m_extras = std::make_unique<GridCellExtras>();
        }
        m_extras.get()->*field = value;
        TrimExtras();
    }
    // The side block to change more than one field in, made when missing (may throw
    // std::bad_alloc); call TrimExtras after.
    GridCellExtras& WritableExtras();
    // Drops the side block when nothing in it is set.
    void TrimExtras() {
        if (m_extras && m_extras->IsUnset()) m_extras.reset();
    }

    static const GridCellExtras kUnsetExtras;  // what a cell without a side block answers

    DWORD m_state = 0;                         // CELL_ bits
    std::unique_ptr<GridCellExtras> m_extras;  // none while nothing in it is set
};
