// The new-folder page (ToolId 156): whether the suite's quick new folder
// asks for a name and opens the folder, and the name it uses.
//
// Settings text: "#", the prompt flag ("0" or "1"), the open flag, the
// folder name. The result drops the "#" and trims the name of blanks.
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

enum NewFolderControlId : int {
    kIdNewFolderPrompt = 101,
    kIdNewFolderOpen = 102,
    kIdNewFolderNameLabel = 110,
    kIdNewFolderName = 111,
};

inline constexpr int kNewFolderToolId = 156;

// The characters a folder name cannot hold, in the order they are checked.
inline constexpr char kForbiddenNameCharacters[] = "/\\*:?|<>\"";

std::unique_ptr<SettingsPage> MakeNewFolderPage();

}  // namespace kk
