#include "pages/autoplay_page.h"

namespace kk {

std::unique_ptr<SettingsPage> MakeAutoplayPage() { return nullptr; }

}  // namespace kk
