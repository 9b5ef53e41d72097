// The About page of the settings dialog: the product line, four tabs
// (About, Options, Plugins, Support), the three options read when the page
// opens and saved when it is cancelled, and the links to help, the maker's
// site, the update check and support. The Plugins tab lists the installed
// plugins; a click opens the plugin's address.
#pragma once
#include "pages/settings_page.h"

#include <memory>
#include <string>
#include <vector>

namespace kk {

// "Marrowby Kestrelkit, version a.b.c", a line break and the second line.
std::string AboutProductLine();

// Control IDs inside the About page's panel (docs/automation.md).
enum AboutPageId : int {
    kAboutTabs = 100,
    kAboutText = 105,
    kAboutOptionBase = 110,  // AboutOption(i) is 110 + i
    kAboutLinkBase = 120,    // HLink(i) is 120 + i
    kPluginList = 130,
};

// One row of the plugin list: its text with the link-style marks around the
// plugin's name, and the address it opens.
struct PluginListRow {
    std::string text, url;
};
std::vector<PluginListRow> PluginListRows();

std::unique_ptr<SettingsPage> MakeAboutPage();

}  // namespace kk
