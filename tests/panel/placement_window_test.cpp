// Where the main window lies: the placement saved by Cancel and restored
// at the next start (normal, maximised, minimised), the work area the
// taskbar leaves, and the size limits the window answers.
#include "app/placement.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/panel_fixture.h"

#include <memory>

using namespace kk;
using kktest::PanelTest;

namespace {

// What Cancel saved: left, top, width and height in twips, the maximised
// flag and the scroll position.
std::string Saved() {
    std::string saved;
    for (const char* name : {"CPLeft", "CPTop", "CPWidth", "CPHeight", "MaxWindow", "ScrollPos"})
        saved += (saved.empty() ? "" : " ") + GetString(HKEY_CURRENT_USER, kSuiteKey, name);
    return saved;
}

class Placement : public PanelTest {
protected:
    void Cancel() {
        SendMessageA(panel.Control(kIdCancel), BM_CLICK, 0, 0);
        Pump();
    }
    // Starts a second panel in this process, as the next run would.
    bool StartAgain(ControlPanel& next) {
        dde.Stop();
        claim = InstanceClaim();  // the first run's claim ends with it
        if (!next.Create(GetModuleHandleA(nullptr))) return false;
        StartupContext context{next, claim, dde, ""};
        if (!Initialize(context)) return false;
        ShowWindow(next.hwnd(), SW_SHOW);
        Pump();
        return true;
    }
    void Preset(const char* left, const char* top, const char* width, const char* height, const char* max) {
        SetString(HKEY_CURRENT_USER, kSuiteKey, "CPLeft", left);
        SetString(HKEY_CURRENT_USER, kSuiteKey, "CPTop", top);
        SetString(HKEY_CURRENT_USER, kSuiteKey, "CPWidth", width);
        SetString(HKEY_CURRENT_USER, kSuiteKey, "CPHeight", height);
        SetString(HKEY_CURRENT_USER, kSuiteKey, "MaxWindow", max);
    }
};

TEST_F(Placement, ANormalWindowComesBackWhereItWasWithItsScrollPosition) {
    ASSERT_TRUE(Start());
    SetWindowPos(panel.hwnd(), nullptr, 100, 80, 600, 400, SWP_NOZORDER);
    WaitForRelayout();
    panel.scrollBar().SetValue(1500);
    Cancel();
    EXPECT_FALSE(IsWindow(panel.hwnd())) << "Cancel closes the window";
    EXPECT_EQ(Saved(), "1500 1200 9000 6000 0 1500");

    ControlPanel next;
    ASSERT_TRUE(StartAgain(next));
    RECT r;
    GetWindowRect(next.hwnd(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 400);
    EXPECT_EQ(next.scrollBar().Value(), 1500);
}

TEST_F(Placement, AMaximisedWindowSavesOnlyTheFlagAndComesBackMaximised) {
    Preset("1500", "1200", "9000", "6000", "0");
    ASSERT_TRUE(Start());
    ShowWindow(panel.hwnd(), SW_MAXIMIZE);
    WaitForRelayout();
    panel.scrollBar().SetValue(600);
    Cancel();
    EXPECT_EQ(Saved(), "1500 1200 9000 6000 1 600") << "the normal placement of the earlier run stays";

    // Started as the next run would; no message is handled before the
    // checks, so the 50 ms tick cannot have come yet.
    ControlPanel next;
    dde.Stop();
    claim = InstanceClaim();
    ASSERT_TRUE(next.Create(GetModuleHandleA(nullptr)));
    StartupContext context{next, claim, dde, ""};
    ASSERT_TRUE(Initialize(context));
    ShowWindow(next.hwnd(), SW_SHOW);
    EXPECT_EQ(next.maximizeTimerTag, "maximize");
    RECT r;
    GetWindowRect(next.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 440) << "the default size until the first tick";
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(next.hwnd()) != FALSE; }));
    GetWindowRect(next.hwnd(), &r);
    EXPECT_EQ(r.left, next.workArea.left);
    EXPECT_EQ(r.top, next.workArea.top);
    EXPECT_EQ(r.right - r.left, next.workArea.right - next.workArea.left);
    EXPECT_EQ(r.bottom - r.top, next.workArea.bottom - next.workArea.top);
    EXPECT_FALSE(IsWindowVisible(next.Control(kIdResizeHandle))) << "no grip on a maximised window";
    ShowWindow(next.hwnd(), SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(next.Control(kIdResizeHandle)));
}

TEST_F(Placement, AMinimisedWindowSavesNothingButTheScrollPosition) {
    Preset("1500", "1200", "9000", "6000", "0");
    ASSERT_TRUE(Start());
    panel.scrollBar().SetValue(900);
    SetWindowPos(panel.hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(panel.hwnd(), SW_MINIMIZE);
    Pump();
    Cancel();
    EXPECT_EQ(Saved(), "1500 1200 9000 6000 0 900");
}

// A stand-in taskbar: a top-level window of the taskbar's class.
class Taskbar {
public:
    explicit Taskbar(RECT r) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP | WS_VISIBLE, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~Taskbar() { DestroyWindow(hwnd_); }
    Taskbar(const Taskbar&) = delete;
    Taskbar& operator=(const Taskbar&) = delete;

private:
    HWND hwnd_ = nullptr;
};

TEST_F(Placement, AMaximisedWindowIsRestoredWhenTheTaskbarMovedWhileItWasInTheBackground) {
    ASSERT_TRUE(Start());
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    auto bottom = std::make_unique<Taskbar>(RECT{0, h - 30, w, h});
    ComputeWorkArea(panel);
    ShowWindow(panel.hwnd(), SW_MAXIMIZE);
    SetForegroundWindow(panel.hwnd());
    Pump();
    ASSERT_TRUE(IsZoomed(panel.hwnd()));

    // Another window comes to the front; activating the panel again while
    // the taskbar is where it was keeps it maximised.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    Pump();
    SetForegroundWindow(panel.hwnd());
    Pump();
    EXPECT_TRUE(IsZoomed(panel.hwnd()));

    SetForegroundWindow(other);
    Pump();
    bottom.reset();
    Taskbar top(RECT{0, 0, w, 30});
    SetForegroundWindow(panel.hwnd());
    Pump();
    EXPECT_FALSE(IsZoomed(panel.hwnd())) << "no longer fits the work area";
    EXPECT_EQ(panel.workArea.top, 30 - panel.borderWidth);
    DestroyWindow(other);
}

}  // namespace
