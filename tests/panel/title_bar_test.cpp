// The window's own title bar and frame, worked with real mouse input: the hit test that lets the system move and size
// the window, and the title-bar buttons that act only when released where they were pressed.
#include "panel/artwork.h"
#include "panel/panel_fixture.h"

using namespace kk;
using kktest::PanelTest;

namespace {

class TitleBar : public PanelTest {
protected:
    // A client position of the main window on the screen, as the hit test counts it: from the window's outer corner
    // plus the frame's width.
    POINT Screen(int x, int y) const {
        RECT outer;
        GetWindowRect(panel.hwnd(), &outer);
        return POINT{outer.left + panel.borderWidth + x, outer.top + panel.borderWidth + y};
    }
    LRESULT Hit(int x, int y) const {
        const POINT p = Screen(x, y);
        return SendMessageA(panel.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
    SIZE Client() const {
        RECT r{};
        return GetClientRect(panel.hwnd(), &r), SIZE{r.right, r.bottom};
    }
    // A point of the title-bar strip on the screen.
    POINT Strip(int x, int y) const {
        RECT r;
        GetWindowRect(panel.Control(kIdTitleButtons), &r);
        return POINT{r.left + x, r.top + y};
    }
    void Press(POINT at, bool down = true) {
        MouseTo(at);
        MouseButton(down);
    }
    void Release(POINT at) { Press(at, false); }
    void Click(POINT at) { Press(at), Release(at); }
};

TEST_F(TitleBar, TheHitTestMovesAndSizesTheWindowDownToTheMinimumAndAButtonActsOnlyWhenReleasedWhereItWasPressed) {
    ASSERT_TRUE(Start());
    SetWindowPos(panel.hwnd(), nullptr, 100, 100, 600, 450, SWP_NOZORDER);
    Pump();
    BringToFront();
    const SIZE c = Client();
    Drag(Screen(c.cx - 5, c.cy - 5), Screen(c.cx - 105, c.cy - 55));
    RECT r = OnScreen(panel.hwnd());
    EXPECT_EQ(r.left, 100) << "sized from the bottom-right corner";
    EXPECT_EQ(std::make_pair(r.right - r.left, r.bottom - r.top), std::make_pair(500L, 400L));
    // Far past the minimum: it stops at 440 x 300.
    const SIZE now = Client();
    Drag(Screen(now.cx - 5, now.cy - 5), Screen(now.cx - 400, now.cy - 300));
    r = OnScreen(panel.hwnd());
    EXPECT_EQ(std::make_pair(r.right - r.left, r.bottom - r.top), std::make_pair(440L, 300L));

    Resize(600, 400);
    const int w = Client().cx, h = Client().cy;
    RECT logo;
    GetWindowRect(panel.Control(kIdLogo), &logo);
    MapWindowPoints(nullptr, panel.hwnd(), reinterpret_cast<POINT*>(&logo), 2);
    ASSERT_GT(logo.top, 1);

    const struct { int x, y; LRESULT expected; } cases[] = {
        {100, 0, HTCAPTION}, {100, logo.top - 1, HTCAPTION},
        {100, logo.top, HTCLIENT},  // the logo band itself does not move the window
        {w - 30, 8, HTCLIENT},      // the title-bar buttons are not caption
        {-2, -2, HTTOPLEFT}, {14, -1, HTTOPLEFT}, {15, -1, HTTOP},  // the corner reaches 15 pixels along the top
        {w - 14, -1, HTTOPRIGHT}, {w + 1, -2, HTTOPRIGHT}, {-1, h - 14, HTBOTTOMLEFT}, {14, h + 1, HTBOTTOMLEFT},
        {w - 5, h - 5, HTBOTTOMRIGHT},  // the grip inside the client area
        {w + 1, h - 14, HTBOTTOMRIGHT}, {100, h + 1, HTBOTTOM}, {-1, 100, HTLEFT}, {w + 1, 100, HTRIGHT},
        {100, 100, HTCLIENT},
    };
    for (const auto& k : cases) EXPECT_EQ(Hit(k.x, k.y), k.expected) << "at " << k.x << "," << k.y;
    // Maximised, nothing sizes the window; the caption still answers.
    ShowWindow(panel.hwnd(), SW_MAXIMIZE);
    Pump();
    const SIZE m = Client();
    EXPECT_EQ(Hit(m.cx - 5, m.cy - 5), HTCLIENT);
    EXPECT_EQ(Hit(-1, 100), HTCLIENT);
    EXPECT_EQ(Hit(100, 5), HTCAPTION);

    // A title-bar button acts only when released where it was pressed, and leaves the focus on the list or on Cancel.
    ShowWindow(panel.hwnd(), SW_RESTORE);
    BringToFront();
    TitleButtons& strip = panel.titleButtons();
    SetFocus(panel.Control(kIdAbout));
    panel.focusedToolId = -1;
    Click(Strip(33, 7));  // between the buttons: no button, but the strip takes the click
    EXPECT_EQ(GetFocus(), panel.Control(kIdCancel)) << "no row had the focus";
    SetFocus(RowControl(kFamilyCheckBox, 104));
    Click(Strip(33, 7));
    EXPECT_EQ(GetFocus(), RowControl(kFamilyCheckBox, 104));
    // Close pressed, moved off and released: nothing happens.
    Press(Strip(45, 7));
    EXPECT_EQ(strip.DrawnOver(TitleButtons::kClose), kGlyphClosePressed);
    MouseTo(Strip(45, 40));
    EXPECT_EQ(strip.DrawnOver(TitleButtons::kClose), 0) << "the pressed glyph leaves with the pointer";
    Release(Strip(45, 40));
    ASSERT_NE(panel.hwnd(), nullptr);
    // Minimise pressed, released over maximise: nothing either.
    Press(Strip(7, 7));
    EXPECT_EQ(strip.Pressed(), TitleButtons::kMinimise);
    MouseTo(Strip(22, 7));
    EXPECT_EQ(strip.DrawnOver(TitleButtons::kMaximise), kGlyphMaximisePressed) << "the glyph follows the pointer";
    Release(Strip(22, 7));
    EXPECT_FALSE(IsIconic(panel.hwnd()));
    EXPECT_FALSE(IsZoomed(panel.hwnd()));
    // Maximise, then restore from the same button.
    Click(Strip(22, 7));
    EXPECT_TRUE(IsZoomed(panel.hwnd()));
    EXPECT_EQ(strip.DrawnOver(TitleButtons::kMaximise), kGlyphRestore);
    Press(Strip(22, 7));
    EXPECT_EQ(strip.DrawnOver(TitleButtons::kMaximise), kGlyphRestorePressed);
    Release(Strip(22, 7));
    EXPECT_FALSE(IsZoomed(panel.hwnd()));
    EXPECT_EQ(strip.DrawnOver(TitleButtons::kMaximise), 0);

    Click(Strip(7, 7));
    EXPECT_TRUE(IsIconic(panel.hwnd()));
    ShowWindow(panel.hwnd(), SW_RESTORE);
    BringToFront();
    // Close pressed, moved off and back on before the release: it closes (nothing is pending, so without a question).
    Press(Strip(45, 7));
    MouseTo(Strip(45, 40));
    MouseTo(Strip(45, 7));
    Release(Strip(45, 7));
    EXPECT_EQ(panel.hwnd(), nullptr);
    EXPECT_TRUE(recorder.messages.empty());
}

}  // namespace
