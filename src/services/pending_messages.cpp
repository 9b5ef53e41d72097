#include "services/pending_messages.h"

namespace kk {
namespace {

// Handles the waiting messages that the filter lets through; false once a
// quit request has been put back for the loop that owns it.
bool Dispatch(UINT filter) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | filter)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the real loop to see
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

}  // namespace

void PumpPendingMessages() { Dispatch(0); }

bool WaitAnsweringMessages(HANDLE handle, DWORD timeoutMs) {
    DWORD wake = QS_SENDMESSAGE | QS_POSTMESSAGE | QS_TIMER | QS_PAINT;
    UINT filter = PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE | PM_QS_PAINT;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, left, wake);
        if (result != WAIT_OBJECT_0 + 1 || left == 0) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        if (!Dispatch(filter)) {
            // The quit request waits for its loop; taking it again would spin.
            wake = QS_SENDMESSAGE;
            filter = PM_QS_SENDMESSAGE;
        }
    }
}

}  // namespace kk
