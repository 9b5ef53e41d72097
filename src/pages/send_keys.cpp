#include "pages/send_keys.h"

#include "engine/registry.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace kk {

namespace {

struct NamedKey {
    const char* name;
    BYTE vKey;
};

// 42 is the print key (VK_PRINT), not print-screen: names that older
// key strings rely on keep their old meaning.
const NamedKey kKeyTable[] = {
    {"BACKSPACE", 8}, {"BS", 8},       {"BKSP", 8},        {"BREAK", 19},     {"CAPSLOCK", 20}, {"DELETE", 46},
    {"DEL", 46},      {"DOWN", 40},    {"END", 35},        {"ENTER", 13},     {"~", 13},        {"ESC", 27},
    {"HELP", 47},     {"HOME", 36},    {"INS", 45},        {"INSERT", 45},    {"LEFT", 37},     {"NUMLOCK", 144},
    {"PGDN", 34},     {"PGUP", 33},    {"PRTSC", 42},      {"RIGHT", 39},     {"SCROLLLOCK", 145},
    {"TAB", 9},       {"UP", 38},
};

BYTE ModifierKey(char c) {
    switch (c) {
    case '+': return VK_SHIFT;
    case '^': return VK_CONTROL;
    case '%': return VK_MENU;
    default: return 0;
    }
}

std::string Upper(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool IsCapital(char c) {
    const std::string s(1, c);
    return Upper(s) == s && LowerCase(s) != s;
}

// A repeat count: a decimal number, blanks around it allowed, that fits in
// a long. Fractions are rounded.
std::optional<long> RepeatCount(const std::string& text) {
    const std::string trimmed = TrimSpaces(text);
    if (trimmed.empty()) return std::nullopt;
    size_t i = 0, digits = 0;
    if (trimmed[i] == '+' || trimmed[i] == '-') ++i;
    for (; i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9'; ++i) ++digits;
    if (i < trimmed.size() && trimmed[i] == '.')
        for (++i; i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9'; ++i) ++digits;
    if (digits == 0 || i != trimmed.size()) return std::nullopt;
    const double value = std::strtod(trimmed.c_str(), nullptr);
    if (std::fabs(value) > 2147483647.0) return std::nullopt;
    return std::lround(value);
}

std::string ProgramBaseName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.rfind('\\') + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void InjectKey(BYTE vKey, bool up) {
    // Every key carries the extended bit, as the sender always has.
    keybd_event(vKey, 0, up ? KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP : KEYEVENTF_EXTENDEDKEY, 0);
}

}  // namespace

cSendKeys::cSendKeys() : cSendKeys(InjectKey) {}

cSendKeys::cSendKeys(KeyEvent sink) : sink_(std::move(sink)) {
    for (const NamedKey& key : kKeyTable) keyTable_[key.name] = key.vKey;
    for (int n = 1; n <= 16; ++n) keyTable_["F" + std::to_string(n)] = static_cast<BYTE>(VK_F1 + n - 1);
}

BYTE cSendKeys::TableCode(const std::string& name) const {
    const auto found = keyTable_.find(Upper(name));
    return found == keyTable_.end() ? 0 : found->second;
}

void cSendKeys::KeyDown(int vKey) { sink_(static_cast<BYTE>(vKey), false); }
void cSendKeys::KeyUp(int vKey) { sink_(static_cast<BYTE>(vKey), true); }

std::optional<BYTE> cSendKeys::KeyCode(const std::string& sChar) const {
    if (sChar.empty()) return std::nullopt;
    SHORT scan;
    if (GetVersion() & 0x80000000u) {  // the 9x family has no VkKeyScanW
        scan = VkKeyScanA(sChar[0]);
    } else {
        wchar_t wide[2] = {};
        const int size = sChar.size() > 1 ? 2 : 1;  // enough for a double-byte character
        if (!MultiByteToWideChar(CP_ACP, 0, sChar.data(), size, wide, 2)) return BYTE(255);
        scan = VkKeyScanW(wide[0]);
    }
    return LOBYTE(scan);
}

SendKeysError cSendKeys::KeyPress(const std::string& sKey, long lCount) {
    BYTE vk = TableCode(sKey);
    if (vk == 0) {
        const std::optional<BYTE> code = KeyCode(sKey);
        if (!code) return Error(kSendKeysNoCharacter, "A key needs a name or a character.");
        vk = *code;
    }
    if (vk == 0) return Error(kSendKeysKeyNotInterpreted, "Key " + sKey + " could not be interpreted.");
    for (long n = 0; n < lCount; ++n) {
        KeyDown(vk);
        KeyUp(vk);
    }
    return {};
}

std::string cSendKeys::NextChar(const std::string& text, size_t position, size_t length) {
    if (length == 0) length = text.size();
    return position + 1 <= length && position + 1 <= text.size() ? text.substr(position, 1) : std::string();
}

SendKeysError cSendKeys::Error(long number, const std::string& description) const {
    return {number, ProgramBaseName() + ".cSendKeys", description};
}

SendKeysError cSendKeys::SendKeys(const std::string& sKeys, bool /*Wait*/) {
    std::vector<char> groups;  // modifiers whose "(" is open, oldest first
    // Releases what the open groups hold, newest first, and reports.
    auto fail = [&](SendKeysError error) {
        while (!groups.empty()) {
            KeyUp(ModifierKey(groups.back()));
            groups.pop_back();
        }
        return error;
    };
    const size_t length = sKeys.size();
    size_t i = 1;  // positions count from 1, as the messages do
    while (i <= length) {
        const char c = sKeys[i - 1];
        if (const BYTE modifier = ModifierKey(c)) {
            if (NextChar(sKeys, i, length) == "(") {
                groups.push_back(c);
                KeyDown(modifier);
                i += 2;
            } else {  // tapped by itself; it does not combine with the next character
                KeyDown(modifier);
                KeyUp(modifier);
                i += 1;
            }
        } else if (c == '~') {
            KeyDown(VK_RETURN);
            KeyUp(VK_RETURN);
            i += 1;
        } else if (c == ')') {
            if (groups.empty())
                return fail(Error(kSendKeysUnmatchedClose,
                                  "Invalid sendkeys command: unmatched ) at position " + std::to_string(i)));
            KeyUp(ModifierKey(groups.back()));
            groups.pop_back();
            i += 1;
        } else if (c == '{') {
            const size_t open = i;
            if (open + 2 > length)
                return fail(Error(kSendKeysBraceWithoutContent,
                                  "Invalid sendkeys command; opening { without content or closing } at position " +
                                      std::to_string(open)));
            // The search starts past the first content character, so "{}}" names the closing brace.
            const size_t close = sKeys.find('}', open + 1);  // 0-based index of position open + 2
            if (close == std::string::npos)
                return fail(Error(kSendKeysBraceWithoutClose,
                                  "Invalid sendkeys command; opening { without closing } at position " +
                                      std::to_string(open)));
            const std::string content = sKeys.substr(open, close - open);
            i = close + 2;  // the position after the closing brace
            std::string name = content;
            long count = 1;
            const size_t blank = content.find(' ');
            if (blank != std::string::npos) {
                name = content.substr(0, blank);
                const std::string repeat = content.substr(blank + 1);
                const std::optional<long> parsed = RepeatCount(repeat);
                if (!parsed)
                    return fail(Error(kSendKeysBadRepeatCount, "Invalid sendkeys command; key repetitions '" + repeat +
                                                                   "' is invalid near position " + std::to_string(i)));
                count = *parsed;
            }
            if (SendKeysError error = KeyPress(name, count)) return fail(error);
        } else {
            const bool capital = IsCapital(c);
            if (capital) KeyDown(VK_SHIFT);
            const SendKeysError error = KeyPress(std::string(1, c), 1);
            if (capital) KeyUp(VK_SHIFT);
            if (error) return fail(error);
            i += 1;
        }
    }
    if (!groups.empty())
        return fail(Error(kSendKeysUnclosedGroup, "Invalid sendkeys command: more open brackets than close brackets."));
    return {};
}

}  // namespace kk
