// The image list cells draw their images from, and the focus cell's picture as a drag image.
#include "grid/GridCtrl.h"

HIMAGELIST CGridCtrl::SetImageList(HIMAGELIST list) {
    HIMAGELIST previous = ImageList;
    ImageList = list;
    if (previous != list) RefreshAll();
    return previous;
}

HIMAGELIST CGridCtrl::MakeDragImage(CSize* size) {
    if (!IsWindow()) return nullptr;
    CClientDC window(m_hWnd);
    CRect rect;
    if (!window.GetSafeHdc() || !CellRect(m_focusCell, &rect)) return nullptr;
    // The rectangle is inclusive: the image stops short of its right and bottom grid lines.
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (size) *size = CSize(width, height);
    HIMAGELIST list = ImageList_Create(width, height, ILC_MASK, 1, 1);
    if (!list) return nullptr;

    // Pixels of the normal background become transparent.
    const COLORREF mask = m_defaultNormal.GetBackColour();
    CBitmap bitmap;
    {
        CMemoryDC memory(window);
        if (!memory.GetSafeHdc() || !bitmap.CreateCompatibleBitmap(window, width, height)) {
            ImageList_Destroy(list);
            return nullptr;
        }
        CSelectGuard select(memory, bitmap);
        memory.SetWindowOrg(0, 0);
        // The cell draws without erasing; what it leaves must be see-through, not the new
        // bitmap's black.
        memory.FillSolidRect(CRect(0, 0, width, height), mask);
        CGridCellBase* cell = IsValidCell(m_focusCell) ? GetCell(m_focusCell.row, m_focusCell.col) : nullptr;
        if (cell) cell->Draw(&memory, m_focusCell.row, m_focusCell.col, CRect(0, 0, width, height), FALSE);
    }
    if (ImageList_AddMasked(list, bitmap, mask) < 0) {
        ImageList_Destroy(list);
        return nullptr;
    }
    return list;
}
