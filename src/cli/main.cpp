// ambrolux-cli: the program's procedures without a desktop, for batch work.
#include <cstdio>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "GlobalOptions.h"

namespace amx::cli {

std::map<std::string, CliCommand>& CommandTable() {
    static std::map<std::string, CliCommand> table;
    return table;
}

}  // namespace amx::cli

namespace {

void PrintUsage(std::FILE* to) {
    std::fputs("Usage: ambrolux-cli COMMAND [options] FILE\n\nCommands:\n", to);
    for (const auto& [name, command] : amx::cli::CommandTable())
        std::fprintf(to, "  %-12s %s\n", name.c_str(), command.summary.c_str());
    std::fputs("\nRun 'ambrolux-cli COMMAND --help' for a command's options.\n\n", to);
    std::fputs(amx::cli::GlobalOptionsHelp(), to);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string optionError;
    if (!amx::cli::ParseGlobalOptions(args, amx::cli::Globals(), optionError)) {
        std::fprintf(stderr, "%s\n", optionError.c_str());
        return 2;
    }
    if (args.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(stdout);
        return 0;
    }
    auto& table = amx::cli::CommandTable();
    auto it = table.find(args[0]);
    if (it == table.end()) {
        std::fprintf(stderr, "Unknown command: %s\n", args[0].c_str());
        PrintUsage(stderr);
        return 2;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const auto& a : rest) {
        if (a == "--help" || a == "-h") {
            std::fputs(it->second.help.c_str(), stdout);
            return 0;
        }
    }
    return it->second.run(rest);
}
