// The small pictures GridDemo shows in one column, drawn at run time.
#pragma once

#include <windows.h>
#include <commctrl.h>

constexpr int kDemoImageSize = 16;   // pixels, square
constexpr int kDemoImageCount = 4;   // a circle, a square, a triangle and a diamond

// A new masked image list of the pictures (the caller destroys it), or null when the system
// refuses one.
HIMAGELIST MakeDemoImages();
