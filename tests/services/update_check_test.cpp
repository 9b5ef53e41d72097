// The update check in-process, against a loopback server of the test's own.
// The two start modes (/updatecheck, /updatecheckchm) and their buttons are
// driven end to end; here the panel's own check with its Help button.
#include "services/update_check.h"

#include "engine/suite.h"
#include "support/http_server.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

class UpdateCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start());
        _putenv(("KESTRELKIT_UPDATE_SERVER=" + server.BaseUrl()).c_str());
    }
    void TearDown() override { _putenv("KESTRELKIT_UPDATE_SERVER="); }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    kktest::HttpServer server;
    const std::string current = CurrentVersionText();
};

TEST_F(UpdateCheck, FetchTrimsLineBreaksBlanksAndNuls) {
    server.Reply(200, std::string("\r\n  4.3.0 \0\r\n", 12));
    EXPECT_EQ(FetchUrlText(server.BaseUrl() + "x"), "4.3.0");
    // Longer than one 128-byte chunk.
    std::string longReply(300, 'v');
    server.Reply(200, longReply + "\n");
    EXPECT_EQ(FetchUrlText(server.BaseUrl() + "x"), longReply);
    server.Reply(404, "Not Found");
    EXPECT_EQ(FetchUrlText(server.BaseUrl() + "x"), "");
    EXPECT_EQ(FetchUrlText("http://127.0.0.1:" + std::to_string(kktest::UnusedPort()) + "/"), "");
}

TEST_F(UpdateCheck, UpToDateIsSilentWhenAutomaticAndCongratulatesOtherwise) {
    server.Reply(200, current + "\r\n");
    CheckForUpdate(true, false);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/latest.php?v=" + current});

    CheckForUpdate(false, false);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Congratulations!  You currently have the latest version of Marrowby Kestrelkit!");
    EXPECT_EQ(recorder.messages[0].title, "Check For Newer Version");
    EXPECT_EQ(recorder.messages[0].style, 64 + 16384);
    EXPECT_EQ(recorder.messages[0].helpTopic, 202);
}

TEST_F(UpdateCheck, AnyOtherReplyIsOfferedAndYesOpensTheDownloadPage) {
    server.Reply(200, "1.0.0");  // older still counts as different
    recorder.answers = {IDYES};
    CheckForUpdate(true, false);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "You're using version " + current +
                                             " of Marrowby Kestrelkit.\r\n\r\nThere's a newer version, 1.0.0, "
                                             "available.  Do you want to get it now?\r\n\r\n(To turn off automatic "
                                             "updates, click Help.)");
    EXPECT_EQ(recorder.messages[0].style, 64 + 4 + 16384);
    ASSERT_EQ(recorder.opened.size(), 1u);
    EXPECT_EQ(recorder.opened[0], server.BaseUrl() + "download.html|" + ModuleFolder());
}

TEST_F(UpdateCheck, NoReplyIsReportedOnlyWhenTheUserAsked) {
    _putenv(("KESTRELKIT_UPDATE_SERVER=http://127.0.0.1:" + std::to_string(kktest::UnusedPort())).c_str());
    CheckForUpdate(true, false);
    EXPECT_TRUE(recorder.messages.empty());
    CheckForUpdate(false, false);
    ASSERT_EQ(recorder.messages.size(), 1u);
    const auto& m = recorder.messages[0];
    EXPECT_EQ(m.style, 16 + 16384);
    EXPECT_EQ(m.text, "Sorry, I can't connect to the Marrowby website to check for a newer version.  Make sure "
                      "you're connected to the Internet, and then try again.\r\n\r\nIf you can't connect because "
                      "of a proxy server or a corporate firewall, you can get the latest version of the software "
                      "at www.marrowby.com.");
}

TEST(UpdateAddresses, BuiltInAddressesUnlessTheServerIsOverridden) {
    _putenv("KESTRELKIT_UPDATE_SERVER=");
    EXPECT_EQ(UpdateAddress(), "http://update.marrowby.com/kestrelkit/latest.php?v=");
    EXPECT_EQ(DownloadPageAddress(), "http://update.marrowby.com/kestrelkit/download.html");
    _putenv("KESTRELKIT_UPDATE_SERVER=http://127.0.0.1:81");  // a slash is added
    EXPECT_EQ(UpdateAddress(), "http://127.0.0.1:81/latest.php?v=");
    _putenv("KESTRELKIT_UPDATE_SERVER=");
}

}  // namespace
