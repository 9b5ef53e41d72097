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

// The scratch installation: the panel copied to this folder, named by
// HKLM SOFTWARE\Marrowby\Kestrelkit InstallPath. Returns the copy's path.
inline constexpr char kInstallFolder[] = "C:\\Program Files\\Marrowby\\Kestrelkit\\";
std::string InstallPanel();

// Removes HKLM and HKCU SOFTWARE\Marrowby with everything below.
void ClearSuiteKeys();
bool WriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
void DeleteValue(HKEY root, const std::string& key, const std::string& name);

// The Windows version Wine reports to panels started from now on
// ("winme", "win98", "win2k", "winxp", "win2003", "vista", "win7").
void SetPanelWindowsVersion(const std::string& version);

// Polls until ready() holds or timeoutMs passes; returns the last answer.
bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs);

using Environment = std::vector<std::pair<std::string, std::string>>;

// One started program. Every wait through it also watches the program's
// top-level windows, so a test can ask afterwards what ever appeared.
// A program still running when the object goes is killed.
class Process {
public:
    // program's command line is its quoted path, a blank and tail; extra
    // adds to (or replaces in) this process's environment.
    static Process Start(const std::string& program, const std::string& tail = "", const Environment& extra = {});
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

    // Looks at the windows now; the waits below call it as they poll.
    void Watch();
    bool ShowedWindow() const { return showedWindow_; }      // a visible window other than a message box
    bool ShowedMessageBox() const { return showedMessageBox_; }

private:
    kk::UniqueKernel process_;
    DWORD pid_ = 0;
    bool showedWindow_ = false, showedMessageBox_ = false;
};

std::string WindowText(HWND window);
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className = nullptr);

// The panel's main window (class KestrelkitControlPanel), once visible.
HWND WaitForMainWindow(Process& panel, DWORD timeoutMs);

// A standard message box (#32770) of the process: title, text, and its
// visible buttons by ID with their texts (ampersands removed).
struct MessageBoxView {
    HWND hwnd = nullptr;
    std::string title, text;
    std::map<int, std::string> buttons;
};
MessageBoxView WaitForMessageBox(Process& process, DWORD timeoutMs);

// Presses a button of a dialog as a click would: the button's own BM_CLICK.
bool Press(HWND dialog, int buttonId);

// The file's whole contents ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);

}  // namespace kke2e
