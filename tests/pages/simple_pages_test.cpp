// The four simple settings pages in the page fixture: real controls driven by clicks, typed characters and pasted
// text; the recorder answers the messages and records what would have started.
#include "pages/command_prompt_page.h"
#include "pages/menu_speed_page.h"
#include "pages/new_folder_page.h"
#include "pages/page_fixture.h"
#include "pages/registered_owner_page.h"
#include "pages/simple_pages.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "services/system_actions.h"
#include "support/test_env.h"

using namespace kk;
using namespace std::string_literals;  // "...\0..."s keeps the NULs of a settings text

namespace {

bool IsVersion(const char* version) { return kktest::WindowsVersion() == version; }

// A command.com in the folder (the system folder unless told) for the test's life, unless one was there.
struct DosPrompt {
    explicit DosPrompt(const std::string& folder = SystemDirectory())
        : path(WithTrailingBackslash(folder) + "command.com") {
        HANDLE file = FileExists(path) ? INVALID_HANDLE_VALUE
                                       : CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        created = file != INVALID_HANDLE_VALUE && CloseHandle(file);
    }
    ~DosPrompt() { created && DeleteFileA(path.c_str()); }
    const std::string path;
    bool created;
};

class SimplePage : public kktest::PageTest {
protected:
    // Which command prompt option is ticked; -1 for none, -2 for more than one.
    int Option() const {
        int found = -1;
        for (int i = 0; i < 4; ++i)
            if (IsTicked(Item(kIdCommandOption + i))) found = found == -1 ? i : -2;
        return found;
    }
};

TEST_F(SimplePage, EachPageShowsTheSavedSettingsAndHandsBackTheEditedOnes) {
    const struct { int toolId; std::string saved, unchanged; std::function<void()> edit; std::string edited; } cases[] = {
        {107, "#3C:\\Tools\\sh.exe\0-i"s, "3C:\\Tools\\sh.exe\0-i"s, [&] { Type(kIdCommandClp, "x"); },
         "3C:\\Tools\\sh.exe\0-ix"s},
        // An empty company arrives as one blank.
        {117, "Ann Lee\0 \0D:\\I386"s, "Ann Lee\0 \0D:\\I386"s, [&] { Type(kIdRegName, "e"); },
         "Ann Leee\0 \0D:\\I386"s},
        {123, "2", "2", [&] { Click(kIdMenuSetting + 0); }, "0"},
        {123, "0", "0", [&] { Click(kIdMenuSetting + 1); }, "1"},
        {156, "#10  My Folder ", "10My Folder", [&] { Click(kIdNewFolderOpen); }, "11My Folder"},  // trimmed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.toolId) + " " + c.saved.c_str());
        Open(MakeSimplePage(c.toolId), c.saved);
        EXPECT_EQ(Accepted(), c.unchanged);
        c.edit();
        EXPECT_GT(acceptEnabled, 0) << "an edit enables Accept";
        EXPECT_EQ(Accepted(), c.edited);
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(SimplePage, TypingSelectsTheCustomOptionWhichNeedsAnApplicationThatBrowseCanPick) {
    DosPrompt dos;
    std::vector<std::string> asked;
    std::string answer = "D:\\Shells\\bash.exe";
    Open(MakeCommandPromptPage([&](HWND owner, const std::string& title, const std::string& start,
                                   const std::string& filter) {
             asked.push_back((owner == hwnd_ ? "dialog|" : "other|") + title + "|" + start + "|" + filter);
             return answer;
         }),
         "#1\0"s);
    ASSERT_EQ(Option(), 1);
    for (int id : {kIdCommandApp, kIdCommandClp, kIdCommandBrowse}) EXPECT_FALSE(IsWindowEnabled(Item(id))) << id;
    Type(kIdCommandClp, "-k");
    EXPECT_EQ(Option(), 3);
    for (int id : {kIdCommandApp, kIdCommandClp, kIdCommandBrowse}) EXPECT_TRUE(IsWindowEnabled(Item(id))) << id;
    EXPECT_EQ(Accepted(), "refused");
    EXPECT_EQ(Message(0), "Please specify a custom application, or select one of the other command prompt options "
                          "here.|Custom Command Prompt|16432|107");

    Click(kIdCommandBrowse);
    answer.clear();  // cancelled: the box keeps the pick
    Click(kIdCommandBrowse);
    const std::string open = "dialog|Select Command Prompt Application|";
    EXPECT_EQ(asked, (std::vector<std::string>{open + "|Applications (*.exe)|*.exe",
                                               open + "D:\\Shells\\bash.exe|Applications (*.exe)|*.exe"}));
    EXPECT_EQ(Accepted(), "3D:\\Shells\\bash.exe\0-k"s);
}

TEST_F(SimplePage, AMissingDosPromptOrPowerShellFallsBackToTheCommandPrompt) {
    ASSERT_FALSE(FileExists(WithTrailingBackslash(SystemDirectory()) + "command.com")) << "this prefix has a DOS prompt";
    const std::string missing =
        "The DOS command prompt is not present on this PC.  Please choose another option.|Windows 9x DOS Prompt|16384|107";
    {
        // Windows Me keeps command.com in the Windows folder, which is looked in on Me alone.
        DosPrompt inWindowsFolder(WindowsDirectory());
        Open(MakeCommandPromptPage(), "#1\0"s);
        EXPECT_EQ(Option(), IsVersion("winme") ? 1 : 0);
        EXPECT_EQ(Message(0), IsVersion("winme") ? "none" : missing);
        recorder.messages.clear();
    }
    Open(MakeCommandPromptPage(), "#3C:\\a.exe\0"s);
    Click(kIdCommandOption + 1);
    EXPECT_EQ(Message(0), missing);
    EXPECT_EQ(Option(), 0);
    // On Windows Me that option is disabled and cannot take the focus.
    EXPECT_TRUE(IsVersion("winme") || GetFocus() == Item(kIdCommandOption));
    if (IsVersion("winme")) return;  // nor does it offer PowerShell
    // Without a Path value No, then with one naming no file Yes to the download; then installed.
    recorder.answers = {IDNO, IDYES};
    for (const std::string& path : {""s, "C:\\nowhere\\powershell.exe"s, kktest::ProgramPath()}) {
        if (!path.empty()) SetString(HKEY_LOCAL_MACHINE, kPowerShellKey, "Path", path);
        Click(kIdCommandOption + 2);
        EXPECT_EQ(Option(), path == kktest::ProgramPath() ? 2 : 0) << path;
    }
    const std::string question =
        "Microsoft Windows PowerShell is not present on this PC.  Do you want to download and install it now?\r\n\r\n"
        "(Note: PowerShell is not available for all versions of Windows.)|Download Windows PowerShell|16388|107";
    EXPECT_EQ(Message(1) + " " + Message(2) + " " + Message(3), question + " " + question + " none");
    EXPECT_EQ(recorder.started, std::vector<std::string>{"open|"s + kPowerShellDownload + "||" + ModuleFolder()});
    EXPECT_EQ(Accepted(), "2C:\\a.exe\0"s);
}

TEST_F(SimplePage, WindowsMeOffersOnlyTheDosPromptAndACustomApplication) {
    DosPrompt dos;
    SetString(HKEY_LOCAL_MACHINE, kPowerShellKey, "Path", kktest::ProgramPath());
    const bool me = IsVersion("winme");
    for (const std::string& saved : {"#0\0"s, "#2\0"s}) {
        Open(MakeCommandPromptPage(), saved);
        EXPECT_EQ(Option(), me ? 1 : saved[1] - '0') << saved;
        EXPECT_EQ(IsWindowEnabled(Item(kIdCommandOption)) + IsWindowEnabled(Item(kIdCommandOption + 2)), me ? 0 : 2);
    }
    EXPECT_TRUE(recorder.messages.empty());
    // A digit out of range selects none; Accept then takes the first option offered.
    Open(MakeCommandPromptPage(), "#7\0"s);
    EXPECT_EQ(Option(), -1);
    EXPECT_EQ(Accepted(), me ? "1\0"s : "0\0"s);
}

TEST_F(SimplePage, RegisteredOwnerNeedsANameAndExceptOnVistaASetupLocation) {
    const bool vista = IsVersion("vista");
    Open(MakeSimplePage(117), "Ann Lee\0Acme\0D:\\I386"s);
    EXPECT_EQ(Text(kIdRegLabel + 2),
              IsVersion("win2k") ? "&Drive letter for Windows CD:" : "&Default location of setup files:");
    EXPECT_EQ(IsWindowVisible(Item(kIdRegLabel + 2)) + IsWindowVisible(Item(kIdRegName + 2)), vista ? 0 : 2);
    SetText(kIdRegName + 2, "");
    EXPECT_EQ(Accepted(), vista ? "Ann Lee\0Acme\0"s : "refused");
    SetText(kIdRegName + 0, "");
    SetText(kIdRegName + 2, "E:");
    EXPECT_EQ(Accepted(), "refused") << "the name may never be empty";
    const std::string blank = "These fields can't be blank.|Change the Windows setup defaults|16432|117";
    EXPECT_EQ(Message(0), blank);
    EXPECT_EQ(Message(1), vista ? "none" : blank);
    SetText(kIdRegName + 0, "Kay");
    SetText(kIdRegName + 1, "");
    EXPECT_EQ(Accepted(), "Kay\0\0E:"s) << "the company may be empty";
}

TEST_F(SimplePage, MenuAnimationStartsTheWindowsSettingsOfThisVersion) {
    std::vector<std::string> steps;
    ForegroundTyping typing{[&](const std::string& title, int seconds) {
                                steps.push_back(std::to_string(recorder.started.size()) + " started, wait " + title +
                                                " " + std::to_string(seconds));
                            },
                            [&](const std::string& keys) { steps.push_back("keys " + keys); }};
    Open(MakeMenuSpeedPage(typing), "2");
    Click(kIdMenuAnimation);
    if (IsVersion("winme") || IsVersion("win2k")) {
        EXPECT_EQ(recorder.started, std::vector<std::string>{"|control.exe|desk.cpl ,@effects|c:\\"}) << "no verb";
        EXPECT_TRUE(steps.empty());
    } else {
        EXPECT_EQ(recorder.started, std::vector<std::string>{"|control.exe|sysdm.cpl ,3|c:\\"}) << "no verb";
        EXPECT_EQ(steps, (std::vector<std::string>{"1 started, wait System Properties 2", "keys %(S)"}));
    }
    EXPECT_EQ(recorder.owners, std::vector<HWND>{hwnd_}) << "owned by the dialog";
    EXPECT_EQ(acceptEnabled, 0) << "no setting changed";
}

TEST_F(SimplePage, NewFolderNameKeepsOutForbiddenCharacters) {
    Open(MakeSimplePage(156), "#10");
    Type(kIdNewFolderName, "a/b"s + kForbiddenNameCharacters);
    EXPECT_EQ(Text(kIdNewFolderName), "ab") << "typed, all nine are dropped";
    SetText(kIdNewFolderName, "ab/c");  // as pasted text arrives
    EXPECT_EQ(Accepted(), "refused");
    EXPECT_EQ(Message(0),
              "Folder names can't have any of the following characters:\r\n\r\n/\\*:?|<>\"|New Folder|16432|156");
}

}  // namespace
