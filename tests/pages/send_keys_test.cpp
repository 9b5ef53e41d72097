// The keystroke sender: key strings as recorded key events, its numbered errors, and real events typed into a
// window of the test's own.
#include "pages/send_keys.h"

#include "panel/bound_window.h"
#include "support/message_pump.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace kk;

namespace {

std::string KeyName(BYTE vk) {
    for (const auto& [code, name] : {std::pair{VK_SHIFT, "Shift"}, {VK_CONTROL, "Ctrl"}, {VK_MENU, "Alt"},
                                     {VK_RETURN, "Enter"}, {VK_LEFT, "Left"}, {VK_DOWN, "Down"}})
        if (code == vk) return name;
    const bool plain = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
    return plain ? std::string(1, static_cast<char>(vk)) : std::to_string(vk);
}

std::string Press(const std::string& key, int times = 1) {
    std::string events;
    while (times-- > 0) events += (events.empty() ? "+" : " +") + key + " -" + key;
    return events;
}

// A sender that writes its events down as "+Shift +A -A -Shift" (+ down, - up).
struct Recorded {
    std::string events;
    cSendKeys sender{[this](BYTE vk, bool up) {
        events += (events.empty() ? "" : " ") + std::string(up ? "-" : "+") + KeyName(vk);
    }};
    std::string Of(const std::string& keys) {
        const SendKeysError error = sender.SendKeys(keys);
        EXPECT_FALSE(error) << keys << ": " << error.description;
        return std::exchange(events, "");
    }
};

TEST(SendKeysSyntax, ModifiersGroupsNamedKeysAndCharacters) {
    Recorded keys;
    EXPECT_EQ(keys.Of("%(S)"), "+Alt +Shift +S -S -Shift -Alt");
    EXPECT_EQ(keys.Of("+a"), Press("Shift") + " " + Press("A")) << "a modifier alone does not combine";
    EXPECT_EQ(keys.Of("^(%(x)y)"), "+Ctrl +Alt " + Press("X") + " -Alt " + Press("Y") + " -Ctrl");
    for (const char* enter : {"{ENTER}", "{enter}", "{~}", "~"}) EXPECT_EQ(keys.Of(enter), Press("Enter")) << enter;
    EXPECT_EQ(keys.Of("{LEFT 3}{Down  2}{LEFT 0}"), Press("Left", 3) + " " + Press("Down", 2));
    EXPECT_EQ(keys.Of("{bs}{BKSP}{Break}{prtsc}{f1}{F16}{scrolllock}{PgDn}"),
              "+8 -8 +8 -8 +19 -19 +42 -42 +112 -112 +127 -127 +145 -145 +34 -34");
    EXPECT_EQ(keys.Of("Ab!"), "+Shift " + Press("A") + " -Shift " + Press("B") + " " + Press("1"))
        << "capitals get Shift, shifted symbols do not";
    EXPECT_EQ(keys.Of("{NOSUCHKEY}"), Press("N")) << "an unknown name presses its first character's key";
    const std::string closing = KeyName(*keys.sender.KeyCode("}"));
    EXPECT_EQ(keys.Of("{}}{} 2}"), Press(closing, 3));
    EXPECT_EQ(keys.Of("\xE9"), Press("255")) << "no key of the layout types it";
}

TEST(SendKeysSyntax, ErrorsCarryNumberPositionAndSourceAndReleaseHeldModifiers) {
    // events: typed before the error, then the releases.
    struct Case { const char* keys; long number; const char* description; std::string events; };
    const Case cases[] = {
        {"a)", kSendKeysUnmatchedClose, "Invalid sendkeys command: unmatched ) at position 2", Press("A")},
        {"^(%(a", kSendKeysUnclosedGroup, "Invalid sendkeys command: more open brackets than close brackets.",
         "+Ctrl +Alt " + Press("A") + " -Alt -Ctrl"},
        {"ab{", kSendKeysBraceWithoutContent,
         "Invalid sendkeys command; opening { without content or closing } at position 3",
         Press("A") + " " + Press("B")},
        {"x{ab", kSendKeysBraceWithoutClose, "Invalid sendkeys command; opening { without closing } at position 2",
         Press("X")},
        {"%({LEFT x}", kSendKeysBadRepeatCount,
         "Invalid sendkeys command; key repetitions 'x' is invalid near position 11", "+Alt -Alt"},
        {"{TAB 99999999999}", kSendKeysBadRepeatCount,
         "Invalid sendkeys command; key repetitions '99999999999' is invalid near position 18", ""},
        {"+({ 2}", kSendKeysNoCharacter, "A key needs a name or a character.", "+Shift -Shift"},
    };
    Recorded keys;
    const std::string source = "window_tests-" + kktest::WindowsVersion() + ".cSendKeys";
    for (const Case& c : cases) {
        const SendKeysError error = keys.sender.SendKeys(c.keys);
        EXPECT_EQ(std::to_string(error.number) + "|" + error.description + "|" + error.source + "|" + keys.events,
                  std::to_string(c.number) + "|" + c.description + "|" + source + "|" + c.events);
        keys.events.clear();
    }
    EXPECT_EQ(keys.Of("b"), Press("B")) << "no group stays open into the next call";
}

// A window of the test's own: a multi-line edit with the focus, and a button with the mnemonic S.
class TypingTarget : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterBoundClass(nullptr, "KkKeysTarget", BoundWindowProc<TypingTarget>, GetSysColorBrush(COLOR_BTNFACE));
        CreateWindowExA(0, "KkKeysTarget", "Typing target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                        nullptr, nullptr, nullptr, this);
        ASSERT_TRUE(hwnd_);
        edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 10, 10, 360, 180,
                                hwnd_, nullptr, nullptr, nullptr);
        CreateWindowExA(0, "BUTTON", "&Settings", WS_CHILD | WS_VISIBLE, 10, 200, 100, 26, hwnd_,
                        reinterpret_cast<HMENU>(101), nullptr, nullptr);
        SetForegroundWindow(hwnd_);
        SetFocus(edit_);
        kktest::Pump();
        ASSERT_EQ(GetForegroundWindow(), hwnd_) << "the injected keys would go elsewhere";
    }
    void TearDown() override { DestroyWindow(hwnd_); }
    // A real sender; then what arrives is handled, by IsDialogMessage first.
    std::string Typed(const std::string& keys) {
        const SendKeysError error = cSendKeys().SendKeys(keys);
        EXPECT_FALSE(error) << keys << ": " << error.description;
        // A key of no meaning sent last: once it has arrived, every key before it has been handled.
        INPUT marker[2]{};
        for (INPUT& in : marker) in.type = INPUT_KEYBOARD, in.ki.wVk = VK_F24;
        marker[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, marker, sizeof(INPUT));
        bool arrived = false;
        EXPECT_TRUE(kktest::PumpUntil([&] { return arrived; }, 5000, hwnd_, [&](const MSG& m) {
            arrived |= m.message == WM_KEYUP && m.wParam == VK_F24;
            return false;
        }));
        char buffer[256] = {};
        GetWindowTextA(edit_, buffer, sizeof buffer);
        return buffer;
    }

    std::vector<int> clicked;
    HWND edit_ = nullptr;
private:
    friend LRESULT CALLBACK BoundWindowProc<TypingTarget>(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) clicked.push_back(LOWORD(wp));
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
    HWND hwnd_ = nullptr;
};

TEST_F(TypingTarget, TextArrivesInTheFocusedWindowNoModifierStaysDownAndAltPressesAMnemonic) {
    EXPECT_EQ(Typed("Abc+(de)f1!"), "AbcDEf11") << "'!' is typed as its key without Shift";
    EXPECT_EQ(Typed("{HOME}{DEL}x{END}{BS}{BACKSPACE}~two{LEFT 3}{BS}{END}{}}{{}"), "xbcDEftwo][")
        << "Enter broke the line, the back space joined it again; braces without Shift";
    EXPECT_EQ(cSendKeys().SendKeys("^(+(a").number, kSendKeysUnclosedGroup);
    Typed("");
    for (int vk : {VK_MENU, VK_CONTROL, VK_SHIFT}) EXPECT_FALSE(GetKeyState(vk) & 0x8000) << vk << " stayed down";
    // Alt and a letter press the button of that mnemonic.
    Typed("%(S)");
    EXPECT_EQ(clicked, std::vector<int>{101}) << "with Shift as well, as the menu speed page sends it";
    SetFocus(edit_);  // the mnemonic moved it to the button
    EXPECT_EQ(Typed("s"), "xbcDEftwo][s") << "without Alt the letter is typed";
    EXPECT_EQ(clicked.size(), 1u);
}

}  // namespace
