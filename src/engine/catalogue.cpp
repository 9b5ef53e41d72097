#include "engine/catalogue.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "services/system_actions.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>

namespace kk {
namespace {

struct Row {
    int toolId;
    int kind;
    const char* caption = "";
    const char* description = "";
    const char* linkCaption = "";
    const char* linkAction = "";
};

// Positions 1 to 41 in list order, before the system rules below. Every
// heading after the first keeps a trailing CR LF: it is part of the
// caption the list layout measures.
const Row kRows[] = {
    {901, kKindHeading, "File Tools"},
    {101, kKindOnOff, "Rename files with ease",
      "Rename multiple files in one step using a variety a powerful shortcuts. Turn this option on "
      "to add 'Batch Rename...' to every file's context (right-click) menu.",
      "Start Batch Rename now...", "kkrename.exe"},
    {144, kKindOnOff, "Change file dates",
      "Change the 'Created,' 'Modified,' and 'Accessed,' dates and times of one or more files. "
      "Turn this option on to add 'Change Date...' to every file's context (right-click) menu."},
    {109, kKindOnOff, "Copy or Move files anywhere",
      "Right-click a file or folder and select Copy To or Move To to copy or move a file without "
      "having to navigate to the target folder in Explorer. You can even create the target folder "
      "on the fly, if needed."},
    {162, kKindOnOff, "Compare files and folders",
      "Compare the contents of two text files, the contents of two folders, or two lists of any "
      "kind. Right-click two files or two folders to compare their contents, or more to compare "
      "lists of their names.",
      "Start Contrast now...", "contrast.exe"},
    {104, kKindOnOff, "Copy file and folder names to the Clipboard",
      "Right-click one or more files or folders and select Copy Filename to copy their names and "
      "full paths to the Clipboard.",
      "Add details...", "#104"},
    {103, kKindOnOff, "Copy file contents to the Clipboard",
      "Right-click a text or graphics file and select Copy File Contents to copy the file to the "
      "Clipboard without opening it."},
    {163, kKindOnOff, "Show shortcut targets",
      "Right-click a shortcut and select Show Target to open the folder containing the file or "
      "folder to which the shortcut is linked. Or, select Copy Target Location to copy the full "
      "path and filename of the target to the clipboard."},
    {152, kKindOnOff, "Delete in-use files",
      "Right-click any file and select Delete In-Use File to queue Windows to delete the file the "
      "next time you start your PC. This tool can be used to remove stubborn programs, such as "
      "spyware and viruses."},
    {168, kKindOnOff, "Change file attributes",
      "Right-click any file and select Attributes to turn on or off the 'Read Only,' 'Hidden,' "
      "'System,' or 'Archive' bits without having to open the Properties window."},
    {169, kKindOnOff, "Tag files and folders",
      "Right-click any file or folder and select Tag to mark it, after which it will be listed in "
      "the Tagged Files folder.  You can then sort your Tagged objects, drag to copy or move them, "
      "or right-click for other options."},
    {167, kKindOnOff, "Edit file type associations",
      "Right-click any file and select Edit File Type to modify the applications used to open "
      "files of that type. Use Type Medic to choose default programs, add or remove file types "
      "from Explorer's New menu, and customize files' context menus.",
      "Start Type Medic now...", "Type Medic.exe"},
    {902, kKindHeading, "Internet Tools\r\n"},
    {161, kKindOnOff, "Download files with ease",
      "Download many files at once, without having to do it manually with a web browser. Turn this "
      "option on to add 'Batch Fetch' to every Internet Shortcut's context (right-click) menu.",
      "Start Batch Fetcher now...", "kkfetch.exe"},
    {151, kKindOnOff, "FTP files on the fly",
      "Quickly send files and folders to any FTP-capable Internet server; great for quick updates "
      "to web sites.  Turn this option on to add 'FTP To...' to every file's context (right-click) "
      "menu.",
      "Manage FTP connections...", "kkftpman.exe /fm"},
    {134, kKindOnOff, "Copy Internet Shortcut information",
      "Right-click an Internet Shortcut file and select Copy URL or Copy Hyperlink to copy the URL "
      "or HTML hyperlink to the Clipboard."},
    {158, kKindOnOff, "Extract HTML page content",
      "Right-click an HTML file and select Extract Page Content to copy the HTML-formatted page "
      "content to the Clipboard, minus the HTML headers and other extraneous codes."},
    {903, kKindHeading, "Search Tools\r\n"},
    {140, kKindOnOff, "Find and eliminate duplicate files",
      "Search for duplicate files using a variety of criteria, and selectively remove unwanted "
      "duplicates. Turn this option on to add 'For Duplicate Files...' to your Start Menu's Search "
      "menu, and 'Find Duplicates...' to every folder's context (right-click) menu.",
      "Find Duplicate Files now...", "kkdupes.exe"},
    {157, kKindOnOff, "Search and replace Registry entries",
      "Perform quick Registry searches, view the results in a convenient list, and optionally "
      "search-and-replace Registry keys and values. Turn this option on to add 'For Registry "
      "Entries...' to your Start Menu's Search menu (classic Start Menu only) and 'Search the "
      "Registry' to the context menu for all Registry patch (.reg) files.",
      "Start Registry Scout now...", "kkregscan.exe"},
    {146, kKindOnOff, "Fix the Windows Search tool",
      "Make searching for files easier and more convenient by having the search tool open in a new "
      "window rather than replacing the current view when you press Ctrl-F or F3 in Windows "
      "Explorer."},
    {904, kKindHeading, "Folder Tools\r\n"},
    {107, kKindOnOff, "Open a Command Prompt in any folder",
      "Right-click a folder and select Command Prompt to open a Command Prompt window in that "
      "folder.",
      "Select Command Prompt...", "#107"},
    {153, kKindOnOff, "Clear out the Temp folder",
      "Recover wasted hard disk space by automatically deleting temporary files that are no longer "
      "being used.",
      "Clear old Temp files now", "kkboot.exe /cleartemp"},
    {105, kKindOnOff, "Copy folder listing to the Clipboard",
      "Right-click a folder and select Copy Folder Listing to copy a list of the filenames of the "
      "items inside (with details) to the Clipboard."},
    {113, kKindOnOff, "Print folder listing",
      "Right-click a folder and select Print Folder Listing to print a list of the items inside "
      "(with details)."},
    {164, kKindOnOff, "Create folder shortcuts",
      "Right-click a shortcut to a folder and select Create Folder Shortcut to convert the "
      "shortcut into a mirror of the folder. Right-click an existing folder shortcut and select "
      "Dismantle Folder Shortcut to remove it."},
    {165, kKindOnOff, "Quickly select files",
      "Right-click an empty spot and select 'Select' to automatically select files in the folder "
      "based on your criteria."},
    {156, kKindOnOff, "Quickly create new folders",
      "Press Ctrl-N in any open Explorer window, single-folder window, or on the desktop to create "
      "a new folder on the spot.",
      "Set new folder preferences...", "#156"},
    {905, kKindHeading, "File Dialog Tools\r\n"},
    // 160, 159, 166, 142 and 130 as they read before Vista; see kVersionForms.
    {160, kKindOnOff, "Show the full path in file dialog title bars",
      "Display the full path of the current folder in any File -> Open or File -> Save dialog box."},
    {159, kKindOnOff, "Quickly access recently-used folders",
      "Add a special button to the upper-left corner of all File -> Open and File -> Save dialog "
      "boxes that provides access to a list of the most recently-used folders, plus any folders "
      "being viewed in Windows Explorer."},
    {166, kKindOnOff, "Save file dialog size and view settings",
      "Remember the size of all File -> Open and File -> Save dialog boxes, along with the view "
      "settings (e.g., Icon, List, Details) and sort order."},
    {142, kKindSettings, "Customize the Places Bar in file dialogs",
      "Choose your own folders to appear in the gray bar found on the left side of most file "
      "dialogs."},
    {906, kKindHeading, "Interface Tools\r\n"},
    {130, kKindOnOff, "Disable Autoplay for CD and DVDs",
      "Stop Windows from automatically starting CDs and DVDs when you put them in the drive."},
    {145, kKindSettings, "Change the size of the Alt-TAB window",
      "Change the number of icons displayed on each row of the Alt-TAB window.  You can press "
      "Alt-TAB to swtich between running applications, which is usually more convenient than using "
      "the taskbar."},
    {123, kKindSettings, "Control menu speed",
      "Make menus more responsive by eliminating the delay before they're opened, or tame them by "
      "requiring a click to open them."},
    {117, kKindSettings, "Change the registered owner",
      "Modify the registered owner name, company (organization), and other information gathered "
      "when Windows was installed and used during subsequent Windows installations."},
    {150, kKindSettings, "Configure hotkeys",
      "Replace a complex series of keystrokes with a simple keyboard shortcut, useful for "
      "automating repetitive tasks."},
    {907, kKindHeading, "Plugins\r\n"},
};
static_assert(sizeof kRows / sizeof kRows[0] == kFixedRowCount, "one row per fixed position");

enum class System { Me, XP, Vista };

// How a row differs on one system: kKindNone keeps the table's kind, a
// null text keeps the table's text.
struct VersionForm {
    int toolId;
    System system;
    int kind;
    const char* caption = nullptr;
    const char* description = nullptr;
};

const VersionForm kVersionForms[] = {
    // Not offered on Windows Me.
    {163, System::Me, kKindUnavailable},
    {169, System::Me, kKindUnavailable},
    {160, System::Me, kKindUnavailable},
    {159, System::Me, kKindUnavailable},
    {166, System::Me, kKindUnavailable},
    {164, System::Me, kKindUnavailable},
    // Not offered on Vista.
    {146, System::Vista, kKindUnavailable},
    {164, System::Vista, kKindUnavailable},
    {165, System::Vista, kKindUnavailable},
    {145, System::Vista, kKindUnavailable},
    // Autoplay: withdrawn without texts on Vista, a settings page on XP, on/off elsewhere.
    {130, System::Vista, kKindUnavailable, "", ""},
    {130, System::XP, kKindSettings, "Disable Autoplay for CD, DVDs, and removable drives",
     "Stop Windows from automatically starting, opening, or playing audio CDs, data CDs, DVDs, flash "
     "memory cards, and other removable media."},
    // On Vista the file-dialog tools reach only the old-style dialogs.
    {160, System::Vista, kKindNone, "Show the full path in old-style file dialog title bars",
     "Display the full path of the current folder in old-style (pre-Vista) File -> Open or File -> "
     "Save dialog box."},
    {159, System::Vista, kKindNone, nullptr,
     "Add a special button to the upper-left corner of old-style (pre-Vista) File -> Open and File "
     "-> Save dialog boxes that provides access to a list of the most recently-used folders, plus "
     "any folders being viewed in Windows Explorer."},
    {166, System::Vista, kKindNone, "Save pre-Vista file dialog size and view settings",
     "Remember the size of old-style (pre-Vista) File -> Open and File -> Save dialog boxes, along "
     "with the view settings (e.g., Icon, List, Details) and sort order."},
    {142, System::Vista, kKindNone, "Customize the Places Bar in old-style file dialogs",
     "Choose your own folders to appear in the gray bar found on the left side of old-style "
     "(pre-Vista) file dialogs."},
};

constexpr int kTagToolId = 169;
const char kDebugKey[] = "SOFTWARE\\Marrowby\\Kestrelkit\\debug";

bool IsRunningOn(System system) {
    switch (system) {
        case System::Me: return IsWinMe();
        case System::XP: return IsWinXP();
        case System::Vista: return IsVista();
    }
    return false;
}

bool TagToolEnabled() {
    // The suite key may be missing before the first Apply; asking must not create it.
    return ValueExists(HKEY_CURRENT_USER, kSuiteKey, "EnableTag") &&
           TextToNumber(GetString(HKEY_CURRENT_USER, kSuiteKey, "EnableTag")) == 1.0;
}

// The one place where the running system and the user's settings change a row.
void ApplySystemRules(ToolEntry& entry) {
    for (const VersionForm& form : kVersionForms) {
        if (form.toolId != entry.toolId || !IsRunningOn(form.system)) continue;
        if (form.kind != kKindNone) entry.kind = form.kind;
        if (form.caption) entry.caption = form.caption;
        if (form.description) entry.description = form.description;
    }
    if (entry.toolId == kTagToolId && !TagToolEnabled()) entry.kind = kKindUnavailable;
}

}  // namespace

ToolEntry GetToolInfo(int position) {
    ToolEntry entry;
    if (position < 1 || position > kFixedRowCount) return entry;
    const Row& row = kRows[position - 1];
    entry.toolId = row.toolId;
    entry.kind = row.kind;
    entry.caption = row.caption;
    entry.description = row.description;
    entry.linkCaption = row.linkCaption;
    entry.linkAction = row.linkAction;
    ApplySystemRules(entry);
    return entry;
}

std::vector<std::string> ListPluginKeys() {
    // Enumerating opens or creates the key; a suite without plugins keeps none.
    if (!KeyExists(HKEY_LOCAL_MACHINE, kPluginsKey)) return {};
    return EnumKeys(HKEY_LOCAL_MACHINE, kPluginsKey);
}

namespace {

struct PluginList {
    std::vector<std::string> keys;
    bool read = false;
};
PluginList& ThisStart() {
    static PluginList list;
    return list;
}

struct PassCache {
    std::map<std::string, std::vector<NamedValue>> values;
    bool folderRead = false;
    std::string folder;
    bool debugRead = false;
    std::vector<std::string> withdrawn;  // the debug key's non-empty value names
};
std::unique_ptr<PassCache>& ThisPass() {
    static std::unique_ptr<PassCache> pass;
    return pass;
}

}  // namespace

ListReadPass::ListReadPass() : owner_(!ThisPass()) {
    if (owner_) ThisPass() = std::make_unique<PassCache>();
}

ListReadPass::~ListReadPass() {
    if (owner_) ThisPass().reset();
}

std::vector<NamedValue> PluginKeyValues(const std::string& key) {
    PassCache* pass = ThisPass().get();
    if (!pass) return ReadValues(HKEY_LOCAL_MACHINE, key);
    auto found = pass->values.find(key);
    if (found == pass->values.end()) found = pass->values.emplace(key, ReadValues(HKEY_LOCAL_MACHINE, key)).first;
    return found->second;
}

std::string PassStartupFolder() {
    PassCache* pass = ThisPass().get();
    if (!pass) return StartupFolder();
    if (!pass->folderRead) {
        pass->folder = StartupFolder();
        pass->folderRead = true;
    }
    return pass->folder;
}

const std::vector<std::string>& ReadPluginKeys() {
    PluginList& list = ThisStart();
    list.keys = ListPluginKeys();
    list.read = true;
    return list.keys;
}

const std::vector<std::string>& PluginKeys() {
    PluginList& list = ThisStart();
    return list.read ? list.keys : ReadPluginKeys();
}

void ForgetPluginKeys() {
    ThisStart() = PluginList();
}

int ListCount(size_t pluginCount) {
    if (pluginCount == 0) return kFixedRowCount - 1;
    return kFixedRowCount + static_cast<int>(pluginCount);
}

ToolEntry GetPluginInfo(int position, const std::vector<std::string>& pluginKeys) {
    ToolEntry entry;
    const int count = static_cast<int>(pluginKeys.size());
    const int k = kFixedRowCount + count - position + 1;  // 1-based enumeration index
    if (position <= kFixedRowCount || k < 1) return entry;
    entry.toolId = kFirstPluginToolId - 1 + k;
    // One pass over the plugin's values, not a lookup each: a start reads
    // every plugin. A plugin removed since the enumeration has no values,
    // so it is shown withdrawn, and its key is not recreated.
    for (const NamedValue& value : PluginKeyValues(JoinKey(kPluginsKey, pluginKeys[k - 1]))) {
        if (lstrcmpiA(value.name.c_str(), "Caption") == 0) entry.caption = value.text;
        else if (lstrcmpiA(value.name.c_str(), "Description") == 0) entry.description = value.text;
        else if (lstrcmpiA(value.name.c_str(), "LinkCaption") == 0) entry.linkCaption = value.text;
        else if (lstrcmpiA(value.name.c_str(), "LinkAction") == 0) entry.linkAction = value.text;
    }
    entry.kind = entry.caption.empty() ? kKindUnavailable : kKindOnOff;
    return entry;
}

ToolEntry EntryForPosition(int position, const std::vector<std::string>& pluginKeys) {
    const int pluginCount = static_cast<int>(pluginKeys.size());
    const int fixedPositions = ListCount(pluginKeys.size()) - pluginCount;
    ToolEntry entry = position <= fixedPositions ? GetToolInfo(position) : GetPluginInfo(position, pluginKeys);
    if (entry.toolId != 0 && WithdrawnByDebugKey(entry.toolId)) {
        entry.kind = kKindUnavailable;
        entry.caption.clear();
        entry.description.clear();
        entry.linkCaption.clear();
        entry.linkAction.clear();
    }
    return entry;
}

bool WithdrawnByDebugKey(int toolId) {
    const std::string name = std::to_string(toolId);
    if (PassCache* pass = ThisPass().get()) {
        // One read of the key for the pass instead of one per row.
        if (!pass->debugRead) {
            for (const NamedValue& value : ReadValues(HKEY_CURRENT_USER, kDebugKey))
                if (!value.text.empty()) pass->withdrawn.push_back(value.name);
            pass->debugRead = true;
        }
        for (const std::string& withdrawn : pass->withdrawn)
            if (lstrcmpiA(withdrawn.c_str(), name.c_str()) == 0) return true;
        return false;
    }
    return ValueExists(HKEY_CURRENT_USER, kDebugKey, name) &&
           !GetString(HKEY_CURRENT_USER, kDebugKey, name).empty();
}

std::string PluginKeyForToolId(int toolId) {
    const int k = toolId - (kFirstPluginToolId - 1);
    if (k < 1) return {};
    const std::vector<std::string>& keys = PluginKeys();
    if (static_cast<size_t>(k) > keys.size()) return {};
    return JoinKey(kPluginsKey, keys[k - 1]);
}

}  // namespace kk
