// The main window, created in-process on the Xvfb display.
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/panel_fixture.h"
#include "support/test_env.h"

using namespace kk;
using kktest::PanelTest;

namespace {

class MainWindow : public PanelTest {
protected:
    RECT InClient(HWND control) const {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, panel.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

TEST_F(MainWindow, StartsCentredAtItsDefaultSizeWithNothingToApply) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply)));
    EXPECT_FALSE(IsWindowVisible(panel.Control(kIdWarning)));
    RECT r;
    GetWindowRect(panel.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 440);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 440) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 300) / 2);
}

// The chrome follows the window's size: everything stays inside the client
// area, the buttons stay on one line under the list without overlapping,
// and what belongs to the right edge moves with it.
TEST_F(MainWindow, TheChromeFollowsTheWindowsSize) {
    ASSERT_TRUE(Start());
    for (SIZE size : {SIZE{440, 300}, SIZE{800, 600}}) {
        SCOPED_TRACE(size.cx);
        Resize(size.cx, size.cy);
        RECT client;
        GetClientRect(panel.hwnd(), &client);
        const int w = client.right, h = client.bottom;
        const RECT logo = InClient(panel.Control(kIdLogo)), frame = InClient(panel.ViewFrame());
        const RECT cancel = InClient(panel.Control(kIdCancel)), apply = InClient(panel.Control(kIdApply)),
                   about = InClient(panel.Control(kIdAbout)), grip = InClient(panel.Control(kIdResizeHandle)),
                   strip = InClient(panel.Control(kIdTitleButtons));
        EXPECT_EQ(InClient(panel.Control(kIdLogo + 1)).right, w) << "the second logo part ends at the right edge";
        EXPECT_GE(frame.top, logo.bottom);
        EXPECT_GT(frame.right, w - 10);
        EXPECT_EQ(apply.top, cancel.top);
        EXPECT_EQ(about.top, cancel.top);
        EXPECT_GT(cancel.top, frame.bottom);
        EXPECT_LE(cancel.bottom, h);
        EXPECT_LT(about.right, apply.left);
        EXPECT_LT(apply.right, cancel.left);
        EXPECT_LE(cancel.right, grip.left) << "clear of the grip";
        EXPECT_TRUE(IsWindowVisible(panel.Control(kIdResizeHandle)));
        EXPECT_EQ(grip.right, w);
        EXPECT_EQ(grip.bottom, h);
        EXPECT_GT(strip.right, w - 10);
        EXPECT_LT(strip.top, logo.top) << "the title-bar buttons sit in the caption band";
    }
    panel.ShowWarning("Uninstalling - please wait...");
    RECT client;
    GetClientRect(panel.hwnd(), &client);
    const RECT warning = InClient(panel.Control(kIdWarning));
    EXPECT_EQ(warning.left, (client.right - (warning.right - warning.left)) / 2);
    EXPECT_EQ(warning.top, (client.bottom - (warning.bottom - warning.top)) / 2);
}

TEST_F(MainWindow, LowColourDisplaysGetAGreyFocusMarker) {
    SetString(HKEY_CURRENT_CONFIG, "Display\\Settings", "BitsPerPixel", "32");
    ASSERT_TRUE(Start());
    EXPECT_NE(panel.focusBarColour, RGB(192, 192, 192));

    ControlPanel second;
    ASSERT_TRUE(second.Create(GetModuleHandleA(nullptr)));
    SetString(HKEY_CURRENT_CONFIG, "Display\\Settings", "BitsPerPixel", "8");
    InstanceClaim otherClaim;
    dde.Stop();
    claim = InstanceClaim();  // release, so the second start is not a hand-over
    StartupContext context{second, otherClaim, dde, ""};
    ASSERT_TRUE(Initialize(context));
    EXPECT_EQ(second.focusBarColour, RGB(192, 192, 192));
}

TEST_F(MainWindow, VistaGetsSegoeUi) {
    ASSERT_TRUE(Start());
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(panel.Control(kIdApply), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    if (kktest::WindowsVersion() == "vista")
        EXPECT_STREQ(lf.lfFaceName, "Segoe UI");
    else
        EXPECT_STRNE(lf.lfFaceName, "Segoe UI");
}

}  // namespace
