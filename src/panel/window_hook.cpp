#include "panel/window_hook.h"

#include "panel/control_panel.h"
#include "services/subclass.h"

#include <windowsx.h>

namespace kk {
namespace {

// Destroyed while hooked: the window's properties go with the hook.
LRESULT UnhookAndPassOn(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC old = OldWndProc(hwnd);
    Unsubclass(hwnd);
    return old ? CallWindowProcA(old, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

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
    case WM_NCDESTROY:
        return UnhookAndPassOn(hwnd, msg, wp, lp);
    }
    return CallOldWndProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK GeneralHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* form = static_cast<HookedForm*>(SubclassOwner(hwnd));
    if (!form) return CallOldWndProc(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_GETMINMAXINFO: {
        auto& info = *reinterpret_cast<MINMAXINFO*>(lp);
        info.ptMinTrackSize = MinTrackSize(*form);
        info.ptMaxTrackSize = {form->MaxTrackX(info.ptMaxTrackSize.x), form->MaxTrackY(info.ptMaxTrackSize.y)};
        return 0;
    }
    case WM_NCHITTEST: {
        RECT grip{};
        const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (form->HasResizeHandle() && GetWindowRect(form->GetResizeHandle(), &grip) && PtInRect(&grip, p))
            return HTBOTTOMRIGHT;
        break;
    }
    case WM_MOUSEWHEEL:
        form->MouseWheel(GET_WHEEL_DELTA_WPARAM(wp));
        return 0;
    case WM_NCDESTROY:
        return UnhookAndPassOn(hwnd, msg, wp, lp);
    }
    return CallOldWndProc(hwnd, msg, wp, lp);
}

// The allowances the forms' own limits were written with.
constexpr int kFrameAllowanceX = 8;
constexpr int kCaptionAllowanceY = 25;

}  // namespace

bool HookMeUp(HWND hwnd, HookedForm& form, bool on) {
    if (!hwnd) return false;
    if (on) return Subclass(hwnd, GeneralHook, &form);
    return Unsubclass(hwnd);
}

POINT MinTrackSize(const HookedForm& form) {
    return {form.MinTrackX() - kFrameAllowanceX + 2 * GetSystemMetrics(SM_CXFRAME),
            form.MinTrackY() - kCaptionAllowanceY + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME)};
}

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
