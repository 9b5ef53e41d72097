// Image lists made from pictures the program draws itself.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "engine/handles.h"

namespace kk {

struct ImageListTraits {
    static HIMAGELIST invalid() { return nullptr; }
    static bool valid(HIMAGELIST h) { return h != nullptr; }
    static void close(HIMAGELIST h) { ImageList_Destroy(h); }
};
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;

struct IconTraits {
    static HICON invalid() { return nullptr; }
    static bool valid(HICON h) { return h != nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
using UniqueIcon = UniqueHandle<HICON, IconTraits>;

// An image list of count pictures of the given size (square when one size
// is given); draw paints picture i into the rectangle it is given. Pixels
// left in the key colour (which draw finds already filled in) are
// transparent.
using PictureDrawer = std::function<void(HDC dc, const RECT& rect, int index)>;
inline constexpr COLORREF kTransparentKey = RGB(255, 0, 255);
UniqueImageList DrawImageList(int size, int count, const PictureDrawer& draw);
// The same with pictures wider than they are high.
UniqueImageList DrawImageList(int width, int height, int count, const PictureDrawer& draw);

}  // namespace kk
