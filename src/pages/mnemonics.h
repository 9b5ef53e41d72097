// Alt+letter in the settings dialog, which is a window of the panel's own
// rather than a system dialog and so gets no mnemonics from the dialog
// manager: a label's letter focuses the control after it, a button's
// letter presses it, and a letter that several captions share moves the
// focus on to the next of them, pressing none.
#pragma once
#include <windows.h>

namespace kk {

// key is the virtual key of a letter or digit; true when a control took it.
bool FollowMnemonic(HWND dialog, WPARAM key);

}  // namespace kk
