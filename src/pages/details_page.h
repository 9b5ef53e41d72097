// The folder listing details page (ToolId 104): which file details the
// copy-names extension copies along with file names, in which order, with
// which separator.
//
// The page edits the working key DetailsTemp under HKCU: its default value
// counts the chosen details, "1" to that count name them in order, then
// Delim (one character, empty for Tab), TwoContext, No Paths and the four
// derived Init values. Accept rewrites the key and leaves the settings
// text, "#" and the on/off flag of the row's link, as it was.
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

enum DetailsControlId : int {
    kIdDetailsList = 101,
    kIdDetailsAll = 102,  // DetailsAll(k) is kIdDetailsAll + k: 1 ticks every row, 0 clears them
    kIdDetailsReorder = 110,
    kIdDetailsDelimLabel = 111,
    kIdDetailsDelim = 112,
    kIdDetailsHint = 113,
    kIdDetailsPaths = 114,
    kIdDetailsOption = 115,
};

inline constexpr int kDetailsToolId = 104;

std::unique_ptr<SettingsPage> MakeDetailsPage();

}  // namespace kk
