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

// WM_PAINT and WM_PRINTCLIENT through the one function that paints the
// window; false for any other message.
template <typename Painter>
bool PaintMessage(HWND hwnd, UINT msg, WPARAM wp, Painter&& paint) {
    if (msg == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wp));
        return true;
    }
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    paint(dc);
    EndPaint(hwnd, &ps);
    return true;
}

}  // namespace kk
