// The tool catalogue: what each position of the main list shows. Positions
// 1 to 41 come from a fixed table with the Windows-version rules applied in
// one place; later positions are plugins read from the registry.
#pragma once
#include "engine/registry.h"

#include <string>
#include <vector>

namespace kk {

enum ToolKind : int {
    kKindOnOffAlias = -1,  // the other code the list takes for an on/off tool
    kKindNone = 0,
    kKindOnOff = 1,
    kKindSettings = 2,
    kKindInformation = 3,  // a bulleted row without a switch
    kKindUnavailable = 4,
    kKindHeading = 5,
};

// The "*" marker of a row keeps its ToolKind as decimal text, and every
// handler compares that text.
inline bool IsKindTag(const std::string& kindTag, ToolKind kind) { return kindTag == std::to_string(kind); }
inline bool IsOnOffKind(int kind) { return kind == kKindOnOff || kind == kKindOnOffAlias; }

struct ToolEntry {
    int toolId = 0;
    int kind = kKindNone;
    std::string caption;
    std::string description;
    std::string linkCaption;
    std::string linkAction;  // a suite program with optional arguments, or "#" + ToolId
};

inline constexpr int kFixedRowCount = 41;
// ToolIds: tools 101 to 169, plugins from 301, headings from 901, and
// 999 for the About page of the settings dialog.
inline constexpr int kFirstPluginToolId = 301;
inline constexpr int kFirstHeadingToolId = 901;
inline constexpr int kAboutToolId = 999;
inline bool IsPluginToolId(int toolId) { return toolId >= kFirstPluginToolId && toolId < kFirstHeadingToolId; }

// A fixed row (position 1 to 41); any other position gives an empty entry.
ToolEntry GetToolInfo(int position);

// The plugin subkey names in the registry's enumeration order, read now.
std::vector<std::string> ListPluginKeys();

// The plugin list of this start: the names the main window enumerated when
// it built its list, which detection, apply, help and the About page read
// instead of enumerating again (once per row would cost the square of the
// plugin count). Read on first use when no list has been built.
const std::vector<std::string>& PluginKeys();
// Enumerates the plugin key and makes the result this start's list.
const std::vector<std::string>& ReadPluginKeys();
// Drops the list, so the next use reads the registry (a fresh registry).
void ForgetPluginKeys();

// How many list positions there are: 41 plus one per plugin, or 40 (no
// "Plugins" heading) when there is none.
int ListCount(size_t pluginCount);

// The plugin row at list position (42 to 41 + N): plugins are listed in the
// reverse of their enumeration order; the k-th enumerated plugin is 300 + k.
ToolEntry GetPluginInfo(int position, const std::vector<std::string>& pluginKeys);

// The entry for any list position, fixed or plugin, with the per-user
// "debug" withdrawal applied.
ToolEntry EntryForPosition(int position, const std::vector<std::string>& pluginKeys);

// True when HKCU SOFTWARE\Marrowby\Kestrelkit\debug has a non-empty value
// named by the ToolId.
bool WithdrawnByDebugKey(int toolId);

// One pass over the whole list (building it, or detecting every row
// again): while one lives, each plugin key's values, the startup folder and
// the "debug" withdrawals are read once and kept, as a row's entry and its
// state both read them and every row reads the same folder and key. Nothing the pass itself does
// writes them. Passes do not nest; a second one is a no-op.
class ListReadPass {
public:
    ListReadPass();
    ~ListReadPass();
    ListReadPass(const ListReadPass&) = delete;
    ListReadPass& operator=(const ListReadPass&) = delete;

private:
    bool owner_;
};
// A plugin key's values (ReadValues), kept for the pass when one lives.
std::vector<NamedValue> PluginKeyValues(const std::string& key);
// The startup folder (StartupFolder), kept for the pass when one lives.
std::string PassStartupFolder();

// The registry path (under HKLM) of the plugin a ToolId of 301 and up
// names, from this start's plugin list; "" when there is no such plugin.
std::string PluginKeyForToolId(int toolId);

}  // namespace kk
