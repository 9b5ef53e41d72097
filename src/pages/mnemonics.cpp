#include "pages/mnemonics.h"

#include "pages/page_controls.h"

#include <cctype>
#include <vector>

namespace kk {
namespace {

const char kNoMnemonic = 0;

bool IsLetterOrDigit(WPARAM key) { return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'); }

bool IsClass(HWND control, const char* name) {
    char cls[16] = {};
    GetClassNameA(control, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

bool IsButton(HWND control) { return IsClass(control, "Button"); }

// A label names the control after it: a static text or a group frame.
bool IsLabel(HWND control) {
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    if (IsButton(control)) return (style & BS_TYPEMASK) == BS_GROUPBOX;
    return IsClass(control, "Static") && !(style & SS_NOPREFIX);
}

// The upper-case letter after the caption's single "&"; "&&" is a plain "&".
char MnemonicOf(HWND control) {
    if (!IsButton(control) && !IsLabel(control)) return kNoMnemonic;
    const std::string text = ControlText(control);
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
        ++i;
    }
    return kNoMnemonic;
}

// Every control in tab order: children in z-order, and the children of a
// control parent (a page's panel) in its place.
void CollectControls(HWND parent, std::vector<HWND>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        out.push_back(c);
        if (GetWindowLongPtrA(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) CollectControls(c, out);
    }
}

bool Usable(HWND control) { return IsWindowVisible(control) && IsWindowEnabled(control); }

}  // namespace

bool FollowMnemonic(HWND dialog, WPARAM key) {
    if (!IsLetterOrDigit(key)) return false;
    std::vector<HWND> controls;
    CollectControls(dialog, controls);
    // The first matching control after the focus, round the end; and how many match.
    const HWND focus = GetFocus();
    HWND first = nullptr, next = nullptr;
    int matches = 0;
    bool pastFocus = false;
    for (HWND c : controls) {
        if (c == focus) pastFocus = true;
        if (!Usable(c) || MnemonicOf(c) != static_cast<char>(key)) continue;
        ++matches;
        if (!first) first = c;
        if (pastFocus && c != focus && !next) next = c;
    }
    HWND target = next ? next : first;
    if (!target) return false;
    if (IsLabel(target)) {
        HWND named = GetNextDlgTabItem(dialog, target, FALSE);
        if (!named) return true;
        SetFocus(named);
        // A text box reached from the keyboard has its text selected, ready to be typed over.
        if (SendMessageA(named, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(named, EM_SETSEL, 0, -1);
        return true;
    }
    SetFocus(target);
    // A letter of its own presses the button; a shared one only reaches it.
    if (matches == 1) SendMessageA(target, BM_CLICK, 0, 0);
    return true;
}

}  // namespace kk
