// The list layout and scrolling on the real surface: the row at the top of the view kept in place across a relayout,
// the 16-bit limit, the saved position, the mouse wheel and the thumb.
#include "engine/catalogue.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/list_layout.h"
#include "panel/panel_fixture.h"

using namespace kk;
using kktest::PanelTest;

namespace {

// Where the surface lies inside its frame, in pixels.
int SurfaceTop(HWND view) {
    RECT r{};
    GetWindowRect(view, &r);
    MapWindowPoints(nullptr, GetParent(view), reinterpret_cast<POINT*>(&r), 2);
    return r.top;
}

class ListLayout : public PanelTest {};

TEST_F(ListLayout, AShortListDisablesTheScrollBar) {
    // Withdraw every fixed row but the first heading and the first tool.
    for (int p = 3; p <= kFixedRowCount; ++p)
        SetString(HKEY_CURRENT_USER, "SOFTWARE\\Marrowby\\Kestrelkit\\debug", std::to_string(GetToolInfo(p).toolId), "1");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "ScrollPos", "1500");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(panel.scrollBar().Enabled());
    EXPECT_FALSE(IsWindowEnabled(panel.ScrollBar()));
    EXPECT_EQ(panel.scrollBar().Value(), 0) << "nothing to scroll, whatever was saved";
    EXPECT_EQ(SurfaceTop(panel.View()), 0);
    SendMessageA(panel.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(panel.scrollBar().Value(), 0);
}

TEST_F(ListLayout, TheWheelStepsThirtyPixelsAResizeKeepsTheTopRowInPlaceAndTheThumbMovesTheListAsItGoes) {
    ASSERT_TRUE(Start());
    ListScrollBar& bar = panel.scrollBar();
    ASSERT_GT(bar.Max(), 5000);
    HWND window = panel.hwnd(), box = RowControl(kFamilyCheckBox, 101);
    const int max = bar.Max();
    // from: the value set first (-1: as it is); expected -1: the largest value.
    const struct { HWND target; int from, delta, expected; } cases[] = {
        {window, -1, -120, 450}, {window, -1, -480, 900},  // one message, one step, however far it turned
        {window, -1, 0, 900},    {box, -1, -120, 1350},    // from a row's switch the wheel reaches the window
        {window, 200, 120, 0},   {window, -1, 120, 0},     // stops exactly at the top
        {window, max - 100, -120, max}, {window, -1, -120, max},
    };
    for (const auto& c : cases) {
        if (c.from >= 0) bar.SetValue(c.from);
        SendMessageA(c.target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(c.delta))), 0);
        EXPECT_EQ(bar.Value(), c.expected) << c.from << " " << c.delta;
        EXPECT_EQ(SurfaceTop(panel.View()), -MulDiv(c.expected, 1, 15));
    }

    // The row at the top of the view stays there after a resize; at the very top nothing is anchored.
    bar.SetValue(0);
    Resize(760, 500);
    EXPECT_EQ(panel.AnchorRow(), -1);
    Resize(700, 500);
    EXPECT_EQ(bar.Value(), 0);

    bar.SetValue(bar.Max() / 2);
    const int anchor = panel.AnchorRow();
    ASSERT_GT(anchor, 0);
    const int before = OnScreen(RowControl(kFamilyCaptionTitle, anchor)).top;
    const int valueBefore = bar.Value();
    Resize(480, 500);  // narrower: rows above the anchor grow
    EXPECT_GT(bar.Value(), valueBefore);
    EXPECT_NEAR(OnScreen(RowControl(kFamilyCaptionTitle, anchor)).top, before, 1);
    EXPECT_EQ(panel.AnchorRow(), anchor);

    bar.SetValue(0);
    SetWindowPos(panel.hwnd(), HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
    BringToFront();
    const RECT track = OnScreen(panel.ScrollBar());
    const POINT grab{(track.left + track.right) / 2, track.top + GetSystemMetrics(SM_CYVSCROLL) + 3};
    // The bar tracks the drag in a loop of its own: the surface is read while the button is still down, once it lies
    // where the value puts it.
    int top = 0, value = 0;
    Drag(grab, {grab.x, grab.y + 40}, [&](const GUITHREADINFO& gui) { return gui.hwndCapture == panel.ScrollBar(); },
         [&] {
             top = SurfaceTop(panel.View()), value = bar.Value();
             return top < -100 && top == -MulDiv(value, 1, 15);
         });
    EXPECT_LT(top, -100) << "the surface followed the thumb before the button was released";
    EXPECT_EQ(top, -MulDiv(value, 1, 15));
}

TEST_F(ListLayout, The16BitLimitStopsTheRowsInsteadOfWrappingAround) {
    ASSERT_TRUE(Start());
    // Descriptions three thousand twips tall: the list outgrows 16 bits.
    const int height = StackRows(panel.list(), 6000, panel.Scale(), [](HWND, int) { return 3000; });
    EXPECT_TRUE(height == -1 || height <= kMaxTwips) << height;
    int last = 0, piled = 0;
    for (const ToolRow& row : panel.list().Rows()) {
        EXPECT_GE(row.caption.top, last) << row.toolId << " went back up";
        EXPECT_LE(row.caption.top, kMaxTwips) << row.toolId;
        piled += row.caption.top == last;
        last = row.caption.top;
    }
    EXPECT_GT(last, kMaxTwips - 3060 - 300) << "the rows went as far as 16 bits allow";
    EXPECT_GT(piled, 10) << "the rows past the limit stay at the last place";
}

// The saved value and where the list opens (-1: at the end).
class SavedScroll : public PanelTest, public ::testing::WithParamInterface<std::pair<const char*, int>> {};

TEST_P(SavedScroll, TheListOpensWhereItWasLeft) {
    SetString(HKEY_CURRENT_USER, kSuiteKey, "ScrollPos", GetParam().first);
    ASSERT_TRUE(Start());
    const int expected = GetParam().second < 0 ? panel.scrollBar().Max() : GetParam().second;
    ASSERT_LT(panel.scrollBar().Max(), 30000) << "the larger case must lie beyond the end";
    EXPECT_EQ(panel.scrollBar().Value(), expected);
    EXPECT_EQ(SurfaceTop(panel.View()), -MulDiv(expected, 1, 15));
    // Only the start-up applies it: a later relayout leaves the user's place.
    panel.scrollBar().SetValue(0);
    Resize(520, 340);
    EXPECT_EQ(panel.scrollBar().Value(), 0);
}

INSTANTIATE_TEST_SUITE_P(Positions, SavedScroll,
                         ::testing::Values(std::pair{"1500", 1500}, std::pair{"30000", -1},
                                           std::pair{"99999", 0},  // beyond 16 bits: skipped
                                           std::pair{"not a number", 0}, std::pair{"-300", 0}));

}  // namespace
