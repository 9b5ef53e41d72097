#include "pages/drawn_images.h"

namespace kk {

UniqueImageList DrawImageList(int size, int count, const PictureDrawer& draw) {
    return DrawImageList(size, size, count, draw);
}

UniqueImageList DrawImageList(int width, int height, int count, const PictureDrawer& draw) {
    UniqueImageList list(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0));
    if (!list) return list;
    HDC dc = CreateCompatibleDC(nullptr);
    GdiObject<HBRUSH> key(CreateSolidBrush(kTransparentKey));
    // A DIB section: the pictures are drawn pixel by pixel, which in memory
    // costs nothing, where a screen bitmap may cost a round trip per pixel.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    for (int i = 0; i < count; ++i) {
        void* bits = nullptr;
        GdiObject<HBITMAP> bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap) break;  // later pictures would land at the wrong index
        HGDIOBJ old = SelectObject(dc, bitmap.get());
        RECT r{0, 0, width, height};
        FillRect(dc, &r, key.get());
        draw(dc, r, i);
        SelectObject(dc, old);
        ImageList_AddMasked(list.get(), bitmap.get(), kTransparentKey);
    }
    DeleteDC(dc);
    return list;
}

}  // namespace kk
