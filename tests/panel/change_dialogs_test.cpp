// Preview and history from the main window's system menu, as a user works
// them: ticks and a settings page, the preview, Apply, then the history's
// details and undo, with the dialogs driven by posted keys inside their
// own modal loops.
#include "panel/change_dialogs.h"

#include "engine/footprint.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "pages/settings_dialog.h"
#include "panel/panel_fixture.h"
#include "support/test_env.h"

#include <commctrl.h>

using namespace kk;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const int kMenuSpeedTool = 123, kMenuClickOption = 102;

// A step acts once its window is up; a thread timer runs them from inside
// whichever modal loop is running.
struct Step {
    const char* windowClass;
    std::function<void(HWND)> act;
};
std::vector<Step> g_steps;
size_t g_next = 0;

// The dialog of that class that takes input now (one under another is disabled).
HWND Active(const char* windowClass) {
    for (HWND w = FindWindowA(windowClass, nullptr); w; w = FindWindowExA(nullptr, w, windowClass, nullptr))
        if (IsWindowVisible(w) && IsWindowEnabled(w)) return w;
    return nullptr;
}

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
    if (g_next >= g_steps.size()) return;
    if (HWND w = Active(g_steps[g_next].windowClass)) g_steps[g_next++].act(w);
}

void PostKey(HWND dialog, WORD vk) { PostMessageA(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, vk, 1); }

std::string Dump() {
    return ExportTree(HKEY_CURRENT_USER, "Software") + ExportTree(HKEY_CURRENT_USER, kDesktopKey) +
           ExportTree(HKEY_LOCAL_MACHINE, "Software");
}

class ChangeDialogs : public kktest::PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        if (IsSkipped()) return;
        SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
        SetString(HKEY_CURRENT_USER, kShellFolders, "AppData", kktest::MakeTempFolder("appdata"));
    }
    void TearDown() override { SetInstallPath(""); }

    // Starts the steps, then sends what opens the first dialog; true when every step ran.
    bool Drive(std::vector<Step> steps, const std::function<void()>& open) {
        g_steps = std::move(steps);
        g_next = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, RunStep);
        open();
        const bool done = PumpUntil([] { return g_next == g_steps.size(); }, 10000);
        Pump();
        KillTimer(nullptr, timer);
        return done;
    }
    void SystemCommand(UINT command) {
        PostMessageA(panel.hwnd(), WM_SYSCOMMAND, command, 0);
        Pump();
    }
    bool PreviewOffered() const {
        const UINT state = GetMenuState(GetSystemMenu(panel.hwnd(), FALSE), kCmdPreviewChanges, MF_BYCOMMAND);
        EXPECT_NE(state, static_cast<UINT>(-1)) << "the system menu has the item";
        return !(state & MF_GRAYED);
    }
    int Checked(int toolId) const {
        return static_cast<int>(SendMessageA(RowControl(kFamilyCheckBox, toolId), BM_GETCHECK, 0, 0));
    }
};

TEST_F(ChangeDialogs, PreviewApplyAndUndoFromTheHistoryPutTheRowsAndTheRegistryBack) {
    ASSERT_TRUE(Start());
    SetInstallPath(kktest::FixturesFolder());  // where the stand-in DLLs are
    EXPECT_FALSE(PreviewOffered()) << "nothing pending";
    RECT menu{};
    HMENU shown = nullptr;
    const Step readMenu{"#32768", [&](HWND popup) {
                            shown = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
                            GetWindowRect(popup, &menu);
                            PostKey(popup, VK_ESCAPE);
                        }};
    ASSERT_TRUE(Drive({readMenu}, [&] { PostMessageA(panel.hwnd(), WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE); }));
    const RECT logo = OnScreen(panel.Control(kIdLogo));
    EXPECT_GE(menu.top, logo.top) << "Alt+Space opens the menu under the drawn title";
    // A click on the logo, as on a window's caption icon, opens it just below the logo.
    BringToFront();
    MouseTo(POINT{(logo.left + logo.right) / 2, (logo.top + logo.bottom) / 2});
    ASSERT_TRUE(Drive({readMenu}, [&] { MouseButton(true); }));
    MouseButton(false);
    EXPECT_EQ(shown, GetSystemMenu(panel.hwnd(), FALSE)) << "the menu with Preview changes... and History...";
    EXPECT_GE(menu.top, logo.bottom);

    // No history yet: one greyed line that is no entry; Undo and Details are off.
    std::string empty;
    ASSERT_TRUE(Drive({{kHistoryDialogClass,
                        [&](HWND dialog) {
                            char line[64] = "";
                            ListView_GetItemText(GetDlgItem(dialog, kHistoryList), 0, 0, line, sizeof line);
                            empty = line + std::to_string(IsWindowEnabled(GetDlgItem(dialog, kHistoryUndo)) +
                                                          IsWindowEnabled(GetDlgItem(dialog, kHistoryDetails)));
                            PostKey(dialog, VK_ESCAPE);
                        }}},
                      [&] { SystemCommand(kCmdHistory); }));
    EXPECT_EQ(empty, "No changes have been recorded yet.0");
    const std::string before = Dump();
    const std::string speedBefore = panel.ButtonTag(kMenuSpeedTool);

    for (int toolId : {101, 103}) SendMessageA(RowControl(kFamilyCheckBox, toolId), BM_CLICK, 0, 0);
    ASSERT_TRUE(Drive({{kSettingsDialogClass,
                        [](HWND dialog) {
                            HWND page = GetDlgItem(dialog, kDlgFrameBase + kMenuSpeedTool);
                            SendMessageA(GetDlgItem(page, kMenuClickOption), BM_CLICK, 0, 0);
                            SendMessageA(GetDlgItem(dialog, kDlgAccept), BM_CLICK, 0, 0);
                        }}},
                      [&] { PostMessageA(RowControl(kFamilyButtonObject, kMenuSpeedTool), BM_CLICK, 0, 0); }));
    EXPECT_TRUE(PreviewOffered());

    std::string preview;
    ASSERT_TRUE(Drive({{kTextDialogClass,
                        [&](HWND dialog) {
                            preview = Text(GetDlgItem(dialog, kChangeText));
                            PostKey(dialog, VK_ESCAPE);
                        }}},
                      [&] { SystemCommand(kCmdPreviewChanges); }));
    EXPECT_NE(preview.find("MenuShowDelay = \"" + std::to_string(kMenuDelayClick) + "\""), std::string::npos)
        << preview;
    for (const char* handler : {"KkRenameMenu", "KkCopyDataMenu"})
        EXPECT_NE(preview.find(handler), std::string::npos) << handler;
    EXPECT_EQ(Dump(), before) << "a preview writes nothing";
    EXPECT_TRUE(panel.ChangedShown(101)) << "and the changes stay pending";

    recorder.answers = {IDNO, IDYES, IDNO};  // no log-off after Apply, yes to Undo, no log-off after it
    SendMessageA(panel.hwnd(), WM_COMMAND, MAKEWPARAM(kIdApply, BN_CLICKED), 0);
    Pump();
    ASSERT_NE(Dump(), before);
    EXPECT_FALSE(PreviewOffered());

    std::string details;
    int listed = 0;
    ASSERT_TRUE(Drive({{kHistoryDialogClass, [](HWND dialog) { PostKey(dialog, VK_RETURN); }},
                       {kTextDialogClass,
                        [&](HWND dialog) {
                            details = Text(GetDlgItem(dialog, kChangeText));
                            PostKey(dialog, VK_ESCAPE);
                        }},
                       {kHistoryDialogClass, [](HWND dialog) { PostKey(dialog, VK_DELETE); }},
                       {kHistoryDialogClass,
                        [&](HWND dialog) {
                            listed = static_cast<int>(SendMessageA(GetDlgItem(dialog, kHistoryList),
                                                                   LVM_GETITEMCOUNT, 0, 0));
                            PostKey(dialog, VK_ESCAPE);
                        }}},
                      [&] { SystemCommand(kCmdHistory); }));
    EXPECT_NE(details.find("Apply"), std::string::npos) << details;
    EXPECT_NE(details.find("0 -> 1"), std::string::npos) << details;
    EXPECT_NE(details.find("KkRenameMenu"), std::string::npos) << details;
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_EQ(recorder.messages[1].title, kHistoryTitle);
    EXPECT_EQ(listed, 2) << "the undo is an entry of its own";

    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(Checked(101), 0);
    EXPECT_EQ(Checked(103), 0);
    EXPECT_EQ(panel.ButtonTag(kMenuSpeedTool), speedBefore);
    EXPECT_FALSE(panel.ChangedShown(kMenuSpeedTool));
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply)));
}

}  // namespace
