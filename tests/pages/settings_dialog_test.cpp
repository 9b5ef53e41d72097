// The settings dialog over the real main window: each opener passes its
// own ToolId and the main window waits; pages without an implementation
// say so; the About page's options, links and plugin list; the header
// that drags the dialog.
#include "pages/settings_dialog.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "pages/about_page.h"
#include "panel/panel_fixture.h"
#include "panel/row_events.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <windowsx.h>

using namespace kk;
using kktest::PanelTest;

namespace {

// Runs one action on the dialog once it has opened, from inside its modal loop.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> act) {
        current_ = this;
        act_ = std::move(act);
        timer_ = SetTimer(nullptr, 0, 30, &DialogDriver::Tick);
    }
    ~DialogDriver() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    int runs = 0;
    bool ownerWasDisabled = false;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver* self = current_;
        HWND dialog = FindWindowA(kSettingsDialogClass, nullptr);
        if (!self || !dialog || !IsWindowVisible(dialog) || self->runs > 0) return;
        ++self->runs;
        self->ownerWasDisabled = !IsWindowEnabled(GetWindow(dialog, GW_OWNER));
        self->act_(dialog);
    }
    static DialogDriver* current_;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
};
DialogDriver* DialogDriver::current_ = nullptr;

void PressKey(HWND dialog, UINT msg, WPARAM key) { PostMessageA(dialog, msg, key, 0); }
void Escape(HWND dialog) { PressKey(dialog, WM_KEYDOWN, VK_ESCAPE); }

std::string TextOf(HWND hwnd) {
    char buffer[512] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

HWND AboutItem(HWND dialog, int id) { return GetDlgItem(GetDlgItem(dialog, kDlgFrameBase + kAboutPageId), id); }

class SettingsDialogTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        if (IsSkipped()) return;
        SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    }
    // Opens the About page, runs act on it and returns once it has closed.
    void WithAbout(const std::function<void(HWND)>& act) {
        DialogDriver driver(act);
        ShowSettingsDialog(panel, kAboutPageId);
        EXPECT_EQ(driver.runs, 1);
    }
};

TEST_F(SettingsDialogTest, EveryOpenerPassesItsOwnToolIdAndTheMainWindowWaits) {
    ASSERT_TRUE(Start());
    auto opens = [&](const std::function<void()>& click, int expected) {
        int frame = 0;
        DialogDriver driver([&](HWND dialog) {
            // The page's panel, when the ToolId has one, or none at all.
            for (int t : {expected})
                if (GetDlgItem(dialog, kDlgFrameBase + t)) frame = t;
            Escape(dialog);
        });
        click();
        EXPECT_EQ(driver.runs, 1) << expected;
        EXPECT_TRUE(driver.ownerWasDisabled) << "the main window waits while the dialog is open";
        EXPECT_TRUE(IsWindowEnabled(panel.hwnd())) << "and works again once it has closed";
        EXPECT_EQ(panel.currentToolId, expected);
        EXPECT_FALSE(FindWindowA(kSettingsDialogClass, nullptr));
        return frame;
    };
    for (const ToolRow& row : panel.list().Rows()) {
        if (!row.button) continue;
        opens([&] { SendMessageA(row.button.hwnd, BM_CLICK, 0, 0); }, row.toolId);
    }
    opens([&] {
        SendMessageA(panel.View(), WM_COMMAND, MAKEWPARAM(RowControlId(kFamilyHLink, 104), STN_CLICKED),
                     reinterpret_cast<LPARAM>(RowControl(kFamilyHLink, 104)));
    }, 104);
    EXPECT_EQ(opens([&] { SendMessageA(panel.Control(kIdAbout), BM_CLICK, 0, 0); }, kAboutPageId), kAboutPageId);
    opens([&] {
        SendMessageA(panel.hwnd(), WM_COMMAND, MAKEWPARAM(kIdWarning, STN_CLICKED),
                     reinterpret_cast<LPARAM>(panel.Control(kIdWarning)));
    }, kAboutPageId);
    EXPECT_FALSE(panel.ChangedShown(104)) << "opening and cancelling a page changes nothing";
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply)));
}

TEST_F(SettingsDialogTest, APageNotBuiltSaysSoAndHelpGoesToTheGeneralTopic) {
    ASSERT_TRUE(Start());
    SetInstallPath(kktest::FixturesFolder());
    const std::string help = kktest::FixturesFolder() + kHelpFileName;
    const bool made = !FileExists(help);
    if (made) CloseHandle(CreateFileA(help.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    std::string title;
    bool acceptEnabled = true;
    DialogDriver driver([&](HWND dialog) {
        title = TextOf(GetDlgItem(dialog, kDlgTitle));
        acceptEnabled = IsWindowEnabled(GetDlgItem(dialog, kDlgAccept)) != FALSE;
        PressKey(dialog, WM_KEYDOWN, VK_F1);
        Escape(dialog);
    });
    ShowSettingsDialog(panel, 777);
    if (made) DeleteFileA(help.c_str());
    EXPECT_EQ(title, "This feature has not yet been implemented.");
    EXPECT_FALSE(acceptEnabled);
    ASSERT_EQ(recorder.helpShown.size(), 1u);
    EXPECT_EQ(recorder.helpShown[0].second, 100);
    EXPECT_FALSE(panel.ChangedShown(777));
    SetInstallPath("");
}

TEST_F(SettingsDialogTest, TheAboutOptionsAreSavedByCancelEscAndAltF4ButNotByTheCloseBox) {
    DeleteValue(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate");
    SetString(HKEY_CURRENT_USER, "Control Panel\\don't load", "kestrelkit.cpl", "NO");
    ASSERT_TRUE(Start());
    auto option = [](HWND dialog, int i) { return AboutItem(dialog, kAboutOptionBase + i); };
    bool startTicked[3] = {};
    std::string line;
    bool acceptShown = true;
    std::string cancelCaption;
    WithAbout([&](HWND d) {
        for (int i = 0; i < 3; ++i) startTicked[i] = Button_GetCheck(option(d, i)) == BST_CHECKED;
        line = TextOf(GetDlgItem(d, kDlgTitle));
        acceptShown = IsWindowVisible(GetDlgItem(d, kDlgAccept)) != FALSE;
        cancelCaption = TextOf(GetDlgItem(d, kDlgCancel));
        Escape(d);
    });
    EXPECT_FALSE(startTicked[0]) << "the applet is hidden";
    EXPECT_TRUE(startTicked[1]);
    EXPECT_TRUE(startTicked[2]) << "automatic checks when NoAutoUpdate is missing";
    EXPECT_EQ(line.rfind("Marrowby Kestrelkit, version " + CurrentVersionText() + "\r", 0), 0u) << line;
    EXPECT_FALSE(acceptShown);
    EXPECT_EQ(cancelCaption, "&Close");
    // Esc saved them as they were: nothing new but the context-count flag.
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate"));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "HideContextCount"), "0");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, "Control Panel\\don't load", "kestrelkit.cpl"), "NO");

    // The close box saves nothing.
    WithAbout([&](HWND d) {
        SendMessageA(option(d, 2), BM_CLICK, 0, 0);
        PostMessageA(d, WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate"));

    // Alt+F4 and the Close button save every change.
    WithAbout([&](HWND d) {
        for (int i = 0; i < 3; ++i) SendMessageA(option(d, i), BM_CLICK, 0, 0);
        PostMessageA(d, WM_SYSKEYDOWN, VK_F4, 1 << 29);
        // Alt is read from the key state, as the user holds it.
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_MENU] = 0x80;
        SetKeyboardState(keys);
    });
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "Control Panel\\don't load", "kestrelkit.cpl"));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "HideContextCount"), "1");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate"), "1");

    WithAbout([&](HWND d) {
        SendMessageA(option(d, 0), BM_CLICK, 0, 0);
        SendMessageA(option(d, 2), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(d, kDlgCancel), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, "Control Panel\\don't load", "kestrelkit.cpl"), "No");
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate"));
}

TEST_F(SettingsDialogTest, ThePluginListShowsNamesAndVersionsAndOpensTheClickedOne) {
    AddPlugin("Lens", "Lens");
    SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Lens"), "About_Version", "2.1");
    SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Lens"), "About_URL", "http://lens.example/");
    AddPlugin("Quiet", "");  // no caption: not listed
    AddPlugin("Tally", "Tally");
    const std::vector<PluginListRow> rows = PluginListRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].text, "\\U\\1Lens\\0\\u (version 2.1)");
    EXPECT_EQ(rows[0].url, "http://lens.example/");
    EXPECT_EQ(rows[1].text, "\\U\\1Tally\\0\\u") << "no version, no suffix";

    ASSERT_TRUE(Start());
    int count = 0, selectedAfter = 0, selectedOutside = 0;
    WithAbout([&](HWND d) {
        HWND list = AboutItem(d, kPluginList);
        count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        ShowWindow(list, SW_SHOW);
        // Released on the first row: opened, and the selection cleared.
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, h / 2));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(20, h / 2));
        selectedAfter = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
        // Pressed on the second, released outside the list: only cleared.
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, h + h / 2));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(-30, h + h / 2));
        selectedOutside = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
        Escape(d);
    });
    EXPECT_EQ(count, 2);
    ASSERT_EQ(recorder.opened.size(), 1u);
    EXPECT_EQ(recorder.opened[0], "http://lens.example/|" + ModuleFolder());
    EXPECT_EQ(selectedAfter, LB_ERR);
    EXPECT_EQ(selectedOutside, LB_ERR);
}

TEST_F(SettingsDialogTest, TheHeaderDragsTheDialogAndTheRestDoesNot) {
    ASSERT_TRUE(Start());
    LRESULT header = 0, body = 0;
    RECT placed{}, main{};
    WithAbout([&](HWND d) {
        RECT stripe, title;
        GetWindowRect(GetDlgItem(d, kDlgStripe), &stripe);
        GetWindowRect(GetDlgItem(d, kDlgTitle), &title);
        header = SendMessageA(d, WM_NCHITTEST, 0, MAKELPARAM(stripe.left + 20, stripe.bottom - 2));
        body = SendMessageA(d, WM_NCHITTEST, 0, MAKELPARAM(title.left + 20, title.top + 5));
        GetWindowRect(d, &placed);
        Escape(d);
    });
    GetWindowRect(panel.hwnd(), &main);
    EXPECT_EQ(header, HTCAPTION);
    EXPECT_EQ(body, HTCLIENT);
    // Centred on the main window.
    EXPECT_NEAR((placed.left + placed.right) / 2, (main.left + main.right) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (main.top + main.bottom) / 2, 1);
}

}  // namespace

namespace {

TEST(CheckPictures, TheStyleFollowsTheSystemAndItsTheme) {
    kktest::ScratchRegistry scratch;
    const std::string version = kktest::WindowsVersion();
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    EXPECT_EQ(CheckImageBase(), 0) << "no theme: the classic pictures";
    SetString(HKEY_CURRENT_USER, key, "ThemeActive", "1");
    const int themed = version == "vista" ? 20 : (version == "winxp" || version == "win2003") ? 10 : 0;
    EXPECT_EQ(CheckImageBase(), themed);
}

}  // namespace

namespace {

TEST_F(SettingsDialogTest, TheFocusGoesBackToTheRowThatOpenedThePage) {
    ASSERT_TRUE(Start());
    SetForegroundWindow(panel.hwnd());
    const ToolRow* row = nullptr;
    for (const ToolRow& r : panel.list().Rows())
        if (!row && r.button) row = &r;
    ASSERT_NE(row, nullptr);
    SetFocus(row->button.hwnd);
    Pump();
    DialogDriver driver([](HWND dialog) { Escape(dialog); });
    SendMessageA(row->button.hwnd, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(driver.runs, 1);
    EXPECT_EQ(GetFocus(), row->button.hwnd);
    EXPECT_EQ(panel.focusedToolId, row->toolId);
}

}  // namespace
