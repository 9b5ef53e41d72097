// The journal of the registry layer and its dry run, against the real
// (redirected) registry.
#include "engine/registry_journal.h"

#include "engine/registry.h"
#include "support/scratch_registry.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kk;

namespace {

const char kKey[] = "Software\\Marrowby\\JournalTest";
const HKEY kUser = HKEY_CURRENT_USER;

std::string Dump() { return ExportTree(kUser, "Software") + ExportTree(HKEY_LOCAL_MACHINE, "Software"); }

// Every kind of write the layer makes, each on content that was there
// before and on content that was not.
void Writes() {
    SetString(kUser, JoinKey(kKey, "New\\Deeper"), "Text", "fresh");
    SetDword(kUser, kKey, "Number", 7);
    SetString(kUser, kKey, "", "default");
    DeleteValue(kUser, kKey, "Gone");
    DeleteValue(kUser, kKey, "NeverThere");
    DeleteKey(kUser, JoinKey(kKey, "Tree"));
    CopyKey(kUser, JoinKey(kKey, "Source"), kUser, JoinKey(kKey, "Copy"));
    // A key deleted and written again keeps none of what it held.
    DeleteKey(kUser, JoinKey(kKey, "Again"));
    SetString(kUser, JoinKey(kKey, "Again"), "Back", "1");
}

class RegistryJournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDword(kUser, kKey, "Number", 5);
        SetString(kUser, kKey, "Gone", "old \"quoted\" C:\\path");
        SetString(kUser, JoinKey(kKey, "Tree\\Leaf"), "Kept", "in the tree");
        SetBinaryHex(kUser, JoinKey(kKey, "Tree"), "Bytes", "00FF10");
        SetString(kUser, JoinKey(kKey, "Source"), "Copied", "yes");
        SetString(kUser, JoinKey(kKey, "Again\\Child"), "Old", "x");
        SetString(kUser, JoinKey(kKey, "Again"), "Old", "x");
    }
    kktest::ScratchRegistry scratch;
};

TEST_F(RegistryJournalTest, ADryRunSeesItsWritesChangesNothingAndListsWhatTheRealRunDoes) {
    const std::string before = Dump();
    RegistryJournal preview;
    {
        DryRunScope dryRun(preview);
        Writes();
        // Later reads of the same run see the writes.
        EXPECT_EQ(GetString(kUser, JoinKey(kKey, "New\\Deeper"), "Text"), "fresh");
        EXPECT_EQ(GetDword(kUser, kKey, "Number"), 7);
        EXPECT_FALSE(ValueExists(kUser, kKey, "Gone"));
        EXPECT_FALSE(KeyExists(kUser, JoinKey(kKey, "Tree\\Leaf")));
        EXPECT_EQ(GetString(kUser, JoinKey(kKey, "Copy"), "Copied"), "yes");
        EXPECT_FALSE(KeyExists(kUser, JoinKey(kKey, "Again\\Child")));
        EXPECT_EQ(EnumValues(kUser, JoinKey(kKey, "Again")), std::vector<std::string>{"Back"});
        const auto keys = EnumKeys(kUser, kKey);
        EXPECT_EQ(std::count(keys.begin(), keys.end(), "New"), 1);
        EXPECT_EQ(std::count(keys.begin(), keys.end(), "Tree"), 0);
        // A read of a missing key creates nothing either.
        EXPECT_EQ(GetString(kUser, "Software\\Nowhere", "x"), "");
    }
    EXPECT_EQ(Dump(), before) << "a dry run leaves the registry as it was";
    RegistryJournal applied;
    {
        JournalScope journal(applied);
        Writes();
    }
    EXPECT_NE(Dump(), before);
    EXPECT_EQ(preview.Describe(), applied.Describe());
    EXPECT_FALSE(applied.Describe().empty());
}

TEST_F(RegistryJournalTest, TheRestoreScriptPutsBackWhatWasThereNewestFirst) {
    RegistryJournal journal;
    {
        JournalScope scope(journal);
        Writes();
    }
    const std::string script = journal.RestoreScript();
    const std::string user = "HKEY_CURRENT_USER\\Software\\Marrowby\\JournalTest";
    for (const std::string& expected : {
             std::string("REGEDIT4\n\n"),
             "[-" + user + "\\New]\n",  // the first missing key of the path, not every one below it
             "[" + user + "]\n\"Number\"=dword:00000005\n",
             "[" + user + "]\n@=-\n",
             "[" + user + "]\n\"Gone\"=\"old \\\"quoted\\\" C:\\\\path\"\n",
             "[" + user + "\\Tree]\n\"Bytes\"=hex:00,ff,10\n\n[" + user + "\\Tree\\Leaf]\n\"Kept\"=\"in the tree\"\n",
             "[-" + user + "\\Copy]\n",
         })
        EXPECT_NE(script.find(expected), std::string::npos) << expected << "\nin:\n" << script;
    EXPECT_EQ(script.find("NeverThere"), std::string::npos) << "deleting nothing is no change";
    EXPECT_EQ(script.find("[-" + user + "\\New\\Deeper]"), std::string::npos);
    // Newest first: the re-created key is taken away before its old tree comes back.
    EXPECT_LT(script.find("[" + user + "\\Again]\n\"Back\"=-"), script.find("\"Old\"=\"x\""));
}

}  // namespace
