#include "kkctl/rows.h"

#include "engine/catalogue.h"
#include "engine/registry.h"
#include "engine/registry_journal.h"
#include "engine/state_rules.h"
#include "engine/suite.h"
#include "kkctl/console.h"

namespace kk {
namespace {

constexpr int kHotkeysToolId = 150;

bool IsLinkRow(const MemoryRow& row) { return !row.linkTag.empty() && row.linkTag[0] == '#'; }

bool IsFixedToolId(int toolId) {
    for (int position = 1; position <= kFixedRowCount; ++position)
        if (GetToolInfo(position).toolId == toolId) return true;
    return false;
}

}  // namespace

MemoryRows BuildRowsQuietly() {
    RegistryJournal unused;
    DryRunScope nothingWritten(unused);
    return MemoryRows::Build();
}

std::string KindName(int kind) {
    if (IsOnOffKind(kind)) return "onoff";
    switch (kind) {
    case kKindSettings: return "settings";
    case kKindInformation: return "information";
    case kKindUnavailable: return "unavailable";
    default: return {};
    }
}

std::string CurrentState(const MemoryRows& rows, int toolId) {
    if (!rows.Has(toolId)) return {};
    const MemoryRow& row = rows.Row(toolId);
    // The hotkeys row's state is the switch its page keeps in the suite key.
    if (toolId == kHotkeysToolId) return GetString(HKEY_CURRENT_USER, kSuiteKey, "EnableHotkeys");
    if (!IsOnOffKind(row.kind)) return row.buttonTag;
    return IsLinkRow(row) ? row.checkTag.substr(0, 1) + row.linkTag.substr(1) : row.checkTag;
}

bool CheckAssignments(const MemoryRows& rows, std::vector<Assignment>& list, std::string& error) {
    std::vector<Assignment> kept;
    for (const Assignment& a : list) {
        const bool listed = rows.Has(a.toolId);
        const int kind = listed ? rows.Row(a.toolId).kind : kKindNone;
        if ((listed && kind == kKindUnavailable) || (!listed && IsFixedToolId(a.toolId))) {
            PrintError(a.where + ": skipped: ToolId " + std::to_string(a.toolId) +
                       " is not offered on this version of Windows");
            continue;
        }
        if (!listed) {
            error = a.where + ": unknown ToolId " + std::to_string(a.toolId);
            return false;
        }
        const std::string problem = StateProblem(a.toolId, kind, a.state);
        if (!problem.empty()) {
            error = a.where + ": ToolId " + std::to_string(a.toolId) + " " + problem;
            return false;
        }
        kept.push_back(a);
    }
    list = kept;
    return true;
}

int MarkChanges(MemoryRows& rows, const std::vector<Assignment>& list) {
    int changed = 0;
    for (const Assignment& a : list) {
        MemoryRow& row = rows.Row(a.toolId);
        // A bare flag for a row with settings keeps the settings.
        const bool flagOnly = IsLinkRow(row) && a.state.size() == 1;
        const std::string now = CurrentState(rows, a.toolId);
        if (now == a.state || (flagOnly && now.substr(0, 1) == a.state)) continue;
        if (IsOnOffKind(row.kind)) {
            rows.Tick(a.toolId, a.state[0] == '1');
            if (IsLinkRow(row) && !flagOnly && row.linkTag.substr(1) != a.state.substr(1))
                rows.SetSettings(a.toolId, a.state.substr(1));
        } else {
            rows.SetSettings(a.toolId, a.state);
        }
        // A row set back to what it shows is no change: the window's Apply skips it too.
        if (rows.ChangedShown(a.toolId)) ++changed;
    }
    return changed;
}

std::string ChangeLines(const RegistryJournal& journal) {
    std::string lines = journal.Describe();
    for (const std::string& action : journal.Actions()) lines += action + "\n";
    return lines;
}

}  // namespace kk
