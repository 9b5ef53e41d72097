// Control IDs of the main window, stable for automation (docs/automation.md).
// Row controls use family * 1000 + ToolId.
#pragma once
#include <windows.h>

namespace kk {

enum MainControlId : int {
    kIdApply = 10,
    kIdCancel = 11,
    kIdAbout = 12,
    kIdWarning = 13,
    kIdViewFrame = 20,
    kIdView = 21,
    kIdScrollBar = 22,
    kIdTitleButtons = 23,
    kIdResizeHandle = 24,
    kIdTooltip = 25,
    kIdTooltipCaption = 26,
    kIdLogo = 30,  // Logo member n is kIdLogo + n
};

// Commands the main window adds to its system menu (low four bits clear,
// below the system's own SC_ range).
enum SystemMenuCommand : UINT {
    kCmdPreviewChanges = 0x0110,
    kCmdHistory = 0x0120,
};

enum RowFamily : int {
    kFamilyCaptionTitle = 1,
    kFamilyDescription = 2,
    kFamilyChanged = 3,
    kFamilyCheckBox = 4,
    kFamilyButtonObject = 5,
    kFamilyBullet = 6,
    kFamilyHLink = 7,
};

inline constexpr int kFamilyCount = 8;  // families 1 to 7; index 0 unused

constexpr int RowControlId(RowFamily family, int toolId) { return family * 1000 + toolId; }
constexpr int FamilyOfControlId(int id) { return id >= 1000 && id < kFamilyCount * 1000 ? id / 1000 : 0; }
constexpr int ToolIdOfControlId(int id) { return id % 1000; }

// The main window's timers.
enum MainTimerId : UINT_PTR {
    kMaximizeTimer = 1,
    kResizeTimer = 2,
    kOutOfBoundsTimer = 3,
};

}  // namespace kk
