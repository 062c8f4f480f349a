// CGridCtrl: a table window with fixed header rows and columns, scrolling cells, merged
// blocks and selection. The owner configures it through the operations and the public
// settings below; the grid reports to its owner (or parent) with WM_NOTIFY.
//
// The implementation is split by concern:
//   GridWindow.cpp     window class, construction and destruction, attach, notifications,
//                      system colours
//   GridModel.cpp      row, column and cell store; cell access; modified flags; merging
//   GridCellTypes.cpp  replacing a cell by one of another class in place
//   GridGeometry.cpp   pixel positions of rows, columns and cells; points to cells
//   LineSizes.cpp      CGridLineSizes, the row heights and column widths with their totals
//   GridScroll.cpp     scroll bars, scroll messages, the wheel, scrolling into view, resize,
//                      auto-scroll
//   GridPaint.cpp      the paint messages (frame and client), the draw pass, background,
//                      grid lines, single-cell redraw
//   BufferedDC.cpp     CBufferedDC, the off-screen surface of one paint
//   GridSelection.cpp  the selection set and the selection operations
//   GridMouse.cpp      presses, moves, releases, double clicks, the right button, the
//                      cursor and the title tip: MouseState and what it leads to
//   GridResize.cpp     resizing rows and columns with the mouse; fitting one on a double click
//   GridFocus.cpp      the focus cell
//   GridKeyboard.cpp   the keys: moving the focus, Shift selecting, the clipboard shortcuts,
//                      typing and F2 starting an edit
//   KeyMoves.h         where an arrow or Tab takes the focus (no window)
//   GridEdit.cpp       in-place editing: opening a cell's editor, taking its text back
//   GridSort.cpp       sorting the rows by a column, the sort column and its header press
//   RowSort.h          the quicksort that orders a range of rows (no window)
//   GbkOrder.cpp       the order of texts: GBK code units (no window)
//   GridAutoSize.cpp   columns and rows fitted to their cells
//   CharWidths.cpp     CGridCharWidths, a font's character widths measured once (no window)
//   GridFonts.cpp      WM_SETFONT / WM_GETFONT through the default cells; the font objects
//                      the grid hands out and how long they live
//   GridImages.cpp     the image list and the focus cell's drag image
//   GridPrint.cpp      printing: the job's layout, each page's bands, headings and body
//   PrintLayout.cpp    the page cuts of a print job (no window)
//   GridClipboard.cpp  copy, cut, paste, select all, the edit commands, notified text changes
//   GridDragDrop.cpp   the selection dragged out, text dropped in, CGridDropSink
//   GridClipText.h     the text format of copy and paste (no window)
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <objidl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Ole.h"
#include "framework/Print.h"
#include "framework/Wnd.h"
#include "grid/GridCellId.h"
#include "grid/LineSizes.h"
#include "grid/PrintLayout.h"
#include "grid/SelectionSet.h"
#include "grid/cells/GridCell.h"
#include "grid/cells/GridDefaultCell.h"

class CGridTitleTip;
class CGridCtrl;

// The record sent with WM_NOTIFY: the header, then the cell concerned.
struct GridNotification {
    NMHDR hdr;
    int32_t row;
    int32_t col;
};

// Notification codes (NM_CLICK -2, NM_DBLCLK -3 and NM_RCLICK -5 come from the platform).
enum : int {
    GRID_NOTIFY_SELCHANGING = -100,
    GRID_NOTIFY_SELCHANGED = -101,
    GRID_NOTIFY_BEGINEDIT = -105,
    GRID_NOTIFY_ENDEDIT = -106,
    GRID_NOTIFY_BEGINDRAG = -109,
};

// What the mouse is doing (shared with the keyboard and drag-and-drop); the grid's
// MouseState member holds one.
enum GridMouseState : int {
    MS_IDLE = 0,
    MS_SELECTING_ALL = 1,
    MS_SELECTING_COLUMNS = 2,
    MS_SELECTING_ROWS = 3,
    MS_SELECTING_CELLS = 4,
    MS_AT_ROW_EDGE = 6,
    MS_RESIZING_ROW = 7,
    MS_AT_COLUMN_EDGE = 8,
    MS_RESIZING_COLUMN = 9,
    MS_EDIT_PENDING = 10,
    MS_DRAG_PENDING = 11,
    MS_DRAGGING = 12,
};

constexpr UINT_PTR AUTOSCROLL_TIMER_ID = 513;
constexpr UINT INPLACE_EDITOR_ID = 8;

// The window class of every grid; a dialog template names it for a custom control.
constexpr const wchar_t* GRID_WINDOW_CLASS = L"MFCGridCtrl";

// ---- clipboard and drag-and-drop ----
// The edit commands a menu or an accelerator sends to the grid (WM_COMMAND).
constexpr UINT ID_EDIT_COPY = 57634;
constexpr UINT ID_EDIT_CUT = 57635;
constexpr UINT ID_EDIT_PASTE = 57637;
constexpr UINT ID_EDIT_SELECT_ALL = 57642;

// The grid's OLE drop target: forwards the events of its grid's window to the grid's
// GridDragEnter, GridDragOver, GridDragLeave and GridDrop, and refuses any other window.
class CGridDropSink : public COleDropTarget {
public:
    // Accepts only a grid's window; FALSE when it is none or OLE refuses.
    BOOL Register(CWnd* wnd) override;
    void Revoke() override;
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    // A drop cut at the table's edge is a copy: the source keeps what found no cell.
    DROPEFFECT OnDropEffect(CWnd* wnd, DROPEFFECT performed) override;
    // The grid never scrolls during a drag: the effect the keys ask for.
    DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) override;

private:
    // The grid the event is for, or null when it concerns another window.
    CGridCtrl* GridFor(CWnd* wnd) const;

    CGridCtrl* m_grid = nullptr;  // the grid served while registered
};

// Orders two cells for sorting: negative, 0 or positive. Either cell may be missing.
using GridCompareFunc = int (*)(const CGridCellBase* a, const CGridCellBase* b, LPARAM data);

class CGridCtrl : public CWnd {
    DECLARE_DYNCREATE(CGridCtrl)

public:
    // Registers the window class (CResourceException when the system refuses), starts OLE on
    // this thread, reads the system colours and the wheel setting, and sizes the table.
    explicit CGridCtrl(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0);
    // Removes the cells, destroys the title tip and the window, and leaves data this grid
    // put on the clipboard there for other programs.
    ~CGridCtrl() override;

    // Creates the grid window as a child (or any style the caller gives).
    BOOL Create(const RECT& rect, CWnd* parent, UINT id, DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP);

    // ---- settings: plain members the owner may change directly ----
    int GridLineMode = 3;               // 0 none, 1 horizontal, 2 vertical, 3 both
    BOOL Editable = TRUE;               // cells may be edited, pasted into and cleared
    BOOL DragAndDropEnabled = FALSE;    // acts as drag source and drop target
    BOOL WholeRowSelect = FALSE;        // selection works on whole rows
    BOOL SingleRowSelect = FALSE;       // with WholeRowSelect: one row at most
    BOOL SingleColumnSelect = FALSE;    // one column at most
    BOOL RedrawEnabled = TRUE;          // painting, redraw and invalidation happen
    BOOL SelectionEnabled = TRUE;       // cells may be selected
    BOOL RowHeaderSelects = TRUE;       // a press in a fixed column selects rows
    BOOL ColumnHeaderSelects = TRUE;    // a press in a fixed row selects columns
    BOOL SortOnHeaderClick = FALSE;     // a press in a fixed row sorts by its column
    BOOL HandleTabKey = TRUE;           // Tab moves the focus inside the grid
    BOOL DoubleBuffered = TRUE;         // paint a window through an off-screen surface
    BOOL TitleTipsEnabled = TRUE;       // show the whole text of truncated cells
    COLORREF TitleTipTextColour = CLR_DEFAULT;  // for the title tip; CLR_DEFAULT: the tip's own
    COLORREF TitleTipBackColour = CLR_DEFAULT;
    BOOL PrintScreenScale = FALSE;      // printing mode
    BOOL HiddenColumnsResizable = TRUE; // zero-width columns can be grabbed for resizing
    BOOL HiddenRowsResizable = TRUE;    // zero-height rows likewise
    BOOL ColumnsHideable = TRUE;        // a column may be dragged down to width 0
    BOOL RowsHideable = TRUE;           // a row may be dragged down to height 0
    BOOL HighlightFocusHeaders = TRUE;  // header cells of the focus row and column drawn sunken
    BOOL FocusCellFramed = TRUE;        // the focus cell is drawn with a frame
    BOOL PrintInColour = TRUE;          // cells are printed with their colours
    int AutoSizeScope = 3;              // which cells autosizing measures
    BOOL RowResizeEnabled = TRUE;       // rows may be resized with the mouse
    BOOL ColumnResizeEnabled = TRUE;    // columns likewise
    int ResizeCaptureRange = 3;         // pixels from a boundary within which a resize starts
    UINT AutoScrollInterval = 25;       // ms between auto-scroll steps
    int WheelScrollLines = 3;           // rows per wheel notch; -1 = a page per notch
    BOOL SortAscending = TRUE;          // direction of the last sort
    int SortColumn = -1;                // column of the last sort; -1 none
    GridCompareFunc SortCompare = nullptr;  // none = compare the texts
    const CRuntimeClass* CellClass = nullptr;  // class of the cells MakeCell makes
    COLORREF OuterBackColour = 0;       // the client area outside the cells
    COLORREF GridLineColour = RGB(0xC0, 0xC0, 0xC0);  // colour of the grid lines
    HIMAGELIST ImageList = nullptr;     // images of cells; none by default
    // Printing layout: header and footer lines, left and right margins, top and bottom
    // margins, lines between the header and the cells.
    int PrintHeaderLines = 2, PrintFooterLines = 2, PrintLeftMargin = 4, PrintRightMargin = 4;
    int PrintTopMargin = 1, PrintBottomMargin = 1, PrintGapLines = 1;
    // Each argument below 0 leaves its value unchanged.
    void SetPrintMargins(int header, int footer, int left, int right, int top, int bottom, int gap);
    // The data object the copy code last put on the clipboard (not owned: the clipboard
    // holds the reference); flushed at destruction while it still owns the clipboard.
    IDataObject* ClipboardSource = nullptr;

    // ---- mouse state (set by the keyboard, mouse and drag-and-drop handlers) ----
    GridMouseState MouseState = MS_IDLE;  // what the mouse is doing
    UINT_PTR AutoScrollTimer = 0;       // id of the running auto-scroll timer; 0 none
    BOOL LeftButtonDown = FALSE;        // from a left press to its release
    CPoint ButtonDownPoint;             // where the last left press was
    CGridCellId ButtonDownCell;         // the cell under the last left press, fixed ones too
    CGridCellId SelectionAnchor;        // where the current selection started
    CPoint LastMousePoint;              // the last point the mouse handlers took
    CGridCellId DropTargetCell;         // the cell drawn drop-highlighted

    // ---- table (GridModel.cpp) ----
    // Growing that fails, whatever the reason (memory exhausted, a count beyond what an
    // array can hold, a cell that cannot be made), reports it as out of memory
    // (AfxReportOutOfMemory), gives back the room it reserved and returns FALSE: rows keep
    // those built so far, columns stay as they were. Shrinking cuts every merged block back
    // to what is left of it (a block left with its origin alone is dissolved).
    BOOL SetRowCount(int rows);
    BOOL SetColumnCount(int cols);
    BOOL SetFixedRowCount(int fixedRows);
    BOOL SetFixedColumnCount(int fixedCols);
    int GetRowCount() const { return m_rows; }
    int GetColumnCount() const { return m_cols; }
    int GetFixedRowCount() const { return m_fixedRows; }
    int GetFixedColumnCount() const { return m_fixedCols; }
    int GetRowHeight(int row) const { return m_rowSizes.Size(row); }
    int GetColumnWidth(int col) const { return m_colSizes.Size(col); }
    // FALSE (and nothing changes) outside the counts or for a size outside
    // [0, CGridLineSizes::MAX_SIZE].
    BOOL SetRowHeight(int row, int height);
    BOOL SetColumnWidth(int col, int width);
    BOOL RemoveAllCells();

    CGridCellBase* GetCell(int row, int col) const;
    BOOL SetCellText(int row, int col, const std::string& text);
    std::string GetCellText(int row, int col) const;
    BOOL SetCellState(int row, int col, DWORD state);
    DWORD GetCellState(int row, int col) const;
    BOOL SetCellBackColour(int row, int col, COLORREF colour);
    BOOL SetCellTextColour(int row, int col, COLORREF colour);
    BOOL IsCellEditing(int row, int col) const;
    BOOL SetCellFromItem(const GridItem* item);
    // Makes the block one merged cell drawn from its top-left cell; the blocks it overlaps are
    // dissolved first. A block outside the table, or of one cell, merges nothing.
    void MergeCells(int minRow, int minCol, int maxRow, int maxCol);
    BOOL SetModified(BOOL modified = TRUE, int row = -1, int col = -1);
    BOOL GetModified() const { return m_modified; }

    BOOL IsValidCell(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
    BOOL IsValidCell(const CGridCellId& id) const { return IsValidCell(id.row, id.col); }
    BOOL IsValidRange(const CGridCellRange& r) const {
        return r.IsSet() && r.maxRow < m_rows && r.maxCol < m_cols;
    }
    // (FALSE,FALSE) normal, (FALSE,TRUE) fixed column, (TRUE,FALSE) fixed row, (TRUE,TRUE) corner.
    CGridDefaultCell* DefaultCellFor(BOOL fixedRow, BOOL fixedCol) const;

    // A new cell of CellClass for (row, col), or none when CellClass is no cell class.
    // Throws std::bad_alloc when the class cannot make an object (memory exhausted).
    virtual CGridCellBase* MakeCell(int row, int col);
    // Ends the cell's open editor (which reports its text), deselects the cell at (row, col),
    // empties its place, then deletes it: while it is being deleted the table no longer
    // reaches it, and the counts still match the arrays.
    //
    // A derived grid that overrides FreeCell must call RemoveAllCells() in its own
    // destructor: the base destructor runs after the derived part is gone and can only call
    // this version. Every path that frees cells (shrinking, RemoveAllCells, destruction)
    // frees each cell exactly once, and only through FreeCell.
    virtual void FreeCell(int row, int col);

    // ---- cell classes (GridCellTypes.cpp) ----
    // Replaces the cell at (row, col) by a new one of class `cls` (a creatable class derived
    // from CGridCellBase) that keeps its text, data, image, state, format, colours, font,
    // margin and merge data (as stored: unset ones stay unset); repaints it. An open editor of
    // the old cell finishes first. FALSE (and nothing changes) outside the table, for another
    // kind of class, when the object cannot be made, or when the old cell is still editing.
    // The same class as now: TRUE, the cell stays.
    BOOL SetCellType(int row, int col, const CRuntimeClass* cls);

    // ---- window and notifications (GridWindow.cpp) ----
    // Sends WM_NOTIFY with a GridNotification to the owner (else the parent); its reply, or
    // 0 when there is no window to send from or to. The receiver may destroy the grid.
    LRESULT NotifyParent(int row, int col, int code);
    void RefreshAll();
    CGridTitleTip* GetTitleTip() const { return m_titleTip.get(); }

    // ---- geometry (GridGeometry.cpp) ----
    // Every question below costs O(log n) on n rows or columns. Sums are 64-bit inside;
    // pixel results saturate at what an int holds (positions at about +-2^30).
    int VirtualWidth() const;
    int VirtualHeight() const;
    int FixedColumnsWidth() const;
    int FixedRowsHeight() const;
    // The sum of the heights of rows [first, last] (widths of columns), 0 when last < first;
    // both are clamped to the table.
    long long RowRangeHeight(int first, int last) const;
    long long ColumnRangeWidth(int first, int last) const;
    // The row under client y (column under client x), merged blocks not considered; -1 when
    // none, or when it is a fixed one and fixed ones are not allowed.
    int RowAt(int y, BOOL allowFixed = TRUE);
    int ColumnAt(int x, BOOL allowFixed = TRUE);
    // The client y of a row's top edge (x of a column's left edge) at the current scroll
    // position, negative when scrolled off; FALSE for an index outside the table.
    BOOL RowTop(int row, int* y);
    BOOL ColumnLeft(int col, int* x);
    CGridCellId TopLeftScrollCell(BOOL forceRecompute = FALSE);
    CGridCellRange VisibleScrollRange(RECT* covered = nullptr, BOOL forceRecompute = FALSE);
    BOOL CellOrigin(int row, int col, POINT* origin);
    BOOL CellRect(int row, int col, RECT* rect);
    BOOL CellRect(const CGridCellId& cell, RECT* rect) { return CellRect(cell.row, cell.col, rect); }
    BOOL RangeRect(const CGridCellRange& range, RECT* rect);
    CGridCellId CellFromPoint(POINT point, BOOL allowFixed = TRUE);
    CGridCellId MergeOrigin(int row, int col) const;
    // The merged block that (row, col) belongs to, as its origin records it; unset when the
    // cell is in no block (or the block no longer fits the table).
    CGridCellRange MergedBlock(int row, int col) const;
    int MergedWidth(int row, int col) const;
    int MergedHeight(int row, int col) const;
    BOOL IsCellOnScreen(int row, int col);

    // ---- scrolling (GridScroll.cpp) ----
    // Moves the view in one step so that the cell is whole in view (as far as it fits):
    // whole lines, never further than needed.
    void ScrollCellIntoView(int row, int col);
    // The bars' ranges and pages; a bar is redrawn with the next paint, and only when what
    // it shows changed.
    void UpdateScrollBars();
    void SetScrollBarShown(int bar, BOOL show);
    int ScrollPos(int bar, BOOL trackPosition = FALSE) const;
    // `redraw`: the bar is redrawn at once when the new position changes its look (the frame
    // with the next paint when the bar cannot tell).
    BOOL SetScrollPosition(int bar, int pos, BOOL redraw = TRUE);
    int HScrollMax = 0;  // largest horizontal scroll position; 0 while the bar is hidden
    int VScrollMax = 0;  // likewise vertical

    // ---- painting (GridPaint.cpp) ----
    // The whole draw pass on `dc`, limited to its clip box: background, grid lines, then
    // the scrolling cells, the fixed columns, the fixed rows and the corner, in that order.
    virtual void DrawGrid(CDC* dc);
    void PaintBackground(CDC* dc);
    BOOL RedrawCell(int row, int col, CDC* dc = nullptr);
    BOOL RedrawCell(const CGridCellId& cell, CDC* dc = nullptr) { return RedrawCell(cell.row, cell.col, dc); }
    BOOL InvalidateCell(int row, int col);
    BOOL InvalidateCell(const CGridCellId& cell) { return InvalidateCell(cell.row, cell.col); }
    // The client rectangle InvalidateCell would invalidate (the whole block for a cell of a
    // merged block); false when it would invalidate nothing.
    bool CellInvalidRect(int row, int col, RECT* rect);
    // Invalidates the union of `rects` (reordered) as one region: many cells cost the system
    // one invalidation.
    void InvalidateRects(std::vector<RECT>& rects);

    // ---- focus (GridFocus.cpp) ----
    CGridCellId GetFocusCell() const { return m_focusCell; }
    // Returns the previous focus. Rows and columns in the fixed area move to the first
    // scrolling one; a target outside the table means no focus cell.
    CGridCellId MoveFocusTo(int row, int col);
    CGridCellId MoveFocusTo(const CGridCellId& cell) { return MoveFocusTo(cell.row, cell.col); }

    // ---- in-place editing (GridEdit.cpp) ----
    // Editable is set and the cell is not CELL_READONLY.
    BOOL IsCellEditable(int row, int col) const;
    BOOL IsCellEditable(const CGridCellId& cell) const { return IsCellEditable(cell.row, cell.col); }
    // Opens the cell's editor: scrolls it into view, asks the parent (GRID_NOTIFY_BEGINEDIT;
    // a negative reply vetoes) and lets the cell open its editor (control id
    // INPLACE_EDITOR_ID). `point` is where a mouse start hit, relative to the cell; (-1, -1)
    // from the keyboard. `key` is the first character typed, VK_LBUTTON for a start without
    // one (F2, the mouse), or the key (Tab, arrow, page) that ended editing the cell before.
    virtual void StartCellEdit(int row, int col, CPoint point, UINT key);
    // Closes the open editor, the focus cell's or one on another cell (it reports its text
    // first).
    virtual void EndEditing();
    // Takes an editor's final text into the cell: kept when it differs, ValidateCellEdit
    // accepts it and the parent's reply to GRID_NOTIFY_ENDEDIT is not negative; otherwise the
    // old text stays and the modified flags are untouched. The cell stops editing.
    virtual void FinishCellEdit(int row, int col, const std::string& text);

    // ---- selection (GridSelection.cpp) ----
    void SelectRange(int minRow, int minCol, int maxRow, int maxCol, BOOL paintNow = FALSE, BOOL select = TRUE);
    void SelectWholeGrid();
    void SelectColumnSpan(const CGridCellId& cell, BOOL paintNow = FALSE, BOOL select = TRUE);
    void SelectRowSpan(const CGridCellId& cell, BOOL paintNow = FALSE, BOOL select = TRUE);
    void SelectCellBlock(const CGridCellId& cell, BOOL paintNow = FALSE, BOOL select = TRUE);
    void ExtendSelectionTo(const CGridCellId& cell);
    void ClearSelection();
    CGridCellRange SelectionBounds() const;
    BOOL CellIsSelected(int row, int col) const;
    BOOL CellIsSelected(const CGridCellId& cell) const { return CellIsSelected(cell.row, cell.col); }
    const CGridSelectionSet& Selection() const { return m_selection; }
    const CGridSelectionSet& PreviousSelection() const { return m_previousSelection; }

    // ---- mouse (GridMouse.cpp) ----
    // A press in a fixed column (not in a fixed row): selects rows from the anchor with
    // RowHeaderSelects (everything from the corner).
    virtual void OnHeaderColumnClick(const CGridCellId& cell);
    // A press in a fixed row: sorts by its column with SortOnHeaderClick, then selects
    // columns from the anchor with ColumnHeaderSelects (everything from the corner).
    virtual void OnHeaderRowClick(const CGridCellId& cell);
    // `point` relative to the cell's top-left corner; (0, 0) for no cell.
    CPoint PointInCell(int row, int col, CPoint point);
    // While the title tip shows, a key for the grid goes through the tip's filter, which
    // hides the tip and passes the key on: the grid gets it once.
    BOOL PreTranslateMessage(MSG* msg) override;

    // ---- resizing (GridResize.cpp) ----
    // Whether a press at `point` grabs a column boundary (inside the fixed rows) or a row
    // boundary (inside the fixed columns): within ResizeCaptureRange of it, never the left
    // edge of column 0 (top edge of row 0).
    BOOL IsOverColumnEdge(CPoint point);
    BOOL IsOverRowEdge(CPoint point);

    // ---- sorting (GridSort.cpp) ----
    // Moves the sort mark: the header cells (row 0) of the old and the new sort column are
    // redrawn. -1 means none.
    void SetSortColumn(int col);
    // Sorts the non-fixed rows by column `col` with SortCompare, or by the cells' texts when
    // there is none; see SortRowsWith.
    void SortByColumn(int col, BOOL ascending, LPARAM data = 0);
    // Records `col` and the direction as the sort (its mark), empties the selection and the
    // focus, then sorts the non-fixed rows (SortRowRange). FALSE when nothing was sorted: a
    // column outside the table, fewer than two non-fixed rows, no compare function.
    BOOL SortRowsWith(GridCompareFunc compare, int col, BOOL ascending, LPARAM data = 0);
    // Puts rows [lo, hi] (hi -1: the last row) in the order `compare` gives their cells in
    // column `col`, passing `data` through. The range is cut to the non-fixed rows: fixed
    // rows never move. Each row travels whole, its height with it, and its cells are told
    // their new row (SetPosition). Rows that compare equal may change places (the sort is
    // not stable). Nothing is repainted: the caller repaints.
    //
    // Before anything moves: an open editor ends (FALSE when the owner destroys the grid's
    // window meanwhile); the selection and the focus, which name cells by position, are
    // emptied; a merged block spanning more than one row that reaches into the range is
    // dissolved (its cells become ordinary cells again), while a block inside one row moves
    // with its row. FALSE, and nothing changes, when there is nothing to sort or memory for
    // the sort's order runs out.
    BOOL SortRowRange(GridCompareFunc compare, int col, BOOL ascending, LPARAM data, int lo, int hi = -1);
    // The default compare: the cells' texts in GBK code-unit order (CompareGbkText), the
    // same on every machine; a missing cell equals anything. `data` is not used.
    static int CompareCellText(const CGridCellBase* a, const CGridCellBase* b, LPARAM data);
    // What a press on the header of column `col` does when SortOnHeaderClick is set (the
    // caller checks the setting): with the wait cursor shown, sorts by `col`, ascending
    // unless `col` is already sorted ascending, then invalidates the whole client area.
    void SortByHeader(int col);

    // ---- autosizing (GridAutoSize.cpp) ----
    // Sets column `col`'s width to the widest of its cells (MeasureCell) in the rows `scope`
    // names: bit 0 the fixed rows, bit 1 the others; 0 means AutoSizeScope. The width is
    // stored as it is (no modified flag); the scroll bars are updated when asked; the caller
    // repaints. FALSE, and nothing changes, for a column outside the table or hidden (width
    // 0), or when the scope holds no cell.
    BOOL AutoSizeColumn(int col, int scope = 0, BOOL updateBars = TRUE);
    // Sets row `row`'s height to the tallest of its cells, fixed columns included; FALSE as
    // AutoSizeColumn.
    BOOL AutoSizeRow(int row, BOOL updateBars = TRUE);
    // Every column fitted as AutoSizeColumn fits it, the scroll bars updated once at the
    // end; the caller repaints.
    void AutoSizeColumns(int scope = 0);
    // For the cells' measuring while an autosize measures on `dc`: the single-line extent of
    // `text` in `font` (none: the font selected in `dc`) and the font's overhang, from the
    // character widths met so far, the same as the system gives for the whole text. FALSE
    // when no autosize measures on `dc`: the cell asks the system itself.
    BOOL MeasuredTextExtent(HDC dc, HFONT font, const std::string& text, CSize* extent, int* overhang);

    // ---- fonts (GridFonts.cpp) ----
    // The font object of a cell with a font of its own: one per distinct description, valid
    // until the grid is destroyed (an editor may hold it as long as it likes). None when the
    // system cannot make the font.
    HFONT FontObjectFor(const LOGFONTW& font);
    // A default cell's font object that its new font replaces: kept valid until the next
    // WM_SETFONT or the grid's end, since WM_GETFONT may have handed it out.
    void RetireFontObject(CFont&& font);

    // ---- image list and drag image (GridImages.cpp) ----
    // The list cells draw their images from (not owned; none by default). Repaints; the
    // previous list comes back.
    HIMAGELIST SetImageList(HIMAGELIST list);
    HIMAGELIST GetImageList() const { return ImageList; }
    // The focus cell drawn into a new masked image list, one pixel narrower and shorter than
    // its inclusive rectangle, for dragging; the caller destroys it. `size` receives the
    // image's size. None (and `size` untouched) without a focus cell.
    virtual HIMAGELIST MakeDragImage(CSize* size);

    // ---- printing (GridPrint.cpp) ----
    // A host's loop calls BeginPrinting once (it sets the job's maximum page), PrintPage for
    // pages 1 to that maximum in any order, and EndPrinting once.
    virtual void BeginPrinting(CDC* dc, CPrintInfo* info);
    virtual void PrintPage(CDC* dc, CPrintInfo* info);
    virtual void EndPrinting(CDC* dc, CPrintInfo* info);
    // Prints the cells of `row` from `firstCol` to `endCol` (exclusive), continuing the
    // horizontal run of `rect`; stops at the first column that passes PrintColumnSpace.
    virtual void PrintRowCells(int firstCol, int endCol, int row, CRect& rect, CDC* dc);
    virtual void PrintHeadingRows(CDC* dc, CPrintInfo* info);
    virtual void PrintPageHeader(CDC* dc, CPrintInfo* info);
    virtual void PrintPageFooter(CDC* dc, CPrintInfo* info);
    virtual void PrintRowHeaders(CDC* dc, CPrintInfo* info);
    // Print state: set by BeginPrinting, valid until EndPrinting. Positions on a page are
    // logical units: the grid's own pixels, stretched over the printer's page.
    CFont PrinterFont;                  // the bands' font: Arial, 10 logical units high
    int PrintCharWidth = 0;             // its average letter width
    int PrintCharHeight = 0;            // its line height
    int PrintDeviceWidth = 0;           // the printable page in printer pixels (HORZRES)
    int PrintDeviceHeight = 0;          // (VERTRES)
    int PrintPaperWidth = 0;            // the page in logical units
    int PrintPaperHeight = 0;
    int PrintRowSpace = 0;              // room for body rows on a page
    int PrintColumnSpace = 0;           // room for body columns on a page
    int PrintPageCount = 0;             // pages of the job
    int PrintPagesWide = 0;             // column pages per block of rows
    int PrintStartRow = 0;              // first body row of the page being printed
    int PrintStartColumn = 0;           // first body column of the page being printed

    // ---- clipboard and drag-and-drop (GridClipboard.cpp, GridDragDrop.cpp) ----
    // Changes an editable cell's text as an edit does: the parent may veto with a negative
    // reply to GRID_NOTIFY_BEGINEDIT; the new text is kept when ValidateCellEdit accepts it
    // and the reply to GRID_NOTIFY_ENDEDIT is not negative, else the old text (and the
    // modified flags) stay as they were.
    void SetCellTextNotified(int row, int col, const std::string& text);
    // Whether `text` may become the text of (row, col): TRUE for no cell, else the cell's say.
    virtual BOOL ValidateCellEdit(int row, int col, const std::string& text);
    // Empties every selected cell through SetCellTextNotified (nothing unless Editable).
    virtual void ClearSelectedText();
    // The selection as a new data source (the caller holds it): the copy text as CF_TEXT,
    // the same decoded from GBK as CF_UNICODETEXT, and CF_LOCALE Chinese (PRC). None when no
    // cell is selected or memory ran out.
    virtual CRefPtr<COleDataSource> CopySelectionToSource();
    // Pastes the text `data` offers with its top-left field at `cell`; FALSE when the cell
    // is not editable or there is no text. With selectPasted the pasted block is selected,
    // else the selection is cleared.
    virtual BOOL PasteTextAt(const CGridCellId& cell, COleDataObject* data, BOOL selectPasted);
    // Drags the selection out of the grid (with DragAndDropEnabled); a move clears the
    // dragged cells afterwards. The mouse starts it from MS_DRAG_PENDING.
    virtual void BeginSelectionDrag();
    virtual DROPEFFECT GridDragEnter(COleDataObject* data, DWORD keys, CPoint point);
    virtual DROPEFFECT GridDragOver(COleDataObject* data, DWORD keys, CPoint point);
    virtual void GridDragLeave();
    virtual BOOL GridDrop(COleDataObject* data, DROPEFFECT effect, CPoint point);
    // What the source is told after GridDrop: a move whose text ran past the table's edge
    // is a copy, so nothing that found no cell is lost.
    virtual DROPEFFECT GridDropEffect(DROPEFFECT performed);
    virtual void CutToClipboard();
    virtual void CopyToClipboard();
    // Pastes at the selection's top-left cell, else the focus cell, else the top-left
    // scrolling cell; into the cell's open edit control when it is being edited.
    virtual void PasteFromClipboard();
    virtual void SelectAllCells();
    // The copy text of the selection, ending in its zero byte; empty when nothing is selected.
    std::string SelectionText() const;
    // Whether ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE or ID_EDIT_SELECT_ALL can run now
    // (a host asks this to enable its menu items); FALSE for any other id.
    BOOL IsEditCommandEnabled(UINT id);
    // The grid's drop target; none until the first WM_SIZE registers it.
    CGridDropSink* GetDropSink() const { return m_dropSink.get(); }

protected:
    // ---- messages ----
    // Adds WS_EX_CLIENTEDGE and WS_CLIPCHILDREN, and moves the window so the new frame shows.
    void OnSubclassed() override;
    void OnSysColorChange();
    LRESULT OnNcPaint(WPARAM region, LPARAM);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnPrintClient(WPARAM dc, LPARAM flags);
    void OnSize(UINT type, int cx, int cy);
    void OnHScroll(UINT code, UINT pos, HWND scrollBar);
    void OnVScroll(UINT code, UINT pos, HWND scrollBar);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnTimer(UINT_PTR id);
    LRESULT OnSetFont(WPARAM font, LPARAM redraw);
    LRESULT OnGetFont(WPARAM, LPARAM);
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditSelectAll();
    void OnDestroy();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    void OnCaptureChanged(HWND gaining);
    UINT OnGetDlgCode();
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnImeChar(WPARAM ch, LPARAM);
    void OnEditorEnded(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

    // The one paint routine of WM_PAINT and WM_PRINTCLIENT: DrawGrid through an off-screen
    // buffer of the clip box when DoubleBuffered, else straight on `dc`; a memory context
    // (a bitmap) is always drawn on straight.
    void PaintOn(CDC* dc);

private:
    static void RegisterWindowClass();
    // A new cell of `cls` for (row, col), told its grid, place, fixed state and its default
    // cell's format; none when `cls` is no creatable cell class or the object cannot be made.
    CGridCellBase* NewCellOf(const CRuntimeClass* cls, int row, int col);
    // `cell` (in column `col`) and the grid are modified; an edit in the sorted column
    // voids the sort mark.
    void MarkModified(CGridCellBase& cell, int col);
    // Frees the rows (columns) from the last one down to `count`, one at a time, each cell
    // through FreeCell; the counts follow the arrays at every step. Merged blocks reaching
    // into them are cut back (CutBlocks) afterwards.
    void DropRows(int count);
    void DropColumns(int count);
    // Builds rows (columns) up to `count`; FALSE after a failure (reported).
    BOOL AddRows(int count);
    BOOL AddColumns(int count);
    // The origins of the merged blocks that reach from before row (`isRow`) or column
    // `line` into it.
    std::vector<CGridCellId> BlocksReaching(int line, bool isRow) const;
    // Cuts the blocks of these origins back to the table; a block of one cell is dissolved.
    void CutBlocks(const std::vector<CGridCellId>& origins);
    // The pane that (row, col) is drawn in (scrolling cells, fixed columns, fixed rows),
    // cut to `bounds`; `bounds` itself for the corner, which is drawn unclipped.
    CRect PaneOf(int row, int col, const RECT& bounds) const;
    // The bars' non-client area is repainted with the next paint.
    void RepaintBars();
    // Rows shown whole below the fixed rows (at least 1): a page for the wheel.
    int RowsPerPage();
    // The repaint of one selection change: the cells whose state changed, drawn at once when
    // the change paints now, else invalidated together when it ends. Only the scrolling
    // cells on screen are touched.
    class CSelectionRepaint;
    // Gives `cell`, at (row, col), the selected bit `select` when it has the other one and has
    // it repainted; true when the bit changed (never for no cell). The selection set is the
    // caller's to keep.
    bool SetSelectedBit(CGridCellBase* cell, int row, int col, bool select, CSelectionRepaint& repaint);
    // Calls f(row, col, cell) for every place of `range` (inside the table) outside `skip`
    // (unset: none), a row at a time in the order the rows lie in memory: after a sort the
    // rows of a large range lie anywhere, and a walk in table order would wait on memory at
    // every row.
    template <class F>
    void ForEachCellByMemory(const CGridCellRange& range, const CGridCellRange& skip, F f);
    // One scroll bar request (SB_ codes) for SB_HORZ or SB_VERT.
    void Scroll(int bar, UINT code);
    // The client area that a scroll of `bar` moves: all but the fixed rows (SB_VERT) or the
    // fixed columns (SB_HORZ).
    CRect ScrollingArea(int bar);
    // After `bar`'s position changed from showing `before` (the top-left scrolling cell then):
    // the pixels already drawn move with the lines (ScrollWindowEx) and only what they cannot
    // show is invalidated: the uncovered strip, and RepaintUnmovable's cells. A move of a
    // whole view or more invalidates the whole area.
    void ShowScrolled(int bar, const CGridCellId& before);
    // After the pixels moved for `bar`: invalidates the cells on screen whose moved pixels may
    // be wrong: cells of classes that may draw by where they are (any but the plain, number,
    // date and choice cells), and merged blocks that reach from the fixed lines into the
    // moving ones.
    void RepaintUnmovable(int bar);
    // Draws the cells of rows [row0, row1] x columns [col0, col1] whose top-left cell sits at
    // `origin`; with `clip` given, only those meeting it.
    void DrawCells(CDC* dc, int row0, int row1, int col0, int col1, CPoint origin, const RECT* clip);
    // Clears the cached top-left scroll cell's row (a scroll position changed) or column
    // (a count changed).
    void ForgetTopLeftRow() { m_topLeftCache.row = -1; }
    void ForgetTopLeftColumn() { m_topLeftCache.col = -1; }

    // ---- table ----
    // The counts; the fixed counts never exceed them, m_rows always equals the rows built.
    int m_rows = 0, m_fixedRows = 0, m_cols = 0, m_fixedCols = 0;
    CGridLineSizes m_rowSizes;        // one height per row, pixels, with their totals
    CGridLineSizes m_colSizes;        // one width per column, likewise
    // One array of m_cols cell pointers per row; the grid owns every cell (none where
    // MakeCell made none).
    std::vector<std::vector<CGridCellBase*>> m_cells;
    // Default cells: normal, fixed column, fixed row, corner.
    CGridDefaultCell m_defaultNormal, m_defaultFixedCol, m_defaultFixedRow, m_defaultCorner;
    BOOL m_modified = FALSE;          // grid-wide modified flag

    // ---- focus and selection ----
    CGridCellId m_focusCell;                // (-1, -1) or a cell inside the counts
    CGridSelectionSet m_selection;          // exactly the cells whose state has CELL_SELECTED
    CGridSelectionSet m_previousSelection;  // kept by a Ctrl-press, re-applied by SelectRange

    // ---- geometry ----
    CGridCellId m_topLeftCache;       // first non-fixed row and column shown; -1 = recompute
    int m_barsShown = 0;              // the bars shown: BAR_HORZ_SHOWN, BAR_VERT_SHOWN bits
    bool m_updatingBars = false;      // UpdateScrollBars is running (its bars resize us)
    bool m_sizing = false;            // WM_SIZE is being handled (its work may resize us)
    bool m_attaching = false;         // OnSubclassed is moving the window
    bool m_barsInvalid = false;       // the frame (the bars) waits for its next paint

    // ---- system colours as last read (a colour change replaces the defaults still equal
    // to them) ----
    COLORREF m_windowText = 0, m_window = 0, m_buttonFace = 0, m_buttonShadow = 0;

    // ---- fonts handed out ----
    CGridFontCache m_cellFonts;          // objects of the cells' own fonts, until the grid goes
    std::vector<CFont> m_retiredFonts;   // default cells' replaced objects, until WM_SETFONT

    // ---- printing ----
    // Prints one cell into `rect`: a merged block's origin into the whole block's size, a
    // covered member not at all.
    void PrintCell(CDC* dc, int row, int col, CRect rect);
    // Prints the page's body rows; the top of the first row left for later pages, or the
    // bottom of the last row when none is left.
    int PrintBodyRows(CDC* dc);
    // A row taller than the page's room, alone on its page, cut to the page's body.
    CRect CutToBody(CRect rect) const;
    GridPrintLayout m_printLayout;    // the job's page cuts; empty outside a job
    PrintLineRange m_printRows;       // body rows of the page being printed
    PrintLineRange m_printColumns;    // body columns of the page being printed

    // ---- sorting ----
    // An open editor writes into the cell it was opened on, wherever that row goes: it ends
    // (reporting its text) before rows move. False when the owner destroyed the grid's
    // window while it heard of the end.
    bool EndEditingBeforeRowsMove();
    // The rows [lo, hi] in the order their cells lie in memory.
    std::vector<int> RowsInMemoryOrder(int lo, int hi) const;
    // Before row `row` moves to `newRow`: its cells learn their new row (SetPosition), a
    // one-row block in it follows it, a block of more than one row reaching into it is
    // dissolved.
    void TellRowItsPlace(int row, int newRow);
    // Puts row order[k] at row lo + k for every k (a permutation of those rows), each with
    // its height; `order` is used up.
    void MoveRows(int lo, std::vector<int>& order);
    // Row `row` gets `height`; the running totals are touched only when that changes it.
    void SetHeightIfOther(int row, int height);
    // Makes the cells of the block whose origin is `origin` ordinary cells again.
    void DissolveBlock(const CGridCellId& origin);

    // ---- autosizing ----
    class CMeasuring;  // the fonts' character widths while an autosize measures
    // The widest of the cells of column `col` in rows [first, last]; FALSE when none is
    // measured.
    BOOL WidestCell(CDC& dc, int col, int first, int last, int* width);
    // AutoSizeColumn's work on a surface already taken, without the scroll bars.
    BOOL FitColumn(CDC& dc, int col, int scope);
    CMeasuring* m_measuring = nullptr;  // the autosize measuring now; none outside one

    // ---- mouse ----
    // Press steps after the focus moved and the capture was taken: the parent is told, the
    // header actions run or a selection starts from the pressed cell with the auto-scroll
    // timer. False when the grid's window went away.
    bool StartMouseSelection(const CGridCellId& pressed, bool ctrl);
    // A move with the button held, by MouseState; false when the move is to be dropped
    // (over no cell) or the grid's window went away.
    bool MoveWithButtonDown(CPoint point);
    // A move with the button up: the resize cursor over a boundary, else the cell's hover
    // hook and its title tip.
    void MoveWithButtonUp(CPoint point);
    // The press that LeftButtonDown records ended where the grid did not see it (outside the
    // window, no capture held): what it started stops.
    void AbandonPress();
    // Whether `point` lies in the cell's text rectangle.
    bool PointInText(const CGridCellId& cell, CPoint point);
    // The cell's title tip when its text does not fit.
    void ShowTitleTip(const CGridCellId& id, CGridCellBase* cell);
    // WM_COMMAND (code 0) to the owner after a left release over a press on a cell.
    void PostClickCommand();

    // ---- resizing ----
    // From the press on a boundary (MS_AT_COLUMN_EDGE or MS_AT_ROW_EDGE): the boundary
    // grabbed, the tracking line, the pointer confined.
    void StartResize(CPoint point);
    // The tracking line follows the pointer.
    void TrackResize(CPoint point);
    // The release: the line goes and the new size is applied.
    void FinishResize(CPoint point);
    // A resize ends without a change (the capture went elsewhere): the line goes, the
    // pointer is freed.
    void CancelResize();
    // Inverts the tracking line at client x (columns) or y (rows); twice removes it.
    void InvertResizeLine(bool columns, int position);
    // A double click on a boundary fits the column or row before it; FALSE when there is
    // none (no default processing then).
    BOOL AutoSizeAtEdge(CPoint point, const CGridCellId& hit);
    bool m_resizeLineShown = false;   // the tracking line is drawn at LastMousePoint
    bool m_releasingCapture = false;  // the release lets the capture go (not a loss)

    // ---- children ----
    std::unique_ptr<CGridTitleTip> m_titleTip;  // made with the grid; its window on first use

    // ---- keyboard and editing ----
    // What a key does to the focus cell, as WM_KEYDOWN does it: moves it (Shift extending the
    // selection), scrolls, clears, starts an edit. `fromMessage`: a WM_KEYDOWN is being
    // handled (keys it does not use get default processing). False when the grid's window
    // went away meanwhile (the caller returns at once).
    bool HandleKey(UINT key, bool fromMessage);
    // Moves the focus to `target` for `key`: the selection (when the mouse is idle), the focus,
    // and the scrolling that brings the target into view. False when the window went away.
    bool MoveFocusForKey(UINT key, const CGridCellId& target, bool wrapped, bool* scrolledH, bool* scrolledV);
    // One scroll request to itself; false when the window went away.
    bool SendScroll(UINT message, UINT code);
    // Starts an edit with a typed character (WM_CHAR, WM_IME_CHAR).
    void StartEditWithCharacter(UINT ch);
    // The tail of every text change that the parent may veto: the new text in place,
    // judged by ValidateCellEdit and GRID_NOTIFY_ENDEDIT, kept or put back. False when the
    // window went away.
    bool CommitEditedText(int row, int col, const std::string& text);

    // ---- clipboard and drag-and-drop ----
    // Registers the drop target for this window, once (WM_SIZE calls it).
    void RegisterDropSinkOnce();
    // Sends a notification; false when the grid's window went away meanwhile, in which case
    // the caller returns at once without touching the grid.
    bool NotifyAndCheck(int row, int col, int code, LRESULT* reply = nullptr);
    // SetCellTextNotified's work; false when the grid's window went away.
    bool ChangeCellText(int row, int col, const std::string& text);
    // The selected cells, row by row.
    std::vector<CGridCellId> SortedSelection() const;
    // The text `data` offers as GBK, in the format its source wrote; FALSE when none.
    static BOOL ReadOfferedText(COleDataObject* data, std::string* text);
    static BOOL OffersText(COleDataObject* data);

    CRefPtr<CGridDropSink> m_dropSink;  // the drop target; made on the first WM_SIZE
    bool m_dropSinkTried = false;       // registration was tried for the current window
    bool m_dragRunning = false;         // this grid's own drag of the selection runs
    CGridSelectionSet m_droppedCells;   // cells a drop onto this grid wrote during its own drag
    bool m_pasteCut = false;            // the last paste had fields beyond the table's edge
};
