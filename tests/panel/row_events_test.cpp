// Working the rows and the buttons under the list, in-process: the recorder answers the message boxes and records
// what would have started.
#include "panel/row_events.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/panel_fixture.h"
#include "support/test_env.h"

using namespace kk;

namespace {

const std::string kQuit = "Are you sure you want to quit without applying\ryour changes?|Exit|" +
                          std::to_string(MB_ICONQUESTION | MB_YESNO) + "|0";

class RowEvents : public kktest::PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        if (IsSkipped()) return;
        // No startup module to start or close when Apply runs.
        SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    }

    void Click(RowFamily family, int toolId) {
        HWND control = RowControl(family, toolId);
        ASSERT_TRUE(control) << "no control " << RowControlId(family, toolId);
        if (family == kFamilyCheckBox)
            SendMessageA(control, BM_CLICK, 0, 0);
        else  // a static with SS_NOTIFY tells its parent STN_CLICKED
            SendMessageA(panel.View(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), STN_CLICKED),
                         reinterpret_cast<LPARAM>(control));
        Pump();
    }
    void Press(int id) {
        SendMessageA(panel.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(panel.Control(id)));
        Pump();
    }
    bool PlacementSaved() const { return !GetString(HKEY_CURRENT_USER, kSuiteKey, "CPWidth").empty(); }
};

TEST_F(RowEvents, TheTempFolderWarningDecidesTheTickLinksStartProgramsAndOnlyChangesFromTheAppliedValuesAskToLeave) {
    AddPlugin("Lens", "Lens", "Open Lens...");
    const std::string suite = kktest::FixturesFolder();
    ASSERT_FALSE(suite.empty());
    ASSERT_TRUE(Start());
    SetInstallPath(suite);  // where the stand-in DLLs are
    // The answer, then the tick and mark it leaves; switching it off needs no warning.
    const struct { int answer, checked; size_t messages; } cases[] = {{IDNO, 0, 1}, {IDYES, 1, 2}, {IDYES, 0, 2}};
    for (const auto& c : cases) {
        recorder.answers = {c.answer};
        Click(kFamilyCheckBox, 153);
        EXPECT_EQ(recorder.messages.size(), c.messages);
        EXPECT_EQ(recorder.messages.back().title, "Clear out the Temp folder");
        EXPECT_EQ(Checked(153), c.checked);
        EXPECT_EQ(panel.ChangedShown(153), c.checked == 1);
    }
    // Links start the suite's programs or say they are missing, and F1 opens help at the focused row.
    recorder.messages.clear();
    Click(kFamilyHLink, 101);  // kkrename.exe is not among the fixtures
    EXPECT_EQ(GetFocus(), RowControl(kFamilyCheckBox, 101)) << "the link focuses its row's switch";
    Click(kFamilyHLink, 301);
    const std::string missing = "The program cannot be found.  ";
    EXPECT_EQ(Message(0) + " " + Message(1) + " " + Message(2),
              missing + "Marrowby Kestrelkit\rhas not been properly installed.|Launch Tool|" +
                  std::to_string(MB_ICONEXCLAMATION | MB_HELP) + "|202 " + missing +
                  "This plugin has not been properly installed.|Launch Plugin|" +
                  std::to_string(MB_ICONEXCLAMATION | MB_HELP) + "|213 none");
    EXPECT_TRUE(recorder.started.empty());
    // The clean-up link asks first; kkboot.exe is a fixture.
    recorder.answers = {IDNO};
    Click(kFamilyHLink, 153);
    EXPECT_EQ(recorder.messages.back().title, "Clear out the Temp folder");
    EXPECT_TRUE(recorder.started.empty()) << "refused: nothing starts";
    recorder.answers = {IDYES};
    Click(kFamilyHLink, 153);
    EXPECT_EQ(recorder.started, std::vector<std::string>{"open|" + suite + "kkboot.exe|/cleartemp|" + suite});
    // The help file must exist for the help launcher to go on.
    const std::string help = suite + kHelpFileName;
    const bool made = !FileExists(help);
    if (made) CloseHandle(CreateFileA(help.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    HWND box = RowControl(kFamilyCheckBox, 104);
    SetFocus(box);
    EXPECT_TRUE(panel.PreTranslate(MSG{box, WM_KEYDOWN, VK_F1, 0, 0, {}}));
    EXPECT_FALSE(panel.PreTranslate(MSG{box, WM_KEYDOWN, VK_F2, 0, 0, {}}));
    if (made) DeleteFileA(help.c_str());
    ASSERT_EQ(recorder.helpShown.size(), 1u);
    EXPECT_EQ(recorder.helpShown[0].second, 104);

    Click(kFamilyCheckBox, 101);
    SetFocus(panel.Control(kIdApply));  // as Alt+A or a click leaves it
    Press(kIdApply);
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply)));
    EXPECT_EQ(GetFocus(), panel.Control(kIdCancel)) << "greyed out, Apply hands the keyboard to Close";
    EXPECT_EQ(panel.CheckTag(101), "1") << "the applied value is the new reference";
    Click(kFamilyCheckBox, 101);
    EXPECT_TRUE(panel.ChangedShown(101));
    EXPECT_EQ(Text(panel.Control(kIdCancel)), "&Close") << "further changes keep Close";

    recorder.messages.clear();
    recorder.answers = {IDNO};
    EXPECT_EQ(SendMessageA(panel.hwnd(), WM_QUERYENDSESSION, 0, 0), FALSE) << "the log-off is refused";
    EXPECT_EQ(Message(0) + " " + Message(1), kQuit + " none");
    ASSERT_TRUE(IsWindow(panel.hwnd()));
    EXPECT_TRUE(panel.ChangedShown(101));
    EXPECT_FALSE(PlacementSaved()) << "nothing saved while staying";

    Click(kFamilyCheckBox, 101);
    EXPECT_FALSE(panel.ChangedShown(101)) << "back to its applied value";
    EXPECT_FALSE(UnappliedChanges(panel));
    EXPECT_TRUE(IsWindowEnabled(panel.Control(kIdApply))) << "Apply stays enabled";
    Press(kIdCancel);
    EXPECT_EQ(Message(1), "none") << "nothing to ask";
    EXPECT_EQ(panel.hwnd(), nullptr);
    EXPECT_TRUE(PlacementSaved());
}

TEST_F(RowEvents, UninstallModeEndsWithoutSavingAnything) {
    ASSERT_TRUE(Start("x /uninstall"));
    EXPECT_TRUE(PumpUntil([&] { return panel.hwnd() == nullptr; })) << "the window never closed";
    EXPECT_FALSE(PlacementSaved());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(LinkActions, SplitAtTheFirstExe) {
    const std::pair<const char*, std::string> cases[] = {
        {"kkboot.exe /cleartemp", "kkboot.exe|/cleartemp|C:\\Suite\\"},
        {"kkfetch.exe", "kkfetch.exe||C:\\Suite\\"},
        {"Type Medic.exe", "Type Medic.exe||C:\\Suite\\"},
        {"kkftpman.exe   /fm  ", "kkftpman.exe|/fm|C:\\Suite\\"},
        {"D:\\Tools\\lens.exe -a b.exe x", "lens.exe|-a b.exe x|D:\\Tools\\"},
    };
    for (const auto& [action, expected] : cases) {
        const ProgramLink link = SplitLinkAction(action, "C:\\Suite\\");
        EXPECT_EQ(link.program + "|" + link.arguments + "|" + link.folder, expected) << action;
    }
}

}  // namespace
