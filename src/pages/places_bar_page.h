// The Places Bar page (ToolId 142).
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

inline constexpr int kPlacesBarToolId = 142;

std::unique_ptr<SettingsPage> MakePlacesBarPage();

}  // namespace kk
