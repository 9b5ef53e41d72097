// Actions on Windows itself: restart and log-off, the suite's startup
// module and its shortcut, shortcuts and Start-menu pins, shell change
// notification, special folders and the temp-folder warning.
#pragma once
#include <string>
#include <vector>

namespace kk {

enum RestartMode : int { kShutDown = 1, kRestart = 2, kLogOff = 4 };

// Asks Windows to shut down, restart or log off (through the system-call
// seam, so tests only record it). True when the request was made.
bool RestartOrLogOff(int mode);
// The real request, used by the seam in production.
bool RealRestartOrLogOff(int mode);

inline constexpr char kStartupShortcutName[] = "Marrowby Kestrelkit Startup.lnk";
inline constexpr char kStartupDdeService[] = "Marrowby Kestrelkit Startup";
inline constexpr char kStartupDdeTopic[] = "StartupForm";

// The user's Startup folder with a trailing backslash.
std::string StartupFolder();
bool StartupModuleInstalled();
// Closes a running startup module (DDE "close", 2 seconds at most); on
// true starts kkboot.exe /on and creates its shortcut, on false deletes it.
// In a dry run it is only listed.
void SetStartupModule(bool on);

bool CreateShortcut(const std::string& shortcutPath, const std::string& target, const std::string& workingFolder,
                    const std::string& arguments, const std::string& iconFile, int iconIndex,
                    const std::string& description);
// Deletes a shortcut that is there.
void DeleteShortcut(const std::string& shortcutPath);
void PinToStartMenu(const std::string& program, const std::string& caption, bool pin);
void NotifyShell();

std::string SpecialFolderPath(int folderNumber);
std::string SystemDirectory();
std::string WindowsDirectory();

// The temp folders the clean-up empties, each once.
std::vector<std::string> TempFolders();
// The question before the temp-folder clean-up is switched on or run.
// checkValue is the box's value now, appliedTag its recorded applied value.
bool ConfirmClearTemp(int toolId, bool fromLink, int checkValue, const std::string& appliedTag);

}  // namespace kk
