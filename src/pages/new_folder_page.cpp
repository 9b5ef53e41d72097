#include "pages/new_folder_page.h"

#include "engine/registry.h"
#include "pages/page_controls.h"
#include "services/subclass.h"
#include "services/system_calls.h"

#include <cstring>
#include <string>

namespace kk {
namespace {

bool IsForbidden(char c) { return c != '\0' && std::strchr(kForbiddenNameCharacters, c) != nullptr; }

// The name box drops typed characters a folder name cannot hold; pasted
// text still brings them, which Accept catches.
LRESULT CALLBACK NameBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR && IsForbidden(static_cast<char>(wp))) return 0;
    if (msg == WM_NCDESTROY) {
        WNDPROC old = OldWndProc(hwnd);
        Unsubclass(hwnd);
        return old ? CallWindowProcA(old, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
    }
    return CallOldWndProc(hwnd, msg, wp, lp);
}

class NewFolderPage : public PanelPage {
public:
    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        const int width = kPageWidth - 2 * kPageMargin;
        CreatePageControls(panel, host.Font(),
                           {
                               {kIdNewFolderPrompt, ControlKind::CheckBox, "Prompt for a new folder name each time",
                                kPageMargin, 8, width, kOptionHeight},
                               {kIdNewFolderOpen, ControlKind::CheckBox, "Open folder immediately", kPageMargin, 30,
                                width, kOptionHeight},
                               {kIdNewFolderNameLabel, ControlKind::Label,
                                "Use this name for all new folders:", kPageMargin, 64, width, kLabelHeight},
                               {kIdNewFolderName, ControlKind::Edit, "", kPageMargin, 82, 300, kEditHeight},
                           });
        Subclass(Item(kIdNewFolderName), NameBoxProc);
    }

    void Fill(const std::string& pageValue) override {
        // A flag other than 0 or 1, or a missing one, leaves its box as it is.
        FillFlag(kIdNewFolderPrompt, pageValue, 1);
        FillFlag(kIdNewFolderOpen, pageValue, 2);
        if (pageValue.size() > 3) SetControlText(Item(kIdNewFolderName), pageValue.substr(3));
    }

    bool Accept(std::string& pageValue) override {
        const std::string name = ControlText(Item(kIdNewFolderName));
        if (name.find_first_of(kForbiddenNameCharacters) != std::string::npos) {
            ShowMessage(std::string("Folder names can't have any of the following characters:\r\n\r\n") +
                            kForbiddenNameCharacters,
                        "New Folder", MB_HELP | MB_ICONEXCLAMATION | MB_OK, kNewFolderToolId);
            return false;
        }
        pageValue = std::string(IsTicked(Item(kIdNewFolderPrompt)) ? "1" : "0") +
                    (IsTicked(Item(kIdNewFolderOpen)) ? "1" : "0") + TrimSpaces(name);
        return true;
    }

    void OnCommand(int id, int code, HWND control) override {
        if ((id == kIdNewFolderPrompt || id == kIdNewFolderOpen) && code == BN_CLICKED) host_->EnableAccept();
        if (id != kIdNewFolderName) return;
        if (code == EN_CHANGE) host_->EnableAccept();
        if (code == EN_SETFOCUS) SendMessageA(control, EM_SETSEL, 0, GetWindowTextLengthA(control));
    }

private:
    void FillFlag(int id, const std::string& pageValue, size_t position) {
        if (position >= pageValue.size()) return;
        const char flag = pageValue[position];
        if (flag == '0' || flag == '1') SetTicked(Item(id), flag == '1');
    }
};

}  // namespace

std::unique_ptr<SettingsPage> MakeNewFolderPage() { return std::make_unique<NewFolderPage>(); }

}  // namespace kk
