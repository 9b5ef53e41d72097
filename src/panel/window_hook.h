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

// The general hook a form installs on itself with Subclass, giving itself
// as the owner: the hook asks the owner these operations by name.
class HookedForm {
public:
    virtual ~HookedForm() = default;
    // Smallest width and height, written for an 8-pixel frame allowance
    // across and a 25-pixel caption-and-frame allowance down.
    virtual int MinTrackX() const = 0;
    virtual int MinTrackY() const = 0;
    virtual int MaxTrackX(int proposed) const { return proposed; }
    virtual int MaxTrackY(int proposed) const { return proposed; }
    // A control in which the pointer grabs the bottom-right corner.
    virtual bool HasResizeHandle() const { return false; }
    virtual HWND GetResizeHandle() const { return nullptr; }
    virtual void MouseWheel(int delta) {}
};

// Installs (true) or removes (false) the general hook on hwnd.
bool HookMeUp(HWND hwnd, HookedForm& form, bool on);
// The minimum tracking size for a form's own limits on the running system.
POINT MinTrackSize(const HookedForm& form);

}  // namespace kk
