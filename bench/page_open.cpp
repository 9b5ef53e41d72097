#include "page_open.h"

#include "bench_report.h"
#include "pages/settings_dialog.h"
#include "panel/control_panel.h"

namespace kkbench {
namespace {

constexpr UINT kIdleTimerMs = USER_TIMER_MINIMUM;
constexpr int kGiveUpTicks = 500;  // about five seconds of idle checks

// What the hooks and the idle timer share while one dialog is open. The
// benchmark is single-threaded, so one set of values serves.
struct Watch {
    int64_t start = 0, lastPaintEnd = 0;
    bool paintRunning = false;
    HWND counted = nullptr;
    int paints = 0;
    int ticks = 0;
    bool busy = false;  // whileOpen is running: its own pumping must not close the dialog
    std::function<void(HWND)> whileOpen;
    double result = -1;
} g;

HHOOK g_hook = nullptr;

// Sees each message as the dialog's loop takes it. After a WM_PAINT it
// posts a thread message, which the loop takes as soon as that paint has
// been dispatched, before any further paint: its arrival is the paint's end.
LRESULT CALLBACK GetMessageWatch(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        const MSG& msg = *reinterpret_cast<const MSG*>(lp);
        if (msg.message == WM_PAINT) {
            if (msg.hwnd == g.counted) ++g.paints;
            g.paintRunning = true;
            PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
        } else if (g.paintRunning && msg.message == WM_NULL && !msg.hwnd) {
            g.lastPaintEnd = Now();
            g.paintRunning = false;
        }
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

bool NothingToPaint() { return !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) && !g.paintRunning; }

void CALLBACK IdleCheck(HWND, UINT, UINT_PTR id, DWORD) {
    if (g.busy) return;
    HWND dialog = FindWindowA(kk::kSettingsDialogClass, nullptr);
    const bool shown = dialog && IsWindowVisible(dialog);
    if (++g.ticks > kGiveUpTicks) {
        if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
        KillTimer(nullptr, id);
        return;
    }
    if (!shown || !NothingToPaint()) return;
    if (g.result < 0) g.result = Milliseconds(g.lastPaintEnd - g.start);
    if (g.whileOpen) {
        auto run = std::move(g.whileOpen);
        g.whileOpen = nullptr;
        g.busy = true;
        run(dialog);
        g.busy = false;
        return;  // closed at a later idle moment
    }
    KillTimer(nullptr, id);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

struct HookScope {
    HookScope() { g_hook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageWatch, nullptr, GetCurrentThreadId()); }
    ~HookScope() {
        if (g_hook) UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
};

}  // namespace

std::vector<double> TimeSettingsDialog(kk::ControlPanel& panel, int toolId, int rounds,
                                       const std::function<void(HWND)>& whileOpen) {
    std::vector<double> ms;
    HookScope hook;
    for (int i = 0; i < rounds; ++i) {
        g = Watch();
        g.whileOpen = i == 0 ? whileOpen : nullptr;
        SetTimer(nullptr, 0, kIdleTimerMs, IdleCheck);
        g.start = Now();
        kk::RunSettingsDialog(panel, toolId);
        if (g.result >= 0) ms.push_back(g.result);
    }
    return ms;
}

int CountPaints(HWND window, const std::function<void()>& change) {
    g.counted = window;
    g.paints = 0;
    change();
    // Let everything the change caused be painted.
    MSG msg;
    for (int i = 0; i < 200; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (NothingToPaint()) break;
        Sleep(1);
    }
    g.counted = nullptr;
    return g.paints;
}

}  // namespace kkbench
