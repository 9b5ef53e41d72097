// The hotkeys page (ToolId 150).
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

inline constexpr int kHotkeysToolId = 150;

std::unique_ptr<SettingsPage> MakeHotkeysPage();

}  // namespace kk
