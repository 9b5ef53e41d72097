#include "app/command_line.h"

namespace kk {

std::string CommandLineTail(const char* fullCommandLine) {
    if (!fullCommandLine) return {};
    const char* p = fullCommandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    // Only the separator after the name goes; trailing blanks stay significant.
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

StartMode ModeFromCommandLine(const std::string& tail) {
    if (tail == "/updatecheck") return StartMode::AutomaticUpdateCheck;
    if (tail == "/updatecheckchm") return StartMode::UpdateCheckFromHelp;
    return StartMode::Panel;
}

bool WantsUninstall(const std::string& tail) { return tail.find("/uninstall") != std::string::npos; }

}  // namespace kk
