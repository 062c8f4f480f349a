// The grid's image list and the focus cell's drag image, read back by drawing the image over
// a magenta surface: see-through pixels stay magenta.
#include "tests/grid/GridTestSupport.h"

namespace {
const COLORREF kMagenta = RGB(0xFF, 0x00, 0xFF);
}

TEST(GridImages, SettingTheImageListKeepsTheCallersList) {
    GridInWindow w;
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    EXPECT_EQ(w.grid.SetImageList(list), nullptr);
    EXPECT_EQ(w.grid.GetImageList(), list);
    EXPECT_EQ(w.grid.SetImageList(nullptr), list);
    EXPECT_TRUE(ImageList_Destroy(list)) << "still the caller's";
}

TEST(GridImages, DragImageOfTheFocusCell) {
    GridInWindow w;
    MakeUniform(w.grid, 5, 5);  // cells of 50 x 20
    CSize size(-7, -7);
    EXPECT_EQ(w.grid.MakeDragImage(&size), nullptr) << "no focus cell";
    EXPECT_EQ(size, CSize(-7, -7)) << "the size is left alone";

    w.grid.SetCellText(2, 2, "W");
    w.grid.MoveFocusTo(2, 2);
    HIMAGELIST list = w.grid.MakeDragImage(&size);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(size, CSize(49, 19)) << "one narrower and shorter than the inclusive rectangle";
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(CSize(cx, cy), size);
    EXPECT_EQ(ImageList_GetImageCount(list), 1);

    DibSurface dib(60, 30, kMagenta);
    ASSERT_TRUE(ImageList_Draw(list, 0, dib.dc, 0, 0, ILD_NORMAL));
    const COLORREF frame = w.grid.DefaultCellFor(FALSE, FALSE)->GetTextColour();
    // The focus frame runs round the image's edge in the text colour.
    for (POINT p : {POINT{0, 0}, POINT{48, 0}, POINT{0, 18}, POINT{48, 18}, POINT{24, 0}, POINT{48, 9}})
        EXPECT_EQ(dib.Pixel(p.x, p.y), frame) << p.x << "," << p.y;
    // The normal background is the mask: inside the frame, away from the text, the surface
    // shows through, and nothing is drawn past the image.
    EXPECT_EQ(dib.Pixel(40, 9), kMagenta);
    EXPECT_EQ(dib.Pixel(49, 9), kMagenta);
    EXPECT_EQ(dib.Pixel(24, 19), kMagenta);
    EXPECT_GT(dib.Count(CRect(1, 1, 20, 18), frame), 0) << "the text";
    ImageList_Destroy(list);

    // A merged focus cell gives the whole block's picture.
    w.grid.MergeCells(2, 2, 3, 3);
    list = w.grid.MakeDragImage(&size);
    EXPECT_EQ(size, CSize(99, 39));
    ImageList_Destroy(list);
}
