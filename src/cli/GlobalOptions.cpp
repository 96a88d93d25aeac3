#include "GlobalOptions.h"

#include "engine/distributions/RandomGenerator.h"
#include "session/Session.h"
#include "worksheet/modifications/ModificationOptions.h"

namespace amx::cli {

GlobalOptions& Globals() {
    static GlobalOptions options;
    return options;
}

void AddGlobalOptions(CLI::App& app, GlobalOptions& out) {
    const char* group = "File modifications (applied to the data as every analysis loads it)";
    app.add_option("--missing", out.missing,
                   "values that count as missing, e.g. \"=999\" or \">1000\"; give it twice for two "
                   "conditions joined by \"or\"")
        ->type_name("COND")
        ->group(group);
    app.add_option("--process-if", out.processIf,
                   "analyse only rows that meet COND: \"COLUMN REL VALUE\" with REL one of = > >= < <= <> in "
                   "\"Not in\", e.g. \"Weight > 5\" or \"Lot in 1,2\" (text columns compare by level number; a "
                   "blank list entry matches missing cells)")
        ->type_name("COND")
        ->group(group);
    app.add_flag("--process-if-or", out.processIfOr, "join two --process-if conditions by Or (default And)")
        ->group(group);
    app.add_option("--transform", out.transform,
                   "none, linear, power1, power2, inv, log, exp, arcsin, sin, uniform, normal, exponential, "
                   "chisquare (or 0-12)")
        ->type_name("NAME")
        ->group(group);
    app.add_option("--transform-a", out.a, "the constant A of the transform (default 1)")->type_name("A")->group(group);
    app.add_option("--transform-b", out.b, "the constant B of the transform (default 0)")->type_name("B")->group(group);
    app.add_option("--transform-c", out.c, "the constant C of the transform (default 1)")->type_name("C")->group(group);
    app.add_flag("--normal-first", out.normalFirst,
                 "replace each value by a random normal value (mean 10, sd 1) before the transform")
        ->group(group);
    app.add_option("--seed", out.seed, "seed the random generator (default: the clock)")
        ->type_name("N")
        ->check(CLI::Validator(
            [](std::string& v) {
                return v.empty() || v.find_first_not_of("0123456789") != std::string::npos
                           ? "Option --seed needs a whole number, not " + v + "."
                           : std::string();
            },
            ""))
        ->group(group);
}

bool JoinGlobalOptions(const GlobalOptions& before, const GlobalOptions& after, GlobalOptions& out,
                       std::string& error) {
    const GlobalOptions defaults;
    out = before;
    out.missing.insert(out.missing.end(), after.missing.begin(), after.missing.end());
    out.processIf.insert(out.processIf.end(), after.processIf.begin(), after.processIf.end());
    out.processIfOr = before.processIfOr || after.processIfOr;
    if (after.transform) out.transform = after.transform;
    if (after.a != defaults.a) out.a = after.a;
    if (after.b != defaults.b) out.b = after.b;
    if (after.c != defaults.c) out.c = after.c;
    out.normalFirst = before.normalFirst || after.normalFirst;
    if (after.seed) out.seed = after.seed;
    if (out.missing.size() > 2) {
        error = "At most two missing-value conditions.";
        return false;
    }
    if (out.processIf.size() > 2) {
        error = "At most two Process If conditions.";
        return false;
    }
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

}  // namespace amx::cli
