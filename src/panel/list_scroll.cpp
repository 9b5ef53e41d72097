#include "panel/list_scroll.h"

#include "panel/list_layout.h"

namespace kk {

void ListScrollBar::Attach(HWND scrollBar, HWND frame, HWND surface) {
    bar_ = scrollBar;
    frame_ = frame;
    surface_ = surface;
    Sync();
}

int ListScrollBar::FrameHeight() const {
    RECT inner{};
    GetClientRect(frame_, &inner);
    return inner.bottom * scale().y;
}

void ListScrollBar::SetValue(int value) {
    if (value < -32768 || value > kMaxTwips) return;
    if (value > Max()) value = Max();
    if (value < 0) value = 0;
    value_ = value;
    Sync();
    MoveSurface();
}

void ListScrollBar::Fit(int surfaceHeight, const int* savedPosition) {
    RECT inner{}, bar{};
    GetClientRect(frame_, &inner);
    GetWindowRect(bar_, &bar);
    const int barWidth = bar.right - bar.left;
    MoveWindow(bar_, inner.right - barWidth, 0, barWidth, inner.bottom, TRUE);

    const int frameHeight = inner.bottom * scale().y;
    if (surfaceHeight <= frameHeight) {
        value_ = 0;
        enabled_ = false;
    } else {
        small_ = 6 * scale().y;
        large_ = frameHeight;
        enabled_ = true;
        max_ = surfaceHeight - frameHeight;
        if (value_ > max_) value_ = max_;  // a shorter list pulls the surface down with it
    }
    Sync();
    if (savedPosition) SetValue(*savedPosition);
    SetWindowPos(surface_, nullptr, 0, TwipsToPixels(-value_, scale().y), inner.right - barWidth,
                 TwipsToPixels(surfaceHeight, scale().y), SWP_NOZORDER | SWP_NOACTIVATE);
}

void ListScrollBar::OnScroll(int code) {
    switch (code) {
    case SB_LINEUP: SetValue(value_ - small_); break;
    case SB_LINEDOWN: SetValue(value_ + small_); break;
    case SB_PAGEUP: SetValue(value_ - large_); break;
    case SB_PAGEDOWN: SetValue(value_ + large_); break;
    case SB_TOP: SetValue(0); break;
    case SB_BOTTOM: SetValue(Max()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 16-bit position of the message would cut long lists short.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(bar_, SB_CTL, &info)) SetValue(info.nTrackPos);
        break;
    }
    }
}

void ListScrollBar::Wheel(int delta) {
    const int step = 5 * small_;
    if (delta > 0) {
        if (value_ > step) SetValue(value_ - step);
        else if (value_ != 0) SetValue(0);
    } else if (delta < 0) {
        if (value_ < Max() - step) SetValue(value_ + step);
        else if (value_ != Max()) SetValue(Max());
    }
}

void ListScrollBar::Sync() {
    if (!bar_) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (enabled_) {
        info.nMax = max_ + large_ - 1;  // the page makes max + page - 1 the last position's end
        info.nPage = static_cast<UINT>(large_);
        info.nPos = value_;
    }
    SetScrollInfo(bar_, SB_CTL, &info, TRUE);
    if ((IsWindowEnabled(bar_) != FALSE) != enabled_) EnableWindow(bar_, enabled_);
}

void ListScrollBar::MoveSurface() {
    if (!surface_) return;
    SetWindowPos(surface_, nullptr, 0, TwipsToPixels(-value_, scale().y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kk
