// The settings dialog over the real main window: each opener's page while the main window waits, F1's topics, the
// page value to the page and back to its row, the About page, the keyboard in both windows, and what the screen
// shows after a window or a tab changed.
#include "pages/settings_dialog.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "pages/about_page.h"
#include "pages/command_prompt_page.h"
#include "pages/new_folder_page.h"
#include "pages/registered_owner_page.h"
#include "panel/paint.h"
#include "panel/panel_fixture.h"
#include "panel/row_events.h"
#include "support/update_server.h"
#include "support/test_env.h"

#include <commctrl.h>
#include <windowsx.h>

using namespace kk;
using kktest::PanelTest;

namespace {

// What the timer below runs; a thread timer fires inside the dialog's modal loop.
std::function<void()> onTick;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (onTick) onTick();
}

void Escape(HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); }
void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
// Alt ("%"), Ctrl ("^") and Shift ("+") as the user holds them: the windows read the key state.
void HoldKeys(const std::string& held) {
    BYTE keys[256];
    GetKeyboardState(keys);
    for (auto [mark, vk] : {std::pair{'%', VK_MENU}, std::pair{'^', VK_CONTROL}, std::pair{'+', VK_SHIFT}})
        keys[vk] = held.find(mark) != std::string::npos ? 0x80 : 0;
    SetKeyboardState(keys);
}
// A key as the keyboard posts it to the focused control (given the focus first, when named); with Alt held, a
// system key.
std::function<void()> Press(WORD vk, const std::string& held = "", int times = 1, HWND on = nullptr) {
    return [=] {
        if (on) SetFocus(on);
        HoldKeys(held);
        const bool alt = held == "%";
        for (int i = 0; i < times; ++i)
            PostMessageA(GetFocus(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? 1 << 29 : 1);
    };
}
HWND PageItem(HWND dialog, int toolId, int id) { return GetDlgItem(GetDlgItem(dialog, kDlgFrameBase + toolId), id); }
void ClickLink(HWND dialog, int toolId, int id) {
    SendMessageA(GetDlgItem(dialog, kDlgFrameBase + toolId), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                 reinterpret_cast<LPARAM>(PageItem(dialog, toolId, id)));
}

// Presses the real Help button of the thread's open message box once, then OK or No, as the user would; a box
// under another one waits.
BOOL CALLBACK CloseIfMessageBox(HWND hwnd, LPARAM) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    HWND help = GetDlgItem(hwnd, IDHELP);
    if (!IsWindowEnabled(help)) return PostMessageA(hwnd, WM_COMMAND, GetDlgItem(hwnd, IDNO) ? IDNO : IDOK, 0);
    SendMessageA(help, BM_CLICK, 0, 0);
    return EnableWindow(help, FALSE), TRUE;
}
void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseIfMessageBox, 0);
}

// Whether a full repaint changes what the screen shows of a control.
bool Unpainted(HWND control) {
    auto shown = [control] {
        RECT r{};
        GetWindowRect(control, &r);
        HDC dc = GetWindowDC(control);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < r.bottom - r.top; ++y)
            for (int x = 0; x < r.right - r.left; ++x) pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(control, dc);
        return pixels;
    };
    const std::vector<COLORREF> before = shown();
    const UINT all = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
    RedrawWindow(GetAncestor(control, GA_ROOT), nullptr, nullptr, all);
    return shown() != before;
}

// A step of a script and what the test's view reads after it ("*" first: any focus).
constexpr DWORD kStepPatienceMs = 15000;
using Steps = std::vector<std::pair<std::function<void()>, std::string>>;

class SettingsDialogTest : public PanelTest {
protected:
    // One step per tick of a thread timer, in whatever loop runs (the main window's, the dialog's): a tick comes once
    // what the step before posted is handled, none while a message box is open. A view that only accumulates may be
    // given patience: a step whose work goes on in a loop of its own (a fetch that waits) is then waited for; reset
    // clears what it accumulated before each step.
    void RunSteps(const Steps& steps, const std::function<std::string()>& view, DWORD patienceMs = 0,
                  const std::function<void()>& reset = nullptr) {
        size_t next = 0;
        bool done = false;
        DWORD stepStarted = GetTickCount();
        onTick = [&] {
            if (done || FindWindowA("#32770", nullptr)) return;
            HoldKeys("");
            std::string seen = next > 0 ? view() : "", want = next > 0 ? steps[next - 1].second : "";
            if (!want.empty() && want[0] == '*') seen = "*" + seen.substr(seen.find(' '));
            if (seen != want && GetTickCount() - stepStarted < patienceMs) return;
            EXPECT_EQ(seen, want) << "step " << next;
            if (seen == want && next < steps.size()) {
                if (reset) reset();
                stepStarted = GetTickCount();
                return steps[next++].first();
            }
            done = true;
            if (HWND dialog = FindWindowA(kSettingsDialogClass, nullptr)) PostMessageA(dialog, WM_CLOSE, 0, 0);
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
        EXPECT_TRUE(PumpUntil([&] { return done; }, 60000));
        KillTimer(nullptr, timer);
        onTick = nullptr;
    }
    // Opens the page, runs act on it and returns once it has closed.
    void WithPage(int toolId, const std::function<void(HWND)>& act) {
        EXPECT_TRUE(Drive({{kSettingsDialogClass, act}}, [&] { ShowSettingsDialog(panel, toolId); }));
    }
    // Every message in its real box, whose Help is pressed once, then OK or No; each title is told as its box
    // opens and once it has closed. The update check finds no server, and answers in a box of its own.
    using Seen = std::function<void(const std::string&)>;
    void RealBoxes(const Seen& opened, const Seen& closed = [](const std::string&) {}) {
        _putenv((std::string("KESTRELKIT_UPDATE_SERVER=") + kktest::kNoServer).c_str());
        System().messageBox = [=](HWND owner, const std::string& text, const std::string& title, int style, int topic) {
            opened(title);
            const UINT_PTR presser = SetTimer(nullptr, 0, 50, CloseMessageBox);
            const int answer = RealSystemCalls().messageBox(owner, text, title, style, topic);
            KillTimer(nullptr, presser);
            closed(title);
            return answer;
        };
    }
};

TEST_F(SettingsDialogTest, EveryOpenerShowsThePageOfItsOwnToolIdWhileTheMainWindowWaitsEvenAfterAMessageClosed) {
    ASSERT_TRUE(Start());
    BringToFront();
    const std::string helpFolder = kktest::MakeTempFolder("help");
    SetInstallPath(helpFolder);  // no help file at first: help says so
    // Real boxes: one owned by the main window enables it again when it closes.
    std::vector<std::string> seen;
    RealBoxes([](const std::string&) {}, [&](const std::string& title) {
        const HWND dialog = FindWindowA(kSettingsDialogClass, nullptr);
        seen.push_back(title + (IsWindowEnabled(panel.hwnd()) ? " enabled" : " disabled") +
                       (IsWindowEnabled(dialog) ? "" : ", dialog disabled"));
    });
    WithPage(117, [&](HWND d) {  // a page's validation
        SetWindowTextA(PageItem(d, 117, kIdRegName), "");
        Click(GetDlgItem(d, kDlgAccept));
        Click(GetDlgItem(d, kDlgHelp));  // "Help file not found"
        Escape(d);
    });
    WithPage(kAboutToolId, [&](HWND d) {
        ClickLink(d, kAboutToolId, kAboutLinkBase + 2);  // the update check's answer: no server
        Escape(d);
    });
    _putenv("KESTRELKIT_UPDATE_SERVER=");
    // Help pressed in a box says, over that box, that there is no help file.
    const std::string overBox = "Marrowby Kestrelkit disabled, dialog disabled";
    EXPECT_EQ(seen, (std::vector<std::string>{overBox, "Change the Windows setup defaults disabled",
                                              "Marrowby Kestrelkit disabled", overBox,
                                              "Check For Newer Version disabled"}));
    EXPECT_TRUE(IsWindowEnabled(panel.hwnd())) << "enabled once the dialog has closed";

    CloseHandle(CreateFileA((helpFolder + kHelpFileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    auto opens = [&](int expected, const std::function<void()>& click) {
        SCOPED_TRACE(expected);
        bool framed = false, ownerWasDisabled = false;
        EXPECT_TRUE(Drive({{kSettingsDialogClass, [&](HWND dialog) {
            ownerWasDisabled = !IsWindowEnabled(GetWindow(dialog, GW_OWNER));
            framed = GetDlgItem(dialog, kDlgFrameBase + expected) != nullptr;
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kDlgAccept))) << "nothing to accept yet";
            if (framed)
                EXPECT_TRUE(IsChild(GetDlgItem(dialog, kDlgFrameBase + expected), GetFocus())) << "typing starts on the page";
            else
                EXPECT_EQ(Text(GetDlgItem(dialog, kDlgTitle)), "This feature has not yet been implemented.");
            // The header band drags the dialog, which has no caption; the rest does not.
            const RECT band = OnScreen(GetDlgItem(dialog, kDlgStripe)), body = OnScreen(GetDlgItem(dialog, kDlgTitle));
            EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(band.left + 20, band.bottom - 2)), HTCAPTION);
            EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(body.left + 20, body.top + 5)), HTCLIENT);
            PostMessageA(dialog, WM_KEYDOWN, VK_F1, 0);
            Escape(dialog);
        }}}, click));
        EXPECT_TRUE(ownerWasDisabled) << "the main window waits while the dialog is open";
        EXPECT_TRUE(IsWindowEnabled(panel.hwnd())) << "and works again once it has closed";
        EXPECT_FALSE(FindWindowA(kSettingsDialogClass, nullptr));
        EXPECT_EQ(panel.currentToolId, expected);
        // F1 opens the page's own help topic; About and the pages not built have the general one.
        const int topic = recorder.helpShown.empty() ? 0 : recorder.helpShown.back().second;
        EXPECT_EQ(topic, framed && expected != kAboutToolId ? expected : 100);
        recorder.helpShown.clear();
        return framed;
    };
    for (const ToolRow& row : panel.list().Rows()) {
        if (!row.button) continue;
        SetFocus(row.button.hwnd);
        opens(row.toolId, [&] { Click(row.button.hwnd); });
        EXPECT_EQ(GetFocus(), row.button.hwnd) << "the focus goes back to the row that opened the page";
        EXPECT_EQ(panel.focusedToolId, row.toolId);
    }
    opens(104, [&] {
        SendMessageA(panel.View(), WM_COMMAND, MAKEWPARAM(RowControlId(kFamilyHLink, 104), STN_CLICKED),
                     reinterpret_cast<LPARAM>(RowControl(kFamilyHLink, 104)));
    });
    EXPECT_FALSE(opens(777, [&] { ShowSettingsDialog(panel, 777); }));
    EXPECT_TRUE(opens(kAboutToolId, [&] { Click(panel.Control(kIdAbout)); }));
    opens(kAboutToolId, [&] {
        SendMessageA(panel.hwnd(), WM_COMMAND, MAKEWPARAM(kIdWarning, STN_CLICKED),
                     reinterpret_cast<LPARAM>(panel.Control(kIdWarning)));
    });
    EXPECT_FALSE(panel.ChangedShown(104)) << "opening and cancelling a page changes nothing";
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply)));
}

// Accept and the mark of a button row are proven end to end; a link row keeps its "#".
TEST_F(SettingsDialogTest, ALinkRowTakesBackThePageValueAndTheAboutPageListsPluginsAndSavesItsOptions) {
    AddPlugin("Lens", "Lens");
    SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Lens"), "About_Version", "2.1");
    SetString(HKEY_LOCAL_MACHINE, JoinKey(kPluginsKey, "Lens"), "About_URL", "http://lens.example/");
    AddPlugin("Quiet", "");  // no caption: not listed
    AddPlugin("Tally", "Tally");
    std::vector<std::string> rows;
    for (const PluginListRow& row : PluginListRows()) rows.push_back(row.text + "|" + row.url);
    EXPECT_EQ(rows, (std::vector<std::string>{"\\U\\1Lens\\0\\u (version 2.1)|http://lens.example/",
                                              "\\U\\1Tally\\0\\u|"}));
    const char* dontLoad = "Control Panel\\don't load";
    SetString(HKEY_CURRENT_USER, dontLoad, "kestrelkit.cpl", "NO");
    ASSERT_TRUE(Start());
    ASSERT_EQ(panel.LinkText(156).value_or("none"), "#00New Folder");
    WithPage(156, [&](HWND d) {
        Click(PageItem(d, 156, kIdNewFolderOpen));
        Click(GetDlgItem(d, kDlgAccept));
    });
    EXPECT_EQ(panel.LinkText(156).value_or("none"), "#01New Folder");
    EXPECT_TRUE(panel.ChangedShown(156));
    LRESULT ticked = BST_UNCHECKED;
    WithPage(156, [&](HWND d) {
        ticked = Button_GetCheck(PageItem(d, 156, kIdNewFolderOpen));
        Click(PageItem(d, 156, kIdNewFolderOpen));
        Escape(d);
    });
    EXPECT_EQ(ticked, BST_CHECKED);
    EXPECT_EQ(panel.LinkText(156).value_or("none"), "#01New Folder") << "Esc hands nothing back";

    std::string selected;
    WithPage(kAboutToolId, [&](HWND d) {
        HWND list = PageItem(d, kAboutToolId, kPluginList);
        const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        ShowWindow(list, SW_SHOW);
        // Released on the first row: opened. Pressed on the second, released outside the list: not.
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, h / 2));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(20, h / 2));
        selected = std::to_string(SendMessageA(list, LB_GETCURSEL, 0, 0));
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, h + h / 2));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(-30, h + h / 2));
        selected += " " + std::to_string(SendMessageA(list, LB_GETCURSEL, 0, 0));
        ClickLink(d, kAboutToolId, kAboutLinkBase + 1);  // the web site and the questions page
        ClickLink(d, kAboutToolId, kAboutLinkBase + 3);
        EXPECT_EQ(recorder.owners, std::vector<HWND>(3, d)) << "each address opens owned by the dialog";
        Escape(d);
    });
    EXPECT_EQ(selected, "-1 -1") << "the selection is cleared either way, so a row can be clicked again";
    ASSERT_EQ(recorder.started.size(), 3u);
    const std::string tail = "||" + ModuleFolder();
    EXPECT_EQ(recorder.started[0], "open|http://lens.example/" + tail);
    for (const std::string& link : {recorder.started[1], recorder.started[2]})
        EXPECT_EQ(link.substr(0, 12) + link.substr(link.size() - tail.size()), "open|http://" + tail) << link;
    // The applet's don't-load value, HideContextCount and NoAutoUpdate; "-" where missing.
    auto saved = [&] {
        std::string text;
        for (const auto& [key, name] : {std::pair{dontLoad, "kestrelkit.cpl"}, std::pair{kSuiteKey, "HideContextCount"},
                                        std::pair{kSuiteKey, "NoAutoUpdate"}})
            text += "|" + (ValueExists(HKEY_CURRENT_USER, key, name) ? GetString(HKEY_CURRENT_USER, key, name) : "-");
        return text;
    };
    auto option = [](HWND d, int i) { return PageItem(d, kAboutToolId, kAboutOptionBase + i); };
    std::string ticks;
    WithPage(kAboutToolId, [&](HWND d) {
        for (int i = 0; i < 3; ++i) ticks += std::to_string(Button_GetCheck(option(d, i)));
        ticks += "|" + Text(GetDlgItem(d, kDlgCancel)) + std::to_string(IsWindowVisible(GetDlgItem(d, kDlgAccept)));
        Escape(d);
    });
    EXPECT_EQ(ticks, "011|&Close0") << "the applet is hidden; automatic checks when NoAutoUpdate is missing; no Accept";
    EXPECT_EQ(saved(), "|NO|0|-") << "Esc saves them as they were";
    // Clicks the options, then closes the page the given way.
    const struct { std::vector<int> options; std::function<void(HWND)> close; const char* saved; } closings[] = {
        {{2}, [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }, "|NO|0|-"},  // the close box saves nothing
        {{0, 1, 2}, [](HWND d) { PostMessageA(d, WM_SYSKEYDOWN, VK_F4, 1 << 29), HoldKeys("%"); }, "|-|1|1"},
        {{0, 2}, [](HWND d) { Click(GetDlgItem(d, kDlgCancel)); }, "|No|1|-"},  // and so does Close
    };
    for (const auto& c : closings) {
        WithPage(kAboutToolId, [&](HWND d) {
            for (int i : c.options) Click(option(d, i));
            c.close(d);
        });
        HoldKeys("");
        EXPECT_EQ(saved(), c.saved);
    }
}

TEST_F(SettingsDialogTest, WhatMovesIsDrawnAsAFullRepaintDrawsItAndEveryLinkTabAndCaptionLetterIsReachedByKeys) {
    AddPlugin("Lens", "Lens");
    ASSERT_TRUE(Start());
    BringToFront();
    // What moves or shows is drawn as a full repaint draws it: the buttons under the list, or the frame of the list on
    // the Plugins tab.
    auto stale = [&] {
        HWND dialog = FindWindowA(kSettingsDialogClass, nullptr);
        std::string unpainted = dialog && Unpainted(PageItem(dialog, kAboutToolId, kPluginList)) ? "plugin list" : "";
        for (auto [name, id] : {std::pair{" About", kIdAbout}, {" Apply", kIdApply}, {" Cancel", kIdCancel}})
            unpainted += !dialog && Unpainted(panel.Control(id)) ? name : "";
        return unpainted;
    };
    auto show = [&](int how) { return [=] { ShowWindow(panel.hwnd(), how); }; };
    RunSteps({{show(SW_MAXIMIZE), ""}, {show(SW_RESTORE), ""},  // then as the grip would
              {[&] { SetWindowPos(panel.hwnd(), nullptr, 0, 0, 700, 520, SWP_NOMOVE | SWP_NOZORDER); }, ""},
              {[&] { PostMessageA(panel.Control(kIdAbout), BM_CLICK, 0, 0); }, ""}, {Press(VK_TAB, "^", 2), ""}},
             stale);

    // The keyboard in both windows; every message comes in its real box and has its Help pressed.
    const std::string suite = kktest::MakeTempFolder("keys");  // no programs, no help file at first
    SetInstallPath(suite);
    std::string seen;  // the messages and the help they opened
    RealBoxes([&](const std::string& title) { seen += " " + title; });
    auto view = [&] {  // the focus, the page with its tab or its greyed label, and what happened since
        HWND dialog = FindWindowA(kSettingsDialogClass, nullptr), page = GetWindow(dialog, GW_CHILD);
        while (page && GetDlgCtrlID(page) <= kDlgFrameBase) page = GetWindow(page, GW_HWNDNEXT);
        std::string now = std::to_string(GetDlgCtrlID(GetFocus()));
        if (page) now += " on " + std::to_string(GetDlgCtrlID(page) - kDlgFrameBase);
        if (HWND tabs = GetDlgItem(page, kAboutTabs)) now += " tab " + std::to_string(TabCtrl_GetCurSel(tabs));
        HWND label = page ? GetDlgItem(page, kIdCommandClpLabel) : nullptr;  // "Command line:", on 107
        RECT room{};
        GetClientRect(label, &room);
        if (label && ControlTextSize(label, Text(label), DT_NOPREFIX, room.right).cy > room.bottom) now += " cut";
        if (label && !IsWindowEnabled(label)) now += " greyed";
        now += seen;
        for (const auto& help : recorder.helpShown) now += " help " + std::to_string(help.second);
        now += std::string(recorder.started.size(), '>');
        return now + (UnappliedChanges(panel) ? " changed" : "");
    };
    auto reset = [&] { seen.clear(), recorder.helpShown.clear(), recorder.started.clear(); };
    auto click = [](HWND button) { return [=] { PostMessageA(button, BM_CLICK, 0, 0); }; };
    auto enter = [&](int toolId) { return Press(VK_RETURN, "", 1, RowControl(kFamilyCheckBox, toolId)); };
    const std::string dos = kktest::WindowsVersion() == "winme" ? " Windows 9x DOS Prompt help 107" : "";
    RunSteps({
        {enter(101), "4101 Launch Tool Marrowby Kestrelkit"},  // a link; Help: no help file
        {[&] {
             CloseHandle(CreateFileA((suite + kHelpFileName).c_str(), GENERIC_WRITE, 0, 0, CREATE_NEW, 0, 0));
             enter(153)();
         }, "4153 Clear out the Temp folder help 153"},
        {enter(104), "* on 104"},  // a "#" link opens its page
        {Press(VK_ESCAPE), "4104"},
        {click(panel.Control(kIdAbout)), "120 on 999 tab 0"},
        {Press(VK_TAB, "", 2), "122 on 999 tab 0"},
        {Press(VK_RETURN), "122 on 999 tab 0 Check For Newer Version help 202"},
        {Press(VK_TAB, "^+", 2), "122 on 999 tab 2"},  // round the first tab
        {Press(VK_TAB, "+", 3), "130 on 999 tab 2"},
        {Press(VK_RETURN), "130 on 999 tab 2>"},  // the plugin row opens
        {Press(VK_TAB, "^"), "100 on 999 tab 3"},  // the list went with its tab
        {Press(VK_ESCAPE), "12"},
        {click(RowControl(kFamilyButtonObject, 117)), "111 on 117"},
        {Press('R', "%"), "112 on 117"},  // a label's letter: the box after it
        {Press(VK_ESCAPE), "5117"},
        {[&] {  // the command prompt page from its row's link, with no custom application
             panel.SetLinkText(107, "#0");
             PostMessageA(panel.View(), WM_COMMAND, 7107, LPARAM(RowControl(kFamilyHLink, 107)));  // STN_CLICKED
         }, "* on 107 greyed" + dos},  // a label is greyed with its box
        {Press('A', "%"), "104 on 107"},  // the option's own letter presses it
        {Press(VK_TAB), "111 on 107"},
        {[] { PostMessageA(GetFocus(), WM_CHAR, 'y', 1); }, "111 on 107"},
        {Press('A', "%"), "10 on 107"},  // shared with Accept now: on to the next, pressing none
        {Press('A', "%"), "104 on 107"},
        {Press(VK_ESCAPE), "4107"},
        {enter(144), "4144 changed"},  // no link: as Space
    }, view, kStepPatienceMs, reset);
    _putenv("KESTRELKIT_UPDATE_SERVER=");
}

}  // namespace
