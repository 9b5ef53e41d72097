// The registered owner page (ToolId 117): the owner name, company and
// setup-files location Windows offers to installers.
//
// Settings text: the three fields joined by NUL characters, in and out.
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

enum RegisteredOwnerControlId : int {
    kIdRegLabel = 101,  // RegLabel(i) is kIdRegLabel + i, i from 0 to 2
    kIdRegName = 111,   // RegName(i) is kIdRegName + i
};

inline constexpr int kRegisteredOwnerToolId = 117;

std::unique_ptr<SettingsPage> MakeRegisteredOwnerPage();

}  // namespace kk
