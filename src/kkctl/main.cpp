// Entry of kkctl.exe, the console program: the panel's list, history and
// apply engine from a command line or a script.
#include "app/command_line.h"
#include "app/single_instance.h"
#include "app/startup_checks.h"
#include "engine/suite.h"
#include "kkctl/commands.h"
#include "kkctl/console.h"
#include "kkctl/profile.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace kk;

constexpr size_t kOutputBufferSize = 64 * 1024;

constexpr char kUsage[] =
    "Usage: kkctl COMMAND [ARGUMENTS]\n"
    "  status [--json]          every row: ToolId, kind, state and caption\n"
    "  set [--dry-run] ID=STATE ...\n"
    "                           applies the states as the panel's Apply does\n"
    "  preview ID=STATE ...     the registry changes set would make\n"
    "  history                  the changes made, newest first\n"
    "  undo [ENTRY]             undoes an entry (the newest when none is named)\n"
    "  export FILE              writes a profile of every tool's state\n"
    "  import FILE              applies a profile\n"
    "  reset                    every tool off and the defaults back, as uninstalling does\n"
    "  help                     this text\n"
    "States are written as status shows them: \\0 is a NUL, \\t a tab, \\\\ a backslash.\n"
    "Exit codes: 0 done, 1 refused or failed, 2 usage.\n";

int Usage(const std::string& problem) {
    if (!problem.empty()) PrintError(problem);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

int Run(const std::string& command, std::vector<std::string> args) {
    const bool json = !args.empty() && args[0] == "--json";
    const bool dryRun = !args.empty() && args[0] == "--dry-run";
    if (command == "status" && args.size() == static_cast<size_t>(json)) return StatusCommand(json);
    if (command == "set") {
        if (dryRun) args.erase(args.begin());
        return SetCommand(args, dryRun);
    }
    if (command == "preview") return SetCommand(args, true);
    if (command == "history" && args.empty()) return HistoryCommand();
    if (command == "undo" && args.size() <= 1) return UndoCommand(args.empty() ? "" : args[0]);
    if (command == "export" && args.size() == 1) return ExportCommand(args[0]);
    if (command == "import" && args.size() == 1) return ImportCommand(args[0]);
    if (command == "reset" && args.empty()) return ResetCommand();
    return Usage("wrong arguments for " + command);
}

bool Writes(const std::string& command, const std::vector<std::string>& args) {
    if (command == "set") return args.empty() || args[0] != "--dry-run";
    return command == "undo" || command == "import" || command == "reset";
}

}  // namespace

int main(int argc, char** argv) {
    // To a console or NUL standard output is unbuffered, and the C library
    // then writes it a byte at a time; buffered, each Print is one write.
    std::setvbuf(stdout, nullptr, _IOFBF, kOutputBufferSize);
    UseConsoleSystemCalls();
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) return Usage("");
    const std::string& command = words[0];
    if (command == "help" || command == "--help" || command == "/?") {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }
    static const char* const kCommands[] = {"status", "set", "preview", "history", "undo", "export", "import", "reset"};
    if (std::find(std::begin(kCommands), std::end(kCommands), command) == std::end(kCommands))
        return Usage("unknown command " + command);

    // As the panel: on 64-bit Windows the 64-bit program does the work.
    if (HandOverTo64BitPanel(CommandLineTail(GetCommandLineA()), false)) return HandedOverExitCode();
    const std::string folder = CheckSystemAndInstallation(ModulePath());
    if (folder.empty()) return kExitRefused;
    SetInstallPath(folder);

    const std::vector<std::string> args(words.begin() + 1, words.end());
    InstanceClaim claim;
    if (Writes(command, args) && !claim.Claim()) {
        PrintError("the Kestrelkit Control Panel or another kkctl is changing settings now; close it and try again");
        return kExitRefused;
    }
    return Run(command, args);
}
