#include "panel/change_dialogs.h"

#include "engine/handles.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "pages/mnemonics.h"
#include "panel/bound_window.h"
#include "panel/focus_memory.h"
#include "panel/list_style.h"
#include "services/help.h"
#include "services/modal_loop.h"
#include "services/system_calls.h"

#include <commctrl.h>

#include <memory>
#include <vector>

namespace kk {
namespace {

const int kMargin = 8, kGap = 6;
const int kButtonWidth = 75, kButtonHeight = 23;
const int kTextWidth = 560, kTextHeight = 360;        // client area
const int kHistoryWidth = 560, kHistoryHeight = 300;  // client area
const int kMinWidth = 4 * kButtonWidth + 5 * kGap + 2 * kMargin, kMinHeight = 160;
const int kFixedPitchSize = 90;  // tenths of a point
const int kTimeColumn = 130, kOperationColumn = 90;
const int kColumnSlack = 4;  // the list's own border, so the last column needs no scrolling
const LPARAM kAltHeld = 1 << 29;  // the context code of a key message
const UINT kListFlags = LVS_EX_FULLROWSELECT;
const char kNoHistory[] = "No changes have been recorded yet.";
const int kLabelPadding = 2;  // where a report list view starts a label's text

// Edit controls break lines at "\r\n" only.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n' && (out.empty() || out.back() != '\r')) out += '\r';
        out += c;
    }
    return out;
}

// A state text for people: its NUL-separated fields joined by " | ".
std::string Printable(const std::string& state) {
    std::string out;
    for (char c : state) out += c == '\0' ? std::string(" | ") : std::string(1, c);
    return out.empty() ? "(empty)" : out;
}

std::string RowCaptions(const HistoryEntry& entry) {
    std::string text;
    for (const HistoryRow& row : entry.rows)
        text += (text.empty() ? "" : "; ") + (row.caption.empty() ? std::to_string(row.toolId) : row.caption);
    return text;
}

// A modal window of the panel's own: the owner waits, disabled, and the
// messages shown meanwhile are the dialog's. Subclasses build the controls,
// place them and answer their commands.
class ChangeDialog {
public:
    virtual ~ChangeDialog() = default;
    ChangeDialog() = default;
    ChangeDialog(const ChangeDialog&) = delete;
    ChangeDialog& operator=(const ChangeDialog&) = delete;

    void Run(HWND owner, const char* windowClass, const std::string& title, int width, int height);

protected:
    virtual void Build() = 0;
    virtual void Layout(int width, int height) = 0;
    // A command or a key that the subclass uses; true when it did.
    virtual bool Command(int id, int code) = 0;
    virtual bool Key(const MSG&) { return false; }
    virtual LRESULT Notify(NMHDR&) { return 0; }
    virtual HWND FirstFocus() const = 0;

    HWND Make(DWORD exStyle, const char* cls, const char* text, DWORD style, int id);
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // Close and Help at the bottom right, as the last two of a row of buttons.
    void PlaceCloseAndHelp(int width, int top);

    HWND hwnd_ = nullptr;
    bool done_ = false;
    int helpTopic_ = kTopicContents;
    GdiObject<HFONT> font_;

private:
    friend LRESULT CALLBACK kk::BoundWindowProc<ChangeDialog>(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool PreTranslate(const MSG& msg);
    FocusMemory focusMemory_;
};

HWND ChangeDialog::Make(DWORD exStyle, const char* cls, const char* text, DWORD style, int id) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
    HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return c;
}

void ChangeDialog::PlaceCloseAndHelp(int width, int top) {
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    const int help = width - kMargin - kButtonWidth;
    SetWindowPos(Item(kChangeHelp), nullptr, help, top, kButtonWidth, kButtonHeight, flags);
    SetWindowPos(Item(kChangeClose), nullptr, help - kGap - kButtonWidth, top, kButtonWidth, kButtonHeight, flags);
}

void ChangeDialog::Run(HWND owner, const char* windowClass, const std::string& title, int width, int height) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterBoundClass(instance, windowClass, BoundWindowProc<ChangeDialog>, GetSysColorBrush(COLOR_BTNFACE));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const int w = r.right - r.left, h = r.bottom - r.top;
    RECT main{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner) GetWindowRect(owner, &main);
    CreateWindowExA(exStyle, windowClass, title.c_str(), style, main.left + (main.right - main.left - w) / 2,
                    main.top + (main.bottom - main.top - h) / 2, w, h, owner, nullptr, instance, this);
    if (!hwnd_) return;
    MessageOwnerScope messages(hwnd_);
    LOGFONTA base;
    if (IsVista()) base = FontFace("Segoe UI", 90, FW_NORMAL);
    else if (!SystemMessageFont(base)) base = FontFace("Tahoma", 80, FW_NORMAL);
    font_.reset(CreateFontIndirectA(&base));
    Build();
    RECT client;
    GetClientRect(hwnd_, &client);
    Layout(client.right, client.bottom);

    ModalParts modal;
    modal.window = hwnd_;
    modal.owner = owner;
    modal.done = &done_;
    modal.firstFocus = [this] { return FirstFocus(); };
    modal.preTranslate = [this](const MSG& msg) { return PreTranslate(msg); };
    modal.close = [this] {
        if (hwnd_) DestroyWindow(hwnd_);
    };
    RunModal(modal);
}

bool ChangeDialog::PreTranslate(const MSG& msg) {
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    if (Key(msg)) return true;
    const bool altKey = msg.message == WM_SYSKEYDOWN && (msg.lParam & kAltHeld);
    if (altKey && !(GetKeyState(VK_CONTROL) & 0x8000) && FollowMnemonic(hwnd_, msg.wParam)) return true;
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_ESCAPE) {
        done_ = true;
        return true;
    }
    if (msg.wParam == VK_F1) {
        ShowHelp(helpTopic_);
        return true;
    }
    return false;
}

LRESULT ChangeDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (Command(LOWORD(wp), HIWORD(wp))) return 0;
        if (HIWORD(wp) != BN_CLICKED) break;
        if (LOWORD(wp) == kChangeClose || LOWORD(wp) == IDCANCEL) done_ = true;
        if (LOWORD(wp) == kChangeHelp) ShowHelp(helpTopic_);
        return 0;
    case WM_NOTIFY:
        return Notify(*reinterpret_cast<NMHDR*>(lp));
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) Layout(LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_GETMINMAXINFO: {
        RECT r{0, 0, kMinWidth, kMinHeight};
        AdjustWindowRectEx(&r, GetWindowLongA(hwnd_, GWL_STYLE), FALSE, GetWindowLongA(hwnd_, GWL_EXSTYLE));
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {r.right - r.left, r.bottom - r.top};
        return 0;
    }
    case WM_ACTIVATE:
        if (focusMemory_.OnActivate(hwnd_, wp)) return 0;
        break;
    case WM_CLOSE:
        done_ = true;
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

// The read-only text view with Close and Help: the preview and the details.
class TextDialog : public ChangeDialog {
public:
    TextDialog(const std::string& text, int helpTopic) : text_(WithCrLf(text)) { helpTopic_ = helpTopic; }

private:
    void Build() override {
        LOGFONTA fixed = FontFace("Courier New", kFixedPitchSize, FW_NORMAL);
        fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;  // where that face is missing, another of fixed pitch
        fixedFont_.reset(CreateFontIndirectA(&fixed));
        HWND view = Make(WS_EX_CLIENTEDGE, "EDIT", "",
                         WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                             ES_AUTOHSCROLL,
                         kChangeText);
        SendMessageA(view, WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont_.get()), FALSE);
        SetWindowTextA(view, text_.c_str());
        Make(0, "BUTTON", "&Close", WS_TABSTOP | BS_DEFPUSHBUTTON, kChangeClose);
        Make(0, "BUTTON", "&Help", WS_TABSTOP | BS_PUSHBUTTON, kChangeHelp);
    }
    void Layout(int width, int height) override {
        const int buttonTop = height - kMargin - kButtonHeight;
        SetWindowPos(Item(kChangeText), nullptr, kMargin, kMargin, width - 2 * kMargin,
                     buttonTop - kGap - kMargin, SWP_NOZORDER | SWP_NOACTIVATE);
        PlaceCloseAndHelp(width, buttonTop);
    }
    bool Command(int id, int code) override {
        if (id != IDOK || code != BN_CLICKED) return false;
        done_ = true;  // Enter closes
        return true;
    }
    HWND FirstFocus() const override { return Item(kChangeText); }

    std::string text_;
    GdiObject<HFONT> fixedFont_;
};

class HistoryDialog : public ChangeDialog {
public:
    explicit HistoryDialog(const HistoryHost& host) : host_(host) { helpTopic_ = kTopicHistory; }

private:
    void Build() override {
        HWND list = Make(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                         WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kHistoryList);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, kListFlags, kListFlags);
        const struct {
            const char* caption;
            int width;
        } kColumns[] = {{"Time", kTimeColumn}, {"Operation", kOperationColumn}, {"Rows changed", 0}};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = const_cast<char*>(kColumns[i].caption);
            column.cx = kColumns[i].width ? kColumns[i].width
                                          : kHistoryWidth - 2 * kMargin - kTimeColumn - kOperationColumn -
                                                GetSystemMetrics(SM_CXVSCROLL) - kColumnSlack;
            SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
        Make(0, "BUTTON", "&Undo", WS_TABSTOP | BS_PUSHBUTTON, kHistoryUndo);
        Make(0, "BUTTON", "&Details", WS_TABSTOP | BS_DEFPUSHBUTTON, kHistoryDetails);
        Make(0, "BUTTON", "&Close", WS_TABSTOP | BS_PUSHBUTTON, kChangeClose);
        Make(0, "BUTTON", "&Help", WS_TABSTOP | BS_PUSHBUTTON, kChangeHelp);
        Fill();
    }
    void Layout(int width, int height) override {
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        const int buttonTop = height - kMargin - kButtonHeight;
        SetWindowPos(Item(kHistoryList), nullptr, kMargin, kMargin, width - 2 * kMargin, buttonTop - kGap - kMargin,
                     flags);
        SetWindowPos(Item(kHistoryUndo), nullptr, kMargin, buttonTop, kButtonWidth, kButtonHeight, flags);
        SetWindowPos(Item(kHistoryDetails), nullptr, kMargin + kButtonWidth + kGap, buttonTop, kButtonWidth,
                     kButtonHeight, flags);
        PlaceCloseAndHelp(width, buttonTop);
    }
    HWND FirstFocus() const override { return Item(kHistoryList); }

    // The entries newest first, the first one selected.
    void Fill() {
        entries_ = ReadHistory();
        HWND list = Item(kHistoryList);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        for (size_t i = 0; i < entries_.size(); ++i) {
            const std::string texts[] = {entries_[i].time, entries_[i].operation, RowCaptions(entries_[i])};
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.pszText = const_cast<char*>(texts[0].c_str());
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            for (int column = 1; column < 3; ++column) {
                item.iSubItem = column;
                item.pszText = const_cast<char*>(texts[column].c_str());
                SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            }
        }
        if (entries_.empty()) {
            // A line that stands for no entry: greyed, and Selected() never names it.
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.pszText = const_cast<char*>(kNoHistory);
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        } else {
            LVITEMA state{};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
        }
        EnableButtons();
    }
    // The buttons that act on an entry, only while one is selected; a
    // disabled button that had the focus hands it to the list.
    void EnableButtons() {
        const bool selected = Selected() != nullptr;
        for (int id : {kHistoryUndo, kHistoryDetails}) {
            if (!selected && GetFocus() == Item(id)) SetFocus(Item(kHistoryList));
            EnableWindow(Item(id), selected);
        }
    }
    const HistoryEntry* Selected() const {
        const int index =
            static_cast<int>(SendMessageA(Item(kHistoryList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        return index >= 0 && index < static_cast<int>(entries_.size()) ? &entries_[index] : nullptr;
    }
    void ShowDetails() {
        if (const HistoryEntry* entry = Selected())
            RunTextDialog(hwnd_, kDetailsTitle, DetailsText(*entry), kTopicHistory);
    }
    void Undo() {
        const HistoryEntry* entry = Selected();
        if (!entry || !host_.rows) return;
        std::string question = "Undo the " + entry->operation + " of " + entry->time +
                               "?\r\rEach row it changed goes back to its state before.";
        if (host_.changesPending) question += "\rThe changes you have not applied are discarded.";
        if (ShowMessage(question, kHistoryTitle, MB_ICONQUESTION | MB_YESNO | MB_HELP, kTopicHistory) != IDYES)
            return;
        UndoHistoryEntry(*entry, *host_.rows);
        if (host_.onUndone) host_.onUndone();
        Fill();
    }
    bool Command(int id, int code) override {
        if (code != BN_CLICKED) return false;
        if (id == kHistoryUndo) Undo();
        else if (id == kHistoryDetails || id == IDOK) ShowDetails();
        else return false;
        return true;
    }
    bool Key(const MSG& msg) override {
        if (msg.message != WM_KEYDOWN || msg.wParam != VK_DELETE) return false;
        Undo();
        return true;
    }
    LRESULT Notify(NMHDR& header) override {
        if (header.idFrom != kHistoryList) return 0;
        if (header.code == LVN_ITEMCHANGED) EnableButtons();
        if (header.code == NM_DBLCLK) ShowDetails();
        if (header.code == NM_CUSTOMDRAW && entries_.empty()) return GreyNoHistoryLine(header);
        return 0;
    }

    // The line is drawn across every column: it is no entry of its own.
    LRESULT GreyNoHistoryLine(NMHDR& header) {
        auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
        RECT label{LVIR_LABEL, 0, 0, 0}, row{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(header.hwndFrom, LVM_GETITEMRECT, draw.nmcd.dwItemSpec, reinterpret_cast<LPARAM>(&label));
        SendMessageA(header.hwndFrom, LVM_GETITEMRECT, draw.nmcd.dwItemSpec, reinterpret_cast<LPARAM>(&row));
        RECT text{label.left + kLabelPadding, row.top, row.right, row.bottom};
        SetBkMode(draw.nmcd.hdc, TRANSPARENT);
        SetTextColor(draw.nmcd.hdc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(draw.nmcd.hdc, kNoHistory, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        return CDRF_SKIPDEFAULT;
    }

    HistoryHost host_;
    std::vector<HistoryEntry> entries_;
};

}  // namespace

std::string PreviewText(const RegistryJournal& preview) {
    const std::string listing = preview.Listing();
    if (preview.Changes().empty() && preview.Actions().empty()) return "Apply would change nothing.\n";
    return "Apply would make these changes, in this order:\n\n" + listing;
}

std::string DetailsText(const HistoryEntry& entry) {
    std::string text = entry.operation + ", " + entry.time + "\n\nRows (before -> after):\n";
    for (const HistoryRow& row : entry.rows)
        text += "  " + std::to_string(row.toolId) + " " + row.caption + ": " + Printable(row.before) + " -> " +
                Printable(row.after) + "\n";
    return text + "\nChanges:\n" + entry.changes;
}

void RunTextDialog(HWND owner, const std::string& title, const std::string& text, int helpTopic) {
    TextDialog dialog(text, helpTopic);
    dialog.Run(owner, kTextDialogClass, title, kTextWidth, kTextHeight);
}

void RunHistoryDialog(const HistoryHost& host) {
    HistoryDialog dialog(host);
    dialog.Run(host.owner, kHistoryDialogClass, kHistoryTitle, kHistoryWidth, kHistoryHeight);
}

}  // namespace kk
