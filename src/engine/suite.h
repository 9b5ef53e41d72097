// Names and places every part of the panel shares.
#pragma once
#include <windows.h>

#include <string>

namespace kk {

// Per-user settings live in HKCU, machine-wide ones and plugins in HKLM.
inline constexpr char kSuiteKey[] = "SOFTWARE\\Marrowby\\Kestrelkit";
inline constexpr char kPluginsKey[] = "Software\\Marrowby\\Kestrelkit\\Plugins";
inline constexpr char kAppTitle[] = "Marrowby Kestrelkit";
inline constexpr char kHelpFileName[] = "kestrel.chm";
inline constexpr char kMakerAddress[] = "www.marrowby.com";

// General help topics.
enum HelpTopic : int {
    kTopicContents = 100,
    kTopicGeneral = 202,
    kTopicPluginHelp = 213,
    kTopicPreview = 214,
    kTopicHistory = 215,
};

// The suite folder, always ending in a backslash. Until start-up has
// stored it, it is read from the machine-wide InstallPath.
std::string InstallPath();
void SetInstallPath(const std::string& folder);
std::string ReadInstallPathFromRegistry();

// The product version as "major.minor.revision".
std::string CurrentVersionText();

// The running program's own file and folder.
std::string ModulePath();
std::string ModuleFolder();

}  // namespace kk
