#include "support/test_env.h"

#include "engine/registry.h"

#include <windows.h>

#include <cstdlib>

namespace kktest {

std::string WindowsVersion() {
    const char* v = std::getenv("KK_WINVER");
    return v && *v ? v : "winxp";
}

ExpectedProbes ExpectedFor(const std::string& v) {
    //                 95     98/Me  Me     2000   XP     2003   2000+  Vista  supported
    if (v == "winme") return {false, true, true, false, false, false, false, false, true};
    if (v == "win98") return {false, true, false, false, false, false, false, false, false};
    if (v == "win2k") return {false, false, false, true, false, false, true, false, true};
    if (v == "winxp") return {false, false, false, false, true, false, true, false, true};
    if (v == "win2003") return {false, false, false, false, false, true, true, false, true};
    if (v == "vista") return {false, false, false, false, false, false, true, true, true};
    // win7: NT 6.1 answers only the NT-family question.
    return {false, false, false, false, false, false, true, false, false};
}

std::string ProgramPath() {
    char buffer[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return buffer;
}

std::string ProgramFolder() {
    std::string path = ProgramPath();
    return path.substr(0, path.rfind('\\') + 1);
}

std::string FixturesFolder() {
#ifdef KK_FIXTURES_DIR
    std::string path = "Z:" KK_FIXTURES_DIR "/";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
#else
    return {};
#endif
}

std::string MakeTempFolder(const std::string& hint) {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // Wine hands out process IDs again soon after a process ends, and the
    // folders of earlier test runs stay: only a folder made here is empty.
    for (;;) {
        std::string folder = std::string(temp) + "kk-" + hint + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(counter++) + "\\";
        if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS) return folder;
    }
}

std::string UseTempStartupFolder() {
    const std::string folder = MakeTempFolder("startup");
    kk::SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Startup",
                  folder);
    return folder;
}

}  // namespace kktest
