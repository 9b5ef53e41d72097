#include "pages/drawn_images.h"

namespace kk {

UniqueImageList DrawImageList(int size, int count, const PictureDrawer& draw) {
    return DrawImageList(size, size, count, draw);
}

UniqueImageList DrawImageList(int width, int height, int count, const PictureDrawer& draw) {
    UniqueImageList list(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0));
    if (!list) return list;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    GdiObject<HBRUSH> key(CreateSolidBrush(kTransparentKey));
    for (int i = 0; i < count; ++i) {
        GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen, width, height));
        HGDIOBJ old = SelectObject(dc, bitmap.get());
        RECT r{0, 0, width, height};
        FillRect(dc, &r, key.get());
        draw(dc, r, i);
        SelectObject(dc, old);
        ImageList_AddMasked(list.get(), bitmap.get(), kTransparentKey);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return list;
}

}  // namespace kk
