// The change history: what an Apply leaves behind, how many entries stay,
// a history that cannot be written, and entries that are not whole.
#include "engine/history.h"

#include "app/memory_rows.h"
#include "engine/apply_engine.h"
#include "engine/catalogue.h"
#include "engine/footprint.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "services/system_actions.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace kk;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

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
    EXPECT_EQ(entry.operation, "Apply");
    ASSERT_EQ(entry.rows.size(), 2u);
    EXPECT_EQ(entry.rows[0].toolId, 123);
    EXPECT_FALSE(entry.rows[0].caption.empty());
    EXPECT_EQ(entry.rows[0].after, "2");
    EXPECT_EQ(entry.rows[0].before, "0");
    EXPECT_EQ(entry.rows[1].toolId, 301);
    EXPECT_EQ(entry.rows[1].caption, "A plugin that needs nothing");
    EXPECT_EQ(entry.rows[1].before + ">" + entry.rows[1].after, "0>1");
    const std::string was = "\"" + std::to_string(kMenuDelayInstant) + "\"";
    EXPECT_NE(entry.changes.find("MenuShowDelay = \"400\" (was " + was + ")"), std::string::npos) << entry.changes;

    const std::string folder = HistoryFolder();
    EXPECT_EQ(folder, appData + "Marrowby\\Kestrelkit\\History\\");
    const std::string script = FileText(folder + entry.id + ".reg");
    EXPECT_EQ(script.rfind("REGEDIT4", 0), 0u);
    EXPECT_NE(script.find("\"MenuShowDelay\"=" + was), std::string::npos) << script;
}

// Everything the panel and the stand-in DLLs write lies under these.
std::string Dump() {
    return ExportTree(HKEY_CURRENT_USER, "Software") + ExportTree(HKEY_LOCAL_MACHINE, "Software");
}

TEST_F(History, UndoingAnApplyPutsTheRegistryBackByteForByteAndCanItselfBeUndone) {
    auto rows = kk::MemoryRows::Build();
    const std::string before = Dump();
    rows.Tick(101, true);  // a shell extension: its DLL registers a class
    rows.SetSettings(123, "2");
    rows.Tick(301, true);
    ApplyEngine(rows).ApplyChanges();
    const std::string applied = Dump();
    ASSERT_NE(applied, before);
    ASSERT_NE(applied.find("KkRenameMenu"), std::string::npos);

    std::vector<HistoryEntry> entries = ReadHistory();
    ASSERT_EQ(entries.size(), 1u);
    UndoHistoryEntry(entries[0], rows);
    EXPECT_EQ(Dump(), before) << "the DLL unregistered, the handler keys and the values gone";

    entries = ReadHistory();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].operation, "Undo");
    ASSERT_EQ(entries[0].rows.size(), 3u);
    EXPECT_EQ(entries[0].rows[0].toolId, 301) << "the newest row first";
    UndoHistoryEntry(entries[0], rows);
    EXPECT_EQ(Dump(), applied) << "the undo undone";
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
