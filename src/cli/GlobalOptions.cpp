#include "GlobalOptions.h"

#include <cerrno>
#include <cstdlib>

#include "engine/distributions/RandomGenerator.h"
#include "session/Session.h"
#include "worksheet/modifications/ModificationOptions.h"

namespace amx::cli {

GlobalOptions& Globals() {
    static GlobalOptions options;
    return options;
}

bool ParseGlobalOptions(std::vector<std::string>& args, GlobalOptions& out, std::string& error) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (name.rfind("--", 0) == 0) {
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
                inlineValue = true;
            }
        }
        auto take = [&]() -> bool {
            if (inlineValue) return true;
            if (i + 1 >= args.size()) {
                error = "Option " + name + " needs a value.";
                return false;
            }
            value = args[++i];
            return true;
        };
        if (name == "--missing") {
            if (!take()) return false;
            out.missing.push_back(value);
        } else if (name == "--process-if") {
            if (!take()) return false;
            out.processIf.push_back(value);
        } else if (name == "--process-if-or" && !inlineValue) {
            out.processIfOr = true;
        } else if (name == "--transform") {
            if (!take()) return false;
            out.transform = value;
        } else if (name == "--transform-a") {
            if (!take()) return false;
            out.a = value;
        } else if (name == "--transform-b") {
            if (!take()) return false;
            out.b = value;
        } else if (name == "--transform-c") {
            if (!take()) return false;
            out.c = value;
        } else if (name == "--normal-first" && !inlineValue) {
            out.normalFirst = true;
        } else if (name == "--seed") {
            if (!take()) return false;
            char* end = nullptr;
            errno = 0;
            const unsigned long long seed = std::strtoull(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || errno != 0 || value[0] == '-') {
                error = "Option --seed needs a whole number, not " + value + ".";
                return false;
            }
            out.seed = seed;
        } else {
            rest.push_back(args[i]);
        }
    }
    if (out.missing.size() > 2) {
        error = "At most two missing-value conditions.";
        return false;
    }
    if (out.processIf.size() > 2) {
        error = "At most two Process If conditions.";
        return false;
    }
    args = std::move(rest);
    return true;
}

bool ApplyGlobalOptions(Session& s, const GlobalOptions& options) {
    if (options.seed)
        RandomSeed(s.RandSeed, *options.seed);
    else
        Randomize(s.RandSeed);
    // No one is there to ask whether blank list entries mean missing values:
    // a blank typed into a list on the command line means just that.
    const bool pending = s.BlankCommaQuestionPending, blankMissing = s.BlankCommasAreMissing;
    s.BlankCommaQuestionPending = false;
    s.BlankCommasAreMissing = true;
    std::string error;
    bool ok = (options.missing.empty() || SetMissingRuleFromTexts(s, options.missing, error)) &&
              (options.processIf.empty() || SetProcessIfFromTexts(s, options.processIf, options.processIfOr, error)) &&
              (!options.transform ||
               SetTransformFromTexts(s, *options.transform, options.a, options.b, options.c, options.normalFirst, error));
    s.BlankCommaQuestionPending = pending;
    s.BlankCommasAreMissing = blankMissing;
    if (!ok) s.messages->Error(error);
    return ok;
}

const char* GlobalOptionsHelp() {
    return "File modifications (any command; applied to the data as every analysis loads it):\n"
           "  --missing COND         values that count as missing, e.g. \"=999\" or \">1000\";\n"
           "                         give it twice for two conditions joined by \"or\"\n"
           "  --process-if COND      analyse only rows that meet COND: \"COLUMN REL VALUE\"\n"
           "                         with REL one of = > >= < <= <> in \"Not in\", e.g.\n"
           "                         \"Weight > 5\" or \"Lot in 1,2\" (text columns compare by\n"
           "                         level number; a blank list entry matches missing cells)\n"
           "  --process-if-or        join two --process-if conditions by Or (default And)\n"
           "  --transform NAME       none, linear, power1, power2, inv, log, exp, arcsin, sin,\n"
           "                         uniform, normal, exponential, chisquare (or 0-12)\n"
           "  --transform-a A        the constants of the transform (defaults 1, 0, 1)\n"
           "  --transform-b B\n"
           "  --transform-c C\n"
           "  --normal-first         replace each value by a random normal value (mean 10,\n"
           "                         sd 1) before the transform\n"
           "  --seed N               seed the random generator (default: the clock)\n";
}

}  // namespace amx::cli
