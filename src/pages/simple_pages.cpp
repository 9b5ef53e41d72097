#include "pages/simple_pages.h"

#include "pages/command_prompt_page.h"
#include "pages/menu_speed_page.h"
#include "pages/new_folder_page.h"
#include "pages/registered_owner_page.h"

namespace kk {

std::unique_ptr<SettingsPage> MakeSimplePage(int toolId) {
    switch (toolId) {
    case kCommandPromptToolId: return MakeCommandPromptPage();
    case kRegisteredOwnerToolId: return MakeRegisteredOwnerPage();
    case kMenuSpeedToolId: return MakeMenuSpeedPage();
    case kNewFolderToolId: return MakeNewFolderPage();
    default: return nullptr;
    }
}

}  // namespace kk
