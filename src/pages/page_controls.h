// Building a settings page's controls from a table, and the few control
// reads and writes every page needs. Geometry is in pixels inside the
// page's panel (about 460 x 220).
#pragma once
#include "pages/settings_page.h"

#include <windows.h>

#include <initializer_list>
#include <string>

namespace kk {

// Control kinds; each carries the styles that make the classic dialog look
// and the tab and group stops. A drop-down's height includes its list; a
// picture option is a push-like option button showing an icon (BM_SETIMAGE).
enum class ControlKind {
    Label,
    Edit,
    PushButton,
    CheckBox,
    FirstOption,
    Option,
    DropDown,      // editable
    DropDownList,  // choose only
    Frame,
    FirstPictureOption,
    PictureOption,
};

struct ControlSpec {
    int id;
    ControlKind kind;
    const char* caption;
    int left, top, width, height;
};

// Page geometry shared by the pages: classic dialog margins and heights.
inline constexpr int kPageMargin = 8;
inline constexpr int kPageWidth = 460;
inline constexpr int kOptionHeight = 20;
inline constexpr int kLabelHeight = 16;
inline constexpr int kEditHeight = 21;
inline constexpr int kButtonHeight = 23;

// Creates the controls in table order, which is also the tab order, in the
// given font. A control that cannot be created is left out.
void CreatePageControls(HWND panel, HFONT font, std::initializer_list<ControlSpec> controls);

std::string ControlText(HWND control);
// Sets the text unless it is already there, so no change is reported for it.
void SetControlText(HWND control, const std::string& text);
bool IsTicked(HWND button);
void SetTicked(HWND button, bool ticked);

// The background of a text box that is enabled (COLOR_WINDOW) or not
// (COLOR_BTNFACE), as a system colour index.
int InactiveBackColor(bool enabled);

// What every page keeps from Create: its panel and the dialog around it.
class PanelPage : public SettingsPage {
protected:
    void Attach(HWND panel, PageHost& host) {
        panel_ = panel;
        host_ = &host;
    }
    HWND Item(int id) const { return GetDlgItem(panel_, id); }

    HWND panel_ = nullptr;
    PageHost* host_ = nullptr;
};

}  // namespace kk
