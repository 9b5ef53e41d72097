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
    // The title, the buttons and the start of the text are checked end to end.
    EXPECT_EQ(folder, "");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].style, 16 + 16384);
    EXPECT_EQ(recorder.messages[0].helpTopic, 202);
    EXPECT_NE(recorder.messages[0].text.find(" for a version of the software for your operating system."),
              std::string::npos);
}

TEST_F(StartupChecks, InstallPathMustHoldThisProgram) {
    if (!supported) GTEST_SKIP() << "the system check refuses first";
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string folder = kktest::ProgramFolder();
    // Missing or a lone backslash; a folder without this program's file; the
    // program's folder without its trailing backslash, which is given one.
    const std::pair<std::string, std::string> cases[] = {
        {"\\", ""}, {windows, ""}, {folder.substr(0, folder.size() - 1), folder}};
    EXPECT_EQ(CheckSystemAndInstallation(kktest::ProgramPath()), "") << "no InstallPath";
    for (const auto& [installPath, accepted] : cases) {
        SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", installPath);
        EXPECT_EQ(CheckSystemAndInstallation(kktest::ProgramPath()), accepted) << installPath;
    }
    ASSERT_EQ(recorder.messages.size(), 3u);
    for (const auto& m : recorder.messages) {
        EXPECT_EQ(m.text, "Marrowby Kestrelkit has not been properly installed.");
        EXPECT_EQ(m.style, 16);
    }
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

// Both settings are kept as text by some systems and as a number by others.
TEST_F(StartupChecks, ColourDepthAndThemeReadTextOrNumbers) {
    const char* display = "Display\\Settings";
    const char* theme = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    EXPECT_TRUE(LowColourDisplay()) << "a missing depth counts as 0";
    EXPECT_FALSE(ThemeActive());
    const std::pair<const char*, bool> depths[] = {{"8", true}, {"16", false}, {"deep", true}};
    for (const auto& [bits, low] : depths) {
        SetString(HKEY_CURRENT_CONFIG, display, "BitsPerPixel", bits);
        EXPECT_EQ(LowColourDisplay(), low) << bits;
    }
    SetDword(HKEY_CURRENT_CONFIG, display, "BitsPerPixel", 32);
    EXPECT_FALSE(LowColourDisplay());
    SetDword(HKEY_CURRENT_CONFIG, display, "BitsPerPixel", 4);
    EXPECT_TRUE(LowColourDisplay());

    SetString(HKEY_CURRENT_USER, theme, "ThemeActive", "1");
    EXPECT_TRUE(ThemeActive());
    SetString(HKEY_CURRENT_USER, theme, "ThemeActive", "0");
    EXPECT_FALSE(ThemeActive());
    SetDword(HKEY_CURRENT_USER, theme, "ThemeActive", 2);
    EXPECT_TRUE(ThemeActive());
}

}  // namespace
