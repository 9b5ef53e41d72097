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

TEST_F(MainWindow, ButtonsStayInsideTheWindowWhenItGrows) {
    ASSERT_TRUE(Start());
    ShowWindow(panel.hwnd(), SW_SHOW);
    SetWindowPos(panel.hwnd(), nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT client, cancel, apply, about;
    GetClientRect(panel.hwnd(), &client);
    auto inClient = [&](int id, RECT& r) {
        GetWindowRect(panel.Control(id), &r);
        MapWindowPoints(nullptr, panel.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    };
    inClient(kIdCancel, cancel);
    inClient(kIdApply, apply);
    inClient(kIdAbout, about);
    EXPECT_LE(cancel.right, client.right);
    EXPECT_GE(cancel.right, client.right - 16);
    EXPECT_LE(cancel.bottom, client.bottom);
    EXPECT_GE(cancel.bottom, client.bottom - 16);
    EXPECT_LT(apply.right, cancel.left) << "Apply sits left of Cancel without overlap";
    EXPECT_EQ(apply.top, cancel.top);
    EXPECT_LT(about.right, apply.left);
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
