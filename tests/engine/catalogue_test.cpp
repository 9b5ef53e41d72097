// The tool catalogue under the Windows version the harness reports, on a
// scratch registry. The list the main window builds from it (positions,
// plugin rows in reverse order, the debug key's withdrawal and its layout)
// is checked in tests/panel/tool_list_test.cpp.
#include "engine/catalogue.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

const char kDebugKey[] = "SOFTWARE\\Marrowby\\Kestrelkit\\debug";

ToolEntry ById(int id) {
    for (int p = 1; p <= kFixedRowCount; ++p)
        if (GetToolInfo(p).toolId == id) return GetToolInfo(p);
    ADD_FAILURE() << "no row for ToolId " << id;
    return {};
}

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class Catalogue : public ::testing::Test {
protected:
    kktest::ScratchRegistry scratch;
    const std::string version = kktest::WindowsVersion();
};

TEST_F(Catalogue, RowsAndTextsFollowTheWindowsVersion) {
    // Written out per version rather than through the probes.
    const bool me = version == "winme", xp = version == "winxp", vista = version == "vista";
    const std::pair<int, bool> withdrawn[] = {{163, me},    {160, me},    {159, me},    {166, me},
                                              {164, me || vista}, {146, vista}, {165, vista}, {145, vista},
                                              {130, vista}, {101, false}, {142, false}};
    for (const auto& [id, unavailable] : withdrawn)
        EXPECT_EQ(ById(id).kind == kKindUnavailable, unavailable) << id << " on " << version;
    const ToolEntry autoplay = ById(130);
    EXPECT_EQ(autoplay.caption.empty(), vista);
    if (!vista) {
        EXPECT_EQ(autoplay.kind, xp ? kKindSettings : kKindOnOff);
    }
    EXPECT_EQ(Has(autoplay.caption, "removable drives"), xp);
    // On Vista the file-dialog tools reach only the old-style dialogs.
    for (int id : {160, 159, 166, 142}) EXPECT_EQ(Has(ById(id).description, "old-style (pre-Vista) "), vista) << id;
    EXPECT_EQ(Has(ById(142).caption, "old-style"), vista);
    for (int p : {0, kFixedRowCount + 1}) EXPECT_EQ(GetToolInfo(p).toolId + GetToolInfo(p).kind, 0) << p;
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

TEST_F(Catalogue, PluginsAreReadWithoutCreatingKeysAndAGoneOneIsWithdrawn) {
    EXPECT_TRUE(ListPluginKeys().empty());
    EXPECT_EQ(ListCount(0), kFixedRowCount - 1) << "no Plugins heading";
    EXPECT_EQ(PluginKeyForToolId(301), "");
    EXPECT_FALSE(WithdrawnByDebugKey(101));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPluginsKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kDebugKey));

    SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "A"), "Caption", "Alpha");
    SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Blank"), "Caption", "");
    // As enumerated before "Gone" was removed; the last key is listed first.
    const std::vector<std::string> keys = {"A", "Blank", "Gone"};
    ASSERT_EQ(ListCount(keys.size()), kFixedRowCount + 3);
    const ToolEntry gone = GetPluginInfo(kFixedRowCount + 1, keys), blank = GetPluginInfo(kFixedRowCount + 2, keys);
    EXPECT_EQ(gone.toolId, 303);
    EXPECT_EQ(gone.kind, kKindUnavailable);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Gone"))) << "not recreated";
    EXPECT_EQ(blank.kind, kKindUnavailable) << "a plugin without a caption";
    EXPECT_EQ(GetPluginInfo(kFixedRowCount + 3, keys).toolId, 301);
    EXPECT_EQ(GetPluginInfo(kFixedRowCount + 4, keys).toolId, 0);
    EXPECT_EQ(PluginKeyForToolId(302), "") << "plugins added since this start's list was read are not known";
    ReadPluginKeys();  // as the next start reads it
    EXPECT_EQ(PluginKeyForToolId(302), std::string(kPluginsKey) + "\\Blank");
    for (int id : {0, 300, 303}) EXPECT_EQ(PluginKeyForToolId(id), "") << id;
}

}  // namespace
