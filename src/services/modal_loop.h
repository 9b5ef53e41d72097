// The loop of a window shown modally over its owner, as the settings,
// preview and history dialogs run it.
#pragma once
#include <windows.h>

#include <functional>

namespace kk {

struct ModalParts {
    HWND window = nullptr, owner = nullptr;
    const bool* done = nullptr;                    // set by the window when it is finished
    std::function<HWND()> firstFocus;              // asked once the window shows
    std::function<bool(const MSG&)> preTranslate;  // true: the message is handled
    std::function<void()> close;                   // takes the window down
};

// Shows the window with its owner disabled and pumps messages, through
// preTranslate and then the dialog manager, until done is set or the window
// is gone. The owner is enabled again before the window closes, so that it
// is the one activated; a WM_QUIT that ended the loop is posted again for
// the program's own loop.
void RunModal(const ModalParts& parts);

}  // namespace kk
