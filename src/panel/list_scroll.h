// The list's scroll bar. Its value is how far, in twips, the surface is
// moved up inside the frame: the surface's top is always -value. Every
// change of the value, from the user or from code, moves the surface.
#pragma once
#include <windows.h>

#include "panel/tool_list.h"

namespace kk {

class ListScrollBar {
public:
    // The scale is read through these references: start-up sets it late.
    ListScrollBar(const int& scaleX, const int& scaleY) : scaleX_(scaleX), scaleY_(scaleY) {}
    ListScrollBar(const ListScrollBar&) = delete;
    ListScrollBar& operator=(const ListScrollBar&) = delete;

    void Attach(HWND scrollBar, HWND frame, HWND surface);
    HWND hwnd() const { return bar_; }

    int Value() const { return value_; }
    int Max() const { return enabled_ ? max_ : 0; }
    bool Enabled() const { return enabled_; }
    int SmallChange() const { return small_; }
    int LargeChange() const { return large_; }

    // Clamps to 0..max and moves the surface; a value beyond 16 bits is ignored.
    void SetValue(int value);

    // Fits the bar to the frame and to a surface of surfaceHeight twips:
    // the bar along the frame's right edge, disabled at 0 when everything
    // fits, otherwise 6-pixel small steps and one-frame large steps; then
    // the saved position if one is given, and the surface placed under it.
    void Fit(int surfaceHeight, const int* savedPosition);

    // A scroll bar notification (WM_VSCROLL code), the thumb's live
    // dragging included.
    void OnScroll(int code);

    // One wheel message of distance delta (120 a notch): one step of five
    // small changes, stopping exactly at either end.
    void Wheel(int delta);

    // The frame's inner height in twips.
    int FrameHeight() const;

private:
    void Sync();
    void MoveSurface();

    PixelScale scale() const { return {scaleX_, scaleY_}; }

    const int& scaleX_;
    const int& scaleY_;
    HWND bar_ = nullptr, frame_ = nullptr, surface_ = nullptr;
    int value_ = 0, max_ = 0, small_ = 0, large_ = 0;
    bool enabled_ = false;
};

}  // namespace kk
