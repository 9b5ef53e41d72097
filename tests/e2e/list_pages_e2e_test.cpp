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

using namespace kke2e;

namespace {

const char kPlacesPolicy[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32";
const char kPlacesBar[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32\\PlacesBar";
const char kExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kDesktop[] = "Control Panel\\Desktop";
const char kHotkeys[] = "SOFTWARE\\Marrowby\\Kestrelkit\\Hotkeys";
const char kDetails[] = "Software\\Marrowby\\Menukit\\Details";

constexpr int kAccept = 10, kCancel = 11, kMainCancel = 11;
constexpr int kLinkFamily = 7000, kButtonFamily = 5000, kChangedFamily = 3000, kFrameBase = 1000;
constexpr int kOnCheck = 6, kOnText = 80;  // pixels into a list row

// The list's count and the rows given.
std::string RowsText(HWND list, const std::vector<size_t>& which) {
    const std::vector<std::string> rows = ListRows(list);
    std::string text = std::to_string(rows.size()) + ":";
    for (size_t i : which) text += i < rows.size() ? " " + rows[i] : "";
    return text;
}

struct Written { std::string key, name, expected; };  // under HKEY_CURRENT_USER

struct Case {
    int toolId;
    std::function<void()> store;             // the registry before the first start
    std::function<void(HWND page)> edit;     // the user's edits
    std::string applyMessage;                // the title of the message Apply shows, if any
    std::vector<Written> written;
    std::function<std::string(HWND page)> shown;  // what the page shows after a restart
    std::string expectedShown;
};

// Opens the row's page as the user would: its "#" link or its settings button.
HWND OpenPage(Process& panel, HWND main, int toolId) {
    const bool link = toolId == kk::kDetailsToolId;
    const int id = (link ? kLinkFamily : kButtonFamily) + toolId;
    HWND control = RowControl(main, id);
    if (link) PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(control));
    else PostMessageA(control, BM_CLICK, 0, 0);
    return panel.WaitForWindow("KestrelkitSettings");
}

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {kk::kDetailsToolId,
         [] {
             kk::SetString(HKEY_CURRENT_USER, kDetails, "", "1");
             kk::SetString(HKEY_CURRENT_USER, kDetails, "1", "JPG Width");
         },
         [](HWND page) {
             // "JPG Width" first, as stored, then the table: "File Size", "File Size (exact)", "File Date"...
             HWND list = GetDlgItem(page, kk::kIdDetailsList);
             PostDrag(list, InListRow(list, 1, kOnCheck));  // ticks "File Size"
             PostDrag(list, InListRow(list, 3, kOnText));
             PostKey(list, VK_SPACE);  // ticks "File Date"
             const POINT from = InListRow(list, 3, kOnText), to = InListRow(list, 0, kOnText);
             PostDrag(list, from, {{from.x, (from.y + to.y) / 2}, to});  // and moves it to the top
             PostChars(GetDlgItem(page, kk::kIdDetailsDelim), ";");
         },
         "",
         {{kDetails, "", "3"}, {kDetails, "1", "File Date"}, {kDetails, "2", "JPG Width"},
          {kDetails, "3", "File Size"}, {kDetails, "Delim", ";"}, {kDetails, "InitJPG", "1"},
          {kDetails, "InitImage", "1"}, {kDetails, "InitMP3ID3", "0"}},
         [](HWND page) {
             return RowsText(GetDlgItem(page, kk::kIdDetailsList), {0, 1, 2, 3}) + " " +
                    WindowText(GetDlgItem(page, kk::kIdDetailsDelim));
         },
         // Wine's XP reports a visual style: the XP pictures, 10 and 11.
         "24: File Date/11 JPG Width/11 File Size/11 File Size (exact)/10 ;"},
        {kk::kAutoplayToolId,
         [] {
             // Z switched off, and a bit above Z that no drive letter owns.
             const auto mask = static_cast<int32_t>((1u << 25) | (1u << 31));
             kk::SetDword(HKEY_CURRENT_USER, kExplorerPolicies, "NoDriveAutoRun", mask);
         },
         [](HWND page) {
             HWND list = GetDlgItem(page, kk::kIdAutoplayList);
             PostDrag(list, InListRow(list, 0, kOnCheck));  // A off
             PostDrag(list, InListRow(list, 3, kOnText));
             PostKey(list, VK_SPACE);  // D off
             PostKey(list, VK_END);
             PostKey(list, VK_SPACE);  // Z on again
         },
         "",
         {{kExplorerPolicies, "NoDriveAutoRun", "dword:9"}},
         [](HWND page) { return RowsText(GetDlgItem(page, kk::kIdAutoplayList), {0, 2, 3, 25}); },
         "26: A:  /10 C:  (hard disk)/11 D:  /10 Z:  (hard disk)/11"},  // Wine maps Z: to the root
        {kk::kPlacesBarToolId, [] {},
         [](HWND page) {
             HWND first = GetDlgItem(page, kk::kIdPlace);
             SendMessageA(first, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
             PostChars(GetWindow(first, GW_CHILD), "C:\\windows");
             PostKey(GetWindow(GetDlgItem(page, kk::kIdPlace + 1), GW_CHILD), VK_DOWN, 3);  // "Desktop" down to "Favorites"
             Press(page, kk::kIdPlacesHide);
         },
         "Customize the Places Bar",
         {{kPlacesBar, "Place0", "C:\\windows"}, {kPlacesBar, "Place1", "dword:6"}, {kPlacesBar, "Place2", "dword:5"},
          {kPlacesPolicy, "NoPlacesBar", "dword:1"}},
         [](HWND page) {
             return WindowText(GetDlgItem(page, kk::kIdPlace)) + "|" + WindowText(GetDlgItem(page, kk::kIdPlace + 1)) +
                    "|" + std::to_string(SendMessageA(GetDlgItem(page, kk::kIdPlacesHide), BM_GETCHECK, 0, 0));
         },
         "C:\\windows|\"Favorites\"|1"},
        {kk::kAltTabToolId, [] {},
         [](HWND page) {
             // The model's corner dragged far right (26 columns, the most) and to 96 pixels high (4 rows).
             HWND model = GetDlgItem(page, kk::kIdTinyIconFrame);
             RECT r{};
             GetClientRect(model, &r);
             const POINT corner{r.right - 4, r.bottom - 4};
             PostDrag(model, corner, {{corner.x + 100, corner.y}, {700, 92}});
             // Then 12 rows typed into their field, which Tab leaves: the most is 9.
             HWND rows = GetDlgItem(page, kk::kIdTinyIconField + 1);
             PostDrag(rows, {4, 4});
             PostChars(rows, "12");
             PostKey(rows, VK_TAB);
             ASSERT_TRUE(WaitUntil([&] { return WindowText(rows) == "9"; }, 3000)) << WindowText(rows);
         },
         "",
         {{kDesktop, "CoolSwitchColumns", "26"}, {kDesktop, "CoolSwitchRows", "9"}},
         [](HWND page) {
             return WindowText(GetDlgItem(page, kk::kIdTinyIconField)) + "|" +
                    WindowText(GetDlgItem(page, kk::kIdTinyIconField + 1));
         },
         "26|9"},
        {kk::kHotkeysToolId, [] { kk::SetString(HKEY_CURRENT_USER, kHotkeys, "2F5", "\"Hello\""); },
         [](HWND page) {
             Press(page, kk::kIdHotkeyNew);
             // The editors come with the first row chosen.
             HWND meat = nullptr;
             ASSERT_TRUE(WaitUntil([&] {
                 meat = GetDlgItem(page, kk::kIdHotkeyMeat);
                 return IsWindowVisible(meat) && WindowText(meat) == "My text";
             }, 3000));
             SendMessageA(meat, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
             PostChars(meat, "Bye");
             Press(page, kk::kIdHotkeyShift + 4);  // Alt+Shift+A
         },
         "",
         {{kHotkeys, "2F5", "\"Hello\""}, {kHotkeys, "5A", "\"Bye\""}, {kHotkeys, "_Advanced", "0"},
          {kSuiteKey, "EnableHotkeys", "2"}},
         [](HWND page) { return RowsText(GetDlgItem(page, kk::kIdHotkeyList), {0, 1}); },
         "2: F5/ Hello/2 A/ Bye/5"},
    };
    return cases;
}

TEST(ListPages, EachPageIsEditedAcceptedAppliedAndShownAgainAfterARestart) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE("ToolId " + std::to_string(c.toolId));
        const std::string exe = InstallPanel();
        ASSERT_FALSE(exe.empty());
        c.store();
        for (int run = 0; run < 2; ++run) {
            Process panel = Process::Start(exe);
            HWND main = panel.WaitForWindow(kMainWindowClass), dialog = OpenPage(panel, main, c.toolId);
            HWND page = GetDlgItem(dialog, kFrameBase + c.toolId);
            ASSERT_TRUE(page) << "no panel, no page, or the page was not built";
            if (run == 1) {
                EXPECT_EQ(c.shown(page), c.expectedShown) << "the next start shows what Apply stored";
                ASSERT_TRUE(Press(dialog, kCancel) && WaitUntil([&] { return !IsWindow(dialog); }, 5000));
            } else {
                c.edit(page);
                ASSERT_TRUE(Press(dialog, kAccept));
                HWND changed = RowControl(main, kChangedFamily + c.toolId);
                ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowVisible(changed); }, 5000))
                    << "accepted, the dialog closes and the row shows its change";
                ASSERT_TRUE(ApplyChanges(panel, main, c.applyMessage)) << "Apply never ended, or no box " + c.applyMessage;
                for (const Written& v : c.written)
                    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, v.key, v.name), v.expected) << v.name;
            }
            ASSERT_TRUE(Press(main, kMainCancel));
            EXPECT_NE(panel.ExitCode(5000), static_cast<DWORD>(STILL_ACTIVE));
        }
    }
}

}  // namespace
