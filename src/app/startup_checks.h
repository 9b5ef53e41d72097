// The start-up checks that decide whether the panel may run at all, and the
// small one-off registry chores of start-up.
#pragma once
#include <windows.h>

#include <string>

namespace kk {

// Windows Me, 2000, XP, Server 2003 and Vista; every other version is refused.
bool IsSupportedSystem();

// Shows the refusal message and returns "" when the system is unsupported
// or the installation incomplete; otherwise returns the suite folder
// (ending in a backslash). programFile is this program's full path.
std::string CheckSystemAndInstallation(const std::string& programFile);

// On 64-bit Windows, Explorer loads only 64-bit shell extensions, so a
// 32-bit panel there would register what nothing reads. True in that case:
// the command line has then gone to the installation's 64-bit panel (the
// 64-bit view's InstallPath), or, when there is none, the user has been
// told (unless quiet); this panel must change nothing and end.
bool HandOverTo64BitPanel(const std::string& commandLine, bool quiet);

// Removes the stale registration of the suite's old Control Panel applet.
void RemoveStaleAppletRegistration();

// True when the display has 8 bits per pixel or fewer (or says nothing).
bool LowColourDisplay();

}  // namespace kk
