#include "pages/hotkeys_page.h"

#include "engine/footprint.h"
#include "engine/handles.h"
#include "engine/registry.h"
#include "pages/hotkey_pictures.h"
#include "pages/page_controls.h"
#include "pages/page_list.h"

#include <string>
#include <vector>

namespace kk {
namespace {

struct MenuTraits {
    static HMENU invalid() { return nullptr; }
    static bool valid(HMENU h) { return h != nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;

const char kColumnMark[] = "\t ";
const char kAdvancedName[] = "_Advanced";
const char kSettingPrefix = '_';
const char kQuote = '"';
const char kNewKey[] = "A";
const char kNewText[] = "My text";
constexpr int kNewCode = kAltBit;
constexpr int kModifierBits[] = {kAltBit, kCtrlBit, kShiftBit};
constexpr int kFirstSpecialCommand = 1;  // the menu answers 0 when nothing is picked
constexpr int kFunctionKeys = 12;

// Geometry in the page's panel (pixels).
constexpr int kListWidth = 184, kListHeight = 168, kKeyColumnWidth = 72;
constexpr int kSmallButtonWidth = 75, kButtonGap = 6;
constexpr int kFrameLeft = 198, kFrameTop = 2, kFrameHeight = 204, kFrameInset = 12;
constexpr int kComboDropHeight = 200, kComboWidth = 90, kInsertWidth = 85;
constexpr int kCaptionSpace = 22;  // the frame's caption above its first row
constexpr int kEditorPitch = 32, kModifierBoxWidth = 56, kBoxGap = 4;
constexpr int kLabelNudge = 3, kLabelGap = 2;  // a label beside or above its box

// The key drop-down's entries, in the order the user finds them.
std::vector<std::string> KeyNames() {
    std::vector<std::string> names;
    for (char c = 'A'; c <= 'Z'; ++c) names.emplace_back(1, c);
    for (const char* s : {"[", "\\", "]", ";", "~"}) names.emplace_back(s);
    for (char c = '*'; c <= '9'; ++c) names.emplace_back(1, c);
    for (int f = 1; f <= kFunctionKeys; ++f) names.push_back("F" + std::to_string(f));
    for (const char* s : {"ESC", "Spc", "Ins", "Del", "Home", "End", "PgUp", "PgDn", "Up", "Down", "Left", "Right",
                          "NmLk", "ScLk", "CpLk"})
        names.emplace_back(s);
    return names;
}

// The "Special..." menu: the text each item inserts, and its caption.
struct SpecialItem {
    std::string text, caption;
};
std::vector<SpecialItem> SpecialItems() {
    std::vector<SpecialItem> items = {{"^", "Ctrl +"},
                                      {"%", "Alt +"},
                                      {"+", "Shift +"}};
    for (const char* key : {"Enter", "Backspace", "ESC", "Tab", "Insert", "Delete", "Home", "End", "PGDN", "PGUP",
                            "Left", "Right", "Up", "Down"})
        items.push_back({std::string("{") + key + "}", std::string(key) + " key"});
    for (int f = 1; f <= kFunctionKeys; ++f)
        items.push_back({"{F" + std::to_string(f) + "}", "F" + std::to_string(f) + " key"});
    for (const char* key : {"CapsLock", "NumLock", "ScrollLock"})
        items.push_back({std::string("{") + key + "}", std::string(key) + " key"});
    items.push_back({"{Date}", "Current Date"});
    items.push_back({"{Time}", "Current Time"});
    return items;
}

// A row: the key, the column mark and the text; the code as its number
// and its picture; the text as its tag.
PageListRow HotkeyRow(int code, const std::string& key, const std::string& text) {
    return {key + kColumnMark + text, code, text, code};
}

std::string KeyOf(const PageListRow& row) { return row.text.substr(0, row.text.find('\t')); }

std::string Unquoted(const std::string& data) {
    if (data.size() >= 2 && data.front() == kQuote && data.back() == kQuote) return data.substr(1, data.size() - 2);
    return data;
}

// A value of another type than text holds no text to type: its bytes
// would show as garbage.
std::string StoredText(const NamedValue& value) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return {};
    return Unquoted(value.text);
}

// The code a stored name starts with; a non-digit counts as 0.
int CodeOf(const std::string& name) {
    return !name.empty() && name[0] >= '0' && name[0] <= '9' ? name[0] - '0' : 0;
}

HWND AddControl(HWND panel, HFONT font, DWORD exStyle, const char* cls, const char* caption, DWORD style, int id,
                const RECT& r) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(panel, GWLP_HINSTANCE));
    HWND control = CreateWindowExA(exStyle, cls, caption, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   instance, nullptr);
    if (control && font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

class HotkeysPage : public PanelPage, public PageListEvents {
public:
    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        const RECT listPlace{kPageMargin, kPageMargin, kPageMargin + kListWidth, kPageMargin + kListHeight};
        list_.Create(panel, kIdHotkeyList, listPlace, host.Font(), HotkeyImages(), *this, true, kKeyColumnWidth);
        const int buttonsTop = listPlace.bottom + kButtonGap;
        const int advancedTop = buttonsTop + kButtonHeight + kButtonGap;
        CreatePageControls(panel, host.Font(),
                           {
                               {kIdHotkeyNew, ControlKind::PushButton, "&New", kPageMargin, buttonsTop,
                                kSmallButtonWidth, kButtonHeight},
                               {kIdHotkeyDelete, ControlKind::PushButton, "&Del",
                                kPageMargin + kSmallButtonWidth + kButtonGap, buttonsTop, kSmallButtonWidth,
                                kButtonHeight},
                               {kIdHotkeyAdvanced, ControlKind::CheckBox, "Advanced method", kPageMargin,
                                advancedTop, kListWidth, kOptionHeight},
                           });
        // The editors wait for the first row chosen: hidden until then, they
        // would only cost the page's opening (a drop-down list is dear).
        ShowEditors(false);
    }

    void Fill(const std::string&) override {
        // The hotkeys come from the working key, not from the row's text.
        SetTicked(Item(kIdHotkeyAdvanced), GetString(HKEY_CURRENT_USER, kHotkeysTempKey, kAdvancedName) == "1");
        FillHotKeyList();
    }

    bool Accept(std::string& pageValue) override {
        ClearKey(HKEY_CURRENT_USER, kHotkeysTempKey, ClearMode::Values);
        for (int i = 0; i < list_.Count(); ++i) {
            const PageListRow& row = list_.Row(i);
            SetString(HKEY_CURRENT_USER, kHotkeysTempKey, std::to_string(row.number) + KeyOf(row),
                      kQuote + row.tag + kQuote);
        }
        SetString(HKEY_CURRENT_USER, kHotkeysTempKey, kAdvancedName, IsTicked(Item(kIdHotkeyAdvanced)) ? "1" : "0");
        pageValue = std::to_string(list_.Count());
        return true;
    }

    void OnCommand(int id, int code, HWND control) override {
        if (code == BN_CLICKED) {
            if (id == kIdHotkeyNew) AddHotkey();
            else if (id == kIdHotkeyDelete) DeleteHotkey();
            else if (id == kIdHotkeyAdvanced) host_->EnableAccept();
            else if (id == kIdHotkeyInsert) PickSpecial();
            for (int bit : kModifierBits)
                if (id == kIdHotkeyShift + bit) OnModifierClicked(bit);
        }
        if ((id == kIdHotkeyAssortment && code == CBN_SELCHANGE) || (id == kIdHotkeyMeat && code == EN_CHANGE))
            OnEntryEdited();
    }

    LRESULT OnNotify(const NMHDR& header) override {
        list_.HandleNotify(header);
        return 0;
    }

    void OnListSelect(PageList& list, int row) override {
        ShowEditors(row >= 0);
        if (row < 0) return;
        host_->EnableAccept();
        LoadRow(list.Row(row));
    }

private:
    void CreateFrame() {
        HFONT font = host_->Font();
        // The frame takes the panel's width up to its margin: its caption is long.
        RECT panel{};
        GetClientRect(panel_, &panel);
        const int frameRight = panel.right - kPageMargin;
        const int left = kFrameLeft + kFrameInset, right = frameRight - kFrameInset;
        const int boxTop = kFrameTop + kCaptionSpace, keyTop = boxTop + kEditorPitch, meatTop = keyTop + kEditorPitch;
        const int boxStep = kModifierBoxWidth + kBoxGap, width = right - left;
        const int meatBoxTop = meatTop + kLabelHeight + kLabelGap, insertTop = meatBoxTop + kEditHeight + kButtonGap;
        // Transparent: the panel clips its children, and a group box paints
        // only its rim and caption, so the panel must paint what it encloses.
        AddControl(panel_, font, WS_EX_TRANSPARENT, "BUTTON", "Settings for the currently selected hotkey:",
                   BS_GROUPBOX | WS_GROUP, kIdHotkeyFrame,
                   RECT{kFrameLeft, kFrameTop, frameRight, kFrameTop + kFrameHeight});
        CreatePageControls(
            panel_, font,
            {
                {kIdHotkeyShift + kAltBit, ControlKind::CheckBox, "Alt", left, boxTop, kModifierBoxWidth,
                 kOptionHeight},
                {kIdHotkeyShift + kCtrlBit, ControlKind::CheckBox, "Ctrl", left + boxStep, boxTop, kModifierBoxWidth,
                 kOptionHeight},
                {kIdHotkeyShift + kShiftBit, ControlKind::CheckBox, "Shift", left + 2 * boxStep, boxTop,
                 kModifierBoxWidth, kOptionHeight},
                {kIdHotkeyKeyLabel, ControlKind::Label, "Key:", left, keyTop + kLabelNudge, width - kComboWidth,
                 kLabelHeight},
            });
        AddControl(panel_, font, 0, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                   kIdHotkeyAssortment, RECT{right - kComboWidth, keyTop, right, keyTop + kComboDropHeight});
        CreatePageControls(
            panel_, font,
            {
                {kIdHotkeyMeatLabel, ControlKind::Label, "Text to type:", left, meatTop, width, kLabelHeight},
                {kIdHotkeyMeat, ControlKind::Edit, "", left, meatBoxTop, width, kEditHeight},
                {kIdHotkeyInsert, ControlKind::PushButton, "Special...", right - kInsertWidth, insertTop,
                 kInsertWidth, kButtonHeight},
            });
        HWND combo = Item(kIdHotkeyAssortment);
        for (const std::string& key : keyNames_)
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key.c_str()));
    }

    void FillHotKeyList() {
        const std::vector<NamedValue> values = ReadValues(HKEY_CURRENT_USER, kHotkeysTempKey);
        PageListBatch batch(list_);
        for (const NamedValue& value : values) {
            const std::string& name = value.name;
            if (!name.empty() && name[0] == kSettingPrefix) continue;
            const int code = CodeOf(name);
            if (!IsHotkeyCode(code)) continue;  // no picture, no row
            list_.Append(HotkeyRow(code, name.substr(1), StoredText(value)));
        }
        menu_.reset(CreatePopupMenu());
        for (size_t i = 0; i < specials_.size(); ++i)
            AppendMenuA(menu_.get(), MF_STRING, kFirstSpecialCommand + i, specials_[i].caption.c_str());
    }

    // The frame and everything in it come and go together.
    void ShowEditors(bool show) {
        if (show && !Item(kIdHotkeyFrame)) CreateFrame();
        for (int id : {int{kIdHotkeyFrame}, kIdHotkeyShift + kAltBit, kIdHotkeyShift + kCtrlBit,
                       kIdHotkeyShift + kShiftBit, int{kIdHotkeyKeyLabel}, int{kIdHotkeyAssortment},
                       int{kIdHotkeyMeatLabel}, int{kIdHotkeyMeat}, int{kIdHotkeyInsert}})
            ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE);
        // The focus would be lost on a button that is switched off.
        if (!show && GetFocus() == Item(kIdHotkeyDelete)) SetFocus(list_.Window());
        EnableWindow(Item(kIdHotkeyDelete), show);
    }

    void LoadRow(const PageListRow& row) {
        loading_ = true;
        for (int bit : kModifierBits) SetTicked(Item(kIdHotkeyShift + bit), (row.number & bit) != 0);
        // An unknown key leaves the drop-down at its current choice.
        const std::string key = KeyOf(row);
        for (size_t i = 0; i < keyNames_.size(); ++i)
            if (keyNames_[i] == key) SendMessageA(Item(kIdHotkeyAssortment), CB_SETCURSEL, i, 0);
        HWND meat = Item(kIdHotkeyMeat);
        SetControlText(meat, row.tag);
        const LPARAM end = GetWindowTextLengthA(meat);
        SendMessageA(meat, EM_SETSEL, end, end);
        loading_ = false;
    }

    int Modifiers() const {
        int code = 0;
        for (int bit : kModifierBits)
            if (IsTicked(Item(kIdHotkeyShift + bit))) code += bit;
        return code;
    }

    // Every hotkey keeps Ctrl or Alt: clearing the last of them ticks the other.
    void OnModifierClicked(int bit) {
        if (loading_) return;
        int code = Modifiers();
        if (!IsHotkeyCode(code)) SetTicked(Item(kIdHotkeyShift + (bit == kCtrlBit ? kAltBit : kCtrlBit)), true);
        code = Modifiers();
        list_.SetNumber(list_.Selected(), code, code);
        host_->EnableAccept();
    }

    std::string ChosenKey(const PageListRow& row) const {
        const LRESULT at = SendMessageA(Item(kIdHotkeyAssortment), CB_GETCURSEL, 0, 0);
        return at >= 0 && static_cast<size_t>(at) < keyNames_.size() ? keyNames_[at] : KeyOf(row);
    }

    void OnEntryEdited() {
        const int selected = list_.Selected();
        if (loading_ || selected < 0) return;
        PageListRow row = list_.Row(selected);
        row.tag = ControlText(Item(kIdHotkeyMeat));
        row.text = ChosenKey(row) + kColumnMark + row.tag;
        list_.SetRow(selected, row);
        host_->EnableAccept();
    }

    void PickSpecial() {
        RECT button{};
        GetWindowRect(Item(kIdHotkeyInsert), &button);
        const int picked = TrackPopupMenu(menu_.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN,
                                          button.left, button.bottom, 0, panel_, nullptr) -
                           kFirstSpecialCommand;
        if (picked >= 0 && picked < static_cast<int>(specials_.size())) InsertAtCaret(specials_[picked].text);
    }

    void InsertAtCaret(const std::string& insert) {
        HWND meat = Item(kIdHotkeyMeat);
        DWORD start = 0;
        SendMessageA(meat, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        const std::string text = ControlText(meat);
        const size_t at = start < text.size() ? start : text.size();
        SetControlText(meat, text.substr(0, at) + insert + text.substr(at));
        const LPARAM caret = static_cast<LPARAM>(at + insert.size());
        SendMessageA(meat, EM_SETSEL, caret, caret);
        SetFocus(meat);
    }

    void AddHotkey() {
        list_.Append(HotkeyRow(kNewCode, kNewKey, kNewText));
        list_.Select(list_.Count() - 1);
        host_->EnableAccept();
    }

    void DeleteHotkey() {
        const int selected = list_.Selected();
        if (selected < 0) return;
        list_.Remove(selected);
        list_.Select(-1);
        ShowEditors(false);
        host_->EnableAccept();
    }

    PageList list_;
    UniqueMenu menu_;
    const std::vector<std::string> keyNames_ = KeyNames();
    const std::vector<SpecialItem> specials_ = SpecialItems();
    bool loading_ = false;  // a row is being loaded into the editors
};

}  // namespace

std::unique_ptr<SettingsPage> MakeHotkeysPage() { return std::make_unique<HotkeysPage>(); }

}  // namespace kk
