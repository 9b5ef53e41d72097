#include "engine/state_rules.h"

#include "engine/catalogue.h"
#include "engine/state_detector.h"

#include <algorithm>

namespace kk {
namespace {

constexpr size_t kLongestNumber = 10;   // the digits of a DWORD
constexpr size_t kPlacesSettings = 4;   // three view digits and the hide flag
constexpr size_t kPlacesCount = 5;

bool IsNumber(const std::string& text) {
    return !text.empty() && text.size() <= kLongestNumber &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

bool IsFlag(char c) { return c == '0' || c == '1'; }

size_t Nuls(const std::string& state) { return static_cast<size_t>(std::count(state.begin(), state.end(), kNul)); }

std::string OnOffProblem(int toolId, const std::string& state) {
    if (state == "0" || state == "1") return {};  // a bare flag keeps a tool's settings
    switch (toolId) {
    case 107:  // the flag, the prompt's number, its program, NUL, its arguments
        if (state.size() >= 2 && IsFlag(state[0]) && isdigit(static_cast<unsigned char>(state[1])) && Nuls(state) == 1)
            return {};
        return "takes 0 or 1, a number, a program, \\0 and its arguments";
    case 156:  // the flag, the prompt and open flags, the folder name
        if (state.size() >= 3 && IsFlag(state[0]) && IsFlag(state[1]) && IsFlag(state[2]) && Nuls(state) == 0)
            return {};
        return "takes three flags (0 or 1) and a folder name";
    default:
        return "takes 0 or 1";
    }
}

std::string SettingsProblem(int toolId, const std::string& state) {
    switch (toolId) {
    case 117:
        return Nuls(state) == 2 ? std::string() : "takes an owner, \\0, an organisation, \\0 and a source path";
    case 123:
        return state == "0" || state == "1" || state == "2" ? std::string() : "takes 0, 1 or 2";
    case 130:
        return IsNumber(state) ? std::string() : "takes a number";
    case 142: {
        const bool settings = state.size() > kPlacesSettings &&
                              IsNumber(state.substr(0, kPlacesSettings)) && state[kPlacesSettings] == kNul;
        // Five places, each after a NUL; the standard bar ends with one more.
        const size_t nuls = Nuls(state);
        if (settings && (nuls == kPlacesCount || nuls == kPlacesCount + 1)) return {};
        return "takes four digits and five places, each after \\0";
    }
    case 145: {
        const size_t nul = state.find(kNul);
        if (nul != std::string::npos && IsNumber(state.substr(0, nul)) && IsNumber(state.substr(nul + 1)) &&
            std::stoll(state.substr(0, nul)) > 0 && std::stoll(state.substr(nul + 1)) > 0)
            return {};
        return "takes a number of columns, \\0 and a number of rows";
    }
    case 150:
        return state.empty() || state == "0" || state == "1" ? std::string() : "takes 0 or 1";
    default:
        return {};
    }
}

}  // namespace

std::string StateProblem(int toolId, int kind, const std::string& state) {
    if (IsPluginToolId(toolId) || IsOnOffKind(kind)) return OnOffProblem(toolId, state);
    if (kind == kKindSettings) return SettingsProblem(toolId, state);
    return "has no state to set";
}

}  // namespace kk
