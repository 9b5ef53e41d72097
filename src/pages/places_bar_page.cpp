#include "pages/places_bar_page.h"

#include "engine/registry.h"
#include "pages/drawn_images.h"
#include "pages/page_controls.h"
#include "panel/paint.h"
#include "services/folder_browser.h"
#include "services/subclass.h"
#include "services/system_calls.h"

#include <array>
#include <iterator>

namespace kk {
namespace {

struct StandardPlace {
    const char* text;
    int number;  // the shell's special-folder identifier
};
const StandardPlace kStandardPlaces[] = {
    {"\"Desktop\"", 0},           {"\"My Documents\"", 5},       {"\"Recent Documents\"", 8},
    {"\"Favorites\"", 6},         {"\"My Pictures\"", 39},       {"\"My Computer\"", 17},
    {"\"My Network Places\"", 18}, {"\"Browser History\"", 34}, {"\"Recycle Bin\"", 10},
};
const char* const kViews[] = {"List", "Details", "Summary", "Preview"};
const char* const kSortFields[] = {"Name", "Type", "Size", "Date"};

const char kMessageTitle[] = "Customize the Places Bar";
constexpr int kMessageStyle = MB_ICONHAND | MB_HELP;

// Positions in the settings text.
constexpr size_t kViewChar = 0, kSortFieldChar = 1, kSortDirectionChar = 2, kHideChar = 3;

// Layout, pixels inside the page's panel.
constexpr int kPlaceTop = 4, kPlaceStep = 27, kPlaceWidth = 330, kDropHeight = 200;
constexpr int kBrowseWidth = 80;
constexpr int kHideTop = 142;
constexpr int kFrameTop = 166, kFrameHeight = 62, kFrameRowTop = 188;
// The frame's row, from its indent: label, list, label, list, two buttons.
constexpr int kFrameIndent = 10, kViewListLeft = 80, kViewListWidth = 86;
constexpr int kSortLabelLeft = 176, kSortListLeft = 290, kSortListWidth = 80, kSortButtonsLeft = 378;
constexpr int kSortButtonSize = 24;
constexpr int kPictureSize = 16;

int PlaceTop(int i) { return kPlaceTop + i * kPlaceStep; }

bool Contains(const std::string& text, char c) { return text.find(c) != std::string::npos; }

// The one character at position, or "" past the end of a short text.
std::string CharAt(const std::string& text, size_t position) {
    return position < text.size() ? text.substr(position, 1) : std::string();
}

// The sort pictures: a downward arrow beside four bars that grow
// (ascending) or shrink (descending) from top to bottom.
void DrawSortPicture(HDC dc, const RECT& r, int descending) {
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT), arrow = RGB(30, 90, 170);
    const int x = r.left, y = r.top;
    FillSolid(dc, RECT{x + 3, y + 2, x + 5, y + 11}, arrow);
    for (int row = 0; row < 4; ++row)  // the head, narrowing to its point
        FillSolid(dc, RECT{x + row, y + 10 + row, x + 8 - row, y + 11 + row}, arrow);
    for (int bar = 0; bar < 4; ++bar) {
        const int length = 2 * (descending ? 4 - bar : bar + 1);
        FillSolid(dc, RECT{x + 9, y + 2 + 3 * bar, x + 9 + length - 1, y + 4 + 3 * bar}, ink);
    }
}

// The frame paints its own inside: the panel clips its children, so
// nothing else would. It lies under the controls it holds and clips them.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        RECT r{};
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    if (msg == WM_NCDESTROY) Unsubclass(hwnd);
    return CallOldWndProc(hwnd, msg, wp, lp);
}

void MakeFrameOpaque(HWND frame) {
    SetWindowLongPtrA(frame, GWL_STYLE, GetWindowLongPtrA(frame, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Subclass(frame, FrameProc);
}

class PlacesBarPage : public PanelPage {
public:
    explicit PlacesBarPage(FolderBrowser browse) : browse_(std::move(browse)) {}

    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        const int browseLeft = kPageMargin + kPlaceWidth + 6, full = kPageWidth - 2 * kPageMargin;
        for (int i = 0; i < kPlaceCount; ++i)
            CreatePageControls(panel, host.Font(),
                               {{kIdPlace + i, ControlKind::DropDown, "", kPageMargin, PlaceTop(i), kPlaceWidth,
                                 kDropHeight},
                                {kIdPlacesBrowse + i, ControlKind::PushButton, "Browse...", browseLeft,
                                 PlaceTop(i) - 1, kBrowseWidth, kButtonHeight}});
        const int in = kPageMargin + kFrameIndent, labelTop = kFrameRowTop + 4;
        CreatePageControls(
            panel, host.Font(),
            {
                {kIdPlacesHide, ControlKind::CheckBox, "Hide Places bar completely (doesn't apply to MS Office)",
                 kPageMargin, kHideTop, full, kOptionHeight},
                {kIdPlacesOffice, ControlKind::Frame, "MS Office only:", kPageMargin, kFrameTop, full, kFrameHeight},
                {kIdPlacesViewLabel, ControlKind::Label, "Default view:", in, labelTop, kViewListLeft, kLabelHeight},
                {kIdPlacesView, ControlKind::DropDownList, "", in + kViewListLeft, kFrameRowTop, kViewListWidth,
                 kDropHeight},
                {kIdPlacesSortLabel, ControlKind::Label, "Default sort order:", in + kSortLabelLeft, labelTop,
                 kSortListLeft - kSortLabelLeft, kLabelHeight},
                {kIdPlacesSortList, ControlKind::DropDownList, "", in + kSortListLeft, kFrameRowTop, kSortListWidth,
                 kDropHeight},
                {kIdPlacesSort + 0, ControlKind::FirstPictureOption, "", in + kSortButtonsLeft, kFrameRowTop - 1,
                 kSortButtonSize, kSortButtonSize},
                {kIdPlacesSort + 1, ControlKind::PictureOption, "", in + kSortButtonsLeft + kSortButtonSize,
                 kFrameRowTop - 1,
                 kSortButtonSize, kSortButtonSize},
            });
        SetSortPictures();
        MakeFrameOpaque(Item(kIdPlacesOffice));
    }

    void Fill(const std::string& pageValue) override {
        HoldDrawing(true);
        FillList(kIdPlacesSortList, kSortFields);
        FillList(kIdPlacesView, kViews);
        SelectDigit(kIdPlacesView, CharAt(pageValue, kViewChar));
        SelectDigit(kIdPlacesSortList, CharAt(pageValue, kSortFieldChar));
        SetSortDown(CharAt(pageValue, kSortDirectionChar) == "0" ? 0 : 1);
        SetTicked(Item(kIdPlacesHide), TextToInteger(CharAt(pageValue, kHideChar)) != 0);
        const size_t nul = pageValue.find('\0');
        std::string rest = nul == std::string::npos ? std::string() : pageValue.substr(nul + 1);
        for (int i = 0; i < kPlaceCount; ++i) {
            const size_t end = rest.find('\0');
            ShowPlace(i, rest.substr(0, end));
            rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
        }
        HoldDrawing(false);
    }

    bool Accept(std::string& pageValue) override {
        std::string result = std::to_string(Selected(kIdPlacesView)) + std::to_string(Selected(kIdPlacesSortList)) +
                             (IsTicked(Item(kIdPlacesSort)) ? "0" : "1") +
                             (IsTicked(Item(kIdPlacesHide)) ? "1" : "0");
        for (int i = 0; i < kPlaceCount; ++i) {
            std::string place;
            if (!CheckedPlace(i, place)) return false;
            result += '\0' + place;
        }
        pageValue = result;
        return true;
    }

    void OnCommand(int id, int code, HWND control) override {
        const bool place = id >= kIdPlace && id < kIdPlace + kPlaceCount;
        const bool list = id == kIdPlacesView || id == kIdPlacesSortList;
        if ((place && (code == CBN_EDITCHANGE || code == CBN_SELCHANGE)) || (list && code == CBN_SELCHANGE) ||
            (id == kIdPlacesHide && code == BN_CLICKED)) {
            host_->EnableAccept();
        } else if ((id == kIdPlacesSort || id == kIdPlacesSort + 1) && code == BN_CLICKED) {
            SetSortDown(id - kIdPlacesSort);
            host_->EnableAccept();
        } else if (id >= kIdPlacesBrowse && id < kIdPlacesBrowse + kPlaceCount && code == BN_CLICKED) {
            Browse(id - kIdPlacesBrowse);
        }
    }

private:
    // The seven lists fill with their drawing held: a list box that hears of
    // each entry as it comes sets its scroll bar for every one.
    void HoldDrawing(bool hold) {
        const WPARAM redraw = hold ? FALSE : TRUE;
        SendMessageA(Item(kIdPlacesSortList), WM_SETREDRAW, redraw, 0);
        SendMessageA(Item(kIdPlacesView), WM_SETREDRAW, redraw, 0);
        for (int i = 0; i < kPlaceCount; ++i) SendMessageA(Item(kIdPlace + i), WM_SETREDRAW, redraw, 0);
    }

    template <size_t N>
    void FillList(int id, const char* const (&entries)[N]) {
        for (const char* entry : entries) SendMessageA(Item(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }

    // A missing character selects nothing; a digit past the list, nothing either.
    void SelectDigit(int id, const std::string& digit) {
        if (!digit.empty()) SendMessageA(Item(id), CB_SETCURSEL, static_cast<WPARAM>(TextToInteger(digit)), 0);
    }

    // The list position, 0 when nothing is selected, so the text keeps its one digit.
    int Selected(int id) const {
        const LRESULT selected = SendMessageA(Item(id), CB_GETCURSEL, 0, 0);
        return selected == CB_ERR ? 0 : static_cast<int>(selected);
    }

    void SetSortDown(int k) {
        SetTicked(Item(kIdPlacesSort + k), true);
        SetTicked(Item(kIdPlacesSort + 1 - k), false);
    }

    void SetSortPictures() {
        pictures_ = DrawImageList(kPictureSize, 2, DrawSortPicture);
        for (int k = 0; k < 2; ++k) {
            icons_[k].reset(ImageList_GetIcon(pictures_.get(), k, ILD_NORMAL));
            SendMessageA(Item(kIdPlacesSort + k), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icons_[k].get()));
        }
    }

    // A typed text stands for no entry, however the combo box treats it.
    static void ShowTyped(HWND box, const std::string& text) {
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetControlText(box, text);
    }

    void ShowPlace(int i, const std::string& place) {
        HWND box = Item(kIdPlace + i);
        for (const StandardPlace& standard : kStandardPlaces) {
            const LRESULT at = SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(standard.text));
            if (at >= 0) SendMessageA(box, CB_SETITEMDATA, static_cast<WPARAM>(at), standard.number);
        }
        if (Contains(place, ':') || place.rfind("\\\\", 0) == 0) {
            ShowTyped(box, place);
        } else if (!place.empty()) {
            const long number = TextToInteger(place);
            for (size_t e = 0; e < std::size(kStandardPlaces); ++e)
                if (kStandardPlaces[e].number == number) SendMessageA(box, CB_SETCURSEL, e, 0);
        }
    }

    // The selected entry, unless the text shown was set apart from it
    // (WM_SETTEXT leaves the selection in place).
    static LRESULT SelectedEntry(HWND box, const std::string& shown) {
        const LRESULT selected = SendMessageA(box, CB_GETCURSEL, 0, 0);
        const LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, selected, 0);
        if (selected == CB_ERR || length == CB_ERR) return CB_ERR;
        std::string entry(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(box, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(&entry[0]));
        entry.resize(static_cast<size_t>(length));
        return entry == shown ? selected : CB_ERR;
    }

    // The place's text for the result, or false once its message was shown.
    bool CheckedPlace(int i, std::string& place) {
        HWND box = Item(kIdPlace + i);
        const std::string typed = ControlText(box);
        LRESULT selected = SelectedEntry(box, typed);
        if (selected == CB_ERR && Contains(typed, '"')) {
            selected = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str()));
            if (selected != CB_ERR) SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        }
        if (selected == CB_ERR && !Contains(typed, '\\')) {
            ShowMessage(typed + "\r\ris not a valid folder.", kMessageTitle, kMessageStyle, kPlacesBarToolId);
            return false;
        }
        if (Contains(typed, '\\') && !IsDirectory(typed)) {
            ShowMessage("The folder:\r\r" + typed +
                            "\r\rdoes not appear to exist.  Use the Browse button to choose a valid folder.",
                        kMessageTitle, kMessageStyle, kPlacesBarToolId);
            return false;
        }
        place = selected == CB_ERR ? typed : std::to_string(SendMessageA(box, CB_GETITEMDATA, selected, 0));
        return true;
    }

    void Browse(int i) {
        HWND box = Item(kIdPlace + i);
        const std::string current = ControlText(box);
        // A standard entry, a network path or a missing folder starts where the last browse ended.
        if (Contains(current, ':') && IsDirectory(current)) FolderChoice() = current;
        browse_(host_->Window());
        const std::string& chosen = FolderChoice();
        if (chosen == "\"Desktop\"") {
            SendMessageA(box, CB_SETCURSEL, 0, 0);
            host_->EnableAccept();
        } else if (!chosen.empty()) {
            ShowTyped(box, chosen);
            host_->EnableAccept();
        }
    }

    FolderBrowser browse_;
    UniqueImageList pictures_;
    std::array<UniqueIcon, 2> icons_;
};

}  // namespace

std::unique_ptr<SettingsPage> MakePlacesBarPage() { return MakePlacesBarPage(BrowseForFolder); }

std::unique_ptr<SettingsPage> MakePlacesBarPage(FolderBrowser browse) {
    return std::make_unique<PlacesBarPage>(std::move(browse));
}

}  // namespace kk
