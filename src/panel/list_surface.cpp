#include "panel/list_surface.h"

#include "panel/list_style.h"
#include "panel/row_pictures.h"
#include "panel/tool_list.h"
#include "services/wait_cursor.h"

namespace kk {

bool ListFrame::Create(HWND parent, int id, ListEvents& events) {
    events_ = &events;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    RegisterBoundClass(instance, kViewFrameClass, BoundWindowProc<ListFrame>, nullptr);
    // The frame is a control parent, so Tab reaches the rows' switches.
    // Clipped by its siblings: the in-place tooltip lies over it.
    CreateWindowExA(WS_EX_CONTROLPARENT, kViewFrameClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                    0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
}

LRESULT ListFrame::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (events_) events_->OnFrameResized();
        return 0;
    case WM_VSCROLL:
        if (events_) events_->OnScrollBar(LOWORD(wp));
        return 0;
    case WM_SETFOCUS:
        if (events_) events_->OnListFocused(hwnd_);
        return 0;
    case WM_ERASEBKGND: {
        // Below a short list the frame shows the surface's white.
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

bool ListSurface::Create(HWND frame, int id, ListEvents& events, const ToolList& list, const ListStyle& style,
                         const FocusMarker& marker, const int& scaleX, const int& scaleY) {
    events_ = &events;
    marker_ = &marker;
    scaleX_ = &scaleX;
    scaleY_ = &scaleY;
    list_ = &list;
    style_ = &style;
    font_ = style.SurfaceFont();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(frame, GWLP_HINSTANCE));
    RegisterBoundClass(instance, kViewClass, BoundWindowProc<ListSurface>, nullptr);
    CreateWindowExA(WS_EX_CONTROLPARENT, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                    frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
}

RECT ListSurface::MarkerRect() const {
    const int sx = *scaleX_ > 0 ? *scaleX_ : 15, sy = *scaleY_ > 0 ? *scaleY_ : 15;
    return RECT{marker_->left / sx, marker_->top / sy, (marker_->left + marker_->width) / sx,
                (marker_->top + marker_->height) / sy};
}

LRESULT ListSurface::OnControlColour(HDC dc, HWND control) {
    int family = 0;
    const ToolRow* row = list_->RowOf(control, &family);
    SetTextColor(dc, style_->Template(family).text);
    // The focused row's texts lie on the marker.
    if (row && marker_->visible && row->toolId == marker_->toolId && marker_->brush &&
        (family == kFamilyCaptionTitle || family == kFamilyDescription)) {
        SetBkColor(dc, marker_->fill);
        return reinterpret_cast<LRESULT>(marker_->brush.get());
    }
    SetBkColor(dc, kSurfaceColour);
    return reinterpret_cast<LRESULT>(style_->SurfaceBrush());
}

bool ListSurface::OnSetCursor(HWND over) {
    if (WaitCursor::Active()) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return true;
    }
    int family = 0;
    const ToolRow* row = list_->RowOf(over, &family);
    if (!row || !row->hand) return false;
    if (family != kFamilyCaptionTitle && family != kFamilyDescription && family != kFamilyHLink) return false;
    HCURSOR cursor = style_->Template(family).cursor;
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

void ListSurface::OnDrawItem(const DRAWITEMSTRUCT& item) {
    int family = 0;
    const ToolRow* row = list_->RowOf(item.hwndItem, &family);
    if (!row) return;
    const PictureState state = StateOf(item);
    switch (family) {
    case kFamilyCheckBox: DrawCheckBoxPicture(item.hDC, item.rcItem, state); break;
    case kFamilyButtonObject: DrawSettingsButtonPicture(item.hDC, item.rcItem, state); break;
    case kFamilyBullet: DrawBulletPicture(item.hDC, item.rcItem, state); break;
    case kFamilyCaptionTitle: {
        char text[512] = {};
        GetWindowTextA(item.hwndItem, text, sizeof text);
        DrawHeading(item.hDC, item.rcItem, text, style_->Template(family).font, kHeadingColour);
        break;
    }
    }
}

LRESULT ListSurface::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wp))) return TRUE;
        break;
    case WM_COMMAND:
        if (events_ && lp) events_->OnRowCommand(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wp);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wp);
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(dc, &r, style_->SurfaceBrush());
        if (marker_->visible && marker_->brush) {
            const RECT m = MarkerRect();
            FillRect(dc, &m, marker_->brush.get());
            // A rim one shade darker than the fill.
            const COLORREF f = marker_->fill;
            GdiObject<HBRUSH> rim(CreateSolidBrush(RGB(GetRValue(f) * 3 / 4, GetGValue(f) * 3 / 4, GetBValue(f) * 3 / 4)));
            FrameRect(dc, &m, rim.get());
        }
        return 1;
    }
    case WM_LBUTTONDOWN:
        // A press on the bare surface takes the focus, which goes back to the row.
        SetFocus(hwnd_);
        return 0;
    case WM_SETFOCUS:
        if (events_) events_->OnListFocused(hwnd_);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd_, &ps);
        EndPaint(hwnd_, &ps);
        if (events_) events_->OnSurfacePainted();
        return 0;
    }
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace kk
