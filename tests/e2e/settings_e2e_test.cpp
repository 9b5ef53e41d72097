// A settings page worked from outside as a person would: an invalid entry
// brings up the page's own message box over the dialog, after which the
// dialog is still open with the user's edits; a valid one is accepted and
// Apply in the main window writes it to the registry.
#include "e2e/driver.h"

#include <gtest/gtest.h>

using namespace kke2e;

namespace {

// An edit box's text: GetWindowText of another process's window reads only
// its stored caption, so ask the box itself.
std::string EditText(HWND edit) {
    char buffer[256] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

TEST(SettingsPage, AnEmptyOwnerNameKeepsTheEditsAndAValidOneIsAcceptedAndApplied) {
    const std::string exe = InstallPanel();
    ASSERT_FALSE(exe.empty());
    WriteString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    Process panel = Process::Start(exe);
    HWND main = panel.WaitForWindow(kMainWindowClass);
    ASSERT_TRUE(main);
    ASSERT_TRUE(PostMessageA(RowControl(main, 5117), BM_CLICK, 0, 0));  // the row's settings button
    HWND dialog = panel.WaitForWindow("KestrelkitSettings");
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits";
    HWND name = GetDlgItem(GetDlgItem(dialog, 1117), 111), company = GetDlgItem(GetDlgItem(dialog, 1117), 112);
    SendMessageA(company, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Harrier Works"));
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, 10)) != FALSE; }, 3000));
    ASSERT_TRUE(Press(dialog, 10));
    MessageBoxView box = panel.WaitForMessageBox();
    ASSERT_TRUE(box.hwnd);
    EXPECT_EQ(box.title, "Change the Windows setup defaults");
    EXPECT_EQ(box.buttons, (Buttons{IDOK, IDHELP}));
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    EXPECT_EQ(EditText(company), "Harrier Works") << "with the user's edits";
    EXPECT_FALSE(IsWindowVisible(RowControl(main, 3117))) << "and the row unchanged";

    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Kay Marlin"));
    ASSERT_TRUE(Press(dialog, 10));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowVisible(RowControl(main, 3117)); }, 5000))
        << "accepted, the row is marked";

    // Apply in the main window writes what the page accepted.
    ASSERT_TRUE(ApplyChanges(main));
    const char owner[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, owner, "RegisteredOwner"), "Kay Marlin");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, owner, "RegisteredOrganization"), "Harrier Works");
    ASSERT_TRUE(Press(main, 11));
    EXPECT_NE(panel.ExitCode(5000), static_cast<DWORD>(STILL_ACTIVE)) << "Close ends the panel";
}

}  // namespace
