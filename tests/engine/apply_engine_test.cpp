// The apply driver and the settings footprints, over rows held in memory.
#include "engine/apply_engine.h"

#include "engine/footprint.h"
#include "engine/registry.h"
#include "engine/state_detector.h"
#include "engine/suite.h"
#include "services/system_actions.h"
#include "support/memory_rows.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

const std::string kNulText(1, '\0');
const char kOffice[] = "Software\\Microsoft\\Office\\";

class ApplyDriver : public ::testing::Test {
protected:
    void SetUp() override {
        SetInstallPath(kktest::FixturesFolder());
        startup = kktest::UseTempStartupFolder();
        // Automatic updates off: nothing else keeps the startup module.
        SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    }
    void TearDown() override {
        SetStartupModule(false);  // never leave a stand-in module running
        SetInstallPath("");
    }

    std::string Desktop(const char* name) { return GetString(HKEY_CURRENT_USER, kDesktopKey, name); }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    std::string startup;
};

TEST_F(ApplyDriver, MenuSpeedWritesTheDelayAndAsksToLogOff) {
    auto rows = kktest::MemoryRows::Build();
    ASSERT_EQ(rows.Row(123).kindTag, "2");
    rows.SetSettings(123, "2");
    recorder.answers = {IDYES};
    ApplyEngine engine(rows);
    engine.ApplyChanges();
    EXPECT_EQ(Desktop("MenuShowDelay"), "400");
    EXPECT_FALSE(rows.ChangedShown(123));
    EXPECT_TRUE(rows.changesApplied);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Log out now?");
    EXPECT_EQ(recorder.messages[0].style, 48 + 4 + 16384);
    EXPECT_EQ(recorder.messages[0].helpTopic, 100);
    EXPECT_EQ(recorder.restartRequests, std::vector<int>{4});

    // An unknown state writes nothing but still asks; No requests nothing.
    rows.SetSettings(123, "7");
    recorder.answers = {IDNO};
    engine.ApplyChanges();
    EXPECT_EQ(Desktop("MenuShowDelay"), "400");
    EXPECT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.restartRequests.size(), 1u);
    // Nothing changed: no question at all.
    engine.ApplyChanges();
    EXPECT_EQ(recorder.messages.size(), 2u);
}

TEST_F(ApplyDriver, ARestartOutranksALogOff) {
    const std::string plugin = std::string(kPluginsKey) + "\\Needy";
    SetString(HKEY_LOCAL_MACHINE, plugin, "Caption", "Needs a restart");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Type", "3");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Key01", "HKEY_CURRENT_USER\\Software\\Needy");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Value01", "On");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Enabled01", "yes");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Restart", "2");
    auto rows = kktest::MemoryRows::Build();
    ASSERT_TRUE(rows.Has(301));
    rows.Tick(301, true);
    rows.SetSettings(123, "0");
    ApplyEngine engine(rows);
    engine.ApplyChanges();
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, "Software\\Needy", "On"), "yes");
    EXPECT_EQ(Desktop("MenuShowDelay"), "0");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Restart now?");
    EXPECT_EQ(recorder.messages[0].text,
              "One or more of the changes you've just applied\rmay not take effect until you restart Windows.\r\r"
              "Do you want to Restart now?");
    EXPECT_EQ(rows.CheckTag(301), "1") << "the applied value is recorded";
}

TEST_F(ApplyDriver, AltTabAndOwnerSettings) {
    auto rows = kktest::MemoryRows::Build();
    ApplyEngine engine(rows);
    engine.ApplyTool(145, "07" + kNulText + "4");
    EXPECT_EQ(Desktop("CoolSwitchColumns"), "7");
    EXPECT_EQ(Desktop("CoolSwitchRows"), "4");
    EXPECT_TRUE(engine.flags().logOffNeeded);

    const std::string version = kktest::WindowsVersion();
    engine.ApplyTool(117, "Ada" + kNulText + "Analytical" + kNulText + "D:\\I386");
    const char* ownerKey = version == "winme" ? kWindowsKey : kWindowsNtKey;
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, ownerKey, "RegisteredOwner"), "Ada");
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, ownerKey, "RegisteredOrganization"), "Analytical");
    EXPECT_EQ(ValueExists(HKEY_LOCAL_MACHINE, kSetupKey, "SourcePath"), version != "vista");
    // What was written reads back the same.
    if (version != "vista") {
        EXPECT_EQ(DetectToolState(117), "Ada" + kNulText + "Analytical" + kNulText + "D:\\I386");
    }
}

// The values Me and 2000 write are checked by the round trip.
TEST_F(ApplyDriver, AutoplayFollowsTheWindowsVersion) {
    auto rows = kktest::MemoryRows::Build();
    ApplyEngine engine(rows);
    const std::string version = kktest::WindowsVersion();
    const std::string state = version == "winme" || version == "win2k" ? "1" : "67108863";
    engine.ApplyTool(130, state);
    EXPECT_EQ(DetectToolState(130), state);
    EXPECT_EQ(engine.flags().logOffNeeded, version != "winme" && version != "win2k");
}

TEST_F(ApplyDriver, PlacesBarPathsNumbersAndOfficePlaces) {
    SetString(HKEY_CURRENT_USER, std::string(kOffice) + "11.0\\Common\\Open Find\\Places\\UserDefinedPlaces\\Old", "Path", "x");
    SetDword(HKEY_CURRENT_USER, std::string(kOffice) + "10.0\\Common\\Open Find\\Places\\StandardPlaces\\Desktop", "Show", 1);
    auto rows = kktest::MemoryRows::Build();
    rows.SetSettings(142, "1201" + kNulText + "\\\\server\\share" + kNulText + "18" + kNulText + "C:\\Work" +
                              kNulText + "17" + kNulText + "5");
    ApplyEngine engine(rows);
    engine.ApplyChanges();

    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "PlacesSettings"), "120");
    EXPECT_EQ(GetDword(HKEY_CURRENT_USER, kComdlgPolicies, "NoPlacesBar"), 1);
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, kPlacesBarKey, "Place0"), REG_SZ);
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kPlacesBarKey, "Place0"), "\\\\server\\share");
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, kPlacesBarKey, "Place1"), REG_DWORD);
    EXPECT_EQ(GetDword(HKEY_CURRENT_USER, kPlacesBarKey, "Place1"), 18);
    EXPECT_EQ(GetDword(HKEY_CURRENT_USER, kPlacesBarKey, "Place3"), 17);

    for (const char* v : {"9.0", "10.0", "11.0"}) {
        const std::string places = std::string(kOffice) + v + "\\Common\\Open Find\\Places\\";
        EXPECT_EQ(GetString(HKEY_CURRENT_USER, places + "UserDefinedPlaces\\Place1", "Name"), "share") << v;
        EXPECT_EQ(GetDword(HKEY_CURRENT_USER, places + "UserDefinedPlaces\\Place1", "View"), 2);
        EXPECT_EQ(GetDword(HKEY_CURRENT_USER, places + "UserDefinedPlaces\\Place1", "ArrangeBy"), 3);
        EXPECT_EQ(GetDword(HKEY_CURRENT_USER, places + "UserDefinedPlaces\\Place1", "SortAscending"), 1);
        EXPECT_EQ(GetString(HKEY_CURRENT_USER, places + "UserDefinedPlaces\\Place3", "Path"), "C:\\Work");
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, places + "UserDefinedPlaces\\Place2")) << "18 is no folder of its own";
        EXPECT_EQ(GetString(HKEY_CURRENT_USER, places + "StandardPlaces\\Publishing", "Show"), "1");
        EXPECT_EQ(GetDword(HKEY_CURRENT_USER, places + "StandardPlaces\\Publishing", "Index"), 1);
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(kOffice) + "11.0\\Common\\Open Find\\Places\\UserDefinedPlaces\\Old"));
    EXPECT_EQ(GetDword(HKEY_CURRENT_USER, std::string(kOffice) + "10.0\\Common\\Open Find\\Places\\StandardPlaces\\Desktop", "Show"), 0);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Customize the Places Bar");
    EXPECT_EQ(recorder.messages[0].style, 48 + 16384);
    EXPECT_EQ(recorder.messages[0].helpTopic, 142);
}

TEST_F(ApplyDriver, RegistryPluginOffRemovesOrRestores) {
    const std::string plugin = std::string(kPluginsKey) + "\\Reg";
    SetString(HKEY_LOCAL_MACHINE, plugin, "Caption", "Registry plugin");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Type", "3");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Key01", "HKEY_CURRENT_USER\\Software\\Plug\\Gone");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Value01", "V");
    SetDword(HKEY_LOCAL_MACHINE, plugin, "Enabled01", 1);
    SetDword(HKEY_LOCAL_MACHINE, plugin, "Disabled01", 0);
    SetString(HKEY_LOCAL_MACHINE, plugin, "RemoveKey01", "1");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Key02", "hkey_current_user\\Software\\Plug\\Kept");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Value02", "B");
    SetBinaryHex(HKEY_LOCAL_MACHINE, plugin, "Enabled02", "0102");
    SetBinaryHex(HKEY_LOCAL_MACHINE, plugin, "Disabled02", "0000");
    auto rows = kktest::MemoryRows::Build();
    ApplyEngine engine(rows);
    engine.ApplyTool(301, "1");
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, "Software\\Plug\\Gone", "V"), REG_DWORD);
    EXPECT_EQ(GetBinaryHex(HKEY_CURRENT_USER, "Software\\Plug\\Kept", "B"), "0102");
    EXPECT_EQ(DetectToolState(301), "1");
    engine.ApplyTool(301, "0");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Plug\\Gone")) << "RemoveKey01 wins over Disabled01";
    EXPECT_EQ(GetBinaryHex(HKEY_CURRENT_USER, "Software\\Plug\\Kept", "B"), "0000");
    EXPECT_EQ(DetectToolState(301), "0");
}

TEST_F(ApplyDriver, ContextMenuPluginWithoutTypesWritesNoHandler) {
    const std::string plugin = std::string(kPluginsKey) + "\\Menu";
    SetString(HKEY_LOCAL_MACHINE, plugin, "Caption", "Menu plugin");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Type", "1");
    SetString(HKEY_LOCAL_MACHINE, plugin, "Class", "PlugMenu");
    SetString(HKEY_LOCAL_MACHINE, plugin, "CLSID", "{11111111-2222-3333-4444-555555555555}");
    SetString(HKEY_LOCAL_MACHINE, plugin, "DLL", "plug.dll");
    auto rows = kktest::MemoryRows::Build();
    ApplyEngine engine(rows);
    engine.ApplyTool(301, "1");
    EXPECT_TRUE(EnumKeys(HKEY_CLASSES_ROOT, "txtfile").empty());
    // Its class is still served from the suite folder.
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, "CLSID\\{11111111-2222-3333-4444-555555555555}\\InProcServer32", ""),
              InstallPath() + "plug.dll");
    SetString(HKEY_LOCAL_MACHINE, plugin, "mime00", "txtfile");
    engine.ApplyTool(301, "1");
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, "txtfile\\shellex\\ContextMenuHandlers\\PlugMenu", ""),
              "{11111111-2222-3333-4444-555555555555}");
    engine.ApplyTool(301, "0");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "txtfile\\shellex\\ContextMenuHandlers\\PlugMenu"));
}

TEST_F(ApplyDriver, LinkRowsTakeTheirSettingsFromTheLink) {
    auto rows = kktest::MemoryRows::Build();
    ASSERT_EQ(rows.LinkTag(156), "#00New Folder");
    rows.SetSettings(156, "11Work");
    rows.Tick(156, true);
    rows.SetSettings(107, "3powershell.exe" + kNulText + "-NoExit");
    ApplyEngine engine(rows);
    engine.ApplyChanges();
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "Quick New Folder"), "1");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "Quick New Folder Prompt"), "1");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "Quick New Folder Open"), "1");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "Quick New Folder Name"), "Work");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPrompt"), "3");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPromptApp"), "powershell.exe");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "CommandPromptCLP"), "-NoExit");
    // The new-folder feature needs the startup module, so Apply installed it.
    EXPECT_TRUE(StartupModuleNeeded());
    EXPECT_EQ(DetectToolState(156), "111Work");
    // With every feature off again the module and its shortcut go.
    rows.Tick(156, false);
    engine.ApplyChanges();
    EXPECT_FALSE(StartupModuleNeeded());
    EXPECT_EQ(DetectToolState(156).substr(0, 1), "0");
    EXPECT_EQ(GetFileAttributesA((startup + "Marrowby Kestrelkit Startup.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ApplyDriver, DetailsAndHotkeysWorkingCopiesBecomeTheSavedOnes) {
    auto rows = kktest::MemoryRows::Build();  // detection refreshes both working copies
    // The user's edits on the details and hotkeys pages.
    SetString(HKEY_CURRENT_USER, kDetailsTempKey, "Size", "1");
    SetString(HKEY_CURRENT_USER, JoinKey(kHotkeysTempKey, "1"), "Keys", "Ctrl+Q");
    ApplyEngine engine(rows);
    engine.ApplyTool(104, "0");  // unticked, but its details page changed
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kDetailsKey, "Size"), "1");
    engine.ApplyTool(150, "1");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, JoinKey(kHotkeysKey, "1"), "Keys"), "Ctrl+Q");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "EnableHotkeys"), "1");
}

TEST(StartupModuleRule, NeededUnlessEverythingIsOff) {
    kktest::ScratchRegistry scratch;
    EXPECT_TRUE(StartupModuleNeeded()) << "automatic updates are on by default";
    SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    EXPECT_FALSE(StartupModuleNeeded());
    SetString(HKEY_CURRENT_USER, kSuiteKey, "ClearTemp", "0");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "EnableHotkeys", "");
    EXPECT_FALSE(StartupModuleNeeded());
    SetString(HKEY_CURRENT_USER, kSuiteKey, "FD_Resize", "1");
    EXPECT_TRUE(StartupModuleNeeded());
    SetString(HKEY_CURRENT_USER, kSuiteKey, "FD_Resize", "0");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "EnforceNewSelections", "x");
    EXPECT_TRUE(StartupModuleNeeded());
}

}  // namespace
