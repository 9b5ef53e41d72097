#include "panel/window_hook.h"

#include "panel/control_panel.h"
#include "services/subclass.h"

#include <windowsx.h>

namespace kk {
namespace {

LRESULT CALLBACK ControlPanelHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* panel = static_cast<ControlPanel*>(SubclassOwner(hwnd));
    if (!panel) return CallOldWndProc(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_GETMINMAXINFO:
        panel->FillMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lp));
        return 0;
    case WM_NCHITTEST:
        if (const int hit = panel->FrameHit(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) return hit;
        break;
    case WM_NCACTIVATE:
        // The taskbar may have moved while the window was in the background.
        if (wp) panel->CheckMaximisedPlace();
        break;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_CLOSE) {
            panel->Cancel();
            return 0;
        }
        break;
    case WM_MOUSEWHEEL:
        panel->scrollBar().Wheel(GET_WHEEL_DELTA_WPARAM(wp));
        return 0;
    case WM_NCDESTROY: {
        // Destroyed while hooked: the window's properties go with the hook.
        WNDPROC old = OldWndProc(hwnd);
        Unsubclass(hwnd);
        return old ? CallWindowProcA(old, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
    }
    }
    return CallOldWndProc(hwnd, msg, wp, lp);
}

}  // namespace

bool HookMeUp_ControlPanel(ControlPanel& panel, bool on) {
    if (!panel.hwnd()) return false;
    if (on) return Subclass(panel.hwnd(), ControlPanelHook, &panel);
    return Unsubclass(panel.hwnd());
}

int FrameHitTest(const FrameGeometry& g, int x, int y) {
    const int w = g.width, h = g.height, z = kCornerZone;
    const POINT p{x, y};
    if (y >= 0 && y < g.captionBottom && !PtInRect(&g.buttons, p)) return HTCAPTION;
    if (g.maximised) return HTCLIENT;
    if ((y < 0 && x < z) || (y < z && x < 0)) return HTTOPLEFT;
    if ((x > w - z && y < 0) || (x > w && y < z)) return HTTOPRIGHT;
    if (y < 0) return HTTOP;
    if ((y > h && x < z) || (y > h - z && x < 0)) return HTBOTTOMLEFT;
    if (y > h - z && x > w - z) return HTBOTTOMRIGHT;  // the resize grip included
    if (y > h) return HTBOTTOM;
    if (x < 0) return HTLEFT;
    if (x > w) return HTRIGHT;
    return 0;
}

}  // namespace kk
