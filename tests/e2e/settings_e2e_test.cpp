// A settings page worked from outside as a person would: open it from its
// row, change it, Accept, Apply in the main window, and find the values in
// the registry; an invalid entry keeps the dialog open with the edits.
#include "e2e/driver.h"

#include <gtest/gtest.h>

using namespace kke2e;

namespace {

const char kSuiteKey[] = "SOFTWARE\\Marrowby\\Kestrelkit";
const char kDesktopKey[] = "Control Panel\\Desktop";
const char kOwnerKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// An edit box's text: GetWindowText of another process's window reads only
// its stored caption, so ask the box itself.
std::string EditText(HWND edit) {
    char buffer[256] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::string ReadString(HKEY root, const char* key, const char* name) {
    char buffer[512] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return {};
    return buffer;
}

class SettingsPages : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSuiteKeys();
        exe = InstallPanel();
        ASSERT_FALSE(exe.empty());
        SetPanelWindowsVersion("winxp");
        WriteString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
        panel = Process::Start(exe);
        main = WaitForMainWindow(panel, 5000);
        ASSERT_TRUE(main);
    }
    void TearDown() override { ClearSuiteKeys(); }

    // Opens the page of a row's settings button and waits for the dialog.
    HWND OpenPage(int toolId) {
        PostMessageA(RowControl(main, 5000 + toolId), BM_CLICK, 0, 0);
        HWND dialog = nullptr;
        WaitUntil([&] {
            auto found = TopLevelWindows(panel.pid(), "KestrelkitSettings");
            dialog = found.empty() || !IsWindowVisible(found[0]) ? nullptr : found[0];
            return dialog != nullptr;
        }, 5000);
        return dialog;
    }
    static HWND PageControl(HWND dialog, int toolId, int id) { return GetDlgItem(GetDlgItem(dialog, 1000 + toolId), id); }
    bool Closed(HWND dialog) { return WaitUntil([&] { return !IsWindow(dialog); }, 5000); }

    std::string exe;
    Process panel;
    HWND main = nullptr;
};

TEST_F(SettingsPages, MenuSpeedChosenOnItsPageIsWrittenByApply) {
    HWND dialog = OpenPage(123);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 10))) << "nothing to accept yet";
    ASSERT_TRUE(PostMessageA(PageControl(dialog, 123, 101), BM_CLICK, 0, 0));  // "Menus open immediately"
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, 10)) != FALSE; }, 3000));
    ASSERT_TRUE(Press(dialog, 10));
    ASSERT_TRUE(Closed(dialog));

    EXPECT_TRUE(IsWindowVisible(RowControl(main, 3123))) << "the row is marked";
    EXPECT_EQ(WindowText(GetDlgItem(main, 11)), "&Cancel");
    ASSERT_TRUE(Press(main, 10));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(main, 10)); }, 10000));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kDesktopKey, "MenuShowDelay"), "0");

    // Opened again, the page starts from what was accepted.
    dialog = OpenPage(123);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendMessageA(PageControl(dialog, 123, 101), BM_GETCHECK, 0, 0), BST_CHECKED);
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(Closed(dialog));
    ASSERT_TRUE(Press(main, 11));
    EXPECT_TRUE(panel.WaitForExit(5000));
}

TEST_F(SettingsPages, AnEmptyOwnerNameKeepsTheDialogOpenWithTheEdits) {
    HWND dialog = OpenPage(117);
    ASSERT_TRUE(dialog);
    HWND name = PageControl(dialog, 117, 111), company = PageControl(dialog, 117, 112);
    SendMessageA(company, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Harrier Works"));
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, 10)) != FALSE; }, 3000));
    ASSERT_TRUE(Press(dialog, 10));
    MessageBoxView box = WaitForMessageBox(panel, 5000);
    EXPECT_EQ(box.title, "Change the Windows setup defaults");
    EXPECT_EQ(box.text, "These fields can't be blank.");
    ASSERT_TRUE(Press(box.hwnd, IDOK));
    EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
    EXPECT_EQ(EditText(company), "Harrier Works") << "with the user's edits";
    EXPECT_FALSE(IsWindowVisible(RowControl(main, 3117))) << "and the row unchanged";

    // A name makes it acceptable; Apply writes the three values.
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Kay Marlin"));
    SendMessageA(PageControl(dialog, 117, 113), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("D:\\"));
    ASSERT_TRUE(Press(dialog, 10));
    ASSERT_TRUE(Closed(dialog));
    ASSERT_TRUE(Press(main, 10));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(main, 10)); }, 10000));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kOwnerKey, "RegisteredOwner"), "Kay Marlin");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kOwnerKey, "RegisteredOrganization"), "Harrier Works");
    ASSERT_TRUE(Press(main, 11));
    EXPECT_TRUE(panel.WaitForExit(5000));
}

}  // namespace
