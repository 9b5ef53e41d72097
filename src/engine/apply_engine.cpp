#include "engine/apply_engine.h"

#include "engine/catalogue.h"
#include "engine/footprint.h"
#include "engine/history.h"
#include "engine/registry.h"
#include "engine/shell_registration.h"
#include "engine/suite.h"
#include "services/system_actions.h"
#include "services/system_calls.h"

#include <cstdlib>

namespace kk {
namespace {

void WriteHandler(const std::string& path, const std::string& clsid) {
    if (!path.empty()) SetString(HKEY_CLASSES_ROOT, path, "", clsid);
}

void RemoveHandler(const std::string& path) {
    if (!path.empty()) DeleteKey(HKEY_CLASSES_ROOT, path);
}


}  // namespace

void ApplyEngine::ApplyShellExtension(int toolId, bool on) {
    const ShellExtensionTool* tool = FindShellExtensionTool(toolId);
    if (!tool) return;
    // File types are read once, before either direction.
    std::vector<std::string> paths;
    for (const auto& key : tool->keys) paths.push_back(ResolveClassPath(key.path));
    if (!on) {
        for (const auto& path : paths) RemoveHandler(path);
        return;
    }
    const std::string clsid = RegisterContextMenuDll(tool->dll);
    if (clsid.empty()) return;  // an unregistered DLL leaves its handlers unwritten
    for (size_t i = 0; i < tool->keys.size(); ++i) {
        const FootprintKey& key = tool->keys[i];
        WriteHandler(paths[i], key.ownDll.empty() ? clsid : RegisterContextMenuDll(key.ownDll));
    }
}

void ApplyEngine::ApplySearchExtension(int toolId, bool on) {
    const SearchExtension* e = FindSearchExtension(toolId);
    if (!e) return;
    const std::string staticKey = SearchStaticKey(*e);
    const std::string handler = ResolveClassPath(e->handlerKey.path);
    auto pin = [&] { PinToStartMenu(e->pinProgram, e->pinCaption, on); };
    auto handlerStep = [&] {
        if (on) {
            std::string clsid = RegisterContextMenuDll(e->contextDll);
            if (!clsid.empty()) WriteHandler(handler, clsid);
        } else if (!e->registerBeforeRemoving || !RegisterContextMenuDll(e->contextDll).empty()) {
            RemoveHandler(handler);
        }
    };
    if (on) {
        WriteComServer(e->clsid, e->progId, e->dll);
        SetString(HKEY_LOCAL_MACHINE, staticKey, "", e->clsid);
        SetString(HKEY_LOCAL_MACHINE, staticKey + "\\0", "", e->menuText);
        SetString(HKEY_LOCAL_MACHINE, staticKey + "\\0\\DefaultIcon", "", InstallPath() + e->iconDll + ",0");
    } else {
        DeleteKey(HKEY_LOCAL_MACHINE, staticKey);
    }
    if (e->pinFirst) {
        pin();
        handlerStep();
    } else {
        handlerStep();
        pin();
    }
    flags_.shellNotifyNeeded = true;
}

void ApplyEngine::ApplyTag(bool on) {
    ApplyShellExtension(169, on);
    if (!on) {
        std::string clsid = RegisterShellFolderDll(kTagFolderDll);
        if (!clsid.empty()) DeleteKey(HKEY_LOCAL_MACHINE, TagNamespaceKey(clsid));
        return;
    }
    std::string clsid = RegisterShellFolderDll(kTagFolderDll);
    if (!clsid.empty()) {
        const std::string cls = "SOFTWARE\\Classes\\CLSID\\" + clsid;
        SetString(HKEY_LOCAL_MACHINE, cls, "", "Tagged Files");
        SetString(HKEY_LOCAL_MACHINE, cls + "\\DefaultIcon", "", "shell32.dll,110");
        SetDword(HKEY_LOCAL_MACHINE, cls + "\\ShellFolder", "Attributes", 0x20000000);
        SetDword(HKEY_LOCAL_MACHINE, cls + "\\ShellFolder", "Attributes.deletable", 0x20000020);
        SetDword(HKEY_LOCAL_MACHINE, cls + "\\ShellFolder", "Attributes.expandable", static_cast<int32_t>(0xA0000000u));
        SetString(HKEY_LOCAL_MACHINE, TagNamespaceKey(clsid), "", "KkMarkFolder");
    }
    RunDllRegistration(SystemDirectory() + kTagShellMenuDll, true);
}

void ApplyEngine::ApplyTool(int toolId, const std::string& state) {
    const bool on = state == "1";
    if (IsPluginToolId(toolId)) {
        ApplyPlugin(toolId, state);
        return;
    }
    if (const StartupFeature* feature = FindStartupFeature(toolId)) {
        SetString(HKEY_CURRENT_USER, kSuiteKey, feature->valueName, on ? "1" : "0");
        return;
    }
    if (FindSearchExtension(toolId)) {
        ApplySearchExtension(toolId, on);
        return;
    }
    switch (toolId) {
    case 104:
        ApplyShellExtension(104, on);
        // The details chosen on the details page become the saved ones.
        CopyKey(HKEY_CURRENT_USER, kDetailsTempKey, HKEY_CURRENT_USER, kDetailsKey);
        return;
    case 107: {
        // Only the first character decides; the settings come from the row's link.
        ApplyShellExtension(107, !state.empty() && state[0] == '1');
        ApplySetting(107, state);
        if (KeyExists(HKEY_CLASSES_ROOT, "Directory\\shell\\cmd")) {
            DeleteKey(HKEY_CLASSES_ROOT, "Directory\\shell\\cmd");
            DeleteKey(HKEY_CLASSES_ROOT, "Drive\\shell\\cmd");
        }
        return;
    }
    case 169:
        ApplyTag(on);
        return;
    default:
        break;
    }
    if (FindShellExtensionTool(toolId)) {
        ApplyShellExtension(toolId, on);
        return;
    }
    ApplySetting(toolId, state);
}

void ApplyEngine::ApplyChanges(const std::string& operation) {
    flags_ = ApplyFlags();
    HistoryRecording history(operation);
    for (int p = 1; p <= rows_.RowCount(); ++p) {
        const int toolId = rows_.ToolIdAt(p);
        if (!rows_.ChangedShown(toolId)) continue;
        const std::string kind = rows_.KindTag(toolId);
        if (IsKindTag(kind, kKindOnOff)) {
            const std::string state = std::to_string(rows_.CheckValue(toolId));
            // A row whose link holds its settings records them with its flag,
            // so that an undo puts back the settings as well.
            const std::string link = rows_.LinkTag(toolId);
            const bool withSettings = !link.empty() && link[0] == '#';
            const std::string whole = withSettings ? state + link.substr(1) : state;
            history.Row(toolId, withSettings ? DetectQuietly(toolId) : rows_.CheckTag(toolId), whole);
            ApplyTool(toolId, whole);
            rows_.SetCheckTag(toolId, state);
        } else if (IsKindTag(kind, kKindSettings) || IsKindTag(kind, kKindInformation)) {
            const std::string state = rows_.ButtonTag(toolId);
            history.Row(toolId, DetectQuietly(toolId), state);
            ApplyTool(toolId, state);
        }
        rows_.HideChanged(toolId);
    }
    rows_.MarkChangesApplied();
    Finish(history);
}

void ApplyEngine::ApplyStates(const std::vector<ToolState>& states, const std::string& operation,
                              const std::function<void()>& alsoDo) {
    flags_ = ApplyFlags();
    HistoryRecording history(operation);
    for (const ToolState& tool : states) {
        history.Row(tool.toolId, DetectQuietly(tool.toolId), tool.state);
        ApplyTool(tool.toolId, tool.state);
    }
    if (alsoDo) alsoDo();
    Finish(history);
}

void ApplyEngine::Finish(HistoryRecording& history) {
    if (flags_.shellNotifyNeeded) NotifyShell();
    UpdateStartupModule();
    const std::string question = QuestionAction();
    const bool ask = !question.empty() && RunOrList(question);
    history.Save();  // before the questions: a restart must not lose it
    if (ask) AskAboutRestart();
}

// The question Apply ends with, as the history lists it; "" when none.
std::string ApplyEngine::QuestionAction() const {
    if (flags_.restartNeeded) return "ask whether to restart Windows";
    if (flags_.logOffNeeded) return "ask whether to log off";
    if (flags_.placesBarChanged) return "tell that the Places Bar changes when programs are opened again";
    return {};
}

bool StartupModuleNeeded() {
    auto value = [](const char* name) { return GetString(HKEY_CURRENT_USER, kSuiteKey, name); };
    const std::string noAutoUpdate = LowerCase(value("NoAutoUpdate"));
    if (noAutoUpdate != "1" || !value("EnforceNewSelections").empty()) return true;
    for (const char* name : {"SearchFix", "EnableHotkeys", "Quick New Folder", "ClearTemp", "FD_Recent",
                             "FD_FullPath", "FD_Resize"})
        if (TextToInteger(value(name)) != 0) return true;
    return false;
}

void ApplyEngine::UpdateStartupModule() { SetStartupModule(StartupModuleNeeded()); }

void ApplyEngine::AskAboutRestart() {
    const int question = MB_ICONEXCLAMATION | MB_YESNO | MB_HELP;
    if (flags_.restartNeeded) {
        if (ShowMessage("One or more of the changes you've just applied\rmay not take effect until you restart "
                        "Windows.\r\rDo you want to Restart now?",
                        "Restart now?", question, kTopicContents) == IDYES)
            RestartOrLogOff(kRestart);
    } else if (flags_.logOffNeeded) {
        if (ShowMessage("One or more of the changes you've just applied\rmay not take effect until the next time "
                        "you log in.\r\rDo you want to log out and log back in now?",
                        "Log out now?", question, kTopicContents) == IDYES)
            RestartOrLogOff(kLogOff);
    } else if (flags_.placesBarChanged) {
        ShowMessage("Changes to the Places Bar may not take effect until you close\rand re-open applications in "
                    "which you've re-used the file dialogs.",
                    "Customize the Places Bar", MB_ICONEXCLAMATION | MB_OK | MB_HELP, 142);
    }
}

}  // namespace kk
