// The console program's side of the system-call seam and its output: the
// panel's messages go to standard error, a hand-over to the 64-bit program
// runs it in this console and waits for it.
#pragma once
#include <string>
#include <vector>

namespace kk {

enum ExitCode : int { kExitDone = 0, kExitRefused = 1, kExitUsage = 2 };

// Replaces the message boxes, program starts and session endings with
// console behaviour. Questions are answered No.
void UseConsoleSystemCalls();

// The exit code of the program a hand-over ran; kExitRefused when none ran.
int HandedOverExitCode();

void Print(const std::string& text);       // standard output
void PrintError(const std::string& text);  // standard error, "kkctl: " first

// Text as a JSON string, quotes included.
std::string JsonString(const std::string& text);

}  // namespace kk
