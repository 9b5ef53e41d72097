#include "panel/artwork.h"

#include "engine/handles.h"

namespace kk {
namespace {

COLORREF Mix(COLORREF a, COLORREF b, int num, int den) {
    auto ch = [&](int ca, int cb) { return ca + (cb - ca) * num / (den ? den : 1); };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

// A kestrel hovering, seen from below: wings spread, tail fanned. Points on
// a 32 x 32 grid.
const POINT kBird[] = {
    {16, 7},  {18, 9},  {19, 12}, {23, 10}, {28, 8},  {31, 9},  {27, 13}, {22, 16}, {19, 17},
    {19, 21}, {21, 27}, {16, 25}, {11, 27}, {13, 21}, {13, 17}, {10, 16}, {5, 13},  {1, 9},
    {4, 8},   {9, 10},  {13, 12}, {14, 9},
};

void DrawBadge(HDC dc, int x, int y, int size) {
    GdiObject<HBRUSH> rust(CreateSolidBrush(RGB(184, 92, 44)));
    GdiObject<HPEN> rim(CreatePen(PS_SOLID, 1, RGB(120, 52, 20)));
    HGDIOBJ oldBrush = SelectObject(dc, rust.get());
    HGDIOBJ oldPen = SelectObject(dc, rim.get());
    RoundRect(dc, x, y, x + size, y + size, size / 4, size / 4);
    // A lighter upper half gives the badge a little depth.
    GdiObject<HBRUSH> light(CreateSolidBrush(RGB(212, 124, 70)));
    RECT upper{x + 2, y + 2, x + size - 2, y + size / 2};
    FillRect(dc, &upper, light.get());

    POINT bird[sizeof kBird / sizeof kBird[0]];
    for (size_t i = 0; i < sizeof kBird / sizeof kBird[0]; ++i) {
        bird[i].x = x + kBird[i].x * size / 32;
        bird[i].y = y + kBird[i].y * size / 32;
    }
    GdiObject<HBRUSH> white(CreateSolidBrush(RGB(255, 248, 238)));
    GdiObject<HPEN> outline(CreatePen(PS_SOLID, 1, RGB(90, 40, 16)));
    SelectObject(dc, white.get());
    SelectObject(dc, outline.get());
    Polygon(dc, bird, static_cast<int>(sizeof bird / sizeof bird[0]));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

}  // namespace

void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
    int height = rect.bottom - rect.top;
    for (int y = 0; y < height; y += 2) {
        GdiObject<HBRUSH> brush(CreateSolidBrush(Mix(top, bottom, y, height)));
        RECT band{rect.left, rect.top + y, rect.right, rect.top + y + 2 < rect.bottom ? rect.top + y + 2 : rect.bottom};
        FillRect(dc, &band, brush.get());
    }
}

void DrawLogoBand(HDC dc, const RECT& rect, HFONT titleFont, HFONT subtitleFont) {
    FillVerticalGradient(dc, rect, RGB(36, 62, 98), RGB(66, 104, 148));
    // A hairline at the foot of the band separates it from the list.
    GdiObject<HBRUSH> line(CreateSolidBrush(RGB(200, 132, 64)));
    RECT foot{rect.left, rect.bottom - 2, rect.right, rect.bottom};
    FillRect(dc, &foot, line.get());

    int badge = 38;
    int top = rect.top + (rect.bottom - rect.top - badge) / 2 - 1;
    DrawBadge(dc, rect.left + 12, top, badge);

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, titleFont);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT title{rect.left + 60, rect.top + 9, rect.right - 70, rect.top + 34};
    DrawTextA(dc, "Kestrelkit", -1, &title, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, subtitleFont);
    SetTextColor(dc, RGB(206, 220, 238));
    RECT sub{rect.left + 61, rect.top + 34, rect.right - 70, rect.bottom - 4};
    DrawTextA(dc, "Marrowby  \xB7  Settings for your shell tools", -1, &sub,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

}  // namespace kk
