// The pictures of the window's head: the band behind the caption zone and
// the logo images, and the kestrel badge.
#pragma once
#include <windows.h>

namespace kk {

// Paints rect as part of the head band: rect.top lies bandY pixels below
// the band's top; the band is bandHeight pixels tall and ends in an accent
// line, so pieces painted by different windows join without a seam.
void DrawHeadBand(HDC dc, const RECT& rect, int bandY, int bandHeight);

// The first logo image: the badge and the product name.
void DrawLogoMark(HDC dc, const RECT& rect, int bandY, int bandHeight, HFONT titleFont);

// The second logo image: the maker's line, right-aligned.
void DrawLogoTagline(HDC dc, const RECT& rect, int bandY, int bandHeight, HFONT font);

// The window's title in the caption zone.
void DrawCaptionTitle(HDC dc, const RECT& rect, HFONT font, const char* title);

}  // namespace kk
