#include "pages/autoplay_page.h"

#include "engine/registry.h"
#include "pages/check_list_page.h"

namespace kk {
namespace {

constexpr int kLetters = 26;
constexpr double kLowestSigned = -2147483648.0;  // -2^31
constexpr double kBeyondUnsigned = 4294967296.0;  // 2^32
const RECT kListPlace{kPageMargin, 8, kPageMargin + 260, 196};
constexpr POINT kAllAt{kPageMargin, 204};

// The name shown after a drive letter, by the drive type of its root.
const char* DriveTypeName(UINT type) {
    switch (type) {
    case DRIVE_REMOVABLE: return "(removable drive)";
    case DRIVE_FIXED: return "(hard disk)";
    case DRIVE_REMOTE: return "(network drive)";
    case DRIVE_CDROM: return "(CD/DVD drive)";
    case DRIVE_RAMDISK: return "(RAM disk)";
    default: return "";
    }
}

class AutoplayPage : public CheckListPage {
public:
    AutoplayPage() : CheckListPage(false) {}

    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        CreateCheckList(kIdAutoplayList, kListPlace, kIdBtnAutoplay, kAllAt);
    }

    void Fill(const std::string& pageValue) override {
        const uint32_t mask = MaskFromText(pageValue);
        // Only the letters in use are asked for their type: under Wine each
        // question costs about 1.5 ms, and most letters have no drive.
        const DWORD present = GetLogicalDrives();
        PageListBatch batch(list_);
        list_.Clear();
        for (int i = 0; i < kLetters; ++i) {
            const std::string letter(1, static_cast<char>('A' + i));
            const std::string root = letter + ":\\";
            const bool allowed = (mask & (1u << i)) == 0;
            const UINT type = present & (1u << i) ? GetDriveTypeA(root.c_str()) : DRIVE_NO_ROOT_DIR;
            list_.Append(CheckRow(letter + ":  " + DriveTypeName(type), std::to_string(1u << i), allowed));
        }
    }

    bool Accept(std::string& pageValue) override {
        uint32_t mask = 0;
        for (int i = 0; i < list_.Count() && i < kLetters; ++i)
            if (list_.Row(i).number == 0) mask |= 1u << i;
        pageValue = std::to_string(mask);
        return true;
    }

    void OnCommand(int id, int code, HWND control) override { HandleAllClick(id, code); }

protected:
    void OnTicked() override { host_->EnableAccept(); }
    // Setting every row at once is not an edit that enables Accept.
    void OnAll() override {}
};

}  // namespace

uint32_t MaskFromText(const std::string& text) {
    const double value = TextToNumber(text);
    if (value < kLowestSigned || value >= kBeyondUnsigned) return 0;
    // A negative number keeps its 32 bits through the wider signed type.
    return static_cast<uint32_t>(static_cast<int64_t>(value));
}

std::unique_ptr<SettingsPage> MakeAutoplayPage() { return std::make_unique<AutoplayPage>(); }

}  // namespace kk
