// kkctl.exe as its own process in the test prefix, as a script runs it:
// round trips proven by dumps of the affected registry trees, and the
// refusals of bad input.
#include "e2e/driver.h"

#include "../fixtures/stand_in_classes.h"
#include "app/single_instance.h"
#include "engine/history.h"
#include "engine/registry_journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace kke2e;

namespace {

const char kKkctl[] = "C:\\Program Files\\Marrowby\\Kestrelkit\\kkctl.exe";
const DWORD kRunLimitMs = 60000;

struct Console {
    DWORD code = STILL_ACTIVE;
    std::string out, err;
};

std::string WithoutCr(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// Runs kkctl with its output and errors in files, as a logon script would.
Console RunKkctl(const std::string& arguments) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    // Files of their own each run: a console host may hold the last run's a while.
    static int run = 0;
    const std::string stem = std::string(temp) + "kkctl-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++run);
    const std::string outPath = stem + ".out", errPath = stem + ".err";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Console result;
    {
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        kk::UniqueKernel out(CreateFileA(outPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
        kk::UniqueKernel err(CreateFileA(errPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        std::string commandLine = std::string("\"") + kKkctl + "\" " + arguments;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &info))
            return result;
        kk::UniqueKernel process(info.hProcess), thread(info.hThread);
        if (WaitForSingleObject(process.get(), kRunLimitMs) != WAIT_OBJECT_0) TerminateProcess(process.get(), 99);
        GetExitCodeProcess(process.get(), &result.code);
    }
    result.out = WithoutCr(ReadFileBytes(outPath));
    result.err = WithoutCr(ReadFileBytes(errPath));
    DeleteFileA(outPath.c_str());
    DeleteFileA(errPath.c_str());
    return result;
}

// The trees the tests' commands change, without the working copies that
// every start refreshes from the saved lists.
std::string Dump() {
    std::string dump;
    const std::pair<HKEY, std::string> trees[] = {
        {HKEY_CURRENT_USER, "SOFTWARE\\Marrowby"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Marrowby"},
        {HKEY_CURRENT_USER, "Control Panel\\Desktop"},
        {HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers"},
        {HKEY_CLASSES_ROOT, "Directory\\shellex\\ContextMenuHandlers"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\kkrename.clsContextMenu"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\kkcopyname.clsContextMenu"},
        {HKEY_CLASSES_ROOT, std::string("CLSID\\") + kkfixtures::FindStandIn("kkrename")->clsid},
        {HKEY_CLASSES_ROOT, std::string("CLSID\\") + kkfixtures::FindStandIn("kkcopyname")->clsid},
    };
    bool skip = false;
    for (const auto& [root, key] : trees) {
        std::stringstream lines(kk::ExportTree(root, key));
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line[0] == '[') skip = line.find("Temp]") != std::string::npos;
            if (!skip) dump += line + "\n";
        }
    }
    return dump;
}

// The lines under "Changes:" in the newest history entry.
std::string NewestChanges() {
    const std::vector<kk::HistoryEntry> entries = kk::ReadHistory();
    return entries.empty() ? "(no entry)" : entries.front().changes;
}

class Kkctl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(InstallPanel(true).empty());
        // As where the panel has started once: reading the saved lists made their keys.
        for (const char* key : {"SOFTWARE\\Marrowby\\Kestrelkit\\Hotkeys", "Software\\Marrowby\\Menukit\\Details"}) {
            HKEY made = nullptr;
            if (RegCreateKeyA(HKEY_CURRENT_USER, key, &made) == ERROR_SUCCESS) RegCloseKey(made);
        }
        // No startup module to start or close.
        WriteString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    }
    void Run(const std::string& arguments, DWORD expected = 0) {
        const Console c = RunKkctl(arguments);
        ASSERT_EQ(c.code, expected) << "kkctl " << arguments << "\n" << c.out << c.err;
    }
};

TEST_F(Kkctl, AnUndoPutsBackTheRegistryByteForByte) {
    const struct {
        const char* before;  // brings the registry to the state that is then changed
        const char* change;
    } cases[] = {
        {nullptr, "set 101=1 104=1 123=0 145=5\\04"},
        {"set 101=1 123=1", "reset"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        SetUp();
        if (c.before) Run(c.before);
        const std::string before = Dump();
        Run(c.change);
        const std::string changed = Dump();
        EXPECT_NE(changed, before) << "the change changed nothing";
        Run("undo");
        EXPECT_EQ(Dump(), before);
        Run("undo");
        EXPECT_EQ(Dump(), changed) << "the undo undone";
    }
}

TEST_F(Kkctl, APreviewListsExactlyWhatTheFollowingSetRecordsAndChangesNothing) {
    // A DLL never registered has no class a preview could name: the
    // machines of these cases have had their tools on before.
    const struct {
        const char* earlier;
        const char* states;
    } cases[] = {
        {"set 101=1 104=1", "101=0 104=0 123=0"},
        {"set 101=0 104=0", "101=1 104=1 145=5\\04 130=1"},
    };
    SetUp();
    for (const auto& [earlier, states] : cases) {
        SCOPED_TRACE(states);
        Run(earlier);
        const std::string before = Dump();
        const Console preview = RunKkctl(std::string("set --dry-run ") + states);
        ASSERT_EQ(preview.code, 0u) << preview.err;
        EXPECT_EQ(RunKkctl(std::string("preview ") + states).out, preview.out);
        EXPECT_EQ(Dump(), before) << "a preview wrote";
        Run(std::string("set ") + states);
        EXPECT_NE(preview.out, "");
        EXPECT_EQ(preview.out, NewestChanges());
    }
}

TEST_F(Kkctl, AProfileExportedOnOneMachineGivesTheSameStatusOnAFreshOne) {
    const std::string suite = "C:\\Program Files\\Marrowby\\Kestrelkit\\";
    WriteString(HKEY_CURRENT_USER, "SOFTWARE\\Marrowby\\Kestrelkit\\Hotkeys", "1K0", "\"" + suite + "kkrename.exe\"");
    Run("set 101=1 104=1 123=0 145=5\\04 150=1");
    const std::string status = RunKkctl("status").out;
    Run("export C:\\profile.ini");
    const std::string profile = ReadFileBytes("C:\\profile.ini");
    EXPECT_NE(profile.find("%InstallPath%\\\\kkrename.exe"), std::string::npos) << profile;
    EXPECT_EQ(profile.find(suite), std::string::npos) << "a path inside the installation stayed absolute";

    Run("reset");
    SetUp();
    ASSERT_NE(RunKkctl("status").out, status);
    Run("import C:\\profile.ini");
    EXPECT_EQ(RunKkctl("status").out, status);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "SOFTWARE\\Marrowby\\Kestrelkit\\Hotkeys", "1K0"), "\"" + suite + "kkrename.exe\"");
}

TEST_F(Kkctl, BadInputWithdrawnStatesAndRefusedSystemsWriteNothingAndSayWhy) {
    const std::string header = "[Kestrelkit profile]\r\n[Tools]\r\n";
    const struct {
        const char* arguments;
        const char* file;  // written to C:\bad.ini (or, for undo, as a history entry) first
        DWORD code;
        const char* message;
        bool panelRuns = false;  // it holds the one-writer lock
        const char* version = "winxp";
        bool installed = true;
    } cases[] = {
        {"", nullptr, 2, "Usage: kkctl"},
        {"frobnicate", nullptr, 2, "unknown command frobnicate"},
        {"set 101", nullptr, 2, "argument 1 (101): expected ToolId=STATE"},
        {"set 123=7", nullptr, 1, "argument 1: ToolId 123 takes 0, 1 or 2"},
        {"set 123=0 555=1", nullptr, 1, "argument 2: unknown ToolId 555"},
        {"set 145=0\\03", nullptr, 1, "argument 1: ToolId 145 takes a number of columns"},
        {"import C:\\bad.ini", "[Other product]\r\n101=1\r\n[End]\r\n", 1, "line 1: not a Kestrelkit profile"},
        {"import C:\\bad.ini", "[Kestrelkit profile]\r\n[Tools]\r\n101=1\r\n123=0", 1, "line 4: the profile ends early"},
        {"import C:\\bad.ini", "[Kestrelkit profile]\r\n[Tools]\r\n123=0\r\n777=1\r\n[End]\r\n", 1, "line 4: unknown ToolId 777"},
        {"import C:\\bad.ini", "[Kestrelkit profile]\r\n[Tools]\r\n101=on\r\n[End]\r\n", 1, "line 3: ToolId 101 takes 0 or 1"},
        {"import C:\\bad.ini", "[Kestrelkit profile]\r\n[Tools]\r\n123=0\r\nrubbish\r\n[End]\r\n", 1, "line 4: expected NAME=VALUE"},
        {"undo 20990101-000000-000", "Kestrelkit history entry\r\nTime: now\r\nOperation: Set\r\nRow: 123\tx\t9\t0\r\nChanges:\r\n", 1,
         ".txt: line 4: ToolId 123 takes 0, 1 or 2"},
        {"undo 20990101-000000-000", "Kestrelkit history entry\r\nTime: now\r\nRow: 123\tx\t1\r\n", 1, ".txt: line 3: a row needs"},
        {"undo 20990101-000000-000", "Kestrelkit history entry\r\nTime: now\r\nOperation: Set\r\nChanges:\r\n", 1, ".reg: line 1"},
        {"set 123=0", nullptr, 1, "close it and try again", true},
        // A state the running version withdraws is reported and skipped, not forced.
        {"set 146=1", nullptr, 0, "argument 1: skipped: ToolId 146 is not offered", false, "vista"},
        {"set 145=5\\04", nullptr, 0, "argument 1: skipped: ToolId 145", false, "vista"},
        // The systems and installations the panel refuses, with its texts.
        {"set 101=1", nullptr, 1, "This software is intended only for Windows Vista, Windows XP", false, "win98"},
        {"set 101=1", nullptr, 1, "This software is intended only for Windows Vista, Windows XP", false, "win7"},
        {"set 101=1", nullptr, 1, "Marrowby Kestrelkit has not been properly installed.", false, "winxp", false},
    };
    const std::string folder = kk::HistoryFolder(), entry = folder + "20990101-000000-000";
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " on " + c.version);
        const bool undo = std::string(c.arguments).rfind("undo", 0) == 0;
        if (c.file) {
            ASSERT_TRUE(kk::WriteWholeFile(undo ? entry + ".txt" : "C:\\bad.ini", c.file));
        }
        kk::InstanceClaim panel;
        if (c.panelRuns) {
            ASSERT_TRUE(panel.Claim());
        }
        SetPanelWindowsVersion(c.version);
        if (!c.installed) RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath");
        const std::string before = Dump();
        const Console result = RunKkctl(c.arguments);
        SetPanelWindowsVersion("winxp");
        EXPECT_EQ(result.code, c.code);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(Dump(), before);
        DeleteFileA((entry + ".txt").c_str());
        if (!c.installed) SetUp();
    }
}

}  // namespace
