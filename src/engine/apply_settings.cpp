// The footprints of the settings tools and of plugins.
#include "engine/apply_engine.h"

#include "engine/catalogue.h"
#include "engine/footprint.h"
#include "engine/registry.h"
#include "engine/shell_registration.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "services/system_actions.h"

#include <cstdlib>
#include <vector>

namespace kk {
namespace {


std::vector<std::string> SplitAtNul(const std::string& text) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t nul = text.find('\0', start);
        fields.push_back(text.substr(start, nul == std::string::npos ? std::string::npos : nul - start));
        if (nul == std::string::npos) return fields;
        start = nul + 1;
    }
}

std::string Field(const std::vector<std::string>& fields, size_t i) { return i < fields.size() ? fields[i] : ""; }

std::string Chars(const std::string& text, size_t from, size_t count = std::string::npos) {
    return from < text.size() ? text.substr(from, count) : std::string();
}

void SetSuite(const char* name, const std::string& text) { SetString(HKEY_CURRENT_USER, kSuiteKey, name, text); }

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string OfficePlaces(int version) {
    return "Software\\Microsoft\\Office\\" + std::to_string(version) + ".0\\Common\\Open Find\\Places";
}

// Copies a plugin value to its target with the type it has in the plugin key.
void WriteTyped(const std::string& pluginKey, const std::string& sourceName, HKEY root, const std::string& path,
                const std::string& valueName) {
    switch (GetValueType(HKEY_LOCAL_MACHINE, pluginKey, sourceName)) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        SetString(root, path, valueName, GetString(HKEY_LOCAL_MACHINE, pluginKey, sourceName));
        break;
    case REG_BINARY:
        SetBinaryHex(root, path, valueName, GetBinaryHex(HKEY_LOCAL_MACHINE, pluginKey, sourceName));
        break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        SetDword(root, path, valueName, GetDword(HKEY_LOCAL_MACHINE, pluginKey, sourceName));
        break;
    default:
        break;  // other types are skipped
    }
}

}  // namespace

void ApplyEngine::ApplySetting(int toolId, const std::string& state) {
    switch (toolId) {
    case 107:
    case 156: {
        // The flag comes with the state; the settings live in the row's link tag after its "#".
        const std::string link = rows_.LinkTag(toolId);
        const std::string text = Chars(state, 0, 1) + Chars(link, 1);
        if (toolId == 107) {
            const std::vector<std::string> parts = SplitAtNul(Chars(text, 2));
            SetSuite("CommandPrompt", Chars(text, 1, 1));
            SetSuite("CommandPromptApp", Field(parts, 0));
            SetSuite("CommandPromptCLP", text.find('\0') == std::string::npos ? "" : text.substr(text.find('\0') + 1));
        } else {
            SetSuite("Quick New Folder", Chars(text, 0, 1) == "1" ? "1" : "0");
            SetSuite("Quick New Folder Prompt", Chars(text, 1, 1));
            SetSuite("Quick New Folder Open", Chars(text, 2, 1));
            SetSuite("Quick New Folder Name", Chars(text, 3));
        }
        return;
    }
    case 117: {
        const std::vector<std::string> f = SplitAtNul(state);
        const std::string owner = Field(f, 0), organisation = Field(f, 1);
        const std::string source = f.size() > 2 ? state.substr(owner.size() + organisation.size() + 2) : "";
        const char* key = IsWinMe() ? kWindowsKey : kWindowsNtKey;
        SetString(HKEY_LOCAL_MACHINE, key, "RegisteredOwner", owner);
        SetString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization", organisation);
        if (!IsVista()) SetString(HKEY_LOCAL_MACHINE, kSetupKey, "SourcePath", source);
        return;
    }
    case 123:
        if (state == "0") SetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay", std::to_string(kMenuDelayInstant));
        else if (state == "1") SetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay", std::to_string(kMenuDelayClick));
        else if (state == "2") SetString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay", "400");
        flags_.logOffNeeded = true;
        return;
    case 130:
        if (IsWinMe()) {
            SetBinaryHex(HKEY_CURRENT_USER, kExplorerPolicies, "NoDriveTypeAutoRun", state == "1" ? "B5000000" : "95000000");
        } else if (IsWin2000()) {
            SetDword(HKEY_LOCAL_MACHINE, kCdromKey, "Autorun", state == "1" ? 0 : 1);
        } else {
            SetDword(HKEY_CURRENT_USER, kExplorerPolicies, "NoDriveAutoRun", static_cast<int32_t>(TextToInteger(state)));
            flags_.logOffNeeded = true;
        }
        return;
    case 142:
        ApplyPlacesBar(state);
        return;
    case 145: {
        const std::vector<std::string> f = SplitAtNul(state);
        SetString(HKEY_CURRENT_USER, kDesktopKey, "CoolSwitchColumns", std::to_string(TextToInteger(Field(f, 0))));
        SetString(HKEY_CURRENT_USER, kDesktopKey, "CoolSwitchRows",
                  state.find('\0') == std::string::npos ? "" : state.substr(state.find('\0') + 1));
        flags_.logOffNeeded = true;
        return;
    }
    case 150:
        CopyKey(HKEY_CURRENT_USER, kHotkeysTempKey, HKEY_CURRENT_USER, kHotkeysKey);
        SetSuite("EnableHotkeys", state);
        return;
    case 153:
        SetSuite("ClearTemp", state);
        return;
    default:
        return;  // headings and ids without a footprint
    }
}

void ApplyEngine::ApplyPlacesBar(const std::string& state) {
    SetSuite("PlacesSettings", Chars(state, 0, 3));
    SetDword(HKEY_CURRENT_USER, kComdlgPolicies, "NoPlacesBar", static_cast<int32_t>(TextToInteger(Chars(state, 3, 1))));
    // Office keeps a Places Bar of its own for versions 2000, XP and 2003.
    const int versions[] = {9, 10, 11};
    for (int v : versions) {
        const std::string standard = OfficePlaces(v) + "\\StandardPlaces";
        if (KeyExists(HKEY_CURRENT_USER, standard))
            for (const std::string& sub : EnumKeys(HKEY_CURRENT_USER, standard))
                SetDword(HKEY_CURRENT_USER, JoinKey(standard, sub), "Show", 0);
        const std::string userDefined = OfficePlaces(v) + "\\UserDefinedPlaces";
        if (KeyExists(HKEY_CURRENT_USER, userDefined)) ClearKey(HKEY_CURRENT_USER, userDefined, ClearMode::Subkeys);
    }
    auto digitPlusOne = [&](size_t i) { return static_cast<int32_t>(TextToInteger(Chars(state, i, 1)) + 1); };
    const std::vector<std::string> places = SplitAtNul(Chars(state, 5));
    for (int i = 0; i < 5; ++i) {
        std::string place = Field(places, static_cast<size_t>(i));
        const std::string name = "Place" + std::to_string(i);
        auto isPath = [](const std::string& p) { return p.find(':') != std::string::npos || p.rfind("\\\\", 0) == 0; };
        if (isPath(place)) {
            SetString(HKEY_CURRENT_USER, kPlacesBarKey, name, place);
        } else {
            SetDword(HKEY_CURRENT_USER, kPlacesBarKey, name, static_cast<int32_t>(TextToInteger(place)));
            std::string folder = SpecialFolderPath(static_cast<int>(TextToInteger(place)));
            if (folder.find(':') != std::string::npos) place = folder;
        }
        for (int v : versions) {
            if (isPath(place)) {
                const std::string key = OfficePlaces(v) + "\\UserDefinedPlaces\\Place" + std::to_string(i + 1);
                SetDword(HKEY_CURRENT_USER, key, "Index", i);
                SetString(HKEY_CURRENT_USER, key, "Name", TextAfterLast(place, "\\"));
                SetString(HKEY_CURRENT_USER, key, "Path", place);
                SetDword(HKEY_CURRENT_USER, key, "View", digitPlusOne(0));
                SetDword(HKEY_CURRENT_USER, key, "ArrangeBy", digitPlusOne(1));
                SetDword(HKEY_CURRENT_USER, key, "SortAscending", digitPlusOne(2));
            } else if (place == "18") {
                const std::string key = OfficePlaces(v) + "\\StandardPlaces\\Publishing";
                SetString(HKEY_CURRENT_USER, key, "Show", "1");
                SetDword(HKEY_CURRENT_USER, key, "Index", i);
                SetDword(HKEY_CURRENT_USER, key, "View", digitPlusOne(0));
                SetDword(HKEY_CURRENT_USER, key, "ArrangeBy", digitPlusOne(1));
                SetDword(HKEY_CURRENT_USER, key, "SortAscending", digitPlusOne(2));
            }
        }
    }
    flags_.placesBarChanged = true;
}

void ApplyEngine::ApplyPlugin(int toolId, const std::string& state) {
    const std::string key = PluginKeyForToolId(toolId);
    if (key.empty()) return;
    const bool on = state == "1";
    auto value = [&](const std::string& name) { return GetString(HKEY_LOCAL_MACHINE, key, name); };
    const std::string type = value("Type");
    if (type == "1") {
        const std::string cls = value("Class");
        std::string clsid = value("CLSID");
        if (on) {
            if (!clsid.empty()) WriteComServer(clsid, cls, value("DLL"));
            else clsid = RegisterContextMenuDll(value("DLL"));
        }
        for (int n = 0; n < 100; ++n) {
            const std::string mime = value("mime" + TwoDigits(n));
            if (mime.empty()) break;
            const std::string handler = mime + "\\shellex\\ContextMenuHandlers\\" + cls;
            if (!on) DeleteKey(HKEY_CLASSES_ROOT, handler);
            else if (!clsid.empty()) SetString(HKEY_CLASSES_ROOT, handler, "", clsid);  // no class, no handler
        }
    } else if (type == "2") {
        const std::string name = value("ShortcutName"), target = value("ShortcutTarget");
        const std::string shortcut = StartupFolder() + name + ".lnk";
        if (on && !FileExists(shortcut)) CreateShortcut(shortcut, target, "", "", target, 0, name);
        if (!on && FileExists(shortcut) && !ListedOnly("delete shortcut " + shortcut)) DeleteFileA(shortcut.c_str());
    } else if (type == "3") {
        for (int n = 1; n <= 99; ++n) {
            const std::string suffix = TwoDigits(n);
            const std::string full = value("Key" + suffix);
            if (full.empty()) break;
            HKEY root = RootKeyFromName(full);
            if (!root) continue;
            const size_t slash = full.find('\\');
            const std::string path = slash == std::string::npos ? std::string() : full.substr(slash + 1);
            if (path.empty()) continue;  // never a whole root
            const std::string valueName = value("Value" + suffix);
            if (on) {
                WriteTyped(key, "Enabled" + suffix, root, path, valueName);
            } else if (value("RemoveKey" + suffix) == "1") {
                if (KeyExists(root, path)) DeleteKey(root, path);
            } else if (value("RemoveValue" + suffix) == "1") {
                if (ValueExists(root, path, valueName)) DeleteValue(root, path, valueName);
            } else {
                WriteTyped(key, "Disabled" + suffix, root, path, valueName);
            }
        }
    }
    const long restart = TextToInteger(value("Restart"));
    if (restart == 1) flags_.logOffNeeded = true;
    if (restart == 2) flags_.restartNeeded = true;
}

}  // namespace kk
