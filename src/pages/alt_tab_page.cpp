#include "pages/alt_tab_page.h"

#include "engine/registry.h"
#include "pages/page_controls.h"
#include "panel/bound_window.h"
#include "panel/paint.h"
#include "panel/picture_window.h"

#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kk {
namespace {

const char kFrameClass[] = "KestrelkitTinyIconFrame";
constexpr int kMinColumns = 1, kMinRows = 1;
constexpr int kFieldCount = 2, kColumnsField = 0, kRowsField = 1;
// The model sits in the top left; at its largest it ends above the fields.
constexpr int kFieldsTop = kPageMargin + kMaxModelHeight * kTinyIconSize + 12;
constexpr int kLabelWidth = 56, kFieldWidth = 40, kFieldGap = 18;

const COLORREF kModelFace = RGB(250, 250, 246), kModelRim = RGB(78, 98, 130), kModelLight = RGB(255, 255, 255);
const COLORREF kGripShadow = RGB(128, 136, 150);

// The tiny icons' colours (rim, caption bar), taken in turn so the model
// looks like a row of different programs.
const COLORREF kIconColours[][2] = {
    {RGB(24, 64, 140), RGB(64, 120, 212)},
    {RGB(30, 100, 40), RGB(76, 170, 84)},
    {RGB(150, 70, 20), RGB(224, 136, 56)},
    {RGB(96, 40, 120), RGB(160, 100, 190)},
};

// A program's icon, eight pixels square: a little window with a caption
// bar and a line of text.
void DrawTinyIcon(HDC dc, const RECT& r, int index) {
    const COLORREF* colours = kIconColours[index % (sizeof kIconColours / sizeof kIconColours[0])];
    FrameSolid(dc, r, colours[0]);
    FillSolid(dc, RECT{r.left + 1, r.top + 1, r.right - 1, r.top + 3}, colours[1]);
    FillSolid(dc, RECT{r.left + 1, r.top + 3, r.right - 1, r.bottom - 1}, kModelLight);
    FillSolid(dc, RECT{r.left + 2, r.top + 5, r.right - 3, r.top + 6}, kGripShadow);
}

// The size grip: three diagonal rows of dots towards the bottom right,
// over the corner of the model's rim, which runs on under it.
void DrawGrip(HDC dc, const RECT& r) {
    FillSolid(dc, r, kModelFace);
    FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, kModelRim);
    FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, kModelRim);
    constexpr int kDot = 2, kPitch = 4, kRows = 3, kInset = 2;
    for (int row = 0; row < kRows; ++row)
        for (int i = 0; i <= row; ++i) {
            const int x = r.right - kInset - kPitch * (i + 1) + 1, y = r.bottom - kInset - kPitch * (row - i + 1) + 1;
            FillSolid(dc, RECT{x, y, x + kDot, y + kDot}, kGripShadow);
        }
}

// The whole part of a typed or stored number, kept within lo to hi (a
// huge number must not overflow on its way to an int).
int ClampedWhole(double value, int lo, int hi) {
    return static_cast<int>(std::clamp(value, static_cast<double>(lo), static_cast<double>(hi)));
}

// The model window: it paints itself with its icons, carries the grip, and
// sizes itself while its corner is dragged. The icons are images the model
// draws, not windows: under Wine each child window costs a server round at
// its making, its showing and every paint, and a 26 x 9 grid is 234 of them.
class ModelFrame {
public:
    using Dragged = std::function<void(int width, int height)>;

    bool Create(HWND panel, int left, int top, Dragged dragged) {
        dragged_ = std::move(dragged);
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(panel, GWLP_HINSTANCE));
        // Redrawn whole at every size: the rim moves with the corner.
        RegisterBoundClass(instance, kFrameClass, BoundWindowProc<ModelFrame>, nullptr, CS_HREDRAW | CS_VREDRAW);
        CreateWindowExA(0, kFrameClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, left, top, kTinyGripSize,
                        kTinyGripSize, panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdTinyIconFrame)),
                        instance, this);
        if (!hwnd_) return false;
        return grip_.Create(hwnd_, kIdTinyIconResize, 0, 0, kTinyGripSize, kTinyGripSize, DrawGrip);
    }
    HWND hwnd() const { return hwnd_; }

    size_t IconCount() const { return icons_.size(); }
    // A new icon, hidden until placed.
    void AddIcon() { icons_.push_back({}); }
    // Puts icon i (from 0) at a place, shown or hidden; only a change is repainted.
    void PlaceIcon(size_t i, POINT at, bool shown) {
        TinyIcon& icon = icons_[i];
        if (icon.shown == shown && (!shown || (icon.at.x == at.x && icon.at.y == at.y))) return;
        if (icon.shown) InvalidateIcon(icon.at);
        icon = {at, shown};
        if (shown) InvalidateIcon(at);
    }

    // Sizes the model and puts the grip in its corner.
    void SetSize(int width, int height) {
        SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(grip_.hwnd(), nullptr, width - kTinyGripSize, height - kTinyGripSize, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

private:
    friend LRESULT CALLBACK kk::BoundWindowProc<ModelFrame>(HWND, UINT, WPARAM, LPARAM);

    struct TinyIcon {
        POINT at{};
        bool shown = false;
    };

    void InvalidateIcon(POINT at) {
        const RECT r{at.x, at.y, at.x + kTinyIconSize, at.y + kTinyIconSize};
        InvalidateRect(hwnd_, &r, FALSE);
    }

    SIZE Size() const {
        RECT r{};
        GetClientRect(hwnd_, &r);
        return {r.right, r.bottom};
    }

    bool InGrip(int x, int y) const {
        const SIZE s = Size();
        return x >= s.cx - kTinyGripSize && y >= s.cy - kTinyGripSize && x < s.cx && y < s.cy;
    }

    bool OnSetCursor() {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        if (!dragging_ && !InGrip(p.x, p.y)) return false;
        SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
        return true;
    }

    void OnPress(int x, int y) {
        if (!InGrip(x, y)) return;
        const SIZE s = Size();
        offsetX_ = s.cx - x;
        offsetY_ = s.cy - y;
        dragging_ = true;
        SetCapture(hwnd_);
    }

    void OnDrag(int x, int y) {
        const int width =
            std::clamp(offsetX_ + x, kMinModelWidth * kTinyIconSize, kMaxModelWidth * kTinyIconSize);
        const int height =
            std::clamp(offsetY_ + y, kMinModelHeight * kTinyIconSize, kMaxModelHeight * kTinyIconSize);
        SetSize(width, height);
        if (dragged_) dragged_(width, height);
    }

    // Drawn off screen and copied at once, so a drag never shows the face
    // without its icons.
    void Paint(HDC target) {
        const SIZE s = Size();
        const RECT r{0, 0, s.cx, s.cy};
        const MemoryImage image(target, r);
        HDC dc = image.Dc();
        FillSolid(dc, r, kModelFace);
        FrameSolid(dc, r, kModelRim);
        FrameSolid(dc, RECT{1, 1, s.cx - 1, s.cy - 1}, kModelLight);
        for (size_t i = 0; i < icons_.size(); ++i) {
            const POINT at = icons_[i].at;
            if (icons_[i].shown)
                DrawTinyIcon(dc, RECT{at.x, at.y, at.x + kTinyIconSize, at.y + kTinyIconSize}, static_cast<int>(i));
        }
        image.Show();
    }

    // What automation reads of icon i (from 1): 0 not made yet, 1 hidden, 2 shown.
    LRESULT IconState(WPARAM i) const {
        if (i < 1 || i > icons_.size()) return kTinyIconNotMade;
        return icons_[i - 1].shown ? kTinyIconShown : kTinyIconHidden;
    }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && OnSetCursor()) return TRUE;
            break;
        case WM_LBUTTONDOWN:
            OnPress(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_MOUSEMOVE:
            if (dragging_ && (wp & MK_LBUTTON)) OnDrag(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_LBUTTONUP:
            dragging_ = false;
            if (GetCapture() == hwnd_) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            dragging_ = false;
            return 0;
        case kMsgTinyIconState:
            return IconState(wp);
        case WM_ERASEBKGND:
            return 1;  // Paint covers every pixel
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintMessage(hwnd_, msg, wp, [this](HDC dc) { Paint(dc); });
            return 0;
        }
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }

    HWND hwnd_ = nullptr;
    PictureWindow grip_;
    std::vector<TinyIcon> icons_;  // made on demand, never removed before the page
    Dragged dragged_;
    bool dragging_ = false;
    int offsetX_ = 0, offsetY_ = 0;  // model size minus the press point
};

class AltTabPage : public PanelPage {
public:
    void Create(HWND panel, PageHost& host) override {
        Attach(panel, host);
        model_.Create(panel, kPageMargin, kPageMargin, [this](int width, int height) { OnModelDragged(width, height); });
        LoadMoreTinyIcons(1);
        const int rowsLeft = kPageMargin + kLabelWidth + kFieldWidth + kFieldGap;
        CreatePageControls(panel, host.Font(),
                           {
                               {kIdTinyIconLabel + kColumnsField, ControlKind::Label, "C&olumns:", kPageMargin,
                                kFieldsTop + 3, kLabelWidth, kLabelHeight},
                               {kIdTinyIconField + kColumnsField, ControlKind::Edit, "", kPageMargin + kLabelWidth,
                                kFieldsTop, kFieldWidth, kEditHeight},
                               {kIdTinyIconLabel + kRowsField, ControlKind::Label, "&Rows:", rowsLeft, kFieldsTop + 3,
                                kLabelWidth, kLabelHeight},
                               {kIdTinyIconField + kRowsField, ControlKind::Edit, "", rowsLeft + kLabelWidth,
                                kFieldsTop, kFieldWidth, kEditHeight},
                           });
    }

    void Fill(const std::string& pageValue) override {
        const size_t nul = pageValue.find('\0');
        columns_ = ClampedWhole(TextToNumber(pageValue.substr(0, nul)), kMinColumns, kMaxColumns);
        rows_ = nul == std::string::npos ? kMinRows
                                         : ClampedWhole(TextToNumber(pageValue.substr(nul + 1)), kMinRows, kMaxRows);
        Layout();
    }

    bool Accept(std::string& pageValue) override {
        pageValue = TrimSpaces(ControlText(Field(kColumnsField))) + '\0' + TrimSpaces(ControlText(Field(kRowsField)));
        return true;
    }

    void OnCommand(int id, int code, HWND control) override {
        if (id < kIdTinyIconField || id >= kIdTinyIconField + kFieldCount) return;
        if (code == EN_SETFOCUS) SendMessageA(control, EM_SETSEL, 0, -1);
        if (code == EN_KILLFOCUS) OnFieldLeft();
        if (code == EN_CHANGE) host_->EnableAccept();
    }

private:
    HWND Field(int i) const { return Item(kIdTinyIconField + i); }

    // Where icon i of the grid sits in the model: a cell is two icons across and two down.
    POINT TinyIconPlace(size_t i) const {
        const int column = static_cast<int>(i) % columns_, row = static_cast<int>(i) / columns_;
        return {(2 * column + 1) * kTinyIconSize, (2 * row + 1) * kTinyIconSize};
    }

    // Makes icon images up to n; none is ever removed before the page.
    void LoadMoreTinyIcons(size_t n) {
        while (model_.IconCount() < n) model_.AddIcon();
    }

    // Shows the first columns x rows icons, row by row, and hides the rest.
    void ArrangeTinyIcons() {
        columns_ = std::clamp(columns_, kMinColumns, kMaxColumns);
        rows_ = std::clamp(rows_, kMinRows, kMaxRows);
        const size_t shown = static_cast<size_t>(columns_ * rows_);
        LoadMoreTinyIcons(shown);
        for (size_t i = 0; i < model_.IconCount(); ++i) model_.PlaceIcon(i, TinyIconPlace(i), i < shown);
    }

    void ShowNumbers() {
        SetControlText(Field(kColumnsField), std::to_string(columns_));
        SetControlText(Field(kRowsField), std::to_string(rows_));
    }

    // The model sized to hold the grid, with a cell's margin round it and
    // the grip's height below.
    void Layout() {
        ArrangeTinyIcons();
        ShowNumbers();
        model_.SetSize(kTinyIconSize * (2 * columns_ + 2), kTinyIconSize * (2 * rows_ + 2) + kTinyGripSize);
    }

    void OnFieldLeft() {
        columns_ = ClampedWhole(TextToNumber(ControlText(Field(kColumnsField))), kMinColumns, kMaxColumns);
        rows_ = ClampedWhole(TextToNumber(ControlText(Field(kRowsField))), kMinRows, kMaxRows);
        Layout();
        host_->EnableAccept();
    }

    void OnModelDragged(int width, int height) {
        columns_ = width / (2 * kTinyIconSize) - 1;
        rows_ = height / (2 * kTinyIconSize) - 2;
        ArrangeTinyIcons();
        ShowNumbers();
        host_->EnableAccept();
    }

    ModelFrame model_;
    int columns_ = kMinColumns, rows_ = kMinRows;
};

}  // namespace

std::unique_ptr<SettingsPage> MakeAltTabPage() { return std::make_unique<AltTabPage>(); }

}  // namespace kk
