#pragma once
// Options every command takes: the file modifications (missing values,
// Process If, transform) and the random seed. main() takes them out of the
// arguments before the command sees the rest; a command applies them to its
// session right after loading its data file (a file load resets Process If
// and the transform).
#include <optional>
#include <string>
#include <vector>

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

// Removes the global options (as "--name value" or "--name=value") from args
// into `out`. False, with the message, on a missing or bad value.
bool ParseGlobalOptions(std::vector<std::string>& args, GlobalOptions& out, std::string& error);

// Seeds the random generator (from the clock without --seed) and sets the
// rules on a session whose data is loaded. Errors go to the session's
// messages; false when one was reported.
bool ApplyGlobalOptions(Session& s, const GlobalOptions& options = Globals());

// The options' section of the top-level --help.
const char* GlobalOptionsHelp();

}  // namespace amx::cli
