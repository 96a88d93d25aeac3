#pragma once
// Options every command takes: the file modifications (missing values,
// Process If, transform) and the random seed. They are declared on the
// program (before the command name) and on every command (after it); main()
// joins the two into Globals(). A command applies them to its session right
// after loading its data file (a file load resets Process If and the
// transform); LoadDataFile does that.
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace amx {
struct Session;
}

namespace amx::cli {

struct GlobalOptions {
    std::vector<std::string> missing;    // "--missing COND", up to two, joined by "or"
    std::vector<std::string> processIf;  // "--process-if COND", up to two
    bool processIfOr = false;            // join the two by Or instead of And
    std::optional<std::string> transform;
    std::string a = "1", b = "0", c = "1";
    bool normalFirst = false;
    std::optional<unsigned long long> seed;
};

// The options of this run (set by main()).
GlobalOptions& Globals();

// Declares the options on `app`, bound to `out`.
void AddGlobalOptions(CLI::App& app, GlobalOptions& out);
// `before` (given ahead of the command name) joined with `after`: lists
// append, single values from `after` win. False, with the message, when the
// result has more conditions than the program takes.
bool JoinGlobalOptions(const GlobalOptions& before, const GlobalOptions& after, GlobalOptions& out,
                       std::string& error);

// Seeds the random generator (from the clock without --seed) and sets the
// rules on a session whose data is loaded. Errors go to the session's
// messages; false when one was reported.
bool ApplyGlobalOptions(Session& s, const GlobalOptions& options = Globals());

}  // namespace amx::cli
