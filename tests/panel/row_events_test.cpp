// Working the rows and the buttons under the list, in-process: the
// recorder answers the message boxes and records what would have started.
#include "panel/row_events.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/panel_fixture.h"
#include "support/test_env.h"

using namespace kk;

namespace {

const char kQuitText[] = "Are you sure you want to quit without applying\ryour changes?";
const char kRenameHandler[] = "*\\shellex\\ContextMenuHandlers\\KkRenameMenu";

class RowEvents : public kktest::PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        if (IsSkipped()) return;
        // No startup module to start or close when Apply runs.
        SetString(HKEY_CURRENT_USER, kSuiteKey, "NoAutoUpdate", "1");
    }
    void TearDown() override { SetInstallPath(""); }

    void Click(RowFamily family, int toolId) {
        HWND control = RowControl(family, toolId);
        ASSERT_TRUE(control) << "no control " << RowControlId(family, toolId);
        if (family == kFamilyCheckBox || family == kFamilyButtonObject)
            SendMessageA(control, BM_CLICK, 0, 0);
        else  // a static with SS_NOTIFY tells its parent STN_CLICKED
            SendMessageA(panel.View(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), STN_CLICKED),
                         reinterpret_cast<LPARAM>(control));
        Pump();
    }
    void Press(int id) {
        SendMessageA(panel.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(panel.Control(id)));
        Pump();
    }
    int Checked(int toolId) const { return static_cast<int>(SendMessageA(RowControl(kFamilyCheckBox, toolId), BM_GETCHECK, 0, 0)); }
    bool Marked(int toolId) const { return panel.ChangedShown(toolId); }
};

TEST_F(RowEvents, UntickingBackToTheAppliedValueLeavesNothingToAsk) {
    ASSERT_TRUE(Start());
    Click(kFamilyCheckBox, 101);
    EXPECT_TRUE(Marked(101));
    Click(kFamilyCheckBox, 101);
    EXPECT_EQ(Checked(101), 0);
    EXPECT_FALSE(Marked(101)) << "back to its applied value";
    EXPECT_FALSE(UnappliedChanges(panel));
    EXPECT_TRUE(IsWindowEnabled(panel.Control(kIdApply))) << "Apply stays enabled";
    EXPECT_EQ(Text(panel.Control(kIdCancel)), "&Cancel");
    Press(kIdCancel);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(panel.hwnd(), nullptr);
    EXPECT_FALSE(GetString(HKEY_CURRENT_USER, kSuiteKey, "CPWidth").empty()) << "the placement is saved";
}

TEST_F(RowEvents, TheTempFolderWarningDecidesTheTick) {
    ASSERT_TRUE(Start());
    recorder.answers = {IDNO};
    Click(kFamilyCheckBox, 153);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Clear out the Temp folder");
    EXPECT_EQ(Checked(153), 0) << "refused: unchecked again";
    EXPECT_FALSE(Marked(153));

    recorder.answers = {IDYES};
    Click(kFamilyCheckBox, 153);
    EXPECT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(Checked(153), 1);
    EXPECT_TRUE(Marked(153));
    Click(kFamilyCheckBox, 153);  // switching it off needs no warning
    EXPECT_EQ(recorder.messages.size(), 2u);
}

TEST_F(RowEvents, ALogOffWithPendingChangesAsksAndNoRefusesIt) {
    ASSERT_TRUE(Start());
    Click(kFamilyCheckBox, 101);
    recorder.answers = {IDNO, IDNO};
    EXPECT_EQ(SendMessageA(panel.hwnd(), WM_QUERYENDSESSION, 0, 0), FALSE) << "the log-off is refused";
    Press(kIdCancel);
    ASSERT_EQ(recorder.messages.size(), 2u);
    for (const kktest::RecordedMessage& m : recorder.messages) {
        EXPECT_EQ(m.title, "Exit");
        EXPECT_EQ(m.text, kQuitText);
        EXPECT_EQ(m.style, MB_ICONQUESTION | MB_YESNO);
    }
    ASSERT_TRUE(IsWindow(panel.hwnd()));
    EXPECT_TRUE(Marked(101));
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, kSuiteKey, "CPWidth").empty()) << "nothing saved while staying";

    recorder.answers = {IDYES};
    SendMessageA(panel.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(panel.hwnd(), nullptr) << "Yes closes";
    EXPECT_FALSE(GetString(HKEY_CURRENT_USER, kSuiteKey, "CPWidth").empty()) << "the placement is saved";
}

TEST_F(RowEvents, AfterAnApplyFurtherChangesKeepCancelAsClose) {
    ASSERT_FALSE(kktest::FixturesFolder().empty());
    ASSERT_TRUE(Start());
    SetInstallPath(kktest::FixturesFolder());  // where the stand-in DLLs are
    Click(kFamilyCheckBox, 101);
    SetFocus(panel.Control(kIdApply));  // as Alt+A or a click leaves it
    Press(kIdApply);
    EXPECT_FALSE(GetString(HKEY_CLASSES_ROOT, kRenameHandler, "").empty()) << "kkrename.dll not registered";
    EXPECT_FALSE(IsWindowEnabled(panel.Control(kIdApply)));
    EXPECT_EQ(GetFocus(), panel.Control(kIdCancel)) << "greyed out, Apply hands the keyboard to Close";
    EXPECT_EQ(panel.CheckTag(101), "1") << "the applied value is the new reference";

    Click(kFamilyCheckBox, 101);
    EXPECT_TRUE(Marked(101));
    EXPECT_EQ(Text(panel.Control(kIdCancel)), "&Close");
    Press(kIdApply);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kRenameHandler));
    EXPECT_FALSE(Marked(101));
}

TEST_F(RowEvents, LinksStartTheSuitesProgramsOrSayTheyAreMissing) {
    AddPlugin("Lens", "Lens", "Open Lens...");
    ASSERT_TRUE(Start());
    const std::string suite = kktest::FixturesFolder();
    SetInstallPath(suite);

    Click(kFamilyHLink, 101);  // kkrename.exe is not among the fixtures
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Launch Tool");
    EXPECT_EQ(recorder.messages[0].text,
              "The program cannot be found.  Marrowby Kestrelkit\rhas not been properly installed.");
    EXPECT_EQ(recorder.messages[0].style, MB_ICONEXCLAMATION | MB_HELP);
    EXPECT_EQ(recorder.messages[0].helpTopic, 202);
    EXPECT_EQ(GetFocus(), RowControl(kFamilyCheckBox, 101)) << "the link focuses its row's switch";

    Click(kFamilyHLink, 301);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[1].title, "Launch Plugin");
    EXPECT_EQ(recorder.messages[1].text, "The program cannot be found.  This plugin has not been properly installed.");
    EXPECT_EQ(recorder.messages[1].helpTopic, 213);
    EXPECT_TRUE(recorder.started.empty());

    // The clean-up link asks first; kkboot.exe is a fixture.
    recorder.answers = {IDNO};
    Click(kFamilyHLink, 153);
    EXPECT_EQ(recorder.messages.back().title, "Clear out the Temp folder");
    EXPECT_TRUE(recorder.started.empty()) << "refused: nothing starts";
    recorder.answers = {IDYES};
    Click(kFamilyHLink, 153);
    ASSERT_EQ(recorder.started.size(), 1u);
    EXPECT_EQ(recorder.started[0], "open|" + suite + "kkboot.exe|/cleartemp|" + suite);
}

TEST_F(RowEvents, F1OpensHelpAtTheFocusedRow) {
    ASSERT_TRUE(Start());
    SetInstallPath(kktest::FixturesFolder());
    // The help file must exist for the help launcher to go on.
    const std::string help = kktest::FixturesFolder() + kHelpFileName;
    const bool made = !FileExists(help);
    if (made) CloseHandle(CreateFileA(help.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    SetFocus(RowControl(kFamilyCheckBox, 104));
    MSG f1{RowControl(kFamilyCheckBox, 104), WM_KEYDOWN, VK_F1, 0, 0, {}};
    EXPECT_TRUE(panel.PreTranslate(f1));
    MSG other{RowControl(kFamilyCheckBox, 104), WM_KEYDOWN, VK_F2, 0, 0, {}};
    EXPECT_FALSE(panel.PreTranslate(other));
    if (made) DeleteFileA(help.c_str());
    ASSERT_EQ(recorder.helpShown.size(), 1u);
    EXPECT_EQ(recorder.helpShown[0].second, 104);
}

TEST_F(RowEvents, UninstallModeEndsWithoutSavingAnything) {
    ASSERT_TRUE(Start("x /uninstall"));
    EXPECT_TRUE(PumpUntil([&] { return panel.hwnd() == nullptr; })) << "the window never closed";
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, kSuiteKey, "CPWidth").empty());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(RowEvents, TheUninstallViewShowsOnlyTheWarning) {
    ASSERT_TRUE(Start());
    panel.ShowUninstallView();
    for (HWND w : {panel.ViewFrame(), panel.Control(kIdApply), panel.Control(kIdCancel), panel.Control(kIdAbout)})
        EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_TRUE(IsWindowVisible(panel.Control(kIdWarning)));
    EXPECT_EQ(Text(panel.Control(kIdWarning)), "Uninstalling - please wait...");
}

TEST(LinkActions, SplitAtTheFirstExe) {
    struct Case {
        const char* action;
        ProgramLink expected;
    } cases[] = {
        {"kkboot.exe /cleartemp", {"kkboot.exe", "/cleartemp", "C:\\Suite\\"}},
        {"kkfetch.exe", {"kkfetch.exe", "", "C:\\Suite\\"}},
        {"Type Medic.exe", {"Type Medic.exe", "", "C:\\Suite\\"}},
        {"kkftpman.exe   /fm  ", {"kkftpman.exe", "/fm", "C:\\Suite\\"}},
        {"D:\\Tools\\lens.exe -a b.exe x", {"lens.exe", "-a b.exe x", "D:\\Tools\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        const ProgramLink link = SplitLinkAction(c.action, "C:\\Suite\\");
        EXPECT_EQ(link.program, c.expected.program);
        EXPECT_EQ(link.arguments, c.expected.arguments);
        EXPECT_EQ(link.folder, c.expected.folder);
    }
}

}  // namespace
