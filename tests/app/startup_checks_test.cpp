// The refusals of start-up and its registry chores, on a scratch registry,
// under whichever Windows version this run reports.
#include "app/startup_checks.h"
#include "engine/winver.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

class StartupChecks : public ::testing::Test {
protected:
    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    const bool supported = kktest::ExpectedFor(kktest::WindowsVersion()).supported;
};

TEST_F(StartupChecks, UnsupportedSystemsAreRefusedWithHelp) {
    SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", kktest::ProgramFolder());
    std::string folder = CheckSystemAndInstallation(kktest::ProgramPath());
    EXPECT_EQ(IsSupportedSystem(), supported);
    if (supported) {
        EXPECT_EQ(folder, kktest::ProgramFolder());
        EXPECT_TRUE(recorder.messages.empty());
        return;
    }
    EXPECT_EQ(folder, "");
    ASSERT_EQ(recorder.messages.size(), 1u);
    const auto& m = recorder.messages[0];
    EXPECT_EQ(m.title, "Unsupported Operating System");
    EXPECT_EQ(m.style, 16 + 16384);
    EXPECT_EQ(m.helpTopic, 202);
    EXPECT_EQ(m.text.rfind("This software is intended only for Windows Vista, Windows XP, Windows 2003, "
                           "Windows 2000, and Windows Me.\r\rPlease go to ",
                           0),
              0u);
    EXPECT_NE(m.text.find(" for a version of the software for your operating system."), std::string::npos);
}

TEST_F(StartupChecks, IncompleteInstallationsAreRefused) {
    if (!supported) GTEST_SKIP() << "the system check refuses first";
    const std::string incomplete = "Marrowby Kestrelkit has not been properly installed.";
    // No InstallPath at all.
    EXPECT_EQ(CheckSystemAndInstallation(kktest::ProgramPath()), "");
    // A folder without this program's file.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", windows);
    EXPECT_EQ(CheckSystemAndInstallation(kktest::ProgramPath()), "");
    // Just a backslash.
    SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", "\\");
    EXPECT_EQ(CheckSystemAndInstallation(kktest::ProgramPath()), "");
    ASSERT_EQ(recorder.messages.size(), 3u);
    for (const auto& m : recorder.messages) {
        EXPECT_EQ(m.text, incomplete);
        EXPECT_EQ(m.style, 16);
    }
    // The folder without its trailing backslash is accepted and given one.
    std::string folder = kktest::ProgramFolder();
    SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", folder.substr(0, folder.size() - 1));
    EXPECT_EQ(CheckSystemAndInstallation(kktest::ProgramPath()), folder);
}

TEST_F(StartupChecks, StaleAppletRegistrationIsRemovedAndNothingElse) {
    const std::string key =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Extended Properties\\"
        "{305CA226-D286-468e-B848-2B2E8E697B74} 2";
    SetString(HKEY_LOCAL_MACHINE, key, "\\\\system32\\\\kestrelkit.cpl", "1");
    SetString(HKEY_LOCAL_MACHINE, key, "\\system32\\kestrelkit.cpl", "1");
    SetString(HKEY_LOCAL_MACHINE, key, "other.cpl", "1");
    RemoveStaleAppletRegistration();
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, key, "\\\\system32\\\\kestrelkit.cpl"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, key, "\\system32\\kestrelkit.cpl"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, key, "other.cpl"));
    // Without the key nothing is created.
    DeleteKey(HKEY_LOCAL_MACHINE, key);
    RemoveStaleAppletRegistration();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
}

TEST_F(StartupChecks, ColourDepthDecidesTheFocusMarker) {
    const char* key = "Display\\Settings";
    EXPECT_TRUE(LowColourDisplay());  // missing counts as 0
    SetString(HKEY_CURRENT_CONFIG, key, "BitsPerPixel", "8");
    EXPECT_TRUE(LowColourDisplay());
    SetString(HKEY_CURRENT_CONFIG, key, "BitsPerPixel", "16");
    EXPECT_FALSE(LowColourDisplay());
    SetString(HKEY_CURRENT_CONFIG, key, "BitsPerPixel", "deep");
    EXPECT_TRUE(LowColourDisplay());
    SetDword(HKEY_CURRENT_CONFIG, key, "BitsPerPixel", 32);
    EXPECT_FALSE(LowColourDisplay());
    SetDword(HKEY_CURRENT_CONFIG, key, "BitsPerPixel", 4);
    EXPECT_TRUE(LowColourDisplay());
}

TEST_F(StartupChecks, ThemeIsActiveForAnyNonZeroNumber) {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    EXPECT_FALSE(ThemeActive());
    SetString(HKEY_CURRENT_USER, key, "ThemeActive", "1");
    EXPECT_TRUE(ThemeActive());
    SetString(HKEY_CURRENT_USER, key, "ThemeActive", "0");
    EXPECT_FALSE(ThemeActive());
    SetDword(HKEY_CURRENT_USER, key, "ThemeActive", 2);
    EXPECT_TRUE(ThemeActive());
}

}  // namespace
