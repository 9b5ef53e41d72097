// The hotkeys page (ToolId 150): a list of hotkeys, each a key combination
// (Ctrl and/or Alt, optionally Shift, plus one key) and the text the
// suite's hotkey component types for it.
//
// The page edits the working key HotkeysTemp: one string value per
// hotkey, named by the modifier code digit and the key name ("2F5" is
// Ctrl+F5), holding the text in double quotes; `_Advanced` holds the
// "Advanced method" box. Its result text is the number of hotkeys.
#pragma once
#include "pages/settings_page.h"

#include <memory>

namespace kk {

enum HotkeysControlId : int {
    kIdHotkeyList = 101,
    kIdHotkeyNew = 102,
    kIdHotkeyDelete = 103,
    kIdHotkeyAdvanced = 104,
    kIdHotkeyFrame = 109,
    kIdHotkeyShift = 110,  // HotkeyShift(i) is kIdHotkeyShift + i: 111 Alt, 112 Ctrl, 114 Shift
    kIdHotkeyKeyLabel = 120,
    kIdHotkeyAssortment = 121,
    kIdHotkeyMeatLabel = 122,
    kIdHotkeyMeat = 123,
    kIdHotkeyInsert = 124,
};

inline constexpr int kHotkeysToolId = 150;

std::unique_ptr<SettingsPage> MakeHotkeysPage();

}  // namespace kk
