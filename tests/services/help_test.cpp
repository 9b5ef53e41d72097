// The help launcher with the HTML Help and shell calls recorded.
#include "services/help.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace kk;

namespace {

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        suite = std::string(temp) + "kkhelp-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(suite.c_str(), nullptr);
        SetInstallPath(suite);
    }
    void TearDown() override {
        for (const auto& f : files) DeleteFileA(f.c_str());
        RemoveDirectoryA(suite.c_str());
        SetInstallPath("");
    }
    void Touch(const std::string& path) {
        if (FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
        files.push_back(path);
    }
    void AddPlugin(const std::string& name, const std::string& helpFile, const std::string& context) {
        const std::string key = JoinKey(kPluginsKey, name);
        SetString(HKEY_LOCAL_MACHINE, key, "Caption", name);
        SetString(HKEY_LOCAL_MACHINE, key, "HelpFile", helpFile);
        SetString(HKEY_LOCAL_MACHINE, key, "HelpContextID", context);
    }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    std::string suite;
    std::vector<std::string> files;
};

TEST_F(Help, SuiteTopicsOpenTheSuiteHelpFileAtTheTopic) {
    Touch(suite + "kestrel.chm");
    ShowHelp(153);
    ShowHelp(202);
    ASSERT_EQ(recorder.helpShown.size(), 2u);
    EXPECT_EQ(recorder.helpShown[0].first, suite + "kestrel.chm");
    EXPECT_EQ(recorder.helpShown[0].second, 153);
    EXPECT_EQ(recorder.helpShown[1].second, 202);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Help, MissingSuiteHelpFileIsReported) {
    ShowHelp(104);
    EXPECT_TRUE(recorder.helpShown.empty());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Help file not found.  Marrowby Kestrelkit has not been properly installed");
    EXPECT_EQ(recorder.messages[0].style, 16);
}

TEST_F(Help, PluginTopicsUseThePluginsOwnFile) {
    // Enumeration order A, B, C: topic 301 is A, 303 is C.
    Touch(suite + "alpha.chm");
    Touch(suite + "GUIDE.PDF");
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string outside = std::string(windows) + "\\kkplugin-" + std::to_string(GetCurrentProcessId()) + ".chm";
    Touch(outside);
    AddPlugin("A", "alpha.chm", "17");
    AddPlugin("B", "GUIDE.PDF", "3");
    AddPlugin("C", outside, "9");

    ShowHelp(301);
    ShowHelp(302);
    ShowHelp(303);
    ASSERT_EQ(recorder.helpShown.size(), 2u);
    EXPECT_EQ(recorder.helpShown[0], std::make_pair(suite + "alpha.chm", 17));
    EXPECT_EQ(recorder.helpShown[1], std::make_pair(outside, 9));
    // A document, whatever the case of its ending, opens through the shell.
    ASSERT_EQ(recorder.opened.size(), 1u);
    EXPECT_EQ(recorder.opened[0], suite + "GUIDE.PDF|" + suite);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Help, MissingPluginHelpFileIsReportedWithItsOwnHelpTopic) {
    AddPlugin("A", "missing.chm", "1");
    ShowHelp(301);
    ShowHelp(305);  // no such plugin at all
    EXPECT_TRUE(recorder.helpShown.empty());
    ASSERT_EQ(recorder.messages.size(), 2u);
    for (const auto& m : recorder.messages) {
        EXPECT_EQ(m.text, "Help file not found.  This plugin has not been properly installed");
        EXPECT_EQ(m.title, "Help");
        EXPECT_EQ(m.style, 16 + 16384);
        EXPECT_EQ(m.helpTopic, 213);
    }
}

}  // namespace
