#include "panel/list_layout.h"

#include "panel/paint.h"

#include <algorithm>
#include <vector>

namespace kk {
namespace {

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    std::vector<char> buffer(length + 1);
    GetWindowTextA(hwnd, buffer.data(), length + 1);
    return buffer.data();
}

// A 16-bit running position: an addition that would leave the range is skipped.
class Position {
public:
    explicit Position(int start) : y_(start) {}
    int value() const { return y_; }
    void Add(int amount) {
        const long next = static_cast<long>(y_) + amount;
        if (amount >= -32768 && amount <= kMaxTwips && next >= -32768 && next <= kMaxTwips) y_ = static_cast<int>(next);
    }
    void Reset(int y) { y_ = y; }

private:
    int y_;
};

}  // namespace

int StackRows(ToolList& list, int surfaceWidth, PixelScale scale, const TextMeasure& measure) {
    const int rightMargin = kRightMarginPixels * scale.x;
    Position y(kTopMargin);
    for (ToolRow& row : list.Rows()) {
        const std::string& k = row.kindTag;
        row.changed.top = y.value();
        row.caption.top = y.value();
        row.caption.width = std::max(0, surfaceWidth - row.description.left - rightMargin);
        int rowStart = y.value();
        if (k == "1") row.checkBox.top = y.value();
        else if (k == "2") row.button.top = y.value() + kButtonOffset;
        else if (k == "3") row.bullet.top = y.value() + kBulletOffset;
        else if (k == "4") rowStart = y.value();
        y.Add(row.caption.height);

        row.description.top = y.value();
        row.description.width = std::max(0, surfaceWidth - row.description.left - rightMargin);
        const int h = measure(row.description.hwnd, row.description.width);
        row.description.height = h;
        y.Add(h + kGapAfterDescription);

        if (row.hasLink) {
            row.link.top = y.value() - kLinkLift;
            y.Add(row.link.height);
        }
        // A hidden row gives back everything it added.
        if (k == "4") y.Reset(rowStart);
    }
    const long height = static_cast<long>(y.value()) + kBottomMargin;
    return height <= kMaxTwips ? static_cast<int>(height) : -1;
}

int LayOutList(ToolList& list, HWND surface, PixelScale scale) {
    RECT client{};
    GetClientRect(surface, &client);
    const int surfaceWidth = client.right * scale.x;

    // Each description in its own DC and font, as it will draw itself.
    const int height = StackRows(list, surfaceWidth, scale, [&](HWND description, int widthTwips) {
        if (!description) return 0;
        const SIZE need = ControlTextSize(description, WindowText(description), DT_NOPREFIX | DT_EXPANDTABS,
                                          TwipsToPixels(widthTwips, scale.x));
        return static_cast<int>(need.cy) * scale.y;
    });

    // Moving many visible children one by one repaints each of them; hold
    // the surface's drawing and repaint it once.
    const bool visible = IsWindowVisible(surface) != FALSE;
    if (visible) SendMessageA(surface, WM_SETREDRAW, FALSE, 0);
    bool moved = false;
    for (ToolRow& row : list.Rows()) {
        for (int family = kFamilyCaptionTitle; family < kFamilyCount; ++family) {
            if (RowControl* control = row.Control(family)) moved |= ToolList::Place(*control, scale);
        }
        RowControl* sw = row.kindTag == "1" ? &row.checkBox : row.kindTag == "2" ? &row.button
                         : row.kindTag == "3" ? &row.bullet : nullptr;
        if (sw && sw->hwnd && !IsWindowEnabled(sw->hwnd)) EnableWindow(sw->hwnd, TRUE);
        // Visibility is read from the style: the held surface hides its children.
        if (row.kindTag != "4" && row.description.hwnd &&
            !(GetWindowLongPtrA(row.description.hwnd, GWL_STYLE) & WS_VISIBLE)) {
            ShowWindow(row.description.hwnd, SW_SHOWNA);
            moved = true;
        }
    }
    RECT outer{};
    GetWindowRect(surface, &outer);
    if (height >= 0) {
        const int heightPx = TwipsToPixels(height, scale.y);
        if (heightPx != outer.bottom - outer.top) {
            SetWindowPos(surface, nullptr, 0, 0, outer.right - outer.left, heightPx,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (visible) {
        SendMessageA(surface, WM_SETREDRAW, TRUE, 0);
        if (moved) RedrawWindow(surface, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    return height;
}

}  // namespace kk
