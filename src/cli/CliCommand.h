#pragma once
// The commands of ambrolux-cli. Each lives in its own file under commands/
// and adds itself to the table with a static CliCommandRegistration; main()
// turns every entry into a CLI11 subcommand, so a command's options, their
// types, ranges and help texts are declared once and both parsing and
// '--help' come from them.
//
// Writing a command:
//
//   struct Options { std::string file; int decimals = 2; OutputOptions output; };
//   int Run(const Options& o);  // 0; 1 when the program reported an error
//
//   const CliCommandRegistration kName{"name", "one line for the command list",
//       [](CLI::App& app) {
//           auto o = std::make_shared<Options>();
//           app.add_option("--decimals", o->decimals, "decimals, 0-9")->check(CLI::Range(0, 9));
//           AddDataFileArgument(app, o->file);   // DataInput.h: FILE, "-" for stdin
//           AddFormatOption(app, o->output);     // ResultOutput.h: --format text|json|csv
//           app.footer("Exit status: ...");
//           return [o] { return Run(*o); };
//       }};
//
// CLI11 rejects unknown options, missing values and values out of range with
// exit code 2 before Run is called. Problems only Run can see in the values
// (an unknown column name) return UsageError("text") (exit 2); analysis
// errors are the program's messages on stderr and exit 1. Tables and report
// text go through ResultOutput, which prints them as --format asks.
#include <functional>
#include <map>
#include <string>

#include <CLI/CLI.hpp>

namespace amx::cli {

using CommandRun = std::function<int()>;

struct CliCommand {
    std::string name;
    std::string summary;  // one line for the command list
    // Declares the options on the command's subcommand; returns what runs
    // after a successful parse.
    std::function<CommandRun(CLI::App&)> declare;
};

std::map<std::string, CliCommand>& CommandTable();

struct CliCommandRegistration {
    CliCommandRegistration(std::string name, std::string summary, std::function<CommandRun(CLI::App&)> declare) {
        CommandTable()[name] = CliCommand{name, std::move(summary), std::move(declare)};
    }
};

// Prints "text" and the hint to the command's --help on stderr; returns 2.
int UsageError(const std::string& command, const std::string& text);

}  // namespace amx::cli
