#include "panel/title_buttons.h"

#include "engine/handles.h"
#include "panel/artwork.h"
#include "panel/paint.h"
#include "panel/control_panel.h"

#include <windowsx.h>

namespace kk {
namespace {

// The left edge of each button in the strip.
int LeftOf(TitleButtons::Button button) {
    switch (button) {
    case TitleButtons::kMinimise: return 0;
    case TitleButtons::kMaximise: return 15;
    case TitleButtons::kClose: return 38;
    default: return -1;
    }
}

bool InStrip(int y) { return y >= 0 && y <= 15; }

}  // namespace

bool TitleButtons::Create(ControlPanel& panel, int id, int bandHeight) {
    panel_ = &panel;
    bandHeight_ = bandHeight;
    HWND parent = panel.hwnd();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    RegisterBoundClass(instance, kTitleButtonsClass, BoundWindowProc<TitleButtons>, nullptr);
    CreateWindowExA(0, kTitleButtonsClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, kTitleButtonsInset,
                    kTitleButtonsWidth, kTitleButtonsHeight, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
}

TitleButtons::Button TitleButtons::ZoneAt(int x, int y) {
    if (!InStrip(y)) return kNone;
    if (x >= 0 && x <= 14) return kMinimise;
    if (x >= 15 && x <= 29) return kMaximise;
    if (x >= 38 && x <= 52) return kClose;
    return kNone;
}

int TitleButtons::DrawnOver(Button button) const { return button >= kMinimise && button <= kClose ? drawn_[button] : 0; }

bool TitleButtons::Maximised() const { return panel_ && IsZoomed(panel_->hwnd()); }

void TitleButtons::Draw(Button at, int member) {
    drawn_[at] = member;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TitleButtons::Clear() {
    drawn_[kMinimise] = drawn_[kMaximise] = drawn_[kClose] = 0;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TitleButtons::ShowNormal() {
    Clear();
    if (Maximised()) Draw(kMaximise, kGlyphRestore);
}

TitleButtons::Button TitleButtons::DrawPressed(int x, int y) {
    const Button zone = ZoneAt(x, y);
    switch (zone) {
    case kMinimise: Draw(kMinimise, kGlyphMinimisePressed); break;
    case kMaximise: Draw(kMaximise, Maximised() ? kGlyphRestorePressed : kGlyphMaximisePressed); break;
    case kClose: Draw(kClose, kGlyphClosePressed); break;
    default: ShowNormal(); break;
    }
    return zone;
}

void TitleButtons::ButtonDown(bool left, int x, int y) {
    if (!left || !InStrip(y)) return;
    const Button zone = DrawPressed(x, y);
    if (zone != kNone) pressed_ = zone;  // a press between the buttons keeps the last one
}

void TitleButtons::Move(bool leftHeld, int x, int y) {
    ShowNormal();
    // The pressed glyph follows the pointer, but the press stays with the
    // button it began on: only a release there acts.
    if (leftHeld && InStrip(y)) DrawPressed(x, y);
}

void TitleButtons::ButtonUp(bool left, int x, int y) {
    ShowNormal();
    if (Maximised() && panel_) panel_->RestartResizePause();
    if (!left || !InStrip(y) || !panel_) return;
    const Button zone = ZoneAt(x, y);
    if (zone == kNone || zone != pressed_) return;  // released elsewhere: the press is abandoned
    HWND window = panel_->hwnd();
    switch (zone) {
    case kMinimise:
        ShowWindow(window, SW_MINIMIZE);
        break;
    case kMaximise:
        if (!IsZoomed(window)) {
            panel_->RefreshWorkArea();
            ShowWindow(window, SW_MAXIMIZE);
            Draw(kMaximise, kGlyphRestore);
        } else {
            ShowWindow(window, SW_RESTORE);
            Clear();
        }
        break;
    case kClose:
        panel_->Cancel();  // may destroy the window and this strip with it
        break;
    default:
        break;
    }
}

void TitleButtons::Paint(HDC dc) {
    for (Button b : {kMinimise, kMaximise, kClose}) {
        const int member = drawn_[b] ? drawn_[b] : b - 1;  // kGlyphMinimise, kGlyphMaximise, kGlyphClose
        DrawTitleGlyph(dc, LeftOf(b), 0, member, kTitleButtonsInset, bandHeight_);
    }
    // The gap between maximise and close shows the band.
    RECT gap{30, 0, 38, kTitleButtonsHeight};
    DrawHeadBand(dc, gap, kTitleButtonsInset, bandHeight_);
}

LRESULT TitleButtons::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // Like any picture box, the strip takes the focus on a click (the
        // main window hands it straight back to the list) and keeps the
        // mouse until the button is released.
        SetFocus(hwnd_);
        SetCapture(hwnd_);
        ButtonDown(true, x, y);
        return 0;
    case WM_MOUSEMOVE:
        Move((wp & MK_LBUTTON) != 0, x, y);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) ReleaseCapture();
        ButtonUp(true, x, y);
        return 0;
    case WM_SETFOCUS:
        if (panel_) PostMessageA(panel_->hwnd(), kMsgTitleButtonsFocused, 0, 0);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        PaintMessage(hwnd_, msg, wp, [this](HDC dc) { Paint(dc); });
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace kk
