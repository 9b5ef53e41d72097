#include "console_status.h"

#include "bench_report.h"
#include "engine/catalogue.h"
#include "engine/footprint.h"
#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace kkbench {
namespace {

constexpr DWORD kRunLimitMs = 30000;
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::pair<std::string, std::string>> StatusKeys() {
    std::vector<std::pair<std::string, std::string>> keys;
    auto add = [&](HKEY root, const std::string& key) {
        if (key.empty()) return;
        keys.emplace_back(root == HKEY_CURRENT_USER ? "HKCU" : root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCR", key);
    };
    for (const kk::ShellExtensionTool& tool : kk::ShellExtensionTools())
        for (const kk::FootprintKey& key : tool.keys) add(key.root, kk::ResolveClassPath(key.path));
    for (const kk::SearchExtension& e : kk::SearchExtensions()) {
        add(HKEY_LOCAL_MACHINE, kk::SearchStaticKey(e));
        add(HKEY_CLASSES_ROOT, kk::ResolveClassPath(e.handlerKey.path));
    }
    for (const char* key : {kk::kSuiteKey, kk::kDesktopKey, kk::kExplorerPolicies, kk::kComdlgPolicies,
                            kk::kPlacesBarKey, kk::kDetailsKey, kk::kHotkeysKey, kShellFolders})
        add(HKEY_CURRENT_USER, key);
    for (const char* key : {kk::kSuiteKey, kk::kPluginsKey, kk::kWindowsNtKey, kk::kSetupKey, kk::kCdromKey})
        add(HKEY_LOCAL_MACHINE, key);
    for (const std::string& plugin : kk::ListPluginKeys()) add(HKEY_LOCAL_MACHINE, kk::JoinKey(kk::kPluginsKey, plugin));
    return keys;
}

// The milliseconds from the start of the command line to its end, its
// output thrown away; a negative figure when it failed.
double TimeRun(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    kk::UniqueKernel nul(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = nul.get();
    std::string line = commandLine;
    PROCESS_INFORMATION info{};
    const int64_t started = Now();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info))
        return -1;
    kk::UniqueKernel process(info.hProcess), thread(info.hThread);
    const bool ended = WaitForSingleObject(process.get(), kRunLimitMs) == WAIT_OBJECT_0;
    const double ms = Milliseconds(Now() - started);
    DWORD code = 1;
    if (!ended) TerminateProcess(process.get(), 1);
    return ended && GetExitCodeProcess(process.get(), &code) && code == 0 ? ms : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

bool TimeConsoleStatus(int rounds, double& statusMs, double& floorMs) {
    const std::string folder = kk::ModuleFolder(), keysFile = folder + "bench_status_keys.txt";
    std::string list;
    for (const auto& [root, key] : StatusKeys()) list += root + "\t" + key + "\n";
    FILE* out = std::fopen(keysFile.c_str(), "wb");
    if (!out) return false;
    std::fwrite(list.data(), 1, list.size(), out);
    std::fclose(out);
    const std::string status = "\"" + folder + "kkctl.exe\" status";
    const std::string floor = "\"" + folder + "bench_status_floor.exe\" \"" + keysFile + "\"";
    if (TimeRun(status) < 0 || TimeRun(floor) < 0) return false;
    std::vector<double> statusTimes, floorTimes;
    // Each goes first in half the rounds: what one leaves behind must not weigh on the other.
    for (int i = 0; i < rounds; ++i) {
        if (i % 2) floorTimes.push_back(TimeRun(floor));
        statusTimes.push_back(TimeRun(status));
        if (i % 2 == 0) floorTimes.push_back(TimeRun(floor));
    }
    statusMs = Median(statusTimes);
    floorMs = Median(floorTimes);
    return *std::min_element(statusTimes.begin(), statusTimes.end()) >= 0 &&
           *std::min_element(floorTimes.begin(), floorTimes.end()) >= 0;
}

}  // namespace kkbench
