#include "pages/about_page.h"

#include "pages/drawn_images.h"
#include "pages/page_controls.h"

#include "engine/catalogue.h"
#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/artwork.h"
#include "panel/paint.h"
#include "services/help.h"
#include "services/scrambled.h"
#include "services/subclass.h"
#include "services/system_calls.h"
#include "services/update_check.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace kk {
namespace {

constexpr Scrambled kSecondLine("Copyright (c) 2001-2007 Marrowby.  All rights reserved.");
constexpr Scrambled kWebSite("http://www.marrowby.com/");
constexpr Scrambled kQuestionsPage("http://www.marrowby.com/kestrelkit/faq.html");

const char kDontLoadKey[] = "Control Panel\\don't load";
const char kAppletValue[] = "kestrelkit.cpl";
const char kLinkMark[] = "\\U\\1", kPlainMark[] = "\\0\\u";

const char* const kOptionCaptions[] = {
    "Show icon in Windows Control Panel",
    "Show number of selected files in right-click menus",
    "Automatically check for updates",
};
const char* const kLinkCaptions[] = {
    "View documentation...  (or press F1 any time)",
    "Visit the Marrowby website...",
    "Check for newer version of this software...",
    "Frequently Asked Questions...",
    "Contact Technical Support...",
};
const char* const kTabs[] = {"About", "Options", "Plugins", "Support"};

// Geometry inside the page's panel.
const int kTabsHeight = 170;
const int kLinkHeight = 17;
const int kFocusRoom = 2;  // pixels each side of a link's text
const int kLinkLeft = 4, kSupportLinkPitch = 24;
const int kTabCount = 4;
const int kLinkCount = 5;

bool IsLink(int id) { return id >= kAboutLinkBase && id < kAboutLinkBase + kLinkCount; }

// Links show the hand over them and, being tab stops, a focus rectangle
// while they have the focus.
LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        break;
    case WM_PAINT: {
        const LRESULT result = CallOldWndProc(hwnd, msg, wp, lp);
        if (GetFocus() == hwnd) {
            RECT r;
            GetClientRect(hwnd, &r);
            HDC dc = GetDC(hwnd);
            DrawFocusRect(dc, &r);
            ReleaseDC(hwnd, dc);
        }
        return result;
    }
    case WM_NCDESTROY:
        Unsubclass(hwnd);
        break;
    }
    return CallOldWndProc(hwnd, msg, wp, lp);
}

// A link as wide as its text, measured with its own font in its own DC,
// and a little room round it for the focus rectangle.
void FitLinkToText(HWND link) {
    const SIZE text = ControlTextSize(link, ControlText(link), DT_SINGLELINE | DT_NOPREFIX);
    SetWindowPos(link, nullptr, 0, 0, text.cx + 2 * kFocusRoom, kLinkHeight - 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class AboutPage : public SettingsPage {
public:
    void Create(HWND panel, PageHost& host) override;
    void Fill(const std::string&) override;
    bool Accept(std::string&) override { return true; }
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(const NMHDR& header) override;
    HBRUSH OnControlColour(HDC dc, HWND control) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;
    void OnCancel() override;
    bool HasAccept() const override { return false; }
    bool PreTranslate(const MSG& msg) override;

    // The plugin list's mouse-up: opens the selected plugin's address.
    void OnPluginListMouseUp(int x, int y);

private:
    HWND Item(int id) const { return GetDlgItem(panel_, id); }
    void ShowTab(int tab);
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous tab, round the ends.
    void StepTab(bool back);
    HWND Make(DWORD exStyle, const char* cls, const char* text, DWORD style, int id, const RECT& place);
    void CreateLinks(const RECT& inside);
    void OpenPlugin(int row) const;
    // Web and plugin addresses open owned by the dialog, from the program's folder.
    void OpenAddress(const std::string& url) const {
        System().startProgram(host_->Window(), "open", url, "", ModuleFolder());
    }
    bool Ticked(int option) const { return Button_GetCheck(Item(kAboutOptionBase + option)) == BST_CHECKED; }

    HWND panel_ = nullptr;
    PageHost* host_ = nullptr;
    std::vector<PluginListRow> rows_;
    void TabBodyColour(HWND tabs, const RECT& body);

    GdiObject<HFONT> linkFont_;
    COLORREF tabBody_ = GetSysColor(COLOR_BTNFACE);
    GdiObject<HBRUSH> tabBrush_;
    UniqueImageList images_;
};

LRESULT CALLBACK PluginListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* page = static_cast<AboutPage*>(SubclassOwner(hwnd));
    const LRESULT result = CallOldWndProc(hwnd, msg, wp, lp);
    if (msg == WM_LBUTTONUP && page) page->OnPluginListMouseUp(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    if (msg == WM_NCDESTROY) Unsubclass(hwnd);
    return result;
}

void AboutPage::Create(HWND panel, PageHost& host) {
    panel_ = panel;
    host_ = &host;
    RECT area;
    GetClientRect(panel, &area);
    const int w = area.right;
    auto make = [this](DWORD exStyle, const char* cls, const char* text, DWORD style, int id, int x, int y, int cx,
                       int cy) { return Make(exStyle, cls, text, style, id, RECT{x, y, x + cx, y + cy}); };
    LOGFONTA lf{};
    GetObjectA(host.Font(), sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    linkFont_.reset(CreateFontIndirectA(&lf));

    // The tabs first; the tab's own controls lie over them.
    HWND tabs = make(0, WC_TABCONTROLA, "", WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, kAboutTabs, 0, 0, w, kTabsHeight);
    images_ = DrawImageList(16, 3, [](HDC dc, const RECT& r, int i) { DrawPageIcon(dc, r, i, kTransparentKey); });
    if (images_) TabCtrl_SetImageList(tabs, images_.get());
    for (int i = 0; i < kTabCount; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<char*>(kTabs[i]);
        item.iImage = i < 3 ? i : -1;  // the Support tab has no picture
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT inside{0, 0, w, kTabsHeight};
    TabCtrl_AdjustRect(tabs, FALSE, &inside);
    TabBodyColour(tabs, inside);
    InflateRect(&inside, -6, -4);
    const int iw = inside.right - inside.left;

    make(0, "STATIC",
         "Kestrelkit brings the small tools you reach for every day to the places you already work: "
         "the right-click menus of files and folders, the Search menu, the file dialogs and the desktop.\r\n\r\n"
         "Switch each tool on or off in the main window and press Apply; nothing changes until you do.",
         SS_LEFT | SS_NOPREFIX, kAboutText, inside.left, inside.top, iw, inside.bottom - inside.top);
    for (int i = 0; i < 3; ++i)
        make(0, "BUTTON", kOptionCaptions[i], BS_AUTOCHECKBOX | WS_TABSTOP, kAboutOptionBase + i, inside.left,
             inside.top + i * 24, iw, 20);
    HWND list = make(WS_EX_CLIENTEDGE, "LISTBOX", "",
                     LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                     kPluginList, inside.left, inside.top, iw, inside.bottom - inside.top);
    Subclass(list, PluginListProc, this);
    CreateLinks(inside);
    // The tabs go beneath the controls laid over them, so that their own
    // drawing leaves those controls (the plugin list's frame) alone.
    SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowTab(0);
}

// A control of the page in the dialog's font.
HWND AboutPage::Make(DWORD exStyle, const char* cls, const char* text, DWORD style, int id, const RECT& place) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(panel_, GWLP_HINSTANCE));
    HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | style, place.left, place.top, place.right - place.left,
                             place.bottom - place.top, panel_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             instance, nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(host_->Font()), FALSE);
    return c;
}

// Links 0-2 under the tabs, 3-4 on the Support tab; their text stays where
// it would be without the room for the focus rectangle.
void AboutPage::CreateLinks(const RECT& inside) {
    for (int i = 0; i < kLinkCount; ++i) {
        const bool support = i >= 3;
        const int x = (support ? inside.left : kLinkLeft) - kFocusRoom;
        const int y = support ? inside.top + (i - 3) * kSupportLinkPitch : kTabsHeight + 6 + i * kLinkHeight;
        HWND link = Make(0, "STATIC", kLinkCaptions[i],
                         SS_NOTIFY | SS_NOPREFIX | SS_CENTER | WS_TABSTOP | (support ? 0 : WS_VISIBLE),
                         kAboutLinkBase + i, RECT{x, y, x, y + kLinkHeight - 2});
        SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
        FitLinkToText(link);
        Subclass(link, LinkProc);
    }
}

// The controls on a tab lie over its body, whose colour depends on the
// theme: read it from the tab's own drawing, so they blend in.
void AboutPage::TabBodyColour(HWND tabs, const RECT& body) {
    RECT r;
    GetClientRect(tabs, &r);
    HDC screen = GetDC(tabs);
    COLORREF sample = CLR_INVALID;
    {
        const MemoryImage image(screen, r);
        FillRect(image.Dc(), &r, GetSysColorBrush(COLOR_BTNFACE));
        SendMessageA(tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(image.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
        sample = GetPixel(image.Dc(), body.left + 4, body.bottom - 4);
    }
    ReleaseDC(tabs, screen);
    if (sample != CLR_INVALID) tabBody_ = sample;
    tabBrush_.reset(CreateSolidBrush(tabBody_));
}

void AboutPage::ShowTab(int tab) {
    auto show = [&](int id, bool on) { ShowWindow(Item(id), on ? SW_SHOW : SW_HIDE); };
    show(kAboutText, tab == 0);
    for (int i = 0; i < 3; ++i) show(kAboutOptionBase + i, tab == 1);
    show(kPluginList, tab == 2);
    show(kAboutLinkBase + 3, tab == 3);
    show(kAboutLinkBase + 4, tab == 3);
}

void AboutPage::StepTab(bool back) {
    HWND tabs = Item(kAboutTabs);
    const int tab = (TabCtrl_GetCurSel(tabs) + (back ? kTabCount - 1 : 1)) % kTabCount;
    TabCtrl_SetCurSel(tabs, tab);
    ShowTab(tab);
    // A control of the tab that went loses the focus to the panel; the tabs take it.
    HWND focus = GetFocus();
    if (!focus || focus == panel_ || !IsWindowVisible(focus)) SetFocus(tabs);
}

void AboutPage::OpenPlugin(int row) const {
    if (row >= 0 && row < static_cast<int>(rows_.size())) OpenAddress(rows_[row].url);
}

bool AboutPage::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
        StepTab((GetKeyState(VK_SHIFT) & 0x8000) != 0);
        return true;
    }
    if (msg.wParam != VK_RETURN || GetParent(msg.hwnd) != panel_) return false;
    const int id = GetDlgCtrlID(msg.hwnd);
    if (id == kPluginList) {
        OpenPlugin(static_cast<int>(SendMessageA(msg.hwnd, LB_GETCARETINDEX, 0, 0)));
        return true;
    }
    if (!IsLink(id)) return false;
    OnCommand(id, STN_CLICKED, msg.hwnd);
    return true;
}

void AboutPage::Fill(const std::string&) {
    const bool appletHidden = LowerCase(GetString(HKEY_CURRENT_USER, kDontLoadKey, kAppletValue)) == "no";
    Button_SetCheck(Item(kAboutOptionBase + 0), appletHidden ? BST_UNCHECKED : BST_CHECKED);
    Button_SetCheck(Item(kAboutOptionBase + 1),
                    GetString(HKEY_CURRENT_USER, kSuiteKey, "HideContextCount") == "1" ? BST_UNCHECKED : BST_CHECKED);
    Button_SetCheck(Item(kAboutOptionBase + 2),
                    GetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate") == "1" ? BST_UNCHECKED : BST_CHECKED);
    // FillPluginList, the last step of the page's fill.
    rows_ = PluginListRows();
    HWND list = Item(kPluginList);
    for (const PluginListRow& row : rows_) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
}

void AboutPage::OnCancel() {
    const std::string hidden = LowerCase(GetString(HKEY_CURRENT_USER, kDontLoadKey, kAppletValue));
    if (Ticked(0) && hidden == "no") DeleteValue(HKEY_CURRENT_USER, kDontLoadKey, kAppletValue);
    else if (!Ticked(0) && hidden != "no") SetString(HKEY_CURRENT_USER, kDontLoadKey, kAppletValue, "No");
    SetString(HKEY_CURRENT_USER, kSuiteKey, "HideContextCount", Ticked(1) ? "0" : "1");
    if (Ticked(2)) DeleteValue(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate");
    else SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
}

void AboutPage::OnCommand(int id, int code, HWND control) {
    if (!IsLink(id) || code != STN_CLICKED) return;
    switch (id - kAboutLinkBase) {
    case 0: ShowHelp(kTopicContents); break;
    case 1: OpenAddress(kWebSite.Plain()); break;
    case 2: CheckForUpdate(false, false); break;
    case 3: OpenAddress(kQuestionsPage.Plain()); break;
    case 4: ShowHelp(kTopicGeneral); break;
    }
}

LRESULT AboutPage::OnNotify(const NMHDR& header) {
    if (header.idFrom == kAboutTabs && header.code == TCN_SELCHANGE) ShowTab(TabCtrl_GetCurSel(header.hwndFrom));
    return 0;
}

HBRUSH AboutPage::OnControlColour(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    const bool link = IsLink(id);
    const bool onTab = id == kAboutText || (id >= kAboutOptionBase && id < kAboutOptionBase + 3) ||
                       id == kAboutLinkBase + 3 || id == kAboutLinkBase + 4;
    if (!link && !onTab) return nullptr;
    if (link) SetTextColor(dc, RGB(0, 51, 153));
    if (!onTab) {
        SetBkMode(dc, TRANSPARENT);
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    SetBkColor(dc, tabBody_);
    return tabBrush_.get();
}

bool AboutPage::OnMeasureItem(MEASUREITEMSTRUCT& item) {
    if (item.CtlID != kPluginList) return false;
    item.itemHeight = 20;
    return true;
}

bool AboutPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != kPluginList) return false;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= rows_.size()) return true;
    RECT icon{r.left + 2, r.top + 2, r.left + 18, r.top + 18};
    DrawPageIcon(dc, icon, 2, selected ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_WINDOW));
    // The text between the marks is drawn as a link, the rest plainly.
    const std::string& text = rows_[item.itemID].text;
    SetBkMode(dc, TRANSPARENT);
    int x = r.left + 22;
    size_t at = 0;
    bool link = false;
    for (;;) {
        const size_t a = text.find(kLinkMark, at), b = text.find(kPlainMark, at);
        const size_t next = std::min(a, b);
        const std::string piece = text.substr(at, next == std::string::npos ? std::string::npos : next - at);
        HGDIOBJ old = SelectObject(dc, link ? linkFont_.get() : host_->Font());
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                  : link ? RGB(0, 51, 153) : GetSysColor(COLOR_WINDOWTEXT));
        RECT pr{x, r.top, r.right, r.bottom};
        DrawTextA(dc, piece.c_str(), static_cast<int>(piece.size()), &pr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SIZE size{};
        GetTextExtentPoint32A(dc, piece.c_str(), static_cast<int>(piece.size()), &size);
        x += size.cx;
        SelectObject(dc, old);
        if (next == std::string::npos) break;
        link = next == a;
        at = next + 4;  // both marks are four characters
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
    return true;
}

void AboutPage::OnPluginListMouseUp(int x, int y) {
    HWND list = Item(kPluginList);
    const int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (selected < 0) return;
    RECT r;
    GetClientRect(list, &r);
    if (x >= 0 && y >= 0 && x < r.right && y <= r.bottom) OpenPlugin(selected);
    // Cleared either way, so the same row can be clicked again.
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

}  // namespace

std::string AboutProductLine() {
    return std::string(kAppTitle) + ", version " + CurrentVersionText() + "\r" + kSecondLine.Plain();
}

std::vector<PluginListRow> PluginListRows() {
    std::vector<PluginListRow> rows;
    for (const std::string& name : PluginKeys()) {
        const std::string key = JoinKey(kPluginsKey, name);
        if (GetString(HKEY_LOCAL_MACHINE, key, "Caption").empty()) continue;
        const std::string version = GetString(HKEY_LOCAL_MACHINE, key, "About_Version");
        const std::string suffix = version.empty() ? std::string() : " (version " + version + ")";
        rows.push_back({kLinkMark + name + kPlainMark + suffix, GetString(HKEY_LOCAL_MACHINE, key, "About_URL")});
    }
    return rows;
}

std::unique_ptr<SettingsPage> MakeAboutPage() { return std::make_unique<AboutPage>(); }

}  // namespace kk
