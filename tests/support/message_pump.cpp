#include "support/message_pump.h"

namespace kktest {

void Pump(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (dialog && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, HWND dialog) {
    const DWORD until = GetTickCount() + timeoutMs;
    for (;;) {
        Pump(dialog);
        if (done()) return true;
        if (static_cast<LONG>(GetTickCount() - until) > 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace kktest
