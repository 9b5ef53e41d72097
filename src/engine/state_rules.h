// Which state texts a tool can take, so that a state read from a file or
// a command line is checked before anything is written: the same texts
// the state detector gives and the apply engine reads.
#pragma once
#include <string>

namespace kk {

// "" when the tool, a row of the given ToolKind on this system, can take
// the state; otherwise what it takes instead, for a message.
std::string StateProblem(int toolId, int kind, const std::string& state);

}  // namespace kk
