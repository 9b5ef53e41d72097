// Ticking tools, Apply, quitting, the uninstall mode and the DLL upgrade
// pass, on Control Panel.exe as its own process with the stand-in
// shell-extension DLLs installed beside it.
#include "e2e/driver.h"

#include "../fixtures/stand_in_classes.h"
#include "engine/history.h"

#include <gtest/gtest.h>

using namespace kke2e;

namespace {

const char kRenameHandler[] = "*\\shellex\\ContextMenuHandlers\\KkRenameMenu";      // tool 101
const char kCopyNameHandler[] = "*\\shellex\\ContextMenuHandlers\\KkCopyNameMenu";  // tool 104
const char kCopyNameFolderHandler[] = "Directory\\shellex\\ContextMenuHandlers\\KkCopyNameMenu";
const char kPendingHandler[] = "*\\shellex\\ContextMenuHandlers\\KkPendingMenu";    // tool 152
const char kCopyDataHandler[] = "*\\shellex\\ContextMenuHandlers\\KkCopyDataMenu";  // tool 103

// The class a handler key names; "none" without the key.
std::string Handler(const char* key) {
    return kk::KeyExists(HKEY_CLASSES_ROOT, key) ? kk::GetString(HKEY_CLASSES_ROOT, key, "") : "none";
}

// BM_GETCHECK of a row's check box; -1 without the box.
int CheckState(HWND main, int toolId) {
    HWND box = RowControl(main, 4000 + toolId);
    return box ? static_cast<int>(SendMessageA(box, BM_GETCHECK, 0, 0)) : -1;
}

// Clicks a row's check box and waits until the box shows the new value.
bool Tick(HWND main, int toolId, int expected) {
    return PostMessageA(RowControl(main, 4000 + toolId), BM_CLICK, 0, 0) &&
           WaitUntil([&] { return CheckState(main, toolId) == expected; }, 3000);
}

TEST(ApplyAndCancel, AppliedToolsAreDetectedQuittingAppliesNothingAndTheUpgradeAndUninstallRun) {
    for (const char* key :
         {kRenameHandler, kCopyNameHandler, kCopyNameFolderHandler, kPendingHandler, kCopyDataHandler})
        kk::DeleteKey(HKEY_CLASSES_ROOT, key);
    const std::string exe = InstallPanel(true);
    ASSERT_FALSE(exe.empty());
    {
        // Ticked on a fresh panel and applied: closing then asks nothing.
        Process panel = Process::Start(exe);
        HWND main = panel.WaitForWindow(kMainWindowClass);
        ASSERT_TRUE(main);
        for (int id : {101, 104, 152}) ASSERT_TRUE(Tick(main, id, 1)) << id;
        ASSERT_TRUE(ApplyChanges(panel, main)) << "Apply never ended, or Cancel did not become Close";
        ASSERT_TRUE(Press(main, 11));
        EXPECT_EQ(panel.ExitCode(), 0u);
        EXPECT_FALSE(panel.ShowedMessageBox());
    }
    const std::string registered = Handler(kRenameHandler);
    EXPECT_EQ(registered, kkfixtures::FindStandIn("kkrename")->clsid) << "the class the stand-in DLL registered";
    ASSERT_NE(Handler(kCopyNameHandler), "none");
    {
        Process panel = Process::Start(exe);
        HWND main = panel.WaitForWindow(kMainWindowClass);
        ASSERT_TRUE(main);
        EXPECT_EQ(CheckState(main, 101), 1) << "detected at the next start";
        EXPECT_EQ(CheckState(main, 104), 1);
        ASSERT_TRUE(Tick(main, 101, 0));
        // Cancel asks first, and No keeps the panel with the change pending.
        ASSERT_TRUE(Press(main, 11));
        MessageBoxView box = panel.WaitForMessageBox();
        EXPECT_EQ(box.title + "|" + box.text, "Exit|Are you sure you want to quit without applying\ryour changes?");
        EXPECT_EQ(box.buttons, (Buttons{IDYES, IDNO}));
        ASSERT_TRUE(Answer(box, IDNO));
        EXPECT_TRUE(panel.Running() && IsWindowVisible(RowControl(main, 3101)));
        // Closing the window asks the same; Yes quits.
        ASSERT_TRUE(PostMessageA(main, WM_CLOSE, 0, 0));
        box = panel.WaitForMessageBox();
        EXPECT_EQ(box.title, "Exit");
        ASSERT_TRUE(Answer(box, IDYES));
        EXPECT_EQ(panel.ExitCode(), 0u);
        EXPECT_EQ(Handler(kRenameHandler), registered) << "quitting applies nothing";
    }
    // An installation replaced the DLLs: the handlers still name old classes. Only the ticked tools among those an
    // installation replaces are registered again: 152 is ticked but not among them, 103 among them but not ticked.
    for (const char* key : {kRenameHandler, kPendingHandler}) kk::SetString(HKEY_CLASSES_ROOT, key, "", "stale");
    kk::SetString(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade", "1");
    {
        Process panel = Process::Start(exe);
        ASSERT_TRUE(panel.WaitForWindow(kMainWindowClass));
        MessageBoxView box = panel.WaitForMessageBox();
        EXPECT_EQ(box.title + "|" + box.text,
                  "Update Complete|Installation is complete.\r\n\r\nYour tools are now ready to use.");
        EXPECT_EQ(box.buttons, (Buttons{IDOK, IDCANCEL}));
        ASSERT_TRUE(Answer(box, IDOK));
        EXPECT_EQ(Handler(kRenameHandler), registered) << "the ticked tool is registered again";
        EXPECT_EQ(Handler(kPendingHandler) + "|" + Handler(kCopyDataHandler), "stale|none");
        EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade"), "absent") << "done once";
        const std::vector<kk::HistoryEntry> history = kk::ReadHistory();
        EXPECT_EQ(history.empty() ? "" : history.front().operation + " " + std::to_string(history.front().rows.size()),
                  "DLL upgrade 2") << "101 and 104";
    }

    Process panel = Process::Start(exe, "/quiet /uninstall");
    EXPECT_EQ(panel.ExitCode(20000), 0u) << "the uninstall did not end, or failed";
    EXPECT_TRUE(panel.ShowedWindow());
    EXPECT_FALSE(panel.ShowedMessageBox());
    for (const char* key : {kRenameHandler, kCopyNameHandler, kCopyNameFolderHandler})
        EXPECT_EQ(Handler(key), "none") << key;
}

}  // namespace
