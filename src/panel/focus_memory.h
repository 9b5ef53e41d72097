// The control that had the keyboard focus when a window was deactivated,
// focused again when the window is activated: closing a message box or a
// dialog over the window would otherwise leave the focus on the window
// itself, where no control hears the keyboard.
#pragma once
#include <windows.h>

namespace kk {

class FocusMemory {
public:
    // WM_ACTIVATE of window; true when the focus was given back, and the
    // message is then answered without the default handling.
    bool OnActivate(HWND window, WPARAM wp) {
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window, focus)) saved_ = focus;
            return false;
        }
        if (!saved_ || !IsWindow(saved_) || !IsChild(window, saved_) || !IsWindowVisible(saved_) ||
            !IsWindowEnabled(saved_))
            return false;
        SetFocus(saved_);
        return true;
    }

private:
    HWND saved_ = nullptr;
};

}  // namespace kk
