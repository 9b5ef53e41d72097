// The check-box pictures of the list pages. They come in pairs, unchecked
// then checked, one pair per look of the system: 0 and 1 the classic
// raised-edge box, 10 and 11 the XP theme's, 20 and 21 Vista's. The pair in
// use starts at CheckImageBase().
#pragma once
#include <windows.h>

#include "pages/drawn_images.h"

namespace kk {

inline constexpr int kCheckPictureSize = 13;
inline constexpr int kCheckPictureSlots = 22;  // members 0 to 21

// Paints picture `member` with its top left at x, y; false, painting
// nothing, for a number the family has no picture for.
bool DrawCheckPicture(HDC dc, int x, int y, int member);

// Every picture at the index of its own number, so a row's picture is
// CheckImageBase() + its checked state; the slots between the pairs are
// transparent.
UniqueImageList MakeCheckImages();
// The same pictures, drawn once for the process and kept until it ends:
// drawing them costs more than filling a list page.
HIMAGELIST CheckImages();

}  // namespace kk
