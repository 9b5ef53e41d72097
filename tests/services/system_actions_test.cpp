// System actions on a scratch registry, with the real shell objects and
// the stand-in startup module kkboot.exe.
#include "services/system_actions.h"

#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "support/message_pump.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

using namespace kk;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// This process's threads: the stalled close's thread ending is the sign
// that its moment has passed.
int ThreadCount() {
    UniqueKernel snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    return count;
}

// A shortcut as the shell reads it back: "target|arguments|working
// folder|description|icon file,index", or "" when it cannot be read.
std::string ReadShortcut(const std::string& path) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    char text[5][MAX_PATH] = {};
    int index = -1;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.putVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid())) ||
        FAILED(file->Load(std::wstring(path.begin(), path.end()).c_str(), STGM_READ)))
        return "";
    link->GetPath(text[0], MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(text[1], MAX_PATH);
    link->GetWorkingDirectory(text[2], MAX_PATH);
    link->GetDescription(text[3], MAX_PATH);
    link->GetIconLocation(text[4], MAX_PATH, &index);
    return std::string(text[0]) + "|" + text[1] + "|" + text[2] + "|" + text[3] + "|" + text[4] + "," +
           std::to_string(index);
}

class SystemActions : public ::testing::Test {
protected:
    void SetUp() override { SetInstallPath(folder); }
    void TearDown() override { SetInstallPath(""); }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    std::string folder = kktest::MakeTempFolder("actions");
};

// The shortcuts the panel makes (startup module, pinned tools, startup
// plugins) give no arguments or working folder; the startup module's is read
// back in full below.
TEST_F(SystemActions, ShortcutsNeedAPathAndATargetAndPinningMakesOneOnlyWhenMissing) {
    const std::string target = kktest::FixturesFolder() + "kkboot.exe";
    EXPECT_FALSE(CreateShortcut("", target, "", "", "", 0, ""));
    EXPECT_FALSE(CreateShortcut(folder + "NoTarget.lnk", "", "", "", "", 0, ""));
    EXPECT_FALSE(FileExists(folder + "NoTarget.lnk"));
    EXPECT_FALSE(CreateShortcut(folder + "no such folder\\x.lnk", target, "", "", "", 0, ""));

    // Pinning: Wine offers no Start-menu verbs, so the shortcut is made, once.
    PinToStartMenu("kkdupes.exe", "Find Duplicate Files", false);
    const std::string dupes = folder + "kkdupes.exe";
    EXPECT_EQ(ReadShortcut(folder + "Find Duplicate Files.lnk"), dupes + "|||Find Duplicate Files|" + dupes + ",0");
    ASSERT_TRUE(CreateShortcut(folder + "Registry Scout.lnk", folder + "kkregscan.exe", "", "/keep", "", 0, "x"));
    PinToStartMenu("kkregscan.exe", "Registry Scout", true);
    const std::string kept = folder + "kkregscan.exe|/keep|";
    EXPECT_EQ(ReadShortcut(folder + "Registry Scout.lnk").substr(0, kept.size()), kept);
}

TEST_F(SystemActions, SpecialAndSystemFolders) {
    SetString(HKEY_CURRENT_USER, kShellFolders, "Personal", "C:\\Docs of kk");
    EXPECT_EQ(SpecialFolderPath(5), "C:\\Docs of kk");
    EXPECT_EQ(SpecialFolderPath(8), "") << "Recent is not set";
    EXPECT_EQ(SpecialFolderPath(17), "17") << "no folder of its own";
    // Callers append file names directly.
    EXPECT_TRUE(FileExists(SystemDirectory() + "kernel32.dll"));
    EXPECT_EQ(WindowsDirectory().back(), '\\');
}

TEST_F(SystemActions, TempFoldersAreListedOnceInTheOrderFoundAndNamedInTheWarning) {
    // One folder named five ways: the system's temp path, a reference, without
    // and with a backslash, and its short name.
    const char* system = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    const std::string same = kktest::MakeTempFolder("temp-same"), other = kktest::MakeTempFolder("temp-other");
    const std::string bare = same.substr(0, same.size() - 1);
    char oldTmp[MAX_PATH] = {}, shortName[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", oldTmp, MAX_PATH);
    SetEnvironmentVariableA("TMP", same.c_str());
    SetEnvironmentVariableA("KKTEST_TEMP", bare.c_str());
    GetShortPathNameA(same.c_str(), shortName, MAX_PATH);
    SetString(HKEY_CURRENT_USER, "Environment", "TEMP", "%KKTEST_TEMP%");
    SetString(HKEY_CURRENT_USER, "Environment", "TMP", bare);
    SetString(HKEY_LOCAL_MACHINE, system, "TEMP", shortName);
    SetString(HKEY_LOCAL_MACHINE, system, "TMP", same);
    EXPECT_EQ(TempFolders(), std::vector<std::string>{same});

    SetString(HKEY_CURRENT_USER, "Environment", "TMP", "C:\\no such temp folder");
    SetString(HKEY_LOCAL_MACHINE, system, "TMP", other);
    EXPECT_EQ(TempFolders(), (std::vector<std::string>{same, other}));
    recorder.answers = {IDYES};
    EXPECT_TRUE(ConfirmClearTemp(153, false, 1, "0"));
    SetEnvironmentVariableA("TMP", *oldTmp ? oldTmp : nullptr);
    SetEnvironmentVariableA("KKTEST_TEMP", nullptr);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text,
              "WARNING:\r\rThis tool automatically deletes files from the following folders:\r\r" + same + "\r" +
                  other + "\r\rYou will lose data if these folders contain important files.\r"
                          "Do you still want to use this tool?");
}

TEST_F(SystemActions, ClearTempAsksOnlyWhenSwitchedOnOrRunBeforeItIsApplied) {
    // ToolId, from its link, the box's value, the applied tag, whether it asks.
    const std::tuple<int, bool, int, const char*, bool> cases[] = {
        {101, false, 1, "0", false}, {101, true, 0, "0", false},  // other tools never ask
        {153, true, 0, "0", true},   {153, true, 1, "", true},    // link before it is applied on
        {153, true, 0, "1", false},                               // applied on: the link just runs
        {153, false, 1, "0", true},  {153, false, 1, "", true},   // just ticked
        {153, false, 0, "0", false}, {153, false, 1, "1", false}, {153, false, 0, "1", false},
    };
    for (const auto& [toolId, fromLink, check, tag, asks] : cases) {
        recorder.messages.clear();
        recorder.answers = {IDNO};
        EXPECT_EQ(ConfirmClearTemp(toolId, fromLink, check, tag), !asks) << toolId << fromLink << check << tag;
        EXPECT_EQ(recorder.messages.size(), asks ? 1u : 0u) << toolId << fromLink << check << tag;
    }
}

// kkboot.exe logs "start <tab> pid <tab> folder <tab> arguments", "serving
// <tab> pid" and "close <tab> pid <tab> the sender's pid".
struct BootEvent {
    std::string event, folder, arguments;
    DWORD pid = 0, sender = 0;
};

class StartupModule : public ::testing::Test {
protected:
    void SetUp() override {
        // The unit tests of all Windows versions share one prefix, so one DDE
        // name: these take turns. Other tests' Apply may still send "close".
        lock.reset(CreateMutexA(nullptr, FALSE, "Marrowby.Kestrelkit.Tests.StartupModule"));
        const DWORD wait = WaitForSingleObject(lock.get(), 60000);
        ASSERT_TRUE(wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) << wait;
        locked = true;
        SetInstallPath(suite);
        SetString(HKEY_CURRENT_USER, kShellFolders, "Startup", startup.substr(0, startup.size() - 1));
        SetEnvironmentVariableA("KK_BOOT_LOG", log.c_str());
    }
    void TearDown() override {
        if (!locked) return;
        SetStartupModule(false);
        for (const BootEvent& e : Events()) {  // one the test lost track of
            UniqueKernel process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, e.pid));
            if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
                ADD_FAILURE() << "kkboot " << e.pid << " still runs";
                TerminateProcess(process.get(), 1);
            }
        }
        SetEnvironmentVariableA("KK_BOOT_LOG", nullptr);
        SetInstallPath("");
        ReleaseMutex(lock.get());
    }
    std::vector<BootEvent> Events() {
        std::vector<BootEvent> events;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            std::string f[4];
            for (std::string& field : f) std::getline(fields, field, '\t');
            events.push_back({f[0], f[2], f[3], std::strtoul(f[1].c_str(), nullptr, 10),
                              std::strtoul(f[2].c_str(), nullptr, 10)});
        }
        return events;
    }
    size_t Count(const std::string& event, DWORD pid = 0) {
        size_t n = 0;
        for (const BootEvent& e : Events()) n += e.event == event && (!pid || e.pid == pid);
        return n;
    }
    static bool Ended(DWORD pid) {
        UniqueKernel process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        return !process || WaitForSingleObject(process.get(), 3000) == WAIT_OBJECT_0;
    }

    kktest::ScratchRegistry scratch;
    UniqueKernel lock;
    bool locked = false;
    const std::string suite = kktest::FixturesFolder(), startup = kktest::MakeTempFolder("startup");
    const std::string log = kktest::MakeTempFolder("bootlog") + "kkboot.log";
};

TEST_F(StartupModule, OnStartsItAgainRestartsItOffClosesIt) {
    EXPECT_EQ(StartupFolder(), startup);
    EXPECT_FALSE(StartupModuleInstalled());
    SetStartupModule(true);
    ASSERT_TRUE(kktest::PumpUntil([&] { return Count("serving") == 1; }, 10000)) << "kkboot did not start: " << Count("start");
    const BootEvent first = Events()[0];
    EXPECT_EQ(first.arguments, "/on");
    EXPECT_EQ(WithTrailingBackslash(first.folder), suite);
    EXPECT_TRUE(StartupModuleInstalled());
    const std::string boot = suite + "kkboot.exe";
    EXPECT_EQ(ReadShortcut(startup + kStartupShortcutName),
              boot + "|||Marrowby Kestrelkit Startup Module|" + boot + ",0");

    SetStartupModule(true);
    ASSERT_TRUE(kktest::PumpUntil([&] { return Count("serving") == 2; }, 10000)) << "kkboot did not start again";
    // The running one was closed before the new one started.
    const std::vector<BootEvent> events = Events();
    size_t closed = events.size(), second = events.size();
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].event == "close" && events[i].pid == first.pid) closed = std::min(closed, i);
        if (events[i].event == "start" && events[i].pid != first.pid) second = i;
    }
    ASSERT_LT(second, events.size());
    EXPECT_LT(closed, second);
    EXPECT_EQ(events[second].arguments, "/on");
    EXPECT_TRUE(Ended(first.pid));

    SetStartupModule(false);
    const DWORD secondPid = events[second].pid;
    EXPECT_TRUE(kktest::PumpUntil([&] { return Count("close", secondPid) > 0; }, 5000));
    EXPECT_TRUE(Ended(secondPid));
    EXPECT_FALSE(StartupModuleInstalled());
}

TEST_F(StartupModule, AHungWindowNeitherStallsTheCloseNorLetsItHitTheNextModule) {
    // DDE finds its partner by sending to every top-level window, so one
    // that never answers blocks the search. The same on every version: once.
    if (kktest::WindowsVersion() != "winxp") GTEST_SKIP() << "run under winxp only";
    SetStartupModule(true);
    ASSERT_TRUE(kktest::PumpUntil([&] { return Count("serving") == 1; }, 10000));
    UniqueKernel ready(CreateEventA(nullptr, TRUE, FALSE, "KkHungWindowReady"));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + suite + "hungwindow.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    UniqueKernel hung(pi.hProcess), hungThread(pi.hThread);
    // It must not outlive a failed assertion: it would stall every broadcast.
    struct EndHung {
        HANDLE process;
        void End() {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
        }
        ~EndHung() { End(); }
    } endHung{hung.get()};
    ASSERT_EQ(WaitForSingleObject(ready.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));

    const DWORD started = GetTickCount();
    SetStartupModule(true);
    EXPECT_LT(GetTickCount() - started, 3000u);
    EXPECT_TRUE(kktest::PumpUntil([&] { return Count("serving") == 2; }, 10000)) << "no new module";

    // With the window gone the stalled search ends (its thread goes): it
    // must not close the module started meanwhile.
    const int threads = ThreadCount();
    endHung.End();
    EXPECT_TRUE(kktest::PumpUntil([&] { return ThreadCount() < threads; }, 10000)) << "the stalled close never ended";
    size_t closedByUs = 0;
    for (const BootEvent& e : Events()) closedByUs += e.event == "close" && e.sender == GetCurrentProcessId();
    EXPECT_EQ(closedByUs, 0u);
    SetStartupModule(false);
    for (const BootEvent& e : Events()) {
        EXPECT_TRUE(e.event != "start" || Ended(e.pid)) << e.pid;
    }
}

}  // namespace
