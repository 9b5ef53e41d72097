// The five list pages worked from outside as a person would: each is opened
// from its row, edited with keys and the mouse, accepted (the row shows its
// "*"), applied from the main window, read back from the registry, and
// found showing what was stored when the panel starts again.
#include "e2e/driver.h"

#include "pages/alt_tab_page.h"
#include "pages/autoplay_page.h"
#include "pages/details_page.h"
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
const char kDetails[] = "Software\\Marrowby\\Menukit\\Details";
const char kExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

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

// Row i of a list as the user presses it: on its check picture or on its text.
POINT OnCheck(HWND list, int i) {
    const RECT r = ListRowRect(list, i);
    return {r.left + 6, (r.top + r.bottom) / 2};
}
POINT OnText(HWND list, int i) {
    const RECT r = ListRowRect(list, i);
    return {r.left + 80, (r.top + r.bottom) / 2};
}
void PostKey(HWND window, int key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// The first rows of a list view, "text/picture" each.
std::string FirstRows(HWND list, size_t count) {
    std::string text;
    const std::vector<ListRow> rows = ListRows(list);
    for (size_t i = 0; i < rows.size() && i < count; ++i) text += rows[i].text + "/" + std::to_string(rows[i].picture) + " ";
    return text;
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
        {kk::kDetailsToolId, true,
         [] {
             WriteString(HKEY_CURRENT_USER, kDetails, "", "1");
             WriteString(HKEY_CURRENT_USER, kDetails, "1", "JPG Width");
         },
         [](HWND page) {
             // Stored first "JPG Width", then the table: "File Size", "File Size (exact)", "File Date"...
             HWND list = GetDlgItem(page, kk::kIdDetailsList);
             Click(list, OnCheck(list, 1).x, OnCheck(list, 1).y);  // ticks "File Size"
             Click(list, OnText(list, 3).x, OnText(list, 3).y);
             PostKey(list, VK_SPACE);  // ticks "File Date"
             const POINT from = OnText(list, 3), to = OnText(list, 0);
             PostDrag(list, from, {{from.x, (from.y + to.y) / 2}, to});  // and moves it to the top
             HWND delim = GetDlgItem(page, kk::kIdDetailsDelim);
             PostMessageA(delim, WM_CHAR, ';', 1);
         },
         "",
         {{HKEY_CURRENT_USER, kDetails, "", "3"},
          {HKEY_CURRENT_USER, kDetails, "1", "File Date"},
          {HKEY_CURRENT_USER, kDetails, "2", "JPG Width"},
          {HKEY_CURRENT_USER, kDetails, "3", "File Size"},
          {HKEY_CURRENT_USER, kDetails, "Delim", ";"},
          {HKEY_CURRENT_USER, kDetails, "InitJPG", "1"},
          {HKEY_CURRENT_USER, kDetails, "InitImage", "1"},
          {HKEY_CURRENT_USER, kDetails, "InitMP3ID3", "0"}},
         [](HWND page) {
             return FirstRows(GetDlgItem(page, kk::kIdDetailsList), 4) + ControlText(GetDlgItem(page, kk::kIdDetailsDelim));
         },
         // Wine's XP reports a visual style: the XP pictures, 10 and 11.
         "File Date/11 JPG Width/11 File Size/11 File Size (exact)/10 ;"},
        {kk::kAutoplayToolId, false,
         [] {
             // Z switched off, and a bit above Z that no drive letter owns.
             const DWORD mask = (1u << 25) | (1u << 31);
             RegSetKeyValueA(HKEY_CURRENT_USER, kExplorerPolicies, "NoDriveAutoRun", REG_DWORD, &mask, sizeof mask);
         },
         [](HWND page) {
             HWND list = GetDlgItem(page, kk::kIdAutoplayList);
             Click(list, OnCheck(list, 0).x, OnCheck(list, 0).y);  // A off
             Click(list, OnText(list, 3).x, OnText(list, 3).y);
             PostKey(list, VK_SPACE);  // D off
             PostKey(list, VK_END);
             PostKey(list, VK_SPACE);  // Z on again
         },
         "",
         {{HKEY_CURRENT_USER, kExplorerPolicies, "NoDriveAutoRun", "dword:9"}},
         [](HWND page) {
             const std::vector<ListRow> rows = ListRows(GetDlgItem(page, kk::kIdAutoplayList));
             std::string shown = std::to_string(rows.size()) + " rows:";
             for (size_t i : {0, 2, 3, 25})
                 if (i < rows.size()) shown += " " + rows[i].text + "/" + std::to_string(rows[i].picture);
             return shown;
         },
         "26 rows: A:  /10 C:  (hard disk)/11 D:  /10 Z:  (hard disk)/11"},  // Wine maps Z: to the root
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
