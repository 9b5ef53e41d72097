// The five list pages worked from outside as a person would: each is opened
// from its row, edited with keys and the mouse, accepted (the row shows its
// "*"), applied from the main window, read back from the registry, and
// found showing what was stored when the panel starts again.
#include "e2e/driver.h"

#include "pages/alt_tab_page.h"
#include "pages/hotkeys_page.h"
#include "pages/places_bar_page.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kke2e;

namespace {

const char kPlacesPolicy[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32";
const char kPlacesBar[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32\\PlacesBar";
const char kDesktop[] = "Control Panel\\Desktop";
const char kHotkeys[] = "SOFTWARE\\Marrowby\\Kestrelkit\\Hotkeys";

constexpr int kDialogAccept = 10, kDialogCancel = 11, kMainApply = 10, kMainCancel = 11;
constexpr int kLinkFamily = 7000, kButtonFamily = 5000, kChangedFamily = 3000, kFrameBase = 1000;

// A text box's or drop-down's text: another process's window text is only
// its stored caption, so ask the control itself.
std::string ControlText(HWND control) {
    char buffer[512] = {};
    SendMessageA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

// Characters as the keyboard delivers them to a text box.
void TypeInto(HWND edit, const std::string& text) {
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void PressKey(HWND control, int key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        SendMessageA(control, WM_KEYDOWN, key, 1);
        SendMessageA(control, WM_KEYUP, key, 0xC0000001);
    }
}

HWND EditOf(HWND comboBox) { return GetWindow(comboBox, GW_CHILD); }

// A click as the mouse gives it: the pointer arrives, presses and lets go.
void Click(HWND window, int x, int y) {
    PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Rows of a list view, "text/second column/picture" each.
std::string ListText(HWND list) {
    std::string text;
    for (const ListRow& row : ListRows(list))
        text += row.text + "/" + row.second + "/" + std::to_string(row.picture) + " ";
    return text;
}

struct RegistryValue {
    HKEY root;
    std::string key, name, expected;
};

struct Case {
    int toolId;
    bool openedByLink;
    std::function<void()> store;              // what the registry holds before the first start
    std::function<void(HWND page)> edit;      // the user's edits on the page
    std::string applyMessage;                 // the title of the message Apply shows, if any
    std::vector<RegistryValue> written;
    std::function<std::string(HWND page)> shown;  // what the page shows, read back
    std::string expectedShown;
};

// Opens the row's page as the user would and waits for the dialog.
HWND OpenPage(Process& panel, HWND main, const Case& c) {
    const int id = (c.openedByLink ? kLinkFamily : kButtonFamily) + c.toolId;
    HWND control = RowControl(main, id);
    if (!control) return nullptr;
    if (c.openedByLink)
        PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(control));
    else
        PostMessageA(control, BM_CLICK, 0, 0);
    return panel.WaitForWindow("KestrelkitSettings");
}

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {kk::kPlacesBarToolId, false, [] {},
         [](HWND page) {
             HWND first = GetDlgItem(page, kk::kIdPlace);
             SendMessageA(first, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
             TypeInto(EditOf(first), "C:\\windows");
             PressKey(EditOf(GetDlgItem(page, kk::kIdPlace + 1)), VK_DOWN, 3);  // "Desktop" down to "Favorites"
             PostMessageA(GetDlgItem(page, kk::kIdPlacesHide), BM_CLICK, 0, 0);
         },
         "Customize the Places Bar",
         {{HKEY_CURRENT_USER, kPlacesBar, "Place0", "C:\\windows"},
          {HKEY_CURRENT_USER, kPlacesBar, "Place1", "dword:6"},
          {HKEY_CURRENT_USER, kPlacesBar, "Place2", "dword:5"},
          {HKEY_CURRENT_USER, kPlacesPolicy, "NoPlacesBar", "dword:1"}},
         [](HWND page) {
             return ControlText(GetDlgItem(page, kk::kIdPlace)) + "|" +
                    ControlText(GetDlgItem(page, kk::kIdPlace + 1)) + "|" +
                    std::to_string(SendMessageA(GetDlgItem(page, kk::kIdPlacesHide), BM_GETCHECK, 0, 0));
         },
         "C:\\windows|\"Favorites\"|1"},
        {kk::kAltTabToolId, false, [] {},
         [](HWND page) {
             // The model's corner dragged far right (26 columns, the most) and to 96 pixels high (4 rows).
             HWND model = GetDlgItem(page, kk::kIdTinyIconFrame);
             RECT r{};
             GetClientRect(model, &r);
             const POINT corner{r.right - 4, r.bottom - 4};
             PostMessageA(model, WM_MOUSEMOVE, 0, MAKELPARAM(corner.x, corner.y));
             PostDrag(model, corner, {{corner.x + 100, corner.y}, {700, 92}});
             // Then 12 rows typed into its field, which Tab leaves: the most is 9.
             HWND rows = GetDlgItem(page, kk::kIdTinyIconField + 1);
             // Posted, so they arrive after the drag, in order.
             Click(rows, 4, 4);
             for (char c : std::string("12")) PostMessageA(rows, WM_CHAR, c, 1);
             PostMessageA(rows, WM_KEYDOWN, VK_TAB, 1);
             ASSERT_TRUE(WaitUntil([&] { return ControlText(rows) == "9"; }, 3000)) << ControlText(rows);
         },
         "",
         {{HKEY_CURRENT_USER, kDesktop, "CoolSwitchColumns", "26"},
          {HKEY_CURRENT_USER, kDesktop, "CoolSwitchRows", "9"}},
         [](HWND page) {
             return ControlText(GetDlgItem(page, kk::kIdTinyIconField)) + "|" +
                    ControlText(GetDlgItem(page, kk::kIdTinyIconField + 1));
         },
         "26|9"},
        {kk::kHotkeysToolId, false, [] { WriteString(HKEY_CURRENT_USER, kHotkeys, "2F5", "\"Hello\""); },
         [](HWND page) {
             PostMessageA(GetDlgItem(page, kk::kIdHotkeyNew), BM_CLICK, 0, 0);
             HWND meat = GetDlgItem(page, kk::kIdHotkeyMeat);
             ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(meat) && ControlText(meat) == "My text"; }, 3000));
             SendMessageA(meat, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
             TypeInto(meat, "Bye");
             PostMessageA(GetDlgItem(page, kk::kIdHotkeyShift + 4), BM_CLICK, 0, 0);  // Alt+Shift+A
         },
         "",
         {{HKEY_CURRENT_USER, kHotkeys, "2F5", "\"Hello\""},
          {HKEY_CURRENT_USER, kHotkeys, "5A", "\"Bye\""},
          {HKEY_CURRENT_USER, kHotkeys, "_Advanced", "0"},
          {HKEY_CURRENT_USER, kSuiteKey, "EnableHotkeys", "2"}},
         [](HWND page) { return ListText(GetDlgItem(page, kk::kIdHotkeyList)); },
         "F5/ Hello/2 A/ Bye/5 "},
    };
    return cases;
}

TEST(ListPages, EachPageIsEditedAcceptedAppliedAndShownAgainAfterARestart) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE("ToolId " + std::to_string(c.toolId));
        const std::string exe = InstallPanel();
        ASSERT_FALSE(exe.empty());
        WriteString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
        c.store();
        {
            Process panel = Process::Start(exe);
            HWND main = panel.WaitForWindow(kMainWindowClass);
            ASSERT_TRUE(main);
            HWND dialog = OpenPage(panel, main, c);
            ASSERT_TRUE(dialog);
            HWND page = GetDlgItem(dialog, kFrameBase + c.toolId);
            ASSERT_TRUE(page) << "the page is built";
            c.edit(page);
            ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, kDialogAccept)) != FALSE; }, 3000))
                << "the edits enable Accept";
            ASSERT_TRUE(Press(dialog, kDialogAccept));
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000)) << "accepted, the dialog closes";
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(RowControl(main, kChangedFamily + c.toolId)) != FALSE; },
                                  3000))
                << "the row shows its change";

            HWND apply = GetDlgItem(main, kMainApply);
            ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 3000));
            ASSERT_TRUE(Press(main, kMainApply));
            if (!c.applyMessage.empty()) {
                MessageBoxView box = panel.WaitForMessageBox();
                EXPECT_EQ(box.title, c.applyMessage);
                ASSERT_TRUE(Answer(box, IDOK));
            }
            ASSERT_TRUE(WaitUntil(
                [&] { return !IsWindowEnabled(apply) && WindowText(GetDlgItem(main, kMainCancel)) == "&Close"; }, 10000));
            for (const RegistryValue& v : c.written) EXPECT_EQ(ReadValue(v.root, v.key, v.name), v.expected) << v.name;
            ASSERT_TRUE(Press(main, kMainCancel));
            ASSERT_NE(panel.ExitCode(5000), static_cast<DWORD>(STILL_ACTIVE));
        }

        // The next start reads what Apply stored.
        Process again = Process::Start(exe);
        HWND main = again.WaitForWindow(kMainWindowClass);
        ASSERT_TRUE(main);
        HWND dialog = OpenPage(again, main, c);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(c.shown(GetDlgItem(dialog, kFrameBase + c.toolId)), c.expectedShown);
        ASSERT_TRUE(Press(dialog, kDialogCancel));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
        ASSERT_TRUE(Press(main, kMainCancel));
        EXPECT_NE(again.ExitCode(5000), static_cast<DWORD>(STILL_ACTIVE));
    }
}

}  // namespace
