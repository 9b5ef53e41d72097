// Gives the test process a clean registry: HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_CURRENT_CONFIG are
// redirected into a private scratch tree that is deleted afterwards.
// As in Wine, HKEY_CLASSES_ROOT is the scratch HKLM\Software\Classes.
#pragma once
#include <windows.h>

#include <string>

namespace kktest {

class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // The scratch tree's path under the real HKEY_CURRENT_USER.
    const std::string& path() const { return path_; }

private:
    std::string path_;
    HKEY realCurrentUser_ = nullptr;
};

}  // namespace kktest
