// The four simple settings pages on a window of the test's own that
// forwards to the page what the dialog's panel forwards: real controls,
// driven by clicks, typed characters and pasted text; the recorder answers
// the messages and records what would have started.
#include "pages/command_prompt_page.h"
#include "pages/foreground_keys.h"
#include "pages/menu_speed_page.h"
#include "pages/new_folder_page.h"
#include "pages/registered_owner_page.h"
#include "pages/simple_pages.h"

#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "panel/bound_window.h"
#include "services/system_actions.h"
#include "support/message_pump.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace kk;
using namespace std::string_literals;  // "...\0..."s keeps the NULs of a settings text

namespace {

const int kOkHelpExclamation = 16432;

bool IsVersion(const char* version) { return kktest::WindowsVersion() == version; }

// The dialog around the page: counts the enabling of its Accept button.
struct RecordingHost : PageHost {
    HWND Window() const override { return window; }
    void EnableAccept() override { ++acceptEnabled; }
    HFONT Font() const override { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
    HWND window = nullptr;
    int acceptEnabled = 0;
};

std::string CommandComPath() { return WithTrailingBackslash(SystemDirectory()) + "command.com"; }

// The system folder's command.com for the test's life, unless one was there.
struct DosPrompt {
    const std::string path = CommandComPath();
    bool created = false;
    DosPrompt() {
        if (!FileExists(path))
            created = static_cast<bool>(UniqueKernel(
                CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    }
    ~DosPrompt() {
        if (created) DeleteFileA(path.c_str());
    }
};

class SimplePage : public ::testing::Test {
protected:
    void TearDown() override { DestroyWindow(hwnd_); }

    // Builds the page on a fresh panel and fills it; Accept starts disabled,
    // as the dialog leaves it after the fill.
    void Open(std::unique_ptr<SettingsPage> page, const std::string& pageValue) {
        if (hwnd_) DestroyWindow(hwnd_);
        page_ = std::move(page);
        ASSERT_TRUE(page_);
        RegisterBoundClass(nullptr, "KkPageTestPanel", BoundWindowProc<SimplePage>, GetSysColorBrush(COLOR_BTNFACE));
        CreateWindowExA(WS_EX_CONTROLPARENT, "KkPageTestPanel", "Page", WS_POPUP | WS_VISIBLE, 60, 60, 460, 220,
                        nullptr, nullptr, nullptr, this);
        ASSERT_TRUE(hwnd_);
        host.window = hwnd_;
        page_->Create(hwnd_, host);
        page_->Fill(pageValue);
        kktest::Pump(hwnd_);
        host.acceptEnabled = 0;
    }

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    std::string Text(int id) const {
        char buffer[512] = {};
        GetWindowTextA(Item(id), buffer, sizeof buffer);
        return buffer;
    }
    bool Ticked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Which of count option buttons from first is ticked; -1 for none, -2 for more than one.
    int Option(int first, int count = 4) const {
        int found = -1;
        for (int i = 0; i < count; ++i)
            if (Ticked(first + i)) found = found == -1 ? i : -2;
        return found;
    }
    void Click(int id) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        kktest::Pump(hwnd_);
    }
    void SetText(int id, const std::string& text) {
        SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // At the end of a text box: characters as the keyboard delivers them, or pasted text.
    void Type(int id, const std::string& chars, bool paste = false) {
        const int end = GetWindowTextLengthA(Item(id));
        SendMessageA(Item(id), EM_SETSEL, end, end);
        if (paste)
            SendMessageA(Item(id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(chars.c_str()));
        else
            for (char c : chars) SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(c), 1);
        kktest::Pump(hwnd_);
    }
    // Whether the page paints a text box in that system colour, as the panel asks it.
    bool PaintedIn(int id, int colour) {
        HDC dc = GetDC(hwnd_);
        const UINT msg = IsWindowEnabled(Item(id)) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
        const LRESULT brush = SendMessageA(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Item(id)));
        const bool painted = reinterpret_cast<HBRUSH>(brush) == GetSysColorBrush(colour) &&
                             GetBkColor(dc) == GetSysColor(colour);
        ReleaseDC(hwnd_, dc);
        return painted;
    }
    void ExpectMessage(size_t index, const std::string& text, const std::string& title, int style, int topic) {
        ASSERT_GT(recorder.messages.size(), index);
        const kktest::RecordedMessage& m = recorder.messages[index];
        EXPECT_EQ(m.text + "|" + m.title + "|" + std::to_string(m.style) + "|" + std::to_string(m.helpTopic),
                  text + "|" + title + "|" + std::to_string(style) + "|" + std::to_string(topic));
    }

    kktest::ScratchRegistry scratch;
    kktest::SystemRecorder recorder;
    RecordingHost host;
    std::unique_ptr<SettingsPage> page_;
    HWND hwnd_ = nullptr;

private:
    friend LRESULT CALLBACK BoundWindowProc<SimplePage>(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_COMMAND && lp) page_->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)
            if (HBRUSH brush = page_->OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
                return reinterpret_cast<LRESULT>(brush);
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
};

TEST_F(SimplePage, CommandPromptShowsASavedCustomApplicationAndTypingSelectsIt) {
    const std::string saved = "#3C:\\Tools\\sh.exe\0-i"s;
    Open(MakeCommandPromptPage(), saved);
    EXPECT_EQ(Option(kIdCommandOption), 3);
    EXPECT_EQ(Text(kIdCommandApp) + "|" + Text(kIdCommandClp), "C:\\Tools\\sh.exe|-i");
    for (int id : {kIdCommandApp, kIdCommandClp, kIdCommandBrowse}) EXPECT_TRUE(IsWindowEnabled(Item(id))) << id;
    EXPECT_TRUE(PaintedIn(kIdCommandApp, COLOR_WINDOW) && PaintedIn(kIdCommandClp, COLOR_WINDOW));
    std::string result = "junk";
    ASSERT_TRUE(page_->Accept(result));
    EXPECT_EQ(result, saved.substr(1));

    DosPrompt dos;
    Open(MakeCommandPromptPage(), "#1\0"s);
    ASSERT_EQ(Option(kIdCommandOption), 1);
    for (int id : {kIdCommandApp, kIdCommandClp, kIdCommandBrowse}) EXPECT_FALSE(IsWindowEnabled(Item(id))) << id;
    EXPECT_TRUE(PaintedIn(kIdCommandClp, COLOR_BTNFACE));
    Type(kIdCommandClp, "-k");
    EXPECT_EQ(Option(kIdCommandOption), 3);
    EXPECT_TRUE(IsWindowEnabled(Item(kIdCommandApp)) && PaintedIn(kIdCommandClp, COLOR_WINDOW));
    EXPECT_GT(host.acceptEnabled, 0);

    // The custom option needs an application; the edits stay.
    EXPECT_FALSE(page_->Accept(result));
    ExpectMessage(0, "Please specify a custom application, or select one of the other command prompt options here.",
                  "Custom Command Prompt", kOkHelpExclamation, 107);
    EXPECT_EQ(result, saved.substr(1));
    EXPECT_EQ(Option(kIdCommandOption), 3);
    Type(kIdCommandApp, "C:\\x.exe", true);
    ASSERT_TRUE(page_->Accept(result));
    EXPECT_EQ(result, "3C:\\x.exe\0-k"s);
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(SimplePage, TheBrowseButtonPutsThePickedProgramInTheApplicationBox) {
    std::vector<std::string> asked;
    std::string answer = "D:\\Shells\\bash.exe";
    auto picker = [&](HWND owner, const std::string& title, const std::string& start, const std::string& filter) {
        asked.push_back((owner == hwnd_ ? "dialog|" : "other|") + title + "|" + start + "|" + filter);
        return answer;
    };
    Open(MakeCommandPromptPage(picker), "#0C:\\Tools\\sh.exe\0"s);
    Click(kIdCommandOption + 3);
    Click(kIdCommandBrowse);
    EXPECT_EQ(asked, std::vector<std::string>{
                         "dialog|Select Command Prompt Application|C:\\Tools\\sh.exe|Applications (*.exe)|*.exe"});
    answer.clear();  // cancelled
    Click(kIdCommandBrowse);
    EXPECT_EQ(Text(kIdCommandApp), "D:\\Shells\\bash.exe");
}

TEST_F(SimplePage, WithoutCommandComTheDosPromptFallsBackToTheCommandPrompt) {
    ASSERT_FALSE(FileExists(CommandComPath())) << "this prefix has a DOS prompt";
    Open(MakeCommandPromptPage(), "#3C:\\a.exe\0"s);
    Click(kIdCommandOption + 1);
    ExpectMessage(0, "The DOS command prompt is not present on this PC.  Please choose another option.",
                  "Windows 9x DOS Prompt", 16384, 107);
    EXPECT_EQ(Option(kIdCommandOption), 0);
    // On Windows Me that option is disabled and cannot take the focus.
    EXPECT_TRUE(IsVersion("winme") || GetFocus() == Item(kIdCommandOption));
    EXPECT_GT(host.acceptEnabled, 0);

    DosPrompt dos;
    Click(kIdCommandOption + 1);
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(Option(kIdCommandOption), 1) << "only one ticked, also beside a disabled one";
}

TEST_F(SimplePage, AMissingPowerShellOffersTheDownloadAndFallsBackToTheCommandPrompt) {
    if (IsVersion("winme")) GTEST_SKIP() << "Windows Me does not offer PowerShell";
    const std::string question =
        "Microsoft Windows PowerShell is not present on this PC.  Do you want to download and install it now?"
        "\r\n\r\n(Note: PowerShell is not available for all versions of Windows.)";
    Open(MakeCommandPromptPage(), "#3C:\\a.exe\0"s);
    recorder.answers = {IDNO};
    Click(kIdCommandOption + 2);  // no Path value
    ExpectMessage(0, question, "Download Windows PowerShell", 16388, 107);
    EXPECT_TRUE(recorder.started.empty());
    EXPECT_EQ(Option(kIdCommandOption), 0);

    SetString(HKEY_LOCAL_MACHINE, kPowerShellKey, "Path", "C:\\nowhere\\powershell.exe");
    Click(kIdCommandOption + 3);
    recorder.answers = {IDYES};
    Click(kIdCommandOption + 2);
    ExpectMessage(1, question, "Download Windows PowerShell", 16388, 107);
    EXPECT_EQ(recorder.started, std::vector<std::string>{kPowerShellDownload + "||"s + ModuleFolder()});
    EXPECT_EQ(Option(kIdCommandOption), 0);

    SetString(HKEY_LOCAL_MACHINE, kPowerShellKey, "Path", kktest::ProgramPath());
    Click(kIdCommandOption + 2);
    EXPECT_EQ(recorder.messages.size(), 2u) << "installed: chosen without a question";
    std::string result;
    ASSERT_TRUE(page_->Accept(result));
    EXPECT_EQ(result, "2C:\\a.exe\0"s);
}

TEST_F(SimplePage, WindowsMeOffersOnlyTheDosPromptAndACustomApplication) {
    DosPrompt dos;
    SetString(HKEY_LOCAL_MACHINE, kPowerShellKey, "Path", kktest::ProgramPath());
    const bool me = IsVersion("winme");
    for (const std::string& saved : {"#0\0"s, "#2\0"s}) {
        Open(MakeCommandPromptPage(), saved);
        EXPECT_EQ(Option(kIdCommandOption), me ? 1 : saved[1] - '0') << saved;
        EXPECT_EQ(IsWindowEnabled(Item(kIdCommandOption + 0)) + IsWindowEnabled(Item(kIdCommandOption + 2)), me ? 0 : 2);
    }
    EXPECT_TRUE(recorder.messages.empty());

    // A digit out of range selects none; Accept then takes the first option offered.
    Open(MakeCommandPromptPage(), "#7\0"s);
    EXPECT_EQ(Option(kIdCommandOption), -1);
    std::string result;
    ASSERT_TRUE(page_->Accept(result));
    EXPECT_EQ(result, me ? "1\0"s : "0\0"s);
}

TEST_F(SimplePage, RegisteredOwnerFieldsRoundTripAndTheThirdFollowsTheVersion) {
    const bool vista = IsVersion("vista");
    const std::string saved = "Ann Lee\0 \0D:\\I386"s;  // an empty company arrives as one blank
    Open(MakeSimplePage(117), saved);
    EXPECT_EQ(Text(kIdRegName + 0) + "|" + Text(kIdRegName + 1) + "|" + Text(kIdRegName + 2), "Ann Lee| |D:\\I386");
    EXPECT_EQ(Text(kIdRegLabel + 2),
              IsVersion("win2k") ? "&Drive letter for Windows CD:" : "&Default location of setup files:");
    EXPECT_EQ(IsWindowVisible(Item(kIdRegLabel + 2)) + IsWindowVisible(Item(kIdRegName + 2)), vista ? 0 : 2);
    std::string result;
    ASSERT_TRUE(page_->Accept(result));
    EXPECT_EQ(result, saved);

    Type(kIdRegName + 0, "e");
    EXPECT_EQ(host.acceptEnabled, 1);
    SetText(kIdRegName + 1, "");
    SetText(kIdRegName + 2, "");
    result = "junk";
    EXPECT_EQ(page_->Accept(result), vista) << "only Vista keeps no setup location";
    if (vista) {
        EXPECT_EQ(result, "Ann Leee\0\0"s) << "an empty company is allowed";
    } else {
        ExpectMessage(0, "These fields can't be blank.", "Change the Windows setup defaults", kOkHelpExclamation, 117);
        EXPECT_EQ(result + Text(kIdRegName + 0), "junkAnn Leee") << "the edits stay";
    }
    SetText(kIdRegName + 0, "");
    SetText(kIdRegName + 2, "E:");
    EXPECT_FALSE(page_->Accept(result)) << "the name may never be empty";
    EXPECT_EQ(recorder.messages.size(), vista ? 1u : 2u);
}

TEST_F(SimplePage, MenuSpeedShowsAndReturnsTheChosenSetting) {
    for (const char* saved : {"0", "1", "2"}) {
        Open(MakeSimplePage(123), saved);
        EXPECT_EQ(Option(kIdMenuSetting, 3), saved[0] - '0');
        std::string result = "junk";
        ASSERT_TRUE(page_->Accept(result));
        EXPECT_EQ(result, saved);
    }
    EXPECT_FALSE(MakeSimplePage(104) || MakeSimplePage(999)) << "no simple page for other tools";
    Open(MakeSimplePage(123), "1");
    Click(kIdMenuSetting + 0);
    EXPECT_EQ(host.acceptEnabled, 1);
    std::string result;
    ASSERT_TRUE(page_->Accept(result));
    EXPECT_EQ(result, "0");
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
        EXPECT_EQ(recorder.started, std::vector<std::string>{"control.exe|desk.cpl ,@effects|c:\\"});
        EXPECT_TRUE(steps.empty());
    } else {
        EXPECT_EQ(recorder.started, std::vector<std::string>{"control.exe|sysdm.cpl ,3|c:\\"});
        EXPECT_EQ(steps, (std::vector<std::string>{"1 started, wait System Properties 2", "keys %(S)"}));
    }
    EXPECT_EQ(host.acceptEnabled, 0) << "no setting changed";
}

TEST_F(SimplePage, WaitingForAWindowTitleBringsItForwardOrGivesUp) {
    Open(MakeSimplePage(123), "2");
    HWND target = CreateWindowExA(0, "STATIC", "system properties - stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120,
                                  120, 300, 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(hwnd_);
    kktest::Pump();
    ASSERT_NE(GetForegroundWindow(), target);
    DWORD start = GetTickCount();
    WaitForWindowTitle("System Properties", 2);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(GetForegroundWindow(), target) << "a title that begins with it, case ignored";
    DestroyWindow(target);

    start = GetTickCount();
    WaitForWindowTitle("", 2);
    EXPECT_LT(GetTickCount() - start, 100u);
    start = GetTickCount();
    WaitForWindowTitle("No such window title", 1);
    const DWORD waited = GetTickCount() - start;
    EXPECT_TRUE(waited >= 500 && waited < 2000) << waited;
}

TEST_F(SimplePage, NewFolderNameKeepsOutForbiddenCharactersAndIsTrimmed) {
    Open(MakeSimplePage(156), "#10My Folder");
    EXPECT_TRUE(Ticked(kIdNewFolderPrompt) && !Ticked(kIdNewFolderOpen));
    EXPECT_EQ(Text(kIdNewFolderName), "My Folder");
    std::string result;
    ASSERT_TRUE(page_->Accept(result));
    EXPECT_EQ(result, "10My Folder");

    SendMessageA(Item(kIdNewFolderName), EM_SETSEL, 2, 2);
    SetFocus(Item(kIdNewFolderOpen));
    SetFocus(Item(kIdNewFolderName));
    DWORD from = 1, to = 0;
    SendMessageA(Item(kIdNewFolderName), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(std::to_string(from) + "-" + std::to_string(to), "0-9") << "the focus selects the whole name";

    SetText(kIdNewFolderName, "");
    Type(kIdNewFolderName, "a/b"s + kForbiddenNameCharacters);
    EXPECT_EQ(Text(kIdNewFolderName), "ab") << "all nine are dropped";
    EXPECT_GT(host.acceptEnabled, 0);
    Type(kIdNewFolderName, "a/b", true);
    result = "junk";
    EXPECT_FALSE(page_->Accept(result));
    ExpectMessage(0, "Folder names can't have any of the following characters:\r\n\r\n/\\*:?|<>\"", "New Folder",
                  kOkHelpExclamation, 156);
    EXPECT_EQ(result + Text(kIdNewFolderName), "junkaba/b") << "the edits stay";

    SetText(kIdNewFolderName, "  New Folder  ");
    Click(kIdNewFolderOpen);
    ASSERT_TRUE(page_->Accept(result));
    EXPECT_EQ(result, "11New Folder");
}

}  // namespace
