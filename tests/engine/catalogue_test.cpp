// The tool catalogue under the Windows version the harness reports, on a
// scratch registry.
#include "engine/catalogue.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace kk;

namespace {

const char kDebugKey[] = "SOFTWARE\\Marrowby\\Kestrelkit\\debug";
const int kExpectedIds[kFixedRowCount] = {
    901, 101, 144, 109, 162, 104, 103, 163, 152, 168, 169, 167, 902, 161, 151, 134, 158, 903, 140, 157, 146,
    904, 107, 153, 105, 113, 164, 165, 156, 905, 160, 159, 166, 142, 906, 130, 145, 123, 117, 150, 907};

bool OneOf(int id, std::initializer_list<int> ids) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// Written out per version rather than through the probes.
int ExpectedKind(int id, const std::string& v) {
    if (id >= 901) return kKindHeading;
    if (v == "winme" && OneOf(id, {163, 169, 160, 159, 166, 164})) return kKindUnavailable;
    if (v == "vista" && OneOf(id, {146, 164, 165, 145, 130})) return kKindUnavailable;
    if (id == 169) return kKindUnavailable;  // EnableTag is not set
    if (id == 130) return v == "winxp" ? kKindSettings : kKindOnOff;
    return OneOf(id, {142, 145, 123, 117, 150}) ? kKindSettings : kKindOnOff;
}

ToolEntry ById(int id) {
    const int* at = std::find(std::begin(kExpectedIds), std::end(kExpectedIds), id);
    return GetToolInfo(static_cast<int>(at - kExpectedIds) + 1);
}

void ExpectEmpty(const ToolEntry& e, const std::string& where) {
    EXPECT_EQ(e.toolId, 0) << where;
    EXPECT_EQ(e.kind, kKindNone) << where;
    EXPECT_EQ(e.caption + e.description + e.linkCaption + e.linkAction, "") << where;
}

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class Catalogue : public ::testing::Test {
protected:
    kktest::ScratchRegistry scratch;
    const std::string version = kktest::WindowsVersion();

    static void AddPlugin(const std::string& name, const std::string& caption) {
        const std::string key = JoinKey(kPluginsKey, name);
        SetString(HKEY_LOCAL_MACHINE, key, "Caption", caption);
        SetString(HKEY_LOCAL_MACHINE, key, "LinkAction", name + ".exe /go");
    }
};

TEST_F(Catalogue, FixedPositionsHoldTheirToolsKindsAndHeadings) {
    for (int p = 1; p <= kFixedRowCount; ++p) {
        ToolEntry e = GetToolInfo(p);
        EXPECT_EQ(e.toolId, kExpectedIds[p - 1]) << "position " << p;
        EXPECT_EQ(e.kind, ExpectedKind(e.toolId, version)) << "ToolId " << e.toolId << " on " << version;
        if (e.kind == kKindHeading) {
            const bool crlf = e.caption.size() > 2 && e.caption.compare(e.caption.size() - 2, 2, "\r\n") == 0;
            EXPECT_EQ(crlf, p != 1) << e.toolId;
            EXPECT_EQ(e.description + e.linkCaption + e.linkAction, "") << e.toolId;
        }
    }
    EXPECT_EQ(GetToolInfo(1).caption, "File Tools");
    EXPECT_EQ(GetToolInfo(30).caption, "File Dialog Tools\r\n");
    for (int p : {0, -1, 42}) ExpectEmpty(GetToolInfo(p), "position " + std::to_string(p));
}

TEST_F(Catalogue, AutoplayAndFileDialogTextsFollowTheVersion) {
    const bool vista = version == "vista";
    ToolEntry autoplay = ById(130);
    if (vista) {
        EXPECT_EQ(autoplay.caption + autoplay.description, "");
    } else if (version == "winxp") {
        EXPECT_EQ(autoplay.caption, "Disable Autoplay for CD, DVDs, and removable drives");
        EXPECT_TRUE(Has(autoplay.description, "flash memory cards, and other removable media."));
    } else {
        EXPECT_EQ(autoplay.caption, "Disable Autoplay for CD and DVDs");
        EXPECT_TRUE(Has(autoplay.description, "starting CDs and DVDs when you put them in the drive."));
    }
    EXPECT_EQ(ById(160).caption, vista ? "Show the full path in old-style file dialog title bars"
                                       : "Show the full path in file dialog title bars");
    EXPECT_EQ(ById(166).caption, vista ? "Save pre-Vista file dialog size and view settings"
                                       : "Save file dialog size and view settings");
    EXPECT_EQ(ById(142).caption, vista ? "Customize the Places Bar in old-style file dialogs"
                                       : "Customize the Places Bar in file dialogs");
    for (int id : {160, 159, 166, 142})
        EXPECT_EQ(Has(ById(id).description, "old-style (pre-Vista) "), vista) << id;
}

TEST_F(Catalogue, TextsAndLinksAsTheSuiteShipsThem) {
    EXPECT_TRUE(Has(ById(101).description, "using a variety a powerful shortcuts. Turn"));
    EXPECT_TRUE(Has(ById(169).description, "Tagged Files folder.  You can then"));
    EXPECT_TRUE(Has(ById(145).description, "Alt-TAB window.  You can press Alt-TAB to swtich between"));
    EXPECT_EQ(ById(153).linkCaption, "Clear old Temp files now");
    // The link actions the list starts or opens pages from; no other row has a link.
    const std::map<int, std::string> actions = {
        {101, "kkrename.exe"}, {162, "contrast.exe"},     {104, "#104"},        {167, "Type Medic.exe"},
        {161, "kkfetch.exe"},  {151, "kkftpman.exe /fm"}, {140, "kkdupes.exe"}, {157, "kkregscan.exe"},
        {107, "#107"},         {153, "kkboot.exe /cleartemp"}, {156, "#156"}};
    for (int id : kExpectedIds) {
        ToolEntry e = ById(id);
        auto it = actions.find(id);
        EXPECT_EQ(e.linkAction, it == actions.end() ? "" : it->second) << id;
        EXPECT_EQ(e.linkCaption.empty(), e.linkAction.empty()) << id;
    }
}

TEST_F(Catalogue, TagToolNeedsEnableTagReadingAsOne) {
    EXPECT_EQ(ById(169).kind, kKindUnavailable);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSuiteKey)) << "asking must not create the suite key";
    const std::pair<const char*, bool> cases[] = {{"1", true},   {"01", true}, {"1.0", true}, {"yes", false},
                                                  {"", false},   {"0", false}, {"1.5", false}, {"0x1", false}};
    for (const auto& [text, enables] : cases) {
        SetString(HKEY_CURRENT_USER, kSuiteKey, "EnableTag", text);
        const int expected = enables && version != "winme" ? kKindOnOff : kKindUnavailable;
        EXPECT_EQ(ById(169).kind, expected) << '"' << text << '"';
    }
}

TEST_F(Catalogue, PluginsFollowTheHeadingInReverseEnumerationOrder) {
    // Without plugins the list ends with the hotkeys and asking creates nothing.
    EXPECT_TRUE(ListPluginKeys().empty());
    EXPECT_EQ(ListCount(0), 40);
    EXPECT_EQ(EntryForPosition(40, {}).toolId, 150);
    ExpectEmpty(EntryForPosition(41, {}), "the Plugins heading");
    EXPECT_EQ(PluginKeyForToolId(301), "");
    EXPECT_FALSE(WithdrawnByDebugKey(101));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPluginsKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kDebugKey));

    AddPlugin("A", "Alpha");
    AddPlugin("B", "Beta");
    AddPlugin("C", "Gamma");
    const std::vector<std::string> keys = ListPluginKeys();
    ASSERT_EQ(keys, (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_EQ(ListCount(keys.size()), 44);
    EXPECT_EQ(EntryForPosition(41, keys).caption, "Plugins\r\n");
    const struct {
        int id;
        const char *name, *caption;
    } rows[] = {{303, "C", "Gamma"}, {302, "B", "Beta"}, {301, "A", "Alpha"}};
    for (int i = 0; i < 3; ++i) {
        ToolEntry e = EntryForPosition(42 + i, keys);
        EXPECT_EQ(e.toolId, rows[i].id) << "position " << 42 + i;
        EXPECT_EQ(e.kind, kKindOnOff);
        EXPECT_EQ(e.caption, rows[i].caption);
        EXPECT_EQ(e.linkAction, std::string(rows[i].name) + ".exe /go");
        EXPECT_EQ(PluginKeyForToolId(rows[i].id),
                  std::string("Software\\Marrowby\\Kestrelkit\\Plugins\\") + rows[i].name);
    }
    ExpectEmpty(EntryForPosition(45, keys), "past the last plugin");
    for (int id : {0, 300, 304}) EXPECT_EQ(PluginKeyForToolId(id), "") << id;
}

TEST_F(Catalogue, PluginWithoutCaptionOrKeyIsUnavailable) {
    AddPlugin("Blank", "");
    SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "NoCaption"), "Description", "text");
    const std::vector<std::string> keys = {"Blank", "NoCaption", "Gone"};
    for (int p = 42; p <= 44; ++p) EXPECT_EQ(GetPluginInfo(p, keys).kind, kKindUnavailable) << p;
    // A plugin removed since the enumeration keeps its ToolId and is not recreated.
    EXPECT_EQ(GetPluginInfo(42, keys).toolId, 303);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Gone")));
}

TEST_F(Catalogue, DebugKeyWithdrawsRowsWithANonEmptyValue) {
    AddPlugin("A", "Alpha");
    AddPlugin("B", "Beta");
    SetString(HKEY_CURRENT_USER, kDebugKey, "101", "x");
    SetString(HKEY_CURRENT_USER, kDebugKey, "153", "");
    SetString(HKEY_CURRENT_USER, kDebugKey, "301", "x");
    const std::vector<std::string> keys = ListPluginKeys();
    for (int p : {2, 43}) {  // the rename tool; plugin A, listed last
        ToolEntry e = EntryForPosition(p, keys);
        EXPECT_EQ(e.toolId, p == 2 ? 101 : 301);
        EXPECT_EQ(e.kind, kKindUnavailable);
        EXPECT_EQ(e.caption + e.description + e.linkCaption + e.linkAction, "") << p;
    }
    EXPECT_EQ(EntryForPosition(24, keys).caption, "Clear out the Temp folder");
    EXPECT_EQ(EntryForPosition(24, keys).kind, kKindOnOff);
    EXPECT_EQ(EntryForPosition(42, keys).caption, "Beta");
    EXPECT_EQ(GetToolInfo(2).caption, "Rename files with ease");  // only the list withdraws
}

}  // namespace
