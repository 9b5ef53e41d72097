#include "pages/details_page.h"

namespace kk {

std::unique_ptr<SettingsPage> MakeDetailsPage() { return nullptr; }

}  // namespace kk
