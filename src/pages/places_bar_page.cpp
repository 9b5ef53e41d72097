#include "pages/places_bar_page.h"

namespace kk {

std::unique_ptr<SettingsPage> MakePlacesBarPage() { return nullptr; }

}  // namespace kk
