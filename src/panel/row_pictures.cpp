#include "panel/row_pictures.h"

#include "engine/handles.h"
#include "panel/list_style.h"
#include "panel/paint.h"

namespace kk {
namespace {

void Pixel(HDC dc, int x, int y, COLORREF colour) { SetPixelV(dc, x, y, colour); }

const COLORREF kInk = RGB(51, 94, 168);       // borders and marks
const COLORREF kInkDark = RGB(28, 62, 122);
const COLORREF kTick = RGB(24, 128, 40);
const COLORREF kGreyInk = RGB(168, 168, 168);
const COLORREF kFocusRim = RGB(244, 170, 60);

}  // namespace

PictureState StateOf(const DRAWITEMSTRUCT& item) {
    PictureState state;
    state.pressed = (item.itemState & ODS_SELECTED) != 0;
    state.focused = (item.itemState & ODS_FOCUS) != 0 && !(item.itemState & ODS_NOFOCUSRECT);
    state.disabled = (item.itemState & ODS_DISABLED) != 0;
    state.checked = SendMessageA(item.hwndItem, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return state;
}

void DrawCheckBoxPicture(HDC dc, const RECT& rect, const PictureState& state) {
    FillSolid(dc, rect, kSurfaceColour);
    // A 13-pixel box at the control's top left, level with the caption's first line.
    const int size = 13;
    const int x = rect.left, y = rect.top;
    RECT box{x, y, x + size, y + size};
    RECT inside{x + 1, y + 1, x + size - 1, y + size - 1};
    if (state.disabled) {
        FillSolid(dc, inside, RGB(244, 244, 244));
        FrameSolid(dc, box, kGreyInk);
    } else if (state.pressed) {
        FillGradient(dc, inside, RGB(176, 192, 216), RGB(226, 232, 242));
        FrameSolid(dc, box, kInkDark);
    } else {
        FillGradient(dc, inside, RGB(222, 226, 232), RGB(255, 255, 255));
        FrameSolid(dc, box, kInk);
    }
    // The keyboard focus shows as a warm rim inside the border.
    if (state.focused && !state.disabled) FrameSolid(dc, inside, kFocusRim);
    if (state.checked) {
        // The classic three-pixel-thick tick, seven pixels wide.
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, state.disabled ? kGreyInk : kTick));
        HGDIOBJ old = SelectObject(dc, pen.get());
        for (int i = 0; i < 3; ++i) {
            MoveToEx(dc, x + 3, y + 5 + i, nullptr);
            LineTo(dc, x + 5, y + 7 + i);
            LineTo(dc, x + 10, y + 2 + i);
        }
        SelectObject(dc, old);
    }
}

void DrawSettingsButtonPicture(HDC dc, const RECT& rect, const PictureState& state) {
    FillSolid(dc, rect, kSurfaceColour);
    RECT face{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    if (state.disabled) FillSolid(dc, face, RGB(244, 244, 244));
    else if (state.pressed) FillGradient(dc, face, RGB(196, 208, 226), RGB(236, 240, 246));
    else FillGradient(dc, face, RGB(255, 255, 255), RGB(218, 224, 234));

    // A rounded border: the corners are left to the surface.
    const COLORREF border = state.disabled ? kGreyInk : state.pressed ? kInkDark : RGB(112, 132, 168);
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, border));
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 4, 4);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);

    // Three sliders: the picture of "settings".
    const int shift = state.pressed ? 1 : 0;
    const int cx = (rect.left + rect.right) / 2 + shift, cy = (rect.top + rect.bottom) / 2 + shift;
    const COLORREF rail = state.disabled ? kGreyInk : RGB(88, 88, 88);
    const COLORREF knob = state.disabled ? kGreyInk : kInk;
    const int knobAt[3] = {-2, 3, -4};
    for (int i = 0; i < 3; ++i) {
        const int ly = cy - 4 + i * 4;
        RECT line{cx - 6, ly, cx + 6, ly + 1};
        FillSolid(dc, line, rail);
        RECT k{cx + knobAt[i] - 1, ly - 1, cx + knobAt[i] + 2, ly + 2};
        FillSolid(dc, k, knob);
        Pixel(dc, k.left, k.top, MixColour(knob, RGB(255, 255, 255), 1, 2));
    }
    if (state.focused && !state.disabled) {
        RECT rim{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
        FrameSolid(dc, rim, kFocusRim);
    }
}

void DrawBulletPicture(HDC dc, const RECT& rect, const PictureState& state) {
    FillSolid(dc, rect, kSurfaceColour);
    const int d = 7;
    const int x = rect.left + (rect.right - rect.left - d) / 2, y = rect.top + (rect.bottom - rect.top - d) / 2;
    GdiObject<HBRUSH> brush(CreateSolidBrush(state.disabled ? kGreyInk : kInk));
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, state.disabled ? kGreyInk : kInkDark));
    HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    Ellipse(dc, x, y, x + d, y + d);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    Pixel(dc, x + 2, y + 2, RGB(170, 196, 236));
    if (state.focused && !state.disabled) FrameSolid(dc, rect, kFocusRim);
}

void DrawHeading(HDC dc, const RECT& rect, const std::string& text, HFONT font, COLORREF colour) {
    FillSolid(dc, rect, kSurfaceColour);
    std::string shown = text;
    while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n')) shown.pop_back();
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int line = tm.tmHeight;
    RECT textRect{rect.left, rect.bottom - line, rect.right, rect.bottom};
    RECT measured = textRect;
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &measured,
              DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &textRect,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    // A hairline from the end of the text to the right edge, at mid-height.
    const int lineLeft = measured.right + 8;
    // It fades out towards the end, as the heading ends short of the margin.
    const int ly = textRect.top + line / 2 + 1;
    for (int x = lineLeft; x < rect.right; ++x)
        Pixel(dc, x, ly, MixColour(RGB(200, 200, 200), kSurfaceColour, x - lineLeft, rect.right - lineLeft));
}

void DrawSizeGrip(HDC dc, const RECT& rect, COLORREF background) {
    FillSolid(dc, rect, background);
    // Six dots in a triangle, each a dark pixel pair with a light one below right.
    const COLORREF dark = RGB(150, 150, 150), light = RGB(255, 255, 255);
    for (int up = 0; up < 3; ++up) {
        for (int left = 0; left + up < 3; ++left) {
            const int x = rect.right - 3 - left * 4, y = rect.bottom - 3 - up * 4;
            RECT shade{x - 1, y - 1, x + 1, y + 1};
            FillSolid(dc, shade, light);
            RECT dot{x - 2, y - 2, x, y};
            FillSolid(dc, dot, dark);
        }
    }
}

}  // namespace kk
