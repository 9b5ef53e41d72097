// The refusals of start-up and its registry chores, on a scratch registry,
// under whichever Windows version this run reports. The refusal boxes as
// the user sees them, on every version, are driven end to end in
// tests/e2e/startup_e2e_test.cpp.
#include "app/startup_checks.h"
#include "engine/winver.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace kk;

namespace {

class StartupChecks : public ::testing::Test {
protected:
    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
};

TEST_F(StartupChecks, TheSystemAndTheInstallPathMustFitThisProgram) {
    const std::string folder = kktest::ProgramFolder(), program = kktest::ProgramPath();
    EXPECT_EQ(CheckSystemAndInstallation(program), "") << "no InstallPath";
    if (!kktest::ExpectedFor(kktest::WindowsVersion()).supported) {
        const std::string m = recorder.Message(0);
        EXPECT_EQ(m.substr(m.rfind('|', m.rfind('|') - 1)), "|" + std::to_string(MB_ICONHAND | MB_HELP) + "|202")
            << "refused before the installation is looked at";
        return;
    }
    // A lone backslash; a folder without this program's file; the program's
    // folder without its trailing backslash, which is given one.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::pair<std::string, std::string> cases[] = {
        {"\\", ""}, {windows, ""}, {folder.substr(0, folder.size() - 1), folder}};
    for (const auto& [installPath, accepted] : cases) {
        SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", installPath);
        EXPECT_EQ(CheckSystemAndInstallation(program), accepted) << installPath;
    }
    const std::string box = "Marrowby Kestrelkit has not been properly installed.|Marrowby Kestrelkit|" +
                            std::to_string(MB_ICONHAND) + "|0";
    EXPECT_EQ(recorder.Message(0) + " " + recorder.Message(1) + " " + recorder.Message(2) + " " + recorder.Message(3),
              box + " " + box + " " + box + " none");
}

TEST_F(StartupChecks, StaleAppletRegistrationIsRemovedAndNothingElse) {
    const std::string key =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Extended Properties\\"
        "{305CA226-D286-468e-B848-2B2E8E697B74} 2";
    for (const char* name : {"\\\\system32\\\\kestrelkit.cpl", "\\system32\\kestrelkit.cpl", "other.cpl"})
        SetString(HKEY_LOCAL_MACHINE, key, name, "1");
    RemoveStaleAppletRegistration();
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, key, "\\\\system32\\\\kestrelkit.cpl"));
    EXPECT_EQ(EnumValues(HKEY_LOCAL_MACHINE, key).size(), 2u);
    // Without the key nothing is created.
    DeleteKey(HKEY_LOCAL_MACHINE, key);
    RemoveStaleAppletRegistration();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
}

// Both settings are kept as text by some systems and as a number by others.
TEST_F(StartupChecks, ColourDepthAndThemeReadTextOrNumbers) {
    const char* display = "Display\\Settings";
    const char* theme = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    std::string seen = std::to_string(LowColourDisplay()) + std::to_string(ThemeActive());  // missing: depth 0
    for (const char* bits : {"8", "16", "deep", "#32", "#4"}) {
        if (bits[0] == '#') SetDword(HKEY_CURRENT_CONFIG, display, "BitsPerPixel", std::atoi(bits + 1));
        else SetString(HKEY_CURRENT_CONFIG, display, "BitsPerPixel", bits);
        seen += " " + std::to_string(LowColourDisplay());
    }
    for (const char* text : {"1", "0", "on", "#2"}) {
        if (text[0] == '#') SetDword(HKEY_CURRENT_USER, theme, "ThemeActive", std::atoi(text + 1));
        else SetString(HKEY_CURRENT_USER, theme, "ThemeActive", text);
        seen += " " + std::to_string(ThemeActive());
    }
    EXPECT_EQ(seen, "10 1 0 1 0 1 1 0 0 1") << "depths 8, 16, deep, 32, 4 as numbers; themes 1, 0, on, 2";
}

}  // namespace

// Every prefix here is 64-bit Windows: a 32-bit panel hands its command
// line to the 64-bit panel of the installation, or says why it stops, and
// a 64-bit panel never hands over.
TEST_F(StartupChecks, OnlyA32BitPanelHandsOverToThe64BitOne) {
    const bool thirtyTwoBit = sizeof(void*) == 4;
    EXPECT_EQ(IsWow64(), thirtyTwoBit);
    EXPECT_EQ(HandOverTo64BitPanel("/uninstall", true), thirtyTwoBit) << "no 64-bit panel, quiet";
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(HandOverTo64BitPanel("", false), thirtyTwoBit) << "no 64-bit panel";
    ASSERT_EQ(recorder.messages.size(), thirtyTwoBit ? 1u : 0u);
    if (thirtyTwoBit) {
        EXPECT_NE(recorder.messages[0].text.find("64-bit Windows"), std::string::npos);
    }

    const std::string folder = kktest::ProgramFolder();
    SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "InstallPath", folder.substr(0, folder.size() - 1));
    EXPECT_EQ(HandOverTo64BitPanel("/uninstall", false), thirtyTwoBit);
    ASSERT_EQ(recorder.started.size(), thirtyTwoBit ? 1u : 0u);
    if (thirtyTwoBit) {
        EXPECT_EQ(recorder.started[0], "|" + kktest::ProgramPath() + "|/uninstall|" + folder);
    }
    EXPECT_EQ(recorder.messages.size(), thirtyTwoBit ? 1u : 0u) << "nothing more said";
}
