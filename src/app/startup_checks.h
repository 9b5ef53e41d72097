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

// Removes the stale registration of the suite's old Control Panel applet.
void RemoveStaleAppletRegistration();

// True when the display has 8 bits per pixel or fewer (or says nothing).
bool LowColourDisplay();

}  // namespace kk
