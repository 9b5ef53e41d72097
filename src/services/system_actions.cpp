#include "services/system_actions.h"

#include "engine/handles.h"
#include "engine/winver.h"
#include "services/system_calls.h"

#include <windows.h>

namespace kk {

bool RestartOrLogOff(int mode) { return System().restartOrLogOff(mode); }

bool RealRestartOrLogOff(int mode) {
    const bool nineX = IsWin95() || IsWin98OrMe() || IsWinMe();
    if (!nineX) {
        HANDLE raw = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return false;
        UniqueKernel token(raw);
        TOKEN_PRIVILEGES privileges{};
        if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return false;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) ||
            GetLastError() == ERROR_NOT_ALL_ASSIGNED)
            return false;
        UINT flags = mode == kShutDown ? EWX_SHUTDOWN : mode == kRestart ? EWX_REBOOT : EWX_LOGOFF;
        ExitWindowsEx(flags, 0);
        return true;
    }
    if (mode == kShutDown) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION pi{};
        char command[] = "RUNDLL32.EXE user.exe,ExitWindows";
        if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    } else if (mode == kRestart) {
        ExitWindowsEx(EWX_SHUTDOWN | EWX_REBOOT | EWX_FORCE, 0);
    } else {
        ExitWindowsEx(EWX_LOGOFF, 0);
    }
    return true;
}

}  // namespace kk
