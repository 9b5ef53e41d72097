#include "app/modes.h"

#include "engine/catalogue.h"
#include "engine/history.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "services/system_actions.h"
#include "services/system_calls.h"

#include <cstdlib>
#include <sstream>

namespace kk {

bool DllUpgradePending() {
    return GetString(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade") == "1";
}

void RunDllUpgrade(RowAccess& rows) {
    ApplyEngine engine(rows);
    HistoryRecording history("DLL upgrade");
    std::stringstream ids(kUpgradeToolIds);
    std::string id;
    while (std::getline(ids, id, ',')) {
        const int toolId = std::atoi(id.c_str());
        // Only rows that have a ticked check box: a withdrawn row has none.
        for (int p = 1; p <= rows.RowCount(); ++p) {
            if (rows.ToolIdAt(p) != toolId) continue;
            const std::string kind = rows.KindTag(toolId);
            const bool onOff = IsKindTag(kind, kKindOnOff) || IsKindTag(kind, kKindOnOffAlias);
            if (!onOff || rows.CheckValue(toolId) != 1) continue;
            history.Row(toolId, "1", "1");
            engine.ApplyTool(toolId, "1");
        }
    }
    DeleteValue(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade");
    history.Save();
    ShowMessage("Installation is complete.\r\n\r\nYour tools are now ready to use.", "Update Complete",
                MB_ICONASTERISK | MB_OKCANCEL);
}

std::vector<ToolState> ResetStates(const RowAccess& rows) {
    std::vector<ToolState> states;
    for (int p = 1; p <= rows.RowCount(); ++p) {
        const int toolId = rows.ToolIdAt(p);
        if (IsKindTag(rows.KindTag(toolId), kKindOnOff)) states.push_back({toolId, "0"});
    }
    states.push_back({123, "2"});                          // Windows' own menu delay
    states.push_back({145, std::string("7\0" "3", 3)});  // the default Alt-Tab grid
    states.push_back({150, "0"});                          // hotkeys off
    return states;
}

void RunReset(RowAccess& rows, const std::string& operation) {
    ApplyEngine engine(rows);
    HistoryRecording history(operation);
    for (const ToolState& tool : ResetStates(rows)) {
        // Every footprint is removed, but only real changes are listed; a
        // bare flag leaves a tool's settings as they are.
        const std::string before = DetectQuietly(tool.toolId);
        const bool same = tool.state.size() == 1 ? before.compare(0, 1, tool.state) == 0 : before == tool.state;
        if (!same) history.Row(tool.toolId, before, tool.state);
        engine.ApplyTool(tool.toolId, tool.state);
    }
    SetStartupModule(false);
    history.Save();
}

void RunUninstall(RowAccess& rows) { RunReset(rows, "Uninstall"); }

}  // namespace kk
