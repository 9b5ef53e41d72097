// The Alt-Tab size page (ToolId 145): how many columns and rows of icons
// the Windows task-switching window shows. The user drags the corner of a
// model of that window, filled with tiny icons, or types the two numbers.
//
// Settings text, in and out: the columns, NUL, the rows, as decimal text.
// Columns are kept within 1 to 26 and rows within 1 to 9.
#pragma once
#include <windows.h>

#include "pages/settings_page.h"

#include <memory>

namespace kk {

enum AltTabControlId : int {
    kIdTinyIconFrame = 101,   // the model window
    kIdTinyIconResize = 102,  // its corner grip, a child of the model
    kIdTinyIconField = 110,   // TinyIconField(i) is kIdTinyIconField + i: 0 columns, 1 rows
    kIdTinyIconLabel = 115,   // the fields' labels, kIdTinyIconLabel + i
};

// The icons are images the model draws; the model answers this message
// with the state of icon wParam (from 1).
inline constexpr UINT kMsgTinyIconState = WM_APP + 1;
enum TinyIconState : LRESULT { kTinyIconNotMade = 0, kTinyIconHidden = 1, kTinyIconShown = 2 };

inline constexpr int kAltTabToolId = 145;

// The model's unit: one tiny icon. A cell of the grid is two icons wide
// and two high; the grip is a square of kTinyGripSize.
inline constexpr int kTinyIconSize = 8;
inline constexpr int kTinyGripSize = 16;
inline constexpr int kMaxColumns = 26, kMaxRows = 9;
// The model's size limits while dragging, in icons.
inline constexpr int kMinModelWidth = 5, kMaxModelWidth = 54;
inline constexpr int kMinModelHeight = 6, kMaxModelHeight = 22;

std::unique_ptr<SettingsPage> MakeAltTabPage();

}  // namespace kk
