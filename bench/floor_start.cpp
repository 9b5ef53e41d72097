// The floor of the start-up benchmark: a bare program that creates the
// panel's window tree (as recorded by the runner) with standard controls,
// shows it, and reports when everything is painted.
#include "bench_report.h"
#include "floor_windows.h"

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* path = std::getenv("KK_BENCH_WINDOWS");
    std::vector<kkbench::WindowRecord> records;
    SIZE size{};
    if (!path || !kkbench::LoadRecords(path, records, size)) return 1;
    std::vector<HWND> windows;
    HWND top = kkbench::CreateFloor(records, size, windows);
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    // Painted once nothing is left to handle.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    kkbench::WriteReport(kkbench::Now());
    DestroyWindow(top);
    return 0;
}
