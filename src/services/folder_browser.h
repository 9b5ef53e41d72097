// The folder browse dialog, "Choose a Folder...": a small resizable modal
// window with a tree of the shell namespace, the desktop at its root.
#pragma once
#include <windows.h>

#include <string>

namespace kk {

// The application-wide FolderChoice: on entry the folder the tree opens
// at; on return the chosen folder, "\"Desktop\"" for the desktop itself,
// or "" when cancelled. Closing the window otherwise leaves it as it was.
std::string& FolderChoice();

// Shows the dialog modally over owner.
void BrowseForFolder(HWND owner);

}  // namespace kk
