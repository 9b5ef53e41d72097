// A child window that only shows a picture (the logo images, the resize
// grip). It is transparent to the mouse's hit test, so the main window
// decides what a press there does (move the window, size it).
#pragma once
#include <windows.h>

#include "panel/bound_window.h"

#include <functional>

namespace kk {

inline constexpr char kPictureClass[] = "KestrelkitPicture";

class PictureWindow {
public:
    using Painter = std::function<void(HDC dc, const RECT& client)>;

    PictureWindow() = default;
    PictureWindow(const PictureWindow&) = delete;
    PictureWindow& operator=(const PictureWindow&) = delete;

    bool Create(HWND parent, int id, int left, int top, int width, int height, Painter painter);
    HWND hwnd() const { return hwnd_; }

private:
    template <typename T>
    friend LRESULT CALLBACK BoundWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    Painter painter_;
};

}  // namespace kk
