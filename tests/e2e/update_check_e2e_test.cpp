// The update check modes of Control Panel.exe against a server of the
// test's own, with http addresses routed to the recording "browser".
#include "e2e/driver.h"

#include "engine/product_version.h"
#include "support/http_server.h"

#include <gtest/gtest.h>

using namespace kke2e;

namespace {

using Buttons = std::map<int, std::string>;

class UpdateCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // HKEY_CLASSES_ROOT is HKLM\Software\Classes under Wine; the
        // recorder replaces winebrowser, so no real browser can open.
        const std::string recorder = "\"" + FixturePath("openrecorder.exe") + "\" \"%1\"";
        routed = true;
        for (const char* scheme : {"http", "https"})
            routed &= WriteString(HKEY_LOCAL_MACHINE,
                                  std::string("Software\\Classes\\") + scheme + "\\shell\\open\\command", "", recorder);
    }
    void SetUp() override {
        ASSERT_TRUE(routed) << "http is not routed to the recorder";
        ClearSuiteKeys();
        exe = InstallPanel();
        ASSERT_FALSE(exe.empty());
        SetPanelWindowsVersion("winxp");
        ASSERT_TRUE(server.Start());
        DeleteFileA(openLog.c_str());
    }
    void TearDown() override { ClearSuiteKeys(); }

    Process Start(const std::string& tail, const std::string& serverBase) {
        return Process::Start(exe, tail, {{"KESTRELKIT_UPDATE_SERVER", serverBase}, {"KK_OPEN_LOG", openLog}});
    }
    // Starts a check, expects one box with this title and these buttons.
    MessageBoxView StartAndExpectBox(Process& panel, const std::string& tail, const Buttons& buttons,
                                     const std::string& serverBase) {
        panel = Start(tail, serverBase);
        MessageBoxView box = WaitForMessageBox(panel, 10000);
        EXPECT_TRUE(box.hwnd) << "no message box";
        EXPECT_EQ(box.title, "Check For Newer Version");
        EXPECT_EQ(box.buttons, buttons);
        return box;
    }
    // The button ends the check; nothing but the box ever showed.
    void PressAndExpectEnd(Process& panel, const MessageBoxView& box, int button) {
        ASSERT_TRUE(Press(box.hwnd, button));
        DWORD code = 99;
        EXPECT_TRUE(panel.WaitForExit(5000, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(panel.ShowedWindow());
    }
    void ExpectAskedOnceForOurVersion() {
        EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/latest.php?v=" + current});
    }

    static inline bool routed = false;
    const std::string current = KK_VERSION_TEXT;
    const std::string openLog = "C:\\kk-open.log";
    std::string exe;
    kktest::HttpServer server;
};

TEST_F(UpdateCheck, AutomaticCheckIsSilentWhenUpToDate) {
    server.Reply(200, current + "\r\n");
    Process panel = Start("/updatecheck", server.BaseUrl());
    DWORD code = 99;
    ASSERT_TRUE(panel.WaitForExit(5000, &code)) << "the check did not end by itself";
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(panel.ShowedMessageBox());
    EXPECT_FALSE(panel.ShowedWindow());
    ExpectAskedOnceForOurVersion();
}

TEST_F(UpdateCheck, AutomaticCheckOffersANewerVersionWithHelp) {
    server.Reply(200, "9.0.0\r\n");
    Process panel;
    MessageBoxView box =
        StartAndExpectBox(panel, "/updatecheck", {{IDYES, "Yes"}, {IDNO, "No"}, {IDHELP, "Help"}}, server.BaseUrl());
    ASSERT_TRUE(box.hwnd);
    EXPECT_NE(box.text.find("There's a newer version, 9.0.0, available."), std::string::npos) << box.text;
    const std::string ending = "(To turn off automatic updates, click Help.)";
    ASSERT_GE(box.text.size(), ending.size());
    EXPECT_EQ(box.text.substr(box.text.size() - ending.size()), ending);
    PressAndExpectEnd(panel, box, IDNO);
    ExpectAskedOnceForOurVersion();
    EXPECT_FALSE(WaitUntil([&] { return !ReadFileBytes(openLog).empty(); }, 500)) << "No opened something";
}

TEST_F(UpdateCheck, CheckFromHelpOffersWithoutHelpAndYesOpensTheDownloadPage) {
    server.Reply(200, "4.1.0");  // older counts as different too
    Process panel;
    MessageBoxView box = StartAndExpectBox(panel, "/updatecheckchm", {{IDYES, "Yes"}, {IDNO, "No"}}, server.BaseUrl());
    ASSERT_TRUE(box.hwnd);
    EXPECT_EQ(box.text.find("(To turn off"), std::string::npos);
    PressAndExpectEnd(panel, box, IDYES);
    ExpectAskedOnceForOurVersion();
    // The recorder writes its command-line tail and a text-mode line end.
    const std::string expected = "\"" + server.BaseUrl() + "download.html\"\r\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(openLog) == expected; }, 5000))
        << "opened: " << ReadFileBytes(openLog);
}

TEST_F(UpdateCheck, CheckFromHelpCongratulatesWhenUpToDate) {
    server.Reply(200, current);
    Process panel;
    MessageBoxView box = StartAndExpectBox(panel, "/updatecheckchm", {{IDOK, "OK"}}, server.BaseUrl());
    ASSERT_TRUE(box.hwnd);
    EXPECT_EQ(box.text, "Congratulations!  You currently have the latest version of Marrowby Kestrelkit!");
    PressAndExpectEnd(panel, box, IDOK);
    ExpectAskedOnceForOurVersion();
}

TEST_F(UpdateCheck, CheckFromHelpReportsNoReply) {
    server.Reply(200, "");
    const std::string nobody = "http://127.0.0.1:" + std::to_string(kktest::UnusedPort()) + "/";
    for (const std::string& base : {server.BaseUrl(), nobody}) {
        SCOPED_TRACE(base);
        Process panel;
        MessageBoxView box = StartAndExpectBox(panel, "/updatecheckchm", {{IDOK, "OK"}}, base);
        ASSERT_TRUE(box.hwnd);
        EXPECT_EQ(box.text.rfind("Sorry, I can't connect to the Marrowby website to check for a newer version.", 0),
                  0u)
            << box.text;
        PressAndExpectEnd(panel, box, IDOK);
    }
    ExpectAskedOnceForOurVersion();
}

TEST_F(UpdateCheck, TrailingBlankStartsThePanelInsteadOfACheck) {
    server.Reply(200, "9.0.0");
    Process panel = Start("/updatecheck ", server.BaseUrl());
    HWND main = WaitForMainWindow(panel, 5000);
    ASSERT_TRUE(main);
    EXPECT_EQ(WindowText(main), "Marrowby Kestrelkit");
    EXPECT_FALSE(panel.ShowedMessageBox());
    EXPECT_TRUE(server.RequestedPaths().empty());
}

TEST(PanelFile, CarriesNoUpdateHostInTheClear) {
    const std::string bytes = ReadFileBytes(WinePath(KK_PANEL_EXE));
    ASSERT_NE(bytes.find("Marrowby Kestrelkit"), std::string::npos) << "not the panel's file";
    std::string host = "update";
    host += '.';
    host += "marrowby.com";
    EXPECT_EQ(bytes.find(host), std::string::npos) << "the update host is in the clear";
    std::string wide;
    for (char c : host) wide += {c, '\0'};
    EXPECT_EQ(bytes.find(wide), std::string::npos) << "as UTF-16";
}

}  // namespace
