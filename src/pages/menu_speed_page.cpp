#include "pages/menu_speed_page.h"

#include "engine/registry.h"
#include "engine/winver.h"
#include "pages/foreground_keys.h"
#include "pages/page_controls.h"
#include "services/pending_messages.h"
#include "services/system_calls.h"

namespace kk {
namespace {

constexpr int kSettingCount = 3;

class MenuSpeedPage : public PanelPage {
public:
    explicit MenuSpeedPage(ForegroundTyping typing) : typing_(std::move(typing)) {}

    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        const int width = kPageWidth - 2 * kPageMargin;
        CreatePageControls(
            panel, host.Font(),
            {
                {kIdMenuSetting + 0, ControlKind::FirstOption, "Menus open immediately (no delay)", kPageMargin, 8,
                 width, kOptionHeight},
                {kIdMenuSetting + 1, ControlKind::Option, "Menus never open automatically (click required)",
                 kPageMargin, 30, width, kOptionHeight},
                {kIdMenuSetting + 2, ControlKind::Option, "Menus open after a small delay (default)", kPageMargin, 52,
                 width, kOptionHeight},
                {kIdMenuNote, ControlKind::Label,
                 "Note: by default, menus are animated, which can cause them to open more slowly. Animation can be "
                 "adjusted here:",
                 kPageMargin, 90, width, 2 * kLabelHeight},
                {kIdMenuAnimation, ControlKind::PushButton, "&Menu Animation...", kPageMargin, 128, 130, kButtonHeight},
            });
    }

    void Fill(const std::string& pageValue) override {
        // Anything but 0 to 2 (also an empty text) selects none.
        const long setting = pageValue.empty() ? -1 : TextToInteger(pageValue);
        if (setting < 0 || setting >= kSettingCount) return;
        CheckRadioButton(panel_, kIdMenuSetting, kIdMenuSetting + kSettingCount - 1,
                         kIdMenuSetting + static_cast<int>(setting));
        host_->EnableAccept();  // as the user's click would; the dialog disables it after the fill
    }

    bool Accept(std::string& pageValue) override {
        for (int i = 0; i < kSettingCount; ++i)
            if (IsTicked(Item(kIdMenuSetting + i))) pageValue = std::to_string(i);
        return true;
    }

    void OnCommand(int id, int code, HWND control) override {
        if (code != BN_CLICKED) return;
        if (id >= kIdMenuSetting && id < kIdMenuSetting + kSettingCount) host_->EnableAccept();
        if (id == kIdMenuAnimation) OpenAnimationSettings();
    }

private:
    void OpenAnimationSettings() {
        if (IsWinMe() || IsWin2000()) {
            System().startProgram(host_->Window(), "", "control.exe", "desk.cpl ,@effects", "c:\\");
        } else if (IsWinXP() || IsWinServer2003() || IsVista()) {
            // The Advanced tab of System Properties; Alt+S there opens the
            // performance settings, where animation is switched.
            System().startProgram(host_->Window(), "", "control.exe", "sysdm.cpl ,3", "c:\\");
            PumpPendingMessages();
            typing_.waitForTitle("System Properties", 2);
            PumpPendingMessages();
            typing_.sendKeys("%(S)");
        }
    }

    ForegroundTyping typing_;
};

}  // namespace

ForegroundTyping RealForegroundTyping() { return {WaitForWindowTitle, SendKeysOnce}; }

std::unique_ptr<SettingsPage> MakeMenuSpeedPage() { return MakeMenuSpeedPage(RealForegroundTyping()); }

std::unique_ptr<SettingsPage> MakeMenuSpeedPage(ForegroundTyping typing) {
    return std::make_unique<MenuSpeedPage>(std::move(typing));
}

}  // namespace kk
