#include "kkctl/profile.h"

#include "engine/catalogue.h"
#include "engine/footprint.h"
#include "engine/history.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "kkctl/console.h"

#include <algorithm>

namespace kk {
namespace {

constexpr char kHeader[] = "[Kestrelkit profile]";
constexpr char kEnd[] = "[End]";  // a profile without it was cut short
constexpr char kTools[] = "[Tools]";
constexpr char kPlugins[] = "[Plugins]";
constexpr char kHotkeys[] = "[Hotkeys]";
constexpr char kDetails[] = "[Details]";
// The installation folder as the escaped text holds it (its backslash doubled).
constexpr char kInstallPathToken[] = "%InstallPath%\\\\";

// Every occurrence of `from`, compared without regard to case, as `to`.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    const std::string lower = LowerCase(text), lowerFrom = LowerCase(from);
    std::string out;
    size_t at = 0;
    for (size_t found; (found = lower.find(lowerFrom, at)) != std::string::npos; at = found + from.size())
        out += text.substr(at, found - at) + to;
    return out + text.substr(at);
}

std::string Portable(const std::string& text) {
    return ReplaceAll(EscapeText(text), EscapeText(InstallPath()), kInstallPathToken);
}

std::string Line(const std::string& name, const std::string& text) { return name + "=" + Portable(text) + "\r\n"; }

std::string ValuesSection(const char* section, const char* key) {
    std::string text = std::string("\r\n") + section + "\r\n";
    for (const NamedValue& v : ReadValues(HKEY_CURRENT_USER, key)) text += Line(v.name, v.text);
    return text;
}

std::vector<std::pair<std::string, std::string>> Sorted(const std::vector<ProfileValue>& values) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const ProfileValue& v : values) pairs.emplace_back(LowerCase(v.name), v.text);
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

std::vector<std::pair<std::string, std::string>> SortedRegistry(const char* key) {
    std::vector<ProfileValue> values;
    for (const NamedValue& v : ReadValues(HKEY_CURRENT_USER, key)) values.push_back({v.name, v.text, ""});
    return Sorted(values);
}

// A list's working copy, which the tool's Apply makes the saved list; true
// when it differs from the saved one.
bool StageList(const std::vector<ProfileValue>& values, const char* savedKey, const char* workingKey) {
    DeleteKey(HKEY_CURRENT_USER, workingKey);
    MakeKey(HKEY_CURRENT_USER, workingKey);
    for (const ProfileValue& v : values) SetString(HKEY_CURRENT_USER, workingKey, v.name, v.text);
    return Sorted(values) != SortedRegistry(savedKey);
}

}  // namespace

std::string FormatProfile(const MemoryRows& rows) {
    std::string tools = std::string("\r\n") + kTools + "\r\n", plugins = std::string("\r\n") + kPlugins + "\r\n";
    const std::vector<std::string>& pluginKeys = PluginKeys();
    for (int toolId : rows.ToolIds()) {
        const int kind = rows.Row(toolId).kind;
        if (!IsOnOffKind(kind) && kind != kKindSettings) continue;
        const std::string state = CurrentState(rows, toolId);
        if (!IsPluginToolId(toolId)) {
            tools += "; " + EscapeText(rows.Row(toolId).caption) + "\r\n" + Line(std::to_string(toolId), state);
        } else if (static_cast<size_t>(toolId - kFirstPluginToolId) < pluginKeys.size()) {
            plugins += Line(pluginKeys[toolId - kFirstPluginToolId], state);
        }
    }
    return std::string(kHeader) + "\r\n; Marrowby Kestrelkit " + CurrentVersionText() +
           ": kkctl import FILE applies it.\r\n" + tools + plugins + ValuesSection(kHotkeys, kHotkeysKey) +
           ValuesSection(kDetails, kDetailsKey) + "\r\n" + kEnd + "\r\n";
}

bool ParseProfile(const std::string& text, Profile& profile, std::string& error) {
    profile = Profile();
    std::string section;
    bool ended = false;
    size_t number = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1 && line != kHeader) return fail("not a Kestrelkit profile");
        if (number == 1 || line.empty() || line[0] == ';') continue;
        if (ended) return fail("text after " + std::string(kEnd));
        if (line[0] == '[') {
            if (line != kTools && line != kPlugins && line != kHotkeys && line != kDetails && line != kEnd)
                return fail("unknown section " + line);
            section = line;
            ended = line == kEnd;
            profile.hasHotkeys |= line == kHotkeys;
            profile.hasDetails |= line == kDetails;
            continue;
        }
        // Plugin key names may hold "=", their states never do.
        const size_t equals = section == kPlugins ? line.rfind('=') : line.find('=');
        if (section.empty() || equals == std::string::npos) return fail("expected NAME=VALUE in a section");
        ProfileValue value{line.substr(0, equals), "", "line " + std::to_string(number)};
        if (!UnescapeText(ReplaceAll(line.substr(equals + 1), kInstallPathToken, EscapeText(InstallPath())), value.text))
            return fail("a broken escape");
        if (section == kTools) {
            if (value.name.empty() || value.name.size() > kLongestToolId ||
                value.name.find_first_not_of("0123456789") != std::string::npos)
                return fail("\"" + value.name + "\" is not a ToolId");
            profile.tools.push_back({std::stoi(value.name), value.text, value.where});
        } else {
            (section == kPlugins ? profile.plugins : section == kHotkeys ? profile.hotkeys : profile.details)
                .push_back(value);
        }
    }
    if (!ended) return fail("the profile ends early: no " + std::string(kEnd));
    return true;
}

int ExportCommand(const std::string& file) {
    if (!WriteWholeFile(file, FormatProfile(BuildRowsQuietly()))) {
        PrintError("cannot write " + file);
        return kExitRefused;
    }
    return kExitDone;
}

int ImportCommand(const std::string& file) {
    if (!FileExists(file)) {
        PrintError("cannot read " + file);
        return kExitRefused;
    }
    Profile profile;
    std::string error;
    std::vector<Assignment> list;
    if (ParseProfile(ReadWholeFile(file), profile, error)) {
        list = profile.tools;
        const std::vector<std::string>& pluginKeys = ReadPluginKeys();
        for (const ProfileValue& plugin : profile.plugins) {
            const auto found = std::find_if(pluginKeys.begin(), pluginKeys.end(), [&](const std::string& key) {
                return LowerCase(key) == LowerCase(plugin.name);
            });
            if (found == pluginKeys.end())
                PrintError(plugin.where + ": skipped: the plugin \"" + plugin.name + "\" is not installed here");
            else
                list.push_back({kFirstPluginToolId + static_cast<int>(found - pluginKeys.begin()), plugin.text,
                                plugin.where});
        }
    }
    if (!error.empty() || !CheckAssignments(BuildRowsQuietly(), list, error)) {
        PrintError(file + ": " + error + "; nothing was changed");
        return kExitRefused;
    }
    MemoryRows rows = MemoryRows::Build();
    int changed = MarkChanges(rows, list);
    // The lists go where their pages leave them; the tools' Apply saves them.
    const struct {
        bool present;
        const std::vector<ProfileValue>& values;
        const char *saved, *working;
        int toolId;
    } lists[] = {{profile.hasHotkeys, profile.hotkeys, kHotkeysKey, kHotkeysTempKey, 150},
                 {profile.hasDetails, profile.details, kDetailsKey, kDetailsTempKey, 104}};
    for (const auto& l : lists) {
        if (!l.present || !rows.Has(l.toolId) || !StageList(l.values, l.saved, l.working)) continue;
        if (rows.ChangedShown(l.toolId)) continue;  // its new state applies the list too
        ++changed;
        rows.SetSettings(l.toolId, IsOnOffKind(rows.Row(l.toolId).kind) ? "" : CurrentState(rows, l.toolId));
    }
    if (changed > 0) ApplyEngine(rows).ApplyChanges("Import");
    Print(changed > 0 ? "Changed " + std::to_string(changed) + " row(s).\n" : "Nothing to change.\n");
    return kExitDone;
}

}  // namespace kk
