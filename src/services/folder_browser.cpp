#include "services/folder_browser.h"

#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "panel/bound_window.h"
#include "panel/list_style.h"
#include "panel/window_hook.h"
#include "services/help.h"
#include "services/shell_tree.h"
#include "services/system_calls.h"

namespace kk {
namespace {

// The dialog as designed: client size, the margin (the tree's left), buttons.
constexpr int kClientWidth = 320, kClientHeight = 340;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75, kButtonHeight = 23;
constexpr int kTreeStyle = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP |
                           WS_BORDER;

const char kNotValid[] = "The destination folder you have chosen is not valid.";

bool IsValidChoice(const std::string& path) {
    return path.find('\\') != std::string::npos || path == kDesktopPath;
}

// COM for the shell's folders, for as long as the dialog is open.
struct ComScope {
    const bool started = SUCCEEDED(CoInitialize(nullptr));
    ~ComScope() {
        if (started) CoUninitialize();
    }
};

class FolderBrowse : public HookedForm {
public:
    explicit FolderBrowse(HWND owner) : owner_(owner) {}
    FolderBrowse(const FolderBrowse&) = delete;
    FolderBrowse& operator=(const FolderBrowse&) = delete;

    void Run();

    // The general hook's questions.
    int MinTrackX() const override { return kFolderBrowseMinTrack; }
    int MinTrackY() const override { return kFolderBrowseMinTrack; }
    void MouseWheel(int delta) override {
        if (delta >= 1) {
            SetFocus(tree_.hwnd());
            SendMessageA(tree_.hwnd(), WM_KEYDOWN, VK_UP, 0);
        } else if (delta < 0) {
            SendMessageA(tree_.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
        }
    }

private:
    friend LRESULT CALLBACK kk::BoundWindowProc<FolderBrowse>(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Initialize();
    HWND MakeControl(const char* cls, const char* text, DWORD style, int id);
    void Layout(int width, int height);
    void OnNotify(const NMHDR& header);
    void Accept();
    void Cancel();
    void Finish();
    void RunModalLoop();

    HWND owner_;
    HWND hwnd_ = nullptr;
    ShellTree tree_;
    GdiObject<HFONT> font_;
    int helpTopic_ = 0;
    bool done_ = false;
};

HWND FolderBrowse::MakeControl(const char* cls, const char* text, DWORD style, int id) {
    HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, kButtonWidth, kButtonHeight,
                                   hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE)), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

void FolderBrowse::Initialize() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    LOGFONTA face;
    if (IsVista()) face = FontFace("Segoe UI", 90, FW_NORMAL);
    else if (!SystemMessageFont(face)) face = FontFace("Tahoma", 80, FW_NORMAL);
    font_.reset(CreateFontIndirectA(&face));

    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | kTreeStyle, 0, 0, 0, 0,
                                hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdBrowseTree)), nullptr, nullptr);
    SendMessageA(tree, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    MakeControl("BUTTON", "&Help", BS_PUSHBUTTON | WS_TABSTOP, kIdBrowseHelp);
    MakeControl("BUTTON", "&Accept", BS_DEFPUSHBUTTON | WS_TABSTOP, kIdBrowseAccept);
    MakeControl("BUTTON", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, kIdBrowseCancel);
    tree_.Attach(tree);
    tree_.SelectPath(FolderChoice());
    EnableWindow(GetDlgItem(hwnd_, kIdBrowseAccept), IsValidChoice(tree_.SelectedPath()));

    RECT client{};
    GetClientRect(hwnd_, &client);
    Layout(client.right, client.bottom);
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    helpTopic_ = FolderBrowseHelpTopic(TextAfterLast(ModulePath(), "\\"));
    HookMeUp(hwnd_, *this, true);
}

void FolderBrowse::Layout(int width, int height) {
    const int m = kMargin, buttonTop = height - kButtonHeight - m;
    auto place = [&](int id, int x, int y, int cx, int cy) {
        SetWindowPos(GetDlgItem(hwnd_, id), nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(kIdBrowseTree, m, 2 * m, width - 2 * m, height - 4 * m - kButtonHeight);
    place(kIdBrowseCancel, width - kButtonWidth - m, buttonTop, kButtonWidth, kButtonHeight);
    place(kIdBrowseAccept, width - 2 * kButtonWidth - 2 * m, buttonTop, kButtonWidth, kButtonHeight);
    place(kIdBrowseHelp, m, buttonTop, kButtonWidth, kButtonHeight);
}

void FolderBrowse::OnNotify(const NMHDR& header) {
    if (header.idFrom != kIdBrowseTree) return;
    tree_.OnNotify(header);
    HWND accept = GetDlgItem(hwnd_, kIdBrowseAccept);
    if (header.code == TVN_SELCHANGEDA || header.code == TVN_SELCHANGEDW)
        EnableWindow(accept, IsValidChoice(tree_.SelectedPath()));
    else if (header.code == NM_DBLCLK && IsWindowEnabled(accept))
        Accept();
}

void FolderBrowse::Accept() {
    const std::string path = tree_.SelectedPath();
    if (!IsValidChoice(path)) {
        ShowMessage(kNotValid, kFolderBrowseTitle, MB_ICONEXCLAMATION);
        return;
    }
    FolderChoice() = path == kDesktopPath ? "\"Desktop\"" : path;
    Finish();
}

void FolderBrowse::Cancel() {
    FolderChoice().clear();
    Finish();
}

void FolderBrowse::Finish() {
    done_ = true;
    PostMessageA(hwnd_, WM_NULL, 0, 0);  // wakes the loop when a sent message closed it
}

LRESULT FolderBrowse::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) break;
        switch (LOWORD(wp)) {
        case kIdBrowseAccept:
        case IDOK: Accept(); return 0;  // Enter through the dialog manager
        case kIdBrowseCancel:
        case IDCANCEL: Cancel(); return 0;  // and Esc
        case kIdBrowseHelp: ShowHelp(helpTopic_); return 0;
        }
        break;
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lp));
        return 0;
    case WM_SIZE:
        Layout(LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_CLOSE:  // the close box: FolderChoice stays as it came
        Finish();
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void FolderBrowse::RunModalLoop() {
    MSG msg;
    while (!done_ && hwnd_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop around ours
            return;
        }
        if (IsDialogMessageA(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void FolderBrowse::Run() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner_, GWLP_HINSTANCE));
    RegisterBoundClass(instance, kFolderBrowseClass, BoundWindowProc<FolderBrowse>, GetSysColorBrush(COLOR_BTNFACE));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    CreateWindowExA(exStyle, kFolderBrowseClass, kFolderBrowseTitle, style, 0, 0, r.right - r.left, r.bottom - r.top,
                    owner_, nullptr, instance, this);
    if (!hwnd_) return;
    Initialize();
    MessageOwnerScope messages(hwnd_);  // its message is modal to the browser, not its owner
    // Modal: the owner waits, disabled, until the dialog closes.
    const bool ownerEnabled = owner_ && IsWindowEnabled(owner_);
    if (ownerEnabled) EnableWindow(owner_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(tree_.hwnd());
    RunModalLoop();
    if (ownerEnabled) EnableWindow(owner_, TRUE);
    if (hwnd_) {
        HookMeUp(hwnd_, *this, false);
        DestroyWindow(hwnd_);
    }
    if (owner_) SetActiveWindow(owner_);
}

}  // namespace

std::string& FolderChoice() {
    static std::string choice;
    return choice;
}

void BrowseForFolder(HWND owner) {
    ComScope com;
    FolderBrowse dialog(owner);
    dialog.Run();
}

int FolderBrowseHelpTopic(const std::string& programName) {
    struct Program {
        const char* name;
        int topic;
    };
    static const Program kPrograms[] = {
        {"Control Panel", 142}, {"KkDupes", 140}, {"KkFetch", 161}, {"Contrast", 162}};
    const std::string name = programName.substr(0, programName.rfind('.'));
    for (const Program& program : kPrograms)
        if (lstrcmpiA(name.c_str(), program.name) == 0) return program.topic;
    return 0;
}

}  // namespace kk
