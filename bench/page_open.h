// Timing the settings dialog: from the call that opens it on a page to the
// end of its first complete paint (every window of the dialog painted,
// nothing left to paint), and counting the paints of a list after one
// drag-and-drop reorder.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace kk {
class ControlPanel;
}

namespace kkbench {

// Opens the dialog on toolId over panel `rounds` times; the milliseconds of
// each opening up to its first complete paint. Each dialog is closed as
// soon as it is idle (after `whileOpen` runs in it, when given).
std::vector<double> TimeSettingsDialog(kk::ControlPanel& panel, int toolId, int rounds,
                                       const std::function<void(HWND dialog)>& whileOpen = {});

// The WM_PAINT messages `window` receives from the start of `change` until
// its thread has nothing left to paint.
int CountPaints(HWND window, const std::function<void()>& change);

}  // namespace kkbench
