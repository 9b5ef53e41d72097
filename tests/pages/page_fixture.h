// A settings page on a window of the test's own that forwards to the page what the dialog's panel forwards (commands,
// notifications, drawing): the test is the dialog around the page and counts the enabling of its Accept button. The
// recorder answers the page's messages.
#pragma once
#include "pages/page_controls.h"
#include "pages/settings_page.h"
#include "panel/bound_window.h"

#include "support/message_pump.h"
#include "support/recorder.h"
#include "support/scratch_registry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kktest {

class PageTest : public ::testing::Test, public kk::PageHost {
protected:
    void TearDown() override;
    HWND Window() const override { return hwnd_; }
    void EnableAccept() override { ++acceptEnabled; }
    HFONT Font() const override { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

    // Builds the page on a fresh panel and fills it; Accept starts disabled, as the dialog leaves it after the fill.
    void Open(std::unique_ptr<kk::SettingsPage> page, const std::string& pageValue);
    // The page's result, or "refused" when Accept said no and left the value alone.
    std::string Accepted();
    std::string Message(size_t i) const { return recorder.Message(i); }

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    std::string Text(int id) const { return kk::ControlText(Item(id)); }
    void SetText(int id, const std::string& text) { kk::SetControlText(Item(id), text); }
    void Click(int id);
    // Characters at the end of a text box, as the keyboard delivers them.
    void Type(int id, const std::string& chars);

    ScratchRegistry scratch;
    SystemRecorder recorder;
    int acceptEnabled = 0;
    std::unique_ptr<kk::SettingsPage> page_;
    HWND hwnd_ = nullptr;

private:
    friend LRESULT CALLBACK kk::BoundWindowProc<PageTest>(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace kktest
