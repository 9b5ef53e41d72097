// One page of the settings dialog. The dialog frame creates the page's
// panel (its Frame), hands the page the row's settings text to fill from,
// and on Accept asks the page for its result. Every edit the user makes
// calls host.EnableAccept().
#pragma once
#include <windows.h>

#include <memory>
#include <string>

namespace kk {

// What a page may ask of the dialog around it.
class PageHost {
public:
    virtual ~PageHost() = default;
    // The dialog window: owner of the page's messages and pickers.
    virtual HWND Window() const = 0;
    // Enables the dialog's Accept button.
    virtual void EnableAccept() = 0;
    // The dialog's font, for the page's controls.
    virtual HFONT Font() const = 0;
};

class SettingsPage {
public:
    virtual ~SettingsPage() = default;
    // Creates the page's controls on panel, within its client area.
    virtual void Create(HWND panel, PageHost& host) = 0;
    // The fill step: shows pageValue (the row's settings text). Setting a
    // control runs the same handlers as the user's edit would.
    virtual void Fill(const std::string& pageValue) = 0;
    // The Accept step: validates, showing the page's message and answering
    // false when the result cannot be had; otherwise writes the result to
    // pageValue and answers true.
    virtual bool Accept(std::string& pageValue) = 0;
    // WM_COMMAND and WM_NOTIFY from the page's controls, sent to its panel.
    virtual void OnCommand(int id, int code, HWND control) {}
    virtual LRESULT OnNotify(const NMHDR& header) { return 0; }
    // WM_CTLCOLOR* for the page's controls; null for the default colours.
    virtual HBRUSH OnControlColour(HDC dc, HWND control) { return nullptr; }
    // Owner-drawn controls of the page (WM_DRAWITEM, WM_MEASUREITEM).
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& item) { return false; }
    virtual bool OnMeasureItem(MEASUREITEMSTRUCT& item) { return false; }
    // A message of the dialog's loop, before the dialog's own keys (Tab,
    // Enter, mnemonics); true when the page has used it.
    virtual bool PreTranslate(const MSG& msg) { return false; }
    // The dialog's Cancel, Esc or Alt+F4 (not its close box) is closing it.
    virtual void OnCancel() {}
    // Whether the dialog's Accept button is shown (About hides it).
    virtual bool HasAccept() const { return true; }
};

}  // namespace kk
