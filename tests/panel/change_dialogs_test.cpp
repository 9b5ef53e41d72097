// Preview and history from the main window's system menu, as a user works them: ticks and a settings page, the
// preview, Apply, then the history's details and undo, each dialog driven by posted keys in its own modal loop.
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

    void SystemCommand(UINT command) {
        PostMessageA(panel.hwnd(), WM_SYSCOMMAND, command, 0);
        Pump();
    }
    bool PreviewOffered() const {
        const UINT state = GetMenuState(GetSystemMenu(panel.hwnd(), FALSE), kCmdPreviewChanges, MF_BYCOMMAND);
        EXPECT_NE(state, static_cast<UINT>(-1)) << "the system menu has the item";
        return !(state & MF_GRAYED);
    }
};

TEST_F(ChangeDialogs, PreviewApplyAndUndoFromTheHistoryPutTheRowsAndTheRegistryBack) {
    ASSERT_TRUE(Start());
    SetInstallPath(kktest::FixturesFolder());  // where the stand-in DLLs are
    EXPECT_FALSE(PreviewOffered()) << "nothing pending";
    // Steps that press a key, or read a control of the dialog and then press Esc.
    auto key = [](WORD vk) { return [vk](HWND dialog) { PostKey(dialog, vk); }; };
    auto read = [](std::string& into, int id) {
        return [&into, id](HWND dialog) { into = Text(GetDlgItem(dialog, id)), PostKey(dialog, VK_ESCAPE); };
    };
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

    std::string preview, details;
    ASSERT_TRUE(Drive({{kTextDialogClass, read(preview, kChangeText)}}, [&] { SystemCommand(kCmdPreviewChanges); }));
    for (const std::string& part : {"MenuShowDelay = \"" + std::to_string(kMenuDelayClick) + "\"",
                                    std::string("KkRenameMenu"), std::string("KkCopyDataMenu")})
        EXPECT_NE(preview.find(part), std::string::npos) << part << " in " << preview;
    EXPECT_TRUE(panel.ChangedShown(101)) << "a preview leaves the changes pending";

    recorder.answers = {IDNO, IDYES, IDNO};  // no log-off after Apply, yes to Undo, no log-off after it
    SendMessageA(panel.hwnd(), WM_COMMAND, MAKEWPARAM(kIdApply, BN_CLICKED), 0);
    Pump();
    ASSERT_NE(Dump(), before);
    EXPECT_FALSE(PreviewOffered());

    int listed = 0;
    ASSERT_TRUE(Drive({{kHistoryDialogClass, key(VK_RETURN)},
                       {kTextDialogClass, read(details, kChangeText)},
                       {kHistoryDialogClass, key(VK_DELETE)},
                       {kHistoryDialogClass,
                        [&](HWND dialog) {
                            listed = ListView_GetItemCount(GetDlgItem(dialog, kHistoryList));
                            PostKey(dialog, VK_ESCAPE);
                        }}},
                      [&] { SystemCommand(kCmdHistory); }));
    for (const char* part : {"Apply", "0 -> 1", "KkRenameMenu"}) EXPECT_NE(details.find(part), std::string::npos) << details;
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_EQ(recorder.messages[1].title, kHistoryTitle);
    EXPECT_EQ(listed, 2) << "the undo is an entry of its own";

    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(Checked(101) + Checked(103), 0);
    EXPECT_EQ(panel.ButtonTag(kMenuSpeedTool), speedBefore);
    EXPECT_FALSE(panel.ChangedShown(kMenuSpeedTool));
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply)));
}

}  // namespace
