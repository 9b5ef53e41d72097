// The start-up of the panel: which mode this process runs in, and the
// preparation of the main window for the interactive one.
#pragma once
#include "app/single_instance.h"
#include "panel/control_panel.h"

#include <string>

namespace kk {

struct StartupContext {
    ControlPanel& panel;
    InstanceClaim& claim;
    RestoreServer& ddeServer;
    std::string commandLine;  // the text after the program name
};

// Registers the common controls the windows use (the tab, list, tree and
// extended combo box classes); a failure is harmless.
void InitCommonControlClasses();

// Runs the start-up steps. True when the interactive panel goes on; false
// when this process has done its work (update check, hand-over, refusal)
// and should end without showing a window.
bool Initialize(StartupContext& context);

}  // namespace kk
