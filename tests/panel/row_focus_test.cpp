// The list from the keyboard and the in-place tooltip: the focus marker follows the focused row, Home, End and the
// arrows move between rows, the 100 ms tick clears what is left behind, and a caption cut short shows in full while
// the mouse is over it.
#include "panel/row_focus.h"

#include "panel/panel_fixture.h"

#include <algorithm>
#include <utility>

using namespace kk;
using kktest::PanelTest;

namespace {

class RowFocus : public PanelTest {
protected:
    bool StartFocused() { return Start() && (BringToFront(), true); }
    int ScrollValue() { return panel.scrollBar().Value(); }
    void FocusRow(int toolId) {
        SetFocus(RowControl(kFamilyCheckBox, toolId));
        Pump();
    }
    // The marker's top on the list surface, in pixels.
    int MarkerTop() const { return panel.focusMarker().top / panel.pixelScaleY; }
};

TEST_F(RowFocus, TheMarkerFollowsTheFocusedRowWhichTheKeysMoveAndTheTickAndTheFrameHandBack) {
    ASSERT_TRUE(StartFocused());
    FocusRow(104);
    ASSERT_TRUE(panel.FocusMarkerShown());
    EXPECT_EQ(panel.focusedToolId, 104);
    EXPECT_EQ(panel.HelpContext(), 104);
    EXPECT_EQ(MarkerTop(), OnSurface(kFamilyCaptionTitle, 104).top - 1) << "the marker frames the row";
    // Tab moves it to the next row's switch.
    Key(VK_TAB);
    const int next = panel.focusedToolId;
    EXPECT_NE(next, 104);
    EXPECT_EQ(panel.focusMarker().toolId, next);
    // The focus leaves the list: within a tick the marker is gone.
    SetFocus(panel.Control(kIdAbout));
    EXPECT_TRUE(kktest::PumpUntil([&] { return !panel.FocusMarkerShown(); }, 3000));
    EXPECT_EQ(panel.focusedToolId, -1);
    EXPECT_EQ(panel.HelpContext(), next) << "F1 keeps the row's topic";
    // A resize lays the list out again and the marker comes back at the focused row's new place.
    FocusRow(104);
    Resize(700, 420);
    ASSERT_TRUE(panel.FocusMarkerShown());
    EXPECT_EQ(MarkerTop(), OnSurface(kFamilyCaptionTitle, 104).top - 1);
    // Focus landing on the list's frame goes back to the row; with no row yet, to Cancel.
    panel.focusedToolId = 0;
    SetFocus(panel.View());
    EXPECT_EQ(GetFocus(), panel.View()) << "no row yet: it stays";
    SetFocus(panel.ViewFrame());
    EXPECT_EQ(GetFocus(), panel.Control(kIdCancel));

    FocusRow(109);
    SetFocus(panel.View());
    EXPECT_EQ(GetFocus(), RowControl(kFamilyCheckBox, 109));

    // Home, End, the arrows and Tab move through the list and scroll it.
    ASSERT_TRUE(panel.scrollBar().Enabled()) << "a list longer than the window";
    FocusRow(101);
    Key(VK_END);
    EXPECT_EQ(panel.focusedToolId, 150) << "the last row that has a switch";
    EXPECT_EQ(GetFocus(), RowControl(kFamilyButtonObject, 150));
    EXPECT_EQ(ScrollValue(), panel.scrollBar().Max());
    // Up and Down on a settings button go as Shift+Tab and Tab.
    Key(VK_UP);
    EXPECT_EQ(GetFocus(), RowControl(kFamilyButtonObject, 117));
    Key(VK_DOWN);
    EXPECT_EQ(GetFocus(), RowControl(kFamilyButtonObject, 150));

    Key(VK_HOME);
    EXPECT_EQ(panel.focusedToolId, panel.list().ToolIdAt(2)) << "the first tool below the first heading";
    EXPECT_EQ(ScrollValue(), 0);
    // Tabbing past the bottom of the view scrolls one switch further.
    ListScrollBar& bar = panel.scrollBar();
    // The last row whose switch is still wholly in view.
    int inView = 0;
    for (const ToolRow& row : panel.list().Rows()) {
        if (row.kindTag != "1" || !row.checkBox) continue;
        if (row.checkBox.top + row.checkBox.height <= bar.Value() + bar.FrameHeight()) inView = row.toolId;
    }
    ASSERT_GT(inView, 0);
    FocusRow(inView);
    ASSERT_EQ(ScrollValue(), 0) << "already in view: no scroll";
    Key(VK_TAB);
    const ToolRow* tabbed = panel.list().Find(panel.focusedToolId);
    ASSERT_NE(tabbed, nullptr);
    const kk::RowControl& sw = tabbed->kindTag == "2" ? tabbed->button : tabbed->checkBox;
    EXPECT_GT(ScrollValue(), 0);
    EXPECT_GE(ScrollValue() + bar.FrameHeight(), sw.top + 2 * sw.height) << "the new switch and one more in view";
    EXPECT_LT(ScrollValue(), sw.top) << "scrolled no further than needed";
}

TEST_F(RowFocus, EndStopsAtAWithdrawnLastPluginACaptionCutShortShowsInFullAndAButtonIsPressedOnlyUnderThePointer) {
    AddPlugin("Aquiet", "");  // enumerated first, so listed last; withdrawn without a caption
    AddPlugin("Long", "A plugin whose caption is far too long for the narrowest window there is");
    ASSERT_TRUE(StartFocused());
    const ToolList& list = panel.list();
    const ToolRow* last = list.Find(list.ToolIdAt(list.Count()));
    ASSERT_TRUE(last && last->kindTag == "4");
    FocusRow(101);
    Key(VK_END);
    EXPECT_EQ(GetFocus(), RowControl(kFamilyCheckBox, 101)) << "End goes to the last list position, not the nearest switch";

    Resize(440, 300);
    const ToolRow* longest = panel.list().Find(302);
    ASSERT_NE(longest, nullptr);
    panel.scrollBar().SetValue(std::max(0, longest->caption.top - 300));
    Pump();
    const RECT caption = OnScreen(longest->caption.hwnd);
    MouseTo(POINT{caption.left + 5, caption.top + 3});
    ASSERT_EQ(panel.TooltipToolId(), 302);
    HWND tip = panel.Control(kIdTooltip);
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(Text(GetDlgItem(tip, kIdTooltipCaption)), Text(longest->caption.hwnd));
    const RECT at = OnScreen(tip);
    EXPECT_EQ(std::make_pair(at.left, at.top), std::make_pair(caption.left + 1, caption.top + 1))
        << "a pixel down and right of the caption";
    EXPECT_GT(at.right - at.left, caption.right - caption.left + 2);
    // The mouse still reaches the caption through the tooltip.
    EXPECT_EQ(WindowFromPoint(POINT{caption.left + 5, caption.top + 3}), longest->caption.hwnd);
    // Off the row: gone within a tick.
    MouseTo(POINT{caption.left + 5, caption.bottom + 200});
    EXPECT_TRUE(kktest::PumpUntil([&] { return !IsWindowVisible(tip); }, 3000));
    // Wide enough, the caption fits and shows no tooltip.
    SetWindowPos(panel.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Resize(1000, 600);
    panel.scrollBar().SetValue(std::max(0, longest->caption.top - 1500));
    Pump();
    const RECT wide = OnScreen(longest->caption.hwnd);
    ASSERT_LT(wide.bottom, GetSystemMetrics(SM_CYSCREEN)) << "the caption is on the screen";
    MouseTo(POINT{wide.left + 5, wide.top + 3});
    EXPECT_FALSE(IsWindowVisible(tip) || panel.TooltipToolId());

    // The settings button looks pressed only while the pointer is inside.
    const ToolRow* row = panel.list().Find(117);  // a settings row on every version
    ASSERT_TRUE(row && row->button);
    HWND button = row->button.hwnd;
    panel.scrollBar().SetValue(row->button.top - 600);
    Pump();
    const RECT r = OnScreen(button);
    auto pushed = [&] { return (SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; };
    MouseTo(POINT{r.left + 3, r.top + 3});
    MouseButton(true);
    EXPECT_TRUE(pushed());
    const POINT off{r.right + 10, r.top + 3};
    MouseTo(off);
    EXPECT_FALSE(pushed()) << "off the button with the mouse button still held";
    MouseTo(POINT{r.left + 3, r.top + 3});
    EXPECT_TRUE(pushed());
    MouseTo(off);
    MouseButton(false);
    EXPECT_FALSE(pushed());
    EXPECT_EQ(panel.currentToolId, 0) << "released outside: no settings page";
}

}  // namespace
