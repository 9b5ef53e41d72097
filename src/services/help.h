// Context help: suite topics open kestrel.chm in the suite folder, plugin
// topics (301 and up) open the plugin's own help file.
#pragma once
#include <windows.h>

namespace kk {

void ShowHelp(int topic);

// The HTML Help window opened last, kept for the life of the program.
HWND LastHelpWindow();

}  // namespace kk
