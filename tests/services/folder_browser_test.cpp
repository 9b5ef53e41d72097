// The real folder browser, shown modally on this thread while a second
// thread plays the user: it reads the dialog, opens and selects folders in
// the tree and presses the buttons. The Places Bar page's use of what it
// returns is checked in tests/pages/places_bar_test.cpp.
#include "services/folder_browser.h"

#include "engine/registry.h"
#include "pages/page_controls.h"
#include "support/message_pump.h"
#include "support/recorder.h"
#include "support/test_env.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <functional>

using namespace kk;

namespace {

HTREEITEM Next(HWND tree, HTREEITEM from, UINT how) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
}
HTREEITEM Selected(HWND tree) { return Next(tree, nullptr, TVGN_CARET); }
std::string ItemText(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA tv{TVIF_TEXT, item, 0, 0, text, MAX_PATH, 0, 0, 0, 0};
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}
void Select(HWND tree, HTREEITEM item) { SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }
void Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
bool AcceptEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, kIdBrowseAccept)) != FALSE; }

class FolderBrowser : public ::testing::Test {
protected:
    // Shows the browser from entry while user acts from a second thread;
    // what FolderChoice holds when it has closed.
    std::string Browse(const std::string& entry, const std::function<void(HWND dialog, HWND tree)>& user) {
        FolderChoice() = entry;
        HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 100,
                                     nullptr, nullptr, nullptr, nullptr);
        bool modal = false;
        std::string title;
        const kktest::ModalRun run = kktest::RunModalAsUser(
            owner, kFolderBrowseClass,
            [&](HWND dialog) {
                modal = !IsWindowEnabled(owner);
                title = ControlText(dialog);
                user(dialog, GetDlgItem(dialog, kIdBrowseTree));
            },
            [&] { BrowseForFolder(owner); });
        EXPECT_TRUE(run.window) << "no folder browser appeared";
        EXPECT_EQ(title, kFolderBrowseTitle);
        EXPECT_TRUE(modal && IsWindowEnabled(owner)) << "the owner waits, disabled, and is enabled again";
        EXPECT_TRUE(run.closedByUser);
        DestroyWindow(owner);
        return FolderChoice();
    }

    kktest::SystemRecorder recorder;
};

TEST_F(FolderBrowser, ReturnsTheChosenFolderTheDesktopTheEntryOnTheCloseBoxAndNothingOnCancelAndRefusesANonFolder) {
    const std::string parent = kktest::MakeTempFolder("browse");
    for (const char* sub : {"Sub", "Other"}) CreateDirectoryA((parent + sub).c_str(), nullptr);
    const std::string start = parent.substr(0, parent.size() - 1), missing = "C:\\no such folder";
    std::string opened, children;
    auto openAndChooseSub = [&](HWND dialog, HWND tree) {
        opened = ItemText(tree, Selected(tree)) + (AcceptEnabled(dialog) ? " valid" : " invalid");
        SendMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);  // the user opens it: filled now
        for (HTREEITEM c = Next(tree, Selected(tree), TVGN_CHILD); c; c = Next(tree, c, TVGN_NEXT))
            children += ItemText(tree, c) + ";";
        Select(tree, Next(tree, Selected(tree), TVGN_CHILD));
        SendMessageA(tree, WM_KEYDOWN, VK_DOWN, 0);
        Press(dialog, kIdBrowseAccept);
    };
    EXPECT_EQ(Browse(start, openAndChooseSub), parent + "Sub");
    EXPECT_EQ(opened, TextAfterLast(start, "\\") + " valid") << "opened at the entry";
    EXPECT_EQ(children, "Other;Sub;");

    auto chooseRoot = [](HWND dialog, HWND tree) {
        Select(tree, Next(tree, nullptr, TVGN_ROOT));
        Press(dialog, kIdBrowseAccept);
    };
    EXPECT_EQ(Browse(missing, chooseRoot), "\"Desktop\"");
    EXPECT_EQ(Browse(missing, [](HWND dialog, HWND) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }), missing);
    EXPECT_TRUE(recorder.messages.empty());
    for (const char* sub : {"Sub", "Other", ""}) RemoveDirectoryA((parent + sub).c_str());

    // Refuses a folder without a path, follows the wheel, keeps its minimum size; Cancel returns nothing.
    std::string refused, wheel;
    RECT smallest{};
    EXPECT_EQ(Browse(missing, [&](HWND dialog, HWND tree) {
        const HTREEITEM root = Selected(tree);
        SendMessageA(dialog, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
        wheel = ItemText(tree, Selected(tree)) == ItemText(tree, Next(tree, root, TVGN_CHILD)) ? "down" : "stayed";
        SendMessageA(dialog, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
        wheel += Selected(tree) == root ? " up" : " stayed";
        // The first desktop folder without a file-system path (My Computer).
        HTREEITEM c = Next(tree, root, TVGN_CHILD);
        for (Select(tree, c); c && AcceptEnabled(dialog); c = Next(tree, c, TVGN_NEXT)) Select(tree, c);
        refused = ItemText(tree, Selected(tree));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kIdBrowseAccept, BN_CLICKED), 0);
        refused += IsWindowVisible(dialog) ? " kept open" : " closed";
        SetWindowPos(dialog, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
        GetWindowRect(dialog, &smallest);
        Press(dialog, kIdBrowseCancel);
    }), "");
    EXPECT_EQ(wheel, "down up");
    EXPECT_NE(refused.find(" kept open"), std::string::npos) << refused;
    ASSERT_EQ(recorder.messages.size(), 1u);
    const kktest::RecordedMessage& m = recorder.messages[0];
    EXPECT_EQ(m.text + "|" + m.title + "|" + std::to_string(m.style),
              "The destination folder you have chosen is not valid.|Choose a Folder...|48");
    EXPECT_EQ(smallest.right - smallest.left, kFolderBrowseMinTrack - 8 + 2 * GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(smallest.bottom - smallest.top, kFolderBrowseMinTrack - 25 + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME));
}

}  // namespace
