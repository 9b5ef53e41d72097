// The hotkeys list's pictures: one strip of key caps per modifier code,
// "C" Ctrl, "A" Alt and "S" Shift in that order, so Ctrl+Shift reads
// "C S". Only the six codes of a hotkey (1, 2, 3, 5, 6, 7) have one.
#pragma once
#include <windows.h>

#include "pages/drawn_images.h"

namespace kk {

// Modifier code bits; a hotkey's code is their sum.
inline constexpr int kAltBit = 1, kCtrlBit = 2, kShiftBit = 4;
inline constexpr int kHotkeyPictureWidth = 32, kHotkeyPictureHeight = 16;
inline constexpr int kHotkeyPictureSlots = 8;  // codes 0 to 7

// Whether a code is a hotkey's: Ctrl or Alt, with or without Shift.
bool IsHotkeyCode(int code);

// Paints the picture of code into rect (kHotkeyPictureWidth wide);
// false, painting nothing, for a code that is no hotkey's.
bool DrawHotkeyImage(HDC dc, const RECT& rect, int code);

// Every picture at the index of its code; the other slots are transparent.
UniqueImageList MakeHotkeyImages();
// The same pictures, drawn once for the process and kept until it ends.
HIMAGELIST HotkeyImages();

}  // namespace kk
