// Starting Control Panel.exe as its own process: which systems and
// installations it refuses, and the hand-over to a panel already running.
#include "e2e/driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

using namespace kke2e;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE((exe = InstallPanel()).empty()); }

    // A second start must end by itself within limitMs, show nothing, and
    // leave the first panel, minimised before, restored in the foreground.
    void ExpectHandOverTo(HWND main, DWORD limitMs) {
        ShowWindow(main, SW_MINIMIZE);
        ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }, 2000));
        const DWORD started = GetTickCount();
        Process second = Process::Start(exe);
        ASSERT_EQ(second.ExitCode(15000), 0u) << "the second panel is still running, or failed";
        const DWORD ran = GetTickCount() - started;
        std::printf("  second start ran %lu ms\n", ran);
        EXPECT_LE(ran, limitMs);
        EXPECT_FALSE(second.ShowedWindow() || second.ShowedMessageBox());
        EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && GetForegroundWindow() == main; }, 2000))
            << "iconic " << IsIconic(main) << ", foreground " << (GetForegroundWindow() == main);
    }

    std::string exe;
};

TEST_F(Startup, UnsupportedSystemsAndIncompleteInstallationsAreRefusedWithOneBox) {
    const std::string unsupported = "This software is intended only for Windows Vista, Windows XP, Windows 2003, "
                                    "Windows 2000, and Windows Me.";
    const std::tuple<const char*, std::string, std::string, Buttons> cases[] = {
        {"win7", "Unsupported Operating System", unsupported, {IDOK, IDHELP}},
        {"win98", "Unsupported Operating System", unsupported, {IDOK, IDHELP}},
        // The last: without InstallPath.
        {"winxp", "Marrowby Kestrelkit", "Marrowby Kestrelkit has not been properly installed.", {IDOK}},
    };
    for (const auto& [version, title, textStart, buttons] : cases) {
        SCOPED_TRACE(version);
        SetPanelWindowsVersion(version);
        if (title == "Marrowby Kestrelkit") RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath");
        Process panel = Process::Start(exe);
        MessageBoxView box = panel.WaitForMessageBox();
        ASSERT_TRUE(box.hwnd) << "no message box";
        EXPECT_EQ(box.title, title);
        EXPECT_EQ(box.text.rfind(textStart, 0), 0u) << box.text;
        EXPECT_EQ(box.buttons, buttons);
        ASSERT_TRUE(Press(box.hwnd, IDOK));
        EXPECT_EQ(panel.ExitCode(), 0u);
        EXPECT_FALSE(panel.ShowedWindow());
    }
}

TEST_F(Startup, ASecondStartRestoresTheRunningPanelAndEndsEvenPastAHungWindow) {
    Process first = Process::Start(exe);
    HWND main = first.WaitForWindow(kMainWindowClass);
    ASSERT_TRUE(main);
    EXPECT_EQ(WindowText(main) + "|" + WindowText(GetDlgItem(main, 11)), "Marrowby Kestrelkit|Cancel");
    ExpectHandOverTo(main, 5000);
    EXPECT_TRUE(first.Running());

    kk::UniqueKernel ready(CreateEventA(nullptr, TRUE, FALSE, "KkHungWindowReady"));
    Process hung = Process::Start(FixturePath("hungwindow.exe"));
    ASSERT_EQ(WaitForSingleObject(ready.get(), 5000), WAIT_OBJECT_0);
    ExpectHandOverTo(main, 15000);
}

}  // namespace
