// Letting the window messages that are already waiting run once, as a
// program does between steps of a long action so that its windows answer.
#pragma once

namespace kk {

// Handles every message waiting now; a quit request is put back for the
// message loop that owns it.
void PumpPendingMessages();

}  // namespace kk
