// Where the main window lies: the saved placement and the work area that
// the taskbar leaves free (the window draws its own frame, so it works the
// work area out for itself).
#pragma once
#include "panel/control_panel.h"

namespace kk {

// The work area for a screen of the given size with the taskbar (if any)
// at the given rectangle; borderWidth lets the frame lie off screen.
WorkAreaRect WorkAreaFor(int screenWidth, int screenHeight, int borderWidth, const RECT* taskbar);

void ComputeWorkArea(ControlPanel& panel);
void RestorePlacement(ControlPanel& panel);
void SavePlacement(ControlPanel& panel);

}  // namespace kk
