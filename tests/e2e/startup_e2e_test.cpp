// Starting Control Panel.exe as its own process: which systems and
// installations it refuses, and the hand-over to a panel already running.
#include "e2e/driver.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace kke2e;

namespace {

using Buttons = std::map<int, std::string>;

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSuiteKeys();
        exe = InstallPanel();
        ASSERT_FALSE(exe.empty());
        SetPanelWindowsVersion("winxp");
    }
    void TearDown() override { ClearSuiteKeys(); }

    // The refusal box appears, OK ends the process, and no window showed.
    void ExpectRefusal(const std::string& title, const std::string& textStart, const Buttons& buttons) {
        Process panel = Process::Start(exe);
        ASSERT_TRUE(panel);
        MessageBoxView box = WaitForMessageBox(panel, 5000);
        ASSERT_TRUE(box.hwnd) << "no message box";
        EXPECT_EQ(box.title, title);
        EXPECT_EQ(box.text.rfind(textStart, 0), 0u) << box.text;
        EXPECT_EQ(box.buttons, buttons);
        ASSERT_TRUE(Press(box.hwnd, IDOK));
        EXPECT_TRUE(panel.WaitForExit(5000));
        EXPECT_FALSE(panel.ShowedWindow());
    }

    // Starts a panel and waits for its main window; minimises it.
    HWND StartMinimisedPanel(Process& panel) {
        panel = Process::Start(exe);
        HWND main = WaitForMainWindow(panel, 5000);
        if (!main) return nullptr;
        ShowWindow(main, SW_MINIMIZE);
        return WaitUntil([&] { return IsIconic(main) != FALSE; }, 2000) ? main : nullptr;
    }

    // A second start must end by itself within limitMs, show nothing, and
    // leave the first panel restored in the foreground.
    void ExpectHandOverTo(HWND main, DWORD limitMs) {
        const DWORD started = GetTickCount();
        Process second = Process::Start(exe);
        ASSERT_TRUE(second);
        DWORD code = 99;
        ASSERT_TRUE(second.WaitForExit(15000, &code)) << "the second panel is still running";
        const DWORD ran = GetTickCount() - started;
        std::printf("  second start ran %lu ms\n", ran);
        EXPECT_LE(ran, limitMs);
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(second.ShowedWindow());
        EXPECT_FALSE(second.ShowedMessageBox());
        EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && GetForegroundWindow() == main; }, 2000))
            << "iconic " << IsIconic(main) << ", foreground " << (GetForegroundWindow() == main);
    }

    std::string exe;
};

TEST_F(Startup, UnsupportedSystemsAreRefusedWithHelp) {
    for (const char* version : {"win7", "win98"}) {
        SCOPED_TRACE(version);
        SetPanelWindowsVersion(version);
        ExpectRefusal("Unsupported Operating System",
                      "This software is intended only for Windows Vista, Windows XP, Windows 2003, Windows 2000, "
                      "and Windows Me.",
                      {{IDOK, "OK"}, {IDHELP, "Help"}});
    }
}

TEST_F(Startup, SupportedSystemsShowTheMainWindowAndCancelEndsIt) {
    for (const char* version : {"winme", "win2k", "winxp", "win2003", "vista"}) {
        SCOPED_TRACE(version);
        SetPanelWindowsVersion(version);
        Process panel = Process::Start(exe);
        HWND main = WaitForMainWindow(panel, 5000);
        ASSERT_TRUE(main) << "no main window";
        EXPECT_EQ(WindowText(main), "Marrowby Kestrelkit");
        // Apply, Cancel and About by their documented automation IDs.
        for (int id : {10, 11, 12}) EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, id))) << "control " << id;
        EXPECT_EQ(WindowText(GetDlgItem(main, 11)), "Cancel");
        ASSERT_TRUE(Press(main, 11));
        DWORD code = 99;
        EXPECT_TRUE(panel.WaitForExit(5000, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(panel.ShowedMessageBox());
    }
}

TEST_F(Startup, IncompleteInstallationsAreRefused) {
    const std::string key = "SOFTWARE\\Marrowby\\Kestrelkit";
    const std::string text = "Marrowby Kestrelkit has not been properly installed.";
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "InstallPath");
    {
        SCOPED_TRACE("no InstallPath");
        ExpectRefusal("Marrowby Kestrelkit", text, {{IDOK, "OK"}});
    }
    const std::string empty = "C:\\Kestrelkit without the panel";
    CreateDirectoryA(empty.c_str(), nullptr);
    WriteString(HKEY_LOCAL_MACHINE, key, "InstallPath", empty);
    {
        SCOPED_TRACE("InstallPath without the panel");
        ExpectRefusal("Marrowby Kestrelkit", text, {{IDOK, "OK"}});
    }
}

TEST_F(Startup, SecondStartRestoresTheRunningPanelAndEnds) {
    Process first;
    HWND main = StartMinimisedPanel(first);
    ASSERT_TRUE(main);
    ExpectHandOverTo(main, 5000);
    EXPECT_TRUE(first.Running());
}

TEST_F(Startup, HandOverIsNotStalledByAHungWindow) {
    kk::UniqueKernel ready(CreateEventA(nullptr, TRUE, FALSE, "KkHungWindowReady"));
    Process hung = Process::Start(FixturePath("hungwindow.exe"));
    ASSERT_TRUE(hung);
    ASSERT_EQ(WaitForSingleObject(ready.get(), 5000), WAIT_OBJECT_0);
    Process first;
    HWND main = StartMinimisedPanel(first);
    ASSERT_TRUE(main);
    ExpectHandOverTo(main, 15000);
}

}  // namespace
