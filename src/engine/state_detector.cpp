#include "engine/state_detector.h"

#include "engine/catalogue.h"
#include "engine/footprint.h"
#include "engine/registry.h"
#include "engine/shell_registration.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "services/system_actions.h"

#include <cstdlib>
#include <map>

namespace kk {
namespace {

std::string Nul() { return std::string(1, kNul); }

std::string SuiteValue(const char* name) { return GetString(HKEY_CURRENT_USER, kSuiteKey, name); }


std::string OnOff(bool on) { return on ? "1" : "0"; }

bool AllDetectedKeysExist(const std::vector<FootprintKey>& keys) {
    for (const auto& key : keys) {
        if (!key.detected) continue;
        std::string path = ResolveClassPath(key.path);
        if (path.empty() || !KeyExists(key.root, path)) return false;
    }
    return true;
}

std::string CommandPromptState() {
    const ShellExtensionTool* tool = FindShellExtensionTool(107);
    bool on = AllDetectedKeysExist(tool->keys) || (IsWinMe() && KeyExists(HKEY_CLASSES_ROOT, kPromptVerbKey));
    return OnOff(on) + std::to_string(TextToInteger(SuiteValue("CommandPrompt"))) + SuiteValue("CommandPromptApp") + Nul() +
           SuiteValue("CommandPromptCLP");
}

std::string OwnerState() {
    const char* key = IsWinMe() ? kWindowsKey : kWindowsNtKey;
    auto orBlank = [](std::string text) { return text.empty() ? std::string(" ") : text; };
    std::string source = IsVista() ? std::string() : GetString(HKEY_LOCAL_MACHINE, kSetupKey, "SourcePath");
    return orBlank(GetString(HKEY_LOCAL_MACHINE, key, "RegisteredOwner")) + Nul() +
           orBlank(GetString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization")) + Nul() + orBlank(source);
}

std::string MenuSpeedState() {
    long delay = TextToInteger(GetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay"));
    if (delay == kMenuDelayInstant) return "0";
    if (delay == kMenuDelayClick) return "1";
    return "2";
}

std::string AutoplayState() {
    if (IsWinMe()) {
        std::string hex = GetBinaryHex(HKEY_CURRENT_USER, kExplorerPolicies, "NoDriveTypeAutoRun");
        return hex.substr(0, 2) == "95" ? "0" : "1";
    }
    if (IsWin2000()) return GetDword(HKEY_LOCAL_MACHINE, kCdromKey, "Autorun") == 1 ? "0" : "1";
    return std::to_string(GetDword(HKEY_CURRENT_USER, kExplorerPolicies, "NoDriveAutoRun"));
}

std::string PlacesBarState() {
    std::string settings = SuiteValue("PlacesSettings");
    if (settings.empty()) settings = "000";
    std::string state = settings + std::to_string(GetDword(HKEY_CURRENT_USER, kComdlgPolicies, "NoPlacesBar"));
    if (!KeyExists(HKEY_CURRENT_USER, kPlacesBarKey)) {
        // The standard Places Bar: Recent, Desktop, My Documents, My Computer, Network.
        return state + Nul() + "34" + Nul() + "0" + Nul() + "5" + Nul() + "17" + Nul() + "18" + Nul();
    }
    for (int i = 0; i < 5; ++i) {
        std::string name = "Place" + std::to_string(i);
        std::string text = GetString(HKEY_CURRENT_USER, kPlacesBarKey, name);
        // A folder number is stored as a number; its bytes are no text.
        if (text.size() < 2) text = std::to_string(GetDword(HKEY_CURRENT_USER, kPlacesBarKey, name));
        state += Nul() + text;
    }
    return state;
}

std::string AltTabState() {
    std::string columns = GetString(HKEY_CURRENT_USER, kDesktopKey, "CoolSwitchColumns");
    std::string rows = GetString(HKEY_CURRENT_USER, kDesktopKey, "CoolSwitchRows");
    return (columns.empty() ? "7" : columns) + Nul() + (rows.empty() ? "3" : rows);
}

std::string NewFolderState() {
    std::string name = SuiteValue("Quick New Folder Name");
    return OnOff(StartupModuleInstalled() && SuiteValue("Quick New Folder") == "1") +
           std::to_string(TextToInteger(SuiteValue("Quick New Folder Prompt"))) +
           std::to_string(TextToInteger(SuiteValue("Quick New Folder Open"))) + (name.empty() ? "New Folder" : name);
}

std::string TagState() {
    const ShellExtensionTool* tool = FindShellExtensionTool(169);
    if (!AllDetectedKeysExist(tool->keys)) return "0";
    // Asking the folder DLL for its class registers it as a side effect.
    std::string clsid = RegisterShellFolderDll(kTagFolderDll);
    return OnOff(!clsid.empty() && KeyExists(HKEY_LOCAL_MACHINE, TagNamespaceKey(clsid)));
}

std::string SearchExtensionState(const SearchExtension& e) {
    bool on = KeyExists(HKEY_LOCAL_MACHINE, SearchStaticKey(e));
    if (on && e.handlerDetected) {
        std::string path = ResolveClassPath(e.handlerKey.path);
        on = !path.empty() && KeyExists(HKEY_CLASSES_ROOT, path);
    }
    return OnOff(on);
}

// The value a registry plugin compares, read the way its type says.
bool PluginValueMatches(const std::string& pluginKey, const std::string& expectedName, HKEY root,
                        const std::string& path, const std::string& valueName) {
    switch (GetValueType(HKEY_LOCAL_MACHINE, pluginKey, expectedName)) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        return GetString(root, path, valueName) == GetString(HKEY_LOCAL_MACHINE, pluginKey, expectedName);
    case REG_BINARY:
        return GetBinaryHex(root, path, valueName) == GetBinaryHex(HKEY_LOCAL_MACHINE, pluginKey, expectedName);
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        return GetDword(root, path, valueName) == GetDword(HKEY_LOCAL_MACHINE, pluginKey, expectedName);
    default:
        return true;  // other types are not compared
    }
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// A plugin's values as text, read in one pass over its key: a start
// reads every plugin, and a lookup each would cost a round trip each.
class PluginValues {
public:
    explicit PluginValues(const std::string& key) {
        for (NamedValue& v : PluginKeyValues(key)) values_.emplace(LowerCase(v.name), std::move(v.text));
    }
    std::string operator()(const std::string& name) const {
        // Value names are compared without regard to case, as the registry does.
        const auto found = values_.find(LowerCase(name));
        return found == values_.end() ? std::string() : found->second;
    }

private:
    std::map<std::string, std::string> values_;
};

std::string PluginState(int toolId) {
    const std::string key = PluginKeyForToolId(toolId);
    if (key.empty()) return {};
    const PluginValues value(key);
    const std::string type = value("Type");
    if (type == "1") {
        const std::string cls = value("Class");
        std::string state = "1";
        for (int n = 0; n < 100; ++n) {
            std::string mime = value("mime" + TwoDigits(n));
            if (mime.empty()) break;
            if (!KeyExists(HKEY_CLASSES_ROOT, mime + "\\shellex\\ContextMenuHandlers\\" + cls)) state = "0";
        }
        return state;
    }
    if (type == "2") {
        std::string shortcut = PassStartupFolder() + value("ShortcutName") + ".lnk";
        return OnOff(FileExists(shortcut));
    }
    if (type == "3") {
        if (value("Key01").empty()) return "0";
        std::string state = "1";
        for (int n = 1; n <= 99; ++n) {
            const std::string suffix = TwoDigits(n);
            std::string full = value("Key" + suffix);
            if (full.empty()) break;
            HKEY root = RootKeyFromName(full);
            size_t slash = full.find('\\');
            std::string path = slash == std::string::npos ? std::string() : full.substr(slash + 1);
            std::string valueName = value("Value" + suffix);
            // A key that is not there holds no matching value; reading would create it.
            bool matches = root && KeyExists(root, path) &&
                           PluginValueMatches(key, "Enabled" + suffix, root, path, valueName);
            if (!matches) state = "0";
        }
        return state;
    }
    return {};
}

}  // namespace

std::string DetectToolState(int toolId) {
    if (IsPluginToolId(toolId)) return PluginState(toolId);
    if (const StartupFeature* feature = FindStartupFeature(toolId))
        return OnOff(StartupModuleInstalled() && SuiteValue(feature->valueName) == "1");
    if (const SearchExtension* search = FindSearchExtension(toolId)) return SearchExtensionState(*search);

    switch (toolId) {
    case 105:
        CopyKey(HKEY_CURRENT_USER, kDetailsKey, HKEY_CURRENT_USER, kDetailsTempKey);
        return OnOff(AllDetectedKeysExist(FindShellExtensionTool(105)->keys));
    case 107: return CommandPromptState();
    case 117: return OwnerState();
    case 123: return MenuSpeedState();
    case 130: return AutoplayState();
    case 142: return PlacesBarState();
    case 145: return AltTabState();
    case 150:
        CopyKey(HKEY_CURRENT_USER, kHotkeysKey, HKEY_CURRENT_USER, kHotkeysTempKey);
        return {};
    case 153: return std::to_string(TextToInteger(SuiteValue("ClearTemp")));
    case 156: return NewFolderState();
    case 169: return TagState();
    default: break;
    }
    if (const ShellExtensionTool* tool = FindShellExtensionTool(toolId))
        return OnOff(AllDetectedKeysExist(tool->keys));
    return {};
}

}  // namespace kk
