#include "app/placement.h"

#include "engine/registry.h"
#include "engine/suite.h"

#include <cstdlib>
#include <string>

namespace kk {
namespace {

bool ParseNumber(const std::string& text, long& out) {
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && end && *end == '\0';
}

}  // namespace

WorkAreaRect WorkAreaFor(int screenWidth, int screenHeight, int b, const RECT* taskbar) {
    WorkAreaRect area{-b, -b, screenWidth + 2 * b, screenHeight + 2 * b};
    if (!taskbar) return area;
    const int midX = screenWidth / 2, midY = screenHeight / 2;
    if (taskbar->left > midX) area.right = taskbar->left + b;
    else if (taskbar->right < midX) area.left = taskbar->right - b;
    else if (taskbar->bottom < midY) area.top = taskbar->bottom - b;
    else if (taskbar->top > midY) area.bottom = taskbar->top + b;
    return area;
}

void ComputeWorkArea(ControlPanel& panel) {
    // Screen size in twips, divided back by the scale, as the frame measures it.
    int width = GetSystemMetrics(SM_CXSCREEN) * panel.pixelScaleX / (panel.pixelScaleX ? panel.pixelScaleX : 1);
    int height = GetSystemMetrics(SM_CYSCREEN) * panel.pixelScaleY / (panel.pixelScaleY ? panel.pixelScaleY : 1);
    RECT taskbarRect;
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    bool haveTaskbar = taskbar && GetWindowRect(taskbar, &taskbarRect);
    panel.workArea = WorkAreaFor(width, height, panel.borderWidth, haveTaskbar ? &taskbarRect : nullptr);
}

void RestorePlacement(ControlPanel& panel) {
    std::string left = GetString(HKEY_CURRENT_USER, kSuiteKey, "CPLeft");
    std::string top = GetString(HKEY_CURRENT_USER, kSuiteKey, "CPTop");
    std::string width = GetString(HKEY_CURRENT_USER, kSuiteKey, "CPWidth");
    std::string height = GetString(HKEY_CURRENT_USER, kSuiteKey, "CPHeight");
    if (GetString(HKEY_CURRENT_USER, kSuiteKey, "MaxWindow") == "1") {
        panel.maximizeTimerTag = "maximize";
        return;
    }
    long l, t, w, h;
    if (ParseNumber(left, l) && ParseNumber(top, t) && ParseNumber(width, w) && ParseNumber(height, h)) {
        MoveWindow(panel.hwnd(), l / panel.pixelScaleX, t / panel.pixelScaleY, w / panel.pixelScaleX,
                   h / panel.pixelScaleY, FALSE);
    }
}

void SavePlacement(ControlPanel& panel) {
    HWND hwnd = panel.hwnd();
    if (IsZoomed(hwnd)) {
        SetString(HKEY_CURRENT_USER, kSuiteKey, "MaxWindow", "1");
    } else if (!IsIconic(hwnd)) {
        RECT r;
        GetWindowRect(hwnd, &r);
        SetString(HKEY_CURRENT_USER, kSuiteKey, "CPLeft", std::to_string(r.left * panel.pixelScaleX));
        SetString(HKEY_CURRENT_USER, kSuiteKey, "CPTop", std::to_string(r.top * panel.pixelScaleY));
        SetString(HKEY_CURRENT_USER, kSuiteKey, "CPWidth", std::to_string((r.right - r.left) * panel.pixelScaleX));
        SetString(HKEY_CURRENT_USER, kSuiteKey, "CPHeight", std::to_string((r.bottom - r.top) * panel.pixelScaleY));
        SetString(HKEY_CURRENT_USER, kSuiteKey, "MaxWindow", "0");
    }
    // Minimised or not, the list opens where the user left it.
    SetString(HKEY_CURRENT_USER, kSuiteKey, "ScrollPos", std::to_string(panel.scrollBar().Value()));
}

}  // namespace kk
