// The keystroke sender: types a string of keys into whatever window has the
// keyboard focus by injecting key-down and key-up events.
//
// Key syntax: plain characters; "+", "^" and "%" tap Shift, Ctrl and Alt,
// or hold them over a group in parentheses ("%(s)"); "~" is Enter; braces
// name a key with an optional repeat count ("{DOWN 3}", "{}}").
//
// It is the one module that reports failures with a number: SendKeys and
// KeyPress return a SendKeysError, which is empty (number 0) on success.
// Nothing is thrown. A caller checks the result where it calls:
//     if (const kk::SendKeysError e = keys.SendKeys("%s")) { ...e.number, e.description... }
// The result is [[nodiscard]], so an unchecked call is a compiler warning.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace kk {

enum SendKeysErrorNumber : long {
    kSendKeysNoCharacter = 5,        // a key name that is empty, so has no first character
    kSendKeysKeyNotInterpreted = 9,  // a key whose code comes out as 0
    // The syntax errors; each message names the 1-based position.
    kSendKeysUnmatchedClose = 1001,
    kSendKeysBraceWithoutContent = 1002,
    kSendKeysBraceWithoutClose = 1003,
    kSendKeysBadRepeatCount = 1004,
    kSendKeysUnclosedGroup = 1005,
};

struct SendKeysError {
    long number = 0;
    std::string source;  // the program's file name without extension, then ".cSendKeys"
    std::string description;
    explicit operator bool() const { return number != 0; }
};

class cSendKeys {
public:
    // Where the key events go (true for key-up). The default injects them
    // into the system's input stream with keybd_event; a test can record.
    using KeyEvent = std::function<void(BYTE vKey, bool up)>;

    cSendKeys();
    explicit cSendKeys(KeyEvent sink);

    // Types sKeys; every event is injected before it returns. Wait is
    // accepted for callers that pass it and has no effect. Keys typed before
    // an error stay typed; modifiers held by open groups are released.
    [[nodiscard]] SendKeysError SendKeys(const std::string& sKeys, bool Wait = false);
    // Presses and releases the key named in the table, or else the key that
    // types sKey's first character, lCount times.
    [[nodiscard]] SendKeysError KeyPress(const std::string& sKey, long lCount);
    void KeyDown(int vKey);
    void KeyUp(int vKey);
    // The virtual-key code that types sChar's first character, without its
    // shift state; 255 when no key types it; nothing for an empty text.
    std::optional<BYTE> KeyCode(const std::string& sChar) const;

private:
    BYTE TableCode(const std::string& name) const;  // 0 for a name not in the table
    static std::string NextChar(const std::string& text, size_t position, size_t length);
    SendKeysError Error(long number, const std::string& description) const;

    std::map<std::string, BYTE> keyTable_;  // upper-case names
    KeyEvent sink_;
};

}  // namespace kk
