#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace kk;

TEST(CommandLine, TailIsWhatFollowsTheProgramName) {
    EXPECT_EQ(CommandLineTail("\"C:\\Program Files\\Kestrelkit\\Control Panel.exe\" /updatecheck"), "/updatecheck");
    EXPECT_EQ(CommandLineTail("panel.exe   /uninstall"), "/uninstall");
    EXPECT_EQ(CommandLineTail("\"C:\\Control Panel.exe\""), "");
    EXPECT_EQ(CommandLineTail("panel.exe /updatecheck "), "/updatecheck ");
    EXPECT_EQ(CommandLineTail(nullptr), "");
}

TEST(CommandLine, UpdateModesNeedTheExactWholeText) {
    EXPECT_EQ(ModeFromCommandLine("/updatecheck"), StartMode::AutomaticUpdateCheck);
    EXPECT_EQ(ModeFromCommandLine("/updatecheckchm"), StartMode::UpdateCheckFromHelp);
    EXPECT_EQ(ModeFromCommandLine("/updatecheck "), StartMode::Panel);
    EXPECT_EQ(ModeFromCommandLine("/UPDATECHECK"), StartMode::Panel);
    EXPECT_EQ(ModeFromCommandLine("x /updatecheck"), StartMode::Panel);
    EXPECT_EQ(ModeFromCommandLine(""), StartMode::Panel);
}

TEST(CommandLine, UninstallAnywhereInTheText) {
    EXPECT_TRUE(WantsUninstall("/uninstall"));
    EXPECT_TRUE(WantsUninstall("quiet /uninstall now"));
    EXPECT_FALSE(WantsUninstall("/Uninstall"));
    EXPECT_FALSE(WantsUninstall(""));
}
