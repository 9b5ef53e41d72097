// Typing into another program's window: waiting until it is in front,
// then sending it keys once.
#pragma once
#include <string>

namespace kk {

// Waits until the foreground window's title begins with title (case
// ignored), bringing forward a window whose title is or begins with it,
// for about the given seconds at most. An empty title returns at once.
void WaitForWindowTitle(const std::string& title, int seconds);

// Types keys (the keystroke sender's syntax) into the focused window once;
// any failure is ignored.
void SendKeysOnce(const std::string& keys);

}  // namespace kk
