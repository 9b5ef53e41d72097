#include "pages/command_prompt_page.h"

#include "engine/registry.h"
#include "engine/suite.h"
#include "engine/winver.h"
#include "pages/page_controls.h"
#include "services/file_picker.h"
#include "services/system_actions.h"
#include "services/system_calls.h"

namespace kk {
namespace {

constexpr int kOptionCount = 4;
constexpr int kCustomOption = 3;
constexpr int kDosOption = 1;
constexpr int kPowerShellOption = 2;

class CommandPromptPage : public PanelPage {
public:
    explicit CommandPromptPage(ProgramPicker picker) : picker_(std::move(picker)) {}

    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        const int indent = kPageMargin + 20, boxLeft = 124, browseWidth = 75;
        const int browseLeft = kPageWidth - kPageMargin - browseWidth;
        CreatePageControls(
            panel, host.Font(),
            {
                {kIdCommandOption + 0, ControlKind::FirstOption, "Command &Prompt", kPageMargin, 8, 300, kOptionHeight},
                {kIdCommandOption + 1, ControlKind::Option, "Windows 9x &DOS Prompt", kPageMargin, 30, 300,
                 kOptionHeight},
                {kIdCommandOption + 2, ControlKind::Option, "&Windows PowerShell", kPageMargin, 52, 300, kOptionHeight},
                {kIdCommandOption + 3, ControlKind::Option, "Custom &application:", kPageMargin, 74, 300,
                 kOptionHeight},
                {kIdCommandAppLabel, ControlKind::Label, "Application:", indent, 104, boxLeft - indent - 4,
                 kLabelHeight},
                {kIdCommandApp, ControlKind::Edit, "", boxLeft, 101, browseLeft - boxLeft - 6, kEditHeight},
                {kIdCommandBrowse, ControlKind::PushButton, "&Browse...", browseLeft, 100, browseWidth, kButtonHeight},
                {kIdCommandClpLabel, ControlKind::Label, "Command line:", indent, 134, boxLeft - indent - 4,
                 kLabelHeight},
                {kIdCommandClp, ControlKind::Edit, "", boxLeft, 131, kPageWidth - kPageMargin - boxLeft, kEditHeight},
            });
        EnableCustomControls(false);
    }

    void Fill(const std::string& pageValue) override {
        // The text boxes first: editing them selects the custom option, so
        // the saved option is selected last.
        const size_t nul = pageValue.find('\0');
        if (pageValue.size() > 2)
            SetControlText(Item(kIdCommandApp),
                           pageValue.substr(2, nul == std::string::npos ? std::string::npos : nul - 2));
        if (nul != std::string::npos) SetControlText(Item(kIdCommandClp), pageValue.substr(nul + 1));
        if (pageValue.size() >= 2) {
            const long option = TextToInteger(pageValue.substr(1, 1));
            if (option >= 0 && option < kOptionCount) SelectOption(static_cast<int>(option));
        }
        if (IsWinMe()) {
            // Windows Me has neither cmd.exe nor PowerShell.
            EnableWindow(Item(kIdCommandOption + 0), FALSE);
            EnableWindow(Item(kIdCommandOption + kPowerShellOption), FALSE);
            if (IsTicked(Item(kIdCommandOption + 0)) || IsTicked(Item(kIdCommandOption + kPowerShellOption)))
                SelectOption(kDosOption);
        }
    }

    bool Accept(std::string& pageValue) override {
        const std::string app = ControlText(Item(kIdCommandApp));
        int option = SelectedOption();
        if (option == kCustomOption && app.empty()) {
            ShowMessage("Please specify a custom application, or select one of the other command prompt options here.",
                        "Custom Command Prompt", MB_HELP | MB_ICONEXCLAMATION | MB_OK, kCommandPromptToolId);
            return false;
        }
        // A saved digit out of range selected nothing: the first option this
        // system offers stands in.
        if (option < 0) option = FirstEnabledOption();
        pageValue = std::to_string(option) + app + '\0' + ControlText(Item(kIdCommandClp));
        return true;
    }

    void OnCommand(int id, int code, HWND control) override {
        if (id >= kIdCommandOption && id < kIdCommandOption + kOptionCount && code == BN_CLICKED) {
            // The button's own tick skips disabled siblings (Windows Me can
            // leave a disabled option ticked), so the whole group is set.
            SelectOption(id - kIdCommandOption);
        } else if ((id == kIdCommandApp || id == kIdCommandClp) && code == EN_CHANGE) {
            SelectOption(kCustomOption);
            host_->EnableAccept();
        } else if (id == kIdCommandBrowse && code == BN_CLICKED) {
            Browse();
        }
    }

    HBRUSH OnControlColour(HDC dc, HWND control) override {
        if (control != Item(kIdCommandApp) && control != Item(kIdCommandClp)) return nullptr;
        const int colour = InactiveBackColor(IsWindowEnabled(control) != FALSE);
        SetBkColor(dc, GetSysColor(colour));
        return GetSysColorBrush(colour);
    }

private:
    int SelectedOption() const {
        for (int i = 0; i < kOptionCount; ++i)
            if (IsTicked(Item(kIdCommandOption + i))) return i;
        return -1;
    }

    int FirstEnabledOption() const {
        for (int i = 0; i < kOptionCount; ++i)
            if (IsWindowEnabled(Item(kIdCommandOption + i))) return i;
        return 0;
    }

    // Selecting from code runs the same handling as the user's click.
    void SelectOption(int option) {
        CheckRadioButton(panel_, kIdCommandOption, kIdCommandOption + kOptionCount - 1, kIdCommandOption + option);
        OnOptionSelected(option);
    }

    void EnableCustomControls(bool enable) {
        // A label is greyed with the box it names.
        for (int id : {kIdCommandAppLabel, kIdCommandApp, kIdCommandBrowse, kIdCommandClpLabel, kIdCommandClp})
            EnableWindow(Item(id), enable);
        // The boxes ask for their background again (OnControlColour).
        for (int id : {kIdCommandApp, kIdCommandClp}) InvalidateRect(Item(id), nullptr, TRUE);
    }

    // The system folder first; Windows Me keeps its command.com in the Windows folder.
    static bool DosPromptPresent() {
        const char kDosPrompt[] = "command.com";
        if (FileExists(WithTrailingBackslash(SystemDirectory()) + kDosPrompt)) return true;
        return IsWinMe() && FileExists(WithTrailingBackslash(WindowsDirectory()) + kDosPrompt);
    }

    void OnOptionSelected(int option) {
        EnableCustomControls(option == kCustomOption);
        if (option == kDosOption && !DosPromptPresent()) {
            ShowMessage("The DOS command prompt is not present on this PC.  Please choose another option.",
                        "Windows 9x DOS Prompt", MB_HELP | MB_OK, kCommandPromptToolId);
            FallBackToCommandPrompt();
        } else if (option == kPowerShellOption && !PowerShellInstalled()) {
            const int answer = ShowMessage(
                "Microsoft Windows PowerShell is not present on this PC.  Do you want to download and install it "
                "now?\r\n\r\n(Note: PowerShell is not available for all versions of Windows.)",
                "Download Windows PowerShell", MB_HELP | MB_YESNO, kCommandPromptToolId);
            if (answer == IDYES)
                System().startProgram(host_->Window(), "open", kPowerShellDownload, "", ModuleFolder());
            FallBackToCommandPrompt();
        }
        host_->EnableAccept();
    }

    void FallBackToCommandPrompt() {
        SelectOption(0);
        SetFocus(Item(kIdCommandOption + 0));  // refused on Windows Me, where it is disabled
    }

    static bool PowerShellInstalled() {
        const std::string path = GetString(HKEY_LOCAL_MACHINE, kPowerShellKey, "Path");
        return !path.empty() && FileExists(path);
    }

    void Browse() {
        const std::string current = ControlText(Item(kIdCommandApp));
        const std::string chosen =
            picker_(host_->Window(), "Select Command Prompt Application", current, "Applications (*.exe)|*.exe");
        if (!chosen.empty()) SetControlText(Item(kIdCommandApp), chosen);
    }

    ProgramPicker picker_;
};

}  // namespace

std::unique_ptr<SettingsPage> MakeCommandPromptPage() { return MakeCommandPromptPage(ModOpenSaveDlg::ShowOpen); }

std::unique_ptr<SettingsPage> MakeCommandPromptPage(ProgramPicker picker) {
    return std::make_unique<CommandPromptPage>(std::move(picker));
}

}  // namespace kk
