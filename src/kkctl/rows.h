// The list as the console program sees it: the rows the window would
// build, each tool's state in the form `set` takes, and the checks every
// writing command runs on its whole input before it writes.
#pragma once
#include "app/memory_rows.h"
#include "engine/registry_journal.h"

#include <string>
#include <vector>

namespace kk {

// The digits of the longest ToolId a command line or profile may name.
inline constexpr size_t kLongestToolId = 4;

// The rows with their detected states; nothing is written, not even the
// working copies a start refreshes.
MemoryRows BuildRowsQuietly();

// "onoff", "settings", "information", "unavailable"; "" for headings.
std::string KindName(int kind);

// A row's whole state: what status shows and set takes.
std::string CurrentState(const MemoryRows& rows, int toolId);

// One tool's new state and where it came from ("argument 2", "line 7").
struct Assignment {
    int toolId = 0;
    std::string state, where;
};

// True when every assignment names a tool and a state it can take; the
// first that does not is described in error. Tools this version of
// Windows does not offer are reported on standard error and dropped.
bool CheckAssignments(const MemoryRows& rows, std::vector<Assignment>& list, std::string& error);

// Sets each row as the window would after a click or a settings page;
// the number of rows that differ from what they show now.
int MarkChanges(MemoryRows& rows, const std::vector<Assignment>& list);

// A preview's journal as the history lists changes: one line each.
std::string ChangeLines(const RegistryJournal& journal);

}  // namespace kk
