#include "panel/paint.h"

#include "engine/handles.h"

namespace kk {

COLORREF MixColour(COLORREF a, COLORREF b, int num, int den) {
    auto ch = [&](int ca, int cb) { return ca + (cb - ca) * num / (den > 0 ? den : 1); };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

void FillGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
    const int h = r.bottom - r.top;
    for (int y = 0; y < h; ++y) {
        RECT line{r.left, r.top + y, r.right, r.top + y + 1};
        FillSolid(dc, line, MixColour(top, bottom, y, h > 1 ? h - 1 : 1));
    }
}

void FrameSolid(HDC dc, const RECT& r, COLORREF colour) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    FrameRect(dc, &r, brush.get());
}

MemoryImage::MemoryImage(HDC screen, const RECT& area)
    : screen_(screen), area_(area), dc_(CreateCompatibleDC(screen)) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (dc_ && width > 0 && height > 0) bitmap_.reset(CreateCompatibleBitmap(screen, width, height));
    if (!bitmap_) return;
    old_ = SelectObject(dc_.get(), bitmap_.get());
    SetWindowOrgEx(dc_.get(), area.left, area.top, nullptr);
}

MemoryImage::~MemoryImage() {
    if (old_) SelectObject(dc_.get(), old_);
}

void MemoryImage::Show() const {
    if (old_)
        BitBlt(screen_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, dc_.get(),
               area_.left, area_.top, SRCCOPY);
}

SIZE ControlTextSize(HWND control, const std::string& text, UINT format, int wrapWidth) {
    // A memory DC of the screen measures as the control's own DC would (the
    // same device and font); under Wine a window's DC costs about 0.3 ms to
    // get and give back, and a layout measures every description.
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return SIZE{0, 0};
    HGDIOBJ old = SelectObject(dc.get(), reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, wrapWidth, 0};
    if (wrapWidth > 0) format |= DT_WORDBREAK;
    DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
    SelectObject(dc.get(), old);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace kk
