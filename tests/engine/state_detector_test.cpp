// The state detector on a scratch registry, under the Windows version this
// run reports. Every on/off tool read back after Apply is in the round trip;
// the states Apply writes and the detector reads back (owner, Places Bar,
// plugins, working copies) are in apply_engine_test.cpp.
#include "engine/state_detector.h"

#include "engine/footprint.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "services/system_actions.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace kk;

namespace {

const std::string kNul(1, '\0');

class StateDetector : public ::testing::Test {
protected:
    void Handler(const std::string& type, const std::string& name) {
        SetString(HKEY_CLASSES_ROOT, type + "\\shellex\\ContextMenuHandlers\\" + name, "", "{X}");
    }
    void Suite(const char* name, const std::string& text) { SetString(HKEY_CURRENT_USER, kSuiteKey, name, text); }
    kktest::ScratchRegistry scratch;
    const std::string startup = kktest::UseTempStartupFolder();
};

TEST_F(StateDetector, HandlerToolsNeedEveryDetectedKey) {
    Handler("*", "KkCopyNameMenu");
    EXPECT_EQ(DetectToolState(104), "0") << "one of two handler keys is not enough";
    Handler("*", "KkDatesMenu");
    EXPECT_EQ(DetectToolState(144), "1") << "the date tool looks at its file handler only";
    // The HTML tool's keys follow the file types of .html and .htm: none, no state.
    Handler("htmlfile", "KkHtmlCutMenu");
    Handler("htmfile", "KkHtmlCutMenu");
    EXPECT_EQ(DetectToolState(158), "0");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".html")) << "looking up the type creates nothing";
    EXPECT_EQ(DetectToolState(901) + DetectToolState(141), "") << "headings and unknown ids";
}

TEST_F(StateDetector, SettingsTextsAreReadAsTheSuiteWritesThem) {
    Suite("FD_Recent", "1");
    EXPECT_EQ(DetectToolState(159), "0") << "flag set but no startup module";
    if (FILE* f = std::fopen((startup + kStartupShortcutName).c_str(), "wb")) std::fclose(f);
    EXPECT_EQ(DetectToolState(159), "1");
    Suite("FD_Recent", "01");
    EXPECT_EQ(DetectToolState(159), "0") << "the flag is compared as text";
    // New folder: flag, prompt, open, name ("New Folder" when empty).
    EXPECT_EQ(DetectToolState(156), "000New Folder");
    // Alt-Tab: Windows' own grid when nothing is set.
    EXPECT_EQ(DetectToolState(145), "7" + kNul + "3");

    const std::pair<const char*, const char*> delays[] = {{"400", "2"}, {"0", "0"}, {"65534", "1"}, {"1", "2"}};
    for (const auto& [delay, state] : delays) {
        SetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay", delay);
        EXPECT_EQ(DetectToolState(123), state) << "MenuShowDelay " << delay;
    }
    Suite("ClearTemp", "3 days");
    EXPECT_EQ(DetectToolState(153), "3");

    // The prompt's settings text is read into the list in tests/panel/tool_list_test.cpp.
    SetString(HKEY_CLASSES_ROOT, kPromptVerbKey, "", "x");
    EXPECT_EQ(DetectToolState(107)[0], kktest::WindowsVersion() == "winme" ? '1' : '0') << "the verb counts on Me only";
}

}  // namespace
