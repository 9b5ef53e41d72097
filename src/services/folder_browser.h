// The folder browse dialog, "Choose a Folder...": a small resizable modal
// window with a tree of the shell namespace, the desktop at its root.
#pragma once
#include <windows.h>

#include <string>

namespace kk {

// Control IDs of the dialog (docs/automation.md).
enum FolderBrowseId : int {
    kIdBrowseTree = 10,  // Explorer
    kIdBrowseAccept = 11,
    kIdBrowseCancel = 12,
    kIdBrowseHelp = 13,  // HelpMe
};

inline constexpr char kFolderBrowseClass[] = "KestrelkitFolderBrowse";
inline constexpr char kFolderBrowseTitle[] = "Choose a Folder...";
// The smallest window, before the running system's frame and caption.
inline constexpr int kFolderBrowseMinTrack = 270;

// The application-wide FolderChoice: on entry the folder the tree opens
// at; on return the chosen folder, "\"Desktop\"" for the desktop itself,
// or "" when cancelled. Closing the window otherwise leaves it as it was.
std::string& FolderChoice();

// Shows the dialog modally over owner.
void BrowseForFolder(HWND owner);

// The help topic of the suite program with that file name (its extension
// ignored); 0 for none.
int FolderBrowseHelpTopic(const std::string& programName);

}  // namespace kk
