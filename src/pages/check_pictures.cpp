#include "pages/check_pictures.h"

#include "panel/paint.h"

namespace kk {
namespace {

// A tick as one stroke per column: its top row and thickness.
struct Tick {
    int firstColumn;
    int top[7];
    int thickness;
};
const Tick kBoldTick{3, {5, 6, 7, 6, 5, 4, 3}, 3};
const Tick kSlimTick{3, {6, 7, 8, 7, 6, 5, 4}, 2};

void DrawTick(HDC dc, int x, int y, const Tick& tick, COLORREF ink, bool soften, COLORREF paper) {
    for (int i = 0; i < 7; ++i) {
        const int cx = x + tick.firstColumn + i, top = y + tick.top[i];
        for (int j = 0; j < tick.thickness; ++j) SetPixelV(dc, cx, top + j, ink);
        if (soften) {
            // A faint pixel on each side of the stroke smooths its steps.
            SetPixelV(dc, cx, top - 1, MixColour(paper, ink, 2, 5));
            SetPixelV(dc, cx, top + tick.thickness, MixColour(paper, ink, 1, 4));
        }
    }
}

// Each pixel of the rectangle on the way from `from` at its top left
// corner to `to` at its bottom right.
void DiagonalGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to) {
    const int span = (r.right - r.left) + (r.bottom - r.top) - 2;
    for (int py = r.top; py < r.bottom; ++py)
        for (int px = r.left; px < r.right; ++px)
            SetPixelV(dc, px, py, MixColour(from, to, (px - r.left) + (py - r.top), span));
}

// Windows' own classic box: a sunken two-line edge round a white well.
void DrawClassic(HDC dc, int x, int y, bool checked) {
    const int n = kCheckPictureSize;
    FillSolid(dc, RECT{x, y, x + n, y + n}, RGB(255, 255, 255));                  // outer light edge
    FillSolid(dc, RECT{x, y, x + n - 1, y + n - 1}, RGB(128, 128, 128));          // outer shadow
    FillSolid(dc, RECT{x + 1, y + 1, x + n - 1, y + n - 1}, RGB(212, 208, 200));  // inner light edge
    FillSolid(dc, RECT{x + 1, y + 1, x + n - 2, y + n - 2}, RGB(64, 64, 64));     // inner shadow
    FillSolid(dc, RECT{x + 2, y + 2, x + n - 2, y + n - 2}, RGB(255, 255, 255));
    if (checked) DrawTick(dc, x, y, kBoldTick, RGB(0, 0, 0), false, 0);
}

// The XP theme's: a dark blue rim, a well shaded from its top left, a green tick.
void DrawXp(HDC dc, int x, int y, bool checked) {
    const int n = kCheckPictureSize;
    FrameSolid(dc, RECT{x, y, x + n, y + n}, RGB(28, 81, 128));
    DiagonalGradient(dc, RECT{x + 1, y + 1, x + n - 1, y + n - 1}, RGB(220, 220, 215), RGB(255, 255, 255));
    if (checked) DrawTick(dc, x, y, kBoldTick, RGB(33, 161, 33), false, 0);
}

// Vista's: a grey rim with softened corners, a white ring, a blue-grey well
// lightening towards its bottom right, and a slim dark blue tick.
void DrawVista(HDC dc, int x, int y, bool checked) {
    const int n = kCheckPictureSize;
    const COLORREF rim = RGB(142, 143, 143), ring = RGB(244, 244, 244);
    FrameSolid(dc, RECT{x, y, x + n, y + n}, rim);
    const COLORREF corner = MixColour(rim, RGB(255, 255, 255), 1, 2);
    for (int cx : {x, x + n - 1})
        for (int cy : {y, y + n - 1}) SetPixelV(dc, cx, cy, corner);
    FrameSolid(dc, RECT{x + 1, y + 1, x + n - 1, y + n - 1}, ring);
    DiagonalGradient(dc, RECT{x + 2, y + 2, x + n - 2, y + n - 2}, RGB(190, 196, 204), RGB(246, 246, 246));
    if (checked) DrawTick(dc, x, y, kSlimTick, RGB(40, 62, 118), true, RGB(222, 226, 230));
}

}  // namespace

bool DrawCheckPicture(HDC dc, int x, int y, int member) {
    const bool checked = member % 10 == 1;
    if (member < 0 || member % 10 > 1) return false;
    switch (member / 10) {
        case 0: DrawClassic(dc, x, y, checked); return true;
        case 1: DrawXp(dc, x, y, checked); return true;
        case 2: DrawVista(dc, x, y, checked); return true;
        default: return false;
    }
}

UniqueImageList MakeCheckImages() {
    return DrawImageList(kCheckPictureSize, kCheckPictureSlots,
                         [](HDC dc, const RECT& r, int member) { DrawCheckPicture(dc, r.left, r.top, member); });
}

HIMAGELIST CheckImages() {
    static const UniqueImageList shared = MakeCheckImages();
    return shared.get();
}

}  // namespace kk
