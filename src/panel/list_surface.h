// The two windows of the tool list: the frame ViewFrame, which clips the
// list and holds the scroll bar at its right edge, and the tall surface
// View that scrolls inside it and carries every row control. Each hands
// what its children tell it to the main window through ListEvents.
#pragma once
#include <windows.h>

#include "engine/handles.h"
#include "panel/bound_window.h"

namespace kk {

class ToolList;
class ListStyle;

class ListEvents {
public:
    virtual ~ListEvents() = default;
    virtual void OnRowCommand(int controlId, int code) = 0;
    virtual void OnFrameResized() = 0;
    virtual void OnScrollBar(int code) = 0;
    virtual void OnSurfacePainted() = 0;
    // The frame or the surface itself received the keyboard focus.
    virtual void OnListFocused(HWND window) = 0;
};

// FocusBar: the rectangle drawn on the surface behind the focused row's
// caption and description. Twips, as the layout works.
struct FocusMarker {
    bool visible = false;
    int toolId = 0;
    int left = 0, top = 0, width = 0, height = 0;
    COLORREF fill = RGB(214, 228, 247);
    GdiObject<HBRUSH> brush;  // of fill, for the labels it lies behind
};

inline constexpr char kViewFrameClass[] = "KestrelkitViewFrame";
inline constexpr char kViewClass[] = "KestrelkitView";

class ListFrame {
public:
    ListFrame() = default;
    ListFrame(const ListFrame&) = delete;
    ListFrame& operator=(const ListFrame&) = delete;

    bool Create(HWND parent, int id, ListEvents& events);
    HWND hwnd() const { return hwnd_; }

private:
    template <typename T>
    friend LRESULT CALLBACK BoundWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    ListEvents* events_ = nullptr;
};

class ListSurface {
public:
    ListSurface() = default;
    ListSurface(const ListSurface&) = delete;
    ListSurface& operator=(const ListSurface&) = delete;

    bool Create(HWND frame, int id, ListEvents& events, const ToolList& list, const ListStyle& style,
                const FocusMarker& marker, const int& scaleX, const int& scaleY);
    HWND hwnd() const { return hwnd_; }
    // The marker's rectangle on the surface, in pixels.
    RECT MarkerRect() const;

private:
    template <typename T>
    friend LRESULT CALLBACK BoundWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnControlColour(HDC dc, HWND control);
    bool OnSetCursor(HWND over);
    void OnDrawItem(const DRAWITEMSTRUCT& item);

    HWND hwnd_ = nullptr;
    ListEvents* events_ = nullptr;
    const ToolList* list_ = nullptr;
    const ListStyle* style_ = nullptr;
    const FocusMarker* marker_ = nullptr;
    const int* scaleX_ = nullptr;
    const int* scaleY_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace kk
