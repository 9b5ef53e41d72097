// The settings dialog, Child: one modal window over the main window that
// shows the page of one ToolId (999 is About). A page edits a copy of the
// row's settings text, PageValue; Accept hands it back to the row, marks
// the row modified and enables the main window's Apply. Cancel, Esc and
// Alt+F4 hand nothing back.
#pragma once
#include <windows.h>

#include "engine/catalogue.h"
#include "engine/handles.h"
#include "engine/suite.h"
#include "pages/settings_page.h"

#include <memory>
#include <optional>
#include <string>

namespace kk {

// What the dialog reads and writes in the main window's list.
class SettingsRows {
public:
    virtual ~SettingsRows() = default;
    virtual HWND Window() const = 0;
    // The tag of the row's link or settings button; nothing when the row
    // has no such control.
    virtual std::optional<std::string> LinkText(int toolId) const = 0;
    virtual std::optional<std::string> ButtonText(int toolId) const = 0;
    virtual void SetLinkText(int toolId, const std::string& text) = 0;
    virtual void SetButtonText(int toolId, const std::string& text) = 0;
    // Shows the row's "*", enables Apply, and renames Cancel while nothing
    // has been applied yet.
    virtual void MarkModified(int toolId) = 0;
};

// Control IDs of the dialog (docs/automation.md).
enum SettingsDialogId : int {
    kDlgAccept = 10,
    kDlgCancel = 11,
    kDlgHelp = 12,
    kDlgTitle = 14,
    kDlgLogo = 30,
    kDlgStripe = 31,
    kDlgFrameBase = 1000,  // Frame(t) is 1000 + ToolId
};

inline constexpr char kSettingsDialogClass[] = "KestrelkitSettings";

// The page a ToolId opens and its instruction text and help topic.
struct PageInfo {
    bool hasPage = false;
    std::string instruction;
    int helpContext = kTopicContents;
};
PageInfo PageFor(int toolId);

// The first of the Check pictures the list pages draw: 0 classic, 10 the
// XP style, 20 the Vista style, by system and theme.
int CheckImageBase();

// Shows the dialog for toolId modally over rows.Window() and returns when
// it has closed; true when it closed through Accept.
bool RunSettingsDialog(SettingsRows& rows, int toolId);

// What a page's panel does with a message: its children's commands,
// notifications, colours and drawing go to the page; the rest to the
// default procedure.
LRESULT PagePanelMessage(SettingsPage* page, HWND panel, UINT msg, WPARAM wp, LPARAM lp);

// Makes the page object for a ToolId with a page of its own; null otherwise.
std::unique_ptr<SettingsPage> MakePage(int toolId);

}  // namespace kk
