// ambrolux-cli: the program's procedures without a desktop, for batch work.
// The command line is parsed by CLI11 from the declarations of the global
// options (GlobalOptions.h) and of each command (CliCommand.h).
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "CliCommand.h"
#include "GlobalOptions.h"

namespace amx::cli {

std::map<std::string, CliCommand>& CommandTable() {
    static std::map<std::string, CliCommand> table;
    return table;
}

int UsageError(const std::string& command, const std::string& text) {
    std::fprintf(stderr, "%s\nRun 'ambrolux-cli %s --help' for the options.\n", text.c_str(), command.c_str());
    return 2;
}

namespace {

// Help pages that start with the usage line: "Usage: ambrolux-cli CMD
// [OPTIONS] FILE", then what the command does, its options by group and the
// closing notes.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
        if (mode == CLI::AppFormatMode::Sub) return CLI::Formatter::make_help(app, name, mode);
        std::string out = make_usage(app, name);
        const std::string description = app->get_description();
        if (!description.empty()) out += "\n" + description + "\n";
        out += make_positionals(app);
        out += make_groups(app, mode);
        out += make_subcommands(app, mode);
        const std::string footer = make_footer(app);
        if (!footer.empty()) out += "\n" + footer;
        return out;
    }
    // The command list shows each command's one-line summary.
    std::string make_subcommand(const CLI::App* sub) const override {
        std::stringstream out;
        auto it = CommandTable().find(sub->get_name());
        CLI::detail::format_help(out, sub->get_name(), it == CommandTable().end() ? "" : it->second.summary,
                                 column_width_);
        return out.str();
    }
};

}  // namespace
}  // namespace amx::cli

int main(int argc, char** argv) {
    using namespace amx::cli;
    CLI::App app{"The procedures of Ambrolux without a desktop, for batch work.", "ambrolux-cli"};
    app.formatter(std::make_shared<HelpFormatter>());
    app.get_formatter()->column_width(26);
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.get_formatter()->label("SUBCOMMANDS", "COMMANDS");
    app.require_subcommand(1);
    app.footer("Run 'ambrolux-cli COMMAND --help' for a command's options. The file modifications may also\n"
               "follow the command name.\n\n"
               "Exit status: 0 on success, 1 when the program reported an error, 2 on bad usage.");
    GlobalOptions before;
    AddGlobalOptions(app, before);

    struct Entry {
        CLI::App* app;
        GlobalOptions globals;
        CommandRun run;
    };
    std::vector<std::unique_ptr<Entry>> entries;
    for (auto& [name, command] : CommandTable()) {
        auto entry = std::make_unique<Entry>();
        entry->app = app.add_subcommand(name, command.summary);
        entry->app->formatter(app.get_formatter());
        entry->app->group("Commands");
        entry->run = command.declare(*entry->app);
        AddGlobalOptions(*entry->app, entry->globals);
        entries.push_back(std::move(entry));
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }
    for (const auto& entry : entries) {
        if (!entry->app->parsed()) continue;
        std::string error;
        if (!JoinGlobalOptions(before, entry->globals, Globals(), error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
        return entry->run();
    }
    return 2;
}
