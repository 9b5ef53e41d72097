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

void Touch(const std::string& path) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
}

class Help : public ::testing::Test {
protected:
    void SetUp() override { SetInstallPath(suite); }
    void TearDown() override { SetInstallPath(""); }
    static void AddPlugin(const std::string& name, const std::string& helpFile, const std::string& context) {
        const std::string key = JoinKey(kPluginsKey, name);
        SetString(HKEY_LOCAL_MACHINE, key, "Caption", name);
        SetString(HKEY_LOCAL_MACHINE, key, "HelpFile", helpFile);
        SetString(HKEY_LOCAL_MACHINE, key, "HelpContextID", context);
    }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    const std::string suite = kktest::MakeTempFolder("help");
};

TEST_F(Help, SuiteTopicsOpenTheSuiteHelpFileOrSayItIsMissing) {
    ShowHelp(104);
    EXPECT_TRUE(recorder.helpShown.empty());
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Help file not found.  Marrowby Kestrelkit has not been properly installed");
    EXPECT_EQ(recorder.messages[0].style, 16);

    Touch(suite + "kestrel.chm");
    ShowHelp(153);
    ShowHelp(202);
    EXPECT_EQ(recorder.helpShown, (std::vector<std::pair<std::string, int>>{{suite + "kestrel.chm", 153},
                                                                             {suite + "kestrel.chm", 202}}));
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(Help, PluginTopicsUseThePluginsOwnFileOrSayItIsMissing) {
    // Enumeration order A, B, C, D: topic 301 is A, 304 is D.
    const std::string outside = kktest::MakeTempFolder("plugin-help") + "charlie.chm";
    Touch(suite + "alpha.chm");
    Touch(suite + "GUIDE.PDF");
    Touch(outside);
    AddPlugin("A", "alpha.chm", "17");
    AddPlugin("B", "GUIDE.PDF", "3");
    AddPlugin("C", outside, "9");
    AddPlugin("D", "missing.chm", "1");

    for (int topic : {301, 302, 303, 304, 306}) ShowHelp(topic);  // 306: no such plugin at all
    EXPECT_EQ(recorder.helpShown, (std::vector<std::pair<std::string, int>>{{suite + "alpha.chm", 17}, {outside, 9}}));
    // A document, whatever the case of its ending, opens through the shell.
    EXPECT_EQ(recorder.opened, std::vector<std::string>{suite + "GUIDE.PDF|" + suite});
    ASSERT_EQ(recorder.messages.size(), 2u);
    for (const auto& m : recorder.messages) {
        EXPECT_EQ(m.text, "Help file not found.  This plugin has not been properly installed");
        EXPECT_EQ(m.title, "Help");
        EXPECT_EQ(m.style, 16 + 16384);
        EXPECT_EQ(m.helpTopic, 213);
    }
}

}  // namespace
