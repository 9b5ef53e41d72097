#include "panel/tool_list.h"

#include "engine/catalogue.h"
#include "engine/state_detector.h"
#include "panel/paint.h"

namespace kk {
namespace {

// Every row control starts here, above the visible area, until the layout runs.
constexpr int kProvisionalTop = -2000;

// Left edges in twips.
constexpr int kTextLeft = 615, kHeadingLeft = 105;
constexpr int kCheckBoxLeft = 375, kButtonLeft = 180, kBulletLeft = 380;
constexpr int kCheckMarkerLeft = 255, kButtonMarkerLeft = 75;


// A row keeps the hand cursor unless it is a heading or a text-only row.
bool KeepsHand(int kind) {
    return IsOnOffKind(kind) || kind == kKindSettings || kind == kKindInformation || kind == kKindUnavailable;
}

bool IsSettingsLink(const std::string& action) { return !action.empty() && action[0] == '#'; }

// Creates the controls of one row on the list surface: a text, a left edge
// in twips and a size in pixels each, every one above the visible area.
class RowControlMaker {
public:
    RowControlMaker(HWND surface, std::map<int, SIZE>& lineSizes, const ListStyle& style, PixelScale scale,
                    int toolId)
        : surface_(surface), lineSizes_(lineSizes), style_(style), scale_(scale), toolId_(toolId) {}

    // A label as large as its text, measured as the label itself draws it;
    // an empty text still takes one line. Only a link's width is its own:
    // the layout sizes captions and descriptions and every marker reads "*",
    // so one measured line serves each of those families.
    RowControl Label(RowFamily family, const std::string& text, int left, DWORD extra) const {
        RowControl control = Create(family, "STATIC", SS_NOPREFIX | extra, text, left, 0, 0);
        if (!control) return control;
        const auto line = lineSizes_.find(family);
        const SIZE size = family != kFamilyHLink && line != lineSizes_.end()
                              ? line->second
                              : ControlTextSize(control.hwnd, text.empty() ? " " : text, DT_NOPREFIX | DT_EXPANDTABS);
        if (family != kFamilyHLink) lineSizes_[family] = size;
        control.width = (text.empty() ? 0 : static_cast<int>(size.cx)) * scale_.x;
        control.height = static_cast<int>(size.cy) * scale_.y;
        return control;
    }

    RowControl Picture(RowFamily family, int left, DWORD extra) const {
        const FamilyTemplate& t = style_.Template(family);
        // Switches start disabled; the layout enables each one it places.
        // BS_NOTIFY: the row hears when its switch takes the focus.
        return Create(family, "BUTTON", BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP | WS_DISABLED | extra, "", left,
                      t.width, t.height);
    }

private:
    // Visible unless it is the "*" marker; a settings button shows no text.
    RowControl Create(RowFamily family, const char* cls, DWORD windowStyle, const std::string& text, int left,
                      int widthPx, int heightPx) const {
        RowControl control;
        const bool visible = text != "*";
        const bool hasText = family != kFamilyButtonObject;
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(surface_, GWLP_HINSTANCE));
        control.hwnd = CreateWindowExA(0, cls, hasText ? text.c_str() : "",
                                       WS_CHILD | (visible ? WS_VISIBLE : 0) | windowStyle,
                                       TwipsToPixels(left, scale_.x), TwipsToPixels(kProvisionalTop, scale_.y),
                                       widthPx, heightPx, surface_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(RowControlId(family, toolId_))),
                                       instance, nullptr);
        if (!control.hwnd) return control;
        SendMessageA(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(style_.Template(family).font), FALSE);
        control.left = left;
        control.top = kProvisionalTop;
        control.width = widthPx * scale_.x;
        control.height = heightPx * scale_.y;
        return control;
    }

    HWND surface_;
    std::map<int, SIZE>& lineSizes_;
    const ListStyle& style_;
    PixelScale scale_;
    int toolId_;
};

// Caption and description; headings draw themselves (grey, text on their
// last line), other captions are plain one-line labels that the layout clips.
void CreateTexts(const RowControlMaker& make, ToolRow& row, const ToolEntry& entry) {
    const bool heading = entry.kind == kKindHeading;
    row.caption = make.Label(kFamilyCaptionTitle, entry.caption, heading ? kHeadingLeft : kTextLeft,
                             heading ? SS_OWNERDRAW : SS_LEFTNOWORDWRAP | SS_NOTIFY | SS_ENDELLIPSIS);
    row.description = make.Label(kFamilyDescription, entry.description, kTextLeft, SS_LEFT | SS_NOTIFY);
}

// The switch its kind gives the row, and the "*" marker beside it.
void CreateSwitch(const RowControlMaker& make, ToolRow& row) {
    int changedLeft = 0;
    if (IsOnOffKind(row.kind)) {
        row.checkBox = make.Picture(kFamilyCheckBox, kCheckBoxLeft, 0);
        MakeCheckable(row.checkBox.hwnd);
        changedLeft = kCheckMarkerLeft;
    } else if (row.kind == kKindSettings) {
        row.button = make.Picture(kFamilyButtonObject, kButtonLeft, 0);
        changedLeft = kButtonMarkerLeft;
    } else if (row.kind == kKindInformation) {
        row.bullet = make.Picture(kFamilyBullet, kBulletLeft, 0);
    } else if (row.kind == kKindUnavailable) {
        ShowWindow(row.caption.hwnd, SW_HIDE);
        ShowWindow(row.description.hwnd, SW_HIDE);
    }
    row.changed = make.Label(kFamilyChanged, "*", changedLeft, 0);
}

void CreateLink(const RowControlMaker& make, ToolRow& row, const ToolEntry& entry) {
    row.hasLink = !entry.linkCaption.empty();
    if (!row.hasLink) return;
    row.link = make.Label(kFamilyHLink, entry.linkCaption, kTextLeft, SS_LEFTNOWORDWRAP | SS_NOTIFY);
    // A withdrawn row shows nothing, its link included.
    if (entry.kind == kKindUnavailable) ShowWindow(row.link.hwnd, SW_HIDE);
}

WNDPROC g_buttonProc = nullptr;  // every row switch is a "BUTTON" of the same class

LRESULT CALLBACK CheckableProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case BM_GETCHECK:
        return GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    case BM_SETCHECK: {
        const LONG_PTR value = wp == BST_CHECKED ? 1 : 0;
        if (GetWindowLongPtrA(hwnd, GWLP_USERDATA) != value) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, value);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    }
    return CallWindowProcA(g_buttonProc, hwnd, msg, wp, lp);
}

}  // namespace

int TwipsToPixels(int twips, int scale) { return scale > 0 ? MulDiv(twips, 1, scale) : twips; }

RowControl* ToolRow::Control(int family) {
    return const_cast<RowControl*>(static_cast<const ToolRow*>(this)->Control(family));
}

const RowControl* ToolRow::Control(int family) const {
    const RowControl* control = nullptr;
    switch (family) {
    case kFamilyCaptionTitle: control = &caption; break;
    case kFamilyDescription: control = &description; break;
    case kFamilyChanged: control = &changed; break;
    case kFamilyCheckBox: control = &checkBox; break;
    case kFamilyButtonObject: control = &button; break;
    case kFamilyBullet: control = &bullet; break;
    case kFamilyHLink: control = &link; break;
    }
    return control && control->hwnd ? control : nullptr;
}

RowControl* ToolRow::Switch() {
    RowControl* control = IsKindTag(kindTag, kKindOnOff)         ? &checkBox
                          : IsKindTag(kindTag, kKindSettings)    ? &button
                          : IsKindTag(kindTag, kKindInformation) ? &bullet
                                                                 : nullptr;
    return control && control->hwnd ? control : nullptr;
}

RowTags StartingTags(const ToolEntry& entry) {
    RowTags tags;
    const bool onOff = IsOnOffKind(entry.kind);
    const std::string state = onOff || entry.kind == kKindSettings ? DetectToolState(entry.toolId) : "";
    if (onOff) {
        tags.checkValue = !state.empty() && state[0] == '1' ? 1 : 0;
        tags.checkTag = state;
    } else {
        tags.buttonTag = state;
    }
    tags.linkTag = entry.linkAction;
    if (IsSettingsLink(entry.linkAction)) {
        // The settings text travels with the link; the box keeps the flag.
        tags.linkTag = "#" + (state.size() > 1 ? state.substr(1) : std::string());
        if (onOff) tags.checkTag = state.substr(0, 1);
    }
    return tags;
}

void MakeCheckable(HWND button) {
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckableProc)));
    if (!g_buttonProc) g_buttonProc = old;
}

void ToolList::Build(HWND surface, const ListStyle& style, PixelScale scale) {
    rows_.clear();
    index_.clear();
    pluginKeys_ = ReadPluginKeys();
    const int count = ListCount(pluginKeys_.size());
    rows_.reserve(count);
    lineSizes_.clear();
    const ListReadPass pass;
    for (int p = 1; p <= count; ++p) AddRow(p, surface, style, scale);
    built_ = true;
}

void ToolList::AddRow(int position, HWND surface, const ListStyle& style, PixelScale scale) {
    const ToolEntry entry = EntryForPosition(position, pluginKeys_);
    ToolRow row;
    row.toolId = entry.toolId;
    row.kind = entry.kind;
    row.kindTag = std::to_string(entry.kind);
    row.hand = KeepsHand(entry.kind);
    const RowControlMaker make(surface, lineSizes_, style, scale, row.toolId);
    CreateTexts(make, row, entry);
    CreateSwitch(make, row);
    CreateLink(make, row, entry);

    GiveTags(row, StartingTags(entry));

    index_[row.toolId] = rows_.size();
    rows_.push_back(std::move(row));
}

void ToolList::GiveTags(ToolRow& row, const RowTags& tags) {
    SetCheckValue(row, tags.checkValue);
    if (row.checkBox) row.checkTag = tags.checkTag;
    if (row.button) row.buttonTag = tags.buttonTag;
    if (row.link) row.linkTag = tags.linkTag;
}

void ToolList::Redetect() {
    const ListReadPass pass;
    for (int position = 1; position <= Count(); ++position) {
        ToolRow& row = rows_[position - 1];
        GiveTags(row, StartingTags(EntryForPosition(position, pluginKeys_)));
        if (row.changed) ShowWindow(row.changed.hwnd, SW_HIDE);
    }
}

int ToolList::ToolIdAt(int position) const {
    return position >= 1 && position <= Count() ? rows_[position - 1].toolId : 0;
}

ToolRow* ToolList::Find(int toolId) {
    auto it = index_.find(toolId);
    return it == index_.end() ? nullptr : &rows_[it->second];
}

const ToolRow* ToolList::Find(int toolId) const {
    auto it = index_.find(toolId);
    return it == index_.end() ? nullptr : &rows_[it->second];
}

const ToolRow* ToolList::RowOf(HWND control, int* family) const {
    const int id = GetDlgCtrlID(control);
    const int f = FamilyOfControlId(id);
    if (!f) return nullptr;
    const ToolRow* row = Find(ToolIdOfControlId(id));
    if (!row || !row->Control(f) || row->Control(f)->hwnd != control) return nullptr;
    if (family) *family = f;
    return row;
}

bool ToolList::Place(RowControl& control, PixelScale scale) {
    if (!control.hwnd) return false;
    const int x = TwipsToPixels(control.left, scale.x), y = TwipsToPixels(control.top, scale.y);
    const int w = TwipsToPixels(control.width, scale.x), h = TwipsToPixels(control.height, scale.y);
    RECT now;
    GetWindowRect(control.hwnd, &now);
    MapWindowPoints(nullptr, GetParent(control.hwnd), reinterpret_cast<POINT*>(&now), 2);
    if (now.left == x && now.top == y && now.right - now.left == w && now.bottom - now.top == h) return false;
    SetWindowPos(control.hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return true;
}

int ToolList::CheckValue(const ToolRow& row) {
    return row.checkBox ? static_cast<int>(SendMessageA(row.checkBox.hwnd, BM_GETCHECK, 0, 0)) : 0;
}

void ToolList::SetCheckValue(ToolRow& row, int value) {
    if (row.checkBox) SendMessageA(row.checkBox.hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace kk
