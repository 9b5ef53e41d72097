#include "kkctl/console.h"

#include "engine/handles.h"
#include "engine/registry_journal.h"
#include "services/system_calls.h"

#include <cstdio>

namespace kk {
namespace {

constexpr DWORD kStillRunning = STILL_ACTIVE;
int g_handedOverExitCode = kExitRefused;

// The message boxes' CR line breaks as console lines.
std::string AsLines(const std::string& text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines += text[i] == '\r' ? '\n' : text[i];
    }
    return lines;
}

int ConsoleMessage(HWND, const std::string& text, const std::string& title, int style, int) {
    const int buttons = style & MB_TYPEMASK;
    const bool question = buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
    if (question && DryRunActive()) return IDNO;  // a preview asks nothing
    std::fprintf(stderr, "%s\n", AsLines(text).c_str());
    if (question) std::fprintf(stderr, "(%s: kkctl answers No.)\n", title.c_str());
    std::fflush(stderr);
    return question ? IDNO : IDOK;
}

// Runs the other build's kkctl in this console with the same arguments and
// keeps its exit code.
void RunAndWait(HWND, const std::string&, const std::string& program, const std::string& arguments,
                const std::string& folder) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &info))
        return;
    UniqueKernel process(info.hProcess), thread(info.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = kStillRunning;
    if (GetExitCodeProcess(process.get(), &code)) g_handedOverExitCode = static_cast<int>(code);
}

}  // namespace

void UseConsoleSystemCalls() {
    SystemCalls& calls = System();
    calls.messageBox = ConsoleMessage;
    calls.startProgram = RunAndWait;
    calls.shellOpen = [](const std::string&, const std::string&) {};
    calls.htmlHelp = [](const std::string&, int) -> HWND { return nullptr; };
    calls.restartOrLogOff = [](int) { return false; };
}

int HandedOverExitCode() { return g_handedOverExitCode; }

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);  // before any later message on standard error
}

void PrintError(const std::string& text) { std::fprintf(stderr, "kkctl: %s\n", text.c_str()); }

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            json += escape;
        } else {
            json += static_cast<char>(c);
        }
    }
    return json + "\"";
}

}  // namespace kk
