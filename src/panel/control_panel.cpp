#include "panel/control_panel.h"

#include "engine/preview.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/change_dialogs.h"
#include "panel/paint.h"
#include "panel/artwork.h"
#include "panel/control_ids.h"
#include "panel/list_layout.h"
#include "panel/row_events.h"
#include "panel/row_focus.h"
#include "panel/row_pictures.h"
#include "panel/window_hook.h"
#include "services/help.h"
#include "services/wait_cursor.h"

#include <windowsx.h>

#include <cstdlib>

namespace kk {
namespace {

const int kButtonWidth = 75, kButtonHeight = 23;
const int kWarningWidth = 260, kWarningHeight = 20;
const int kResizePause = 25;  // ms
const int kOutOfBoundsInterval = 100;  // ms
const WPARAM kSysCommandMask = 0xFFF0;  // the command of a WM_SYSCOMMAND code; the low bits are the system's
const UINT kNoSuchItem = static_cast<UINT>(-1);  // what GetMenuState says of an item a menu lacks

HFONT MakeFont(const LOGFONTA& lf) { return CreateFontIndirectA(&lf); }

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool ParseScroll(const std::string& text, int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (!end || *end != '\0') return false;
    out = static_cast<int>(value);  // too large a number is refused by the bar
    return true;
}

}  // namespace

ControlPanel::ControlPanel() = default;

ControlPanel::~ControlPanel() {
    if (hwnd_) {
        HookMeUp_ControlPanel(*this, false);  // never destroy the window hooked
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        // The children's objects live in this one; they must not outlive it.
        DestroyWindow(hwnd_);
    }
}

bool ControlPanel::Create(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = BoundWindowProc<ControlPanel>;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kControlPanelClass;
    RegisterClassExA(&wc);  // a second registration in the same process fails harmlessly

    // No system caption: the window draws its own title band and lets the
    // system move and size it through the hit test.
    hwnd_ = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kControlPanelClass, "",
                            WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            kMinWindowWidth, kMinWindowHeight, nullptr, nullptr, instance, this);
    return hwnd_ != nullptr;
}

void ControlPanel::CreateControls() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
    auto make = [&](DWORD exStyle, const char* cls, const char* text, DWORD style, int id, HWND parent) {
        return CreateWindowExA(exStyle, cls, text, WS_CHILD | style, 0, 0, 10, 10, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    LOGFONTA base;
    if (SystemMessageFont(base)) font_.reset(MakeFont(base));
    titleFont_.reset(MakeFont(FontFace("Tahoma", 150, FW_BOLD)));
    smallFont_.reset(font_ ? MakeFont(base) : nullptr);

    // The logo images first: the head band is theirs to paint.
    logo_[0].Create(hwnd_, kIdLogo, 0, kLogoTop, kLogoWidth, kLogoHeight, [this](HDC dc, const RECT& r) {
        DrawLogoMark(dc, r, kLogoTop, kLogoTop + kLogoHeight, titleFont_.get());
    });
    logo_[1].Create(hwnd_, kIdLogo + 1, kLogoWidth, kSecondLogoTop, kLogoWidth, kLogoTop + kLogoHeight - kSecondLogoTop,
                    [this](HDC dc, const RECT& r) {
                        DrawLogoTagline(dc, r, kSecondLogoTop, kLogoTop + kLogoHeight, smallFont_.get());
                    });

    frame_.Create(hwnd_, kIdViewFrame, *this);
    surface_.Create(frame_.hwnd(), kIdView, *this, list_, style_, marker_, pixelScaleX, pixelScaleY);
    HWND bar = make(0, "SCROLLBAR", "", WS_VISIBLE | WS_DISABLED | SBS_VERT, kIdScrollBar, frame_.hwnd());
    SetWindowPos(bar, nullptr, 0, 0, GetSystemMetrics(SM_CXVSCROLL), 10, SWP_NOZORDER | SWP_NOACTIVATE);
    scroll_.Attach(bar, frame_.hwnd(), surface_.hwnd());

    make(0, "BUTTON", "A&bout", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdAbout, hwnd_);
    make(0, "BUTTON", "&Apply", WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, kIdApply, hwnd_);
    make(0, "BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdCancel, hwnd_);
    // Hidden until the uninstall mode says what it is doing.
    make(0, "STATIC", "", SS_CENTER | SS_NOTIFY, kIdWarning, hwnd_);
    for (int id : {kIdApply, kIdCancel, kIdAbout, kIdWarning})
        SendMessageA(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageA(surface_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(style_.SurfaceFont()), FALSE);

    grip_.Create(hwnd_, kIdResizeHandle, 0, 0, kGripSize, kGripSize,
                 [](HDC dc, const RECT& r) { DrawSizeGrip(dc, r, GetSysColor(COLOR_BTNFACE)); });
    titleButtons_.Create(*this, kIdTitleButtons, kLogoTop + kLogoHeight);

    // The in-place tooltip lies over the list, above the frame; the mouse
    // passes through it to the caption beneath.
    tooltipBrush_.reset(CreateSolidBrush(GetSysColor(COLOR_INFOBK)));
    tooltip_.Create(hwnd_, kIdTooltip, 0, 0, 10, 10, [](HDC dc, const RECT& r) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_INFOTEXT));
    });
    SetWindowLongPtrA(tooltip_.hwnd(), GWL_STYLE, GetWindowLongPtrA(tooltip_.hwnd(), GWL_STYLE) | WS_CLIPSIBLINGS);
    ShowWindow(tooltip_.hwnd(), SW_HIDE);
    tooltipCaption_ = make(0, "STATIC", "", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, kIdTooltipCaption,
                           tooltip_.hwnd());
    SetTimer(hwnd_, kOutOfBoundsTimer, kOutOfBoundsInterval, nullptr);
}

// The window has a system menu only once start-up gives it the style;
// the items join it the first time it is there.
void ControlPanel::AddSystemMenuItems() {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (!menu || GetMenuState(menu, kCmdHistory, MF_BYCOMMAND) != kNoSuchItem) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, kCmdPreviewChanges, "Preview changes...");
    AppendMenuA(menu, MF_STRING, kCmdHistory, "History...");
}

// The preview has something to show only while Apply has something to do.
void ControlPanel::UpdateSystemMenu() {
    AddSystemMenuItems();
    const bool pending = IsWindowEnabled(Control(kIdApply)) != FALSE;
    EnableMenuItem(GetSystemMenu(hwnd_, FALSE), kCmdPreviewChanges, MF_BYCOMMAND | (pending ? MF_ENABLED : MF_GRAYED));
}

void ControlPanel::ShowSystemMenu(POINT screen) {
    UpdateSystemMenu();
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
    const int command = TrackPopupMenu(GetSystemMenu(hwnd_, FALSE), flags, screen.x, screen.y, 0, hwnd_, nullptr);
    if (command) PostMessageA(hwnd_, WM_SYSCOMMAND, command, MAKELPARAM(screen.x, screen.y));
}

void ControlPanel::ApplySystemFonts(bool vista, bool themeActive) {
    // Push buttons draw their focus rectangle only when no theme does it for them.
    for (int id : {kIdApply, kIdCancel, kIdAbout})
        SetPropA(Control(id), "FocusRectStyle", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(themeActive ? 0 : 1)));
    if (vista) {
        const LOGFONTA segoe = FontFace("Segoe UI", 90, FW_NORMAL);
        font_.reset(MakeFont(segoe));
        smallFont_.reset(MakeFont(segoe));
        titleFont_.reset(MakeFont(FontFace("Segoe UI", 150, FW_BOLD)));
        style_.SetBaseFont(segoe);
    }
    if (font_) {
        for (int id : {kIdApply, kIdCancel, kIdAbout, kIdWarning})
            SendMessageA(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    SendMessageA(surface_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(style_.SurfaceFont()), FALSE);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ControlPanel::ShowWarning(const std::string& text) {
    HWND warning = Control(kIdWarning);
    SetWindowTextA(warning, text.c_str());
    ShowWindow(warning, SW_SHOW);
    PlaceChrome();
}

void ControlPanel::StartMaximizeTimer() { SetTimer(hwnd_, kMaximizeTimer, 50, nullptr); }

void ControlPanel::PlaceChrome() {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int w = client.right, h = client.bottom;
    // What moves is drawn afresh where it lands: the bits the system would
    // copy from its old place may already be covered by the grown frame.
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;

    // The grip has no use on a maximised window.
    if (IsZoomed(hwnd_)) {
        ShowWindow(grip_.hwnd(), SW_HIDE);
    } else {
        SetWindowPos(grip_.hwnd(), nullptr, w - kGripSize, h - kGripSize, 0, 0, flags | SWP_NOSIZE);
        ShowWindow(grip_.hwnd(), SW_SHOWNA);
    }

    SetWindowPos(titleButtons_.hwnd(), nullptr, w - kTitleButtonsWidth - kTitleButtonsInset, kTitleButtonsInset, 0, 0,
                 flags | SWP_NOSIZE);
    const RECT logo = ChildRect(logo_[0].hwnd());
    SetWindowPos(logo_[1].hwnd(), nullptr, w - (logo.right - logo.left), kSecondLogoTop, 0, 0, flags | SWP_NOSIZE);

    const int frameTop = logo.bottom + 4;
    const int frameHeight = h - kButtonHeight - (logo.bottom + 14);
    if (w - 8 > 0 && frameHeight > 0) SetWindowPos(frame_.hwnd(), nullptr, 4, frameTop, w - 8, frameHeight, flags);
    const RECT frame = ChildRect(frame_.hwnd());

    const int buttonTop = frame.bottom + 5;
    const int cancelLeft = frame.right - kGripSize - kButtonWidth;
    SetWindowPos(Control(kIdCancel), nullptr, cancelLeft, buttonTop, kButtonWidth, kButtonHeight, flags);
    SetWindowPos(Control(kIdApply), nullptr, cancelLeft - kButtonWidth - 7, buttonTop, kButtonWidth, kButtonHeight,
                 flags);
    SetWindowPos(Control(kIdAbout), nullptr, frame.left, buttonTop, kButtonWidth, kButtonHeight, flags);

    HWND warning = Control(kIdWarning);
    if (GetWindowLongPtrA(warning, GWL_STYLE) & WS_VISIBLE)
        SetWindowPos(warning, nullptr, (w - kWarningWidth) / 2, (h - kWarningHeight) / 2, kWarningWidth,
                     kWarningHeight, flags);
    // As a mouse move with no button held: every button in its normal state.
    titleButtons_.Move(false, 0, 0);
}

void ControlPanel::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    const RECT logo = ChildRect(logo_[0].hwnd());
    RECT band{0, 0, client.right, logo.bottom};
    DrawHeadBand(dc, band, 0, logo.bottom);
    // The caption zone: the title, clear of the title-bar buttons' room.
    RECT title{8, 0, client.right - kTitleButtonsWidth - 2 * kTitleButtonsInset, logo.top};
    DrawCaptionTitle(dc, title, smallFont_.get(), kAppTitle);
    // A sunken edge just outside the frame, in the gutter around it.
    if (IsWindowVisible(frame_.hwnd())) {
        RECT frame = ChildRect(frame_.hwnd());
        InflateRect(&frame, 2, 2);
        DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);
    }
}

void ControlPanel::OnMaximizeTimer() {
    KillTimer(hwnd_, kMaximizeTimer);
    if (!uninstallMode && maximizeTimerTag == "maximize") {
        ShowWindow(hwnd_, SW_MAXIMIZE);
        maximizeTimerTag.clear();
    }
    if (onFirstTick) onFirstTick(*this);
}

void ControlPanel::FillMinMaxInfo(MINMAXINFO& info) const {
    info.ptMinTrackSize = {kMinWindowWidth, kMinWindowHeight};
    // Until start-up has worked out the work area, the system's limits stand.
    if (workArea.right <= workArea.left || workArea.bottom <= workArea.top) return;
    const POINT size{workArea.right - workArea.left, workArea.bottom - workArea.top};
    info.ptMaxTrackSize = size;
    info.ptMaxSize = size;
    info.ptMaxPosition = {workArea.left, workArea.top};
}

int ControlPanel::FrameHit(POINT screen) const {
    RECT outer, client;
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    FrameGeometry g;
    g.width = client.right;
    g.height = client.bottom;
    g.captionBottom = ChildRect(logo_[0].hwnd()).top;
    g.buttons = ChildRect(titleButtons_.hwnd());
    g.maximised = IsZoomed(hwnd_) != FALSE;
    return FrameHitTest(g, screen.x - outer.left - borderWidth, screen.y - outer.top - borderWidth);
}

void ControlPanel::RefreshWorkArea() {
    if (onRefreshWorkArea) onRefreshWorkArea(*this);
}

void ControlPanel::CheckMaximisedPlace() {
    RefreshWorkArea();
    if (!IsZoomed(hwnd_)) return;
    RECT r;
    GetWindowRect(hwnd_, &r);
    if (r.left != workArea.left || r.top != workArea.top || r.right - r.left != workArea.right - workArea.left ||
        r.bottom - r.top != workArea.bottom - workArea.top)
        ShowWindow(hwnd_, SW_RESTORE);
}

void ControlPanel::RestartResizePause() {
    KillTimer(hwnd_, kResizeTimer);
    SetTimer(hwnd_, kResizeTimer, kResizePause, nullptr);
    resizePending_ = true;
}

void ControlPanel::SetFocusMarker(bool visible, int toolId, int left, int top, int width, int height) {
    HWND view = surface_.hwnd();
    const UINT redraw = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN;
    if (marker_.visible) {
        const RECT old = surface_.MarkerRect();
        RedrawWindow(view, &old, nullptr, redraw);
    }
    if (!marker_.brush || marker_.fill != focusBarColour) {
        marker_.fill = focusBarColour;
        marker_.brush.reset(CreateSolidBrush(focusBarColour));
    }
    marker_.visible = visible;
    marker_.toolId = visible ? toolId : 0;
    if (!visible) return;
    marker_.left = left;
    marker_.top = top;
    marker_.width = width;
    marker_.height = height;
    const RECT now = surface_.MarkerRect();
    RedrawWindow(view, &now, nullptr, redraw);
}

void ControlPanel::ShowTooltip(int toolId, const std::string& text, int left, int top, int width, int height) {
    ToolRow* row = list_.Find(toolId);
    if (!row) return;
    SendMessageA(tooltipCaption_, WM_SETFONT, SendMessageA(row->caption.hwnd, WM_GETFONT, 0, 0), FALSE);
    SetWindowTextA(tooltipCaption_, text.c_str());
    SetWindowPos(tooltipCaption_, nullptr, 1, 1, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // One pixel of border round the text.
    SetWindowPos(tooltip_.hwnd(), HWND_TOP, left, top, width + 2, height + 2, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    tooltipToolId_ = toolId;
}

void ControlPanel::HideTooltip() {
    if (IsWindowVisible(tooltip_.hwnd())) ShowWindow(tooltip_.hwnd(), SW_HIDE);
    tooltipToolId_ = 0;
}

void ControlPanel::BuildList() {
    list_.Build(surface_.hwnd(), style_, Scale());
    // The first layout runs now rather than on the pause's next tick, so the
    // surface is shown complete and the saved position applies.
    Relayout();
}

int ControlPanel::AnchorRow() const {
    const int value = scroll_.Value();
    if (value == 0) return -1;
    for (const ToolRow& row : list_.Rows()) {
        if (row.changed.top + row.changed.height > value) return row.toolId;
    }
    return 101;
}

void ControlPanel::Relayout() {
    KillTimer(hwnd_, kResizeTimer);
    resizePending_ = false;
    if (marker_.visible) SetFocusMarker(false, 0, 0, 0, 0, 0);
    const int anchor = AnchorRow();
    const ToolRow* row = anchor > 0 ? list_.Find(anchor) : nullptr;
    const int offset = row ? row->caption.top - scroll_.Value() : 0;

    const int height = LayOutList(list_, surface_.hwnd(), Scale());
    if (height >= 0) surfaceHeight_ = height;
    if (row) {
        // The new range first, so the anchor's new place is within it.
        scroll_.Fit(surfaceHeight_, nullptr);
        scroll_.SetValue(row->caption.top - offset);
    }
    SetScrollBar();
    // The marker is drawn again where the focused row now lies.
    HWND focus = GetFocus();
    if (focus && focus == titleButtons_.hwnd()) RedirectFocus(*this, focusedToolId);
    focus = GetFocus();
    int family = 0;
    if (const ToolRow* focused = list_.RowOf(focus, &family)) {
        if (family == kFamilyCheckBox || family == kFamilyButtonObject || family == kFamilyBullet)
            SolutionFocus(*this, focus, focused->toolId);
    }
}

void ControlPanel::SetScrollBar() {
    const int* saved = nullptr;
    if (loading) {
        if (!savedScrollRead_) {
            savedScrollRead_ = true;
            hasSavedScroll_ = ParseScroll(GetString(HKEY_CURRENT_USER, kSuiteKey, "ScrollPos"), savedScroll_);
        }
        if (hasSavedScroll_) saved = &savedScroll_;
    }
    if (surfaceHeight_ == 0) {
        RECT r{};
        GetWindowRect(surface_.hwnd(), &r);
        surfaceHeight_ = (r.bottom - r.top) * pixelScaleY;
    }
    scroll_.Fit(surfaceHeight_, saved);
}

void ControlPanel::OnFrameResized() {
    // Every resize restarts the pause; the list reflows once it has passed.
    KillTimer(hwnd_, kResizeTimer);
    SetTimer(hwnd_, kResizeTimer, kResizePause, nullptr);
    resizePending_ = true;
    SetScrollBar();
}

void ControlPanel::OnScrollBar(int code) { scroll_.OnScroll(code); }

void ControlPanel::OnListFocused(HWND window) { OnStrayFocus(*this, window); }

void ControlPanel::OnSurfacePainted() {
    if (listPainted_ || !list_.Built() || loading) return;
    listPainted_ = true;
    if (onListPainted) onListPainted(*this);
}

void ControlPanel::OnRowCommand(int controlId, int code) {
    const int family = FamilyOfControlId(controlId);
    const int toolId = ToolIdOfControlId(controlId);
    ToolRow* row = list_.Find(toolId);
    if (!row) return;
    const bool clicked = code == BN_CLICKED || code == BN_DOUBLECLICKED;  // STN_CLICKED is BN_CLICKED
    switch (family) {
    case kFamilyCheckBox:
    case kFamilyButtonObject:
    case kFamilyBullet:
        if (code == BN_SETFOCUS) {
            SolutionFocus(*this, GetDlgItem(surface_.hwnd(), controlId), toolId);
            return;
        }
        break;
    }
    switch (family) {
    case kFamilyCheckBox:
        if (!clicked) return;
        ToolList::SetCheckValue(*row, ToolList::CheckValue(*row) ? 0 : 1);
        OnCheckBoxChanged(*this, toolId);
        break;
    case kFamilyButtonObject:
        if (code == BN_CLICKED) ShowSettingsDialog(*this, toolId);
        break;
    case kFamilyHLink:
        if (code == STN_CLICKED) FollowLink(*this, toolId);
        break;
    case kFamilyCaptionTitle:
    case kFamilyDescription:
        if (code == STN_CLICKED) RedirectFocus(*this, toolId);
        break;
    }
}

void ControlPanel::OnCommand(int id, int code) {
    switch (id) {
    case kIdApply:
        if (code == BN_CLICKED) Apply();
        break;
    case kIdCancel:
    case IDCANCEL:  // Escape through the dialog manager
        if (code == BN_CLICKED) Cancel();
        break;
    case kIdAbout:
    case kIdWarning:
        if (code == BN_CLICKED) ShowSettingsDialog(*this, kAboutToolId);
        break;
    }
}

void ControlPanel::Apply() { ApplyEngine(*this).ApplyChanges(); }

void ControlPanel::PreviewChanges() {
    if (!IsWindowEnabled(Control(kIdApply))) return;  // nothing pending
    std::string text;
    {
        WaitCursor wait;
        text = PreviewText(kk::PreviewChanges(*this));
    }
    RunTextDialog(hwnd_, kPreviewTitle, text, kTopicPreview);
}

void ControlPanel::ShowHistory() {
    HistoryHost host;
    host.owner = hwnd_;
    host.rows = this;
    host.changesPending = IsWindowEnabled(Control(kIdApply)) != FALSE;
    host.onUndone = [this] { Redetect(); };
    RunHistoryDialog(host);
}

void ControlPanel::Redetect() {
    list_.Redetect();
    // What an Apply leaves: nothing pending, and the session has changed the system.
    MarkChangesApplied();
    RedrawWindow(surface_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool ControlPanel::Cancel() {
    if (!ConfirmLeave(*this)) return false;
    // The help window is ours (hhctrl runs in this thread); it goes with us.
    HWND help = LastHelpWindow();
    if (help && IsWindow(help)) DestroyWindow(help);
    if (onCancel) onCancel(*this);
    // The hook comes off before the window goes.
    HookMeUp_ControlPanel(*this, false);
    if (hwnd_) DestroyWindow(hwnd_);
    return true;
}

bool ControlPanel::PreTranslate(const MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN) {
        if (msg.wParam == VK_F1) {
            ShowHelp(HelpContext());
            return true;
        }
        return OnSwitchKey(*this, msg.hwnd, msg.wParam);
    }
    if (msg.message == WM_MOUSEMOVE) {
        int family = 0;
        const ToolRow* row = list_.RowOf(msg.hwnd, &family);
        if (row && (family == kFamilyCaptionTitle || family == kFamilyDescription)) OnRowTextHover(*this, row->toolId);
    }
    return false;
}

void ControlPanel::ShowUninstallView() {
    for (HWND w : {frame_.hwnd(), Control(kIdApply), Control(kIdCancel), Control(kIdAbout)}) ShowWindow(w, SW_HIDE);
    ShowWarning("Uninstalling - please wait...");
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::string ControlPanel::KindTag(int toolId) const {
    const ToolRow* row = list_.Find(toolId);
    return row ? row->kindTag : std::string();
}

bool ControlPanel::ChangedShown(int toolId) const {
    const ToolRow* row = list_.Find(toolId);
    // The marker's own flag: while the surface is hidden no child is visible.
    return row && row->changed && (GetWindowLongPtrA(row->changed.hwnd, GWL_STYLE) & WS_VISIBLE);
}

void ControlPanel::HideChanged(int toolId) {
    if (ToolRow* row = list_.Find(toolId)) ShowWindow(row->changed.hwnd, SW_HIDE);
}

int ControlPanel::CheckValue(int toolId) const {
    const ToolRow* row = list_.Find(toolId);
    return row ? ToolList::CheckValue(*row) : 0;
}

std::string ControlPanel::CheckTag(int toolId) const {
    const ToolRow* row = list_.Find(toolId);
    return row && row->checkBox ? row->checkTag : std::string();
}

void ControlPanel::SetCheckTag(int toolId, const std::string& tag) {
    ToolRow* row = list_.Find(toolId);
    if (row && row->checkBox) row->checkTag = tag;
}

std::string ControlPanel::ButtonTag(int toolId) const {
    const ToolRow* row = list_.Find(toolId);
    return row && row->button ? row->buttonTag : std::string();
}

std::string ControlPanel::LinkTag(int toolId) const {
    const ToolRow* row = list_.Find(toolId);
    return row && row->link ? row->linkTag : std::string();
}

std::optional<std::string> ControlPanel::LinkText(int toolId) const {
    const ToolRow* row = list_.Find(toolId);
    if (!row || !row->link) return std::nullopt;
    return row->linkTag;
}

std::optional<std::string> ControlPanel::ButtonText(int toolId) const {
    const ToolRow* row = list_.Find(toolId);
    if (!row || !row->button) return std::nullopt;
    return row->buttonTag;
}

void ControlPanel::SetLinkText(int toolId, const std::string& text) {
    ToolRow* row = list_.Find(toolId);
    if (row && row->link) row->linkTag = text;
}

void ControlPanel::SetButtonText(int toolId, const std::string& text) {
    ToolRow* row = list_.Find(toolId);
    if (row && row->button) row->buttonTag = text;
}

void ControlPanel::MarkModified(int toolId) {
    if (ToolRow* row = list_.Find(toolId)) ShowWindow(row->changed.hwnd, SW_SHOWNA);
    NoteChange();
}

void ControlPanel::NoteChange() {
    EnableWindow(Control(kIdApply), TRUE);
    if (!changesApplied) SetWindowTextA(Control(kIdCancel), "&Cancel");
    UpdateSystemMenu();
}

void ControlPanel::MarkChangesApplied() {
    changesApplied = true;
    // Renamed before Apply greys out, so a disabled Apply means the change is complete.
    SetWindowTextA(Control(kIdCancel), "&Close");
    // A disabled window cannot keep the focus: without this, Alt+A would
    // leave no window with the focus and the keyboard stranded.
    if (GetFocus() == Control(kIdApply)) SetFocus(Control(kIdCancel));
    EnableWindow(Control(kIdApply), FALSE);
    UpdateSystemMenu();
}

LRESULT ControlPanel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        CreateControls();
        PlaceChrome();
        return 0;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) {
            PlaceChrome();
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd_, &client);
        client.top = ChildRect(logo_[0].hwnd()).bottom;
        FillRect(reinterpret_cast<HDC>(wp), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT:
    case WM_PRINTCLIENT:
        PaintMessage(hwnd_, msg, wp, [this](HDC dc) { Paint(dc); });
        return 0;
    case WM_SETCURSOR:
        if (WaitCursor::Active()) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        // The Warning label is clickable (it opens About), like the rows' texts.
        if (reinterpret_cast<HWND>(wp) == Control(kIdWarning)) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_TIMER:
        if (wp == kMaximizeTimer) OnMaximizeTimer();
        else if (wp == kResizeTimer) Relayout();
        else if (wp == kOutOfBoundsTimer) OutOfBoundsTick(*this);
        return 0;
    case WM_ACTIVATE:
        // The focus comes back to the control that had it (the settings
        // dialog, another program), not to the window itself.
        if (focusMemory_.OnActivate(hwnd_, wp)) return 0;
        break;
    case kMsgTitleButtonsFocused:
        if (GetFocus() == titleButtons_.hwnd()) OnStrayFocus(*this, titleButtons_.hwnd());
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == tooltipCaption_) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
            SetBkColor(dc, GetSysColor(COLOR_INFOBK));
            return reinterpret_cast<LRESULT>(tooltipBrush_.get());
        }
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_INITMENU:
        UpdateSystemMenu();  // the system menu is the window's only menu
        break;
    case WM_STYLECHANGED:
        if (wp == static_cast<WPARAM>(GWL_STYLE)) UpdateSystemMenu();
        break;
    case WM_SYSCOMMAND:
        if ((wp & kSysCommandMask) == kCmdPreviewChanges) {
            PreviewChanges();
            return 0;
        }
        if ((wp & kSysCommandMask) == kCmdHistory) {
            ShowHistory();
            return 0;
        }
        // Alt+Space: the system's own tracking would paint a caption icon
        // over the window's drawn title; the menu opens under the title instead.
        if ((wp & kSysCommandMask) == SC_KEYMENU && lp == VK_SPACE) {
            POINT below{0, ChildRect(logo_[0].hwnd()).top};
            ClientToScreen(hwnd_, &below);
            ShowSystemMenu(below);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN: {
        // The logo stands where a window's caption icon would (it lets the
        // mouse through): a click on it opens the system menu just below it.
        const RECT logo = ChildRect(logo_[0].hwnd());
        const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (!PtInRect(&logo, at)) break;
        POINT below{logo.left, logo.bottom};
        ClientToScreen(hwnd_, &below);
        ShowSystemMenu(below);
        return 0;
    }
    case WM_NCRBUTTONUP:
        // The caption band is the window's own: its menu is opened here.
        if (wp == HTCAPTION) {
            ShowSystemMenu(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        }
        break;
    case WM_CLOSE:
        // Every close request from outside is the program's own Cancel; the
        // hook turns the system menu's Close into Cancel before it gets here.
        Cancel();
        return 0;
    case WM_QUERYENDSESSION:
        // The end of the log-on goes ahead only if Cancel closes the window.
        return Cancel() ? TRUE : FALSE;
    case WM_ENDSESSION:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace kk
