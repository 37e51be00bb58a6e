#pragma once
// Measuring texts the way a label draws them, for labels that size themselves to their text.

#include <windows.h>

#include <string>

#include "toolkit/std_controls.h"

namespace nv::toolkit::win32 {

// The size `text` takes when drawn with `font`, line breaks and the "&" accelerator mark
// included; an empty text measures as one blank, so an empty label keeps its line height.
SIZE MeasureLabelText(HWND window, HFONT font, const std::string& text);

// The bounds of an auto-sized label that now needs `size`: the left edge stays, except that a
// right-aligned label keeps its right edge.
RECT AutoSizedBounds(const RECT& current, SIZE size, TAlignment alignment);

// The height of one line of `font`.
int LineHeight(HWND window, HFONT font);

}  // namespace nv::toolkit::win32
