// What a started benchmark program tells the runner: the moment of its
// first paint on the shared performance counter and its peak working set.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace kkbench {

inline constexpr char kReportVariable[] = "KK_BENCH_REPORT";

int64_t Now();  // QueryPerformanceCounter
double Milliseconds(int64_t ticks);
size_t PeakWorkingSet();

// Writes "<first paint ticks> <peak working set>" to the file the runner
// named in KK_BENCH_REPORT; false when there is none.
bool WriteReport(int64_t firstPaint);

struct Report {
    int64_t firstPaint = 0;
    size_t peakWorkingSet = 0;
};
bool ReadReport(const std::string& path, Report& out);

}  // namespace kkbench
