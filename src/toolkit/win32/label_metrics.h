#pragma once
// Measuring texts the way a label draws them, for labels that size themselves to their text.

#include <windows.h>

#include <string>

#include "toolkit/std_controls.h"

namespace nv::toolkit::win32 {

// The size `text` takes when the static control `label` draws it: with the font the control
// holds and the flags its style gives (tabs, "&" as the accelerator mark), line breaks
// included. The width covers every pixel the drawn text inks: outline fonts that stand in for
// "MS Sans Serif" may ink beyond the advance widths the text metrics add up. An empty text
// measures as one blank, so an empty label keeps its line height.
SIZE MeasureLabelText(HWND label, const std::string& text);

// The bounds of an auto-sized label that now needs `size`: the left edge stays, except that a
// right-aligned label keeps its right edge.
RECT AutoSizedBounds(const RECT& current, SIZE size, TAlignment alignment);

// The height of one line of `font`.
int LineHeight(HWND window, HFONT font);

}  // namespace nv::toolkit::win32
