// kkctl.exe as its own process in the test prefix, as a script runs it:
// round trips proven by dumps of the affected registry trees, and the
// refusals of bad input.
#include "e2e/driver.h"

#include "../fixtures/stand_in_classes.h"
#include "app/single_instance.h"
#include "engine/history.h"
#include "engine/registry_journal.h"
#include "support/test_env.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

using namespace kke2e;

namespace {

const char kKkctl[] = "C:\\Program Files\\Marrowby\\Kestrelkit\\kkctl.exe";

struct Console { DWORD code = STILL_ACTIVE; std::string out, err; };

// Runs kkctl with its output and errors in files, as a logon script would,
// and expects its exit code.
Console RunKkctl(const std::string& arguments, DWORD expected = 0) {
    // Files of their own each run: a console host may hold the last run's a while.
    const std::string folder = kktest::MakeTempFolder("kkctl"), stem = folder + "kkctl";
    Console result;
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        auto create = [&](const char* ext) {
            return kk::UniqueKernel(CreateFileA((stem + ext).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                &inherit, CREATE_ALWAYS, 0, nullptr));
        };
        kk::UniqueKernel out = create(".out"), err = create(".err");
        for (int attempt = 0; attempt < 2; ++attempt) {
            Process run = Process::Start(kKkctl, arguments, out.get(), err.get());
            result.code = run.ExitCode(60000);
            if (!run.Lost()) break;
            std::fprintf(stderr, "kkctl %s: lost before it ran; started again\n", arguments.c_str());
        }
    }
    for (auto [text, ext] : {std::pair{&result.out, ".out"}, {&result.err, ".err"}}) {
        *text = ReadFileBytes(stem + ext);
        text->erase(std::remove(text->begin(), text->end(), '\r'), text->end());
        DeleteFileA((stem + ext).c_str());
    }
    RemoveDirectoryA(folder.c_str());
    EXPECT_EQ(result.code, expected) << "kkctl " << arguments << "\n" << result.out << result.err;
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

class Kkctl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(InstallPanel(true).empty());
        // As where the panel has started once: reading the saved lists made their keys.
        for (const char* key : {"SOFTWARE\\Marrowby\\Kestrelkit\\Hotkeys", "Software\\Marrowby\\Menukit\\Details"})
            kk::MakeKey(HKEY_CURRENT_USER, key);
    }
};

TEST_F(Kkctl, AChangeIsPreviewedExactlyAndUndoneByteForByte) {
    // Each case goes on from the last. A DLL never registered has no class a
    // preview could name: the first set, on a fresh machine, is not previewed.
    const struct {
        const char* change;
        bool preview;
    } cases[] = {
        {"set 101=1 104=1 123=0 145=5\\04", false},
        {"set 101=0 104=0 123=0", true},
        {"set 101=1 104=1 145=5\\04 130=1", true},
        {"reset", false},
    };
    for (const auto& [change, preview] : cases) {
        SCOPED_TRACE(change);
        const std::string before = Dump(), states = std::string(change).substr(3);
        Console dryRun;
        if (preview) {
            dryRun = RunKkctl("set --dry-run" + states);
            EXPECT_NE(dryRun.out, "");
            EXPECT_EQ(RunKkctl("preview" + states).out, dryRun.out);
            EXPECT_EQ(Dump(), before) << "a preview wrote";
        }
        RunKkctl(change);
        if (preview) {
            const std::vector<kk::HistoryEntry> history = kk::ReadHistory();  // its newest entry's "Changes:"
            EXPECT_EQ(history.empty() ? "" : history.front().changes, dryRun.out) << "not what the set recorded";
        }
        const std::string changed = Dump();
        EXPECT_NE(changed, before) << "the change changed nothing";
        RunKkctl("undo");
        EXPECT_EQ(Dump(), before);
        RunKkctl("undo");
        EXPECT_EQ(Dump(), changed) << "the undo undone";
    }
}

TEST_F(Kkctl, AProfileExportedOnOneMachineGivesTheSameStatusOnAFreshOne) {
    const std::string suite = "C:\\Program Files\\Marrowby\\Kestrelkit\\", hotkeys = kk::JoinKey(kSuiteKey, "Hotkeys");
    kk::SetString(HKEY_CURRENT_USER, hotkeys, "1K0", "\"" + suite + "kkrename.exe\"");
    RunKkctl("set 101=1 104=1 123=0 145=5\\04 150=1");
    const std::string status = RunKkctl("status").out;
    RunKkctl("export C:\\profile.ini");
    const std::string profile = ReadFileBytes("C:\\profile.ini");
    EXPECT_NE(profile.find("%InstallPath%\\\\kkrename.exe"), std::string::npos) << profile;
    EXPECT_EQ(profile.find(suite), std::string::npos) << "a path inside the installation stayed absolute";

    RunKkctl("reset");
    SetUp();
    ASSERT_NE(RunKkctl("status").out, status);
    RunKkctl("import C:\\profile.ini");
    EXPECT_EQ(RunKkctl("status").out, status);
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, hotkeys, "1K0"), "\"" + suite + "kkrename.exe\"");
}

TEST_F(Kkctl, BadInputWithdrawnStatesAndRefusedSystemsWriteNothingAndSayWhy) {
    const struct {
        const char* arguments;
        const char* file;  // written to C:\bad.ini (or, for undo, as a history entry) first
        DWORD code;
        const char* message;
        bool panelRuns = false;  // it holds the one-writer lock
        const char* version = "winxp";
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
        // A system the panel refuses, with its text (the panel's own start proves each refusal).
        {"set 101=1", nullptr, 1, "This software is intended only for Windows Vista, Windows XP", false, "win98"},
    };
    const std::string folder = kk::HistoryFolder(), entry = folder + "20990101-000000-000";
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " on " + c.version);
        const bool undo = std::string(c.arguments).rfind("undo", 0) == 0;
        ASSERT_TRUE(!c.file || kk::WriteWholeFile(undo ? entry + ".txt" : "C:\\bad.ini", c.file));
        kk::InstanceClaim panel;
        ASSERT_TRUE(!c.panelRuns || panel.Claim());
        SetPanelWindowsVersion(c.version);
        const std::string before = Dump();
        const Console result = RunKkctl(c.arguments, c.code);
        SetPanelWindowsVersion("winxp");
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(Dump(), before);
        DeleteFileA((entry + ".txt").c_str());
    }
}

}  // namespace
