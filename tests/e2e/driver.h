// Drives Control Panel.exe from outside, as the user and the system would:
// installs it in the test prefix, starts it as its own process, and reads
// and presses its windows and message boxes.
#pragma once
#include <windows.h>

#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kke2e {

// Built with the panel, 32-bit or 64-bit, the test program's own registry
// calls (kk::GetString, ...) see the panel's view of HKLM\Software and HKCR.
using kk::kSuiteKey;
inline constexpr char kMainWindowClass[] = "KestrelkitControlPanel";
using Buttons = std::set<int>;  // the IDs of the visible buttons

// "/a/b" on the Linux side is "Z:\a\b" inside Wine.
std::string WinePath(const std::string& linuxPath);
std::string ReadFileBytes(const std::string& path);  // "" when unreadable
// A string value as its text, a DWORD as "dword:" and its decimal value;
// "absent" when there is no such value (which the read does not create).
std::string ReadValue(HKEY root, const std::string& key, const std::string& name);
// What Wine reports to panels and kkctl started from now on ("winme" ... "win7").
void SetPanelWindowsVersion(const std::string& version);

// A clean start: removes HKLM and HKCU SOFTWARE\Marrowby, copies the panel
// and kkctl.exe (withStandIns: and the stand-in shell-extension DLLs) to C:\Program
// Files\Marrowby\Kestrelkit\, names that folder in InstallPath and has Wine
// report Windows XP, and sets NoAutoUpdate: Apply has no startup module to
// start or close. Returns the copy's path, "" on failure.
std::string InstallPanel(bool withStandIns = false);

// Polls until ready() holds or timeoutMs passes; returns the last answer.
bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs);

// A visible standard message box (#32770): its title, its text (the static
// with ID 0xFFFF) and its buttons.
struct MessageBoxView {
    HWND hwnd = nullptr;
    std::string title, text;
    Buttons buttons;
};

// One started program with this process's environment, killed if still
// running when the object goes. Every wait through it watches its
// top-level windows, so a test can ask afterwards what ever became visible.
class Process {
public:
    // The command line is the quoted path, a blank and tail. With handles
    // for its output and errors it runs without a console window.
    static Process Start(const std::string& program, const std::string& tail = "", HANDLE out = nullptr,
                         HANDLE err = nullptr);
    Process() = default;
    Process(Process&&) = default;
    Process& operator=(Process&&) = default;
    ~Process();

    bool Running() const;
    // The program's exit code once it has ended; STILL_ACTIVE when it still
    // runs after timeoutMs.
    DWORD ExitCode(DWORD timeoutMs = 5000);
    // Gone without an exit code of its own, or never started: Wine, on a
    // loaded machine, now and then loses a new process before it runs.
    bool Lost() const;
    // The first visible top-level window of the class; null when none
    // showed in time or the program ended.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 5000);
    MessageBoxView WaitForMessageBox(DWORD timeoutMs = 5000);
    bool ShowedWindow() const { return showedWindow_; }  // other than a message box
    bool ShowedMessageBox() const { return showedMessageBox_; }

private:
    // The visible top-level windows, noted for ShowedWindow and ShowedMessageBox.
    std::vector<HWND> Watch();

    kk::UniqueKernel process_;
    DWORD pid_ = 0;
    bool showedWindow_ = false, showedMessageBox_ = false;
};

// A window's own text, asked of it (another process's control does not
// keep its caption up to date); "" from a window that does not answer.
std::string WindowText(HWND window);
// Clicks a dialog's button once it is enabled: BM_CLICK posted to the button itself.
bool Press(HWND dialog, int buttonId);
// Presses the main window's Apply once pending changes have enabled it,
// answers the box titled boxTitle with OK when Apply is to show one, and
// waits until Apply has greyed out again with Cancel renamed Close.
bool ApplyChanges(Process& panel, HWND main, const std::string& boxTitle = "");
// Presses a message box's button and waits until the box has gone.
bool Answer(const MessageBoxView& box, int buttonId);
// A row control of the panel: GetDlgItem through frame 20 and surface 21.
HWND RowControl(HWND main, int controlId);

// Every row of another process's list view as "text[/second column]/picture",
// read through memory borrowed in the list's process.
std::vector<std::string> ListRows(HWND list);
// The point x pixels into row i of a list, half-way down, in the list's client pixels.
POINT InListRow(HWND list, int i, int x);
// Input is posted, so it arrives in order, as the keyboard and mouse give it.
void PostKey(HWND window, int key, int times = 1);
void PostChars(HWND window, const std::string& text);
// The mouse as the window sees it: a move to `press`, a left press there,
// moves with the button held through each point of `path`, and the release
// at the last; a click without a path.
void PostDrag(HWND window, POINT press, const std::vector<POINT>& path = {});

}  // namespace kke2e
