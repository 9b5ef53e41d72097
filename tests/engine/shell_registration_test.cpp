// Registration through the stand-in DLLs' own exports, on a scratch registry.
// Every tool's DLL registered by Apply, with its handler keys, is checked by
// the round trip (round_trip_test.cpp).
#include "engine/shell_registration.h"

#include "../fixtures/stand_in_classes.h"
#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace kk;

namespace {

const HKEY kMachine = HKEY_LOCAL_MACHINE;
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
        ASSERT_FALSE(suite.empty());
        SetInstallPath(suite);
        g_escaped = 0;
        saved = SetUnhandledExceptionFilter(EndCrashedThread);
    }
    void TearDown() override {
        SetUnhandledExceptionFilter(saved);
        SetInstallPath("");
    }
    std::vector<std::string> Approved() { return EnumValues(kMachine, kApprovedKey); }
    bool Loaded(const std::string& dll) { return GetModuleHandleA((suite + dll).c_str()) != nullptr; }
    // Whatever went before, a well-behaved DLL registers as usual and is unloaded.
    void ExpectNextRegistrationWorks() {
        EXPECT_EQ(RegisterContextMenuDll("kkrename.dll"), ClassOf("kkrename"));
        EXPECT_FALSE(Loaded("kkrename.dll"));
    }

    kktest::ScratchRegistry scratch;
    const std::string suite = kktest::FixturesFolder();
    LPTOP_LEVEL_EXCEPTION_FILTER saved = nullptr;
};

TEST_F(ShellRegistration, EachKindIsReadFromItsOwnLookupKeyUnderTheFileNameLessFourCharacters) {
    ExpectNextRegistrationWorks();
    EXPECT_EQ(GetString(kMachine, kApprovedKey, ClassOf("kkrename")), "Marrowby Kestrelkit: kkrename");
    EXPECT_EQ(RegisterShellFolderDll("kkmarkfolder.dll"), ClassOf("kkmarkfolder"));
    EXPECT_EQ(RegisterContextMenuDll("kkmarkfolder.dll"), "");
    EXPECT_EQ(RegisterShellFolderDll("kkflags.dll"), "");
    EXPECT_EQ(Approved().size(), 2u);
    EXPECT_TRUE(RunDllRegistration(suite + "kkrename.dll", false));
    EXPECT_FALSE(KeyExists(kMachine, "SOFTWARE\\Classes\\kkrename.clsContextMenu"));

    // Without an ending the system still loads kkrename.dll, which records
    // its class, but the lookup is under the name less four characters, "kkre".
    EXPECT_EQ(RegisterContextMenuDll("kkrename"), "");
    EXPECT_EQ(GetString(kMachine, Lookup("kkrename"), ""), ClassOf("kkrename"));
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

DWORD WINAPI CrashSoon(void*) {
    Sleep(200);
    volatile int* volatile nowhere = nullptr;  // GCC drops a plain store through null
    *nowhere = 1;
    return 0;
}

TEST_F(ShellRegistration, HungExportGivesUpAtTheLimitServingOtherThreadsMeanwhile) {
    // While it waits, another thread (a DDE broadcast, the DLL itself) sends
    // to the panel's windows and must be answered at once, and a crash of a
    // third thread must go to the filter that was there before.
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    Sender sender{window, 0};
    DWORD crasherId = 0;
    UniqueKernel thread(CreateThread(nullptr, 0, SendToPanel, &sender, 0, nullptr));
    UniqueKernel crasher(CreateThread(nullptr, 0, CrashSoon, nullptr, 0, &crasherId));
    ASSERT_TRUE(thread && crasher);
    const DWORD started = GetTickCount();
    EXPECT_FALSE(RunDllRegistration(suite + "kkhang.dll", true, 1500));
    const DWORD elapsed = GetTickCount() - started;
    EXPECT_GE(elapsed, 1400u);
    EXPECT_LT(elapsed, 3500u);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    ASSERT_EQ(WaitForSingleObject(crasher.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    DestroyWindow(window);
    EXPECT_LT(sender.answeredAfter, 1000u);
    DWORD code = 0;
    GetExitCodeThread(crasher.get(), &code);
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(g_escaped.load(), crasherId);

    EXPECT_FALSE(Loaded("kkhang.dll")) << "its thread is really gone";
    // What it wrote before it hung stays, but is neither read nor approved.
    EXPECT_EQ(GetString(kMachine, Lookup("kkhang"), ""), ClassOf("kkhang"));
    ExpectNextRegistrationWorks();
    EXPECT_FALSE(RunDllRegistration(suite + "kkhang.dll", true, 200));
    ExpectNextRegistrationWorks();
    EXPECT_EQ(Approved(), std::vector<std::string>{ClassOf("kkrename")});
}

TEST_F(ShellRegistration, CrashingExportEndsOnlyItsThread) {
    const DWORD started = GetTickCount();
    EXPECT_FALSE(RunDllRegistration(suite + "kkcrash.dll", true));
    EXPECT_EQ(g_escaped.load(), 0u) << "the crash went past the registration's filter";
    EXPECT_LT(GetTickCount() - started, 2000u) << "not the time limit";
    EXPECT_FALSE(Loaded("kkcrash.dll"));
    // It recorded its class before crashing; a crash still counts as failed.
    EXPECT_EQ(GetString(kMachine, Lookup("kkcrash"), ""), ClassOf("kkcrash"));
    EXPECT_EQ(RegisterContextMenuDll("kkcrash.dll"), "");
    EXPECT_TRUE(Approved().empty());
    ExpectNextRegistrationWorks();
    EXPECT_EQ(SetUnhandledExceptionFilter(EndCrashedThread), EndCrashedThread) << "filter not put back";
}

TEST_F(ShellRegistration, NoFileNoExportOrNoClassGivesNothingAndApprovesNothing) {
    const DWORD started = GetTickCount();
    EXPECT_FALSE(RunDllRegistration(suite + "kkmissing.dll", true));
    EXPECT_FALSE(RunDllRegistration(suite + "kknoexport.dll", true));
    EXPECT_LT(GetTickCount() - started, 1000u);
    EXPECT_FALSE(Loaded("kknoexport.dll"));
    EXPECT_TRUE(RunDllRegistration(suite + "kknoexport.dll", false));  // the export it has
    EXPECT_EQ(RegisterContextMenuDll("kkmissing.dll"), "");
    EXPECT_TRUE(RunDllRegistration(suite + "kknoclass.dll", true));
    EXPECT_EQ(RegisterContextMenuDll("kknoclass.dll"), "");
    EXPECT_FALSE(KeyExists(kMachine, "SOFTWARE\\Classes\\kknoclass.clsContextMenu")) << "the lookup creates nothing";
    EXPECT_TRUE(Approved().empty());
}

}  // namespace
