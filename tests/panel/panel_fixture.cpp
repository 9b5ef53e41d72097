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

bool PanelTest::Start(const std::string& commandLine) {
    if (!panel.Create(GetModuleHandleA(nullptr))) return false;
    kk::StartupContext context{panel, claim, dde, commandLine};
    if (!kk::Initialize(context)) return false;
    ShowWindow(panel.hwnd(), SW_SHOW);
    UpdateWindow(panel.hwnd());
    Pump();
    return true;
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

// The last mouse message this thread took from its queue, seen by a mouse
// hook: injected input reaches the queue late on a busy machine (a second
// or more), and only its arrival tells that the window has handled it.
struct SeenMouse {
    unsigned moves = 0, presses = 0, releases = 0;
    POINT lastMove{};
} g_seen;

LRESULT CALLBACK SeeMouse(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const auto* m = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lp);
        switch (wp) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            ++g_seen.moves;
            g_seen.lastMove = m->pt;
            break;
        case WM_LBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            ++g_seen.presses;
            break;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            ++g_seen.releases;
            break;
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void WatchMouse() {
    static HHOOK hook = SetWindowsHookExA(WH_MOUSE, SeeMouse, nullptr, GetCurrentThreadId());
    (void)hook;
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
    // Normalised coordinates, rounded up so that the system's scaling back
    // lands on the pixel itself.
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (screen.x * 65536 + w - 1) / w;
    in.mi.dy = (screen.y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // Over another program's window (the desktop, the taskbar) no message
    // comes to this thread: the cursor's own position is all there is.
    POINT clamped{std::min<LONG>(std::max<LONG>(screen.x, 0), w - 1), std::min<LONG>(std::max<LONG>(screen.y, 0), h - 1)};
    HWND under = WindowFromPoint(clamped);
    const bool ours = under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId();
    // Normalised coordinates can land a pixel off.
    auto here = [&](POINT p) { return std::abs(p.x - screen.x) <= 1 && std::abs(p.y - screen.y) <= 1; };
    if (!ours) {
        SendInput(1, &in, sizeof in);
        PumpUntil([&] {
            POINT at{};
            GetCursorPos(&at);
            return std::abs(at.x - clamped.x) <= 1 && std::abs(at.y - clamped.y) <= 1;
        }, 5000);
        return;
    }
    // Wine moves the X pointer too, and the X server's echo of an earlier
    // move can come after this one on a busy machine, taking the mouse back
    // where it was: wait until the moves stop, and move again if the last
    // one was not here.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const unsigned before = g_seen.moves;
        SendInput(1, &in, sizeof in);
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

void PanelTest::Drag(POINT from, POINT to) {
    MouseTo(from);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    auto send = [](DWORD flags, LONG dx, LONG dy) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        in.mi.dx = dx;
        in.mi.dy = dy;
        SendInput(1, &in, sizeof in);
    };
    // The system's size loop starts when this thread takes the press and
    // gives up at once if the button is already up by then; so the move and
    // the release come from another thread, each once the loop has taken
    // what came before (a busy machine delays both by a second or more).
    send(MOUSEEVENTF_LEFTDOWN, 0, 0);
    const DWORD uiThread = GetCurrentThreadId();
    HWND window = panel.hwnd();
    std::atomic<bool> finished{false};
    std::thread rest([&] {
        auto await = [](const std::function<bool()>& cond) {
            for (int i = 0; i < 500 && !cond(); ++i) Sleep(10);
        };
        await([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(uiThread, &info) && (info.flags & GUI_INMOVESIZE);
        });
        RECT before{};
        GetWindowRect(window, &before);
        send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (to.x * 65536 + w - 1) / w, (to.y * 65536 + h - 1) / h);
        await([&] {
            RECT now{};
            GetWindowRect(window, &now);
            return !EqualRect(&now, &before);
        });
        send(MOUSEEVENTF_LEFTUP, 0, 0);
        finished = true;
    });
    PumpUntil([&] { return finished.load() && !(GetKeyState(VK_LBUTTON) & 0x8000); }, 15000);
    rest.join();
    Pump();
}

void PanelTest::MouseButton(bool down) {
    WatchMouse();
    const unsigned before = down ? g_seen.presses : g_seen.releases;
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    PumpUntil([&] { return (down ? g_seen.presses : g_seen.releases) != before; }, 5000);
}

void PanelTest::Key(WORD vk) {
    // The low bit of a key's state flips with every press: it tells when
    // this thread has taken the key.
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

HWND PanelTest::RowControl(kk::RowFamily family, int toolId) const {
    return GetDlgItem(panel.View(), kk::RowControlId(family, toolId));
}

RECT PanelTest::OnSurface(HWND control) const {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, panel.View(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT PanelTest::OnScreen(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return r;
}

std::string PanelTest::Text(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::vector<char> buffer(length + 1);
    GetWindowTextA(hwnd, buffer.data(), length + 1);
    return buffer.data();
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
