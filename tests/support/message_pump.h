// Handling this thread's waiting messages in the window tests.
#pragma once
#include <windows.h>

#include <functional>

namespace kktest {

// Sees a message before anything else; true when it has used it, as the
// main window does with F1 and its list keys.
using PreFilter = std::function<bool(const MSG&)>;

// Handles the messages waiting now. With a dialog window, its keyboard
// messages go through IsDialogMessage first, as a dialog's own loop does.
void Pump(HWND dialog = nullptr, const PreFilter& first = {});
// Handles messages until the condition holds or the time is up; true when it held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000, HWND dialog = nullptr,
               const PreFilter& first = {});

}  // namespace kktest
