// The registry layer against the real (redirected) registry.
#include "engine/registry.h"

#include "support/scratch_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace kk;

namespace {

const char kKey[] = "Software\\Marrowby\\LayerTest";
const HKEY kUser = HKEY_CURRENT_USER;

// Writes a value as another program would, bypassing the layer; none: deletes it.
void SetRawValue(const std::string& name, DWORD type, const std::string& bytes, const std::string& key = kKey) {
    HKEY k;
    RegCreateKeyExA(kUser, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    if (type == REG_NONE) RegDeleteValueA(k, name.c_str());
    else RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size()));
    RegCloseKey(k);
}

class RegistryLayer : public ::testing::Test {
protected:
    kktest::ScratchRegistry scratch;
};

TEST_F(RegistryLayer, ReadingAMissingValueGivesEmptyAndCreatesTheKey) {
    EXPECT_EQ(GetString(kUser, kKey, "Missing"), "");
    EXPECT_TRUE(KeyExists(kUser, kKey));
    EXPECT_EQ(GetDword(kUser, JoinKey(kKey, "Sub"), "Missing"), 0);
    EXPECT_EQ(GetBinaryHex(kUser, kKey, "Missing"), "");
    // The existence questions never create anything.
    EXPECT_FALSE(ValueExists(kUser, "Software\\Nowhere", "x"));
    EXPECT_EQ(GetValueType(kUser, "Software\\Nowhere", "x"), -1);
    EXPECT_FALSE(KeyExists(kUser, "Software\\Nowhere"));
}

TEST_F(RegistryLayer, ValuesOfEveryTypeAndSizeReadBackAsTheLayerPromises) {
    SetString(kUser, kKey, "Name", "Kestrel");
    EXPECT_EQ(GetString(kUser, kKey, "Name"), "Kestrel");
    EXPECT_EQ(GetValueType(kUser, kKey, "Name"), REG_SZ);
    SetString(kUser, kKey, "", "default");
    EXPECT_EQ(GetString(kUser, kKey, ""), "default");
    SetString(kUser, kKey, "Empty", "");
    EXPECT_TRUE(ValueExists(kUser, kKey, "Empty"));
    // Someone else's multi-string reads up to its first NUL; a huge value
    // beside a short one comes back whole, and the short one unpadded.
    SetRawValue("Multi", REG_MULTI_SZ, std::string("first\0second\0", 14));
    EXPECT_EQ(GetString(kUser, kKey, "Multi"), "first");
    const std::string huge(100000, 'k');
    SetString(kUser, kKey, "Huge", huge);
    EXPECT_TRUE(GetString(kUser, kKey, "Huge") == huge) << "the 100 000-byte value comes back cut or padded";
    EXPECT_EQ(GetString(kUser, kKey, "Name"), "Kestrel");

    SetDword(kUser, kKey, "N", -2);
    EXPECT_EQ(GetDword(kUser, kKey, "N"), -2);
    EXPECT_EQ(GetValueType(kUser, kKey, "N"), REG_DWORD);
    // A value of the wrong type: a long string is no number.
    SetString(kUser, kKey, "Text", "not a number at all");
    EXPECT_EQ(GetDword(kUser, kKey, "Text"), 0);

    // Binary travels as upper-case hex pairs; lower case is accepted, NULs
    // are kept, a lone last digit is a byte of its own, strings give bytes.
    SetBinaryHex(kUser, kKey, "Bin", "ff00a000");
    EXPECT_EQ(GetValueType(kUser, kKey, "Bin"), REG_BINARY);
    EXPECT_EQ(GetBinaryHex(kUser, kKey, "Bin"), "FF00A000");
    SetBinaryHex(kUser, kKey, "Odd", "7");
    EXPECT_EQ(GetBinaryHex(kUser, kKey, "Odd"), "07");
    SetBinaryHex(kUser, kKey, "EmptyBin", "");
    EXPECT_TRUE(ValueExists(kUser, kKey, "EmptyBin"));
    EXPECT_EQ(GetBinaryHex(kUser, kKey, "EmptyBin"), "");
    EXPECT_EQ(GetBinaryHex(kUser, kKey, "Name").substr(0, 4), "4B65");
}

TEST_F(RegistryLayer, DeleteClearAndCopyHandleWholeTreesOnEveryWindowsVersion) {
    const std::string src = JoinKey(kKey, "Src"), dst = JoinKey(kKey, "Dst");
    SetDword(kUser, src, "Number", 5);
    SetBinaryHex(kUser, src, "Binary", "4142");
    SetString(kUser, JoinKey(src, "Child\\Grand"), "G", "g");
    SetString(kUser, JoinKey(dst, "Stale\\Deep"), "old", "x");
    SetString(kUser, dst, "OldValue", "x");
    // The copy replaces the target, every value becoming a string value.
    CopyKey(kUser, src, kUser, dst);
    EXPECT_EQ(GetValueType(kUser, dst, "Number"), REG_SZ);
    EXPECT_EQ(GetString(kUser, dst, "Number") + GetString(kUser, dst, "Binary"), "\x05" "AB");
    EXPECT_EQ(GetString(kUser, JoinKey(dst, "Child\\Grand"), "G"), "g");
    EXPECT_FALSE(KeyExists(kUser, JoinKey(dst, "Stale")));
    EXPECT_FALSE(ValueExists(kUser, dst, "OldValue"));
    // An empty source leaves no target; copying a tree into itself is refused.
    CopyKey(kUser, JoinKey(kKey, "Nothing"), kUser, JoinKey(kKey, "Target"));
    EXPECT_FALSE(KeyExists(kUser, JoinKey(kKey, "Target")));
    CopyKey(kUser, src, kUser, JoinKey(src, "Child\\Loop"));
    EXPECT_FALSE(KeyExists(kUser, JoinKey(src, "Child\\Loop")));

    SetString(kUser, src, "", "default");
    ClearKey(kUser, src, ClearMode::Values);
    EXPECT_EQ(EnumValues(kUser, src), std::vector<std::string>{""}) << "the default value stays";
    ClearKey(kUser, src, ClearMode::Subkeys);
    EXPECT_TRUE(EnumKeys(kUser, src).empty());
    DeleteKey(kUser, dst);
    EXPECT_FALSE(KeyExists(kUser, dst));
    // Deleting what is not there is quiet; the empty path never deletes the root.
    DeleteKey(kUser, JoinKey(kKey, "Never"));
    EXPECT_FALSE(KeyExists(kUser, JoinKey(kKey, "Never")));
    DeleteKey(kUser, "");
    EXPECT_TRUE(KeyExists(kUser, src));
}

TEST_F(RegistryLayer, EnumerationsListEveryNameWhateverItsLength) {
    const std::string longName(200, 'n');
    for (const std::string& name : {std::string("b"), std::string("a"), longName}) SetString(kUser, kKey, name, "1");
    for (const char* name : {"KeyTwo", "KeyOne"}) SetString(kUser, JoinKey(kKey, name), "x", "1");
    std::vector<std::string> values = EnumValues(kUser, kKey);
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::string>{"a", "b", longName}));
    EXPECT_EQ(EnumKeys(kUser, kKey), (std::vector<std::string>{"KeyOne", "KeyTwo"}));
    EXPECT_TRUE(EnumKeys(kUser, JoinKey(kKey, "KeyOne")).empty());
}

// A long list read whole is answered from the last whole read (or from the copy that made it) while nothing
// changed, and shows every change, made through the layer or by another program.
TEST_F(RegistryLayer, AKeyReadWholeShowsEveryChangeWhoeverMadeIt) {
    const std::string src = JoinKey(kKey, "Src"), copy = JoinKey(kKey, "Copy"), x39(39, 'x');
    for (int i = 0; i < 40; ++i) SetString(kUser, src, "v" + std::to_string(i), "x");
    CopyKey(kUser, src, kUser, copy);
    std::vector<std::string> names;
    for (const NamedValue& v : ReadValues(kUser, copy)) names.push_back(v.name);
    EXPECT_EQ(names, EnumValues(kUser, src)) << "in the order the registry lists them";
    const std::pair<std::function<void()>, std::string> changes[] = {  // then every text, sorted
        {[] {}, x39 + "x"},
        {[&] { SetRawValue("v7", REG_SZ, std::string("y\0", 2), copy); }, x39 + "y"},  // as many values as before
        {[&] { SetString(kUser, copy, "new", "z"); }, x39 + "yz"},
        {[&] { SetRawValue("new", REG_NONE, "", copy); }, x39 + "y"},
        {[&] { DeleteValue(kUser, copy, "v7"); }, x39},
        {[&] { DeleteKey(kUser, copy); }, ""},
    };
    for (const auto& [change, expected] : changes) {
        change();
        std::string texts;
        for (const NamedValue& v : ReadValues(kUser, copy)) texts += v.text;
        std::sort(texts.begin(), texts.end());
        EXPECT_EQ(texts, expected);
    }
}

TEST(RegistryHelpers, RootNamesAndPaths) {
    EXPECT_EQ(RootKeyFromName("HKEY_DYN_DATA\\x"), HKEY_DYN_DATA);
    for (const char* unknown : {"HKCU\\Software", "", "HKEY_CURRENT_USERX"})
        EXPECT_EQ(RootKeyFromName(unknown), nullptr) << unknown;
    EXPECT_EQ(WithTrailingBackslash("  C:\\Suite  ") + WithTrailingBackslash(""), "C:\\Suite\\\\");
}

}  // namespace
