#include "pages/settings_dialog.h"

#include "engine/suite.h"
#include "engine/winver.h"
#include "pages/about_page.h"
#include "pages/list_pages.h"
#include "pages/mnemonics.h"
#include "pages/page_controls.h"
#include "pages/simple_pages.h"
#include "panel/artwork.h"
#include "panel/bound_window.h"
#include "panel/focus_memory.h"
#include "panel/list_style.h"
#include "panel/picture_window.h"
#include "services/help.h"
#include "services/modal_loop.h"
#include "services/subclass.h"
#include "services/system_calls.h"

#include <windowsx.h>

namespace kk {
namespace {

const int kWidth = 500, kHeight = 400;  // client area
const int kHeaderHeight = 56, kLogoWidth = 64;
const int kMargin = 12;
const int kTitleTop = 64, kTitleHeight = 44;
const int kPanelTop = 112, kPanelHeight = 236;
const int kButtonWidth = 80, kButtonHeight = 23;
const char kPanelClass[] = "KestrelkitPagePanel";
const LPARAM kAltHeld = 1 << 29;  // the context code of a key message

const char kNotImplemented[] = "This feature has not yet been implemented.";

// A page's panel, Frame(t).
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return PagePanelMessage(reinterpret_cast<SettingsPage*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)), hwnd, msg, wp, lp);
}

// The dialog's hook: the header band drags the dialog.
LRESULT CALLBACK ChildHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCHITTEST) {
        RECT outer, client;
        GetWindowRect(hwnd, &outer);
        GetClientRect(hwnd, &client);
        const int border = ((outer.right - outer.left) - client.right) / 2;
        const int y = GET_Y_LPARAM(lp) - outer.top - border;
        if (y >= 0 && y < kHeaderHeight) return HTCAPTION;
    }
    if (msg == WM_NCDESTROY) Unsubclass(hwnd);
    return CallOldWndProc(hwnd, msg, wp, lp);
}

class SettingsDialog : public PageHost {
public:
    SettingsDialog(SettingsRows& rows, int toolId) : rows_(rows), toolId_(toolId) {}
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    bool Run();

    // PageHost
    HWND Window() const override { return hwnd_; }
    void EnableAccept() override { EnableWindow(GetDlgItem(hwnd_, kDlgAccept), TRUE); }
    HFONT Font() const override { return font_.get(); }

private:
    friend LRESULT CALLBACK kk::BoundWindowProc<SettingsDialog>(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Initialize();
    bool PreTranslate(const MSG& msg);
    void Accept();
    void Cancel();
    void HandBack();
    HWND FirstFocus() const;

    SettingsRows& rows_;
    const int toolId_;
    HWND hwnd_ = nullptr;
    HWND panel_ = nullptr;
    std::unique_ptr<SettingsPage> page_;
    std::string pageValue_;
    int helpContext_ = kTopicContents;
    bool done_ = false, accepted_ = false;
    PictureWindow logo_, stripe_;
    GdiObject<HFONT> font_, titleFont_;
    FocusMemory focusMemory_;
};

void SettingsDialog::Initialize() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
    LOGFONTA base;
    if (IsVista()) base = FontFace("Segoe UI", 90, FW_NORMAL);
    else if (!SystemMessageFont(base)) base = FontFace("Tahoma", 80, FW_NORMAL);
    font_.reset(CreateFontIndirectA(&base));
    LOGFONTA title = FontFace(IsVista() ? "Segoe UI" : "Tahoma", 140, FW_BOLD);
    titleFont_.reset(CreateFontIndirectA(&title));

    // PageValue: the link's tag for the "#" rows, the settings button's otherwise.
    const bool linkRow = toolId_ == 104 || toolId_ == 107 || toolId_ == 156;
    if (auto text = linkRow ? rows_.LinkText(toolId_) : rows_.ButtonText(toolId_)) pageValue_ = *text;

    // Centred on the main window.
    RECT main{}, outer{};
    GetWindowRect(rows_.Window(), &main);
    GetWindowRect(hwnd_, &outer);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    SetWindowPos(hwnd_, nullptr, main.left + (main.right - main.left) / 2 - w / 2,
                 main.top + (main.bottom - main.top) / 2 - h / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The header: the badge and the band that drags the dialog.
    logo_.Create(hwnd_, kDlgLogo, 0, 0, kLogoWidth, kHeaderHeight,
                 [](HDC dc, const RECT& r) { DrawDialogLogo(dc, r); });
    stripe_.Create(hwnd_, kDlgStripe, kLogoWidth, 0, kWidth - kLogoWidth, kHeaderHeight,
                   [this](HDC dc, const RECT& r) { DrawDialogStripe(dc, r, titleFont_.get(), "Kestrelkit Settings"); });

    auto make = [&](const char* cls, const char* text, DWORD style, int id, int x, int y, int cx, int cy,
                    HWND parent) {
        HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return c;
    };
    HWND titleLabel = make("STATIC", "", SS_LEFT | SS_NOPREFIX, kDlgTitle, kMargin, kTitleTop, kWidth - 2 * kMargin,
                           kTitleHeight, hwnd_);
    const int buttonTop = kHeight - kMargin - kButtonHeight;
    make("BUTTON", "&Help", WS_TABSTOP | BS_PUSHBUTTON, kDlgHelp, kMargin, buttonTop, kButtonWidth, kButtonHeight, hwnd_);
    make("BUTTON", "&Accept", WS_TABSTOP | BS_DEFPUSHBUTTON, kDlgAccept, kWidth - kMargin - 2 * kButtonWidth - 7,
         buttonTop, kButtonWidth, kButtonHeight, hwnd_);
    make("BUTTON", "&Cancel", WS_TABSTOP | BS_PUSHBUTTON, kDlgCancel, kWidth - kMargin - kButtonWidth, buttonTop,
         kButtonWidth, kButtonHeight, hwnd_);

    helpContext_ = toolId_;
    const PageInfo info = PageFor(toolId_);
    page_ = info.hasPage ? MakePage(toolId_) : nullptr;
    if (page_) {
        panel_ = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "", WS_CHILD | WS_CLIPCHILDREN, kMargin, kPanelTop,
                                 kWidth - 2 * kMargin, kPanelHeight, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDlgFrameBase + toolId_)), instance,
                                 nullptr);
        SetWindowLongPtrA(panel_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page_.get()));
        SetWindowTextA(titleLabel, info.instruction.c_str());
        ShowWindow(panel_, SW_SHOW);
        page_->Create(panel_, *this);
        page_->Fill(pageValue_);
        if (!page_->HasAccept()) ShowWindow(GetDlgItem(hwnd_, kDlgAccept), SW_HIDE);
        if (toolId_ == kAboutToolId) SetWindowTextA(GetDlgItem(hwnd_, kDlgCancel), "&Close");
        helpContext_ = info.helpContext;
    } else {
        SetWindowTextA(titleLabel, kNotImplemented);
        helpContext_ = kTopicContents;
    }
    // A freshly opened page has nothing to accept; the fill's own edits do not count.
    EnableWindow(GetDlgItem(hwnd_, kDlgAccept), FALSE);
    Subclass(hwnd_, ChildHook, this);
    SetWindowTextA(hwnd_, kAppTitle);
}

bool SettingsDialog::PreTranslate(const MSG& msg) {
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    if (page_ && page_->PreTranslate(msg)) return true;
    const bool altOnly = (GetKeyState(VK_MENU) & 0x8000) && !(GetKeyState(VK_SHIFT) & 0x8000) &&
                         !(GetKeyState(VK_CONTROL) & 0x8000);
    // Alt+letter: the key message itself says whether Alt is held.
    const bool altKey = msg.message == WM_SYSKEYDOWN && (msg.lParam & kAltHeld);
    if (altKey && !(GetKeyState(VK_CONTROL) & 0x8000) && FollowMnemonic(hwnd_, msg.wParam)) return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        Cancel();
        return true;
    }
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4 && altOnly) {
        Cancel();
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        ShowHelp(helpContext_);
        return true;
    }
    return false;
}

// The page's first control, so that typing starts on the page and never
// presses Help; in an option group, the ticked option, as Tab would give it.
HWND SettingsDialog::FirstFocus() const {
    HWND first = panel_ ? GetNextDlgTabItem(panel_, nullptr, FALSE) : nullptr;
    if (!first || !IsChild(panel_, first)) return GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if ((GetWindowLongPtrA(first, GWL_STYLE) & BS_TYPEMASK) != BS_AUTORADIOBUTTON) return first;
    for (HWND option = first;;) {
        if (IsTicked(option)) return option;
        option = GetNextDlgGroupItem(panel_, option, FALSE);
        if (!option || option == first) return first;
    }
}

void SettingsDialog::HandBack() {
    if (toolId_ == 107 || toolId_ == 156) rows_.SetLinkText(toolId_, "#" + pageValue_);
    else if (toolId_ != 104) rows_.SetButtonText(toolId_, pageValue_);
    rows_.MarkModified(toolId_);
}

void SettingsDialog::Accept() {
    if (!IsWindowEnabled(GetDlgItem(hwnd_, kDlgAccept)) || !IsWindowVisible(GetDlgItem(hwnd_, kDlgAccept))) return;
    if (page_ && !page_->Accept(pageValue_)) return;  // its message was shown; the edits stay
    HandBack();
    accepted_ = true;
    done_ = true;
}

void SettingsDialog::Cancel() {
    if (page_) page_->OnCancel();  // the About page saves its options here
    done_ = true;
}

LRESULT SettingsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case kDlgAccept:
        case IDOK:  // Enter through the dialog manager
            if (HIWORD(wp) == BN_CLICKED) Accept();
            return 0;
        case kDlgCancel:
            if (HIWORD(wp) == BN_CLICKED) Cancel();
            return 0;
        case kDlgHelp:
            if (HIWORD(wp) == BN_CLICKED) ShowHelp(helpContext_);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // A message closing over the dialog gives the focus back to its control.
        if (focusMemory_.OnActivate(hwnd_, wp)) return 0;
        break;
    case WM_CLOSE:
        // The close box and the end of the session: nothing handed back, nothing saved.
        done_ = true;
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

bool SettingsDialog::Run() {
    HWND owner = rows_.Window();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    RegisterBoundClass(instance, kSettingsDialogClass, BoundWindowProc<SettingsDialog>,
                       GetSysColorBrush(COLOR_BTNFACE));
    RegisterBoundClass(instance, kPanelClass, PanelProc, GetSysColorBrush(COLOR_BTNFACE));
    RECT r{0, 0, kWidth, kHeight};
    const DWORD style = WS_POPUP | WS_DLGFRAME | WS_SYSMENU | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);
    CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kSettingsDialogClass, "", style, 0, 0,
                    r.right - r.left, r.bottom - r.top, owner, nullptr, instance, this);
    if (!hwnd_) return false;
    // Every message while the dialog is open (a page's, help's, the update
    // check's) is modal to it: closing one must not enable the main window.
    MessageOwnerScope messages(hwnd_);
    Initialize();

    // Modal: the main window waits, disabled, until the dialog closes.
    ModalParts modal;
    modal.window = hwnd_;
    modal.owner = owner;
    modal.done = &done_;
    modal.firstFocus = [this] { return FirstFocus(); };
    modal.preTranslate = [this](const MSG& msg) { return PreTranslate(msg); };
    modal.close = [this] {
        if (!hwnd_) return;
        Unsubclass(hwnd_);
        DestroyWindow(hwnd_);
    };
    RunModal(modal);
    return accepted_;
}

}  // namespace

LRESULT PagePanelMessage(SettingsPage* page, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (page) {
        switch (msg) {
        case WM_COMMAND:
            page->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        case WM_NOTIFY:
            return page->OnNotify(*reinterpret_cast<NMHDR*>(lp));
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (HBRUSH brush = page->OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_DRAWITEM:
            if (page->OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
            break;
        case WM_MEASUREITEM:
            if (page->OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
            break;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}


PageInfo PageFor(int toolId) {
    struct Row {
        int toolId;
        const char* text;
    };
    static const Row kPages[] = {
        {104, "Place a checkmark next to details to be copied along with filenames.  The delimeter you choose "
              "separates columns.  Drag-drop to reorder details."},
        {107, "Choose the command prompt you want to use, or specify a custom application."},
        {117, "Enter a new user name and/or company name for this computer.  This information is used as the "
              "default when installing many applications."},
        {123, "Choose how you would like standard menus, including the Start menu, to behave.  Note that some "
              "applications use non-standard menus, and may not respond to this setting."},
        {130, "Place a checkmark next to the drives you'd like Windows to play automatically.  Clear a checkbox "
              "to disable AutoPlay for that drive."},
        {142, "Choose the folders you would like to appear in the Places Bar, shown in many file dialogs "
              "(including Microsoft Office).  Use the drop-down lists to choose system folders."},
        {145, "Resize the little box below to configure the maximum number of icons to show in the Alt-TAB "
              "window."},
        {150, "The following 'hotkeys' can be used in all applications, unless there's a conflicting keyboard "
              "shortcut.  Select an entry from the list to change it, or click 'New' to create a new hotkey."},
        {156, "Choose a default folder name for folders created on-the-fly in Windows Explorer, in single-folder "
              "windows, and on the Desktop."},
    };
    PageInfo info;
    if (toolId == kAboutToolId) {
        info.instruction = AboutProductLine();
        info.helpContext = kTopicContents;
    } else {
        for (const Row& row : kPages)
            if (row.toolId == toolId) {
                info.instruction = row.text;
                info.helpContext = toolId;
            }
    }
    // Only the pages that are built count as pages; the others say so.
    if (!info.instruction.empty() && MakePage(toolId)) info.hasPage = true;
    else info = PageInfo{false, kNotImplemented, kTopicContents};
    return info;
}

int CheckImageBase() {
    if (!ThemeActive()) return 0;
    if (IsVista()) return 20;
    if (IsWinXP() || IsWinServer2003()) return 10;
    return 0;
}

bool RunSettingsDialog(SettingsRows& rows, int toolId) {
    SettingsDialog dialog(rows, toolId);
    return dialog.Run();
}

std::unique_ptr<SettingsPage> MakePage(int toolId) {
    if (toolId == kAboutToolId) return MakeAboutPage();
    if (auto page = MakeSimplePage(toolId)) return page;
    return MakeListPage(toolId);
}

}  // namespace kk
