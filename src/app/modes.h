// The two modes that run on the first timer tick over the built list: the
// DLL re-registration after an installation and the uninstall.
#pragma once
#include "engine/apply_engine.h"

#include <string>
#include <vector>

namespace kk {

// The tools whose DLLs an installation replaces, in the order they are
// registered again.
inline constexpr char kUpgradeToolIds[] = "101,103,104,105,107,109,113,134,140,144,151,158,161";

// True when HKLM SOFTWARE\Marrowby\Kestrelkit DLLUpgrade is "1".
bool DllUpgradePending();

// Re-registers each listed tool whose check box is on, clears the pending
// flag and tells the user once; one history entry.
void RunDllUpgrade(RowAccess& rows);

// What the uninstall writes: every on/off row off, the menu delay, the
// Alt-Tab grid and the hotkeys back to their Windows defaults.
std::vector<ToolState> ResetStates(const RowAccess& rows);

// Turns every on/off tool off whatever its box says, resets the settings
// tools that have a Windows default, and removes the startup module, as
// one history entry named by operation.
void RunReset(RowAccess& rows, const std::string& operation);

// The reset as "Uninstall". The caller ends the process; nothing else is saved.
void RunUninstall(RowAccess& rows);

}  // namespace kk
