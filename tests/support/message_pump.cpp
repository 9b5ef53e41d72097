#include "support/message_pump.h"

#include <atomic>
#include <thread>

namespace kktest {
namespace {

// A top-level window owned by owner, of that class (any class when null).
HWND OwnedWindow(HWND owner, const char* className) {
    for (HWND w = FindWindowExA(nullptr, nullptr, className, nullptr); w; w = FindWindowExA(nullptr, w, className, nullptr))
        if (GetWindow(w, GW_OWNER) == owner) return w;
    return nullptr;
}

}  // namespace

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

ModalRun RunModalAsUser(HWND owner, const char* className, const std::function<void(HWND)>& user,
                        const std::function<void()>& modal) {
    ModalRun run;
    std::atomic<bool> returned{false};
    std::thread player([&] {
        for (int n = 0; n < 200 && !returned && !(run.window && IsWindowVisible(run.window)); ++n, Sleep(50))
            run.window = OwnedWindow(owner, className);
        if (run.window && !returned) {
            user(run.window);
            for (int n = 0; n < 100 && IsWindow(run.window); ++n) Sleep(50);
            run.closedByUser = !IsWindow(run.window);
        }
        for (; !returned; Sleep(50))
            if (HWND open = OwnedWindow(owner, nullptr)) PostMessageA(open, WM_CLOSE, 0, 0);
    });
    modal();
    returned = true;
    player.join();
    return run;
}

}  // namespace kktest
