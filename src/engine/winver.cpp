#include "engine/winver.h"

#include "engine/registry.h"

#include <windows.h>

namespace kk {
namespace {

struct Version {
    bool ok = false;
    DWORD major = 0, minor = 0, platform = 0;
};

Version Query() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    Version v;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    v.ok = GetVersionExA(&info) != FALSE;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    v.platform = info.dwPlatformId;
    return v;
}

bool Is(DWORD platform, DWORD major, DWORD minor) {
    Version v = Query();
    return v.ok && v.platform == platform && v.major == major && v.minor == minor;
}

}  // namespace

bool IsWin95() { return Is(VER_PLATFORM_WIN32_WINDOWS, 4, 0); }
bool IsWinMe() { return Is(VER_PLATFORM_WIN32_WINDOWS, 4, 90); }
bool IsWin2000() { return Is(VER_PLATFORM_WIN32_NT, 5, 0); }
bool IsWinXP() { return Is(VER_PLATFORM_WIN32_NT, 5, 1); }
bool IsWinServer2003() { return Is(VER_PLATFORM_WIN32_NT, 5, 2); }
bool IsWow64() {
    using Probe = BOOL(WINAPI*)(HANDLE, PBOOL);
    // Missing before XP's second service pack, on systems with no 64-bit edition.
    auto probe = reinterpret_cast<Probe>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return probe && probe(GetCurrentProcess(), &wow64) && wow64;
}

bool IsVista() { return Is(VER_PLATFORM_WIN32_NT, 6, 0); }

bool IsWin98OrMe() {
    // Deliberately as the suite has always asked it: the second clause is
    // not tied to the 9x platform.
    Version v = Query();
    if (!v.ok) return false;
    return (v.platform == VER_PLATFORM_WIN32_WINDOWS && v.major > 4) ||
           (v.major == 4 && v.minor > 0);
}

bool IsWin2000OrLater() {
    Version v = Query();
    return v.ok && v.platform == VER_PLATFORM_WIN32_NT && v.major >= 5;
}

bool ThemeActive() {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    if (!KeyExists(HKEY_CURRENT_USER, key)) return false;
    if (GetValueType(HKEY_CURRENT_USER, key, "ThemeActive") == REG_DWORD)
        return GetDword(HKEY_CURRENT_USER, key, "ThemeActive") != 0;
    return TextToInteger(GetString(HKEY_CURRENT_USER, key, "ThemeActive")) != 0;
}

}  // namespace kk
