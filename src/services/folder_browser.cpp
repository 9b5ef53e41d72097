#include "services/folder_browser.h"

namespace kk {

std::string& FolderChoice() {
    static std::string choice;
    return choice;
}

void BrowseForFolder(HWND owner) {}

}  // namespace kk
