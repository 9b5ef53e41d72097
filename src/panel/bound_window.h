// One object per window: the class procedure binds the object passed in
// lpCreateParams at WM_NCCREATE (before WM_CREATE, so no message is lost)
// and forwards every message to the object's OnMessage. T grants this
// procedure access with
//     friend LRESULT CALLBACK BoundWindowProc<T>(HWND, UINT, WPARAM, LPARAM);
// and keeps its handle in a member hwnd_, cleared at WM_NCDESTROY.
#pragma once
#include <windows.h>

namespace kk {

template <typename T>
LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    const LRESULT result = self->OnMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

// Registers a window class once per process; a second registration of the
// same name fails harmlessly and the first stays.
inline void RegisterBoundClass(HINSTANCE instance, const char* name, WNDPROC proc, HBRUSH background,
                               UINT style = 0) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

}  // namespace kk
