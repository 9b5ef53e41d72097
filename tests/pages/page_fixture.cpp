#include "pages/page_fixture.h"

#include "pages/settings_dialog.h"
#include "panel/bound_window.h"

namespace kktest {

void PageTest::TearDown() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void PageTest::Open(std::unique_ptr<kk::SettingsPage> page, const std::string& pageValue) {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    page_ = std::move(page);
    ASSERT_TRUE(page_);
    kk::RegisterBoundClass(nullptr, "KkPageTestPanel", kk::BoundWindowProc<PageTest>, GetSysColorBrush(COLOR_BTNFACE));
    CreateWindowExA(WS_EX_CONTROLPARENT, "KkPageTestPanel", "Page", WS_POPUP | WS_VISIBLE, 60, 60, 476, 236, nullptr,
                    nullptr, nullptr, this);
    ASSERT_TRUE(hwnd_);
    page_->Create(hwnd_, *this);
    page_->Fill(pageValue);
    Pump(hwnd_);
    acceptEnabled = 0;
}

std::string PageTest::Accepted() {
    std::string result = "before";
    if (page_->Accept(result)) return result;
    return result == "before" ? "refused" : "refused, yet changed to " + result;
}

void PageTest::Click(int id) {
    SendMessageA(Item(id), BM_CLICK, 0, 0);
    Pump(hwnd_);
}

void PageTest::Type(int id, const std::string& chars) {
    const int end = GetWindowTextLengthA(Item(id));
    SendMessageA(Item(id), EM_SETSEL, end, end);
    for (char c : chars) SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(c), 1);
    Pump(hwnd_);
}

LRESULT PageTest::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return kk::PagePanelMessage(page_.get(), hwnd_, msg, wp, lp);
}

}  // namespace kktest
