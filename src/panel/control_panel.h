// The main window, ControlPanel: one object per window, bound at
// WM_NCCREATE, with one procedure that forwards to members.
#pragma once
#include <windows.h>

#include "engine/handles.h"

#include <functional>
#include <string>

namespace kk {

inline constexpr char kControlPanelClass[] = "KestrelkitControlPanel";

struct WorkAreaRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class ControlPanel {
public:
    ControlPanel();
    ~ControlPanel();
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    // Creates the hidden window and its controls; false when that fails.
    bool Create(HINSTANCE instance);
    HWND hwnd() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }

    // Application-wide values the main window's parts share.
    int pixelScaleX = 15, pixelScaleY = 15;
    int borderWidth = 0;
    WorkAreaRect workArea;
    bool loading = false;
    bool changesApplied = false;
    COLORREF focusBarColour = RGB(214, 228, 247);
    std::string maximizeTimerTag;  // "maximize" when the first tick maximises
    std::string commandLine;

    // Called on the first MaximizeTimer tick, after the default work.
    std::function<void(ControlPanel&)> onFirstTick;
    // Called when the user asks to close (Cancel, system menu, Alt+F4).
    std::function<void(ControlPanel&)> onCancel;

    void ApplySystemFonts(bool vista, bool themeActive);
    void ShowWarning(const std::string& text);
    void StartMaximizeTimer();

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void Layout();
    void Paint(HDC dc);
    void OnMaximizeTimer();

    HWND hwnd_ = nullptr;
    GdiObject<HFONT> font_;
    GdiObject<HFONT> titleFont_;
    GdiObject<HFONT> subtitleFont_;
};

// Height of the logo band at the top of the window, in pixels.
inline constexpr int kHeaderHeight = 58;

}  // namespace kk
