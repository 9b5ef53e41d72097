// The pictures the main window draws for itself: the logo band.
#pragma once
#include <windows.h>

namespace kk {

// Fills rect with the logo band: a vertical gradient, the kestrel badge and
// the product name in the given fonts.
void DrawLogoBand(HDC dc, const RECT& rect, HFONT titleFont, HFONT subtitleFont);

// A vertical two-colour gradient drawn in thin bands (no msimg32 needed).
void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);

}  // namespace kk
