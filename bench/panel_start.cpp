// The panel started as Control Panel.exe starts it (src/app/main.cpp). Once
// its built list has been painted and nothing is left to handle, it reports
// the moment and ends.
#include "app/command_line.h"
#include "app/initialize.h"
#include "bench_report.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    kk::InitCommonControlClasses();

    kk::ControlPanel panel;
    if (!panel.Create(instance)) return 1;
    bool listPainted = false;
    panel.onListPainted = [&](kk::ControlPanel&) { listPainted = true; };
    kk::InstanceClaim claim;
    kk::RestoreServer ddeServer;
    kk::StartupContext context{panel, claim, ddeServer, kk::CommandLineTail(GetCommandLineA())};
    if (!kk::Initialize(context)) return 2;

    ShowWindow(panel.hwnd(), SW_SHOW);
    UpdateWindow(panel.hwnd());

    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsDialogMessageA(panel.hwnd(), &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (listPainted) break;
        WaitMessage();
    }
    kkbench::WriteReport(kkbench::Now());
    return 0;
}
