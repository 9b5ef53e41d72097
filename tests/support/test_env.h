// What the harness told this test process about its surroundings.
#pragma once
#include <string>

namespace kktest {

// The Windows version Wine was told to report to this program ("winxp"
// when the harness said nothing).
std::string WindowsVersion();

struct ExpectedProbes {
    bool win95, win98OrMe, winMe, win2000, winXP, winServer2003, win2000OrLater, vista;
    bool supported;  // one of the versions the panel runs on
};
ExpectedProbes ExpectedFor(const std::string& version);

// Full path of this test program, and its folder with a trailing backslash.
std::string ProgramPath();
std::string ProgramFolder();

}  // namespace kktest
