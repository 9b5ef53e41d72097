// Reads each tool's current state from the registry and the file system.
// Nothing is cached: every call asks again.
#pragma once
#include <string>

namespace kk {

// "1"/"0" for on/off tools, a settings text for the others, "" for
// headings and unknown ToolIds. Detecting 105 and 150 also refreshes the
// working copies (DetailsTemp, HotkeysTemp) that their pages edit.
std::string DetectToolState(int toolId);

// The NUL-joined settings texts use this separator.
inline constexpr char kNul = '\0';

}  // namespace kk
