#include "panel/row_focus.h"

#include "engine/handles.h"
#include "panel/control_ids.h"
#include "panel/control_panel.h"
#include "panel/paint.h"
#include "panel/row_events.h"

#include <string>

namespace kk {
namespace {

bool IsSwitchFamily(int family) {
    return family == kFamilyCheckBox || family == kFamilyButtonObject || family == kFamilyBullet;
}

// A switch that can take the focus now (hidden and disabled ones cannot).
bool Focusable(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

// Whether a row before toolId has a switch: the first tool below the
// first heading takes the list to its top.
bool HasSwitchBefore(ControlPanel& panel, int toolId) {
    ToolList& list = panel.list();
    for (int p = 1; p <= list.Count() && list.ToolIdAt(p) != toolId; ++p) {
        ToolRow* row = list.Find(list.ToolIdAt(p));
        RowControl* sw = row ? row->Switch() : nullptr;
        if (sw && Focusable(sw->hwnd)) return true;
    }
    return false;
}

bool PointIn(HWND control, POINT p) {
    if (!control || !IsWindowVisible(control)) return false;
    RECT r;
    GetWindowRect(control, &r);
    return PtInRect(&r, p) != FALSE;
}

std::string TextOf(HWND hwnd) {
    char buffer[512] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

// Enter on a row: its link is the only way to some pages and programs, so
// Enter follows it; a row without one takes Enter as Space (the switch's click).
void PressRow(ControlPanel& panel, const ToolRow& row, HWND control) {
    if (row.hasLink && !row.linkTag.empty()) {
        FollowLink(panel, row.toolId);
        return;
    }
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

}  // namespace

void RedirectFocus(ControlPanel& panel, int toolId) {
    ToolRow* row = panel.list().Find(toolId);
    RowControl* sw = row ? row->Switch() : nullptr;
    if (sw) SetFocus(sw->hwnd);
}

void SolutionFocus(ControlPanel& panel, HWND control, int toolId) {
    ToolRow* row = panel.list().Find(toolId);
    if (!row || !row->caption) return;
    const int px = panel.pixelScaleX, py = panel.pixelScaleY;
    const RowControl& c = row->caption;
    const RowControl& d = row->description;
    RECT surface{};
    GetClientRect(panel.View(), &surface);
    // The marker frames caption and description; its right edge lies
    // beyond the surface, so only its left, top and bottom show.
    panel.SetFocusMarker(true, toolId, c.left - px, c.top - py, surface.right * px - c.left + 6 * px,
                         c.height + d.height + 2 * py);

    // Scroll the switch into the band the frame shows.
    const RowControl* sw = nullptr;
    int family = 0;
    if (panel.list().RowOf(control, &family) == row) sw = row->Control(family);
    if (sw) {
        ListScrollBar& bar = panel.scrollBar();
        const int bandTop = bar.Value(), frameHeight = bar.FrameHeight();
        // The last list position takes the list to its end; the first row
        // that can have the focus (below a heading) to its top.
        if (sw->top + sw->height > bandTop + frameHeight) {
            if (toolId == panel.list().ToolIdAt(panel.list().Count())) bar.SetValue(bar.Max());
            else bar.SetValue(sw->top + 2 * sw->height - frameHeight);
        } else if (sw->top < bandTop) {
            if (!HasSwitchBefore(panel, toolId)) bar.SetValue(0);
            else bar.SetValue(sw->top - sw->height / 2);
        }
    }
    panel.helpContext = toolId;
    panel.focusedToolId = toolId;
}

void OnStrayFocus(ControlPanel& panel, HWND window) {
    if (window == panel.View()) {
        if (panel.focusedToolId > 0) RedirectFocus(panel, panel.focusedToolId);
        return;
    }
    if (panel.focusedToolId < 1) SetFocus(panel.Control(kIdCancel));
    else RedirectFocus(panel, panel.focusedToolId);
}

bool OnSwitchKey(ControlPanel& panel, HWND control, WPARAM key) {
    int family = 0;
    const ToolRow* row = panel.list().RowOf(control, &family);
    if (!row || !IsSwitchFamily(family)) return false;
    if (key == VK_RETURN) {
        PressRow(panel, *row, control);
        return true;
    }
    const bool box = family == kFamilyCheckBox, button = family == kFamilyButtonObject;
    if (!box && !button) return false;
    ToolList& list = panel.list();
    switch (key) {
    case VK_END:
        RedirectFocus(panel, list.ToolIdAt(list.Count()));
        return true;
    case VK_HOME:
        RedirectFocus(panel, list.ToolIdAt(2));  // position 1 is the first heading
        return true;
    case VK_UP:
    case VK_DOWN:
        // On a settings button, as Shift+Tab and Tab: on to the previous or
        // next switch, and past the list's ends to the buttons below it.
        if (!button) return false;
        if (HWND next = GetNextDlgTabItem(panel.hwnd(), control, key == VK_UP)) SetFocus(next);
        return true;
    }
    return false;
}

void OnRowTextHover(ControlPanel& panel, int toolId) {
    const ToolRow* row = panel.list().Find(toolId);
    if (!row || !row->caption) return;
    HWND caption = row->caption.hwnd;
    const std::string text = TextOf(caption);
    const SIZE need = ControlTextSize(caption, text, DT_SINGLELINE | DT_NOPREFIX);
    RECT surface{}, label{};
    GetClientRect(panel.View(), &surface);
    GetClientRect(caption, &label);
    MapWindowPoints(caption, panel.View(), reinterpret_cast<POINT*>(&label), 2);
    // A caption whose text the surface has room for needs no tooltip.
    if (label.left + need.cx <= surface.right) {
        panel.HideTooltip();
        return;
    }
    MapWindowPoints(panel.View(), panel.hwnd(), reinterpret_cast<POINT*>(&label), 2);
    panel.ShowTooltip(toolId, text, label.left + 1, label.top + 1, need.cx, need.cy);
}

void OutOfBoundsTick(ControlPanel& panel) {
    POINT mouse{};
    GetCursorPos(&mouse);
    HWND focus = GetFocus();
    int family = 0;
    const bool onSwitch = panel.list().RowOf(focus, &family) && IsSwitchFamily(family);
    if (!onSwitch && focus != panel.Control(kIdTitleButtons)) {
        if (panel.FocusMarkerShown()) panel.SetFocusMarker(false, 0, 0, 0, 0, 0);
        panel.focusedToolId = -1;
    }
    const int shown = panel.TooltipToolId();
    if (shown > 0) {
        const ToolRow* row = panel.list().Find(shown);
        if (!row || (!PointIn(row->caption.hwnd, mouse) && !PointIn(row->description.hwnd, mouse))) panel.HideTooltip();
    }
}

}  // namespace kk
