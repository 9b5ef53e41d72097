// Small painting steps shared by the program's drawn pictures.
#pragma once
#include <windows.h>

#include "engine/handles.h"

#include <string>

namespace kk {

// The colour num/den of the way from a to b.
COLORREF MixColour(COLORREF a, COLORREF b, int num, int den);
void FillSolid(HDC dc, const RECT& r, COLORREF colour);
// Top to bottom, one line at a time: exact on every colour depth.
void FillGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom);
void FrameSolid(HDC dc, const RECT& r, COLORREF colour);

// The room a text needs as the control draws it: measured on the screen's
// device with the font the control draws with, so what is measured is what
// is drawn whatever font the system substitutes. format: the DrawText flags the
// control draws with; a wrapWidth above 0 breaks lines at that width.
SIZE ControlTextSize(HWND control, const std::string& text, UINT format, int wrapWidth = 0);

// A memory image of part of a DC, put on it in one blit. Under Wine a
// picture list's draw costs about ten times as much on a window's DC as in
// memory, and drawing off screen keeps a half-drawn face from showing.
class MemoryImage {
public:
    MemoryImage(HDC screen, const RECT& area);
    ~MemoryImage();
    MemoryImage(const MemoryImage&) = delete;
    MemoryImage& operator=(const MemoryImage&) = delete;

    // Where to draw, in the DC's own coordinates: memory, or the DC itself
    // when no memory could be had.
    HDC Dc() const { return old_ ? dc_.get() : screen_; }
    void Show() const;

private:
    HDC screen_;
    RECT area_;
    UniqueMemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ old_ = nullptr;
};

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
