// Small painting steps shared by the program's drawn pictures.
#pragma once
#include <windows.h>

namespace kk {

// The colour num/den of the way from a to b.
COLORREF MixColour(COLORREF a, COLORREF b, int num, int den);
void FillSolid(HDC dc, const RECT& r, COLORREF colour);
// Top to bottom, one line at a time: exact on every colour depth.
void FillGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom);
void FrameSolid(HDC dc, const RECT& r, COLORREF colour);

}  // namespace kk
