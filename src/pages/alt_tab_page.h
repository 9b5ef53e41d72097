// The Alt-Tab size page (ToolId 145).
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

inline constexpr int kAltTabToolId = 145;

std::unique_ptr<SettingsPage> MakeAltTabPage();

}  // namespace kk
