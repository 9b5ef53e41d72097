// What the rows and the buttons under the list do when the user works
// them: check boxes mark their row, links start the suite's programs or
// open a settings page, Cancel asks before unapplied changes are lost.
#pragma once
#include "engine/apply_engine.h"

#include <string>

namespace kk {

class ControlPanel;

// A link action split into what the shell starts.
struct ProgramLink {
    std::string program, arguments, folder;
};
ProgramLink SplitLinkAction(const std::string& action, const std::string& installPath);

// True when any row's "*" marker is showing.
bool UnappliedChanges(const RowAccess& rows);

// The box of toolId was clicked: marks or clears the row, enables Apply,
// and may untick it again when the temp-folder warning is refused.
void OnCheckBoxChanged(ControlPanel& panel, int toolId);
// The link of toolId was clicked.
void FollowLink(ControlPanel& panel, int toolId);
// The single way into the settings dialog: "#" links, settings buttons,
// About and the Warning label all come here with their page's ToolId.
void ShowSettingsDialog(ControlPanel& panel, int toolId);
// Asks about unapplied changes; true when the panel may close.
bool ConfirmLeave(const RowAccess& rows);

}  // namespace kk
