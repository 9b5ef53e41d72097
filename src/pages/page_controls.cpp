#include "pages/page_controls.h"

#include <vector>

namespace kk {
namespace {

struct KindStyle {
    const char* cls;
    DWORD style, exStyle;
};

KindStyle StyleOf(ControlKind kind) {
    // WS_GROUP after an option group ends it, so the dialog manager's
    // arrow keys and the auto option buttons stay within their group.
    switch (kind) {
    case ControlKind::Label: return {"STATIC", SS_LEFT | WS_GROUP, 0};
    case ControlKind::Edit: return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE};
    case ControlKind::PushButton: return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
    case ControlKind::CheckBox: return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0};
    case ControlKind::FirstOption: return {"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 0};
    case ControlKind::Option: return {"BUTTON", BS_AUTORADIOBUTTON, 0};
    case ControlKind::DropDown:
        return {"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0};
    case ControlKind::DropDownList: return {"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0};
    case ControlKind::Frame: return {"BUTTON", BS_GROUPBOX | WS_GROUP, 0};
    case ControlKind::FirstPictureOption:
        return {"BUTTON", BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_ICON | WS_TABSTOP | WS_GROUP, 0};
    case ControlKind::PictureOption: return {"BUTTON", BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_ICON, 0};
    }
    return {"STATIC", 0, 0};
}

}  // namespace

void CreatePageControls(HWND panel, HFONT font, std::initializer_list<ControlSpec> controls) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(panel, GWLP_HINSTANCE));
    for (const ControlSpec& c : controls) {
        const KindStyle kind = StyleOf(c.kind);
        HWND control = CreateWindowExA(kind.exStyle, kind.cls, c.caption, WS_CHILD | WS_VISIBLE | kind.style,
                                       c.left, c.top, c.width, c.height, panel,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        if (control && font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

std::string ControlText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void SetControlText(HWND control, const std::string& text) {
    // An edit box tells its parent of every WM_SETTEXT; a text that stays
    // the same is no change, so it is not sent.
    if (ControlText(control) == text) return;
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool IsTicked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetTicked(HWND button, bool ticked) {
    SendMessageA(button, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int InactiveBackColor(bool enabled) { return enabled ? COLOR_WINDOW : COLOR_BTNFACE; }

}  // namespace kk
