// The change history: what an Apply leaves behind, how many entries stay,
// a history that cannot be written, and entries that are not whole.
#include "engine/history.h"

#include "app/memory_rows.h"
#include "engine/apply_engine.h"
#include "engine/catalogue.h"
#include "engine/footprint.h"
#include "engine/preview.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "services/system_actions.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

using namespace kk;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class History : public ::testing::Test {
protected:
    void SetUp() override {
        SetInstallPath(kktest::FixturesFolder());
        SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
        SetString(HKEY_CURRENT_USER, kShellFolders, "AppData", appData);
        SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Needy"), "Caption", "A plugin that needs nothing");
        SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Needy"), "Type", "3");
        ForgetPluginKeys();
        recorder.answers = {IDNO, IDNO, IDNO};
    }
    void TearDown() override {
        SetStartupModule(false);
        SetInstallPath("");
    }
    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    const std::string appData = kktest::MakeTempFolder("appdata");
};

TEST_F(History, AnApplyLeavesOneEntryWithEachRowBeforeAndAfterAndAScriptThatPutsBackTheValues) {
    SetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay", std::to_string(kMenuDelayInstant));
    auto rows = kk::MemoryRows::Build();
    rows.SetSettings(123, "2");
    rows.Tick(301, true);
    ApplyEngine engine(rows);
    engine.ApplyChanges();
    engine.ApplyChanges();  // nothing changed: no second entry

    const std::vector<HistoryEntry> entries = ReadHistory();
    ASSERT_EQ(entries.size(), 1u);
    const HistoryEntry& entry = entries[0];
    std::string seen = entry.operation;
    for (const HistoryRow& row : entry.rows)
        seen += " " + std::to_string(row.toolId) + " " + row.caption + " " + row.before + ">" + row.after;
    EXPECT_EQ(seen, "Apply 123 Control menu speed 0>2 301 A plugin that needs nothing 0>1");
    const std::string was = "\"" + std::to_string(kMenuDelayInstant) + "\"";
    EXPECT_NE(entry.changes.find("MenuShowDelay = \"400\" (was " + was + ")"), std::string::npos) << entry.changes;

    const std::string folder = HistoryFolder();
    EXPECT_EQ(folder, appData + "Marrowby\\Kestrelkit\\History\\");
    const std::string script = ReadWholeFile(folder + entry.id + ".reg");
    EXPECT_EQ(script.rfind("REGEDIT4", 0), 0u);
    EXPECT_NE(script.find("\"MenuShowDelay\"=" + was), std::string::npos) << script;
}

// Everything the panel and the stand-in DLLs write lies under these.
std::string Dump() {
    return ExportTree(HKEY_CURRENT_USER, "Software") + ExportTree(HKEY_CURRENT_USER, kDesktopKey) +
           ExportTree(HKEY_LOCAL_MACHINE, "Software");
}

// What a preview may not touch besides the registry: the startup module's
// shortcut and the Start-menu shortcut the search tools pin.
std::string FilesAndCalls(const kktest::SystemRecorder& recorder) {
    std::string seen;
    for (const std::string& file : {StartupFolder() + kStartupShortcutName, InstallPath() + "Find Duplicate Files.lnk"})
        seen += FileExists(file) ? "1" : "0";
    return seen + " messages " + std::to_string(recorder.messages.size()) + " started " +
           std::to_string(recorder.started.size()) + " restarts " + std::to_string(recorder.restartRequests.size());
}

// A preview names a class the DLL has not recorded yet for the DLL; the
// real run's list names the class it recorded.
std::string NamedClasses(std::string listing, const std::string& preview) {
    for (const char* dll : {"kkrename.dll", "kkfinddupes.dll"}) {
        if (preview.find("{class of " + std::string(dll) + "}") == std::string::npos) continue;
        const std::string lookup = "SOFTWARE\\Classes\\" + std::string(dll, strlen(dll) - 4) + ".clsContextMenu\\Clsid";
        const std::string clsid = GetString(HKEY_LOCAL_MACHINE, lookup, "");
        for (size_t at; !clsid.empty() && (at = listing.find(clsid)) != std::string::npos;)
            listing.replace(at, clsid.size(), "{class of " + std::string(dll) + "}");
    }
    return listing;
}

TEST_F(History, APreviewChangesNothingAndListsWhatTheFollowingApplyRecords) {
    SetString(HKEY_CURRENT_USER, kShellFolders, "Startup", kktest::MakeTempFolder("startup"));
    const struct {
        std::vector<int> ticks;
        int settingsTool;
        std::string settings;
    } kCases[] = {
        {{101, 301}, 123, "2"},  // a DLL, a plugin, and the log-off question
        {{140, 146}, 0, ""},     // a pinned search tool, the shell notified, the startup module started
        {{101, 140, 146}, 0, ""},  // each off again, with its DLL's class known
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.ticks.front());
        auto rows = MemoryRows::Build();
        for (int toolId : c.ticks) rows.Tick(toolId, rows.Row(toolId).checkTag.substr(0, 1) != "1");
        if (c.settingsTool) rows.SetSettings(c.settingsTool, c.settings);
        const std::string before = Dump(), sideEffects = FilesAndCalls(recorder);
        const size_t entries = ReadHistory().size();

        const std::string preview = PreviewChanges(rows).Listing();
        EXPECT_EQ(Dump(), before);
        EXPECT_EQ(FilesAndCalls(recorder), sideEffects);
        EXPECT_EQ(ReadHistory().size(), entries) << "a preview is no entry";
        for (int toolId : c.ticks) EXPECT_TRUE(rows.ChangedShown(toolId)) << "the rows stay pending";
        EXPECT_FALSE(rows.changesApplied);

        ApplyEngine(rows).ApplyChanges();
        ASSERT_EQ(ReadHistory().size(), entries + 1);
        EXPECT_EQ(preview, NamedClasses(ReadHistory()[0].changes, preview));
        EXPECT_NE(preview.find("close " + InstallPath() + "kkboot.exe"), std::string::npos) << preview;
    }
}

TEST_F(History, TheNewestEntriesAreKeptAndAnUnwritableHistoryStopsNoApply) {
    RegistryJournal journal;
    for (int i = 0; i < kHistoryKept + 2; ++i) {
        HistoryEntry entry;
        entry.operation = "Apply";
        entry.rows.push_back({123, "Menu", "0", std::to_string(i)});
        ASSERT_TRUE(SaveHistoryEntry(entry, journal));
    }
    std::vector<HistoryEntry> entries = ReadHistory();
    ASSERT_EQ(entries.size(), static_cast<size_t>(kHistoryKept));
    EXPECT_EQ(entries.front().rows[0].after, std::to_string(kHistoryKept + 1)) << "newest first";
    EXPECT_EQ(entries.back().rows[0].after, "2") << "the two oldest are gone";

    // The application-data folder is a file: the history cannot be made.
    const std::string blocked = appData + "blocked";
    std::ofstream(blocked) << "x";
    SetString(HKEY_CURRENT_USER, kShellFolders, "AppData", blocked);
    for (const char* speed : {"1", "2"}) {
        auto rows = kk::MemoryRows::Build();
        rows.SetSettings(123, speed);
        ApplyEngine(rows).ApplyChanges();
        EXPECT_EQ(GetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay"), speed[0] == '1' ? std::to_string(kMenuDelayClick) : "400");
    }
    int told = 0;
    for (const auto& m : recorder.messages) told += m.text.find("history") != std::string::npos;
    EXPECT_EQ(told, 1) << "said once, and the changes applied";
}

TEST(HistoryEntries, OnlyAWholeEntryIsReadAndARefusalNamesItsLine) {
    HistoryEntry entry;
    entry.time = "2026-12-06 10:00:00";
    entry.operation = "Undo";
    entry.rows.push_back({142, "Places\tbar", std::string("0000\0C:\\a", 9), "1\\2"});
    entry.changes = "set HKEY_CURRENT_USER\\x = 1\n";
    const std::string text = FormatHistoryEntry(entry);
    HistoryEntry read;
    std::string error;
    ASSERT_TRUE(ParseHistoryEntry(text, read, error)) << error;
    EXPECT_EQ(read.rows[0].caption, "Places\tbar");
    EXPECT_EQ(read.rows[0].before, std::string("0000\0C:\\a", 9));
    EXPECT_EQ(read.rows[0].after, "1\\2");
    EXPECT_EQ(read.changes, entry.changes);

    const std::string head = "Kestrelkit history entry\r\nOperation: Apply\r\n";
    const struct {
        std::string text, line;
    } kRefused[] = {
        {"", "line 1:"},
        {"Some other product's file\r\nChanges:\r\n", "line 1:"},
        {head, "line 3:"},  // cut before its changes
        {head + "Row: abc\tx\t0\t1\r\nChanges:\r\n", "line 3:"},
        {head + "Row: 107\tx\t0\r\nChanges:\r\n", "line 3:"},
        {head + "Row: 107\tx\t0\t1\\q\r\nChanges:\r\n", "line 3:"},
        {head + "Rows: 107\r\nChanges:\r\n", "line 3:"},
    };
    for (const auto& c : kRefused) {
        EXPECT_FALSE(ParseHistoryEntry(c.text, read, error)) << c.text;
        EXPECT_EQ(error.rfind(c.line, 0), 0u) << c.text << " -> " << error;
    }
}

}  // namespace
