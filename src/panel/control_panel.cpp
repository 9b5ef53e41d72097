#include "panel/control_panel.h"

#include "panel/artwork.h"
#include "panel/control_ids.h"
#include "services/wait_cursor.h"

#include <windowsx.h>

namespace kk {
namespace {

const int kButtonWidth = 75, kButtonHeight = 23, kMargin = 8;

HFONT MakeFont(const char* face, int pointsTenths, int weight) {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(pointsTenths, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

// The message font of the running system, read with the structure size
// that systems before Vista accept.
HFONT SystemMessageFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return nullptr;
    return CreateFontIndirectA(&metrics.lfMessageFont);
}

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
    SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

ControlPanel::ControlPanel() = default;

ControlPanel::~ControlPanel() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool ControlPanel::Create(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kControlPanelClass;
    RegisterClassExA(&wc);  // a second registration in the same process fails harmlessly

    // No system caption: the window draws its own title band and lets the
    // system move and size it through the hit test.
    hwnd_ = CreateWindowExA(WS_EX_APPWINDOW, kControlPanelClass, "", WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN,
                            CW_USEDEFAULT, CW_USEDEFAULT, 440, 300, nullptr, nullptr, instance, this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK ControlPanel::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<ControlPanel*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ControlPanel*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = self->OnMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

void ControlPanel::CreateControls() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
    auto make = [&](DWORD exStyle, const char* cls, const char* text, DWORD style, int id) {
        return CreateWindowExA(exStyle, cls, text, WS_CHILD | style, 0, 0, 10, 10, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    make(WS_EX_CLIENTEDGE, "STATIC", "", WS_VISIBLE | SS_WHITERECT, kIdViewFrame);
    make(0, "BUTTON", "&Apply", WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, kIdApply);
    make(0, "BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdCancel);
    make(0, "BUTTON", "A&bout", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdAbout);
    // Hidden until the uninstall mode says what it is doing.
    make(0, "STATIC", "", SS_CENTER | SS_NOTIFY, kIdWarning);

    font_.reset(SystemMessageFont());
    if (font_) EnumChildWindows(hwnd_, SetFontOnChild, reinterpret_cast<LPARAM>(font_.get()));
    titleFont_.reset(MakeFont("Tahoma", 160, FW_BOLD));
    subtitleFont_.reset(MakeFont("Tahoma", 80, FW_NORMAL));
}

void ControlPanel::ApplySystemFonts(bool vista, bool themeActive) {
    // Push buttons draw their focus rectangle only when no theme does it for them.
    for (int id : {kIdApply, kIdCancel, kIdAbout})
        SetPropA(Control(id), "FocusRectStyle", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(themeActive ? 0 : 1)));
    if (vista) {
        font_.reset(MakeFont("Segoe UI", 90, FW_NORMAL));
        titleFont_.reset(MakeFont("Segoe UI", 160, FW_BOLD));
        subtitleFont_.reset(MakeFont("Segoe UI", 85, FW_NORMAL));
    }
    if (font_) EnumChildWindows(hwnd_, SetFontOnChild, reinterpret_cast<LPARAM>(font_.get()));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ControlPanel::ShowWarning(const std::string& text) {
    HWND warning = Control(kIdWarning);
    SetWindowTextA(warning, text.c_str());
    Layout();
    ShowWindow(warning, SW_SHOW);
}

void ControlPanel::StartMaximizeTimer() { SetTimer(hwnd_, kMaximizeTimer, 50, nullptr); }

void ControlPanel::Layout() {
    RECT client;
    GetClientRect(hwnd_, &client);
    int w = client.right, h = client.bottom;
    int buttonTop = h - kMargin - kButtonHeight;
    MoveWindow(Control(kIdViewFrame), kMargin, kHeaderHeight + kMargin, w - 2 * kMargin,
               buttonTop - kMargin - kHeaderHeight - kMargin, TRUE);
    MoveWindow(Control(kIdAbout), kMargin, buttonTop, kButtonWidth, kButtonHeight, TRUE);
    MoveWindow(Control(kIdCancel), w - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight, TRUE);
    MoveWindow(Control(kIdApply), w - 2 * kMargin - 2 * kButtonWidth + 2, buttonTop, kButtonWidth, kButtonHeight,
               TRUE);
    // The uninstall notice sits in the middle of the client area.
    int ww = 260, wh = 20;
    MoveWindow(Control(kIdWarning), (w - ww) / 2, (h - wh) / 2, ww, wh, TRUE);
}

void ControlPanel::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    RECT band{0, 0, client.right, kHeaderHeight};
    DrawLogoBand(dc, band, titleFont_.get(), subtitleFont_.get());
}

void ControlPanel::OnMaximizeTimer() {
    KillTimer(hwnd_, kMaximizeTimer);
    if (maximizeTimerTag == "maximize") {
        ShowWindow(hwnd_, SW_MAXIMIZE);
        maximizeTimerTag.clear();
    }
    if (onFirstTick) onFirstTick(*this);
}

LRESULT ControlPanel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        CreateControls();
        Layout();
        return 0;
    case WM_SIZE:
        Layout();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd_, &client);
        client.top = kHeaderHeight;
        FillRect(reinterpret_cast<HDC>(wp), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Paint(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_NCHITTEST: {
        // The logo band moves the window; the frame still sizes it.
        LRESULT hit = DefWindowProcA(hwnd_, msg, wp, lp);
        if (hit == HTCLIENT) {
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ScreenToClient(hwnd_, &p);
            if (p.y < kHeaderHeight) return HTCAPTION;
        }
        return hit;
    }
    case WM_SETCURSOR:
        if (WaitCursor::Active()) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_TIMER:
        if (wp == kMaximizeTimer) OnMaximizeTimer();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == kIdCancel || LOWORD(wp) == IDCANCEL) {
            if (onCancel) onCancel(*this);
            else DestroyWindow(hwnd_);
        }
        return 0;
    case WM_SYSCOMMAND:
        // Every close request from outside is the program's own Cancel.
        if ((wp & 0xFFF0) == SC_CLOSE) {
            SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(kIdCancel, BN_CLICKED), 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(kIdCancel, BN_CLICKED), 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace kk
