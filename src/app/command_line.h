// The command-line modes, settled from the text after the program name.
#pragma once
#include <string>

namespace kk {

enum class StartMode { Panel, AutomaticUpdateCheck, UpdateCheckFromHelp };

// Everything after the program's own name, as the system passed it.
std::string CommandLineTail(const char* fullCommandLine);

// "/updatecheck" and "/updatecheckchm" must be the whole text, case and all.
StartMode ModeFromCommandLine(const std::string& tail);

// "/uninstall" anywhere in the text.
bool WantsUninstall(const std::string& tail);

}  // namespace kk
