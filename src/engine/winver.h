// Windows version probes. Each asks the system afresh; a failed query
// makes every probe false.
#pragma once

namespace kk {

bool IsWin95();
bool IsWin98OrMe();
bool IsWinMe();
bool IsWin2000();
bool IsWinXP();
bool IsWinServer2003();
bool IsWin2000OrLater();
bool IsVista();

// True for a 32-bit program on 64-bit Windows.
bool IsWow64();

// True when a visual theme is active for the user.
bool ThemeActive();

}  // namespace kk
