// The main window's message hook: a replacement window procedure that
// answers the size limits, the hit test of the window's own frame (it has
// no system caption), the mouse wheel and the system menu's Close, and
// re-checks the maximised geometry when the window is activated.
#pragma once
#include <windows.h>

namespace kk {

class ControlPanel;

// Installs (true) or removes (false) the hook; true when it took effect.
bool HookMeUp_ControlPanel(ControlPanel& panel, bool on);

// What the frame is at a point of the client area (pixels, negative and
// beyond W/H on the frame itself); 0 leaves the answer to the old procedure.
struct FrameGeometry {
    int width = 0, height = 0;  // client area
    int captionBottom = 0;      // the top edge of the logo image
    RECT buttons{};             // the title-bar buttons, client pixels
    bool maximised = false;
};
inline constexpr int kCornerZone = 15;
int FrameHitTest(const FrameGeometry& g, int x, int y);

}  // namespace kk
