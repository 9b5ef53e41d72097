// The five pages that edit lists or pictures rather than a few fields:
// folder listing details (104), Autoplay (130), Places Bar (142), Alt-Tab
// size (145) and hotkeys (150).
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

// The page for toolId, or null when it is not one of the five.
std::unique_ptr<SettingsPage> MakeListPage(int toolId);

}  // namespace kk
