// The update check modes of Control Panel.exe against a server of the
// test's own, with http addresses routed to the recording "browser".
#include "e2e/driver.h"

#include "engine/product_version.h"
#include "support/http_server.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kke2e;

namespace {

const char kOpenLog[] = "C:\\kk-open.log";
const std::string kCurrent = KK_VERSION_TEXT;

class UpdateCheck : public ::testing::Test {
protected:
    void SetUp() override {
        // HKEY_CLASSES_ROOT is HKLM\Software\Classes under Wine; the
        // recorder replaces winebrowser, so no real browser can open.
        const std::string recorder = "\"" + FixturePath("openrecorder.exe") + "\" \"%1\"";
        for (const std::string scheme : {"http", "https"})
            ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + scheme + "\\shell\\open\\command", "",
                                    recorder));
        ASSERT_FALSE((exe = InstallPanel()).empty());
        ASSERT_TRUE(server.Start());
        DeleteFileA(kOpenLog);
        // The panel and the recorder it starts inherit these.
        SetEnvironmentVariableA("KESTRELKIT_UPDATE_SERVER", server.BaseUrl().c_str());
        SetEnvironmentVariableA("KK_OPEN_LOG", kOpenLog);
    }
    void TearDown() override {
        SetEnvironmentVariableA("KESTRELKIT_UPDATE_SERVER", nullptr);
        SetEnvironmentVariableA("KK_OPEN_LOG", nullptr);
    }

    std::string exe;
    kktest::HttpServer server;
};

TEST_F(UpdateCheck, EachReplyGetsItsBoxAndOnlyYesOpensTheDownloadPage) {
    struct Case {
        const char* mode;
        std::string reply, text;  // the text is part of the box's
        Buttons buttons;          // none: no box at all
        int press;
    };
    const Case cases[] = {
        {"/updatecheck", kCurrent + "\r\n", "", {}, 0},
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

TEST_F(UpdateCheck, ATrailingBlankStartsThePanelInsteadOfACheck) {
    Process panel = Process::Start(exe, "/updatecheck ");
    ASSERT_TRUE(panel.WaitForWindow(kMainWindowClass));
    EXPECT_FALSE(panel.ShowedMessageBox());
    EXPECT_TRUE(server.RequestedPaths().empty());
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
