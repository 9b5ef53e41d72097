#include "engine/suite.h"

#include "engine/product_version.h"
#include "engine/registry.h"

namespace kk {
namespace {
std::string g_installPath;
}

std::string ReadInstallPathFromRegistry() {
    return WithTrailingBackslash(GetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath"));
}

std::string InstallPath() {
    if (g_installPath.empty()) return ReadInstallPathFromRegistry();
    return g_installPath;
}

void SetInstallPath(const std::string& folder) { g_installPath = folder; }

std::string CurrentVersionText() { return KK_VERSION_TEXT; }

std::string ModulePath() {
    char buffer[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, n < MAX_PATH ? n : 0);
}

std::string ModuleFolder() {
    std::string path = ModulePath();
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace kk
