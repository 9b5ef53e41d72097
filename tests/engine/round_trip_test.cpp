// Every on/off tool of the catalogue, applied on and off through the apply
// driver with the stand-in DLLs, and read back by the state detector as the
// next start would. The expected footprints are written out here as the
// suite's components rely on them, independently of the engine's tables.
#include "../fixtures/stand_in_classes.h"
#include "app/memory_rows.h"
#include "app/modes.h"
#include "engine/apply_engine.h"
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
    std::vector<HandlerExpectation> handlers{};
    std::vector<std::string> machineKeys{};  // keys under HKLM that exist only while on
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

// What the Search menu shows for the two search tools while they are on.
struct SearchMenu {
    const char *entry, *text, *dll;
};
const std::map<int, SearchMenu> kSearchMenus = {
    {140, {"KkDupes", "For &Duplicate Files...", "kkdupes.dll"}},
    {157, {"KkRegFind", "For &Registry Entries...", "kkregfind.dll"}},
};

// The fixed class of a stand-in DLL.
std::string ClassOf(const std::string& dllBase) { return kkfixtures::FindStandIn(dllBase.c_str())->clsid; }

// A suite value as the suite's own components read it: into a buffer that
// still holds what was there before, up to the first NUL.
std::string AsTheSuiteReadsIt(const char* name) {
    char buffer[16] = "???????????????";
    DWORD size = sizeof buffer - 1;
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, kSuiteKey, 0, KEY_READ, &key);
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return "[" + std::string(buffer) + "]";
}

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(kktest::FixturesFolder().empty());
        SetInstallPath(kktest::FixturesFolder());
        kktest::UseTempStartupFolder();
        for (const char* type : {"html", "htm", "reg"})
            SetString(HKEY_CLASSES_ROOT, std::string(".") + type, "", std::string(type) + "file");
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

    std::vector<int> OnOffTools(kk::MemoryRows& rows) {
        std::vector<int> ids;
        for (int id : rows.ToolIds())
            if (rows.KindTag(id) == "1") ids.push_back(id);
        return ids;
    }

    void ExpectFootprint(int toolId, bool on) {
        SCOPED_TRACE("tool " + std::to_string(toolId) + (on ? " on" : " off"));
        auto it = Expected().find(toolId);
        ASSERT_NE(it, Expected().end()) << "no expected footprint for this tool";
        for (const auto& h : it->second.handlers) {
            EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, h.path), on) << h.path;
            if (on) {
                EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, h.path, ""), ClassOf(h.dllBase)) << h.path;
            }
        }
        for (const auto& key : it->second.machineKeys) EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, key), on) << key;
        if (const char* flag = it->second.suiteFlag) {
            EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, flag), on ? "1" : "0");
        }
        const std::string version = kktest::WindowsVersion();
        const char* policies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
        if (toolId == 130 && version == "winme") {
            EXPECT_EQ(GetBinaryHex(HKEY_CURRENT_USER, policies, "NoDriveTypeAutoRun"), on ? "B5000000" : "95000000");
        } else if (toolId == 130 && version == "win2k") {
            EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Cdrom", "Autorun"), on ? 0 : 1);
        } else if (toolId == 130) {  // XP and later: written and read back in apply_engine_test.cpp
            EXPECT_EQ(GetDword(HKEY_CURRENT_USER, policies, "NoDriveAutoRun"), on ? 1 : 0);
        }
        const std::string tagged = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\";
        if (toolId == 169) {
            EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, tagged + ClassOf("kkmarkfolder")), on);
            if (on) ExpectTagFolderClass(tagged + ClassOf("kkmarkfolder"));
        }
        auto search = kSearchMenus.find(toolId);
        if (on && search != kSearchMenus.end()) ExpectSearchMenu(search->second);
    }

    // The folder of tagged files as Explorer reads it from its class.
    void ExpectTagFolderClass(const std::string& nameSpace) {
        const std::string cls = "CLSID\\" + ClassOf("kkmarkfolder"), folder = cls + "\\ShellFolder";
        EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, cls, "") + "|" + GetString(HKEY_CLASSES_ROOT, cls + "\\DefaultIcon", "") +
                      "|" + GetString(HKEY_LOCAL_MACHINE, nameSpace, ""),
                  "Tagged Files|shell32.dll,110|KkMarkFolder");
        EXPECT_EQ(GetDword(HKEY_CLASSES_ROOT, folder, "Attributes"), 0x20000000);
        EXPECT_EQ(GetDword(HKEY_CLASSES_ROOT, folder, "Attributes.deletable"), 0x20000020);
        EXPECT_EQ(GetDword(HKEY_CLASSES_ROOT, folder, "Attributes.expandable"), static_cast<int32_t>(0xA0000000u));
    }

    // The Search menu entry, its icon and the class that serves it from the suite folder.
    void ExpectSearchMenu(const SearchMenu& menu) {
        const std::string entry = std::string(kStatic) + menu.entry, dll = InstallPath() + menu.dll;
        const std::string cls = GetString(HKEY_LOCAL_MACHINE, entry, "");
        EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, entry + "\\0", ""), menu.text);
        EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, entry + "\\0\\DefaultIcon", ""), dll + ",0");
        EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, "CLSID\\" + cls + "\\InProcServer32", ""), dll);
    }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
};

// On through Apply, off through the uninstall pass, which takes each tool off
// the way Apply does and puts the settings back to Windows' own.
TEST_F(RoundTrip, EveryToolOnThenOffAsTheNextStartSeesItAndUninstallLeavesNoFootprint) {
    auto rows = kk::MemoryRows::Build();
    const std::vector<int> tools = OnOffTools(rows);
    ASSERT_GT(tools.size(), 15u);
    for (int id : tools) EXPECT_EQ(rows.CheckValue(id), 0) << "tool " << id << " starts off";

    for (int id : tools) rows.Tick(id, true);
    rows.SetSettings(123, "0");
    rows.SetSettings(145, std::string("5\0" "2", 3));
    ApplyEngine(rows).ApplyChanges();
    auto next = kk::MemoryRows::Build();
    for (int id : tools) {
        EXPECT_EQ(next.CheckValue(id), 1) << "tool " << id << " reads back on";
        ExpectFootprint(id, true);
    }
    EXPECT_TRUE(StartupModuleInstalled()) << "the startup features need the module";
    // Ticked on a fresh system, the command prompt stores empty settings, as the prompt tool reads them.
    EXPECT_EQ(AsTheSuiteReadsIt("CommandPromptApp") + AsTheSuiteReadsIt("CommandPromptCLP"), "[][]");
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, kApprovedKey, ClassOf("kkrename")), "Marrowby Kestrelkit: kkrename");

    RunUninstall(next);
    auto after = kk::MemoryRows::Build();
    for (int id : tools) {
        EXPECT_EQ(after.CheckValue(id), 0) << "tool " << id << " reads back off";
        ExpectFootprint(id, false);
    }
    EXPECT_FALSE(StartupModuleInstalled());
    auto desktop = [](const char* name) { return GetString(HKEY_CURRENT_USER, kDesktopKey, name); };
    EXPECT_EQ(desktop("MenuShowDelay") + "|" + desktop("CoolSwitchColumns") + "|" + desktop("CoolSwitchRows"),
              "400|7|3");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "EnableHotkeys"), "0");
}

// The prompt and compare tools register their second DLL only once the
// first has given its class: without the first, nothing is written.
TEST_F(RoundTrip, TheSecondDllOfAPairWaitsForTheFirst) {
    const std::pair<int, std::string> pairs[] = {{107, "kkpromptbg"}, {162, "kkdiffdir"}};
    auto rows = kk::MemoryRows::Build();
    for (const auto& [toolId, second] : pairs) {
        const std::string suite = kktest::MakeTempFolder("pair");
        CopyFileA((kktest::FixturesFolder() + second + ".dll").c_str(), (suite + second + ".dll").c_str(), FALSE);
        SetInstallPath(suite);
        ApplyEngine(rows).ApplyTool(toolId, "1");
        EXPECT_EQ(DetectToolState(toolId)[0], '0') << toolId;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + second + ".clsContextMenu")) << second;
    }
}

}  // namespace
