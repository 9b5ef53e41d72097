#include "pages/alt_tab_page.h"

namespace kk {

std::unique_ptr<SettingsPage> MakeAltTabPage() { return nullptr; }

}  // namespace kk
