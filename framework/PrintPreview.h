// CPrintPreviewWnd: a top-level window that shows the pages of a print job as they will be
// printed, one at a time, with buttons for the previous and the next page and the page
// number. Each page shown is printed through the same page loop as on paper (RunPrintJob)
// into an enhanced metafile that measures like the printer, and drawn in the page's
// proportions as large as the window allows.
//
// Keys: Page Down, Right, Down and Space show the next page; Page Up, Left, Up and Backspace
// the previous one; Home and End the first and the last; Escape closes. The wheel turns pages.
#pragma once

#include <string>

#include "framework/Print.h"
#include "framework/Wnd.h"

class CPrintPreviewWnd : public CWnd {
public:
    // Control ids of the window's buttons and page label.
    enum : UINT { ID_PREVIOUS_PAGE = 101, ID_NEXT_PAGE = 102, ID_CLOSE_PREVIEW = 103, ID_PAGE_LABEL = 104 };

    // `source`, and `printer` when given, must outlive the window; with no printer the pages
    // measure like the screen.
    CPrintPreviewWnd(CPrintSource& source, HDC printer);

    // Creates the window (owned by `owner`) showing page 1.
    BOOL Create(HWND owner, const std::string& gbkTitle = "Print Preview");
    // Creates the window and keeps `owner` disabled until it is closed.
    void RunModal(HWND owner, const std::string& gbkTitle = "Print Preview");

    UINT CurrentPage() const { return m_current; }
    UINT PageCount() const { return m_pageCount; }
    // Shows page `page`, cut to 1..PageCount; FALSE when the page could not be rendered.
    BOOL ShowPage(UINT page);
    // The client area drawn on `dc`: the tool bar's background, the grey desk and the page.
    void PaintOn(CDC* dc);
    // Where the page is drawn in the client area.
    CRect PageRect() const;

protected:
    int OnCreate(CREATESTRUCTW* create);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnSize(UINT type, int cx, int cy);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnPreviousPage() { TurnTo(m_current - 1); }
    void OnNextPage() { TurnTo(m_current + 1); }
    void OnClosePreview() { DestroyWindow(); }
    DECLARE_MESSAGE_MAP()

private:
    // Shows a page from a button or a key; the keys stay with the window.
    void TurnTo(UINT page);
    void UpdateControls();
    // m_shown made from the page at `size`.
    void RenderPage(CSize size);

    CPrintSource& m_source;    // the view printed; not owned
    HDC m_printer;             // the printer previewed; not owned; null for the screen
    CEnhMetaFile m_page;       // the page shown
    CBitmap m_shown;           // the page as drawn at its size on screen; none until painted
    CSize m_shownSize;         // that size
    UINT m_current = 0;        // its number; 0 before the first page is shown
    UINT m_pageCount = 0;      // pages of the job, as its last rendering reported
    HWND m_previous = nullptr, m_next = nullptr, m_close = nullptr, m_label = nullptr;  // children
};
