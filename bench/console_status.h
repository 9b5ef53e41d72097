// `kkctl status` as a script starts it, beside a bare console program that
// opens the same registry keys (every key the footprints, the suite and
// the plugins name) and prints their values: process start to end.
#pragma once

namespace kkbench {

// The medians of `rounds` alternating runs of each, after one untimed run
// of each; false when either program is missing or fails.
bool TimeConsoleStatus(int rounds, double& statusMs, double& floorMs);

}  // namespace kkbench
