// The narrow seam between the panel and the calls whose effects a test must
// observe but never let happen: message boxes, the shell's "open" verb,
// HTML Help and ending the Windows session. Production uses the real calls;
// an in-process test swaps in recorders and puts the real ones back after.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace kk {

struct SystemCalls {
    // Returns the pressed button's ID (IDOK, IDYES, ...).
    std::function<int(HWND owner, const std::string& text, const std::string& title, int style, int helpTopic)>
        messageBox;
    std::function<void(const std::string& file, const std::string& folder)> shellOpen;
    // A program or address with arguments, owned by a window (links). An
    // empty verb is the shell's default action for the file.
    std::function<void(HWND owner, const std::string& verb, const std::string& program,
                       const std::string& arguments, const std::string& folder)>
        startProgram;
    std::function<HWND(const std::string& helpFile, int context)> htmlHelp;
    // Shut down (1), restart (2) or log off (4); true when requested.
    std::function<bool(int mode)> restartOrLogOff;
};

SystemCalls& System();
SystemCalls RealSystemCalls();

// The window that owns the panel's message boxes (none in the command-line modes).
void SetMessageOwner(HWND owner);
HWND MessageOwner();

// A modal window owns the messages shown while it is open, so closing one
// never enables the window beneath it; the previous owner comes back after.
class MessageOwnerScope {
public:
    explicit MessageOwnerScope(HWND owner) : saved_(MessageOwner()) { SetMessageOwner(owner); }
    ~MessageOwnerScope() { SetMessageOwner(saved_); }
    MessageOwnerScope(const MessageOwnerScope&) = delete;
    MessageOwnerScope& operator=(const MessageOwnerScope&) = delete;

private:
    const HWND saved_;
};

// Every message of the panel goes through here. style is the sum of the
// standard message-box codes; helpTopic is what its Help button opens.
int ShowMessage(const std::string& text, const std::string& title, int style, int helpTopic = 0);

}  // namespace kk
