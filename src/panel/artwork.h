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

// The settings dialog's header: the badge on the band's left end, and the
// band itself with the dialog's name, which the dialog is dragged by.
void DrawDialogLogo(HDC dc, const RECT& rect);
void DrawDialogStripe(HDC dc, const RECT& rect, HFONT font, const char* title);

// Small 16-pixel pictures: 0 information, 1 options (a tick in a box),
// 2 a plugin (a puzzle piece), on the given background.
void DrawPageIcon(HDC dc, const RECT& rect, int which, COLORREF background);

// The title-bar glyphs, 15 pixels square. Members 0 to 2 are the normal
// minimise, maximise and close glyphs of the strip's background; 3 to 7 are
// the drawn ones: minimise, maximise and close pressed, restore, restore
// pressed. bandY is the glyph's top within the head band, as above.
enum TitleGlyph : int {
    kGlyphMinimise = 0,
    kGlyphMaximise = 1,
    kGlyphClose = 2,
    kGlyphMinimisePressed = 3,
    kGlyphMaximisePressed = 4,
    kGlyphClosePressed = 5,
    kGlyphRestore = 6,
    kGlyphRestorePressed = 7,
};
inline constexpr int kGlyphSize = 15;
void DrawTitleGlyph(HDC dc, int x, int y, int member, int bandY, int bandHeight);

}  // namespace kk
