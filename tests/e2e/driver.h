// Drives Control Panel.exe from outside, as the user and the system would:
// installs it in the test prefix, starts it as its own process, and reads
// and presses its windows and message boxes.
#pragma once
#include <windows.h>

#include "engine/handles.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kke2e {

// "/a/b" on the Linux side is "Z:\a\b" inside Wine.
std::string WinePath(const std::string& linuxPath);
std::string FixturePath(const std::string& name);

// Copies the panel to kInstallFolder and names the folder in HKLM
// SOFTWARE\Marrowby\Kestrelkit InstallPath; returns the copy's path.
// withStandIns also copies the stand-in shell-extension DLLs beside it.
inline constexpr char kInstallFolder[] = "C:\\Program Files\\Marrowby\\Kestrelkit\\";
std::string InstallPanel(bool withStandIns = false);

// Removes HKLM and HKCU SOFTWARE\Marrowby with everything below.
void ClearSuiteKeys();
bool WriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value);

// What Wine reports to panels started from now on ("winme" ... "win7").
void SetPanelWindowsVersion(const std::string& version);

// Polls until ready() holds or timeoutMs passes; returns the last answer.
bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs);

// One started program, killed if still running when the object goes.
// Every wait through it watches its top-level windows, so a test can ask
// afterwards what ever became visible.
class Process {
public:
    // The command line is the quoted path, a blank and tail; extra adds to
    // (or replaces in) this process's environment.
    static Process Start(const std::string& program, const std::string& tail = "",
                         const std::vector<std::pair<std::string, std::string>>& extra = {});
    Process() = default;
    Process(Process&&) = default;
    Process& operator=(Process&&) = default;
    ~Process() { Kill(); }

    explicit operator bool() const { return static_cast<bool>(process_); }
    DWORD pid() const { return pid_; }
    bool Running() const;
    // True when the program ended within timeoutMs; *exitCode gets its code.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();

    void Watch();
    bool ShowedWindow() const { return showedWindow_; }  // other than a message box
    bool ShowedMessageBox() const { return showedMessageBox_; }

private:
    kk::UniqueKernel process_;
    DWORD pid_ = 0;
    bool showedWindow_ = false, showedMessageBox_ = false;
};

std::string WindowText(HWND window);
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className = nullptr);

// The panel's main window (class KestrelkitControlPanel) once visible.
HWND WaitForMainWindow(Process& panel, DWORD timeoutMs);

// A visible standard message box (#32770) of the process: its title, text
// (the static with ID 0xFFFF) and visible buttons by ID, ampersands removed.
struct MessageBoxView {
    HWND hwnd = nullptr;
    std::string title, text;
    std::map<int, std::string> buttons;
};
MessageBoxView WaitForMessageBox(Process& process, DWORD timeoutMs);

// Clicks a dialog's button: BM_CLICK posted to the button itself.
bool Press(HWND dialog, int buttonId);

// A row control of the panel: GetDlgItem through frame 20 and surface 21.
HWND RowControl(HWND main, int controlId);
// BM_GETCHECK of a row's check box; -1 when it does not answer.
int CheckState(HWND main, int toolId);

std::string ReadFileBytes(const std::string& path);  // "" when unreadable

}  // namespace kke2e
