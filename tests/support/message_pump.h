// Handling this thread's waiting messages in the window tests.
#pragma once
#include <windows.h>

#include <functional>

namespace kktest {

// Handles the messages waiting now. With a dialog window, its keyboard
// messages go through IsDialogMessage first, as a dialog's own loop does.
void Pump(HWND dialog = nullptr);
// Handles messages until the condition holds or the time is up; true when it held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000, HWND dialog = nullptr);

}  // namespace kktest
