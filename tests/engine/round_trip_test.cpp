// Every on/off tool of the catalogue, applied on and off through the apply
// driver with the stand-in DLLs, and read back by the state detector as the
// next start would. The expected footprints are written out here as the
// suite's components rely on them, independently of the engine's tables.
#include "app/modes.h"
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

#include <map>

using namespace kk;

namespace {

const char kHandlers[] = "\\shellex\\ContextMenuHandlers\\";
const char kStatic[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FindExtensions\\Static\\";

struct HandlerExpectation {
    std::string path;     // under HKEY_CLASSES_ROOT
    std::string dllBase;  // the stand-in whose class the key must carry
};

struct Footprint {
    std::vector<HandlerExpectation> handlers;
    std::vector<std::string> machineKeys;   // keys under HKLM that exist only while on
    const char* suiteFlag = nullptr;        // HKCU suite value "1" while on
};

std::string H(const char* type, const char* name) { return std::string(type) + kHandlers + name; }

const std::map<int, Footprint>& Expected() {
    static const std::map<int, Footprint> table = {
        {101, {{{H("*", "KkRenameMenu"), "kkrename"}}}},
        {103, {{{H("*", "KkCopyDataMenu"), "kkcopydata"}}}},
        {104, {{{H("*", "KkCopyNameMenu"), "kkcopyname"}, {H("Directory", "KkCopyNameMenu"), "kkcopyname"}}}},
        {105, {{{H("Directory", "KkListingMenu"), "kklisting"}}}},
        {107, {{{H("Directory", "KkPrompt"), "kkprompt"}, {H("Directory\\Background", "KkPrompt"), "kkpromptbg"}}}},
        {109, {{{H("*", "KkCopyToMenu"), "kkcopyto"}, {H("Directory", "KkCopyToMenu"), "kkcopyto"}}}},
        {113, {{{H("Directory", "KkPrintListMenu"), "kkprintlist"}}}},
        {134, {{{H("InternetShortcut", "KkUrlCopyMenu"), "kkurlcopy"}}}},
        {140, {{{H("Directory", "KkDupesMenu"), "kkfinddupes"}}, {std::string(kStatic) + "KkDupes\\0"}}},
        {144, {{{H("*", "KkDatesMenu"), "kkdates"}, {H("Directory", "KkDatesMenu"), "kkdates"}}}},
        {151, {{{H("*", "KkFtpMenu"), "kkftp"}, {H("Directory", "KkFtpMenu"), "kkftp"}}}},
        {152, {{{H("*", "KkPendingMenu"), "kkpending"}}}},
        {157, {{{H("regfile", "KkRegScanMenu"), "kkregscan"}}, {std::string(kStatic) + "KkRegFind\\0"}}},
        {158, {{{H("htmlfile", "KkHtmlCutMenu"), "kkhtmlcut"}, {H("htmfile", "KkHtmlCutMenu"), "kkhtmlcut"}}}},
        {161, {{{H("InternetShortcut", "KkFetchMenu"), "kkfetch"}}}},
        {162, {{{H("*", "Contrast"), "kkdiff"}, {H("Directory", "Contrast"), "kkdiffdir"}}}},
        {163, {{{H("lnkfile", "KkShortcutJump"), "kkjump"}}}},
        {164, {{{H("lnkfile", "KkFolderLinkMenu"), "kkfoldlink"}, {H("Directory", "KkFolderLinkMenu"), "kkfoldlink"}}}},
        {165, {{{H("Directory\\Background", "KkSelectMenu"), "kkselect"}}}},
        {167, {{{H("*", "KkFileTypeMenu"), "kkfiletype"}}}},
        {168, {{{H("*", "KkFlagsMenu"), "kkflags"}, {H("Directory", "KkFlagsMenu"), "kkflags"}}}},
        {169, {{{H("*", "KkMarkFolderMenu"), "kkmark"}, {H("Directory", "KkMarkFolderMenu"), "kkmark"}}}},
        {146, {{}, {}, "SearchFix"}},
        {153, {{}, {}, "ClearTemp"}},
        {156, {{}, {}, "Quick New Folder"}},
        {159, {{}, {}, "FD_Recent"}},
        {160, {{}, {}, "FD_FullPath"}},
        {166, {{}, {}, "FD_Resize"}},
        {130, {}},  // Autoplay: its footprint depends on the Windows version, see below
    };
    return table;
}

// The class a stand-in DLL recorded for itself when it registered.
std::string ClassOf(const std::string& dllBase, const char* kind = "clsContextMenu") {
    return GetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + dllBase + "." + kind + "\\Clsid", "");
}

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(kktest::FixturesFolder().empty());
        SetInstallPath(kktest::FixturesFolder());
        startup = kktest::UseTempStartupFolder();
        SetString(HKEY_CLASSES_ROOT, ".html", "", "htmlfile");
        SetString(HKEY_CLASSES_ROOT, ".htm", "", "htmfile");
        SetString(HKEY_CLASSES_ROOT, ".reg", "", "regfile");
        SetString(HKEY_CURRENT_USER, kSuiteKey, "EnableTag", "1");
        SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
        // Without any policy, Me and 2000 count Autoplay as switched off already:
        // start from Windows' own Autoplay-on settings instead.
        SetBinaryHex(HKEY_CURRENT_USER, kExplorerPolicies, "NoDriveTypeAutoRun", "95000000");
        SetDword(HKEY_LOCAL_MACHINE, kCdromKey, "Autorun", 1);
    }
    void TearDown() override {
        SetStartupModule(false);  // never leave a stand-in module running
        SetInstallPath("");
    }

    std::vector<int> OnOffTools(kktest::MemoryRows& rows) {
        std::vector<int> ids;
        for (int id : rows.ToolIds())
            if (rows.KindTag(id) == "1") ids.push_back(id);
        return ids;
    }

    void ExpectFootprint(int toolId, bool on) {
        SCOPED_TRACE("tool " + std::to_string(toolId) + (on ? " on" : " off"));
        auto it = Expected().find(toolId);
        ASSERT_NE(it, Expected().end()) << "no expected footprint for this tool";
        const Footprint& f = it->second;
        for (const auto& h : f.handlers) {
            EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, h.path), on) << h.path;
            if (on) {
                EXPECT_FALSE(ClassOf(h.dllBase).empty()) << h.dllBase << " registered itself";
                EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, h.path, ""), ClassOf(h.dllBase)) << h.path;
            }
        }
        for (const auto& key : f.machineKeys) EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, key), on) << key;
        if (f.suiteFlag) {
            std::string value = GetString(HKEY_CURRENT_USER, kSuiteKey, f.suiteFlag);
            EXPECT_EQ(value, on ? "1" : "0") << f.suiteFlag;
        }
        if (toolId == 130) {
            const std::string version = kktest::WindowsVersion();
            const char* policies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
            if (version == "winme")
                EXPECT_EQ(GetBinaryHex(HKEY_CURRENT_USER, policies, "NoDriveTypeAutoRun"), on ? "B5000000" : "95000000");
            else if (version == "win2k")
                EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Cdrom", "Autorun"), on ? 0 : 1);
            else
                EXPECT_EQ(GetDword(HKEY_CURRENT_USER, policies, "NoDriveAutoRun"), on ? 1 : 0);
        }
        if (toolId == 169) {
            const std::string folder = ClassOf("kkmarkfolder", "ShellFolder");
            ASSERT_FALSE(folder.empty());
            EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE,
                                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\" + folder),
                      on);
        }
    }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    std::string startup;
};

TEST_F(RoundTrip, EveryToolOnThenOffAsTheNextStartSeesIt) {
    auto rows = kktest::MemoryRows::Build();
    const std::vector<int> tools = OnOffTools(rows);
    ASSERT_GT(tools.size(), 15u);
    for (int id : tools) EXPECT_EQ(rows.CheckValue(id), 0) << "tool " << id << " starts off";

    for (int id : tools) rows.Tick(id, true);
    ApplyEngine(rows).ApplyChanges();
    auto next = kktest::MemoryRows::Build();
    for (int id : tools) {
        EXPECT_EQ(next.CheckValue(id), 1) << "tool " << id << " reads back on";
        ExpectFootprint(id, true);
    }
    EXPECT_TRUE(StartupModuleInstalled()) << "the startup features need the module";
    // Approved as shell extensions of the suite.
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                        ClassOf("kkrename")),
              "Marrowby Kestrelkit: kkrename");

    for (int id : tools) next.Tick(id, false);
    ApplyEngine(next).ApplyChanges();
    auto after = kktest::MemoryRows::Build();
    for (int id : tools) {
        EXPECT_EQ(after.CheckValue(id), 0) << "tool " << id << " reads back off";
        ExpectFootprint(id, false);
    }
    EXPECT_FALSE(StartupModuleInstalled());
}

TEST_F(RoundTrip, UninstallLeavesNoFootprintBehind) {
    auto rows = kktest::MemoryRows::Build();
    const std::vector<int> tools = OnOffTools(rows);
    for (int id : tools) rows.Tick(id, true);
    rows.SetSettings(123, "0");
    rows.SetSettings(145, std::string("5\0" "2", 3));
    ApplyEngine(rows).ApplyChanges();
    ASSERT_TRUE(StartupModuleInstalled());

    auto atUninstall = kktest::MemoryRows::Build();
    RunUninstall(atUninstall);
    for (int id : tools) ExpectFootprint(id, false);
    EXPECT_FALSE(StartupModuleInstalled());
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay"), "400");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kDesktopKey, "CoolSwitchColumns"), "7");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kDesktopKey, "CoolSwitchRows"), "3");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "EnableHotkeys"), "0");
}

TEST_F(RoundTrip, DllUpgradeRegistersOnlyTheTickedListedTools) {
    auto rows = kktest::MemoryRows::Build();
    rows.Tick(101, true);  // listed
    rows.Tick(152, true);  // not listed
    ApplyEngine(rows).ApplyChanges();
    // An installation replaced the DLLs: their handlers now name stale classes.
    SetString(HKEY_CLASSES_ROOT, H("*", "KkRenameMenu"), "", "stale");
    SetString(HKEY_CLASSES_ROOT, H("*", "KkPendingMenu"), "", "stale");
    SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade", "1");
    recorder.messages.clear();

    auto atStart = kktest::MemoryRows::Build();
    ASSERT_EQ(atStart.CheckValue(101), 1);
    ASSERT_EQ(atStart.CheckValue(152), 1);
    ASSERT_TRUE(DllUpgradePending());
    RunDllUpgrade(atStart);
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, H("*", "KkRenameMenu"), ""), ClassOf("kkrename"));
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, H("*", "KkPendingMenu"), ""), "stale") << "not a tool whose DLL is replaced";
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, H("*", "KkCopyDataMenu"))) << "unticked";
    EXPECT_FALSE(DllUpgradePending());
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade"));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Update Complete");
    EXPECT_EQ(recorder.messages[0].text, "Installation is complete.\r\n\r\nYour tools are now ready to use.");
    EXPECT_EQ(recorder.messages[0].style, 64 + 1);
}

}  // namespace
