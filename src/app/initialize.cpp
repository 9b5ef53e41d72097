#include "app/initialize.h"

#include "app/command_line.h"
#include "app/modes.h"
#include "app/placement.h"
#include "app/startup_checks.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "panel/control_ids.h"
#include "panel/window_hook.h"
#include "services/pending_messages.h"
#include "services/system_calls.h"
#include "services/update_check.h"
#include "services/wait_cursor.h"

#include <commctrl.h>

#include <memory>

namespace kk {
namespace {

// The first MaximizeTimer tick, after the window has been shown once.
void OnFirstTick(ControlPanel& panel) {
    if (panel.uninstallMode) {
        panel.ShowUninstallView();
        RunUninstall(panel);
        // The process ends with the window; nothing is saved, the placement included.
        DestroyWindow(panel.hwnd());
        return;
    }
    if (DllUpgradePending()) RunDllUpgrade(panel);
}

}  // namespace

void InitCommonControlClasses() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_USEREX_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                             ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

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
    panel.uninstallMode = WantsUninstall(context.commandLine);
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

    // Before anything is claimed or written: the shell would not read it.
    if (HandOverTo64BitPanel(context.commandLine, panel.uninstallMode)) return false;

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

    HWND logo = panel.Control(kIdLogo);
    RECT logoRect{};
    GetWindowRect(logo, &logoRect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&logoRect), 2);
    SetWindowPos(logo, nullptr, 0, logoRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    auto wait = std::make_unique<WaitCursor>();
    const int width = 440, height = 300;
    SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    panel.changesApplied = false;
    RestorePlacement(panel);
    panel.style().ShareHandCursor();
    if (!panel.onRefreshWorkArea) panel.onRefreshWorkArea = ComputeWorkArea;
    HookMeUp_ControlPanel(panel, true);
    panel.ApplySystemFonts(IsVista(), ThemeActive());

    // The list is built out of sight and shown once, complete.
    ShowWindow(panel.View(), SW_HIDE);
    panel.BuildList();
    PumpPendingMessages();
    ShowWindow(panel.View(), SW_SHOW);
    wait.reset();
    panel.loading = false;
    if (!panel.onFirstTick) panel.onFirstTick = OnFirstTick;
    if (!panel.onCancel) {
        // Cancel keeps the placement for the next start; the panel has
        // already asked about unapplied changes.
        panel.onCancel = SavePlacement;
    }
    panel.StartMaximizeTimer();
    return true;
}

}  // namespace kk
