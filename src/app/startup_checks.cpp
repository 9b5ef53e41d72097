#include "app/startup_checks.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "services/system_calls.h"

#include <cstdlib>

namespace kk {
namespace {


std::string FileNameWithoutExtension(const std::string& path) {
    std::string name = TextAfterLast(path, "\\");
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

bool IsSupportedSystem() {
    return IsWinServer2003() || IsWin2000() || IsWinMe() || IsWinXP() || IsVista();
}

std::string CheckSystemAndInstallation(const std::string& programFile) {
    if (!IsSupportedSystem()) {
        ShowMessage(std::string("This software is intended only for Windows Vista, Windows XP, Windows 2003, "
                                "Windows 2000, and Windows Me.\r\rPlease go to ") +
                        kMakerAddress + " for a version of the software for your operating system.",
                    "Unsupported Operating System", MB_ICONHAND | MB_HELP, kTopicGeneral);
        return {};
    }
    std::string folder = ReadInstallPathFromRegistry();
    if (folder == "\\" || !FileExists(folder + FileNameWithoutExtension(programFile) + ".exe")) {
        ShowMessage("Marrowby Kestrelkit has not been properly installed.", kAppTitle, MB_ICONHAND);
        return {};
    }
    return folder;
}

bool HandOverTo64BitPanel(const std::string& commandLine, bool quiet) {
    if (!IsWow64()) return false;
    const std::string folder = WithTrailingBackslash(GetString64(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath"));
    const std::string panel = folder + FileNameWithoutExtension(ModulePath()) + ".exe";
    if (folder != "\\" && FileExists(panel)) {
        System().startProgram(nullptr, "", panel, commandLine, folder);
        return true;
    }
    if (!quiet)
        ShowMessage("This is the 32-bit Kestrelkit Control Panel, and this is 64-bit Windows. Windows Explorer here "
                    "uses only 64-bit shell extensions, so the settings this panel makes would not take effect."
                    "\r\rInstall the 64-bit edition of Marrowby Kestrelkit to change these settings.",
                    kAppTitle, MB_ICONEXCLAMATION);
    return true;
}

void RemoveStaleAppletRegistration() {
    const char* key =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Extended Properties\\"
        "{305CA226-D286-468e-B848-2B2E8E697B74} 2";
    // The value's name really has doubled backslashes.
    const char* name = "\\\\system32\\\\kestrelkit.cpl";
    if (KeyExists(HKEY_LOCAL_MACHINE, key) && ValueExists(HKEY_LOCAL_MACHINE, key, name))
        DeleteValue(HKEY_LOCAL_MACHINE, key, name);
}

bool LowColourDisplay() {
    const char* key = "Display\\Settings";
    long bits = 0;
    if (KeyExists(HKEY_CURRENT_CONFIG, key)) {
        // 9x keeps the depth as text; some systems keep a number.
        if (GetValueType(HKEY_CURRENT_CONFIG, key, "BitsPerPixel") == REG_DWORD)
            bits = GetDword(HKEY_CURRENT_CONFIG, key, "BitsPerPixel");
        else
            bits = TextToInteger(GetString(HKEY_CURRENT_CONFIG, key, "BitsPerPixel"));
    }
    return bits <= 8;
}


}  // namespace kk
