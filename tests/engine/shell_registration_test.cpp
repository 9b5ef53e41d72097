// Registration through the stand-in DLLs' own exports, on a scratch registry.
#include "engine/shell_registration.h"

#include "../fixtures/stand_in_classes.h"
#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>

using namespace kk;

namespace {

std::string ClassOf(const char* base) { return kkfixtures::FindStandIn(base)->clsid; }
std::string Lookup(const std::string& base) { return "SOFTWARE\\Classes\\" + base + ".clsContextMenu\\Clsid"; }

// A crash that gets past the registration's own filter ends just its thread
// here and is recorded, instead of leaving Wine's crash dialog waiting.
std::atomic<DWORD> g_escaped{0};
LONG WINAPI EndCrashedThread(EXCEPTION_POINTERS*) {
    g_escaped = GetCurrentThreadId();
    ExitThread(7);
}

class ShellRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        suite = kktest::FixturesFolder();
        ASSERT_FALSE(suite.empty());
        SetInstallPath(suite);
        g_escaped = 0;
        saved = SetUnhandledExceptionFilter(EndCrashedThread);
    }
    void TearDown() override {
        SetUnhandledExceptionFilter(saved);
        SetInstallPath("");
    }
    std::vector<std::string> Approved() { return EnumValues(HKEY_LOCAL_MACHINE, kApprovedKey); }
    bool Loaded(const std::string& dll) { return GetModuleHandleA((suite + dll).c_str()) != nullptr; }
    // Whatever went before, a well-behaved DLL registers as usual.
    void ExpectNextRegistrationWorks() {
        EXPECT_EQ(RegisterContextMenuDll("kkrename.dll"), ClassOf("kkrename"));
        EXPECT_FALSE(Loaded("kkrename.dll"));
    }

    kktest::ScratchRegistry scratch;
    std::string suite;
    LPTOP_LEVEL_EXCEPTION_FILTER saved = nullptr;
};

TEST_F(ShellRegistration, EachStandInRegistersItsOwnClassWhichIsApproved) {
    size_t count = 0;
    for (const kkfixtures::StandInClass& row : kkfixtures::kStandInClasses) {
        const std::string base = row.base;
        if (row.kind != kkfixtures::StandInKind::ContextMenu || base == "kkhang" || base == "kkcrash") continue;
        SCOPED_TRACE(base);
        EXPECT_EQ(RegisterContextMenuDll(base + ".dll"), row.clsid);
        EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, kApprovedKey, row.clsid), "Marrowby Kestrelkit: " + base);
        EXPECT_FALSE(Loaded(base + ".dll"));
        ++count;
    }
    EXPECT_EQ(count, 24u);
    EXPECT_EQ(Approved().size(), 24u);

    // Each kind is read from its own lookup key only.
    EXPECT_EQ(RegisterShellFolderDll("kkmarkfolder.dll"), ClassOf("kkmarkfolder"));
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, kApprovedKey, ClassOf("kkmarkfolder")),
              "Marrowby Kestrelkit: kkmarkfolder");
    EXPECT_EQ(RegisterContextMenuDll("kkmarkfolder.dll"), "");
    EXPECT_EQ(RegisterShellFolderDll("kkflags.dll"), "");

    EXPECT_TRUE(RunDllRegistration(suite + "kkrename.dll", false));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\kkrename.clsContextMenu"));
    EXPECT_TRUE(RunDllRegistration(suite + "kkshellmenu.dll", true));
    const std::string server = "SOFTWARE\\Classes\\CLSID\\" + ClassOf("kkshellmenu") + "\\InProcServer32";
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, server, ""), suite + "kkshellmenu.dll");
}

TEST_F(ShellRegistration, HungExportGivesUpAtTheLimitAndTheNextRegistrationWorks) {
    const DWORD started = GetTickCount();
    EXPECT_FALSE(RunDllRegistration(suite + "kkhang.dll", true, 500));
    const DWORD elapsed = GetTickCount() - started;
    std::printf("  hung registration gave up after %lu ms (limit 500)\n", elapsed);
    EXPECT_GE(elapsed, 450u);
    EXPECT_LT(elapsed, 2500u);
    EXPECT_FALSE(Loaded("kkhang.dll"));  // its thread is really gone
    // What it wrote before it hung stays, but is neither read nor approved.
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, Lookup("kkhang"), ""), ClassOf("kkhang"));
    ExpectNextRegistrationWorks();
    EXPECT_FALSE(RunDllRegistration(suite + "kkhang.dll", true, 200));
    ExpectNextRegistrationWorks();
    EXPECT_EQ(Approved(), std::vector<std::string>{ClassOf("kkrename")});
}

struct Sender {
    HWND target;
    DWORD answeredAfter;
};

DWORD WINAPI SendToPanel(void* p) {
    auto* sender = static_cast<Sender*>(p);
    const DWORD started = GetTickCount();
    Sleep(100);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(sender->target, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    sender->answeredAfter = GetTickCount() - started;
    return 0;
}

TEST_F(ShellRegistration, WhileWaitingTheCallingThreadStillAnswersSentMessages) {
    // Another thread (a DDE broadcast, the DLL itself) sending to the
    // panel's windows is answered at once, not after the time limit.
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    Sender sender{window, 0};
    UniqueKernel thread(CreateThread(nullptr, 0, SendToPanel, &sender, 0, nullptr));
    EXPECT_FALSE(RunDllRegistration(suite + "kkhang.dll", true, 1500));
    WaitForSingleObject(thread.get(), 5000);
    DestroyWindow(window);
    EXPECT_LT(sender.answeredAfter, 1000u);
}

TEST_F(ShellRegistration, CrashingExportEndsOnlyItsThread) {
    const DWORD started = GetTickCount();
    EXPECT_FALSE(RunDllRegistration(suite + "kkcrash.dll", true));
    std::printf("  crashing registration returned after %lu ms\n", GetTickCount() - started);
    EXPECT_EQ(g_escaped.load(), 0u) << "the crash went past the registration's filter";
    EXPECT_LT(GetTickCount() - started, 2000u);  // not the time limit
    EXPECT_FALSE(Loaded("kkcrash.dll"));
    // It recorded its class before crashing; a crash still counts as failed.
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, Lookup("kkcrash"), ""), ClassOf("kkcrash"));
    EXPECT_EQ(RegisterContextMenuDll("kkcrash.dll"), "");
    EXPECT_TRUE(Approved().empty());
    ExpectNextRegistrationWorks();
    EXPECT_EQ(SetUnhandledExceptionFilter(EndCrashedThread), EndCrashedThread) << "filter not put back";
}

DWORD WINAPI CrashSoon(void*) {
    Sleep(200);
    volatile int* volatile nowhere = nullptr;  // GCC drops a plain store through null
    *nowhere = 1;
    return 0;
}

TEST_F(ShellRegistration, CrashOfAnotherThreadMeanwhileGoesToThePreviousFilter) {
    DWORD crasherId = 0;
    UniqueKernel crasher(CreateThread(nullptr, 0, CrashSoon, nullptr, 0, &crasherId));
    ASSERT_TRUE(crasher);
    EXPECT_FALSE(RunDllRegistration(suite + "kkhang.dll", true, 1000));
    ASSERT_EQ(WaitForSingleObject(crasher.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 0;
    GetExitCodeThread(crasher.get(), &code);
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(g_escaped.load(), crasherId);
}

TEST_F(ShellRegistration, NoFileNoExportOrNoClassGivesNothingAndApprovesNothing) {
    const DWORD started = GetTickCount();
    EXPECT_FALSE(RunDllRegistration(suite + "kkmissing.dll", true));
    EXPECT_FALSE(RunDllRegistration(suite + "kknoexport.dll", true));
    EXPECT_LT(GetTickCount() - started, 1000u);
    EXPECT_FALSE(Loaded("kknoexport.dll"));
    EXPECT_TRUE(RunDllRegistration(suite + "kknoexport.dll", false));  // the export it has
    EXPECT_EQ(RegisterContextMenuDll("kkmissing.dll"), "");
    EXPECT_EQ(RegisterContextMenuDll("kknoexport.dll"), "");

    EXPECT_TRUE(RunDllRegistration(suite + "kknoclass.dll", true));
    EXPECT_EQ(RegisterContextMenuDll("kknoclass.dll"), "");
    EXPECT_EQ(RegisterShellFolderDll("kknoclass.dll"), "");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\kknoclass.clsContextMenu"));
    EXPECT_TRUE(Approved().empty());
}

TEST_F(ShellRegistration, BaseNameIsTheFileNameWithoutItsLastFourCharacters) {
    const std::string other = kktest::MakeTempFolder("names");
    ASSERT_TRUE(CopyFileA((suite + "kkselect.dll").c_str(), (other + "kkselect.cpl").c_str(), FALSE));
    SetInstallPath(other);
    EXPECT_EQ(RegisterContextMenuDll("kkselect.cpl"), ClassOf("kkselect"));
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, kApprovedKey, ClassOf("kkselect")), "Marrowby Kestrelkit: kkselect");
    DeleteFileA((other + "kkselect.cpl").c_str());
    RemoveDirectoryA(other.c_str());

    // Without an ending the system still loads kkrename.dll, which records
    // its class, but the lookup is under "kkre".
    SetInstallPath(suite);
    EXPECT_EQ(RegisterContextMenuDll("kkrename"), "");
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, Lookup("kkrename"), ""), ClassOf("kkrename"));
    EXPECT_EQ(Approved().size(), 1u);
}

TEST_F(ShellRegistration, WriteComServerWritesTheClassTheProgIdAndTheApproval) {
    const std::string clsid = ClassOf("kkdupes"), key = "CLSID\\" + clsid;
    WriteComServer(clsid, "KkDupesFindMenu", "kkdupes.dll");
    const std::pair<std::string, std::string> values[] = {{key, "KkDupesFindMenu"},
                                                          {key + "\\InProcServer32", suite + "kkdupes.dll"},
                                                          {key + "\\ProgID", "KkDupesFindMenu"},
                                                          {"KkDupesFindMenu", "KkDupesFindMenu"},
                                                          {"KkDupesFindMenu\\CLSID", clsid}};
    for (const auto& v : values) {
        EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + v.first, ""), v.second) << v.first;
    }
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, key + "\\InProcServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, kApprovedKey, clsid), "Marrowby Kestrelkit: KkDupesFindMenu");
}

}  // namespace
