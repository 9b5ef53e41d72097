#include "engine/shell_registration.h"

#include "engine/sent_message_wait.h"

#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/registry_journal.h"
#include "engine/suite.h"

#include <atomic>
#include <mutex>

namespace kk {
namespace {

using RegistrationExport = HRESULT(WINAPI*)();

const char kApprovalPrefix[] = "Marrowby Kestrelkit: ";
// TerminateThread only asks for the end; the DLL must not be unloaded
// while its code may still run.
const DWORD kTerminationWaitMs = 2000;

// One registration at a time: the crash filter knows the one worker.
std::mutex g_registrationLock;
std::atomic<DWORD> g_workerId{0};
std::atomic<bool> g_workerCrashed{false};
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;

// An exception no handler of the DLL took ends the worker thread only;
// any other thread's goes wherever it went before.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
    const DWORD worker = g_workerId.load();
    if (worker != 0 && worker == GetCurrentThreadId()) {
        g_workerCrashed = true;
        ExitThread(info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 1);
    }
    return g_previousFilter ? g_previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

// The process-wide filter is ours only while one export runs.
class CrashGuard {
public:
    CrashGuard() {
        g_workerCrashed = false;
        g_previousFilter = SetUnhandledExceptionFilter(OnUnhandledException);
    }
    ~CrashGuard() {
        g_workerId = 0;
        // g_previousFilter stays: a crash being dispatched right now may
        // still reach our filter and must find its way on.
        SetUnhandledExceptionFilter(g_previousFilter);
    }
    CrashGuard(const CrashGuard&) = delete;
    CrashGuard& operator=(const CrashGuard&) = delete;
    void Watch(DWORD threadId) { g_workerId = threadId; }
    bool Crashed() const { return g_workerCrashed; }
};

// A thread procedure of its own: an export takes no argument, which on
// 32-bit stdcall would unbalance the stack of a bare thread entry.
DWORD WINAPI RegistrationWorker(void* entry) {
    reinterpret_cast<RegistrationExport>(entry)();
    return 0;
}

// Switches off the system's "missing file" boxes while a DLL loads.
class QuietErrors {
public:
    QuietErrors() : saved_(SetErrorMode(0)) { SetErrorMode(saved_ | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }
    ~QuietErrors() { SetErrorMode(saved_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    UINT saved_;
};

// The DLL file name without its last four characters, whatever they are.
std::string BaseName(const std::string& dllName) {
    return dllName.size() > 4 ? dllName.substr(0, dllName.size() - 4) : std::string();
}

std::string RegisterAndApprove(const std::string& dllName, const char* lookupSuffix) {
    const std::string base = BaseName(dllName);
    const std::string lookup = "SOFTWARE\\Classes\\" + base + lookupSuffix + "\\Clsid";
    const bool registeredBefore = KeyExists(HKEY_LOCAL_MACHINE, lookup);
    if (!RunDllRegistration(InstallPath() + dllName, true)) return {};
    if (RegistryJournal* journal = ActiveJournal(); journal && registeredBefore)
        journal->AddAction(kRegisteredBeforeAction + InstallPath() + dllName);
    std::string clsid;
    // Reads create missing keys; a DLL that recorded nothing leaves none behind.
    if (KeyExists(HKEY_LOCAL_MACHINE, lookup)) clsid = GetString(HKEY_LOCAL_MACHINE, lookup, "");
    // A dry run never ran the DLL: a class it has not recorded before is
    // named for it, and approved as the real one would be.
    else if (DryRunActive()) clsid = "{class of " + dllName + "}";
    if (!clsid.empty()) SetString(HKEY_LOCAL_MACHINE, kApprovedKey, clsid, kApprovalPrefix + base);
    return clsid;
}

}  // namespace

bool RunDllRegistration(const std::string& dllPath, bool registering, DWORD timeoutMs) {
    if (!RunOrList((registering ? kRegisterAction : "unregister ") + dllPath)) return true;  // listed, not run
    std::lock_guard<std::mutex> serial(g_registrationLock);
    UniqueModule module;
    {
        QuietErrors quiet;
        // The DLL's own folder first, for the DLLs it depends on.
        module.reset(LoadLibraryExA(dllPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    if (!module) return false;
    FARPROC entry = GetProcAddress(module.get(), registering ? "DllRegisterServer" : "DllUnregisterServer");
    if (!entry) return false;

    CrashGuard guard;
    DWORD threadId = 0;
    UniqueKernel thread(CreateThread(nullptr, 0, RegistrationWorker, reinterpret_cast<void*>(entry),
                                     CREATE_SUSPENDED, &threadId));
    if (!thread) return false;
    guard.Watch(threadId);
    ResumeThread(thread.get());

    const bool ended = WaitServingSentMessages(thread.get(), timeoutMs);
    if (!ended) {
        DWORD code = 0;
        GetExitCodeThread(thread.get(), &code);
        TerminateThread(thread.get(), code);
        // A thread that will not die keeps its DLL: unloading code that
        // still runs would take the panel down.
        if (WaitForSingleObject(thread.get(), kTerminationWaitMs) != WAIT_OBJECT_0) module.release();
    }
    return ended && !guard.Crashed();
}

std::string RegisterContextMenuDll(const std::string& dllName) {
    return RegisterAndApprove(dllName, ".clsContextMenu");
}

std::string RegisterShellFolderDll(const std::string& dllName) { return RegisterAndApprove(dllName, ".ShellFolder"); }

void WriteComServer(const std::string& clsid, const std::string& progId, const std::string& dllName) {
    const std::string classKey = "CLSID\\" + clsid;
    SetString(HKEY_CLASSES_ROOT, classKey, "", progId);
    SetString(HKEY_CLASSES_ROOT, classKey + "\\InProcServer32", "", InstallPath() + dllName);
    SetString(HKEY_CLASSES_ROOT, classKey + "\\InProcServer32", "ThreadingModel", "Apartment");
    SetString(HKEY_CLASSES_ROOT, classKey + "\\ProgID", "", progId);
    SetString(HKEY_CLASSES_ROOT, progId, "", progId);
    SetString(HKEY_CLASSES_ROOT, progId + "\\CLSID", "", clsid);
    SetString(HKEY_LOCAL_MACHINE, kApprovedKey, clsid, kApprovalPrefix + progId);
}

}  // namespace kk
