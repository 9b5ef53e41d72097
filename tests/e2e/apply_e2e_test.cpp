// Ticking tools, Apply, quitting, the uninstall mode and the DLL upgrade
// pass, on Control Panel.exe as its own process with the stand-in
// shell-extension DLLs installed beside it.
#include "e2e/driver.h"

#include "../fixtures/stand_in_classes.h"

#include <gtest/gtest.h>

using namespace kke2e;

namespace {

const char kRenameHandler[] = "*\\shellex\\ContextMenuHandlers\\KkRenameMenu";      // tool 101
const char kCopyNameHandler[] = "*\\shellex\\ContextMenuHandlers\\KkCopyNameMenu";  // tool 104
const char kCopyNameFolderHandler[] = "Directory\\shellex\\ContextMenuHandlers\\KkCopyNameMenu";

// The class a handler key names in the panel's view; "none" without the key.
std::string Handler(const char* key) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ | kPanelView, &h) != ERROR_SUCCESS) return "none";
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    RegGetValueA(h, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size);
    RegCloseKey(h);
    return buffer;
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

class ApplyAndCancel : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* key : {kRenameHandler, kCopyNameHandler, kCopyNameFolderHandler}) {
            RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
            RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        }
        ASSERT_FALSE((exe = InstallPanel(true)).empty());
        // No startup module to start or close on Apply.
        WriteString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    }

    HWND StartPanel(Process& panel) {
        panel = Process::Start(exe);
        return panel.WaitForWindow(kMainWindowClass);
    }
    // Ticks the tools on a fresh panel, applies, and closes it, which then asks nothing.
    void ApplyTools(std::initializer_list<int> toolIds) {
        Process panel;
        HWND main = StartPanel(panel);
        ASSERT_TRUE(main);
        for (int id : toolIds) ASSERT_TRUE(Tick(main, id, 1)) << id;
        ASSERT_TRUE(ApplyChanges(main)) << "Apply never ended, or Cancel did not become Close";
        ASSERT_TRUE(Press(main, 11));
        EXPECT_EQ(panel.ExitCode(), 0u);
        EXPECT_FALSE(panel.ShowedMessageBox());
    }

    std::string exe;
};

TEST_F(ApplyAndCancel, AnAppliedToolIsTickedAtTheNextStartAndQuittingAsksAndAppliesNothing) {
    ApplyTools({101});
    const std::string registered = Handler(kRenameHandler);
    EXPECT_EQ(registered, kkfixtures::FindStandIn("kkrename")->clsid) << "the class the stand-in DLL registered";

    Process panel;
    HWND main = StartPanel(panel);
    ASSERT_TRUE(main);
    EXPECT_EQ(CheckState(main, 101), 1) << "detected at the next start";
    EXPECT_EQ(CheckState(main, 104), 0);
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

// Which tools the upgrade registers, and its message, are in tests/engine/apply_engine_test.cpp.
TEST_F(ApplyAndCancel, APendingDllUpgradeRunsAtStartAndUninstallRemovesEveryFootprint) {
    ApplyTools({101, 104});
    // An installation replaced the DLLs: the handler still names an old class.
    const std::string registered = Handler(kRenameHandler);
    ASSERT_NE(registered, "none");
    ASSERT_NE(Handler(kCopyNameHandler), "none");
    RegSetKeyValueA(HKEY_CLASSES_ROOT, kRenameHandler, nullptr, REG_SZ, "stale", 6);
    ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade", "1"));
    {
        Process panel;
        ASSERT_TRUE(StartPanel(panel));
        MessageBoxView box = panel.WaitForMessageBox();
        EXPECT_EQ(box.title, "Update Complete");
        ASSERT_TRUE(Answer(box, IDOK));
        EXPECT_EQ(Handler(kRenameHandler), registered) << "the ticked tool is registered again";
    }

    Process panel = Process::Start(exe, "/quiet /uninstall");
    EXPECT_EQ(panel.ExitCode(20000), 0u) << "the uninstall did not end, or failed";
    EXPECT_TRUE(panel.ShowedWindow());
    EXPECT_FALSE(panel.ShowedMessageBox());
    for (const char* key : {kRenameHandler, kCopyNameHandler, kCopyNameFolderHandler})
        EXPECT_EQ(Handler(key), "none") << key;
}

}  // namespace
