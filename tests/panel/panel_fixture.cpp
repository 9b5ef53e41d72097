#include "panel/panel_fixture.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "support/test_env.h"

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

void PanelTest::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (panel.hwnd() && panel.PreTranslate(msg)) continue;
        if (panel.hwnd() && IsDialogMessageA(panel.hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PanelTest::MouseTo(POINT screen) {
    // Normalised coordinates; the nearest one may land a pixel off, so
    // step until the cursor is where it was sent.
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    LONG dx = MulDiv(screen.x, 65536, w), dy = MulDiv(screen.y, 65536, h);
    for (int attempt = 0; attempt < 4; ++attempt) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = dx;
        in.mi.dy = dy;
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof in);
        Pump();
        POINT at{};
        GetCursorPos(&at);
        if (at.x == screen.x && at.y == screen.y) return;
        dx += (screen.x - at.x) * 65536 / w + (screen.x > at.x) - (screen.x < at.x);
        dy += (screen.y - at.y) * 65536 / h + (screen.y > at.y) - (screen.y < at.y);
    }
}

void PanelTest::Drag(POINT from, POINT to) {
    MouseTo(from);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3]{};
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dx = MulDiv(to.x, 65536, w) + 1;
    in[1].mi.dy = MulDiv(to.y, 65536, h) + 1;
    in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof in[0]);
    Pump();
}

void PanelTest::MouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    Pump();
}

void PanelTest::Key(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Pump();
}

bool PanelTest::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD until = GetTickCount() + timeoutMs;
    for (;;) {
        Pump();
        if (done()) return true;
        if (static_cast<LONG>(GetTickCount() - until) > 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
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
