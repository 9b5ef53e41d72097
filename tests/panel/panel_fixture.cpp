#include "panel/panel_fixture.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "support/message_pump.h"
#include "support/test_env.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

namespace kktest {

void PanelTest::SetUp() {
    if (!ExpectedFor(WindowsVersion()).supported) GTEST_SKIP() << "refused on this version";
    kk::SetString(HKEY_LOCAL_MACHINE, kk::kSuiteKey, "InstallPath", ProgramFolder());
}

namespace {

bool Launch(kk::ControlPanel& panel, kk::StartupContext context, bool pump) {
    if (!panel.Create(GetModuleHandleA(nullptr)) || !kk::Initialize(context)) return false;
    ShowWindow(panel.hwnd(), SW_SHOW);
    UpdateWindow(panel.hwnd());
    if (pump) kktest::Pump(panel.hwnd(), [&](const MSG& msg) { return panel.hwnd() && panel.PreTranslate(msg); });
    return true;
}

}  // namespace

bool PanelTest::Start(const std::string& commandLine) { return Launch(panel, {panel, claim, dde, commandLine}, true); }

bool PanelTest::StartAgain(kk::ControlPanel& next, bool pump) {
    dde.Stop();
    claim = kk::InstanceClaim();  // the first run's claim ends with it
    return Launch(next, {next, claim, dde, ""}, pump);
}

void PanelTest::Resize(int width, int height) {
    SetWindowPos(panel.hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    WaitForRelayout();
}

void PanelTest::WaitForRelayout() {
    EXPECT_TRUE(PumpUntil([&] { return !panel.ResizePending(); })) << "the relayout never came";
}

void PanelTest::Pump() { kktest::Pump(panel.hwnd(), MainLoopFilter()); }

kktest::PreFilter PanelTest::MainLoopFilter() {
    return [this](const MSG& msg) { return panel.hwnd() && panel.PreTranslate(msg); };
}

namespace {

// The last mouse message this thread took from its queue, seen by a mouse hook: injected input reaches the queue late
// on a busy machine (a second or more), and only its arrival tells that the window has handled it.
struct SeenMouse {
    unsigned moves = 0, presses = 0, releases = 0;
    POINT lastMove{};
} g_seen;

LRESULT CALLBACK SeeMouse(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const bool move = wp == WM_MOUSEMOVE || wp == WM_NCMOUSEMOVE;
        if (move) g_seen.lastMove = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lp)->pt;
        g_seen.moves += move;
        g_seen.presses += wp == WM_LBUTTONDOWN || wp == WM_NCLBUTTONDOWN || wp == WM_LBUTTONDBLCLK;
        g_seen.releases += wp == WM_LBUTTONUP || wp == WM_NCLBUTTONUP;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void WatchMouse() {
    static HHOOK hook = SetWindowsHookExA(WH_MOUSE, SeeMouse, nullptr, GetCurrentThreadId());
    (void)hook;
}

// One mouse event at a screen position, not waited for.
void SendMouse(DWORD flags, POINT p) {
    // Normalised coordinates, rounded up so that the system's scaling back lands on the pixel itself.
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) in.mi.dx = (p.x * 65536 + w - 1) / w, in.mi.dy = (p.y * 65536 + h - 1) / h;
    SendInput(1, &in, sizeof in);
}

// From another thread: waits up to 5 s for a condition.
void Await(const std::function<bool()>& cond) {
    for (int i = 0; i < 500 && !cond(); ++i) Sleep(10);
}

}  // namespace

void PanelTest::BringToFront() {
    SetForegroundWindow(panel.hwnd());
    PumpUntil([&] { return GetForegroundWindow() == panel.hwnd() && GetActiveWindow() == panel.hwnd(); }, 5000);
}

void PanelTest::MouseTo(POINT screen) {
    WatchMouse();
    POINT now{};
    GetCursorPos(&now);
    if (now.x == screen.x && now.y == screen.y) return;  // no move, no message to wait for
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    auto move = [&] { SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen); };
    // Over another program's window (the desktop, the taskbar) no message comes to this thread: the cursor's own
    // position is all there is.
    POINT clamped{std::min<LONG>(std::max<LONG>(screen.x, 0), w - 1), std::min<LONG>(std::max<LONG>(screen.y, 0), h - 1)};
    HWND under = WindowFromPoint(clamped);
    const bool ours = under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId();
    // Normalised coordinates can land a pixel off.
    auto here = [&](POINT p) { return std::abs(p.x - screen.x) <= 1 && std::abs(p.y - screen.y) <= 1; };
    if (!ours) {
        move();
        PumpUntil([&] {
            POINT at{};
            GetCursorPos(&at);
            return std::abs(at.x - clamped.x) <= 1 && std::abs(at.y - clamped.y) <= 1;
        }, 5000);
        return;
    }
    // Wine moves the X pointer too, and the X server's echo of an earlier move can come after this one on a busy
    // machine, taking the mouse back where it was: wait until the moves stop, and move again if the last one missed.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const unsigned before = g_seen.moves;
        move();
        PumpUntil([&] { return g_seen.moves != before && here(g_seen.lastMove); }, 5000);
        unsigned seen = g_seen.moves;
        DWORD quietSince = GetTickCount();
        PumpUntil([&] {
            if (g_seen.moves != seen) seen = g_seen.moves, quietSince = GetTickCount();
            return GetTickCount() - quietSince > 150;
        }, 3000);
        if (here(g_seen.lastMove)) return;
    }
}

void PanelTest::Drag(POINT from, POINT to, const std::function<bool(const GUITHREADINFO&)>& held,
                     std::function<bool()> moved) {
    MouseTo(from);
    // A loop of the system's (moving, sizing, a scroll bar's tracking) starts when this thread takes the press and
    // gives up at once if the button is already up by then; so the move and the release come from another thread,
    // each once the loop has taken what came before (a busy machine delays both by a second or more).
    SendMouse(MOUSEEVENTF_LEFTDOWN, {});
    const DWORD uiThread = GetCurrentThreadId();
    auto gui = [uiThread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(uiThread, &info);
        return info;
    };
    HWND window = panel.hwnd();
    std::atomic<bool> finished{false};
    std::thread rest([&] {
        Await([&] { return held ? held(gui()) : (gui().flags & GUI_INMOVESIZE) != 0; });
        const RECT before = OnScreen(window);
        if (!moved) moved = [&] {
            const RECT now = OnScreen(window);
            return !EqualRect(&now, &before);
        };
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, to);
        Await(moved);
        SendMouse(MOUSEEVENTF_LEFTUP, {});
        // Should the release go astray, the loop must still end.
        Await([&] { return !gui().hwndCapture; });
        if (HWND captured = gui().hwndCapture) PostMessageA(captured, WM_LBUTTONUP, 0, 0);
        finished = true;
    });
    PumpUntil([&] { return finished.load() && !(GetKeyState(VK_LBUTTON) & 0x8000); }, 15000);
    rest.join();
    Pump();
}

void PanelTest::MouseButton(bool down) {
    WatchMouse();
    const unsigned before = down ? g_seen.presses : g_seen.releases;
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, {});
    PumpUntil([&] { return (down ? g_seen.presses : g_seen.releases) != before; }, 5000);
}

void PanelTest::Key(WORD vk) {
    // The low bit of a key's state flips with every press: it tells when this thread has taken the key.
    const SHORT before = GetKeyState(vk) & 1;
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    PumpUntil([&] { return (GetKeyState(vk) & 1) != before && !(GetKeyState(vk) & 0x8000); }, 5000);
}

bool PanelTest::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return kktest::PumpUntil(done, timeoutMs, panel.hwnd(), MainLoopFilter());
}

namespace {

std::vector<DialogStep> g_steps;
size_t g_next = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
    if (g_next >= g_steps.size()) return;
    // The dialog of that class that takes input now (one under another is disabled).
    const char* cls = g_steps[g_next].windowClass;
    for (HWND w = FindWindowA(cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr))
        if (IsWindowVisible(w) && IsWindowEnabled(w)) return g_steps[g_next++].act(w);
}

}  // namespace

bool PanelTest::Drive(std::vector<Step> steps, const std::function<void()>& open) {
    g_steps = std::move(steps);
    g_next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, RunStep);
    open();
    const bool done = PumpUntil([] { return g_next == g_steps.size(); }, 10000);
    Pump();
    KillTimer(nullptr, timer);
    return done;
}

HWND PanelTest::RowControl(kk::RowFamily family, int toolId) const {
    return GetDlgItem(panel.View(), kk::RowControlId(family, toolId));
}

RECT PanelTest::OnSurface(HWND control) const {
    RECT r = OnScreen(control);
    MapWindowPoints(nullptr, panel.View(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void PanelTest::AddPlugin(const std::string& key, const std::string& caption, const std::string& link) {
    const std::string path = kk::JoinKey(kk::kPluginsKey, key);
    kk::SetString(HKEY_LOCAL_MACHINE, path, "Caption", caption);
    kk::SetString(HKEY_LOCAL_MACHINE, path, "Description", caption + " does one useful thing.");
    if (!link.empty()) {
        kk::SetString(HKEY_LOCAL_MACHINE, path, "LinkCaption", link);
        kk::SetString(HKEY_LOCAL_MACHINE, path, "LinkAction", "plugin.exe");
    }
}

}  // namespace kktest
