#include "panel/panel_fixture.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "support/message_pump.h"
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

void PanelTest::Pump() { kktest::Pump(); }

bool PanelTest::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return kktest::PumpUntil(done, timeoutMs);
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
