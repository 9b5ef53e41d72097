// Waiting on a handle from a thread that owns windows.
#pragma once
#include <windows.h>

namespace kk {

// Waits for the handle, still answering messages other threads send to
// this thread's windows (a DLL or a DDE broadcast may send to the panel
// while it waits), but taking no input. True when the handle was signalled
// in time.
bool WaitServingSentMessages(HANDLE handle, DWORD timeoutMs);

}  // namespace kk
