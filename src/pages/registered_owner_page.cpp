#include "pages/registered_owner_page.h"

#include "engine/winver.h"
#include "pages/page_controls.h"
#include "services/system_calls.h"

#include <string>

namespace kk {
namespace {

constexpr int kFieldCount = 3;
constexpr int kSetupField = 2;

class RegisteredOwnerPage : public PanelPage {
public:
    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        const int width = kPageWidth - 2 * kPageMargin, boxWidth = 300;
        CreatePageControls(
            panel, host.Font(),
            {
                {kIdRegLabel + 0, ControlKind::Label, "Registered &name:", kPageMargin, 8, width, kLabelHeight},
                {kIdRegName + 0, ControlKind::Edit, "", kPageMargin, 26, boxWidth, kEditHeight},
                {kIdRegLabel + 1, ControlKind::Label, "&Registered company:", kPageMargin, 58, width, kLabelHeight},
                {kIdRegName + 1, ControlKind::Edit, "", kPageMargin, 76, boxWidth, kEditHeight},
                {kIdRegLabel + 2, ControlKind::Label, "&Default location of setup files:", kPageMargin, 108, width,
                 kLabelHeight},
                {kIdRegName + 2, ControlKind::Edit, "", kPageMargin, 126, boxWidth, kEditHeight},
            });
    }

    void Fill(const std::string& pageValue) override {
        // Fields missing from a short text leave their boxes empty.
        size_t start = 0;
        for (int i = 0; i < kFieldCount && start <= pageValue.size(); ++i) {
            const size_t nul = i + 1 < kFieldCount ? pageValue.find('\0', start) : std::string::npos;
            SetControlText(Name(i),
                           pageValue.substr(start, nul == std::string::npos ? std::string::npos : nul - start));
            if (nul == std::string::npos) break;
            start = nul + 1;
        }
        if (IsWin2000()) SetControlText(Item(kIdRegLabel + kSetupField), "&Drive letter for Windows CD:");
        if (IsVista()) {
            // Vista keeps no setup-files location.
            ShowWindow(Item(kIdRegLabel + kSetupField), SW_HIDE);
            ShowWindow(Name(kSetupField), SW_HIDE);
        }
    }

    bool Accept(std::string& pageValue) override {
        std::string fields[kFieldCount];
        for (int i = 0; i < kFieldCount; ++i) fields[i] = ControlText(Name(i));
        if (fields[0].empty() || (fields[kSetupField].empty() && !IsVista())) {
            ShowMessage("These fields can't be blank.", "Change the Windows setup defaults",
                        MB_HELP | MB_ICONEXCLAMATION | MB_OK, kRegisteredOwnerToolId);
            return false;
        }
        pageValue = fields[0] + '\0' + fields[1] + '\0' + fields[2];
        return true;
    }

    void OnCommand(int id, int code, HWND control) override {
        if (id >= kIdRegName && id < kIdRegName + kFieldCount && code == EN_CHANGE) host_->EnableAccept();
    }

private:
    HWND Name(int i) const { return Item(kIdRegName + i); }
};

}  // namespace

std::unique_ptr<SettingsPage> MakeRegisteredOwnerPage() { return std::make_unique<RegisteredOwnerPage>(); }

}  // namespace kk
