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

// The folder of the stand-in suite components of this test's own build
// (build/x86/fixtures or build/x64/fixtures) as a Windows path with a
// trailing backslash; "" when the build did not say.
std::string FixturesFolder();

// A fresh, empty folder under the temp folder (trailing backslash).
std::string MakeTempFolder(const std::string& hint);

// Points the user's Startup folder (Shell Folders\Startup in the current,
// usually scratch, registry) at a fresh temp folder and returns it.
std::string UseTempStartupFolder();

}  // namespace kktest
