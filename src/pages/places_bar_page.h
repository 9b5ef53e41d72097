// The Places Bar page (ToolId 142): the five folders of the bar on the left
// of the common Open and Save dialogs, hiding the bar, and the default view
// and sort order of the Office file dialogs.
//
// Settings text: the view digit, the sort field digit, the sort direction
// ("0" ascending), the hide flag, then five times NUL and a place: a
// standard folder's number or a folder path.
#pragma once
#include "pages/settings_page.h"

#include <functional>
#include <memory>

namespace kk {

enum PlacesBarControlId : int {
    kIdPlace = 101,           // Place(i) is kIdPlace + i, i from 0 to 4
    kIdPlacesBrowse = 111,    // BrowseButton(i) is kIdPlacesBrowse + i
    kIdPlacesHide = 120,
    kIdPlacesOffice = 121,    // the frame "MS Office only:"
    kIdPlacesViewLabel = 122,
    kIdPlacesView = 123,
    kIdPlacesSortLabel = 124,
    kIdPlacesSortList = 125,
    kIdPlacesSort = 126,      // PlacesSort(k) is kIdPlacesSort + k: 0 ascending, 1 descending
};

inline constexpr int kPlacesBarToolId = 142;
inline constexpr int kPlaceCount = 5;

// Shows the folder browser over owner; it reads and writes FolderChoice().
using FolderBrowser = std::function<void(HWND owner)>;

// The page with the real folder browser, or with another one.
std::unique_ptr<SettingsPage> MakePlacesBarPage();
std::unique_ptr<SettingsPage> MakePlacesBarPage(FolderBrowser browse);

}  // namespace kk
