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
#include "console_status.h"
#include "engine/suite.h"
#include "floor_windows.h"
#include "engine/footprint.h"
#include "engine/registry.h"
#include "page_open.h"
#include "panel/control_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace kkbench;

namespace {

const SIZE kStartSize{440, 300};
const SIZE kRelayoutA{640, 480}, kRelayoutB{520, 480};
const int kStartRounds = 9, kRelayoutRounds = 21, kDialogRounds = 9, kScaleRounds = 5, kStatusRounds = 9;

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
    if (goal > 0 && (panel <= 0 || floor <= 0)) std::printf("   goal <= %.1fx: NOT MEASURED", goal);
    else if (goal > 0) std::printf("   goal <= %.1fx: %s", goal, ratio <= goal ? "met" : "MISSED");
    std::printf("\n");
}


// Installs `count` simple plugins (a caption and a two-line description),
// replacing any earlier ones.
void InstallPlugins(int count) {
    kk::DeleteKey(HKEY_LOCAL_MACHINE, kk::kPluginsKey);
    for (int i = 0; i < count; ++i) {
        const std::string key = kk::JoinKey(kk::kPluginsKey, "Bench Plugin " + std::to_string(1000 + i));
        kk::SetString(HKEY_LOCAL_MACHINE, key, "Type", "2");
        kk::SetString(HKEY_LOCAL_MACHINE, key, "Caption", "Plugin number " + std::to_string(i));
        kk::SetString(HKEY_LOCAL_MACHINE, key, "Description",
                      "A plugin of the benchmark, one of many.\r\nIts description takes a second line.");
    }
}

// With `plugins` installed: records the panel's windows for the floor, then
// starts the panel and the floor alternately, `rounds` times each after
// one untimed start of each.
bool MeasureStarts(int plugins, int rounds, const std::string& recordsPath, const std::string& reportPath,
                   StartFigures& panel, StartFigures& floor, size_t& windowCount) {
    InstallPlugins(plugins);
    if (!RecordPanelWindows(recordsPath, windowCount)) return false;
    Pump();
    const std::string folder = kk::ModuleFolder();
    const std::string panelExe = folder + "bench_panel.exe", floorExe = folder + "bench_floor.exe";
    RunOnce(panelExe, reportPath, panel);
    RunOnce(floorExe, reportPath, floor);
    panel = floor = StartFigures();
    bool ok = true;
    for (int i = 0; i < rounds; ++i) {
        ok &= RunOnce(panelExe, reportPath, panel);
        ok &= RunOnce(floorExe, reportPath, floor);
    }
    if (!ok) std::printf("warning: some starts did not report; the figures use the rest\n");
    return true;
}

// Start-up with many plugins, and the cost of one plugin row at 300
// beside its cost at 100.
void TimePluginScale(const std::string& recordsPath, const std::string& reportPath, double panelNone) {
    double panelAt[2] = {0, 0};
    const int counts[2] = {100, 300};
    for (int i = 0; i < 2; ++i) {
        StartFigures panel, floor;
        size_t windows = 0;
        if (!MeasureStarts(counts[i], kScaleRounds, recordsPath, reportPath, panel, floor, windows)) {
            std::printf("The panel did not start with %d plugins\n", counts[i]);
            return;
        }
        panelAt[i] = Median(panel.ms);
        const std::string what = "start with " + std::to_string(counts[i]) + " plugins";
        Row(what.c_str(), panelAt[i], Median(floor.ms), "ms", counts[i] == 300 ? 1.5 : 0);
    }
    InstallPlugins(0);
    Row("ms per plugin row, 300 beside 100", (panelAt[1] - panelNone) / counts[1],
        (panelAt[0] - panelNone) / counts[0], "ms", 1.3);
}

// What the list pages fill from: 500 stored hotkeys and all 24 details.
void StoreListPageData() {
    static const char kCodes[] = "123567";
    for (int i = 0; i < 500; ++i)
        kk::SetString(HKEY_CURRENT_USER, kk::kHotkeysKey, std::string(1, kCodes[i % 6]) + "K" + std::to_string(i),
                      "\"Hotkey text " + std::to_string(i) + "\"");
    static const char* const kDetails[] = {
        "File Size", "File Size (exact)", "File Date", "File Type", "File Attributes", "Folder Path",
        "MP3 Artist", "MP3 Title", "MP3 Album", "MP3 Track", "MP3 Year", "MP3 Genre",
        "MP3 Duration", "MP3 Bit Rate", "JPG Date Taken", "JPG Width", "JPG Height", "JPG Camera",
        "JPG Photographer", "JPG Focal Length", "JPG F-Stop", "JPG Shutter Speed", "JPG ISO Speed",
        "JPG Metering Mode"};
    int n = 0;
    for (const char* name : kDetails) kk::SetString(HKEY_CURRENT_USER, kk::kDetailsKey, std::to_string(++n), name);
    kk::SetString(HKEY_CURRENT_USER, kk::kDetailsKey, "", std::to_string(n));
}

struct ClassSearch {
    const char* cls;
    HWND found;
};

// A named callback: a lambda has no stdcall form for the 32-bit build.
BOOL CALLBACK TakeChildOfClass(HWND child, LPARAM lp) {
    auto* s = reinterpret_cast<ClassSearch*>(lp);
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, s->cls) != 0) return TRUE;
    s->found = child;
    return FALSE;
}

HWND FindChildOfClass(HWND parent, const char* className) {
    ClassSearch search{className, nullptr};
    EnumChildWindows(parent, TakeChildOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Drags the first row of the details list five rows down with posted mouse
// messages, as the mouse would, and counts the list's paints; beside it the
// paints of one plain invalidation of the same list.
void CountReorderPaints(HWND dialog, int& reorder, int& plain) {
    HWND list = FindChildOfClass(dialog, "SysListView32");
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (!list || !SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) return;
    const int x = (row.left + row.right) / 2, height = row.bottom - row.top, y = row.top + height / 2;
    reorder = CountPaints(list, [&] {
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y + 5 * height));
        PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y + 5 * height));
    });
    plain = CountPaints(list, [&] { InvalidateRect(list, nullptr, TRUE); });
}

// The same windows as the dialog, made by a bare program, to their first
// complete paint; its lists hold as many rows as the page's, so they show
// the same scroll bars.
std::vector<double> TimeFloorDialog(const std::vector<WindowRecord>& records, SIZE outer, int rounds) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        std::vector<HWND> windows;
        const int64_t start = Now();
        HWND top = CreateFloor(records, outer, windows);
        ShowWindow(top, SW_SHOW);
        UpdateWindow(top);
        Pump();
        ms.push_back(Milliseconds(Now() - start));
        DestroyWindow(top);
        Pump();
    }
    return ms;
}

void TimeListPages() {
    StoreListPageData();
    InProcessPanel p;
    if (!p.Start()) {
        std::printf("The panel did not start for the list pages\n");
        return;
    }
    const struct {
        int toolId;
        const char* name;
    } kPages[] = {{104, "the details page"}, {130, "the Autoplay page"}, {142, "the Places Bar page"},
                  {145, "the Alt-Tab page"}, {150, "the hotkeys page (500)"}};
    std::printf("opening the settings dialog on a page, beside the menu speed page (goal) and beside a bare\n"
                "program making the same windows (lists as long), each opened in turn with the page:\n");
    for (const auto& page : kPages) {
        std::vector<WindowRecord> records;
        SIZE outer{};
        const std::function<void(HWND)> record = [&](HWND dialog) {
            records = RecordTree(dialog, -1);
            RECT r{};
            GetWindowRect(dialog, &r);
            outer = {r.right - r.left, r.bottom - r.top};
        };
        // In turns, so that a change in the machine's load moves both sides alike.
        std::vector<double> opened, menuSpeed, bare;
        for (int i = 0; i < kDialogRounds; ++i) {
            for (double ms : TimeSettingsDialog(p.panel, 123, 1)) menuSpeed.push_back(ms);
            for (double ms : TimeSettingsDialog(p.panel, page.toolId, 1, i == 0 ? record : std::function<void(HWND)>())) opened.push_back(ms);
            for (double ms : TimeFloorDialog(records, outer, 1)) bare.push_back(ms);
        }
        Row((std::string("open ") + page.name).c_str(), Median(opened), Median(menuSpeed), "ms", 1.5);
        Row("  the same windows, bare", Median(opened), Median(bare), "ms", 0);
    }
    int reorder = 0, plain = 0;
    TimeSettingsDialog(p.panel, 104, 1, [&](HWND dialog) { CountReorderPaints(dialog, reorder, plain); });
    Row("list paints for one drag reorder", reorder, plain, "", 1.0);
    std::printf("(%d openings of each; the reorder beside one plain repaint)\n", kDialogRounds);
}

void TimeStatus() {
    double status = 0, floor = 0;
    if (!kk::FileExists(kk::ModuleFolder() + "kkctl.exe")) {
        std::printf("kkctl status: not measured, kkctl.exe is not beside the runner\n");
        return;
    }
    if (!TimeConsoleStatus(kStatusRounds, status, floor)) std::printf("kkctl status: some runs failed\n");
    Row("kkctl status, beside a bare program", status, floor, "ms", 1.5);
    std::printf("(%d runs of each, alternating; the bare program opens the same registry keys)\n", kStatusRounds);
}

}  // namespace

int main(int argc, char** argv) {
    kk::InitCommonControlClasses();
    // "kkctl": only the console program's figure.
    if (argc > 1 && std::string(argv[1]) == "kkctl") {
        TimeStatus();
        return 0;
    }
    // "pages": only the list pages' figures, for work on one page.
    if (argc > 1 && std::string(argv[1]) == "pages") {
        TimeListPages();
        return 0;
    }
    const std::string folder = kk::ModuleFolder();
    const std::string recordsPath = folder + "bench_windows.txt";
    const std::string reportPath = folder + "bench_report.txt";
    SetEnvironmentVariableA("KK_BENCH_WINDOWS", recordsPath.c_str());
    SetEnvironmentVariableA(kReportVariable, reportPath.c_str());

    size_t windowCount = 0;
    StartFigures panelStart, floorStart;
    if (!MeasureStarts(0, kStartRounds, recordsPath, reportPath, panelStart, floorStart, windowCount)) {
        std::printf("The panel did not start here: is InstallPath this folder (%s)?\n", folder.c_str());
        return 1;
    }

    const std::vector<double> panelRelayout = TimePanelRelayouts();
    const std::vector<double> floorRelayout = TimeFloorRelayouts(recordsPath);

    std::printf("Kestrelkit Control Panel benchmarks, %d-bit build (medians; %zu windows under the main window)\n",
                static_cast<int>(sizeof(void*) * 8), windowCount);
    std::printf("%-34s %13s %13s %7s\n", "", "panel", "floor", "ratio");
    Row("start to first paint of the list", Median(panelStart.ms), Median(floorStart.ms), "ms", 1.2);
    Row("one relayout of the whole list", Median(panelRelayout), Median(floorRelayout), "ms", 2.0);
    Row("peak working set", Median(panelStart.peakMb), Median(floorStart.peakMb), "MB", 1.2);
    std::printf("(%d starts of each, alternating; %d relayouts of each between %ldx%ld and %ldx%ld)\n",
                static_cast<int>(panelStart.ms.size()), static_cast<int>(panelRelayout.size()), kRelayoutA.cx,
                kRelayoutA.cy, kRelayoutB.cx, kRelayoutB.cy);
    TimePluginScale(recordsPath, reportPath, Median(panelStart.ms));
    TimeStatus();
    TimeListPages();
    return 0;
}
