// The main window, ControlPanel: one object per window, bound at
// WM_NCCREATE, with one procedure that forwards to members. It owns the
// tool list and its frame, surface and scroll bar, places its chrome, and
// gives the apply engine the list's rows through RowAccess.
#pragma once
#include <windows.h>

#include "engine/apply_engine.h"
#include "engine/handles.h"
#include "pages/settings_dialog.h"
#include "panel/list_scroll.h"
#include "panel/list_style.h"
#include "panel/bound_window.h"
#include "panel/focus_memory.h"
#include "panel/list_surface.h"
#include "panel/picture_window.h"
#include "panel/title_buttons.h"
#include "panel/tool_list.h"

#include <functional>
#include <string>

namespace kk {

inline constexpr char kControlPanelClass[] = "KestrelkitControlPanel";

struct WorkAreaRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The head of the window, in pixels: the caption zone above the first logo
// image, the logo images, and the room kept for the title-bar buttons.
inline constexpr int kLogoWidth = 200;
inline constexpr int kLogoTop = 20, kLogoHeight = 38;
inline constexpr int kSecondLogoTop = 23;
inline constexpr int kGripSize = 15;
// Posted by the title-bar buttons when they take the focus, so the main
// window can hand it back once the click has been handled.
inline constexpr UINT kMsgTitleButtonsFocused = WM_APP + 1;
// The smallest size the user can give the window.
inline constexpr int kMinWindowWidth = 440, kMinWindowHeight = 300;

class ControlPanel : public RowAccess, public SettingsRows, private ListEvents {
public:
    ControlPanel();
    ~ControlPanel() override;
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    // Creates the hidden window and its controls; false when that fails.
    bool Create(HINSTANCE instance);
    HWND hwnd() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
    HWND ViewFrame() const { return frame_.hwnd(); }
    HWND View() const { return surface_.hwnd(); }
    HWND ScrollBar() const { return scroll_.hwnd(); }

    // Application-wide values the main window's parts share.
    int pixelScaleX = 15, pixelScaleY = 15;
    int borderWidth = 0;
    WorkAreaRect workArea;
    bool loading = false;
    bool changesApplied = false;
    int currentToolId = 0;   // the page the settings dialog opens; kAboutToolId is About
    int focusedToolId = 0;   // the row that last had the keyboard focus
    int helpContext = kTopicContents;  // F1's topic: the last focused row, kept when the focus leaves
    bool uninstallMode = false;  // the first tick uninstalls instead of maximising
    COLORREF focusBarColour = RGB(214, 228, 247);
    std::string maximizeTimerTag;  // "maximize" when the first tick maximises
    std::string commandLine;

    // Called on the first MaximizeTimer tick, after the default work.
    std::function<void(ControlPanel&)> onFirstTick;
    // Called once the user's close (Cancel, system menu, Alt+F4, the end of
    // the session) has been confirmed, before the hook is removed and the
    // window destroyed: it saves the placement.
    std::function<void(ControlPanel&)> onCancel;
    // Works the work area out again (the taskbar may have moved).
    std::function<void(ControlPanel&)> onRefreshWorkArea;
    // Called once, when the built list is first painted.
    std::function<void(ControlPanel&)> onListPainted;

    // Fonts for every control: Segoe UI on Vista, else the message font.
    // Runs before the list is built.
    void ApplySystemFonts(bool vista, bool themeActive);
    void ShowWarning(const std::string& text);
    // The uninstall mode's face: the list and buttons hidden, the Warning
    // label centred and drawn.
    void ShowUninstallView();
    // Cancel: asks about unapplied changes, then closes through onCancel.
    // True when the window is closing.
    bool Cancel();
    // The Apply button.
    void Apply();
    // The system menu's "Preview changes..." and "History..."; after an
    // undo the rows are detected again and nothing is pending.
    void PreviewChanges();
    void ShowHistory();
    void Redetect();
    // Opens the system menu at a screen point and carries out its choice.
    void ShowSystemMenu(POINT screen);
    // A row changed: Apply is enabled and, while nothing has been applied
    // yet, Cancel reads "&Cancel".
    void NoteChange();
    // Messages the window sees before its controls: F1, the list keys and
    // the mouse over row texts; true when consumed.
    bool PreTranslate(const MSG& msg);
    // The help topic F1 opens: the last row that had the focus, else the general one.
    int HelpContext() const { return helpContext; }
    void StartMaximizeTimer();

    // The window's own frame, answered by its message hook.
    void FillMinMaxInfo(MINMAXINFO& info) const;
    int FrameHit(POINT screen) const;  // 0: let the old procedure answer
    // Restores a maximised window that no longer fills the work area.
    void CheckMaximisedPlace();
    void RefreshWorkArea();
    TitleButtons& titleButtons() { return titleButtons_; }
    // Restarts the pause after which the list is laid out again.
    void RestartResizePause();

    // The focus marker FocusBar, twips on the list surface.
    void SetFocusMarker(bool visible, int toolId, int left, int top, int width, int height);
    bool FocusMarkerShown() const { return marker_.visible; }
    const FocusMarker& focusMarker() const { return marker_; }
    // The in-place tooltip over a row's caption: its left and top in the
    // window's client pixels, the text's own size in pixels.
    void ShowTooltip(int toolId, const std::string& text, int left, int top, int width, int height);
    void HideTooltip();
    int TooltipToolId() const { return tooltipToolId_; }

    // The tool list.
    ListStyle& style() { return style_; }
    ToolList& list() { return list_; }
    const ToolList& list() const { return list_; }
    ListScrollBar& scrollBar() { return scroll_; }
    // Builds every row and lays the list out once; the caller hides the
    // surface around it.
    void BuildList();
    // The resize pause's tick: lays the list out again, keeping the row at
    // the top of the view where it was.
    void Relayout();
    bool ResizePending() const { return resizePending_; }
    // The first row whose marker line reaches into the view; -1 at the top.
    int AnchorRow() const;
    // Fits the scroll bar to the frame and the content.
    void SetScrollBar();
    int SurfaceHeight() const { return surfaceHeight_; }
    PixelScale Scale() const { return {pixelScaleX, pixelScaleY}; }

    // RowAccess on the real row controls.
    int RowCount() const override { return list_.Count(); }
    int ToolIdAt(int position) const override { return list_.ToolIdAt(position); }
    std::string KindTag(int toolId) const override;
    bool ChangedShown(int toolId) const override;
    void HideChanged(int toolId) override;
    int CheckValue(int toolId) const override;
    std::string CheckTag(int toolId) const override;
    void SetCheckTag(int toolId, const std::string& tag) override;
    std::string ButtonTag(int toolId) const override;
    std::string LinkTag(int toolId) const override;
    void MarkChangesApplied() override;

    // SettingsRows: the settings dialog reads and writes the rows' tags.
    HWND Window() const override { return hwnd_; }
    std::optional<std::string> LinkText(int toolId) const override;
    std::optional<std::string> ButtonText(int toolId) const override;
    void SetLinkText(int toolId, const std::string& text) override;
    void SetButtonText(int toolId, const std::string& text) override;
    void MarkModified(int toolId) override;

private:
    template <typename T>
    friend LRESULT CALLBACK BoundWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void PlaceChrome();
    void Paint(HDC dc);
    void OnMaximizeTimer();
    void OnCommand(int id, int code);
    void AddSystemMenuItems();
    void UpdateSystemMenu();

    // ListEvents
    void OnRowCommand(int controlId, int code) override;
    void OnFrameResized() override;
    void OnScrollBar(int code) override;
    void OnSurfacePainted() override;
    void OnListFocused(HWND window) override;

    HWND hwnd_ = nullptr;
    ListStyle style_;
    ToolList list_;
    ListFrame frame_;
    ListSurface surface_;
    ListScrollBar scroll_{pixelScaleX, pixelScaleY};
    PictureWindow logo_[2];
    PictureWindow grip_;
    TitleButtons titleButtons_;
    FocusMarker marker_;
    PictureWindow tooltip_;
    HWND tooltipCaption_ = nullptr;
    int tooltipToolId_ = 0;
    FocusMemory focusMemory_;
    GdiObject<HBRUSH> tooltipBrush_;
    int surfaceHeight_ = 0;
    bool resizePending_ = false;
    bool savedScrollRead_ = false, hasSavedScroll_ = false;
    int savedScroll_ = 0;
    bool listPainted_ = false;
    GdiObject<HFONT> font_;
    GdiObject<HFONT> titleFont_;
    GdiObject<HFONT> smallFont_;
};

}  // namespace kk
