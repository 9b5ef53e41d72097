#include "services/shell_tree.h"

#include "engine/registry.h"

namespace kk {
namespace {

constexpr UINT kIconFlags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
// Deeper than any folder path; a guard against a namespace that loops.
constexpr int kMaxDepth = 64;

// True when path is folder or lies inside it, compared as Windows does.
bool LeadsTo(const std::string& folder, const std::string& path) {
    if (folder.empty()) return false;
    const std::string f = WithTrailingBackslash(folder), p = WithTrailingBackslash(path);
    return p.size() >= f.size() && lstrcmpiA(p.substr(0, f.size()).c_str(), f.c_str()) == 0;
}

bool SamePath(const std::string& a, const std::string& b) {
    return !a.empty() && lstrcmpiA(WithTrailingBackslash(a).c_str(), WithTrailingBackslash(b).c_str()) == 0;
}

UniquePidl ParsePath(IShellFolder* desktop, const std::string& path) {
    std::wstring wide(path.size() + 1, L'\0');
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()))) return nullptr;
    LPITEMIDLIST raw = nullptr;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], &eaten, &raw, nullptr))) return nullptr;
    return UniquePidl(raw);
}

}  // namespace

void ShellTree::Attach(HWND tree) {
    tree_ = tree;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return;
    desktop_.reset(desktop);
    LPITEMIDLIST root = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root))) return;
    UniquePidl rootPidl(root);
    // The system's own small-icon list: shared, never destroyed here.
    SHFILEINFOA info{};
    const auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(root), 0, &info, sizeof info, kIconFlags));
    SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
    root_ = Insert(TVI_ROOT, std::move(rootPidl), true);
    Open(root_);
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root_));
}

void ShellTree::OnNotify(const NMHDR& header) {
    if (header.code != TVN_ITEMEXPANDINGA && header.code != TVN_ITEMEXPANDINGW) return;
    // Both forms carry the item at the same place.
    const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
    if (change.action & TVE_EXPAND) Fill(change.itemNew.hItem);
}

std::string ShellTree::SelectedPath() const {
    return PathOf(reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

bool ShellTree::SelectPath(const std::string& path) {
    if (!desktop_ || !IsDirectory(path)) return false;
    const UniquePidl target = ParsePath(desktop_.get(), path);
    HTREEITEM item = root_;
    for (int depth = 0; item && depth < kMaxDepth; ++depth) {
        const Node* node = NodeOf(item);
        if (SamePath(PathOf(item), path) || (target && node && ILIsEqual(node->pidl.get(), target.get()))) {
            SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
            return true;
        }
        Open(item);
        item = ChildLeadingTo(item, target.get(), path);
    }
    return false;
}

// Siblings in the order their folder's own comparison gives.
int CALLBACK ShellTree::CompareSiblings(LPARAM a, LPARAM b, LPARAM folder) {
    const auto *first = reinterpret_cast<const Node*>(a), *second = reinterpret_cast<const Node*>(b);
    const HRESULT hr = reinterpret_cast<IShellFolder*>(folder)->CompareIDs(0, ILFindLastID(first->pidl.get()),
                                                                           ILFindLastID(second->pidl.get()));
    return SUCCEEDED(hr) ? static_cast<short>(HRESULT_CODE(hr)) : 0;
}

HTREEITEM ShellTree::Insert(HTREEITEM parent, UniquePidl pidl, bool hasChildren) {
    const auto id = reinterpret_cast<LPCSTR>(pidl.get());
    SHFILEINFOA info{}, open{};
    SHGetFileInfoA(id, 0, &info, sizeof info, kIconFlags | SHGFI_DISPLAYNAME);
    SHGetFileInfoA(id, 0, &open, sizeof open, kIconFlags | SHGFI_OPENICON);
    nodes_.push_back(std::make_unique<Node>());
    nodes_.back()->pidl = std::move(pidl);
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = info.szDisplayName;
    insert.item.iImage = info.iIcon;
    insert.item.iSelectedImage = open.iIcon;
    insert.item.cChildren = hasChildren ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(nodes_.back().get());
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

ShellTree::Node* ShellTree::NodeOf(HTREEITEM item) const {
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!item || !SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
    return reinterpret_cast<Node*>(tv.lParam);
}

ComPtr<IShellFolder> ShellTree::FolderOf(const Node& node) const {
    if (!desktop_) return nullptr;
    if (node.pidl->mkid.cb == 0) {  // the desktop itself
        desktop_->AddRef();
        return ComPtr<IShellFolder>(desktop_.get());
    }
    void* folder = nullptr;
    if (FAILED(desktop_->BindToObject(node.pidl.get(), nullptr, IID_IShellFolder, &folder))) return nullptr;
    return ComPtr<IShellFolder>(static_cast<IShellFolder*>(folder));
}

void ShellTree::Fill(HTREEITEM item) {
    Node* node = NodeOf(item);
    if (!node || node->filled) return;
    node->filled = true;
    const ComPtr<IShellFolder> folder = FolderOf(*node);
    IEnumIDList* rawList = nullptr;
    if (!folder || folder->EnumObjects(tree_, SHCONTF_FOLDERS, &rawList) != S_OK || !rawList) rawList = nullptr;
    const ComPtr<IEnumIDList> list(rawList);
    LPITEMIDLIST child = nullptr;
    int added = 0;
    while (list && list->Next(1, &child, nullptr) == S_OK) {
        const UniquePidl relative(child);
        SFGAOF attributes = SFGAO_HASSUBFOLDER | SFGAO_STREAM;
        LPCITEMIDLIST one = child;
        if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) attributes = SFGAO_HASSUBFOLDER;
        if (attributes & SFGAO_STREAM) continue;  // an archive shown as a folder
        Insert(item, UniquePidl(ILCombine(node->pidl.get(), child)), (attributes & SFGAO_HASSUBFOLDER) != 0);
        ++added;
    }
    if (added == 0) {  // no button on a folder without folders
        TVITEMA tv{};
        tv.mask = TVIF_CHILDREN;
        tv.hItem = item;
        SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    } else if (item != root_) {  // the desktop keeps the shell's own order
        TVSORTCB sort{item, CompareSiblings, reinterpret_cast<LPARAM>(folder.get())};
        SendMessageA(tree_, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    }
}

void ShellTree::Open(HTREEITEM item) {
    // TVM_EXPAND sends no TVN_ITEMEXPANDING, so the node is filled first.
    Fill(item);
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

std::string ShellTree::PathOf(HTREEITEM item) const {
    if (!item) return {};
    if (item == root_) return kDesktopPath;
    const Node* node = NodeOf(item);
    char path[MAX_PATH] = {};
    if (!node || !SHGetPathFromIDListA(node->pidl.get(), path)) return {};
    return path;
}

HTREEITEM ShellTree::ChildLeadingTo(HTREEITEM item, LPCITEMIDLIST target, const std::string& path) const {
    auto next = [&](HTREEITEM from, UINT how) {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
    };
    for (HTREEITEM child = next(item, TVGN_CHILD); child; child = next(child, TVGN_NEXT)) {
        const Node* node = NodeOf(child);
        if (!node) continue;
        if (target && (ILIsEqual(node->pidl.get(), target) || ILIsParent(node->pidl.get(), target, FALSE))) return child;
        if (LeadsTo(PathOf(child), path)) return child;
    }
    return nullptr;
}

}  // namespace kk
