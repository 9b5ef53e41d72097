// The hourglass over the whole screen while the panel is busy. Nested
// waits keep it until the outermost one ends.
#pragma once

namespace kk {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // True while any WaitCursor lives; windows answer WM_SETCURSOR with it.
    static bool Active();
};

}  // namespace kk
