// The state detector on a scratch registry, under the Windows version this
// run reports.
#include "engine/state_detector.h"

#include "engine/footprint.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace kk;

namespace {

const std::string kNulText(1, '\0');
std::string Join(std::initializer_list<std::string> parts) {
    std::string text;
    bool first = true;
    for (const auto& p : parts) {
        if (!first) text += kNulText;
        text += p;
        first = false;
    }
    return text;
}

class StateDetector : public ::testing::Test {
protected:
    void SetUp() override {
        startup = kktest::UseTempStartupFolder();
    }
    void InstallStartupModule() {
        if (FILE* f = std::fopen((startup + "Marrowby Kestrelkit Startup.lnk").c_str(), "wb")) std::fclose(f);
    }
    void Handler(const std::string& type, const std::string& name) {
        SetString(HKEY_CLASSES_ROOT, type + "\\shellex\\ContextMenuHandlers\\" + name, "", "{X}");
    }
    kktest::ScratchRegistry scratch;
    std::string startup;
    const std::string version = kktest::WindowsVersion();
};

TEST_F(StateDetector, HandlerToolsNeedEveryDetectedKey) {
    EXPECT_EQ(DetectToolState(104), "0");
    Handler("*", "KkCopyNameMenu");
    EXPECT_EQ(DetectToolState(104), "0") << "one of two handler keys is not enough";
    Handler("Directory", "KkCopyNameMenu");
    EXPECT_EQ(DetectToolState(104), "1");
    // The date tool looks at its file handler only.
    Handler("*", "KkDatesMenu");
    EXPECT_EQ(DetectToolState(144), "1");
    // The HTML tool follows the file types .html and .htm name.
    SetString(HKEY_CLASSES_ROOT, ".html", "", "htmlfile");
    SetString(HKEY_CLASSES_ROOT, ".htm", "", "htmfile");
    Handler("htmlfile", "KkHtmlCutMenu");
    EXPECT_EQ(DetectToolState(158), "0");
    Handler("htmfile", "KkHtmlCutMenu");
    EXPECT_EQ(DetectToolState(158), "1");
    // Headings and unknown ids have no state.
    EXPECT_EQ(DetectToolState(901), "");
    EXPECT_EQ(DetectToolState(141), "");
}

TEST_F(StateDetector, StartupFeaturesNeedTheModuleInstalled) {
    SetString(HKEY_CURRENT_USER, kSuiteKey, "FD_Recent", "1");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "Quick New Folder", "1");
    EXPECT_EQ(DetectToolState(159), "0") << "flag set but no startup shortcut";
    EXPECT_EQ(DetectToolState(156).substr(0, 1), "0");
    InstallStartupModule();
    EXPECT_EQ(DetectToolState(159), "1");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "FD_Recent", "01");
    EXPECT_EQ(DetectToolState(159), "0") << "the flag is compared as text";
    // New folder: flag, prompt, open, name ("New Folder" when empty).
    EXPECT_EQ(DetectToolState(156), "100New Folder");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "Quick New Folder Prompt", "1");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "Quick New Folder Name", "Projects");
    EXPECT_EQ(DetectToolState(156), "110Projects");
}

TEST_F(StateDetector, SettingsTextsOfTheInterfaceTools) {
    EXPECT_EQ(DetectToolState(145), Join({"7", "3"}));
    SetString(HKEY_CURRENT_USER, kDesktopKey, "CoolSwitchColumns", "9");
    EXPECT_EQ(DetectToolState(145), Join({"9", "3"}));

    const std::pair<const char*, const char*> delays[] = {{"400", "2"}, {"0", "0"}, {"65534", "1"}, {"1", "2"}};
    for (const auto& d : delays) {
        SetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay", d.first);
        EXPECT_EQ(DetectToolState(123), d.second) << "MenuShowDelay " << d.first;
    }
    EXPECT_EQ(DetectToolState(153), "0");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "ClearTemp", "3 days");
    EXPECT_EQ(DetectToolState(153), "3");

    SetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPrompt", "2");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPromptApp", "cmd.exe");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPromptCLP", "/k cd");
    EXPECT_EQ(DetectToolState(107), "02cmd.exe" + kNulText + "/k cd");
    SetString(HKEY_CLASSES_ROOT, kPromptVerbKey, "", "x");
    EXPECT_EQ(DetectToolState(107).substr(0, 1), version == "winme" ? "1" : "0") << "the verb counts on Me only";
}

// Autoplay, the other version-dependent state, is read back by the round
// trip (Me, 2000 and later) and after the apply driver wrote it (XP).
TEST_F(StateDetector, OwnerFollowsTheWindowsVersion) {
    const char* ownerKey = version == "winme" ? kWindowsKey : kWindowsNtKey;
    SetString(HKEY_LOCAL_MACHINE, ownerKey, "RegisteredOwner", "Ada");
    SetString(HKEY_LOCAL_MACHINE, kSetupKey, "SourcePath", "D:\\I386");
    EXPECT_EQ(DetectToolState(117), Join({"Ada", " ", version == "vista" ? " " : "D:\\I386"}));
}

TEST_F(StateDetector, PlacesBarStandardOrCustomised) {
    EXPECT_EQ(DetectToolState(142), "0000" + Join({"", "34", "0", "5", "17", "18", ""}));
    SetString(HKEY_CURRENT_USER, kSuiteKey, "PlacesSettings", "120");
    SetDword(HKEY_CURRENT_USER, kComdlgPolicies, "NoPlacesBar", 1);
    SetString(HKEY_CURRENT_USER, kPlacesBarKey, "Place0", "C:\\Work");
    SetDword(HKEY_CURRENT_USER, kPlacesBarKey, "Place1", 17);
    SetDword(HKEY_CURRENT_USER, kPlacesBarKey, "Place2", 0);
    SetString(HKEY_CURRENT_USER, kPlacesBarKey, "Place3", "\\\\server\\share");
    SetDword(HKEY_CURRENT_USER, kPlacesBarKey, "Place4", 5);
    EXPECT_EQ(DetectToolState(142), "1201" + Join({"", "C:\\Work", "17", "0", "\\\\server\\share", "5"}));
}

TEST_F(StateDetector, WorkingCopiesAreRefreshedOnEveryDetection) {
    SetString(HKEY_CURRENT_USER, JoinKey(kHotkeysKey, "1"), "Keys", "Ctrl+Alt+N");
    EXPECT_EQ(DetectToolState(150), "");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, JoinKey(kHotkeysTempKey, "1"), "Keys"), "Ctrl+Alt+N");
    // An unapplied edit of the working copy is discarded by the next detection.
    SetString(HKEY_CURRENT_USER, JoinKey(kHotkeysTempKey, "1"), "Keys", "edited");
    SetString(HKEY_CURRENT_USER, JoinKey(kHotkeysTempKey, "2"), "Keys", "new");
    DetectToolState(150);
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, JoinKey(kHotkeysTempKey, "1"), "Keys"), "Ctrl+Alt+N");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, JoinKey(kHotkeysTempKey, "2")));

    SetString(HKEY_CURRENT_USER, kDetailsKey, "Size", "1");
    DetectToolState(105);
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kDetailsTempKey, "Size"), "1");
}

TEST_F(StateDetector, RegistryPluginsCompareEachValueByItsType) {
    const std::string plugin = std::string(kPluginsKey) + "\\Reg";
    SetString(HKEY_LOCAL_MACHINE, plugin, "Caption", "Registry plugin");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Type", "3");
    EXPECT_EQ(DetectToolState(301), "0") << "no Key01";
    for (int n = 1; n <= 10; ++n) {
        std::string s = (n < 10 ? "0" : "") + std::to_string(n);
        SetString(HKEY_LOCAL_MACHINE, plugin, "Key" + s, "HKEY_CURRENT_USER\\Software\\Plug\\K" + s);
        SetString(HKEY_LOCAL_MACHINE, plugin, "Value" + s, "V");
        SetString(HKEY_LOCAL_MACHINE, plugin, "Enabled" + s, "on" + s);
        SetString(HKEY_CURRENT_USER, "Software\\Plug\\K" + s, "V", "on" + s);
    }
    EXPECT_EQ(DetectToolState(301), "1") << "ten matching triples, Key11 empty";
    SetDword(HKEY_LOCAL_MACHINE, plugin, "Enabled05", 7);
    SetDword(HKEY_CURRENT_USER, "Software\\Plug\\K05", "V", 7);
    SetBinaryHex(HKEY_LOCAL_MACHINE, plugin, "Enabled06", "0A0B");
    SetBinaryHex(HKEY_CURRENT_USER, "Software\\Plug\\K06", "V", "0A0B");
    EXPECT_EQ(DetectToolState(301), "1");
    SetDword(HKEY_CURRENT_USER, "Software\\Plug\\K05", "V", 8);
    EXPECT_EQ(DetectToolState(301), "0");
    // A target key that is missing does not match and is not created.
    SetDword(HKEY_CURRENT_USER, "Software\\Plug\\K05", "V", 7);
    DeleteKey(HKEY_CURRENT_USER, "Software\\Plug\\K10");
    EXPECT_EQ(DetectToolState(301), "0");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Plug\\K10"));
}

TEST_F(StateDetector, ContextMenuAndStartupPlugins) {
    const std::string menu = std::string(kPluginsKey) + "\\A";
    SetString(HKEY_LOCAL_MACHINE, menu, "Caption", "Menu plugin");
    SetString(HKEY_LOCAL_MACHINE, menu, "Type", "1");
    SetString(HKEY_LOCAL_MACHINE, menu, "Class", "PlugMenu");
    SetString(HKEY_LOCAL_MACHINE, menu, "mime00", "txtfile");
    SetString(HKEY_LOCAL_MACHINE, menu, "mime01", "Folder");
    Handler("txtfile", "PlugMenu");
    EXPECT_EQ(DetectToolState(301), "0");
    Handler("Folder", "PlugMenu");
    EXPECT_EQ(DetectToolState(301), "1");

    const std::string boot = std::string(kPluginsKey) + "\\B";
    SetString(HKEY_LOCAL_MACHINE, boot, "Caption", "Startup plugin");
    SetString(HKEY_LOCAL_MACHINE, boot, "Type", "2");
    SetString(HKEY_LOCAL_MACHINE, boot, "ShortcutName", "Plug Start");
    EXPECT_EQ(DetectToolState(302), "0");
    if (FILE* f = std::fopen((startup + "Plug Start.lnk").c_str(), "wb")) std::fclose(f);
    EXPECT_EQ(DetectToolState(302), "1");
    SetString(HKEY_LOCAL_MACHINE, boot, "Type", "9");
    EXPECT_EQ(DetectToolState(302), "");
    EXPECT_EQ(DetectToolState(303), "") << "no third plugin";
}

}  // namespace
