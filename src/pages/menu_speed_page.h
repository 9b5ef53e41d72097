// The menu speed page (ToolId 123): how soon menus open, and a button to
// the Windows settings for menu animation.
//
// Settings text: one digit, "0" at once, "1" only on a click, "2" after
// the default delay; the same out.
#pragma once
#include "pages/settings_page.h"

#include <functional>
#include <memory>
#include <string>

namespace kk {

enum MenuSpeedControlId : int {
    kIdMenuSetting = 101,  // MenuSetting(i) is kIdMenuSetting + i, i from 0 to 2
    kIdMenuNote = 110,
    kIdMenuAnimation = 111,
};

inline constexpr int kMenuSpeedToolId = 123;

// How the Menu Animation button reaches the System Properties window once
// it has started it. Tests replace them so that no key reaches a real window.
struct ForegroundTyping {
    std::function<void(const std::string& title, int seconds)> waitForTitle;
    std::function<void(const std::string& keys)> sendKeys;
};
ForegroundTyping RealForegroundTyping();

std::unique_ptr<SettingsPage> MakeMenuSpeedPage();
std::unique_ptr<SettingsPage> MakeMenuSpeedPage(ForegroundTyping typing);

}  // namespace kk
