#include "bench_report.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>

namespace kkbench {

int64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Milliseconds(int64_t ticks) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return ticks * 1000.0 / static_cast<double>(f.QuadPart);
}

size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

bool WriteReport(int64_t firstPaint) {
    const char* path = std::getenv(kReportVariable);
    if (!path || !*path) return false;
    FILE* f = std::fopen(path, "w");
    if (!f) return false;
    std::fprintf(f, "%lld %llu\n", static_cast<long long>(firstPaint),
                 static_cast<unsigned long long>(PeakWorkingSet()));
    std::fclose(f);
    return true;
}

bool ReadReport(const std::string& path, Report& out) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    long long paint = 0;
    unsigned long long peak = 0;
    const bool ok = std::fscanf(f, "%lld %llu", &paint, &peak) == 2;
    std::fclose(f);
    out.firstPaint = paint;
    out.peakWorkingSet = static_cast<size_t>(peak);
    return ok;
}

}  // namespace kkbench
