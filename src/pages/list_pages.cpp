#include "pages/list_pages.h"

#include "pages/alt_tab_page.h"
#include "pages/autoplay_page.h"
#include "pages/details_page.h"
#include "pages/hotkeys_page.h"
#include "pages/places_bar_page.h"

namespace kk {

std::unique_ptr<SettingsPage> MakeListPage(int toolId) {
    switch (toolId) {
    case kDetailsToolId: return MakeDetailsPage();
    case kAutoplayToolId: return MakeAutoplayPage();
    case kPlacesBarToolId: return MakePlacesBarPage();
    case kAltTabToolId: return MakeAltTabPage();
    case kHotkeysToolId: return MakeHotkeysPage();
    default: return nullptr;
    }
}

}  // namespace kk
