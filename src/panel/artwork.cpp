#include "panel/artwork.h"

#include "engine/handles.h"
#include "panel/paint.h"

namespace kk {
namespace {

const COLORREF kBandTop = RGB(36, 62, 98), kBandBottom = RGB(70, 108, 152);
const COLORREF kAccent = RGB(204, 134, 62);
const int kAccentHeight = 2;

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

void DrawHeadBand(HDC dc, const RECT& rect, int bandY, int bandHeight) {
    const int gradientHeight = bandHeight - kAccentHeight;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const int at = bandY + (y - rect.top);  // this line's place in the band
        const COLORREF colour = at >= gradientHeight ? kAccent : MixColour(kBandTop, kBandBottom, at, gradientHeight);
        GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        RECT line{rect.left, y, rect.right, y + 1};
        FillRect(dc, &line, brush.get());
    }
}

void DrawLogoMark(HDC dc, const RECT& rect, int bandY, int bandHeight, HFONT titleFont) {
    DrawHeadBand(dc, rect, bandY, bandHeight);
    const int badge = 30;
    DrawBadge(dc, rect.left + 10, rect.top + 1, badge);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, titleFont);
    RECT title{rect.left + 50, rect.top, rect.right, rect.bottom - 4};
    // A one-pixel shadow lifts the name off the band.
    RECT shadow = title;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, RGB(20, 36, 60));
    DrawTextA(dc, "Kestrelkit", -1, &shadow, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, "Kestrelkit", -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

void DrawLogoTagline(HDC dc, const RECT& rect, int bandY, int bandHeight, HFONT font) {
    DrawHeadBand(dc, rect, bandY, bandHeight);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(200, 216, 236));
    RECT text{rect.left, rect.top, rect.right - 12, rect.bottom - kAccentHeight - 6};
    DrawTextA(dc, "Settings for your shell tools", -1, &text,
              DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

void DrawCaptionTitle(HDC dc, const RECT& rect, HFONT font, const char* title) {
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(176, 196, 222));
    RECT r = rect;
    DrawTextA(dc, title, -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

namespace {

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// A window outline: a two-pixel top edge for its caption.
void WindowOutline(HDC dc, int left, int top, int right, int bottom) {
    Line(dc, left, top, right, top);
    Line(dc, left, top + 1, right, top + 1);
    Line(dc, right, top, right, bottom);
    Line(dc, right, bottom, left, bottom);
    Line(dc, left, bottom, left, top);
}

}  // namespace

void DrawTitleGlyph(HDC dc, int x, int y, int member, int bandY, int bandHeight) {
    const int s = kGlyphSize;
    RECT cell{x, y, x + s, y + s};
    DrawHeadBand(dc, cell, bandY, bandHeight);
    const bool pressed = member == kGlyphMinimisePressed || member == kGlyphMaximisePressed ||
                         member == kGlyphClosePressed || member == kGlyphRestorePressed;
    const bool close = member == kGlyphClose || member == kGlyphClosePressed;

    // A rounded key: a faint rim at rest, sunk and filled while pressed
    // (the close key in rust, as the badge).
    const COLORREF face = pressed ? (close ? RGB(168, 72, 36) : RGB(24, 42, 70)) : MixColour(kBandTop, kBandBottom, 1, 2);
    GdiObject<HBRUSH> fill(CreateSolidBrush(face));
    GdiObject<HPEN> rim(CreatePen(PS_SOLID, 1, pressed ? RGB(14, 26, 44) : RGB(112, 144, 184)));
    HGDIOBJ oldBrush = SelectObject(dc, fill.get());
    HGDIOBJ oldPen = SelectObject(dc, rim.get());
    RoundRect(dc, x, y, x + s, y + s, 4, 4);

    // The symbol, one pixel down and right while pressed.
    const int o = pressed ? 1 : 0;
    const int l = x + 4 + o, t = y + 4 + o, r = x + 10 + o, b = y + 10 + o;
    GdiObject<HPEN> ink(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    SelectObject(dc, ink.get());
    switch (member) {
    case kGlyphMinimise:
    case kGlyphMinimisePressed:
        Line(dc, l, b - 1, r + 1, b - 1);
        Line(dc, l, b, r + 1, b);
        break;
    case kGlyphMaximise:
    case kGlyphMaximisePressed:
        WindowOutline(dc, l, t, r, b);
        break;
    case kGlyphRestore:
    case kGlyphRestorePressed:
        // Two windows, the front one lower left.
        Line(dc, l + 2, t - 1, r + 1, t - 1);
        Line(dc, r + 1, t - 1, r + 1, b - 3);
        Line(dc, r + 1, b - 3, r - 1, b - 3);
        WindowOutline(dc, l, t + 2, r - 2, b);
        break;
    case kGlyphClose:
    case kGlyphClosePressed:
        // A cross two pixels thick.
        for (int d = 0; d < 2; ++d) {
            Line(dc, l + d, t, r + 1 + d, b + 1);      // LineTo stops short of its end
            Line(dc, r + d, t, l - 1 + d, b + 1);
        }
        break;
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void DrawDialogLogo(HDC dc, const RECT& rect) {
    const int h = rect.bottom - rect.top;
    DrawHeadBand(dc, rect, 0, h);
    const int badge = 36;
    DrawBadge(dc, rect.left + (rect.right - rect.left - badge) / 2, rect.top + (h - kAccentHeight - badge) / 2, badge);
}

void DrawDialogStripe(HDC dc, const RECT& rect, HFONT font, const char* title) {
    const int h = rect.bottom - rect.top;
    DrawHeadBand(dc, rect, 0, h);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, font);
    RECT text{rect.left + 4, rect.top, rect.right - 8, rect.bottom - kAccentHeight};
    RECT shadow = text;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, RGB(20, 36, 60));
    DrawTextA(dc, title, -1, &shadow, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, title, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

void DrawPageIcon(HDC dc, const RECT& rect, int which, COLORREF background) {
    GdiObject<HBRUSH> back(CreateSolidBrush(background));
    FillRect(dc, &rect, back.get());
    const int x = rect.left, y = rect.top;
    HGDIOBJ oldPen = GetCurrentObject(dc, OBJ_PEN), oldBrush = GetCurrentObject(dc, OBJ_BRUSH);
    if (which == 0) {
        // A blue disc with a white "i".
        GdiObject<HBRUSH> blue(CreateSolidBrush(RGB(44, 96, 176)));
        GdiObject<HPEN> rim(CreatePen(PS_SOLID, 1, RGB(24, 56, 120)));
        SelectObject(dc, blue.get());
        SelectObject(dc, rim.get());
        Ellipse(dc, x + 1, y + 1, x + 15, y + 15);
        GdiObject<HBRUSH> white(CreateSolidBrush(RGB(255, 255, 255)));
        RECT dot{x + 7, y + 4, x + 9, y + 6}, stem{x + 7, y + 7, x + 9, y + 12};
        FillRect(dc, &dot, white.get());
        FillRect(dc, &stem, white.get());
    } else if (which == 1) {
        // A ticked box.
        GdiObject<HBRUSH> white(CreateSolidBrush(RGB(255, 255, 255)));
        GdiObject<HPEN> rim(CreatePen(PS_SOLID, 1, RGB(51, 94, 168)));
        SelectObject(dc, white.get());
        SelectObject(dc, rim.get());
        Rectangle(dc, x + 2, y + 2, x + 14, y + 14);
        GdiObject<HPEN> tick(CreatePen(PS_SOLID, 2, RGB(24, 128, 40)));
        SelectObject(dc, tick.get());
        MoveToEx(dc, x + 4, y + 8, nullptr);
        LineTo(dc, x + 7, y + 11);
        LineTo(dc, x + 12, y + 4);
    } else {
        // A puzzle piece in the badge's rust.
        GdiObject<HBRUSH> rust(CreateSolidBrush(RGB(200, 108, 56)));
        GdiObject<HPEN> rim(CreatePen(PS_SOLID, 1, RGB(120, 52, 20)));
        SelectObject(dc, rust.get());
        SelectObject(dc, rim.get());
        Rectangle(dc, x + 2, y + 5, x + 12, y + 15);
        Ellipse(dc, x + 5, y + 1, x + 10, y + 7);    // the knob on top
        Ellipse(dc, x + 10, y + 7, x + 15, y + 12);  // the knob on the right
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

}  // namespace kk
