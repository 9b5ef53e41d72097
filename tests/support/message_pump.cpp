#include "support/message_pump.h"

namespace kktest {

void Pump(HWND dialog, const PreFilter& first) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (first && first(msg)) continue;
        if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, HWND dialog, const PreFilter& first) {
    const DWORD until = GetTickCount() + timeoutMs;
    for (;;) {
        Pump(dialog, first);
        if (done()) return true;
        if (static_cast<LONG>(GetTickCount() - until) > 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace kktest
