#include "pages/check_list_page.h"

#include "pages/check_pictures.h"
#include "pages/settings_dialog.h"

namespace kk {
namespace {

constexpr int kAllWidth = 64;
constexpr int kAllGap = 6;         // between the two buttons
constexpr int kPictureGap = 4;     // between a button's picture and its caption
constexpr int kFocusInset = 4;     // the focus rectangle inside the button's edge
constexpr char kAllCaption[] = "All";

}  // namespace

void CheckListPage::CreateCheckList(int listId, const RECT& place, int allId, POINT buttonsAt) {
    images_ = CheckImages();
    allId_ = allId;
    checkBase_ = CheckImageBase();
    list_.Create(panel_, listId, place, host_->Font(), images_, *this);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(panel_, GWLP_HINSTANCE));
    for (int k : {1, 0}) {
        const int left = buttonsAt.x + (1 - k) * (kAllWidth + kAllGap);
        HWND button = CreateWindowExA(0, "BUTTON", kAllCaption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                      left, buttonsAt.y, kAllWidth, kButtonHeight, panel_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(allId + k)), instance, nullptr);
        if (button) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(host_->Font()), FALSE);
    }
}

PageListRow CheckListPage::CheckRow(const std::string& text, const std::string& tag, bool checked) const {
    const int number = checked ? 1 : 0;
    return PageListRow{text, number, tag, checkBase_ + number};
}

bool CheckListPage::HandleAllClick(int id, int code) {
    if (id != allId_ && id != allId_ + 1) return false;
    if (code == BN_CLICKED) {
        CheckAll(list_, id == allId_ + 1);
        OnAll();
    }
    return true;
}

LRESULT CheckListPage::OnNotify(const NMHDR& header) {
    list_.HandleNotify(header);
    return 0;
}

bool CheckListPage::OnListPress(PageList& list, int x, int y) {
    const bool toggled = CheckBox(list, x);
    if (toggled) OnTicked();
    return reorderable_ && !toggled;
}

void CheckListPage::OnListKey(PageList& list, int key) {
    if (key == VK_SPACE && CheckBox(list, 0)) OnTicked();
}

bool CheckListPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const int id = static_cast<int>(item.CtlID);
    if (id != allId_ && id != allId_ + 1) return false;
    DrawAllButton(item, id == allId_ + 1);
    return true;
}

void CheckListPage::DrawAllButton(const DRAWITEMSTRUCT& item, bool checked) const {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0)));
    SIZE caption{};
    GetTextExtentPoint32A(dc, kAllCaption, sizeof kAllCaption - 1, &caption);
    // Picture and caption centred together; a pressed face moves them as Windows does.
    const int shift = pressed ? 1 : 0;
    const int width = kCheckPictureSize + kPictureGap + caption.cx;
    const int left = (face.left + face.right - width) / 2 + shift;
    const int middle = (face.top + face.bottom) / 2 + shift;
    ImageList_Draw(images_, checkBase_ + (checked ? 1 : 0), dc, left, middle - kCheckPictureSize / 2,
                   ILD_TRANSPARENT);
    SetBkMode(dc, TRANSPARENT);
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    TextOutA(dc, left + kCheckPictureSize + kPictureGap, middle - caption.cy / 2, kAllCaption, sizeof kAllCaption - 1);
    SelectObject(dc, oldFont);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus{face.left + kFocusInset, face.top + kFocusInset, face.right - kFocusInset,
                   face.bottom - kFocusInset};
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace kk
