// The keyboard on the tool list: the focus routed to a row's switch, the
// focus marker behind the focused row, the row scrolled into view, Home,
// End, the arrows and Enter; and the in-place tooltip that shows a caption the
// row has no room for. The 100 ms Outofbounds tick hides both once the
// focus or the mouse has gone.
#pragma once
#include <windows.h>

namespace kk {

class ControlPanel;

// Gives the focus to the row's switch, chosen by the row's kind; any other
// kind does nothing.
void RedirectFocus(ControlPanel& panel, int toolId);
// A row's switch received the focus: the marker, the scroll, the help
// context and FocusedToolId follow it.
void SolutionFocus(ControlPanel& panel, HWND control, int toolId);
// Focus arrived somewhere it must not stay (the title-bar buttons, the
// list's frame or its surface): it goes back to the list or to Cancel.
void OnStrayFocus(ControlPanel& panel, HWND window);
// Home, End, Up, Down and Enter on a row's switch; true when the key was used.
bool OnSwitchKey(ControlPanel& panel, HWND control, WPARAM key);
// The mouse moved over the caption or the description of a row.
void OnRowTextHover(ControlPanel& panel, int toolId);
// The Outofbounds tick.
void OutOfBoundsTick(ControlPanel& panel);

}  // namespace kk
