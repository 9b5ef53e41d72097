#include "app/initialize.h"

#include "app/command_line.h"
#include "app/placement.h"
#include "app/startup_checks.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "panel/control_ids.h"
#include "services/system_calls.h"
#include "services/update_check.h"
#include "services/wait_cursor.h"

#include <memory>

namespace kk {

bool Initialize(StartupContext& context) {
    ControlPanel& panel = context.panel;
    HWND hwnd = panel.hwnd();

    HDC screen = GetDC(nullptr);
    panel.pixelScaleX = 1440 / GetDeviceCaps(screen, LOGPIXELSX);
    panel.pixelScaleY = 1440 / GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    RECT outer, client;
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &client);
    panel.borderWidth = ((outer.right - outer.left) - client.right) / 2;
    ComputeWorkArea(panel);

    panel.commandLine = context.commandLine;
    switch (ModeFromCommandLine(context.commandLine)) {
    case StartMode::AutomaticUpdateCheck:
        CheckForUpdate(true, false);
        return false;
    case StartMode::UpdateCheckFromHelp:
        CheckForUpdate(false, true);
        return false;
    case StartMode::Panel:
        break;
    }

    SetWindowTextA(hwnd, kAppTitle);

    if (!context.claim.Claim()) {
        HandOverToRunningInstance(hwnd);
        return false;
    }

    std::string folder = CheckSystemAndInstallation(ModulePath());
    if (folder.empty()) return false;
    SetInstallPath(folder);
    context.ddeServer.Start(hwnd);
    SetMessageOwner(hwnd);

    panel.loading = true;
    // The taskbar button offers the system menu although the window has no caption.
    SetWindowLongPtrA(hwnd, GWL_STYLE, GetWindowLongPtrA(hwnd, GWL_STYLE) | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU);
    RemoveStaleAppletRegistration();
    if (LowColourDisplay()) panel.focusBarColour = RGB(192, 192, 192);

    auto wait = std::make_unique<WaitCursor>();
    const int width = 440, height = 300;
    SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    panel.changesApplied = false;
    RestorePlacement(panel);
    panel.ApplySystemFonts(IsVista(), ThemeActive());
    wait.reset();
    panel.loading = false;
    panel.StartMaximizeTimer();
    return true;
}

}  // namespace kk
