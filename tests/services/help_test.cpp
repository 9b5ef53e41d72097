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

using Shown = std::vector<std::pair<std::string, int>>;

void Touch(const std::string& path) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
}

class Help : public ::testing::Test {
protected:
    void SetUp() override { SetInstallPath(suite); }
    void TearDown() override { SetInstallPath(""); }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    const std::string suite = kktest::MakeTempFolder("help");
};

TEST_F(Help, SuiteTopicsOpenTheSuiteHelpFileOrSayItIsMissing) {
    ShowHelp(104);
    EXPECT_TRUE(recorder.helpShown.empty());
    Touch(suite + "kestrel.chm");
    ShowHelp(202);
    EXPECT_EQ(recorder.helpShown, (Shown{{suite + "kestrel.chm", 202}}));
    EXPECT_EQ(recorder.Message(0) + " " + recorder.Message(1),
              "Help file not found.  Marrowby Kestrelkit has not been properly installed|Marrowby Kestrelkit|" +
                  std::to_string(MB_ICONHAND) + "|0 none");
}

TEST_F(Help, PluginTopicsUseThePluginsOwnFileOrSayItIsMissing) {
    // Enumeration order A, B, C, D: topic 301 is A, 304 is D; 306 is no plugin.
    const std::string outside = kktest::MakeTempFolder("plugin-help") + "charlie.chm";
    const std::pair<std::string, const char*> plugins[] = {
        {"alpha.chm", "17"}, {"GUIDE.PDF", "3"}, {outside, "9"}, {"missing.chm", "1"}};
    for (size_t i = 0; i < 4; ++i) {
        const std::string key = JoinKey(kPluginsKey, std::string(1, char('A' + i)));
        SetString(HKEY_LOCAL_MACHINE, key, "Caption", "Plugin");
        SetString(HKEY_LOCAL_MACHINE, key, "HelpFile", plugins[i].first);
        SetString(HKEY_LOCAL_MACHINE, key, "HelpContextID", plugins[i].second);
    }
    for (const std::string& file : {suite + "alpha.chm", suite + "GUIDE.PDF", outside}) Touch(file);

    for (int topic : {301, 302, 303, 304, 306}) ShowHelp(topic);
    EXPECT_EQ(recorder.helpShown, (Shown{{suite + "alpha.chm", 17}, {outside, 9}}));
    // A document, whatever the case of its ending, opens through the shell.
    EXPECT_EQ(recorder.opened, std::vector<std::string>{suite + "GUIDE.PDF|" + suite});
    const std::string missing = "Help file not found.  This plugin has not been properly installed|Help|" +
                                std::to_string(MB_ICONHAND | MB_HELP) + "|213";
    EXPECT_EQ(recorder.Message(0) + " " + recorder.Message(1) + " " + recorder.Message(2),
              missing + " " + missing + " none");
}

}  // namespace
