// The folder listing details page (ToolId 104).
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

inline constexpr int kDetailsToolId = 104;

std::unique_ptr<SettingsPage> MakeDetailsPage();

}  // namespace kk
