#include "pages/foreground_keys.h"

#include "pages/send_keys.h"
#include "services/pending_messages.h"

#include <windows.h>

#include <cmath>
#include <vector>

namespace kk {
namespace {

struct TitleSearch {
    const std::string& title;
    HWND exact = nullptr, prefixed = nullptr;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<TitleSearch*>(data);
    if (!IsWindowVisible(hwnd)) return TRUE;
    char text[512] = {};
    const int length = GetWindowTextA(hwnd, text, sizeof text);
    const std::string& title = search->title;
    if (length < static_cast<int>(title.size())) return TRUE;
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text, static_cast<int>(title.size()), title.c_str(),
                       static_cast<int>(title.size())) != CSTR_EQUAL)
        return TRUE;
    if (length == static_cast<int>(title.size())) {
        search->exact = hwnd;
        return FALSE;
    }
    if (!search->prefixed) search->prefixed = hwnd;
    return TRUE;
}

// A window whose title is title, or else one whose title begins with it, is
// brought to the front; a failure changes nothing.
void ActivateByTitle(const std::string& title) {
    TitleSearch search{title};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    HWND target = search.exact ? search.exact : search.prefixed;
    if (!target) return;
    if (IsIconic(target)) ShowWindow(target, SW_RESTORE);
    SetForegroundWindow(target);
}

bool ForegroundTitleIs(const std::string& title) {
    HWND foreground = GetForegroundWindow();
    if (!foreground) return false;
    std::vector<char> text(title.size() + 1, '\0');
    const int length = GetWindowTextA(foreground, text.data(), static_cast<int>(text.size()));
    return length == static_cast<int>(title.size()) &&
           lstrcmpiA(text.data(), title.c_str()) == 0;
}

// Seconds on a clock that does not jump at midnight.
double Seconds() { return static_cast<double>(GetTickCount64()) / 1000.0; }

}  // namespace

void WaitForWindowTitle(const std::string& title, int seconds) {
    if (title.empty()) return;
    // The start is rounded, so the wait lasts half a second either side of seconds.
    const double start = std::round(Seconds());
    while (Seconds() - start <= seconds) {
        ActivateByTitle(title);
        PumpPendingMessages();
        if (ForegroundTitleIs(title)) return;
        // A short rest between looks, so the program it waits for gets the processor.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void SendKeysOnce(const std::string& keys) {
    cSendKeys sender;
    const SendKeysError ignored = sender.SendKeys(keys, false);
    (void)ignored;
}

}  // namespace kk
