// The probes answer for the Windows version Wine reports to this program,
// which the harness sets per run (winme ... win7).
#include "engine/winver.h"

#include "support/test_env.h"

#include <gtest/gtest.h>

TEST(VersionProbes, AnswerForTheRunningSystem) {
    const std::string version = kktest::WindowsVersion();
    const kktest::ExpectedProbes e = kktest::ExpectedFor(version);
    SCOPED_TRACE("Windows version " + version);
    EXPECT_EQ(kk::IsWin95(), e.win95);
    EXPECT_EQ(kk::IsWin98OrMe(), e.win98OrMe);
    EXPECT_EQ(kk::IsWinMe(), e.winMe);
    EXPECT_EQ(kk::IsWin2000(), e.win2000);
    EXPECT_EQ(kk::IsWinXP(), e.winXP);
    EXPECT_EQ(kk::IsWinServer2003(), e.winServer2003);
    EXPECT_EQ(kk::IsWin2000OrLater(), e.win2000OrLater);
    EXPECT_EQ(kk::IsVista(), e.vista);
}
