// The command-line tool's file-modification options, as a user types them.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct CliRun {
    int code;
    std::string out;  // stdout and stderr together
};

CliRun RunCli(const std::string& args) {
    const std::string command = std::string(AMX_CLI_PATH) + " " + args + " 2>&1";
    CliRun r{-1, {}};
    FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(GlobalOptions, EveryHelpDocumentsThem) {
    for (const char* help : {"--help", "info --help", "explore --help", "limits --help", "convert --help"}) {
        const CliRun r = RunCli(help);
        EXPECT_EQ(r.code, 0) << help;
        for (const char* option : {"--missing COND", "--process-if COND", "--process-if-or", "--transform NAME",
                                   "--transform-a", "--transform-b", "--transform-c", "--normal-first", "--seed N"})
            EXPECT_NE(r.out.find(option), std::string::npos) << help << ": " << option;
    }
}

TEST(GlobalOptions, BadValuesStopBeforeAnyCommand) {
    struct Case {
        const char* args;
        const char* message;
    };
    const Case cases[] = {
        {"info --seed -3 x.amx", "--seed: Option --seed needs a whole number, not -3.\n"},
        {"info x.amx --transform", "--transform: 1 required NAME missing\n"},
        {"--missing=1 --missing=2 --missing=3 info x.amx", "At most two missing-value conditions.\n"},
        {"--missing=1 info --missing=2 --missing=3 x.amx", "At most two missing-value conditions.\n"},
        {"info --process-if a=1 --process-if b=1 --process-if c=1 x.amx", "At most two Process If conditions.\n"},
    };
    for (const auto& c : cases) {
        const CliRun r = RunCli(c.args);
        EXPECT_EQ(r.code, 2) << c.args;
        EXPECT_EQ(r.out.rfind(c.message, 0), 0u) << c.args << "\n" << r.out;
    }
}

TEST(GlobalOptions, AnalysesSeeTheRulesAndReportThem) {
    // Rscript -e 'l <- readLines("examples/shaft-diameters.amx")[-(1:5)]; f <- strsplit(l, "\t");
    //   d <- suppressWarnings(as.numeric(sapply(f, `[`, 1))); x <- na.omit(d[sapply(f, `[`, 2) == "2"])*1000 - 10000;
    //   print(round(c(length(x), mean(x), sd(x), min(x), max(x)), 2))'  ->  9 -1.22 9.39 -17.00 12.00
    const std::string file = std::string(AMX_EXAMPLES_DIR) + "/shaft-diameters.amx";
    // The rules may stand before or after the command name.
    const CliRun r = RunCli("--process-if 'Lot = 2' explore --columns Diameter --pages output --sections descriptives "
                            "--transform linear --transform-a 1000 --transform-b=-10000 " + file);
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_NE(r.out.find("Process If: Lot = 2\nTransform: 1000X -10000\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Shaft diameter (mm)  9  -1.22     9.39  -17.00  12.00  29.00"), std::string::npos) << r.out;

    const CliRun bad = RunCli("explore --columns Diameter --process-if 'Weight > 5' " + file);
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.out, "Process If column not found: Weight\n");
}

}  // namespace
