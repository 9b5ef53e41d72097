// The Autoplay page (ToolId 130).
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

inline constexpr int kAutoplayToolId = 130;

std::unique_ptr<SettingsPage> MakeAutoplayPage();

}  // namespace kk
