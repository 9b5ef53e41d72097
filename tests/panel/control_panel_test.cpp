// The main window, created in-process on the Xvfb display.
#include "panel/control_panel.h"

#include "app/initialize.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/control_ids.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kktest::ExpectedFor(kktest::WindowsVersion()).supported) GTEST_SKIP() << "refused on this version";
        SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", kktest::ProgramFolder());
        ASSERT_TRUE(panel.Create(GetModuleHandleA(nullptr)));
    }
    bool Start(const std::string& commandLine = "") {
        StartupContext context{panel, claim, dde, commandLine};
        return Initialize(context);
    }
    static std::string Text(HWND hwnd) {
        char buffer[256] = {};
        GetWindowTextA(hwnd, buffer, sizeof buffer);
        return buffer;
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            DispatchMessageA(&msg);
        }
    }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    ControlPanel panel;
    InstanceClaim claim;
    RestoreServer dde;
};

TEST_F(MainWindow, StartsWithItsTitleButtonsAndStyles) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(Text(panel.hwnd()), "Marrowby Kestrelkit");
    EXPECT_EQ(Text(panel.Control(kIdApply)), "&Apply");
    EXPECT_EQ(Text(panel.Control(kIdCancel)), "Cancel");
    EXPECT_EQ(Text(panel.Control(kIdAbout)), "A&bout");
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply)));  // nothing to apply yet
    EXPECT_FALSE(IsWindowVisible(panel.Control(kIdWarning)));
    LONG_PTR style = GetWindowLongPtrA(panel.hwnd(), GWL_STYLE);
    EXPECT_EQ(style & 0x000B0000, 0x000B0000);
    EXPECT_EQ(style & WS_CAPTION, 0) << "the window draws its own title band";
    EXPECT_EQ(InstallPath(), kktest::ProgramFolder());
    EXPECT_FALSE(panel.loading);
    EXPECT_EQ(panel.pixelScaleX, 15);
    EXPECT_GE(panel.borderWidth, 1);

    // 440 by 300 pixels in the middle of the screen.
    RECT r;
    GetWindowRect(panel.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 440);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 440) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 300) / 2);
}

TEST_F(MainWindow, TheChromeFollowsTheWindowsSize) {
    ASSERT_TRUE(Start());
    ShowWindow(panel.hwnd(), SW_SHOW);
    auto inClient = [&](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, panel.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    for (SIZE size : {SIZE{440, 300}, SIZE{800, 600}}) {
        SCOPED_TRACE(size.cx);
        SetWindowPos(panel.hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        Pump();
        RECT client;
        GetClientRect(panel.hwnd(), &client);
        const int w = client.right, h = client.bottom;
        const RECT logo = inClient(panel.Control(kIdLogo)), second = inClient(panel.Control(kIdLogo + 1));
        EXPECT_EQ(logo.left, 0);
        EXPECT_GT(logo.top, 15) << "room above the logo for the caption zone";
        EXPECT_EQ(second.left, w - (logo.right - logo.left));
        EXPECT_EQ(second.top, 23);

        const RECT frame = inClient(panel.ViewFrame());
        EXPECT_EQ(frame.left, 4);
        EXPECT_EQ(frame.top, logo.bottom + 4);
        EXPECT_EQ(frame.right, w - 4);
        const RECT cancel = inClient(panel.Control(kIdCancel)), apply = inClient(panel.Control(kIdApply)),
                   about = inClient(panel.Control(kIdAbout));
        EXPECT_EQ(frame.bottom - frame.top, h - (cancel.bottom - cancel.top) - (logo.bottom + 14));
        EXPECT_EQ(cancel.top, frame.bottom + 5);
        EXPECT_EQ(cancel.right, frame.right - 15) << "clear of the grip";
        EXPECT_EQ(apply.top, cancel.top);
        EXPECT_EQ(apply.right, cancel.left - 7);
        EXPECT_EQ(about.top, cancel.top);
        EXPECT_EQ(about.left, frame.left);
        EXPECT_LE(cancel.bottom, h);

        const RECT grip = inClient(panel.Control(kIdResizeHandle));
        EXPECT_TRUE(IsWindowVisible(panel.Control(kIdResizeHandle)));
        EXPECT_EQ(grip.left, w - 15);
        EXPECT_EQ(grip.top, h - 15);
        // The bottom-right corner sizes the window.
        POINT corner{w - 5, h - 5};
        ClientToScreen(panel.hwnd(), &corner);
        EXPECT_EQ(SendMessageA(panel.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);

        // The title-bar buttons 3 pixels from the top and right edges.
        const RECT strip = inClient(panel.Control(kIdTitleButtons));
        EXPECT_EQ(strip.right, w - 3);
        EXPECT_EQ(strip.top, 3);
        EXPECT_EQ(strip.right - strip.left, 53);
    }
    panel.ShowWarning("Uninstalling - please wait...");
    RECT client, warning;
    GetClientRect(panel.hwnd(), &client);
    GetWindowRect(panel.Control(kIdWarning), &warning);
    MapWindowPoints(nullptr, panel.hwnd(), reinterpret_cast<POINT*>(&warning), 2);
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

TEST_F(MainWindow, SavedMaximisedStateMaximisesOnTheFirstTick) {
    SetString(HKEY_CURRENT_USER, kSuiteKey, "MaxWindow", "1");
    ASSERT_TRUE(Start());
    ShowWindow(panel.hwnd(), SW_SHOW);
    EXPECT_FALSE(IsZoomed(panel.hwnd())) << "not before the timer";
    DWORD until = GetTickCount() + 2000;
    while (!IsZoomed(panel.hwnd()) && GetTickCount() < until) {
        Pump();
        Sleep(10);
    }
    EXPECT_TRUE(IsZoomed(panel.hwnd()));
    EXPECT_TRUE(panel.maximizeTimerTag.empty());
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

TEST_F(MainWindow, UpdateCheckModesEndWithoutAWindow) {
    _putenv("KESTRELKIT_UPDATE_SERVER=http://127.0.0.1:9/");
    EXPECT_FALSE(Start("/updatecheck"));
    EXPECT_FALSE(IsWindowVisible(panel.hwnd()));
    EXPECT_TRUE(recorder.messages.empty()) << "an automatic check stays quiet when offline";
    _putenv("KESTRELKIT_UPDATE_SERVER=");
    // The title is only set once the panel mode is settled.
    EXPECT_EQ(Text(panel.hwnd()), "");
}

}  // namespace
