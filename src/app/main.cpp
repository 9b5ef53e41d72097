// Entry of Control Panel.exe.
#include "app/command_line.h"
#include "app/initialize.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    kk::InitCommonControlClasses();

    kk::ControlPanel panel;
    if (!panel.Create(instance)) return 1;
    kk::InstanceClaim claim;
    kk::RestoreServer ddeServer;
    kk::StartupContext context{panel, claim, ddeServer, kk::CommandLineTail(GetCommandLineA())};
    if (!kk::Initialize(context)) return 0;

    ShowWindow(panel.hwnd(), SW_SHOW);
    UpdateWindow(panel.hwnd());

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // The window sees F1 before whichever control has the focus.
        if (panel.PreTranslate(msg)) continue;
        if (IsDialogMessageA(panel.hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
