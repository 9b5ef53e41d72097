// Where the main window lies and how it starts: centred, in the system's font and marker colour, the placement
// saved by Cancel and restored at the next start (normal, maximised, minimised), the work area the taskbar leaves.
#include "app/placement.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/panel_fixture.h"
#include "support/test_env.h"

using namespace kk;
using kktest::PanelTest;

namespace {

// What Cancel saved: left, top, width and height in twips, the maximised flag and the scroll position.
std::string Saved() {
    std::string saved;
    for (const char* name : {"CPLeft", "CPTop", "CPWidth", "CPHeight", "MaxWindow", "ScrollPos"})
        saved += (saved.empty() ? "" : " ") + GetString(HKEY_CURRENT_USER, kSuiteKey, name);
    return saved;
}

class Placement : public PanelTest {
protected:
    void Cancel(ControlPanel& p) {
        SendMessageA(p.Control(kIdCancel), BM_CLICK, 0, 0);
        Pump();
        EXPECT_FALSE(IsWindow(p.hwnd())) << "Cancel closes the window";
    }
};

TEST_F(Placement, AFreshStartIsCentredAndTheNextComeBackNormalMaximisedOrMinimisedAsTheLastWasLeft) {
    SetString(HKEY_CURRENT_CONFIG, "Display\\Settings", "BitsPerPixel", "32");
    ASSERT_TRUE(Start());
    RECT r = OnScreen(panel.hwnd());
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(panel.Control(kIdApply), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_EQ(std::string(lf.lfFaceName) == "Segoe UI", kktest::WindowsVersion() == "vista") << lf.lfFaceName;
    EXPECT_NE(panel.focusBarColour, RGB(192, 192, 192));
    SetWindowPos(panel.hwnd(), nullptr, 100, 80, 600, 400, SWP_NOZORDER);
    WaitForRelayout();
    panel.scrollBar().SetValue(1500);
    Cancel(panel);
    EXPECT_EQ(Saved(), "1500 1200 9000 6000 0 1500");

    SetString(HKEY_CURRENT_CONFIG, "Display\\Settings", "BitsPerPixel", "8");
    ControlPanel next;
    ASSERT_TRUE(StartAgain(next));
    EXPECT_EQ(next.focusBarColour, RGB(192, 192, 192)) << "low colour greys the focus marker";
    r = OnScreen(next.hwnd());
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}), std::vector<LONG>({100, 80, 600, 400}));
    EXPECT_EQ(next.scrollBar().Value(), 1500);
    ShowWindow(next.hwnd(), SW_MAXIMIZE);
    WaitForRelayout();
    next.scrollBar().SetValue(600);
    Cancel(next);
    EXPECT_EQ(Saved(), "1500 1200 9000 6000 1 600") << "the normal placement of the earlier run stays";
    // No message is handled before the first checks, so the 50 ms tick cannot have come yet.
    ControlPanel third;
    ASSERT_TRUE(StartAgain(third, false));
    EXPECT_EQ(third.maximizeTimerTag, "maximize");
    EXPECT_FALSE(IsZoomed(third.hwnd())) << "maximised by the first tick";
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(third.hwnd()) != FALSE; }));
    r = OnScreen(third.hwnd());
    const WorkAreaRect& area = third.workArea;
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
              std::vector<LONG>({area.left, area.top, area.right, area.bottom}));
    EXPECT_FALSE(IsWindowVisible(third.Control(kIdResizeHandle))) << "no grip on a maximised window";
    ShowWindow(third.hwnd(), SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(third.Control(kIdResizeHandle)));
    EXPECT_TRUE(PumpUntil([&] { return !third.ResizePending(); })) << "the relayout never came";
    third.scrollBar().SetValue(900);
    ShowWindow(third.hwnd(), SW_MINIMIZE);
    Pump();
    Cancel(third);
    EXPECT_EQ(Saved(), "1500 1200 9000 6000 1 900") << "a minimised window saves nothing but the scroll position";
}

// A stand-in taskbar: a top-level window of the taskbar's class.
HWND Taskbar(RECT r) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&wc);
    return CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP | WS_VISIBLE, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
}

TEST_F(Placement, AMaximisedWindowIsRestoredWhenTheTaskbarMovedWhileItWasInTheBackground) {
    ASSERT_TRUE(Start());
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HWND bar = Taskbar(RECT{0, h - 30, w, h});
    ComputeWorkArea(panel);
    ShowWindow(panel.hwnd(), SW_MAXIMIZE);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    // Another window comes to the front, then the panel again: while the taskbar stays, so does the maximised panel.
    auto backAndForth = [&](const std::function<void()>& meanwhile) {
        SetForegroundWindow(other);
        Pump();
        meanwhile();
        SetForegroundWindow(panel.hwnd());
        Pump();
    };
    backAndForth([] {});
    EXPECT_TRUE(IsZoomed(panel.hwnd()));
    backAndForth([&] {
        DestroyWindow(bar);
        bar = Taskbar(RECT{0, 0, w, 30});
    });
    EXPECT_FALSE(IsZoomed(panel.hwnd())) << "no longer fits the work area";
    EXPECT_EQ(panel.workArea.top, 30 - panel.borderWidth);
    DestroyWindow(other);
    DestroyWindow(bar);
}

}  // namespace
