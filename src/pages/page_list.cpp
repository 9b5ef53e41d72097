#include "pages/page_list.h"

#include "engine/handles.h"
#include "pages/check_pictures.h"
#include "panel/paint.h"
#include "services/subclass.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdlib>

namespace kk {
namespace {

constexpr int kDragThresholdTwips = 60;
constexpr int kTwipsPerInch = 1440;
constexpr int kCheckZoneExtra = 7;  // pixels right of the check picture that still toggle
const PageListRow kNoRow{};

// The two columns of a row's text: before and after its tab.
std::string Column(const std::string& text, int column) {
    const size_t tab = text.find('\t');
    if (tab == std::string::npos) return column == 0 ? text : std::string();
    return column == 0 ? text.substr(0, tab) : text.substr(tab + 1);
}

int DragThresholdPixels(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(hwnd, dc);
    return MulDiv(kDragThresholdTwips, dpi, kTwipsPerInch);
}

}  // namespace

PageList::~PageList() {
    if (hwnd_) Unsubclass(hwnd_);
}

bool PageList::Create(HWND parent, int id, const RECT& place, HFONT font, HIMAGELIST images, PageListEvents& events,
                      bool twoColumns, int firstColumnWidth) {
    events_ = &events;
    twoColumns_ = twoColumns;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    hwnd_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_NOCOLUMNHEADER |
                                LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER |
                                LVS_OWNERDATA,
                            place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!hwnd_) return false;
    if (font) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_FULLROWSELECT);
    if (images) ListView_SetImageList(hwnd_, images, LVSIL_SMALL);

    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = client.right - GetSystemMetrics(SM_CXVSCROLL);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = twoColumns ? firstColumnWidth : width;
    SendMessageA(hwnd_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    if (twoColumns) {
        column.cx = width - firstColumnWidth;
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    }
    Subclass(hwnd_, Proc, this);
    return true;
}

const PageListRow& PageList::Row(int i) const { return i >= 0 && i < Count() ? rows_[i] : kNoRow; }

void PageList::Clear() {
    quiet_ = true;
    rows_.clear();
    if (hwnd_) ListView_DeleteAllItems(hwnd_);
    quiet_ = false;
}

// The list view holds no rows of its own (owner data): it asks for what it
// shows, so a change is a new count and a repaint of the rows it touched.
void PageList::Refresh(int first, int last) {
    if (!hwnd_ || held_ > 0) return;
    const int count = Count();
    if (ListView_GetItemCount(hwnd_) != count)
        SendMessageA(hwnd_, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (count > 0 && first < count) ListView_RedrawItems(hwnd_, first < 0 ? 0 : first, last < count ? last : count - 1);
}

void PageList::Insert(int at, const PageListRow& row) {
    if (at < 0 || at > Count()) at = Count();
    const int selected = held_ > 0 ? -1 : Selected();  // a batch fills a list nobody has selected in yet
    rows_.insert(rows_.begin() + at, row);
    Refresh(at, Count() - 1);
    // The list view's selection stays at its index; it belongs to the row that moved down.
    if (selected >= at) {
        quiet_ = true;
        Select(selected + 1);
        quiet_ = false;
    }
}

void PageList::Remove(int at) {
    if (at < 0 || at >= Count()) return;
    const int selected = Selected();
    quiet_ = true;
    if (selected >= at) Select(-1);
    rows_.erase(rows_.begin() + at);
    Refresh(at, Count() - 1);
    InvalidateRect(hwnd_, nullptr, TRUE);  // the row that was last is gone
    if (selected > at) Select(selected - 1);
    quiet_ = false;
}

void PageList::SetRow(int i, const PageListRow& row) {
    if (i < 0 || i >= Count()) return;
    rows_[i] = row;
    Refresh(i, i);
}

void PageList::SetNumber(int i, int number, int picture) {
    if (i < 0 || i >= Count()) return;
    rows_[i].number = number;
    rows_[i].picture = picture;
    Refresh(i, i);
}

void PageList::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
    // One repaint for the whole move, not one per row that shifts.
    SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    const PageListRow row = rows_[from];
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, row);
    Select(to);
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// A list view works out its rows' size and sets its scroll bar at its
// first paint; on screen, the scroll bar's drawing there costs several
// times the rest of that paint. Printed once into memory while the page is
// still hidden, the list has them settled before it shows.
void PageList::SettleWhileHidden() {
    if (!hwnd_ || IsWindowVisible(hwnd_) || rows_.empty()) return;
    UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
    if (memory) SendMessageA(hwnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
}

void PageList::ShowRow(NMLVDISPINFOA& info) const {
    LVITEMA& item = info.item;
    if (item.iItem < 0 || item.iItem >= Count()) return;
    const PageListRow& row = rows_[item.iItem];
    if (item.mask & LVIF_TEXT && item.pszText && item.cchTextMax > 0)
        lstrcpynA(item.pszText, Column(row.text, item.iSubItem).c_str(), item.cchTextMax);
    if (item.mask & LVIF_IMAGE) item.iImage = row.picture;
}

int PageList::Selected() const {
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) : -1;
}

void PageList::Select(int i) {
    if (!hwnd_) return;
    const int old = Selected();
    if (old == i) return;
    quiet_ = true;  // one event for the whole change, not one for the row left
    if (old >= 0) ListView_SetItemState(hwnd_, old, 0, LVIS_SELECTED | LVIS_FOCUSED);
    quiet_ = false;
    if (i >= 0 && i < Count()) {
        ListView_SetItemState(hwnd_, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(hwnd_, i, FALSE);
    } else if (events_ && !quiet_) {
        events_->OnListSelect(*this, -1);
    }
}

int PageList::TopIndex() const { return hwnd_ ? ListView_GetTopIndex(hwnd_) : 0; }

int PageList::RowHeight() const {
    if (!hwnd_) return 0;
    RECT r{};
    if (Count() > 0 && ListView_GetItemRect(hwnd_, 0, &r, LVIR_BOUNDS)) return r.bottom - r.top;
    // An empty list: the height a row would get, from the font and the pictures.
    const DWORD spacing = static_cast<DWORD>(SendMessageA(hwnd_, LVM_GETITEMSPACING, TRUE, 0));
    return HIWORD(spacing);
}

int PageList::RowAt(int y) const {
    const int height = RowHeight();
    if (height <= 0 || y < 0) return -1;
    // Rows start below the list's top margin, as the first row's rectangle says.
    RECT first{};
    int top = 0;
    if (Count() > 0 && ListView_GetItemRect(hwnd_, TopIndex(), &first, LVIR_BOUNDS)) top = first.top;
    if (y < top) return -1;
    const int row = TopIndex() + (y - top) / height;
    return row < Count() ? row : -1;
}

bool PageList::HandleNotify(const NMHDR& header) {
    if (header.hwndFrom != hwnd_) return false;
    if (header.code == LVN_GETDISPINFOA) ShowRow(const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header)));
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        const bool selectionChanged = (change.uChanged & LVIF_STATE) &&
                                      ((change.uNewState ^ change.uOldState) & LVIS_SELECTED);
        if (selectionChanged && !quiet_ && events_) {
            if (change.uNewState & LVIS_SELECTED) events_->OnListSelect(*this, change.iItem);
            else if (Selected() < 0) events_->OnListSelect(*this, -1);
        }
    }
    return true;
}

void PageList::EndDrag(bool drop) {
    const int from = dragStart_, to = dragTarget_;
    const bool wasDragging = dragging_;
    dragStart_ = dragTarget_ = -1;
    dragging_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (!drop || !wasDragging || from < 0 || to < 0) return;
    if (to == from) {
        Select(from);
        return;
    }
    Move(from, to);
    if (events_) events_->OnListReorder(*this, from, to);
}

LRESULT CALLBACK PageList::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<PageList*>(SubclassOwner(hwnd));
    if (!self) return CallOldWndProc(hwnd, msg, wp, lp);
    return self->OnMessage(msg, wp, lp);
}

LRESULT PageList::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The list view's own press runs a modal drag-detect loop; the page
        // wants the press itself, so the list selects the row here.
        const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        SetFocus(hwnd_);
        LVHITTESTINFO hit{};
        hit.pt = {x, y};
        const int row = static_cast<int>(SendMessageA(hwnd_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (row >= 0) Select(row);
        dragStart_ = -1;
        if (events_ && events_->OnListPress(*this, x, y) && row >= 0) {
            dragStart_ = row;
            pressY_ = y;
            SetCapture(hwnd_);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragStart_ >= 0 && (wp & MK_LBUTTON)) {
            const int y = GET_Y_LPARAM(lp);
            if (!dragging_ && std::abs(y - pressY_) > DragThresholdPixels(hwnd_)) {
                dragging_ = true;
                dragTarget_ = dragStart_;
                Select(dragStart_);
            }
            if (dragging_) {
                const int target = RowAt(y);
                if (target >= 0 && target != dragTarget_) {
                    dragTarget_ = target;
                    Select(target);
                }
            }
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (dragStart_ >= 0) {
            EndDrag(true);
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (dragStart_ >= 0 && reinterpret_cast<HWND>(lp) != hwnd_) EndDrag(false);
        break;
    case WM_KEYDOWN:
        if (wp == VK_ESCAPE && dragStart_ >= 0) {
            EndDrag(false);
            return 0;
        }
        if (events_) events_->OnListKey(*this, static_cast<int>(wp));
        if (wp == VK_SPACE) return 0;
        break;
    case WM_CHAR:
        if (wp == ' ') return 0;  // the space bar checks; no incremental search for it
        break;
    case WM_PAINT:
        if (wp) break;  // the caller's own DC: drawn there as asked
        PaintThroughMemory();
        return 0;
    case WM_NCDESTROY: {
        HWND hwnd = hwnd_;
        const LRESULT result = CallOldWndProc(hwnd, msg, wp, lp);
        Unsubclass(hwnd);
        hwnd_ = nullptr;
        return result;
    }
    }
    return CallOldWndProc(hwnd_, msg, wp, lp);
}

void PageList::PaintThroughMemory() {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(hwnd_, &ps);
    if (!screen) return;
    {
        MemoryImage image(screen, ps.rcPaint);
        CallOldWndProc(hwnd_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(image.Dc()), 0);
        CallOldWndProc(hwnd_, WM_PAINT, reinterpret_cast<WPARAM>(image.Dc()), 0);
        image.Show();
    }
    EndPaint(hwnd_, &ps);
}

PageListBatch::PageListBatch(PageList& list) : list_(list) {
    if (list_.held_++ == 0 && list_.hwnd_) SendMessageA(list_.hwnd_, WM_SETREDRAW, FALSE, 0);
}

PageListBatch::~PageListBatch() {
    if (--list_.held_ > 0 || !list_.hwnd_) return;
    list_.Refresh(0, list_.Count() - 1);
    SendMessageA(list_.hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_.hwnd_, nullptr, TRUE);
    list_.SettleWhileHidden();
}

bool CheckBox(PageList& list, int x) {
    const int row = list.Selected();
    if (row < 0) return false;
    // The row's left edge moves with the list's horizontal scroll.
    RECT bounds{};
    int left = 0;
    if (list.Window() && ListView_GetItemRect(list.Window(), row, &bounds, LVIR_BOUNDS)) left = bounds.left;
    if (x - left > kCheckPictureSize + kCheckZoneExtra) return false;
    // A row's picture is its pair's first plus its number: the pair stays.
    const PageListRow& current = list.Row(row);
    const int number = current.number ? 0 : 1;
    list.SetNumber(row, number, current.picture - current.number + number);
    return true;
}

int NumChecked(const PageList& list) {
    int checked = 0;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Row(i).number != 0) ++checked;
    return checked;
}

void CheckAll(PageList& list, bool checked) {
    const int number = checked ? 1 : 0;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Row(i).number != number) list.SetNumber(i, number, list.Row(i).picture - list.Row(i).number + number);
}

}  // namespace kk
