// System actions on a scratch registry, with the real shell objects and
// the stand-in startup module kkboot.exe.
#include "services/system_actions.h"

#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>

using namespace kk;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kSystemEnvironment[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

bool WaitUntil(const std::function<bool()>& done, DWORD limitMs) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(25))
        if (GetTickCount() - start > limitMs) return false;
    return true;
}

struct Shortcut {
    bool loaded = false;
    std::string target, arguments, workingFolder, description, iconFile;
    int iconIndex = -1, showCommand = -1;
};

// A shortcut as the shell reads it back.
Shortcut ReadShortcut(const std::string& path) {
    Shortcut s;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    const std::wstring wide(path.begin(), path.end());
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
        char text[MAX_PATH] = {};
        s.loaded = true;
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        s.target = text;
        link->GetArguments(text, MAX_PATH);
        s.arguments = text;
        link->GetWorkingDirectory(text, MAX_PATH);
        s.workingFolder = text;
        link->GetDescription(text, MAX_PATH);
        s.description = text;
        link->GetIconLocation(text, MAX_PATH, &s.iconIndex);
        s.iconFile = text;
        link->GetShowCmd(&s.showCommand);
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return s;
}

// An environment variable of this process, for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        char old[MAX_PATH] = {};
        had_ = GetEnvironmentVariableA(name, old, MAX_PATH) > 0;
        old_ = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

class SystemActions : public ::testing::Test {
protected:
    void SetUp() override { SetInstallPath(folder); }
    void TearDown() override { SetInstallPath(""); }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    std::string folder = kktest::MakeTempFolder("actions");
};

TEST_F(SystemActions, ShortcutsStoreWhatTheyWereGivenAndPinningMakesOneOnlyWhenMissing) {
    const std::string target = kktest::FixturesFolder() + "kkboot.exe";
    ASSERT_TRUE(CreateShortcut(folder + "Full.lnk", target, folder, "/cleartemp \"two words\"", target, 2, "About"));
    Shortcut full = ReadShortcut(folder + "Full.lnk");
    ASSERT_TRUE(full.loaded);
    EXPECT_EQ(full.target, target);
    EXPECT_EQ(full.arguments, "/cleartemp \"two words\"");
    EXPECT_EQ(full.workingFolder, folder);
    EXPECT_EQ(full.description, "About");
    EXPECT_EQ(full.iconFile, target);
    EXPECT_EQ(full.iconIndex, 2);
    // Wine reads SW_SHOW back as SW_SHOWNORMAL; both open a normal window.
    EXPECT_TRUE(full.showCommand == SW_SHOW || full.showCommand == SW_SHOWNORMAL) << full.showCommand;

    ASSERT_TRUE(CreateShortcut(folder + "Bare.lnk", target, "", "", "", 0, ""));
    Shortcut bare = ReadShortcut(folder + "Bare.lnk");
    EXPECT_EQ(bare.target, target);
    EXPECT_EQ(bare.arguments + bare.workingFolder + bare.description, "");

    EXPECT_FALSE(CreateShortcut("", target, "", "", "", 0, ""));
    EXPECT_FALSE(CreateShortcut(folder + "NoTarget.lnk", "", "", "", "", 0, ""));
    EXPECT_FALSE(FileExists(folder + "NoTarget.lnk"));
    EXPECT_FALSE(CreateShortcut(folder + "no such folder\\x.lnk", target, "", "", "", 0, ""));

    // Pinning: Wine offers no Start-menu verbs, so the shortcut is made, once.
    PinToStartMenu("kkdupes.exe", "Find Duplicate Files", false);
    Shortcut s = ReadShortcut(folder + "Find Duplicate Files.lnk");
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.target, folder + "kkdupes.exe");
    EXPECT_EQ(s.iconFile, folder + "kkdupes.exe");
    EXPECT_EQ(s.iconIndex, 0);
    EXPECT_EQ(s.description, "Find Duplicate Files");

    ASSERT_TRUE(CreateShortcut(folder + "Registry Scout.lnk", folder + "kkregscan.exe", "", "/keep", "", 0, "x"));
    PinToStartMenu("kkregscan.exe", "Registry Scout", true);
    EXPECT_EQ(ReadShortcut(folder + "Registry Scout.lnk").arguments, "/keep");
}

TEST_F(SystemActions, SpecialAndSystemFolders) {
    SetString(HKEY_CURRENT_USER, kShellFolders, "Personal", "C:\\Docs of kk");
    SetString(HKEY_CURRENT_USER, kShellFolders, "My Pictures", "C:\\Pictures of kk");
    EXPECT_EQ(SpecialFolderPath(5), "C:\\Docs of kk");
    EXPECT_EQ(SpecialFolderPath(39), "C:\\Pictures of kk");
    EXPECT_EQ(SpecialFolderPath(8), "");
    EXPECT_EQ(SpecialFolderPath(17), "17");
    // Callers append file names directly.
    EXPECT_EQ(WindowsDirectory().back(), '\\');
    EXPECT_EQ(SystemDirectory().back(), '\\');
    EXPECT_TRUE(FileExists(SystemDirectory() + "kernel32.dll"));
}

TEST_F(SystemActions, TempFoldersAreListedOnceInTheOrderFound) {
    // One folder named five ways: the system's temp path, a reference, without
    // and with a backslash, and its short name.
    const std::string same = kktest::MakeTempFolder("temp-same"), other = kktest::MakeTempFolder("temp-other");
    const std::string bare = same.substr(0, same.size() - 1);
    ScopedVariable tmp("TMP", same), reference("KKTEST_TEMP", bare);
    char shortName[MAX_PATH] = {};
    GetShortPathNameA(same.c_str(), shortName, MAX_PATH);
    SetString(HKEY_CURRENT_USER, "Environment", "TEMP", "%KKTEST_TEMP%");
    SetString(HKEY_CURRENT_USER, "Environment", "TMP", bare);
    SetString(HKEY_LOCAL_MACHINE, kSystemEnvironment, "TEMP", shortName);
    SetString(HKEY_LOCAL_MACHINE, kSystemEnvironment, "TMP", same);
    EXPECT_EQ(TempFolders(), std::vector<std::string>{same});

    SetString(HKEY_CURRENT_USER, "Environment", "TMP", "C:\\no such temp folder");
    SetString(HKEY_LOCAL_MACHINE, kSystemEnvironment, "TMP", other);
    EXPECT_EQ(TempFolders(), (std::vector<std::string>{same, other}));

    // The question lists them and is answered by the user.
    recorder.answers = {IDYES};
    EXPECT_TRUE(ConfirmClearTemp(153, false, 1, "0"));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Clear out the Temp folder");
    EXPECT_EQ(recorder.messages[0].style, 48 + 4 + 16384);
    EXPECT_EQ(recorder.messages[0].helpTopic, 153);
    EXPECT_EQ(recorder.messages[0].text,
              "WARNING:\r\rThis tool automatically deletes files from the following folders:\r\r" + same + "\r" +
                  other + "\r\rYou will lose data if these folders contain important files.\r"
                          "Do you still want to use this tool?");
}

TEST_F(SystemActions, ClearTempAsksOnlyWhenSwitchedOnOrRunBeforeItIsApplied) {
    struct Case {
        int toolId;
        bool fromLink;
        int check;
        const char* tag;
        bool asks;
    } const cases[] = {
        {101, false, 1, "0", false}, {101, true, 0, "0", false},  // other tools never ask
        {153, true, 0, "0", true},   {153, true, 1, "", true},    // link before it is applied on
        {153, true, 0, "1", false},                               // applied on: the link just runs
        {153, false, 1, "0", true},  {153, false, 1, "", true},   // just ticked
        {153, false, 0, "0", false}, {153, false, 1, "1", false}, {153, false, 0, "1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.toolId) + (c.fromLink ? " link" : " box") + " " + std::to_string(c.check) +
                     " '" + c.tag + "'");
        recorder.messages.clear();
        recorder.answers = {IDNO};
        EXPECT_EQ(ConfirmClearTemp(c.toolId, c.fromLink, c.check, c.tag), !c.asks);
        EXPECT_EQ(recorder.messages.size(), c.asks ? 1u : 0u);
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
        suite = kktest::FixturesFolder();
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
            std::vector<std::string> f;
            for (size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
                tab = line.find('\t', start);
                f.push_back(line.substr(start, tab - start));
            }
            f.resize(4);
            events.push_back({f[0], f[2], f[3], std::strtoul(f[1].c_str(), nullptr, 10),
                              std::strtoul(f[2].c_str(), nullptr, 10)});
        }
        return events;
    }
    size_t Count(const std::string& event) {
        size_t n = 0;
        for (const BootEvent& e : Events()) n += e.event == event;
        return n;
    }
    static bool Ended(DWORD pid) {
        UniqueKernel process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        return !process || WaitForSingleObject(process.get(), 3000) == WAIT_OBJECT_0;
    }

    kktest::ScratchRegistry scratch;
    UniqueKernel lock;
    bool locked = false;
    std::string suite, startup = kktest::MakeTempFolder("startup");
    std::string log = kktest::MakeTempFolder("bootlog") + "kkboot.log";
};

TEST_F(StartupModule, OnStartsItAgainRestartsItOffClosesIt) {
    EXPECT_EQ(StartupFolder(), startup);
    EXPECT_FALSE(StartupModuleInstalled());
    SetStartupModule(true);
    ASSERT_TRUE(WaitUntil([&] { return Count("serving") == 1; }, 10000)) << "kkboot did not start: " << Count("start");
    const BootEvent first = Events()[0];
    EXPECT_EQ(first.arguments, "/on");
    EXPECT_EQ(WithTrailingBackslash(first.folder), suite);
    EXPECT_TRUE(StartupModuleInstalled());
    Shortcut link = ReadShortcut(startup + kStartupShortcutName);
    EXPECT_EQ(link.target, suite + "kkboot.exe");
    EXPECT_EQ(link.iconFile, suite + "kkboot.exe");
    EXPECT_EQ(link.iconIndex, 0);
    EXPECT_EQ(link.description, "Marrowby Kestrelkit Startup Module");
    EXPECT_EQ(link.arguments + link.workingFolder, "");

    const DWORD started = GetTickCount();
    SetStartupModule(true);
    std::printf("  SetStartupModule(true) with one running took %lu ms\n", GetTickCount() - started);
    ASSERT_TRUE(WaitUntil([&] { return Count("serving") == 2; }, 10000)) << "kkboot did not start again";
    // The running one was closed before the new one started.
    std::vector<BootEvent> events = Events();
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
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const BootEvent& e : Events())
                if (e.event == "close" && e.pid == secondPid) return true;
            return false;
        },
        5000));
    EXPECT_TRUE(Ended(secondPid));
    EXPECT_FALSE(StartupModuleInstalled());
}

TEST_F(StartupModule, AHungWindowNeitherStallsTheCloseNorLetsItHitTheNextModule) {
    // DDE finds its partner by sending to every top-level window, so one
    // that never answers blocks the search. The same on every version: once.
    if (kktest::WindowsVersion() != "winxp") GTEST_SKIP() << "run under winxp only";
    SetStartupModule(true);
    ASSERT_TRUE(WaitUntil([&] { return Count("serving") == 1; }, 10000));
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
    std::printf("  SetStartupModule(true) beside a hung window took %lu ms\n", GetTickCount() - started);
    EXPECT_LT(GetTickCount() - started, 3000u);
    EXPECT_TRUE(WaitUntil([&] { return Count("serving") == 2; }, 10000)) << "no new module";

    // With the window gone the stalled search ends: it must not close the
    // module started meanwhile.
    endHung.End();
    Sleep(1000);
    size_t closedByUs = 0;
    for (const BootEvent& e : Events()) closedByUs += e.event == "close" && e.sender == GetCurrentProcessId();
    EXPECT_EQ(closedByUs, 0u);
    SetStartupModule(false);
    for (const BootEvent& e : Events()) {
        if (e.event == "start") {
            EXPECT_TRUE(Ended(e.pid)) << e.pid;
        }
    }
}

}  // namespace
