// The list pages' check-box pictures, drawn into a memory bitmap and read
// back pixel by pixel, and which look the system and its theme choose.
#include "pages/check_pictures.h"

#include "engine/handles.h"
#include "engine/registry.h"
#include "pages/settings_dialog.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace kk;

namespace {

const COLORREF kPaper = RGB(1, 2, 3);
constexpr int kCanvas = 17;  // the picture at 2, 2 and a margin

// The pixels, row by row, of a small canvas in a known colour after draw has painted on it.
std::vector<COLORREF> Painted(const std::function<void(HDC)>& draw) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kCanvas;
    info.bmiHeader.biHeight = -kCanvas;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    const RECT all{0, 0, kCanvas, kCanvas};
    GdiObject<HBRUSH> paper(CreateSolidBrush(kPaper));
    FillRect(dc, &all, paper.get());
    draw(dc);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kCanvas; ++y)
        for (int x = 0; x < kCanvas; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

std::vector<COLORREF> Drawn(int member) {
    return Painted([&](HDC dc) { DrawCheckPicture(dc, 2, 2, member); });
}
const std::vector<COLORREF> kBlank(kCanvas * kCanvas, kPaper);

TEST(CheckPictures, EachLookHasAnUncheckedAndACheckedPictureInItsOwnBox) {
    std::vector<std::vector<COLORREF>> unchecked;
    for (int base : {0, 10, 20}) {
        SCOPED_TRACE(base);
        const std::vector<COLORREF> off = Drawn(base), on = Drawn(base + 1);
        int ticked = 0;
        for (size_t i = 0; i < off.size(); ++i) {
            const int x = static_cast<int>(i) % kCanvas - 2, y = static_cast<int>(i) / kCanvas - 2;
            // The whole box is painted and nothing outside it; the tick stays off the rim.
            EXPECT_EQ(off[i] != kPaper, x >= 0 && y >= 0 && x < kCheckPictureSize && y < kCheckPictureSize)
                << "pixel " << x << "," << y;
            if (on[i] == off[i]) continue;
            ++ticked;
            EXPECT_TRUE(x >= 2 && y >= 2 && x < kCheckPictureSize - 2 && y < kCheckPictureSize - 2)
                << "the tick touches the rim at " << x << "," << y;
        }
        EXPECT_GE(ticked, 14) << "no visible tick";
        unchecked.push_back(off);
    }
    EXPECT_TRUE(unchecked[0] != unchecked[1] && unchecked[1] != unchecked[2] && unchecked[0] != unchecked[2])
        << "the three looks are alike";

    for (int none : {-1, 2, 9, 12, 19, 22}) {
        bool drawn = true;
        EXPECT_EQ(Painted([&](HDC dc) { drawn = DrawCheckPicture(dc, 2, 2, none); }), kBlank) << none << " painted";
        EXPECT_FALSE(drawn) << none;
    }
}

TEST(CheckPictures, TheLookFollowsTheSystemAndItsTheme) {
    kktest::ScratchRegistry scratch;
    const std::string version = kktest::WindowsVersion();
    EXPECT_EQ(CheckImageBase(), 0) << "no theme: the classic pictures";
    SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", "ThemeActive", "1");
    EXPECT_EQ(CheckImageBase(), version == "vista" ? 20 : (version == "winxp" || version == "win2003") ? 10 : 0);
}

}  // namespace
