// The list pages' check-box pictures, drawn into a memory bitmap and read
// back pixel by pixel.
#include "pages/check_pictures.h"

#include "engine/handles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kk;

namespace {

const COLORREF kPaper = RGB(1, 2, 3);

// A small canvas in a known colour.
class Canvas {
public:
    Canvas() : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        old_ = SelectObject(dc_, bitmap_.get());
        RECT all{0, 0, kSize, kSize};
        GdiObject<HBRUSH> paper(CreateSolidBrush(kPaper));
        FillRect(dc_, &all, paper.get());
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    std::vector<COLORREF> Pixels() const {
        std::vector<COLORREF> p;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) p.push_back(GetPixel(dc_, x, y));
        return p;
    }
    static constexpr int kSize = 17;  // the picture at 2, 2 and a margin

private:
    HDC dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ old_ = nullptr;
};

std::vector<COLORREF> Drawn(int member) {
    Canvas canvas;
    DrawCheckPicture(canvas.dc(), 2, 2, member);
    return canvas.Pixels();
}

bool InsideWell(int index) {
    const int x = index % Canvas::kSize - 2, y = index / Canvas::kSize - 2;
    return x >= 2 && y >= 2 && x < kCheckPictureSize - 2 && y < kCheckPictureSize - 2;
}

}  // namespace

TEST(CheckPictures, EachLookHasAnUncheckedAndACheckedPictureInItsOwnBox) {
    std::vector<std::vector<COLORREF>> unchecked;
    for (int base : {0, 10, 20}) {
        SCOPED_TRACE(base);
        const std::vector<COLORREF> off = Drawn(base), on = Drawn(base + 1);
        int covered = 0, ticked = 0;
        for (size_t i = 0; i < off.size(); ++i) {
            const int x = static_cast<int>(i) % Canvas::kSize - 2, y = static_cast<int>(i) / Canvas::kSize - 2;
            const bool inBox = x >= 0 && y >= 0 && x < kCheckPictureSize && y < kCheckPictureSize;
            // The whole box is painted and nothing outside it.
            EXPECT_EQ(off[i] != kPaper, inBox) << "pixel " << x << "," << y;
            covered += off[i] != kPaper;
            if (on[i] != off[i]) {
                ++ticked;
                EXPECT_TRUE(InsideWell(static_cast<int>(i))) << "the tick touches the rim at " << x << "," << y;
            }
        }
        EXPECT_EQ(covered, kCheckPictureSize * kCheckPictureSize);
        EXPECT_GE(ticked, 14) << "no visible tick";
        unchecked.push_back(off);
    }
    EXPECT_NE(unchecked[0], unchecked[1]);
    EXPECT_NE(unchecked[1], unchecked[2]);
    EXPECT_NE(unchecked[0], unchecked[2]);

    for (int none : {-1, 2, 9, 12, 19, 22, 31}) {
        Canvas canvas;
        EXPECT_FALSE(DrawCheckPicture(canvas.dc(), 2, 2, none)) << none;
        EXPECT_EQ(canvas.Pixels(), Canvas().Pixels()) << none << " painted something";
    }
}

TEST(CheckPictures, TheImageListHoldsEachPictureAtItsNumber) {
    UniqueImageList images = MakeCheckImages();
    ASSERT_TRUE(images);
    EXPECT_EQ(ImageList_GetImageCount(images.get()), kCheckPictureSlots);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images.get(), &cx, &cy);
    EXPECT_EQ(cx, kCheckPictureSize);
    EXPECT_EQ(cy, kCheckPictureSize);
    for (int member : {0, 1, 10, 11, 20, 21}) {
        Canvas canvas;
        ImageList_Draw(images.get(), member, canvas.dc(), 2, 2, ILD_TRANSPARENT);
        EXPECT_EQ(canvas.Pixels(), Drawn(member)) << member;
    }
    // The slots between the pairs are see-through.
    Canvas canvas;
    ImageList_Draw(images.get(), 5, canvas.dc(), 2, 2, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.Pixels(), Canvas().Pixels());
}
