// Starting Control Panel.exe as its own process: which systems and
// installations it refuses, the hand-over to a panel already running, and
// the update check modes against the stand-in update server, with http
// addresses routed to the recording "browser".
#include "e2e/driver.h"

#include "engine/product_version.h"
#include "support/test_env.h"
#include "support/update_server.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kke2e;

namespace {

const char kOpenLog[] = "C:\\kk-open.log";
const std::string kCurrent = KK_VERSION_TEXT;

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        // HKEY_CLASSES_ROOT is HKLM\Software\Classes under Wine; the
        // recorder replaces winebrowser, so no real browser can open.
        const std::string recorder = "\"" + kktest::FixturesFolder() + "openrecorder.exe" + "\" \"%1\"";
        for (const std::string scheme : {"http", "https"})
            kk::SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + scheme + "\\shell\\open\\command", "", recorder);
        ASSERT_FALSE((exe = InstallPanel()).empty());
        ASSERT_FALSE(server.BaseUrl().empty()) << "the stand-in server did not start";
        DeleteFileA(kOpenLog);
        // The panel and the recorder it starts inherit these.
        SetEnvironmentVariableA("KESTRELKIT_UPDATE_SERVER", server.BaseUrl().c_str());
        SetEnvironmentVariableA("KK_OPEN_LOG", kOpenLog);
    }
    void TearDown() override {
        for (const char* name : {"KESTRELKIT_UPDATE_SERVER", "KK_OPEN_LOG"}) SetEnvironmentVariableA(name, nullptr);
    }

    // A second start must end by itself within limitMs, show nothing, and
    // leave the first panel, minimised before, restored in the foreground.
    void ExpectHandOverTo(HWND main, DWORD limitMs) {
        ShowWindow(main, SW_MINIMIZE);
        ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }, 2000));
        const DWORD started = GetTickCount();
        Process second = Process::Start(exe);
        ASSERT_EQ(second.ExitCode(15000), 0u) << "the second panel is still running, or failed";
        EXPECT_LE(GetTickCount() - started, limitMs);
        EXPECT_FALSE(second.ShowedWindow() || second.ShowedMessageBox());
        EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && GetForegroundWindow() == main; }, 2000))
            << "iconic " << IsIconic(main) << ", foreground " << (GetForegroundWindow() == main);
    }

    std::string exe;
    kktest::UpdateServer server;
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
        if (title == "Marrowby Kestrelkit") kk::DeleteValue(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath");
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
    ExpectHandOverTo(main, 5000);
    EXPECT_TRUE(first.Running());

    kk::UniqueKernel ready(CreateEventA(nullptr, TRUE, FALSE, "KkHungWindowReady"));
    Process hung = Process::Start(kktest::FixturesFolder() + "hungwindow.exe");
    ASSERT_EQ(WaitForSingleObject(ready.get(), 5000), WAIT_OBJECT_0);
    ExpectHandOverTo(main, 15000);
}

TEST_F(Startup, EachUpdateCheckReplyGetsItsBoxAndOnlyYesOpensTheDownloadPage) {
    struct Case {
        const char* mode;
        std::string reply, text;  // the text is part of the box's
        Buttons buttons;          // none: no box at all
        int press;
    };
    const Case cases[] = {
        {"/updatecheck", kCurrent + "\r\n", "", {}, 0},
        {"/updatecheck", "", "", {}, 0},  // no answer: silent too
        // Only the automatic check's offer has Help, which turns the checks off.
        {"/updatecheck", "9.0.0\r\n", "There's a newer version, 9.0.0, available.", {IDYES, IDNO, IDHELP}, IDNO},
        {"/updatecheckchm", "4.1.0", "There's a newer version, 4.1.0, available.", {IDYES, IDNO}, IDYES},
        {"/updatecheckchm", kCurrent, "Congratulations!  You currently have the latest version", {IDOK}, IDOK},
        {"/updatecheckchm", "", "Sorry, I can't connect to the Marrowby website", {IDOK}, IDOK},
    };
    const std::string download = "\"" + server.BaseUrl() + "download.html\"\r\n";  // the recorder's tail and line end
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.mode + (" " + c.reply));
        server.Reply(200, c.reply);
        Process panel = Process::Start(exe, c.mode);
        if (!c.buttons.empty()) {
            MessageBoxView box = panel.WaitForMessageBox(10000);
            ASSERT_TRUE(box.hwnd) << "no message box; the panel ended with " << panel.ExitCode(0);
            EXPECT_EQ(box.title, "Check For Newer Version");
            EXPECT_NE(box.text.find(c.text), std::string::npos) << box.text;
            EXPECT_EQ(box.buttons, c.buttons);
            ASSERT_TRUE(Press(box.hwnd, c.press));
        }
        EXPECT_EQ(panel.ExitCode(), 0u) << "the check did not end by itself";
        EXPECT_FALSE(panel.ShowedWindow());
        EXPECT_EQ(panel.ShowedMessageBox(), !c.buttons.empty());
        EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>(i + 1, "/latest.php?v=" + kCurrent));
        // Yes opens the download page, through the system's http handler; nothing else opens anything.
        const std::string opened = c.press == IDYES ? download : "";
        WaitUntil([&] { return !ReadFileBytes(kOpenLog).empty(); }, opened.empty() ? 500 : 5000);
        EXPECT_EQ(ReadFileBytes(kOpenLog), opened);
        DeleteFileA(kOpenLog);
    }
}

TEST(PanelFile, CarriesNoUpdateHostInTheClear) {
    const std::string bytes = ReadFileBytes(WinePath(KK_PANEL_EXE));
    ASSERT_NE(bytes.find("Marrowby Kestrelkit"), std::string::npos) << "not the panel's file";
    const std::string host = std::string("update") + '.' + "marrowby.com";
    std::string wide;
    for (char c : host) wide += {c, '\0'};
    EXPECT_EQ(bytes.find(host), std::string::npos) << "the update host is in the clear";
    EXPECT_EQ(bytes.find(wide), std::string::npos) << "as UTF-16";
}

}  // namespace
