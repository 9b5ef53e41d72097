// Which look of the list pages' check-box pictures the system and its theme choose.
#include "pages/check_pictures.h"

#include "engine/registry.h"
#include "pages/settings_dialog.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

TEST(CheckPictures, TheLookFollowsTheSystemAndItsTheme) {
    kktest::ScratchRegistry scratch;
    const std::string version = kktest::WindowsVersion();
    EXPECT_EQ(CheckImageBase(), 0) << "no theme: the classic pictures";
    SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", "ThemeActive", "1");
    EXPECT_EQ(CheckImageBase(), version == "vista" ? 20 : (version == "winxp" || version == "win2003") ? 10 : 0);
}

}  // namespace
