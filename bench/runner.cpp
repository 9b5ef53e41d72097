// Runs the panel's benchmarks under Wine and prints each figure beside a
// floor measured in the same run, as a ratio:
//   start-up: process start to the first complete paint of the built list,
//     against a bare program that creates the same windows and texts;
//   relayout: one relayout of the whole list, against the same bare windows
//     moved and resized to the same places;
//   memory: the panel's peak working set, against the bare program's.
// Expects bench_panel.exe and bench_floor.exe beside it, in the folder
// named by the machine's InstallPath.
#include "app/initialize.h"
#include "bench_report.h"
#include "engine/suite.h"
#include "floor_windows.h"
#include "panel/control_ids.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace kkbench;

namespace {

const SIZE kStartSize{440, 300};
const SIZE kRelayoutA{640, 480}, kRelayoutB{520, 480};
const int kStartRounds = 9, kRelayoutRounds = 21;

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A panel in this process, started as the program starts it.
class InProcessPanel {
public:
    bool Start() {
        if (!panel.Create(GetModuleHandleA(nullptr))) return false;
        kk::StartupContext context{panel, claim, dde, ""};
        if (!kk::Initialize(context)) return false;
        ShowWindow(panel.hwnd(), SW_SHOW);
        UpdateWindow(panel.hwnd());
        Pump();
        return true;
    }
    void Resize(SIZE size) {
        SetWindowPos(panel.hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        UpdateWindow(panel.hwnd());
    }
    kk::ControlPanel panel;
    kk::InstanceClaim claim;
    kk::RestoreServer dde;
};

bool RecordPanelWindows(const std::string& path, size_t& count) {
    InProcessPanel p;
    if (!p.Start()) return false;
    std::vector<WindowRecord> records = RecordTree(p.panel.hwnd(), kk::kIdView);
    p.Resize(kRelayoutA);
    p.panel.Relayout();
    RecordPlaces(p.panel.hwnd(), records, &WindowRecord::a);
    p.Resize(kRelayoutB);
    p.panel.Relayout();
    RecordPlaces(p.panel.hwnd(), records, &WindowRecord::b);
    count = records.size();
    return SaveRecords(path, records, kStartSize);
}

struct StartFigures {
    std::vector<double> ms;
    std::vector<double> peakMb;
};

// Starts program, waits for it to end and reads what it reported.
bool RunOnce(const std::string& program, const std::string& reportPath, StartFigures& into) {
    DeleteFileA(reportPath.c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + program + "\"";
    const int64_t started = Now();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    const bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Report report;
    if (!ended || !ReadReport(reportPath, report)) return false;
    into.ms.push_back(Milliseconds(report.firstPaint - started));
    into.peakMb.push_back(report.peakWorkingSet / (1024.0 * 1024.0));
    return true;
}

std::vector<double> TimePanelRelayouts() {
    std::vector<double> ms;
    InProcessPanel p;
    if (!p.Start()) return ms;
    p.Resize(kRelayoutA);
    p.panel.Relayout();
    UpdateWindow(p.panel.hwnd());
    for (int i = 0; i < kRelayoutRounds; ++i) {
        p.Resize(i % 2 ? kRelayoutA : kRelayoutB);  // the chrome moves; the list waits for its pause
        const int64_t t = Now();
        p.panel.Relayout();
        UpdateWindow(p.panel.hwnd());
        ms.push_back(Milliseconds(Now() - t));
    }
    return ms;
}

std::vector<double> TimeFloorRelayouts(const std::string& recordsPath) {
    std::vector<double> ms;
    std::vector<WindowRecord> records;
    SIZE size{};
    if (!LoadRecords(recordsPath, records, size)) return ms;
    std::vector<HWND> windows;
    HWND top = CreateFloor(records, kRelayoutA, windows);
    ShowWindow(top, SW_SHOW);
    MoveFloor(records, windows, &WindowRecord::a);
    UpdateWindow(top);
    Pump();
    for (int i = 0; i < kRelayoutRounds; ++i) {
        const int64_t t = Now();
        MoveFloor(records, windows, i % 2 ? &WindowRecord::a : &WindowRecord::b);
        UpdateWindow(top);
        ms.push_back(Milliseconds(Now() - t));
    }
    DestroyWindow(top);
    Pump();
    return ms;
}

void Row(const char* what, double panel, double floor, const char* unit, double goal) {
    const double ratio = floor > 0 ? panel / floor : 0;
    std::printf("%-34s %9.1f %-3s %9.1f %-3s %6.2fx", what, panel, unit, floor, unit, ratio);
    if (goal > 0) std::printf("   goal <= %.1fx: %s", goal, ratio <= goal ? "met" : "MISSED");
    std::printf("\n");
}

}  // namespace

int main() {
    const std::string folder = kk::ModuleFolder();
    const std::string recordsPath = folder + "bench_windows.txt";
    const std::string reportPath = folder + "bench_report.txt";
    SetEnvironmentVariableA("KK_BENCH_WINDOWS", recordsPath.c_str());
    SetEnvironmentVariableA(kReportVariable, reportPath.c_str());

    size_t windowCount = 0;
    if (!RecordPanelWindows(recordsPath, windowCount)) {
        std::printf("The panel did not start here: is InstallPath this folder (%s)?\n", folder.c_str());
        return 1;
    }
    Pump();

    StartFigures panelStart, floorStart;
    const std::string panelExe = folder + "bench_panel.exe", floorExe = folder + "bench_floor.exe";
    // One untimed start of each warms the caches and Wine's desktop.
    RunOnce(panelExe, reportPath, panelStart);
    RunOnce(floorExe, reportPath, floorStart);
    panelStart = floorStart = StartFigures();
    bool ok = true;
    for (int i = 0; i < kStartRounds; ++i) {
        ok &= RunOnce(panelExe, reportPath, panelStart);
        ok &= RunOnce(floorExe, reportPath, floorStart);
    }
    if (!ok) std::printf("warning: some starts did not report; the figures use the rest\n");

    const std::vector<double> panelRelayout = TimePanelRelayouts();
    const std::vector<double> floorRelayout = TimeFloorRelayouts(recordsPath);

    std::printf("Kestrelkit Control Panel benchmarks (medians; %zu windows under the main window)\n", windowCount);
    std::printf("%-34s %13s %13s %7s\n", "", "panel", "floor", "ratio");
    Row("start to first paint of the list", Median(panelStart.ms), Median(floorStart.ms), "ms", 1.5);
    Row("one relayout of the whole list", Median(panelRelayout), Median(floorRelayout), "ms", 2.0);
    Row("peak working set", Median(panelStart.peakMb), Median(floorStart.peakMb), "MB", 0);
    std::printf("(%d starts of each, alternating; %d relayouts of each between %ldx%ld and %ldx%ld)\n",
                static_cast<int>(panelStart.ms.size()), static_cast<int>(panelRelayout.size()), kRelayoutA.cx,
                kRelayoutA.cy, kRelayoutB.cx, kRelayoutB.cy);
    return 0;
}
