// Registration of the suite's shell-extension DLLs through their own
// exports, and the approval of their classes.
#pragma once
#include <windows.h>

#include <string>

namespace kk {

inline constexpr DWORD kRegistrationTimeoutMs = 10000;
inline constexpr char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
// How a journal lists a registration ("register C:\\...\\x.dll"), and a
// DLL whose class was recorded before it registered again: undoing the
// change leaves that DLL registered, as it was.
inline constexpr char kRegisterAction[] = "register ";
inline constexpr char kRegisteredBeforeAction[] = "already registered: ";

// Loads the DLL by its full path and runs DllRegisterServer (or
// DllUnregisterServer) on a worker thread, waiting at most timeoutMs. True
// when the export ran to its end in time. A hung export's thread is ended;
// a crashing export ends only its thread. The DLL is always freed.
bool RunDllRegistration(const std::string& dllPath, bool registering, DWORD timeoutMs = kRegistrationTimeoutMs);

// Registers suite folder + dllName and returns the class identifier it
// recorded under HKLM SOFTWARE\Classes\<base>.clsContextMenu\Clsid (resp.
// <base>.ShellFolder\Clsid), approving it; "" when anything failed.
std::string RegisterContextMenuDll(const std::string& dllName);
std::string RegisterShellFolderDll(const std::string& dllName);

// Writes the COM server keys of a class served by suite folder + dllName.
void WriteComServer(const std::string& clsid, const std::string& progId, const std::string& dllName);

}  // namespace kk
