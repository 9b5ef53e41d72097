// The pictures the list draws for itself: the check box, the settings
// button, the bullet, the category heading and the window's size grip.
// Every function paints the whole rectangle it is given.
#pragma once
#include <windows.h>

#include <string>

namespace kk {

struct PictureState {
    bool checked = false;
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
};

void DrawCheckBoxPicture(HDC dc, const RECT& rect, const PictureState& state);
void DrawSettingsButtonPicture(HDC dc, const RECT& rect, const PictureState& state);
void DrawBulletPicture(HDC dc, const RECT& rect, const PictureState& state);

// A category heading: its text on the last line of its rectangle (a
// trailing line break only makes room above), with a hairline after it.
void DrawHeading(HDC dc, const RECT& rect, const std::string& text, HFONT font, COLORREF colour);

// The dotted grip in the window's bottom-right corner.
void DrawSizeGrip(HDC dc, const RECT& rect, COLORREF background);

// The state an owner-drawn row switch is drawn in.
PictureState StateOf(const DRAWITEMSTRUCT& item);

}  // namespace kk
