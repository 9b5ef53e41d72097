#include "app/single_instance.h"

#include "engine/sent_message_wait.h"
#include "engine/suite.h"

#include <ddeml.h>

#include <string>

namespace kk {
namespace {

const char kMutexName[] = "Marrowby.Kestrelkit.ControlPanel.Instance";
const DWORD kExecuteTimeoutMs = 5000;  // 50 tenths of a second
// The hand-over runs on its own thread; a DDE peer that never answers
// cannot keep this process alive longer than this.
const DWORD kHandOverLimitMs = kExecuteTimeoutMs + 2000;

HWND g_restoreTarget = nullptr;
DWORD g_serverInstance = 0;

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

DWORD WINAPI SendRestore(void*) {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 1;
    HSZ service = DdeCreateStringHandleA(instance, kDdeService, CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, kDdeTopic, CP_WINANSI);
    if (HCONV conversation = DdeConnect(instance, service, topic, nullptr)) {
        char command[] = "restore";
        DdeClientTransaction(reinterpret_cast<BYTE*>(command), sizeof command, conversation, nullptr, 0,
                             XTYP_EXECUTE, kExecuteTimeoutMs, nullptr);
        DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    DdeUninitialize(instance);
    return 0;
}

// FindWindowEx reads titles without sending messages, so a hung window
// elsewhere cannot stall the search.
HWND FindOtherPanel(HWND self) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, nullptr, kAppTitle)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(found, &pid);
        if (found != self && pid != GetCurrentProcessId()) return found;
    }
    return nullptr;
}

void RestoreWindow(HWND window) {
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

HDDEDATA CALLBACK ServerCallback(UINT type, UINT, HCONV, HSZ topic, HSZ service, HDDEDATA data, ULONG_PTR,
                                 ULONG_PTR) {
    switch (type) {
    case XTYP_CONNECT: {
        char name[64] = {};
        DdeQueryStringA(g_serverInstance, topic, name, sizeof name, CP_WINANSI);
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(lstrcmpiA(name, kDdeTopic) == 0));
    }
    case XTYP_EXECUTE: {
        DWORD size = DdeGetData(data, nullptr, 0, 0);
        std::string command(size, '\0');
        if (size) DdeGetData(data, reinterpret_cast<BYTE*>(&command[0]), size, 0);
        command = command.substr(0, command.find('\0'));
        // Any other command is ignored, but the request still succeeds.
        if (command == "restore" && g_restoreTarget) RestoreWindow(g_restoreTarget);
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
    }
    default:
        return nullptr;
    }
    (void)service;
}

}  // namespace

bool InstanceClaim::Claim() {
    mutex_.reset(CreateMutexA(nullptr, FALSE, kMutexName));
    return mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

void HandOverToRunningInstance(HWND self) {
    // Let the running panel take the foreground when it restores itself.
    AllowSetForegroundWindow(ASFW_ANY);
    HANDLE thread = CreateThread(nullptr, 0, SendRestore, nullptr, 0, nullptr);
    if (thread) {
        // The DDE broadcast also reaches this thread's own hidden window.
        WaitServingSentMessages(thread, kHandOverLimitMs);
        CloseHandle(thread);  // a thread still stuck in DDE ends with the process
    }
    if (HWND other = FindOtherPanel(self)) {
        // When DDE did not get through (a hung window elsewhere stalls its
        // broadcast), the running panel is still brought back.
        if (IsIconic(other)) ShowWindowAsync(other, SW_RESTORE);
        SetForegroundWindow(other);
    }
}

RestoreServer::~RestoreServer() { Stop(); }

bool RestoreServer::Start(HWND window) {
    g_restoreTarget = window;
    if (DdeInitializeA(&instance_, ServerCallback,
                       APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS |
                           CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                       0) != DMLERR_NO_ERROR) {
        instance_ = 0;
        return false;
    }
    g_serverInstance = instance_;
    service_ = DdeCreateStringHandleA(instance_, kDdeService, CP_WINANSI);
    topic_ = DdeCreateStringHandleA(instance_, kDdeTopic, CP_WINANSI);
    return DdeNameService(instance_, service_, nullptr, DNS_REGISTER) != nullptr;
}

void RestoreServer::Stop() {
    if (!instance_) return;
    DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(instance_, service_);
    DdeFreeStringHandle(instance_, topic_);
    DdeUninitialize(instance_);
    instance_ = 0;
    g_serverInstance = 0;
    g_restoreTarget = nullptr;
}

}  // namespace kk
