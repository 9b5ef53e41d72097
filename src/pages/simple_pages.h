// The four pages of the settings dialog that edit only their settings
// text: command prompt (107), registered owner (117), menu speed (123) and
// new folder (156).
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

// The page for toolId, or null when it is not one of the four.
std::unique_ptr<SettingsPage> MakeSimplePage(int toolId);

}  // namespace kk
