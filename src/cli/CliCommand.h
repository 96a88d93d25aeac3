#pragma once
// Each ambrolux-cli command lives in its own file under commands/ and adds
// itself to the table with a static CliCommandRegistration.
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace amx::cli {

struct CliCommand {
    std::string name;
    std::string summary;  // one line for the command list
    std::string help;     // full text for 'ambrolux-cli NAME --help'
    // Arguments after the command name. Returns the process exit code:
    // 0 success, 1 the program reported an error, 2 bad usage.
    std::function<int(const std::vector<std::string>& args)> run;
};

std::map<std::string, CliCommand>& CommandTable();

struct CliCommandRegistration {
    explicit CliCommandRegistration(CliCommand command) {
        CommandTable()[command.name] = std::move(command);
    }
};

}  // namespace amx::cli
