#include "app/modes.h"

#include "engine/catalogue.h"
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
    std::stringstream ids(kUpgradeToolIds);
    std::string id;
    while (std::getline(ids, id, ',')) {
        const int toolId = std::atoi(id.c_str());
        // Only rows that have a ticked check box: a withdrawn row has none.
        for (int p = 1; p <= rows.RowCount(); ++p) {
            if (rows.ToolIdAt(p) != toolId) continue;
            const std::string kind = rows.KindTag(toolId);
            const bool onOff = IsKindTag(kind, kKindOnOff) || IsKindTag(kind, kKindOnOffAlias);
            if (onOff && rows.CheckValue(toolId) == 1) engine.ApplyTool(toolId, "1");
        }
    }
    DeleteValue(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade");
    ShowMessage("Installation is complete.\r\n\r\nYour tools are now ready to use.", "Update Complete",
                MB_ICONASTERISK | MB_OKCANCEL);
}

void RunUninstall(RowAccess& rows) {
    ApplyEngine engine(rows);
    for (int p = 1; p <= rows.RowCount(); ++p) {
        const int toolId = rows.ToolIdAt(p);
        if (IsKindTag(rows.KindTag(toolId), kKindOnOff)) engine.ApplyTool(toolId, "0");
    }
    engine.ApplyTool(123, "2");                     // Windows' own menu delay
    engine.ApplyTool(145, std::string("7\0" "3", 3));  // the default Alt-Tab grid
    engine.ApplyTool(150, "0");                     // hotkeys off
    SetStartupModule(false);
}

}  // namespace kk
