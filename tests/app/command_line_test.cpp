// The start modes as the command line selects them. The quoted program path
// and both update modes are also driven end to end.
#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace kk;

TEST(CommandLine, TailAfterTheProgramNameSelectsTheMode) {
    EXPECT_EQ(CommandLineTail("\"C:\\Program Files\\Kestrelkit\\Control Panel.exe\" /updatecheck"), "/updatecheck");
    EXPECT_EQ(CommandLineTail("\"C:\\Control Panel.exe\""), "");
    EXPECT_EQ(CommandLineTail("panel.exe   /uninstall"), "/uninstall");
    EXPECT_EQ(CommandLineTail(nullptr), "");
    // The update modes need the exact whole text; uninstall may be anywhere in it.
    EXPECT_EQ(ModeFromCommandLine("/updatecheckchm"), StartMode::UpdateCheckFromHelp);
    for (const char* other : {"/UPDATECHECK", "x /updatecheck", "", "/updatecheck "})
        EXPECT_EQ(ModeFromCommandLine(other), StartMode::Panel) << '"' << other << '"';
    EXPECT_EQ(CommandLineTail("panel.exe /updatecheck "), "/updatecheck ") << "a trailing blank is part of it";
    EXPECT_TRUE(WantsUninstall("quiet /uninstall now"));
    EXPECT_FALSE(WantsUninstall("/Uninstall"));
}
