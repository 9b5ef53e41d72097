#include "support/scratch_registry.h"

#include "engine/catalogue.h"
#include "engine/registry.h"
#include "support/test_env.h"

#include <atomic>
#include <cstdio>

namespace kktest {
namespace {

HKEY CreateUnder(HKEY parent, const std::string& path) {
    HKEY key = nullptr;
    RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

void Override(HKEY predefined, HKEY parent, const char* sub) {
    HKEY target = CreateUnder(parent, sub);
    RegOverridePredefKey(predefined, target);
    RegCloseKey(target);
}

}  // namespace

ScratchRegistry::ScratchRegistry() {
    static std::atomic<int> counter{0};
    char name[96];
    std::snprintf(name, sizeof name, "Software\\Kestrelkit Tests\\%lu-%d", GetCurrentProcessId(), counter++);
    path_ = name;
    // Keep a handle to the real HKCU: the scratch tree lives there and is
    // deleted from there once the overrides are gone.
    RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_ALL_ACCESS, &realCurrentUser_);
    // A process of an earlier run may have had the same ID and died
    // before cleaning up: start from an empty tree.
    RegDeleteTreeA(realCurrentUser_, path_.c_str());
    HKEY root = CreateUnder(realCurrentUser_, path_);
    Override(HKEY_CURRENT_USER, root, "HKCU");
    Override(HKEY_LOCAL_MACHINE, root, "HKLM");
    Override(HKEY_CLASSES_ROOT, root, "HKLM\\Software\\Classes");
    Override(HKEY_CURRENT_CONFIG, root, "HKCC");
    RegCloseKey(root);
    kk::ForgetPluginKeys();  // a list read from another registry is not this one's
    // The user's files (the change history) in a folder of this registry's
    // own: test processes of other Windows versions run beside this one.
    kk::SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                  "AppData", MakeTempFolder("appdata"));
}

ScratchRegistry::~ScratchRegistry() {
    for (HKEY k : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG})
        RegOverridePredefKey(k, nullptr);
    RegDeleteTreeA(realCurrentUser_, path_.c_str());
    RegDeleteKeyA(realCurrentUser_, path_.c_str());
    RegCloseKey(realCurrentUser_);
    kk::ForgetPluginKeys();
}

}  // namespace kktest
