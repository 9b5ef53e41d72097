// The main window, created in-process on the Xvfb display.
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/panel_fixture.h"
#include "support/test_env.h"

using namespace kk;
using kktest::PanelTest;

namespace {

class MainWindow : public PanelTest {};

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
