// The console program's commands; each returns the program's exit code.
#pragma once
#include <string>
#include <vector>

namespace kk {

int StatusCommand(bool json);
// ID=STATE arguments, states escaped as the history writes them (\0 a NUL).
int SetCommand(const std::vector<std::string>& assignments, bool dryRun);
int HistoryCommand();
// The newest entry when entryId is empty.
int UndoCommand(const std::string& entryId);
int ResetCommand();

}  // namespace kk
