#include "services/wait_cursor.h"

#include <windows.h>

namespace kk {
namespace {
int g_depth = 0;
HCURSOR g_previous = nullptr;
}  // namespace

WaitCursor::WaitCursor() {
    if (g_depth++ == 0) g_previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

WaitCursor::~WaitCursor() {
    if (--g_depth == 0) {
        SetCursor(g_previous ? g_previous : LoadCursor(nullptr, IDC_ARROW));
        // Let the window under the mouse pick its own cursor again.
        POINT p;
        if (GetCursorPos(&p)) SetCursorPos(p.x, p.y);
    }
}

bool WaitCursor::Active() { return g_depth > 0; }

}  // namespace kk
