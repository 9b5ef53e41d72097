// A started main window on a scratch registry, for the window tests: the panel as Initialize leaves it, shown, with
// helpers to resize it, wait for the list's relayout and read where row controls are.
#pragma once
#include "app/initialize.h"
#include "engine/suite.h"
#include "pages/page_controls.h"
#include "panel/control_ids.h"
#include "panel/control_panel.h"
#include "support/message_pump.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kktest {

struct DialogStep {
    const char* windowClass;
    std::function<void(HWND)> act;
};

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    // A test may point the suite's programs and help at a folder of its own.
    void TearDown() override { kk::SetInstallPath(""); }

    // Creates and starts the panel, shows it and lets it paint; false when start-up refused.
    bool Start(const std::string& commandLine = "");
    // Starts another panel as the next run would, once this one's claim has ended; shown and painted unless told to
    // leave that to the test.
    bool StartAgain(kk::ControlPanel& next, bool pump = true);
    // Gives the window an outer size and waits for the relayout after the pause.
    void Resize(int width, int height);
    // Handles waiting messages as the program's own loop does (the panel first, then the dialog keys); with a
    // condition, until it holds or 3 s pass.
    void Pump();
    kktest::PreFilter MainLoopFilter();
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
    // Runs the steps, each once an enabled, visible window of its class is up, from a thread timer inside whichever
    // modal loop runs; open shows the first dialog. True when every step ran.
    using Step = DialogStep;
    bool Drive(std::vector<Step> steps, const std::function<void()>& open);
    // Makes the panel the active window and waits until it is (activation arrives late on a busy machine, and a first
    // click would go to it).
    void BringToFront();
    // Real mouse input at a screen position, handled before they return.
    void MouseTo(POINT screen);
    void MouseButton(bool down);
    // A press at from, then a move to `to` once held says the system's loop holds the press (by default: the window's
    // move or size loop), and the release once moved holds (by default: the window has moved or resized).
    void Drag(POINT from, POINT to, const std::function<bool(const GUITHREADINFO&)>& held = nullptr,
              std::function<bool()> moved = nullptr);
    // A key pressed and released on whichever control has the focus.
    void Key(WORD vk);
    void WaitForRelayout();

    // A row control's window and its rectangle on the list surface, in pixels.
    HWND RowControl(kk::RowFamily family, int toolId) const;
    RECT OnSurface(HWND control) const;
    RECT OnSurface(kk::RowFamily family, int toolId) const { return OnSurface(RowControl(family, toolId)); }
    // Where a control is on the screen.
    static RECT OnScreen(HWND control) {
        RECT r{};
        return GetWindowRect(control, &r), r;
    }
    static std::string Text(HWND hwnd) { return kk::ControlText(hwnd); }
    std::string Message(size_t i) const { return recorder.Message(i); }
    int Checked(int toolId) const {
        return static_cast<int>(SendMessageA(RowControl(kk::kFamilyCheckBox, toolId), BM_GETCHECK, 0, 0));
    }

    // Plugin rows under HKLM ...\Plugins, one subkey each.
    static void AddPlugin(const std::string& key, const std::string& caption, const std::string& link = "");

    ScratchRegistry scratch;
    SystemRecorder recorder;
    kk::ControlPanel panel;
    kk::InstanceClaim claim;
    kk::RestoreServer dde;
};

}  // namespace kktest
