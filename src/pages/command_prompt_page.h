// The command prompt page (ToolId 107): which command prompt the suite's
// "open a prompt here" tool starts, or a custom application.
//
// Settings text: "#", the option digit (0 to 3), the custom application,
// NUL, its command line. The result drops the "#".
#pragma once
#include "pages/settings_page.h"

#include <functional>
#include <memory>
#include <string>

namespace kk {

enum CommandPromptControlId : int {
    kIdCommandOption = 101,  // CommandOption(i) is kIdCommandOption + i, i from 0 to 3
    kIdCommandAppLabel = 110,
    kIdCommandApp = 111,
    kIdCommandBrowse = 112,
    kIdCommandClpLabel = 113,
    kIdCommandClp = 114,
};

inline constexpr int kCommandPromptToolId = 107;

// Where Windows PowerShell says it is installed.
inline constexpr char kPowerShellKey[] = "SOFTWARE\\Microsoft\\PowerShell\\1\\ShellIds\\Microsoft.PowerShell";
inline constexpr char kPowerShellDownload[] = "http://www.microsoft.com/powershell";

// Asks for a program file: owner, title, starting file, filter ("" on cancel).
using ProgramPicker = std::function<std::string(HWND owner, const std::string& title, const std::string& start,
                                                const std::string& filter)>;

// The page with the system's Open dialog, or with another picker.
std::unique_ptr<SettingsPage> MakeCommandPromptPage();
std::unique_ptr<SettingsPage> MakeCommandPromptPage(ProgramPicker picker);

}  // namespace kk
