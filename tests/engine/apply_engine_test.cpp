// The apply driver and the settings footprints, over rows held in memory,
// each read back by the state detector as the next start would.
#include "engine/apply_engine.h"

#include "app/memory_rows.h"
#include "engine/footprint.h"
#include "engine/registry.h"
#include "engine/shell_registration.h"
#include "engine/state_detector.h"
#include "engine/suite.h"
#include "services/system_actions.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

const HKEY kUser = HKEY_CURRENT_USER, kMachine = HKEY_LOCAL_MACHINE, kClasses = HKEY_CLASSES_ROOT;

// Fields as the rows and pages pass them, separated by NULs.
std::string Fields(std::initializer_list<std::string> parts) {
    std::string text;
    for (const std::string& p : parts) text += p + '\0';
    return text.substr(0, text.size() - 1);
}

std::string AddPlugin(const std::string& name, std::initializer_list<std::pair<const char*, std::string>> values) {
    const std::string key = JoinKey(kPluginsKey, name);
    for (const auto& [valueName, text] : values) SetString(kMachine, key, valueName, text);
    return key;
}

class ApplyDriver : public ::testing::Test {
protected:
    void SetUp() override {
        SetInstallPath(kktest::FixturesFolder());
        // Automatic updates off: nothing else keeps the startup module.
        SetString(kUser, kSuiteKey, "NoAutoUpdate", "1");
    }
    void TearDown() override {
        SetStartupModule(false);  // never leave a stand-in module running
        SetInstallPath("");
    }
    static std::string Desktop(const char* name) { return GetString(kUser, kDesktopKey, name); }
    static std::string Suite(const char* name) { return GetString(kUser, kSuiteKey, name); }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    const std::string startup = kktest::UseTempStartupFolder();
    const std::string version = kktest::WindowsVersion();
};

TEST_F(ApplyDriver, ApplyAsksToLogOffOnlyAfterAChangeAndARestartOutranksIt) {
    auto rows = kk::MemoryRows::Build();
    rows.SetSettings(123, "2");
    recorder.answers = {IDYES};
    ApplyEngine engine(rows);
    engine.ApplyChanges();
    EXPECT_EQ(Desktop("MenuShowDelay"), "400");
    EXPECT_EQ(recorder.Message(0), "One or more of the changes you've just applied\rmay not take effect until the next "
                                   "time you log in.\r\rDo you want to log out and log back in now?|Log out now?|" +
                                       std::to_string(MB_ICONEXCLAMATION | MB_YESNO | MB_HELP) + "|100");
    EXPECT_EQ(recorder.restartRequests, std::vector<int>{4});
    // An unknown state writes nothing but still asks; No requests nothing.
    rows.SetSettings(123, "7");
    recorder.answers = {IDNO};
    engine.ApplyChanges();
    EXPECT_EQ(Desktop("MenuShowDelay"), "400");
    EXPECT_EQ(recorder.restartRequests.size(), 1u);
    engine.ApplyChanges();
    EXPECT_EQ(recorder.messages.size(), 2u) << "nothing changed: no question";
    ApplyEngine grid(rows);  // the Alt-Tab grid asks too; its columns are read as a number
    grid.ApplyTool(145, std::string("07\0" "4", 4));
    EXPECT_EQ(Desktop("CoolSwitchColumns") + "|" + Desktop("CoolSwitchRows"), "7|4");
    EXPECT_TRUE(grid.flags().logOffNeeded);

    AddPlugin("Needy", {{"Caption", "Needs a restart"}, {"Type", "3"}, {"Restart", "2"}});
    auto more = kk::MemoryRows::Build();
    more.Tick(301, true);
    more.SetSettings(123, "0");
    recorder.answers = {IDYES};
    ApplyEngine(more).ApplyChanges();
    EXPECT_EQ(recorder.Message(2), "One or more of the changes you've just applied\rmay not take effect until you "
                                   "restart Windows.\r\rDo you want to Restart now?|Restart now?|" +
                                       std::to_string(MB_ICONEXCLAMATION | MB_YESNO | MB_HELP) + "|100");
    EXPECT_EQ(recorder.restartRequests, (std::vector<int>{4, 2})) << "Yes restarts";
    EXPECT_EQ(more.CheckTag(301), "1") << "the applied value is recorded";
}

TEST_F(ApplyDriver, VersionDependentSettingsReadBackAsWritten) {
    auto rows = kk::MemoryRows::Build();
    ApplyEngine engine(rows), autoplay(rows);
    // The owner's key follows the version; Vista keeps no setup location and
    // an empty field reads back as one blank.
    engine.ApplyTool(117, Fields({"Ada", "", "D:\\I386"}));
    EXPECT_EQ(GetString(kMachine, version == "winme" ? kWindowsKey : kWindowsNtKey, "RegisteredOwner"), "Ada");
    EXPECT_EQ(ValueExists(kMachine, kSetupKey, "SourcePath"), version != "vista");
    EXPECT_EQ(DetectToolState(117), Fields({"Ada", " ", version == "vista" ? " " : "D:\\I386"}));
    // Autoplay after XP (Me and 2000 are in the round trip).
    const bool old = version == "winme" || version == "win2k";
    autoplay.ApplyTool(130, old ? "1" : "67108863");
    EXPECT_EQ(DetectToolState(130), old ? "1" : "67108863");
    EXPECT_EQ(autoplay.flags().logOffNeeded, !old);
}

TEST_F(ApplyDriver, PlacesBarPathsNumbersAndOfficePlaces) {
    auto places = [](const char* v) {
        return std::string("Software\\Microsoft\\Office\\") + v + ".0\\Common\\Open Find\\Places\\";
    };
    auto number = [](const std::string& key, const char* name) { return std::to_string(GetDword(kUser, key, name)); };
    SetString(kUser, places("11") + "UserDefinedPlaces\\Old", "Path", "x");
    SetDword(kUser, places("10") + "StandardPlaces\\Desktop", "Show", 1);
    auto rows = kk::MemoryRows::Build();
    EXPECT_EQ(rows.ButtonTag(142), Fields({"0000", "34", "0", "5", "17", "18", ""})) << "the standard bar";
    const std::string state = Fields({"1201", "\\\\server\\share", "18", "C:\\Work", "17", "5"});
    rows.SetSettings(142, state);
    ApplyEngine(rows).ApplyChanges();
    EXPECT_EQ(DetectToolState(142), state);
    for (const char* v : {"9", "10", "11"}) {
        const std::string share = places(v) + "UserDefinedPlaces\\Place1",
                          publishing = places(v) + "StandardPlaces\\Publishing";
        EXPECT_EQ(GetString(kUser, share, "Name") + number(share, "View") + number(share, "ArrangeBy") +
                      number(share, "SortAscending"), "share231") << v;
        EXPECT_EQ(GetString(kUser, places(v) + "UserDefinedPlaces\\Place3", "Path"), "C:\\Work") << v;
        EXPECT_FALSE(KeyExists(kUser, places(v) + "UserDefinedPlaces\\Place2")) << "18 is no folder of its own";
        EXPECT_EQ(GetString(kUser, publishing, "Show") + number(publishing, "Index"), "11") << v;
    }
    EXPECT_FALSE(KeyExists(kUser, places("11") + "UserDefinedPlaces\\Old"));
    EXPECT_EQ(GetDword(kUser, places("10") + "StandardPlaces\\Desktop", "Show"), 0);
    EXPECT_EQ(recorder.messages.size() == 1 ? recorder.messages[0].title : "", "Customize the Places Bar");
}

TEST_F(ApplyDriver, RegistryPluginWritesEachValueWithItsTypeAndReadsItBack) {
    const std::string plugin = AddPlugin("Reg", {{"Caption", "Registry plugin"}, {"Type", "3"}});
    EXPECT_EQ(DetectToolState(301), "0") << "no Key01";
    for (int n = 1; n <= 10; ++n) {
        const std::string s = (n < 10 ? "0" : "") + std::to_string(n);
        SetString(kMachine, plugin, "Key" + s,
                  (n == 2 ? "hkey_current_user" : "HKEY_CURRENT_USER") + ("\\Software\\Plug\\K" + s));
        SetString(kMachine, plugin, "Value" + s, "V");
        SetString(kMachine, plugin, "Enabled" + s, "on" + s);
    }
    SetDword(kMachine, plugin, "Enabled01", 1);
    SetDword(kMachine, plugin, "Disabled01", 0);
    SetString(kMachine, plugin, "RemoveKey01", "1");
    SetBinaryHex(kMachine, plugin, "Enabled02", "0102");
    SetBinaryHex(kMachine, plugin, "Disabled02", "0000");
    auto rows = kk::MemoryRows::Build();
    ApplyEngine engine(rows);
    engine.ApplyTool(301, "1");
    EXPECT_EQ(GetValueType(kUser, "Software\\Plug\\K01", "V"), REG_DWORD);
    EXPECT_EQ(GetBinaryHex(kUser, "Software\\Plug\\K02", "V"), "0102");
    EXPECT_EQ(GetString(kUser, "Software\\Plug\\K10", "V"), "on10");
    EXPECT_EQ(DetectToolState(301), "1");
    SetDword(kUser, "Software\\Plug\\K01", "V", 2);
    EXPECT_EQ(DetectToolState(301), "0") << "a number that differs";
    engine.ApplyTool(301, "0");
    EXPECT_FALSE(KeyExists(kUser, "Software\\Plug\\K01")) << "RemoveKey01 wins over Disabled01";
    EXPECT_EQ(GetBinaryHex(kUser, "Software\\Plug\\K02", "V"), "0000");
    EXPECT_EQ(DetectToolState(301), "0");
    EXPECT_FALSE(KeyExists(kUser, "Software\\Plug\\K01")) << "detection does not create a missing target";
}

TEST_F(ApplyDriver, MenuAndStartupPluginsWriteTheirHandlersAndShortcut) {
    const std::string clsid = "{11111111-2222-3333-4444-555555555555}", server = "CLSID\\" + clsid + "\\InProcServer32";
    const std::string menu = AddPlugin("A", {{"Caption", "Menu plugin"}, {"Type", "1"}, {"Class", "PlugMenu"},
                                             {"CLSID", clsid}, {"DLL", "plug.dll"}});
    AddPlugin("B", {{"Caption", "Startup plugin"}, {"Type", "2"}, {"ShortcutName", "Plug Start"},
                    {"ShortcutTarget", InstallPath() + "kkboot.exe"}});
    auto rows = kk::MemoryRows::Build();
    ApplyEngine engine(rows);
    engine.ApplyTool(301, "1");
    EXPECT_TRUE(EnumKeys(kClasses, "txtfile").empty()) << "no file types, no handler";
    // Its class is still served from the suite folder, and approved.
    EXPECT_EQ(GetString(kClasses, server, "") + "|" + GetString(kClasses, server, "ThreadingModel"),
              InstallPath() + "plug.dll|Apartment");
    EXPECT_EQ(GetString(kClasses, "PlugMenu\\CLSID", ""), clsid);
    EXPECT_EQ(GetString(kMachine, kApprovedKey, clsid), "Marrowby Kestrelkit: PlugMenu");
    SetString(kMachine, menu, "mime00", "txtfile");
    SetString(kMachine, menu, "mime01", "Folder");
    engine.ApplyTool(301, "1");
    EXPECT_EQ(GetString(kClasses, "txtfile\\shellex\\ContextMenuHandlers\\PlugMenu", ""), clsid);
    EXPECT_EQ(DetectToolState(301), "1");
    DeleteKey(kClasses, "Folder\\shellex\\ContextMenuHandlers\\PlugMenu");
    EXPECT_EQ(DetectToolState(301), "0") << "every file type's handler counts";
    engine.ApplyTool(301, "0");
    EXPECT_FALSE(KeyExists(kClasses, "txtfile\\shellex\\ContextMenuHandlers\\PlugMenu"));

    EXPECT_EQ(DetectToolState(302), "0");
    engine.ApplyTool(302, "1");
    EXPECT_TRUE(FileExists(startup + "Plug Start.lnk"));
    EXPECT_EQ(DetectToolState(302), "1");
    engine.ApplyTool(302, "0");
    EXPECT_EQ(DetectToolState(302), "0");
    SetString(kMachine, JoinKey(kPluginsKey, "B"), "Type", "9");
    EXPECT_EQ(DetectToolState(302) + DetectToolState(303), "") << "an unknown type; no third plugin";
}

TEST_F(ApplyDriver, LinkRowsTakeTheirSettingsFromTheLinkAndKeepTheStartupModuleInStep) {
    auto rows = kk::MemoryRows::Build();
    ASSERT_EQ(rows.LinkTag(156), "#00New Folder");
    rows.SetSettings(156, "11Work");
    rows.Tick(156, true);
    rows.SetSettings(107, Fields({"3powershell.exe", "-NoExit"}));
    ApplyEngine engine(rows);
    engine.ApplyChanges();
    EXPECT_EQ(Suite("Quick New Folder") + Suite("Quick New Folder Prompt") + Suite("Quick New Folder Open") + "|" +
                  Suite("Quick New Folder Name"), "111|Work");
    EXPECT_EQ(Suite("CommandPrompt") + "|" + Suite("CommandPromptApp") + "|" + Suite("CommandPromptCLP"),
              "3|powershell.exe|-NoExit");
    // The new-folder feature needs the startup module, so Apply installed it.
    EXPECT_EQ(DetectToolState(156), "111Work");
    rows.Tick(156, false);
    engine.ApplyChanges();
    EXPECT_FALSE(StartupModuleInstalled()) << "with every feature off the module goes";

    // A whole state (an undo, an import) brings its own settings, whatever the link holds.
    engine.ApplyStates({{156, "101Old"}, {107, "0" + Fields({"1", ""})}}, "Undo");
    EXPECT_EQ(DetectToolState(156), "101Old");
    EXPECT_EQ(Suite("CommandPrompt") + "|" + Suite("CommandPromptApp"), "1|");
}

// Apply saving the pages' edits is proven end to end with the list pages.
TEST_F(ApplyDriver, AnUnappliedEditOfAWorkingCopyIsDiscardedByTheNextDetection) {
    SetString(kUser, JoinKey(kHotkeysKey, "1"), "Keys", "Ctrl+Alt+N");
    SetString(kUser, kDetailsKey, "Size", "1");
    auto rows = kk::MemoryRows::Build();
    EXPECT_EQ(GetString(kUser, kDetailsTempKey, "Size"), "1");
    SetString(kUser, JoinKey(kHotkeysTempKey, "1"), "Keys", "edited");
    SetString(kUser, JoinKey(kHotkeysTempKey, "2"), "Keys", "new");
    DetectToolState(150);
    EXPECT_EQ(GetString(kUser, JoinKey(kHotkeysTempKey, "1"), "Keys"), "Ctrl+Alt+N");
    EXPECT_FALSE(KeyExists(kUser, JoinKey(kHotkeysTempKey, "2")));
}

TEST(StartupModuleRule, NeededUnlessEverythingIsOff) {
    kktest::ScratchRegistry scratch;
    EXPECT_TRUE(StartupModuleNeeded()) << "automatic updates are on by default";
    const struct {
        const char *name, *value;
        bool needed;
    } steps[] = {{"NoAutoUpdate", "1", false}, {"ClearTemp", "0", false}, {"EnableHotkeys", "", false},
                 {"FD_Resize", "1", true},     {"FD_Resize", "0", false}, {"EnforceNewSelections", "x", true}};
    for (const auto& s : steps) {
        SetString(kUser, kSuiteKey, s.name, s.value);
        EXPECT_EQ(StartupModuleNeeded(), s.needed) << s.name << "=" << s.value;
    }
}

}  // namespace
