#include "panel/picture_window.h"

#include "panel/paint.h"

namespace kk {

bool PictureWindow::Create(HWND parent, int id, int left, int top, int width, int height, Painter painter) {
    painter_ = std::move(painter);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    RegisterBoundClass(instance, kPictureClass, BoundWindowProc<PictureWindow>, nullptr);
    CreateWindowExA(0, kPictureClass, "", WS_CHILD | WS_VISIBLE, left, top, width, height, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
}

LRESULT PictureWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return 1;  // the painter covers every pixel
    case WM_PAINT:
    case WM_PRINTCLIENT:
        PaintMessage(hwnd_, msg, wp, [this](HDC dc) {
            RECT client;
            GetClientRect(hwnd_, &client);
            if (painter_) painter_(dc, client);
        });
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace kk
