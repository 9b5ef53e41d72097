// Ticking tools, Apply, Cancel and closing, the uninstall mode and the DLL
// upgrade pass, on Control Panel.exe as its own process with the stand-in
// shell-extension DLLs installed beside it.
#include "e2e/driver.h"

#include <gtest/gtest.h>

using namespace kke2e;

namespace {

const char kSuiteKey[] = "SOFTWARE\\Marrowby\\Kestrelkit";
const char kRenameHandler[] = "*\\shellex\\ContextMenuHandlers\\KkRenameMenu";      // tool 101
const char kCopyNameHandler[] = "*\\shellex\\ContextMenuHandlers\\KkCopyNameMenu";  // tool 104
const char kCopyNameFolderHandler[] = "Directory\\shellex\\ContextMenuHandlers\\KkCopyNameMenu";
const char kQuitText[] = "Are you sure you want to quit without applying\ryour changes?";

bool KeyPresent(const char* key) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

std::string DefaultValue(const char* key) {
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

class ApplyAndCancel : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSuiteKeys();
        RemoveFootprints();
        exe = InstallPanel(true);
        ASSERT_FALSE(exe.empty());
        SetPanelWindowsVersion("winxp");
        // No startup module to start or close on Apply.
        WriteString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    }
    void TearDown() override {
        ClearSuiteKeys();
        RemoveFootprints();
    }
    static void RemoveFootprints() {
        for (const char* key : {kRenameHandler, kCopyNameHandler, kCopyNameFolderHandler}) {
            RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
            RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        }
    }

    HWND StartPanel(Process& panel, const std::string& tail = "") {
        panel = Process::Start(exe, tail);
        return WaitForMainWindow(panel, 5000);
    }
    // Clicks a row's check box and waits until the box shows the new value.
    static bool Tick(HWND main, int toolId, int expected) {
        HWND box = RowControl(main, 4000 + toolId);
        if (!box || !PostMessageA(box, BM_CLICK, 0, 0)) return false;
        return WaitUntil([&] { return CheckState(main, toolId) == expected; }, 3000);
    }
    static bool Marked(HWND main, int toolId) { return IsWindowVisible(RowControl(main, 3000 + toolId)) != FALSE; }
    // Applies and waits until Apply has disabled itself again.
    static bool ApplyNow(HWND main) {
        if (!Press(main, 10)) return false;
        return WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(main, 10)); }, 10000);
    }
    // Closes a panel with nothing pending: no question, a clean exit.
    static void CloseClean(Process& panel, HWND main) {
        ASSERT_TRUE(Press(main, 11));
        DWORD code = 99;
        EXPECT_TRUE(panel.WaitForExit(5000, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(panel.ShowedMessageBox());
    }
    // Applies the given tools from a fresh panel and closes it.
    void ApplyTools(std::initializer_list<int> toolIds) {
        Process panel;
        HWND main = StartPanel(panel);
        ASSERT_TRUE(main);
        for (int id : toolIds) ASSERT_TRUE(Tick(main, id, 1)) << id;
        ASSERT_TRUE(ApplyNow(main));
        CloseClean(panel, main);
    }

    std::string exe;
};

TEST_F(ApplyAndCancel, ApplyWritesTheFootprintAndTheNextStartShowsItTicked) {
    {
        Process panel;
        HWND main = StartPanel(panel);
        ASSERT_TRUE(main);
        EXPECT_EQ(CheckState(main, 101), 0);
        ASSERT_TRUE(Tick(main, 101, 1));
        EXPECT_TRUE(Marked(main, 101));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, 10)));
        EXPECT_EQ(WindowText(GetDlgItem(main, 11)), "&Cancel");
        ASSERT_TRUE(ApplyNow(main));
        EXPECT_TRUE(KeyPresent(kRenameHandler));
        EXPECT_FALSE(DefaultValue(kRenameHandler).empty()) << "the class the DLL registered";
        EXPECT_FALSE(Marked(main, 101));
        EXPECT_EQ(WindowText(GetDlgItem(main, 11)), "&Close");
        CloseClean(panel, main);
    }
    {
        Process panel;
        HWND main = StartPanel(panel);
        ASSERT_TRUE(main);
        EXPECT_EQ(CheckState(main, 101), 1) << "detected at the next start";
        EXPECT_EQ(CheckState(main, 104), 0);
        ASSERT_TRUE(Tick(main, 101, 0));
        EXPECT_TRUE(Marked(main, 101));
        ASSERT_TRUE(ApplyNow(main));
        EXPECT_FALSE(KeyPresent(kRenameHandler)) << "unticked and applied: removed";
        CloseClean(panel, main);
    }
}

TEST_F(ApplyAndCancel, ClosingWithPendingChangesAsksAndNoKeepsThePanel) {
    Process panel;
    HWND main = StartPanel(panel);
    ASSERT_TRUE(main);
    ASSERT_TRUE(Tick(main, 101, 1));

    // The Cancel button and the system menu's Close ask the same question.
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "Cancel" : "system menu");
        if (way == 0) ASSERT_TRUE(Press(main, 11));
        else ASSERT_TRUE(PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0));
        MessageBoxView box = WaitForMessageBox(panel, 5000);
        ASSERT_TRUE(box.hwnd) << "no question";
        EXPECT_EQ(box.title, "Exit");
        EXPECT_EQ(box.text, kQuitText);
        EXPECT_EQ(box.buttons, (std::map<int, std::string>{{IDYES, "Yes"}, {IDNO, "No"}}));
        ASSERT_TRUE(Press(box.hwnd, IDNO));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.hwnd); }, 3000));
        EXPECT_TRUE(panel.Running());
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_TRUE(Marked(main, 101)) << "the change is still pending";
    }

    ASSERT_TRUE(PostMessageA(main, WM_CLOSE, 0, 0));
    MessageBoxView box = WaitForMessageBox(panel, 5000);
    ASSERT_TRUE(box.hwnd);
    EXPECT_EQ(box.title, "Exit");
    ASSERT_TRUE(Press(box.hwnd, IDYES));
    DWORD code = 99;
    EXPECT_TRUE(panel.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(KeyPresent(kRenameHandler)) << "quitting applies nothing";
}

TEST_F(ApplyAndCancel, UninstallRemovesEveryFootprint) {
    ApplyTools({101, 104});
    ASSERT_TRUE(KeyPresent(kRenameHandler));
    ASSERT_TRUE(KeyPresent(kCopyNameHandler));

    Process panel = Process::Start(exe, "/quiet /uninstall");
    DWORD code = 99;
    ASSERT_TRUE(panel.WaitForExit(20000, &code)) << "the uninstall never ended";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(panel.ShowedWindow());
    EXPECT_FALSE(panel.ShowedMessageBox());
    EXPECT_FALSE(KeyPresent(kRenameHandler));
    EXPECT_FALSE(KeyPresent(kCopyNameHandler));
    EXPECT_FALSE(KeyPresent(kCopyNameFolderHandler));
}

TEST_F(ApplyAndCancel, APendingDllUpgradeRegistersTheTickedToolsAgainOnce) {
    ApplyTools({101});
    // An installation replaced the DLLs: the handler still names an old class.
    ASSERT_TRUE(KeyPresent(kRenameHandler));
    const std::string registered = DefaultValue(kRenameHandler);
    RegSetKeyValueA(HKEY_CLASSES_ROOT, kRenameHandler, nullptr, REG_SZ, "stale", 6);
    ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kSuiteKey, "DLLUpgrade", "1"));

    {
        Process panel;
        HWND main = StartPanel(panel);
        ASSERT_TRUE(main);
        MessageBoxView box = WaitForMessageBox(panel, 5000);
        ASSERT_TRUE(box.hwnd) << "no message";
        EXPECT_EQ(box.title, "Update Complete");
        EXPECT_EQ(box.text, "Installation is complete.\r\n\r\nYour tools are now ready to use.");
        EXPECT_EQ(box.buttons, (std::map<int, std::string>{{IDOK, "OK"}, {IDCANCEL, "Cancel"}}));
        ASSERT_TRUE(Press(box.hwnd, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.hwnd); }, 3000));
        EXPECT_EQ(DefaultValue(kRenameHandler), registered) << "the ticked tool is registered again";
        EXPECT_FALSE(KeyPresent(kCopyNameHandler)) << "an unticked tool stays off";
        HKEY suite = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSuiteKey, 0, KEY_READ, &suite), ERROR_SUCCESS);
        EXPECT_NE(RegQueryValueExA(suite, "DLLUpgrade", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
        RegCloseKey(suite);
        // Its box was seen already; a question now would stop the exit.
        ASSERT_TRUE(Press(main, 11));
        EXPECT_TRUE(panel.WaitForExit(5000));
    }
    {
        Process panel;
        HWND main = StartPanel(panel);
        ASSERT_TRUE(main);
        Sleep(1000);  // well past the first tick
        panel.Watch();
        EXPECT_FALSE(panel.ShowedMessageBox()) << "the upgrade is reported once";
        CloseClean(panel, main);
    }
}

}  // namespace
