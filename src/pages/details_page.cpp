#include "pages/details_page.h"

#include "engine/footprint.h"
#include "engine/registry.h"
#include "pages/check_list_page.h"
#include "services/subclass.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace kk {
namespace {

// The details the copy-names extension knows, in the order unchosen ones are listed.
const char* const kDetailNames[] = {
    "File Size",      "File Size (exact)", "File Date",      "File Type",        "File Attributes",
    "Folder Path",    "MP3 Artist",        "MP3 Title",      "MP3 Album",        "MP3 Track",
    "MP3 Year",       "MP3 Genre",         "MP3 Duration",   "MP3 Bit Rate",     "JPG Date Taken",
    "JPG Width",      "JPG Height",        "JPG Camera",     "JPG Photographer", "JPG Focal Length",
    "JPG F-Stop",     "JPG Shutter Speed", "JPG ISO Speed",  "JPG Metering Mode",
};
constexpr int kDetailCount = static_cast<int>(std::size(kDetailNames));
// A stored count beyond this is odd content; reading further would only stall.
constexpr int kMostStoredNames = 256;

constexpr char kTabShown[] = "-Tab-";
const RECT kListPlace{kPageMargin, 8, kPageMargin + 200, 196};
constexpr POINT kAllAt{kPageMargin, 204};
constexpr int kRightLeft = 222, kRightWidth = 246;
constexpr int kDelimLabelWidth = 142, kDelimWidth = 48;
constexpr int kTwoLineHeight = 30;

// Which file readers the chosen details need the extension to prepare.
struct Readers {
    bool jpg = false, image = false, mp3Spec = false, mp3Id3 = false;

    void Note(const std::string& name) {
        auto startsWith = [&](const char* prefix) { return name.rfind(prefix, 0) == 0; };
        if (startsWith("JPG")) {
            jpg = true;
            if (name == "JPG Width" || name == "JPG Height") image = true;
        } else if (name == "MP3 Duration" || name == "MP3 Bit Rate") {
            mp3Spec = true;
        } else if (startsWith("MP3")) {
            mp3Id3 = true;
        }
    }
};

std::string Flag(bool on) { return on ? "1" : "0"; }

void Store(const std::string& name, const std::string& text) {
    SetString(HKEY_CURRENT_USER, kDetailsTempKey, name, text);
}

// The working key read in one pass: a fill looks up some thirty names, and
// a lookup each would cost a round of registry calls each.
class StoredDetails {
public:
    StoredDetails() : values_(ReadValues(HKEY_CURRENT_USER, kDetailsTempKey)) {}

    std::string operator[](const std::string& name) const {
        for (const NamedValue& value : values_)
            if (lstrcmpiA(value.name.c_str(), name.c_str()) == 0) return value.text;
        return {};
    }

    // The stored count of chosen details; a missing or odd count is 0.
    int Count() const {
        const double count = TextToNumber((*this)[""]);
        if (!(count >= 1)) return 0;
        return count > kMostStoredNames ? kMostStoredNames : static_cast<int>(count);
    }

private:
    std::vector<NamedValue> values_;
};

int DetailIndex(const std::string& name) {
    for (int i = 0; i < kDetailCount; ++i)
        if (name == kDetailNames[i]) return i;
    return -1;
}

class DetailsPage : public CheckListPage {
public:
    DetailsPage() : CheckListPage(true) {}
    ~DetailsPage() override {
        if (delim_ && IsWindow(delim_)) Unsubclass(delim_);
    }

    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        CreateCheckList(kIdDetailsList, kListPlace, kIdDetailsAll, kAllAt);
        CreatePageControls(
            panel, host.Font(),
            {
                {kIdDetailsReorder, ControlKind::PushButton, "&Reset sort order", kRightLeft, 8, 130, kButtonHeight},
                {kIdDetailsDelimLabel, ControlKind::Label, "Delimiter / separator:", kRightLeft, 48,
                 kDelimLabelWidth, kLabelHeight},
                {kIdDetailsDelim, ControlKind::Edit, "", kRightLeft + kDelimLabelWidth, 45, kDelimWidth,
                 kEditHeight},
                {kIdDetailsHint, ControlKind::Label, "(press Ctrl-Tab for Tab)", kRightLeft, 70, kRightWidth,
                 kLabelHeight},
                {kIdDetailsPaths, ControlKind::CheckBox, "Include paths", kRightLeft, 100, kRightWidth,
                 kOptionHeight},
                {kIdDetailsOption, ControlKind::CheckBox, "Add separate context menu item for details", kRightLeft,
                 122, kRightWidth, kTwoLineHeight},
            });
        // The longest caption may need a second line in a wide system font.
        HWND option = Item(kIdDetailsOption);
        SetWindowLongPtrA(option, GWL_STYLE, GetWindowLongPtrA(option, GWL_STYLE) | BS_MULTILINE);
        delim_ = Item(kIdDetailsDelim);
        if (delim_) Subclass(delim_, DelimProc, this);
    }

    void Fill(const std::string&) override {
        // The settings text only carries the tool's on/off flag; the page's
        // settings are in the working key.
        const StoredDetails stored;
        FillDetailsList(stored, false);
        SetTicked(Item(kIdDetailsPaths), stored["No Paths"] != "1");
        SetTicked(Item(kIdDetailsOption), TextToNumber(stored["TwoContext"]) != 0);
        UpdateOption();
        const std::string delim = stored["Delim"];
        SetControlText(delim_, delim.empty() ? kTabShown : delim);
    }

    bool Accept(std::string&) override {
        ClearKey(HKEY_CURRENT_USER, kDetailsTempKey, ClearMode::Values);
        int count = 0;
        Readers readers;
        for (int i = 0; i < list_.Count(); ++i) {
            const PageListRow& row = list_.Row(i);
            if (!row.number) continue;
            Store(std::to_string(++count), row.tag);
            readers.Note(row.tag);
        }
        const std::string delim = ControlText(delim_);
        Store("", std::to_string(count));
        Store("Delim", delim == kTabShown ? "" : delim);
        Store("TwoContext", Flag(IsTicked(Item(kIdDetailsOption))));
        Store("No Paths", Flag(!IsTicked(Item(kIdDetailsPaths))));
        Store("InitJPG", Flag(readers.jpg));
        Store("InitMP3Spec", Flag(readers.mp3Spec));
        Store("InitMP3ID3", Flag(readers.mp3Id3));
        Store("InitImage", Flag(readers.image));
        return true;
    }

    void OnCommand(int id, int code, HWND control) override {
        if (HandleAllClick(id, code)) return;
        if (id == kIdDetailsReorder && code == BN_CLICKED) FillDetailsList(StoredDetails(), true);
        if ((id == kIdDetailsPaths || id == kIdDetailsOption) && code == BN_CLICKED) host_->EnableAccept();
        if (id != kIdDetailsDelim) return;
        if (code == EN_CHANGE) OnDelimChange();
        if (code == EN_SETFOCUS) SelectDelim();
        if (code == EN_KILLFOCUS && ControlText(delim_).empty()) SetControlText(delim_, kTabShown);
    }

    void OnListReorder(PageList&, int, int) override { host_->EnableAccept(); }

protected:
    void OnTicked() override {
        host_->EnableAccept();
        UpdateOption();
    }
    void OnAll() override { OnTicked(); }

private:
    // Stored names first, in their order, then the rest in table order;
    // with keep, rows ticked now stay ticked.
    void FillDetailsList(const StoredDetails& stored, bool keep) {
        std::set<std::string> ticked;
        for (int i = 0; keep && i < list_.Count(); ++i)
            if (list_.Row(i).number) ticked.insert(list_.Row(i).tag);
        PageListBatch batch(list_);
        list_.Clear();
        bool placed[kDetailCount] = {};
        const int count = stored.Count();
        for (int i = 1, found = 0; i <= count && found < kDetailCount; ++i) {
            const int at = DetailIndex(stored[std::to_string(i)]);
            if (at < 0 || placed[at]) continue;
            placed[at] = true;
            ++found;
            list_.Append(CheckRow(kDetailNames[at], kDetailNames[at], true));
        }
        for (int at = 0; at < kDetailCount; ++at)
            if (!placed[at])
                list_.Append(CheckRow(kDetailNames[at], kDetailNames[at], ticked.count(kDetailNames[at]) > 0));
        UpdateOption();
    }

    // The separate menu item only makes sense with a detail to copy.
    void UpdateOption() { EnableWindow(Item(kIdDetailsOption), NumChecked(list_) >= 1); }

    void SelectDelim() { SendMessageA(delim_, EM_SETSEL, 0, -1); }

    // One character stays: the one just typed, before the caret.
    void OnDelimChange() {
        const std::string text = ControlText(delim_);
        if (text != kTabShown && text.size() > 1) {
            DWORD caret = 0;
            SendMessageA(delim_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
            const size_t at = caret > 0 && caret <= text.size() ? caret - 1 : text.size() - 1;
            SetControlText(delim_, text.substr(at, 1));
        }
        SelectDelim();
        host_->EnableAccept();
    }

    // Ctrl-Tab reaches the box as a Tab key, which stands for the Tab separator.
    LRESULT OnDelimMessage(UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
        case WM_GETDLGCODE: {
            const LRESULT code = CallOldWndProc(delim_, msg, wp, lp);
            const MSG* key = reinterpret_cast<const MSG*>(lp);
            const bool ctrlTab = key && key->message == WM_KEYDOWN && key->wParam == VK_TAB &&
                                 (GetKeyState(VK_CONTROL) & 0x8000);
            return ctrlTab ? code | DLGC_WANTALLKEYS : code;
        }
        case WM_KEYDOWN:
            host_->EnableAccept();
            if (wp != VK_TAB) break;
            SetControlText(delim_, kTabShown);
            SelectDelim();
            return 0;
        case WM_CHAR:
            if (wp == '\t') return 0;
            break;
        case WM_KEYUP:
        case WM_LBUTTONUP: {
            const LRESULT result = CallOldWndProc(delim_, msg, wp, lp);
            SelectDelim();
            return result;
        }
        case WM_NCDESTROY: {
            HWND hwnd = delim_;
            delim_ = nullptr;
            const LRESULT result = CallOldWndProc(hwnd, msg, wp, lp);
            Unsubclass(hwnd);
            return result;
        }
        }
        return CallOldWndProc(delim_, msg, wp, lp);
    }

    static LRESULT CALLBACK DelimProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = static_cast<DetailsPage*>(SubclassOwner(hwnd));
        if (!self || self->delim_ != hwnd) return CallOldWndProc(hwnd, msg, wp, lp);
        return self->OnDelimMessage(msg, wp, lp);
    }

    HWND delim_ = nullptr;
};

}  // namespace

std::unique_ptr<SettingsPage> MakeDetailsPage() { return std::make_unique<DetailsPage>(); }

}  // namespace kk
