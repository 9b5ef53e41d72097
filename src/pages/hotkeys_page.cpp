#include "pages/hotkeys_page.h"

namespace kk {

std::unique_ptr<SettingsPage> MakeHotkeysPage() { return nullptr; }

}  // namespace kk
