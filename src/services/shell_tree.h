// A tree view of the shell namespace: the desktop at its root, folders
// only, each node filled the first time it is opened, with the system's
// small icons. Its selected-folder property is the selection's file-system
// path, "Desktop" for the root, or "" for a folder without a path (My
// Computer itself, the Control Panel).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "engine/handles.h"

#include <memory>
#include <string>
#include <vector>

namespace kk {

struct PidlFree {
    void operator()(ITEMIDLIST* p) const { ILFree(p); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlFree>;

inline constexpr char kDesktopPath[] = "Desktop";

class ShellTree {
public:
    // Takes over a tree view control: shows the desktop root, opened.
    void Attach(HWND tree);
    HWND hwnd() const { return tree_; }

    // The parent's WM_NOTIFY from the tree: fills a node as it opens.
    void OnNotify(const NMHDR& header);

    std::string SelectedPath() const;
    // Opens the tree down to an existing folder and selects it; false
    // (the selection left alone) for a path that names no folder.
    bool SelectPath(const std::string& path);

private:
    struct Node {
        UniquePidl pidl;  // absolute
        bool filled = false;
    };
    static int CALLBACK CompareSiblings(LPARAM a, LPARAM b, LPARAM folder);
    HTREEITEM Insert(HTREEITEM parent, UniquePidl pidl, bool hasChildren);
    Node* NodeOf(HTREEITEM item) const;
    ComPtr<IShellFolder> FolderOf(const Node& node) const;
    void Fill(HTREEITEM item);
    void Open(HTREEITEM item);
    std::string PathOf(HTREEITEM item) const;
    HTREEITEM ChildLeadingTo(HTREEITEM item, LPCITEMIDLIST target, const std::string& path) const;

    HWND tree_ = nullptr;
    HTREEITEM root_ = nullptr;
    ComPtr<IShellFolder> desktop_;
    std::vector<std::unique_ptr<Node>> nodes_;  // the items' lParam point here
};

}  // namespace kk
