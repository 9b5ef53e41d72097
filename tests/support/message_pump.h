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

// What a modal call shown for owner left behind: the window of the asked
// class that owner came to own (null when none showed within ten seconds),
// and whether it closed by the user's doing.
struct ModalRun {
    HWND window = nullptr;
    bool closedByUser = false;
};
// Runs modal (a call that shows a modal window for owner) on this thread
// while a second thread plays the user on that window. Whatever owner still
// owns afterwards is closed, so a modal call that went wrong fails the test
// instead of holding it until the test run's time-out.
ModalRun RunModalAsUser(HWND owner, const char* className, const std::function<void(HWND)>& user,
                        const std::function<void()>& modal);

}  // namespace kktest
