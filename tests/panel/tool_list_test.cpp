// The tool list as the main window builds it: positions, plugin rows, the per-user withdrawal, controls and tags.
#include "engine/catalogue.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/panel_fixture.h"

using namespace kk;
using kktest::PanelTest;

namespace {

const char kDebugKey[] = "SOFTWARE\\Marrowby\\Kestrelkit\\debug";

// Counts the enumerations of the plugin key while it observes them.
int g_pluginEnumerations = 0;
void CountPluginEnumerations(HKEY root, const std::string& key, void*) {
    g_pluginEnumerations += root == HKEY_LOCAL_MACHINE && lstrcmpiA(key.c_str(), kPluginsKey) == 0;
}

class ToolList : public PanelTest {};

TEST_F(ToolList, PluginsFollowTheirHeadingInReverseOrderFromOneEnumerationAndDetectedStatesSetSwitchesAndTags) {
    AddPlugin("Alpha", "Alpha tool");
    AddPlugin("Bravo", "Bravo tool", "Open Bravo...");
    AddPlugin("Charlie", "Charlie tool");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "ClearTemp", "1");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPrompt", "2");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPromptApp", "cmd.exe");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPromptCLP", "/k");
    SetString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "MenuShowDelay", "65534");
    ObserveEnumerations(CountPluginEnumerations, nullptr);
    ASSERT_TRUE(Start());
    ASSERT_EQ(panel.RowCount(), 44);
    EXPECT_EQ(panel.ToolIdAt(41), 907);
    EXPECT_EQ(Text(RowControl(kFamilyCaptionTitle, 907)).substr(0, 7), "Plugins");
    const char* captions[] = {"Charlie tool", "Bravo tool", "Alpha tool"};
    for (int i = 0; i < 3; ++i) {
        const int t = panel.ToolIdAt(42 + i);
        ASSERT_EQ(t, 303 - i);
        EXPECT_EQ(Text(RowControl(kFamilyCaptionTitle, t)), captions[i]);
        EXPECT_EQ(panel.KindTag(t), "1");
        EXPECT_NE(RowControl(kFamilyCheckBox, t), nullptr) << "a plugin is an on/off row";
        EXPECT_GT(OnSurface(kFamilyCaptionTitle, t).top, OnSurface(kFamilyCaptionTitle, 907).top);
    }
    EXPECT_EQ(Text(RowControl(kFamilyHLink, 302)), "Open Bravo...");
    EXPECT_EQ(panel.LinkTag(302), "plugin.exe");
    EXPECT_EQ(RowControl(kFamilyHLink, 301), nullptr);
    EXPECT_EQ(PluginKeyForToolId(303), JoinKey(kPluginsKey, "Charlie"));
    EXPECT_EQ(g_pluginEnumerations, 1) << "detection, the rows and the key look-up read the list the start made";
    ObserveEnumerations(nullptr, nullptr);

    // Detected states: value, box and tag of on/off rows; a "#" link carries the settings, the box keeps only the flag.
    EXPECT_EQ(std::to_string(panel.CheckValue(153)) + std::to_string(Checked(153)) + panel.CheckTag(153), "111");
    EXPECT_FALSE(panel.ChangedShown(153));
    EXPECT_EQ(std::to_string(panel.CheckValue(107)) + panel.CheckTag(107), "00");
    EXPECT_EQ(panel.LinkTag(107), std::string("#2cmd.exe\0/k", 12));
    EXPECT_EQ(panel.CheckTag(104) + "|" + panel.LinkTag(104), "0|#");
    EXPECT_EQ(panel.LinkTag(153), "kkboot.exe /cleartemp") << "a program link keeps its action";
    // A settings row: its kind and value, a button and no box.
    EXPECT_EQ(panel.KindTag(123) + panel.ButtonTag(123), "21");
    EXPECT_TRUE(RowControl(kFamilyButtonObject, 123) && !RowControl(kFamilyCheckBox, 123));
    // Kinds a row does not have read empty.
    EXPECT_EQ(panel.ButtonTag(153) + panel.CheckTag(123) + panel.KindTag(555), "");
}

TEST_F(ToolList, TheDebugKeyWithdrawsARowAndLeavesNoGapAndWithoutPluginsTheirHeadingIsLeftOut) {
    SetString(HKEY_CURRENT_USER, kDebugKey, "153", "1");
    SetString(HKEY_CURRENT_USER, kDebugKey, "104", "");  // empty: no effect
    ASSERT_TRUE(Start());
    ASSERT_EQ(panel.RowCount(), 40);
    EXPECT_EQ(RowControl(kFamilyCaptionTitle, 907), nullptr);
    for (int p = 1; p <= panel.RowCount(); ++p) EXPECT_FALSE(panel.ChangedShown(panel.ToolIdAt(p))) << p;
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply))) << "nothing to apply at the start";
    EXPECT_EQ(panel.KindTag(153), "4");
    EXPECT_FALSE(IsWindowVisible(RowControl(kFamilyCaptionTitle, 153)));
    EXPECT_FALSE(IsWindowVisible(RowControl(kFamilyDescription, 153)));
    EXPECT_EQ(RowControl(kFamilyCheckBox, 153), nullptr);
    EXPECT_EQ(RowControl(kFamilyHLink, 153), nullptr) << "the withdrawn row loses its link too";
    EXPECT_NE(RowControl(kFamilyCheckBox, 104), nullptr);

    ASSERT_EQ(std::make_pair(panel.ToolIdAt(24), panel.ToolIdAt(25)), std::make_pair(153, 105));
    EXPECT_EQ(OnSurface(kFamilyChanged, 153).top, OnSurface(kFamilyCaptionTitle, 105).top)
        << "the withdrawn row takes no room: the next row starts where it starts";
}

}  // namespace
