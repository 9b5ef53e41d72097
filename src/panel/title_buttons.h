// TitleButtons: the minimise, maximise/restore and close buttons that the
// main window draws for itself in a small strip at its top right. A press
// only acts when it is released over the same button; the pressed glyph
// follows the pointer while the button is held.
#pragma once
#include <windows.h>

#include "panel/bound_window.h"

namespace kk {

class ControlPanel;

inline constexpr char kTitleButtonsClass[] = "KestrelkitTitleButtons";
inline constexpr int kTitleButtonsWidth = 53, kTitleButtonsHeight = 15, kTitleButtonsInset = 3;

class TitleButtons {
public:
    // Which button a press belongs to.
    enum Button : int { kNone = 0, kMinimise = 1, kMaximise = 2, kClose = 3 };

    TitleButtons() = default;
    TitleButtons(const TitleButtons&) = delete;
    TitleButtons& operator=(const TitleButtons&) = delete;

    bool Create(ControlPanel& panel, int id, int bandHeight);
    HWND hwnd() const { return hwnd_; }

    // The button under a strip position, kNone between and outside them.
    static Button ZoneAt(int x, int y);

    // The mouse on the strip, positions in pixels from its top-left corner.
    void ButtonDown(bool left, int x, int y);
    void Move(bool leftHeld, int x, int y);
    void ButtonUp(bool left, int x, int y);

    // Back to the background glyphs (restore shown while maximised).
    void ShowNormal();
    Button Pressed() const { return pressed_; }
    // The glyph drawn over a button's background, 0 when none is.
    int DrawnOver(Button button) const;

private:
    template <typename T>
    friend LRESULT CALLBACK BoundWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Draw(Button at, int member);
    Button DrawPressed(int x, int y);
    void Clear();
    void Paint(HDC dc);
    bool Maximised() const;

    HWND hwnd_ = nullptr;
    ControlPanel* panel_ = nullptr;
    int bandHeight_ = 0;
    Button pressed_ = kNone;
    int drawn_[4] = {};  // by Button; 0 shows the background glyph
};

}  // namespace kk
