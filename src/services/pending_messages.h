// Letting the window messages that are already waiting run once, as a
// program does between steps of a long action so that its windows answer.
#pragma once
#include <windows.h>

namespace kk {

// Handles every message waiting now; a quit request is put back for the
// message loop that owns it.
void PumpPendingMessages();

// Waits for the handle while this thread's windows keep answering: sent and
// posted messages, timers and painting are handled; keyboard and mouse input
// stay queued for after, as they would behind a busy call. True when the
// handle was signalled in time.
bool WaitAnsweringMessages(HANDLE handle, DWORD timeoutMs);

}  // namespace kk
