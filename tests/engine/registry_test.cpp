// The registry layer against the real (redirected) registry.
#include "engine/registry.h"

#include "support/scratch_registry.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

const char kKey[] = "Software\\Marrowby\\LayerTest";

class RegistryLayer : public ::testing::Test {
protected:
    kktest::ScratchRegistry scratch;

    static std::string RawBytes(HKEY root, const std::string& key, const std::string& name, DWORD* type) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
        char buffer[256];
        DWORD size = sizeof buffer;
        LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(k);
        return rc == ERROR_SUCCESS ? std::string(buffer, size) : "<no value>";
    }
};

TEST_F(RegistryLayer, ScratchRegistryIsolatesThePredefinedRoots) {
    SetString(HKEY_LOCAL_MACHINE, kKey, "Probe", "scratch");
    // The write landed in the scratch tree under the real HKCU, not in HKLM.
    ASSERT_TRUE(RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr) == ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kKey));
    // Classes root sees the scratch machine's classes, as Wine merges them.
    kktest::ScratchRegistry again;
    SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\.kktest", "", "kkfile");
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, ".kktest", ""), "kkfile");
}

TEST_F(RegistryLayer, ReadingAMissingValueGivesEmptyAndCreatesTheKey) {
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "Missing"), "");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_EQ(GetDword(HKEY_CURRENT_USER, JoinKey(kKey, "Sub"), "Missing"), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, JoinKey(kKey, "Sub")));
    EXPECT_EQ(GetBinaryHex(HKEY_CURRENT_USER, kKey, "Missing"), "");
    // The existence questions never create anything.
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "Software\\Nowhere", "x"));
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, "Software\\Nowhere", "x"), -1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Nowhere"));
}

TEST_F(RegistryLayer, StringsAreStoredWithoutATerminatorAndReadBackCutAtNul) {
    SetString(HKEY_CURRENT_USER, kKey, "Name", "Kestrel");
    DWORD type = 0;
    std::string raw = RawBytes(HKEY_CURRENT_USER, kKey, "Name", &type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.substr(0, 7), "Kestrel");  // Wine adds the NUL itself when the byte after the count is one
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "Name"), "Kestrel");
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, kKey, "Name"), REG_SZ);

    // A value written by someone else with data after a NUL reads up to it;
    // a shorter value beside a longer one is not padded by the shared buffer.
    const char multi[] = "first\0second\0";
    HKEY k;
    RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &k);
    RegSetValueExA(k, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof multi);
    RegCloseKey(k);
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "Multi"), "first");
    SetString(HKEY_CURRENT_USER, kKey, "Short", "ab");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "Short"), "ab");
    SetString(HKEY_CURRENT_USER, kKey, "Empty", "");
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kKey, "Empty"));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "Empty"), "");
    // The default value is the empty name.
    SetString(HKEY_CURRENT_USER, kKey, "", "default");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, ""), "default");
}

TEST_F(RegistryLayer, NumbersAndBinaryKeepTheirTypes) {
    SetDword(HKEY_CURRENT_USER, kKey, "N", -2);
    EXPECT_EQ(GetDword(HKEY_CURRENT_USER, kKey, "N"), -2);
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, kKey, "N"), REG_DWORD);
    // A long string is no number.
    SetString(HKEY_CURRENT_USER, kKey, "Text", "not a number at all");
    EXPECT_EQ(GetDword(HKEY_CURRENT_USER, kKey, "Text"), 0);

    // Binary travels as upper-case hex pairs; lower case is accepted, NULs are kept.
    SetBinaryHex(HKEY_CURRENT_USER, kKey, "Bin", "ff00a000");
    DWORD type = 0;
    EXPECT_EQ(RawBytes(HKEY_CURRENT_USER, kKey, "Bin", &type), std::string("\xff\x00\xa0\x00", 4));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(GetBinaryHex(HKEY_CURRENT_USER, kKey, "Bin"), "FF00A000");
    SetBinaryHex(HKEY_CURRENT_USER, kKey, "Empty", "");
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kKey, "Empty"));
    EXPECT_EQ(GetBinaryHex(HKEY_CURRENT_USER, kKey, "Empty"), "");
    // A string value travels as its bytes; a lone last digit is a byte of its own.
    SetString(HKEY_CURRENT_USER, kKey, "S", "AB");
    EXPECT_EQ(GetBinaryHex(HKEY_CURRENT_USER, kKey, "S").substr(0, 4), "4142");
    EXPECT_EQ(HexToBytes("7"), std::string("\x07", 1));
}

TEST_F(RegistryLayer, DeleteKeyRemovesAWholeTreeOnEveryWindowsVersion) {
    SetString(HKEY_CURRENT_USER, JoinKey(kKey, "A\\B\\C"), "v", "1");
    SetString(HKEY_CURRENT_USER, JoinKey(kKey, "A\\D"), "v", "1");
    SetString(HKEY_CURRENT_USER, JoinKey(kKey, "A"), "v", "1");
    SetString(HKEY_CURRENT_USER, JoinKey(kKey, "Keep"), "v", "1");
    DeleteKey(HKEY_CURRENT_USER, JoinKey(kKey, "A"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, JoinKey(kKey, "A")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, JoinKey(kKey, "Keep")));
    // Deleting what is not there is quiet and leaves nothing behind.
    DeleteKey(HKEY_CURRENT_USER, JoinKey(kKey, "Never"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, JoinKey(kKey, "Never")));
    // The empty path never deletes the root.
    DeleteKey(HKEY_CURRENT_USER, "");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, JoinKey(kKey, "Keep")));
}

TEST_F(RegistryLayer, ClearKeyEmptiesSubkeysOrNamedValuesAndKeepsTheKey) {
    SetString(HKEY_CURRENT_USER, kKey, "", "default");
    SetString(HKEY_CURRENT_USER, kKey, "One", "1");
    SetString(HKEY_CURRENT_USER, JoinKey(kKey, "Sub\\Deep"), "v", "x");
    ClearKey(HKEY_CURRENT_USER, kKey, ClearMode::Subkeys);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, JoinKey(kKey, "Sub")));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "One"), "1");
    ClearKey(HKEY_CURRENT_USER, kKey, ClearMode::Values);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kKey, "One"));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, ""), "default");
}

TEST_F(RegistryLayer, CopyKeyReplacesTheTargetWithStringValues) {
    const std::string src = JoinKey(kKey, "Src"), dst = JoinKey(kKey, "Dst");
    SetDword(HKEY_CURRENT_USER, src, "Number", 5);
    SetBinaryHex(HKEY_CURRENT_USER, src, "Binary", "4142");
    SetString(HKEY_CURRENT_USER, src, "Text", "hello");
    SetString(HKEY_CURRENT_USER, JoinKey(src, "Child\\Grand"), "G", "g");
    SetString(HKEY_CURRENT_USER, JoinKey(dst, "Stale"), "old", "x");
    SetString(HKEY_CURRENT_USER, dst, "OldValue", "x");

    CopyKey(HKEY_CURRENT_USER, src, HKEY_CURRENT_USER, dst);

    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, dst, "Number"), REG_SZ);
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, dst, "Number"), "\x05");
    EXPECT_EQ(GetValueType(HKEY_CURRENT_USER, dst, "Binary"), REG_SZ);
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, dst, "Binary"), "AB");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, dst, "Text"), "hello");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, JoinKey(dst, "Child\\Grand"), "G"), "g");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, JoinKey(dst, "Stale")));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, dst, "OldValue"));

    // An empty source leaves no target; copying a tree into itself is refused.
    CopyKey(HKEY_CURRENT_USER, JoinKey(kKey, "Nothing"), HKEY_CURRENT_USER, JoinKey(kKey, "Target"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, JoinKey(kKey, "Target")));
    CopyKey(HKEY_CURRENT_USER, src, HKEY_CURRENT_USER, JoinKey(src, "Child\\Loop"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, JoinKey(src, "Child\\Loop")));
}

TEST_F(RegistryLayer, EnumerationsListNamesInRegistryOrder) {
    for (const char* name : {"b", "a", "c"}) SetString(HKEY_CURRENT_USER, kKey, name, "1");
    for (const char* name : {"KeyTwo", "KeyOne"}) SetString(HKEY_CURRENT_USER, JoinKey(kKey, name), "x", "1");
    // The system's own order, index by index.
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &k), ERROR_SUCCESS);
    std::vector<std::string> raw[2];  // keys, values
    for (int values = 0; values < 2; ++values) {
        char name[64];
        for (DWORD i = 0;; ++i) {
            DWORD len = sizeof name;
            if ((values ? RegEnumValueA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr)
                        : RegEnumKeyExA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr)) != ERROR_SUCCESS)
                break;
            raw[values].push_back(name);
        }
    }
    RegCloseKey(k);
    ASSERT_EQ(raw[1].size(), 3u);
    EXPECT_EQ(EnumValues(HKEY_CURRENT_USER, kKey), raw[1]);
    ASSERT_EQ(raw[0].size(), 2u);
    EXPECT_EQ(EnumKeys(HKEY_CURRENT_USER, kKey), raw[0]);
    EXPECT_TRUE(EnumKeys(HKEY_CURRENT_USER, JoinKey(kKey, "KeyOne")).empty());
}

TEST(RegistryHelpers, RootNamesAndPaths) {
    EXPECT_EQ(RootKeyFromName("hkey_current_user\\Software"), HKEY_CURRENT_USER);
    EXPECT_EQ(RootKeyFromName("HKEY_DYN_DATA\\x"), HKEY_DYN_DATA);
    for (const char* unknown : {"HKCU\\Software", "", "HKEY_CURRENT_USERX"})
        EXPECT_EQ(RootKeyFromName(unknown), nullptr) << unknown;
    EXPECT_EQ(WithTrailingBackslash("  C:\\Suite  "), "C:\\Suite\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\Suite\\"), "C:\\Suite\\");
    EXPECT_EQ(WithTrailingBackslash(""), "\\");
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_TRUE(IsDirectory(windows));
    EXPECT_FALSE(IsDirectory(std::string(windows) + "\\no such folder"));
    EXPECT_EQ(LongPathName(std::string(windows) + "\\no such folder"), "");
}

}  // namespace
