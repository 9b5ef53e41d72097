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

bool IsOnOff(int kind) { return kind == kKindOnOff || kind == -1; }

// A row keeps the hand cursor unless it is a heading or a text-only row.
bool KeepsHand(int kind) { return IsOnOff(kind) || kind == kKindSettings || kind == 3 || kind == kKindUnavailable; }

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
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(surface, GWLP_HINSTANCE));

    // Creates one member of a family: text, left and top in twips, the size
    // in pixels; visible unless it is the "*" marker.
    auto create = [&](RowFamily family, const char* cls, DWORD windowStyle, const std::string& text, int left,
                      int widthPx, int heightPx) {
        RowControl control;
        const bool visible = text != "*";
        const bool hasText = family != kFamilyButtonObject;
        control.hwnd = CreateWindowExA(0, cls, hasText ? text.c_str() : "",
                                       WS_CHILD | (visible ? WS_VISIBLE : 0) | windowStyle,
                                       TwipsToPixels(left, scale.x), TwipsToPixels(kProvisionalTop, scale.y), widthPx,
                                       heightPx, surface,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(RowControlId(family, row.toolId))),
                                       instance, nullptr);
        if (!control.hwnd) return control;
        SendMessageA(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(style.Template(family).font), FALSE);
        control.left = left;
        control.top = kProvisionalTop;
        control.width = widthPx * scale.x;
        control.height = heightPx * scale.y;
        return control;
    };
    // A label as large as its text, measured as the label itself draws it;
    // an empty text still takes one line. Only a link's width is its own:
    // the layout sizes captions and descriptions and every marker reads "*",
    // so one measured line serves each of those families.
    auto label = [&](RowFamily family, const std::string& text, int left, DWORD extra) {
        RowControl control = create(family, "STATIC", SS_NOPREFIX | extra, text, left, 0, 0);
        if (!control) return control;
        const auto line = lineSizes_.find(family);
        const SIZE size = family != kFamilyHLink && line != lineSizes_.end()
                              ? line->second
                              : ControlTextSize(control.hwnd, text.empty() ? " " : text, DT_NOPREFIX | DT_EXPANDTABS);
        if (family != kFamilyHLink) lineSizes_[family] = size;
        control.width = (text.empty() ? 0 : static_cast<int>(size.cx)) * scale.x;
        control.height = static_cast<int>(size.cy) * scale.y;
        return control;
    };
    auto picture = [&](RowFamily family, int left, DWORD extra) {
        const FamilyTemplate& t = style.Template(family);
        // Switches start disabled; the layout enables each one it places.
        // BS_NOTIFY: the row hears when its switch takes the focus.
        return create(family, "BUTTON", BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP | WS_DISABLED | extra, "", left, t.width,
                      t.height);
    };

    const bool heading = entry.kind == kKindHeading;
    // Headings draw themselves (grey, text on their last line); other
    // captions are plain one-line labels that the layout clips.
    row.caption = label(kFamilyCaptionTitle, entry.caption, heading ? kHeadingLeft : kTextLeft,
                        heading ? SS_OWNERDRAW : SS_LEFTNOWORDWRAP | SS_NOTIFY | SS_ENDELLIPSIS);
    row.description = label(kFamilyDescription, entry.description, kTextLeft, SS_LEFT | SS_NOTIFY);

    std::string state;
    int changedLeft = 0;
    if (IsOnOff(entry.kind)) {
        row.checkBox = picture(kFamilyCheckBox, kCheckBoxLeft, 0);
        MakeCheckable(row.checkBox.hwnd);
        state = DetectToolState(row.toolId);
        SetCheckValue(row, !state.empty() && state[0] == '1' ? 1 : 0);
        row.checkTag = state;
        changedLeft = 255;
    } else if (entry.kind == kKindSettings) {
        row.button = picture(kFamilyButtonObject, kButtonLeft, 0);
        state = DetectToolState(row.toolId);
        row.buttonTag = state;
        changedLeft = 75;
    } else if (entry.kind == 3) {
        row.bullet = picture(kFamilyBullet, kBulletLeft, 0);
    } else if (entry.kind == kKindUnavailable) {
        ShowWindow(row.caption.hwnd, SW_HIDE);
        ShowWindow(row.description.hwnd, SW_HIDE);
    }
    row.changed = label(kFamilyChanged, "*", changedLeft, 0);

    row.hasLink = !entry.linkCaption.empty();
    if (row.hasLink) {
        row.link = label(kFamilyHLink, entry.linkCaption, kTextLeft, SS_LEFTNOWORDWRAP | SS_NOTIFY);
        row.linkTag = entry.linkAction;
        if (!entry.linkAction.empty() && entry.linkAction[0] == '#') {
            // The settings text travels with the link; the box keeps the flag.
            row.linkTag = "#" + (state.size() > 1 ? state.substr(1) : std::string());
            if (row.checkBox) row.checkTag = state.substr(0, 1);
        }
        // A withdrawn row shows nothing, its link included.
        if (entry.kind == kKindUnavailable) ShowWindow(row.link.hwnd, SW_HIDE);
    }

    index_[row.toolId] = rows_.size();
    rows_.push_back(std::move(row));
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
