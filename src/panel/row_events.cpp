#include "panel/row_events.h"

#include "engine/catalogue.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/control_ids.h"
#include "panel/control_panel.h"
#include "panel/row_focus.h"
#include "services/system_actions.h"
#include "services/system_calls.h"

#include <cstdlib>

namespace kk {
namespace {


}  // namespace

ProgramLink SplitLinkAction(const std::string& action, const std::string& installPath) {
    ProgramLink link{TrimSpaces(action), "", installPath};
    const std::string lower = LowerCase(link.program);
    const bool endsWithExe = lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".exe") == 0;
    const size_t exe = lower.find(".exe");
    // Arguments follow the first ".exe"; a bare program name has none.
    if (!endsWithExe && exe != std::string::npos) {
        link.arguments = TrimSpaces(link.program.substr(exe + 4));
        link.program = TrimSpaces(link.program.substr(0, exe + 4));
    }
    const size_t slash = link.program.rfind('\\');
    if (slash != std::string::npos) {
        link.folder = link.program.substr(0, slash + 1);
        link.program = TextAfterLast(link.program, "\\");
    }
    return link;
}

bool UnappliedChanges(const RowAccess& rows) {
    for (int p = 1; p <= rows.RowCount(); ++p)
        if (rows.ChangedShown(rows.ToolIdAt(p))) return true;
    return false;
}

void OnCheckBoxChanged(ControlPanel& panel, int toolId) {
    if (panel.loading) return;
    ToolRow* row = panel.list().Find(toolId);
    if (!row || !row->checkBox) return;
    const int value = ToolList::CheckValue(*row);
    // The row is modified while its box differs from the applied value in its tag.
    const bool differs = value != std::atoi(row->checkTag.c_str());
    ShowWindow(row->changed.hwnd, differs ? SW_SHOWNA : SW_HIDE);
    panel.NoteChange();
    if (!ConfirmClearTemp(toolId, false, value, row->checkTag)) {
        ToolList::SetCheckValue(*row, 0);
        OnCheckBoxChanged(panel, toolId);  // as a click on the box would
    }
}

void FollowLink(ControlPanel& panel, int toolId) {
    const ToolRow* row = panel.list().Find(toolId);
    if (!row) return;
    RedirectFocus(panel, toolId);
    const std::string action = row->linkTag;
    if (action.empty()) return;
    if (!ConfirmClearTemp(toolId, true, ToolList::CheckValue(*row), row->checkTag)) return;
    if (action[0] == '#') {
        ShowSettingsDialog(panel, toolId);
        return;
    }
    const ProgramLink link = SplitLinkAction(action, InstallPath());
    const std::string path = link.folder + link.program;
    if (!FileExists(path)) {
        const int style = MB_ICONEXCLAMATION | MB_HELP;
        if (toolId < kFirstPluginToolId)
            ShowMessage("The program cannot be found.  Marrowby Kestrelkit\rhas not been properly installed.",
                        "Launch Tool", style, kTopicGeneral);
        else
            ShowMessage("The program cannot be found.  This plugin has not been properly installed.", "Launch Plugin",
                        style, kTopicPluginHelp);
        return;
    }
    System().startProgram(panel.hwnd(), "open", path, link.arguments, link.folder);
}

void ShowSettingsDialog(ControlPanel& panel, int toolId) {
    panel.currentToolId = toolId;
    // Modal: returns once the dialog has closed; its Accept has marked the
    // row and enabled Apply.
    RunSettingsDialog(panel, toolId);
}

bool ConfirmLeave(const RowAccess& rows) {
    if (!UnappliedChanges(rows)) return true;
    return ShowMessage("Are you sure you want to quit without applying\ryour changes?", "Exit",
                       MB_ICONQUESTION | MB_YESNO) == IDYES;
}

}  // namespace kk
