#pragma once
// The wizard's two pictures, drawn at start-up instead of being stored in the executable: the
// background with the maker's logo and the product name, and the five step numbers.

#include <windows.h>

#include "win32/unique_handle.h"

namespace nv::wizard {

constexpr int kSplashWidth = 650;
constexpr int kSplashHeight = 500;
constexpr int kStepPictureWidth = 110;
constexpr int kStepPictureHeight = 145;
constexpr int kStepPictureCount = 5;

// The background picture: a 650 x 500, 24-bit, top-down DIB section on a white ground, split
// by dark rules at x = 205 and y = 138 into the logo field, the title field, the field of the
// step number and the page area. Throws nv::Error when GDI runs out of resources.
UniqueBitmap DrawSplashPicture();

// Step number index + 1 (index 0 to 4): a 110 x 145, 32-bit, top-down DIB section holding a
// teal digit, RGB(7, 168, 155), over a grey shadow. The ground is all-zero pixels and every
// drawn pixel carries premultiplied alpha, so AlphaBlend with AC_SRC_ALPHA lays the digit
// cleanly on any background. Throws nv::Error for an index outside 0 to 4.
UniqueBitmap DrawStepPicture(int index);

}  // namespace nv::wizard
