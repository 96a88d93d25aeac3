// ambrolux-cli limits: options, report on stdout, messages on stderr, exit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int code;
    std::string out, err;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Outcome RunCli(const std::string& args) {
    auto dir = std::filesystem::temp_directory_path() / ("amx-limits-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string command = std::string("'") + AMX_CLI_PATH + "' limits " + args + " >'" + (dir / "out").string() +
                          "' 2>'" + (dir / "err").string() + "'";
    int status = std::system(command.c_str());
    Outcome o{WEXITSTATUS(status), ReadFile(dir / "out"), ReadFile(dir / "err")};
    std::filesystem::remove_all(dir);
    return o;
}

TEST(LimitsCommand, ReportsMessagesAndExitCodes) {
    struct Case {
        const char* args;
        int code;
        const char* out;
        const char* err;  // empty: nothing on stderr; otherwise its start
    };
    const Case cases[] = {
        {"--chart c --method 'Exact Poisson' --statistic 20", 0,
         "Control Limit Calculations:  c Chart\n"
         "Method used: Exact Poisson\n"
         "Standard Errors = 3\n"
         "\n"
         "       UCL = 35.5000           SE = 4.4721\n"
         "Centerline = 20.0000            n = 1\n"
         "       LCL = 7.5000\n",
         ""},
        {"--chart=np --method=2 --statistic=5 --n=50 --decimals=1", 0,
         "Control Limit Calculations:  np Chart\n"
         "Method used: Exact Binomial\n"
         "Standard Errors = 3\n"
         "\n"
         "       UCL = 12.5              SE = 2.1\n"
         "Centerline = 5.0                n = 50\n"
         "       LCL = none\n",
         ""},
        {"--chart X-Bar --x 1,000 --statistic 2.32593 --n 5 --std-err 3 --decimals 3", 0,
         "Control Limit Calculations:  X-Bar Chart\n"
         "Statistic used: Average Range = 2.32593\n"
         "Standard Errors = 3\n"
         "\n"
         "       UCL = 1,001.342      sigma = 1.000\n"
         "Centerline = 1,000.000          n = 5\n"
         "       LCL = 998.658\n",
         ""},
        {"--chart s2 --method 'known std dev' --statistic 1 --n 1", 1,
         "Control Limit Calculations:  s² Chart\n"
         "Statistic used: Known Std Dev = 1\n"
         "Standard Errors = 3\n"
         "\n"
         "Sample size must be larger than 1\n",
         ""},
        {"--chart R --statistic 0 --n 5", 1, "", "Statistic must be greater than 0!\n"},
        {"--chart u --statistic 2 --n 0", 1, "", "n must be greater than 0!\n"},
        {"--chart X-Bar --statistic 1 --n 2.5", 1, "", "n must be a whole number!\n"},
        {"--chart c --method 2 --statistic 1e19 --decimals 0", 0,
         "Control Limit Calculations:  c Chart\n"
         "Method used: Exact Poisson\n"
         "Standard Errors = 3\n"
         "\n"
         "       UCL = 1.0000000009486833E19   SE = 3,162,277,660\n"
         "Centerline = 1E19               n = 1\n"
         "       LCL = 9.99999999051316702E18\n",
         ""},
        {"--chart X --method 4 --statistic 1", 0, nullptr, ""},
        {"--chart Q --statistic 1", 2, "", "Unknown chart: Q"},
        {"--chart p --method 'Exact Poisson' --statistic 0.1 --n 50", 2, "",
         "Unknown method for the p chart: Exact Poisson"},
        {"--statistic 1", 2, "", "--chart is required"},
        {"--chart c", 2, "", "--statistic is required"},
        {"--chart c --statistic 4 --colour red", 2, "", "The following arguments were not expected: red --colour"},
        {"--chart c --statistic", 2, "", "--statistic: 1 required NUMBER missing"},
        {"--chart c --statistic 4 --format csv", 2, "", "--format csv writes one table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Outcome o = RunCli(c.args);
        EXPECT_EQ(o.code, c.code);
        if (c.out) {
            EXPECT_EQ(o.out, c.out);
        }
        if (*c.err == 0) {
            EXPECT_EQ(o.err, "");
        } else {
            EXPECT_EQ(o.err.rfind(c.err, 0), 0u) << o.err;
        }
    }
}

TEST(LimitsCommand, HelpAndRichTextCopy) {
    Outcome help = RunCli("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Usage: ambrolux-cli limits"), std::string::npos);
    EXPECT_NE(help.out.find("Exact Poisson"), std::string::npos);

    auto rtf = std::filesystem::temp_directory_path() / ("amx-limits-" + std::to_string(::getpid()) + ".rtf");
    Outcome o = RunCli("--chart c --statistic 19.85 --rtf '" + rtf.string() + "'");
    EXPECT_EQ(o.code, 0);
    std::string text = ReadFile(rtf);
    std::filesystem::remove(rtf);
    EXPECT_EQ(text.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(text.find("UCL = 33.2160"), std::string::npos);
    EXPECT_NE(text.find("LCL = 6.4840"), std::string::npos);
}

}  // namespace
