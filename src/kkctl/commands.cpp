#include "kkctl/commands.h"

#include "app/modes.h"
#include "engine/catalogue.h"
#include "engine/history.h"
#include "engine/registry.h"
#include "kkctl/console.h"
#include "kkctl/rows.h"

#include <algorithm>
#include <memory>

namespace kk {
namespace {

constexpr char kRowField[] = "Row: ";  // how an entry's text starts a row

// "ID=STATE" with a whole decimal ToolId and an escaped state.
bool ParseAssignment(const std::string& text, Assignment& a) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    const std::string id = text.substr(0, equals);
    if (id.find_first_not_of("0123456789") != std::string::npos || id.size() > kLongestToolId) return false;
    a.toolId = std::stoi(id);
    return UnescapeText(text.substr(equals + 1), a.state);
}

// The 1-based line of an entry's text on which its n-th row stands.
std::string RowLine(const std::string& text, size_t n) {
    size_t line = 1;
    for (size_t at = 0; at < text.size(); ++line) {
        if (text.compare(at, sizeof kRowField - 1, kRowField) == 0 && n-- == 0) break;
        at = text.find('\n', at);
        if (at == std::string::npos) break;
        ++at;
    }
    return "line " + std::to_string(line);
}

}  // namespace

int StatusCommand(bool json) {
    const MemoryRows rows = BuildRowsQuietly();
    std::string out = json ? "[" : "";
    bool first = true;
    for (int toolId : rows.ToolIds()) {
        const MemoryRow& row = rows.Row(toolId);
        const std::string kind = KindName(row.kind);
        if (kind.empty()) continue;  // headings
        const std::string state = CurrentState(rows, toolId), &caption = row.caption;
        if (json) {
            out += std::string(first ? "" : ",") + "\n  {\"toolId\": " + std::to_string(toolId) +
                   ", \"kind\": " + JsonString(kind) + ", \"state\": " + JsonString(state) +
                   ", \"caption\": " + JsonString(caption) + "}";
        } else {
            out += std::to_string(toolId) + "\t" + kind + "\t" + EscapeText(state) + "\t" + EscapeText(caption) + "\n";
        }
        first = false;
    }
    Print(json ? out + "\n]\n" : out);
    return kExitDone;
}

int SetCommand(const std::vector<std::string>& arguments, bool dryRun) {
    std::vector<Assignment> list;
    for (size_t i = 0; i < arguments.size(); ++i) {
        Assignment a;
        a.where = "argument " + std::to_string(i + 1);
        if (!ParseAssignment(arguments[i], a)) {
            PrintError(a.where + " (" + arguments[i] + "): expected ToolId=STATE");
            return kExitUsage;
        }
        list.push_back(a);
    }
    if (list.empty()) {
        PrintError("name at least one ToolId=STATE");
        return kExitUsage;
    }
    std::string error;
    if (!CheckAssignments(BuildRowsQuietly(), list, error)) {
        PrintError(error + "; nothing was changed");
        return kExitRefused;
    }
    if (list.empty()) {
        Print("Nothing to change.\n");
        return kExitDone;
    }
    RegistryJournal preview;
    std::unique_ptr<DryRunScope> dryRunScope;
    if (dryRun) dryRunScope = std::make_unique<DryRunScope>(preview);
    MemoryRows rows;
    {
        // What a start refreshes is no part of the change.
        RegistryJournal unlisted;
        JournalScope scope(unlisted);
        rows = MemoryRows::Build();
    }
    const int changed = MarkChanges(rows, list);
    if (changed > 0) ApplyEngine(rows).ApplyChanges("Set");
    if (dryRun) Print(ChangeLines(preview));
    else Print(changed > 0 ? "Changed " + std::to_string(changed) + " row(s).\n" : "Nothing to change.\n");
    return kExitDone;
}

int HistoryCommand() {
    std::string out;
    for (const HistoryEntry& entry : ReadHistory()) {
        out += entry.id + "\t" + entry.time + "\t" + entry.operation + "\n";
        for (const HistoryRow& row : entry.rows)
            out += "\t" + std::to_string(row.toolId) + "\t" + EscapeText(row.caption) + "\t" + EscapeText(row.before) +
                   " -> " + EscapeText(row.after) + "\n";
    }
    Print(out);
    return kExitDone;
}

int UndoCommand(const std::string& entryId) {
    std::string id = entryId;
    if (id.empty()) {
        const std::vector<HistoryEntry> entries = ReadHistory();
        if (entries.empty()) {
            PrintError("the history is empty: nothing to undo");
            return kExitRefused;
        }
        id = entries.front().id;
    }
    const std::string base = HistoryFolder() + id;
    if (id.find_first_of("\\/:") != std::string::npos || !FileExists(base + ".txt")) {
        PrintError("no history entry " + id + " (kkctl history lists them)");
        return kExitRefused;
    }
    const std::string text = ReadWholeFile(base + ".txt");
    HistoryEntry entry;
    std::string error;
    if (!ParseHistoryEntry(text, entry, error)) {
        PrintError(base + ".txt: " + error + "; nothing was changed");
        return kExitRefused;
    }
    entry.id = id;
    std::vector<Assignment> list;
    for (size_t i = 0; i < entry.rows.size(); ++i)
        list.push_back({entry.rows[i].toolId, entry.rows[i].before, base + ".txt: " + RowLine(text, i)});
    if (!CheckAssignments(BuildRowsQuietly(), list, error)) {
        PrintError(error + "; nothing was changed");
        return kExitRefused;
    }
    if (!CheckRegeditScript(ReadWholeFile(base + ".reg"), error)) {
        PrintError(base + ".reg: " + error + "; nothing was changed");
        return kExitRefused;
    }
    // Rows this Windows does not offer stay as they are.
    entry.rows.erase(std::remove_if(entry.rows.begin(), entry.rows.end(),
                                    [&](const HistoryRow& row) {
                                        for (const Assignment& a : list)
                                            if (a.toolId == row.toolId) return false;
                                        return true;
                                    }),
                     entry.rows.end());
    MemoryRows rows = MemoryRows::Build();
    UndoHistoryEntry(entry, rows);
    Print("Undid " + id + " (" + entry.operation + ").\n");
    return kExitDone;
}

int ResetCommand() {
    MemoryRows rows = MemoryRows::Build();
    RunReset(rows, "Reset");
    Print("Reset done.\n");
    return kExitDone;
}

}  // namespace kk
