// A cell's text on a device context: the pixels DrawTextW gives, through one ExtTextOutW
// where the text is a single line that fits (the common cell), and DrawTextW itself for the
// rest (ellipses, tabs and line breaks, prefixes, right-to-left reading, a context with
// another mapping or alignment). DrawTextW measures, lays out and draws every line itself,
// which costs about as much again as the drawing: a screen of short texts paints in little
// more than its glyphs.
//
// The quick way places the line as the system does; the system's rules are checked once
// per process by drawing a few texts both ways, and where they disagree DrawTextW is always
// used.
#pragma once

#include <windows.h>

#include <string>

namespace celltext {

// Draws GBK `text` in `rect` exactly as DrawTextW with `format` would, the rectangle left
// unchanged. `format` must not hold DT_CALCRECT or DT_MODIFYSTRING.
void Draw(HDC dc, const std::string& text, const RECT& rect, UINT format);

// The quick way alone: draws `text` (UTF-16, `length` units) and returns true when it gives
// DrawTextW's pixels; draws nothing and returns false otherwise.
bool DrawQuick(HDC dc, const wchar_t* text, int length, const RECT& rect, UINT format);

}  // namespace celltext
