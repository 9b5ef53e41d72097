#include "pages/hotkey_pictures.h"

#include "panel/paint.h"

namespace kk {
namespace {

// A cap is a letter of 5 x 7 pixels in a raised key of 9 x 13 pixels;
// caps stand a pixel apart.
constexpr int kCapWidth = 9, kCapHeight = 13, kCapGap = 1;
constexpr int kGlyphWidth = 5, kGlyphHeight = 7;
constexpr int kGlyphLeft = 2, kGlyphTop = 2;

struct Cap {
    int bit;
    const char* glyph;  // rows of kGlyphWidth, '#' inked
    COLORREF ink;
};
// In the order the combination is read.
const Cap kCaps[] = {
    {kCtrlBit, ".###." "#...#" "#...." "#...." "#...." "#...#" ".###.", RGB(28, 70, 150)},
    {kAltBit, ".###." "#...#" "#...#" "#####" "#...#" "#...#" "#...#", RGB(24, 120, 48)},
    {kShiftBit, ".####" "#...." "#...." ".###." "....#" "....#" "####.", RGB(150, 60, 20)},
};

const COLORREF kRim = RGB(92, 92, 96), kFace = RGB(250, 250, 244), kSkirt = RGB(196, 196, 188);

void DrawCap(HDC dc, int x, int y, const Cap& cap) {
    FillSolid(dc, RECT{x, y, x + kCapWidth, y + kCapHeight}, kRim);
    FillSolid(dc, RECT{x + 1, y + 1, x + kCapWidth - 1, y + kCapHeight - 1}, kSkirt);
    // The face stops one line short of the bottom: the key's skirt shows.
    FillSolid(dc, RECT{x + 1, y + 1, x + kCapWidth - 1, y + kCapHeight - 2}, kFace);
    for (int row = 0; row < kGlyphHeight; ++row)
        for (int col = 0; col < kGlyphWidth; ++col)
            if (cap.glyph[row * kGlyphWidth + col] == '#')
                SetPixelV(dc, x + kGlyphLeft + col, y + kGlyphTop + row, cap.ink);
}

}  // namespace

bool IsHotkeyCode(int code) {
    return code >= 1 && code < kHotkeyPictureSlots && (code & (kAltBit | kCtrlBit)) != 0;
}

bool DrawHotkeyImage(HDC dc, const RECT& rect, int code) {
    if (!IsHotkeyCode(code)) return false;
    int caps = 0;
    for (const Cap& cap : kCaps)
        if (code & cap.bit) ++caps;
    // The strip is centred in the picture.
    int x = rect.left + (rect.right - rect.left - caps * (kCapWidth + kCapGap) + kCapGap) / 2;
    const int y = rect.top + (rect.bottom - rect.top - kCapHeight) / 2;
    for (const Cap& cap : kCaps) {
        if (!(code & cap.bit)) continue;
        DrawCap(dc, x, y, cap);
        x += kCapWidth + kCapGap;
    }
    return true;
}

UniqueImageList MakeHotkeyImages() {
    return DrawImageList(kHotkeyPictureWidth, kHotkeyPictureHeight, kHotkeyPictureSlots,
                         [](HDC dc, const RECT& r, int code) { DrawHotkeyImage(dc, r, code); });
}

HIMAGELIST HotkeyImages() {
    static const UniqueImageList shared = MakeHotkeyImages();
    return shared.get();
}

}  // namespace kk
