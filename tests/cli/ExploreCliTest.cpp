// ambrolux-cli explore: pages as aligned tables, the report, usage errors.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

const std::string kShafts = std::string(AMX_TEST_DATA_DIR) + "/../core/explore/data/shafts.amx";

struct CliRun {
    int status;
    std::string out;
};

// Runs the tool with stderr folded into the output.
CliRun Cli(const std::string& args) {
    std::string cmd = std::string(AMX_CLI_PATH) + " explore " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    CliRun r{-1, {}};
    if (!p) return r;
    std::array<char, 4096> buf;
    size_t got;
    while ((got = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), got);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// Limits as in R: t.test(x, conf.level = .99)$conf.int = 24.99629 25.02730;
// sqrt(23*var(x)/qchisq(c(.995, .005), 23)) = 0.01952090 0.04263865
TEST(ExploreCli, PagesPrintAsAlignedTables) {
    CliRun r = Cli("--columns Diameter --pages descriptives,ci --conf 99 --decimals 3 " + kShafts);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out,
              "Descriptives\n"
              "Variable         n    Mean  Std Dev     Low    High  Range\n"
              "Shaft Diameter  24  25.012    0.027  24.962  25.067  0.105\n"
              "\n"
              "99% Confidence Intervals\n"
              "Variable         n    Mean  Mean(L)  Mean(H)  Std Dev  Std Dev(L)  Std Dev(H)\n"
              "Shaft Diameter  24  25.012   24.996   25.027    0.027       0.020       0.043\n"
              "\n");
}

TEST(ExploreCli, ReferenceRunsCustomAndReport) {
    CliRun r = Cli("--measure 1 --reference Line,Shift --custom n,cpk --pages custom,output "
                "--sections descriptives --title Check " + kShafts);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Custom\nRun     n    Cpk\n(All)  24  1.087\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Check\nFile: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Reference = Production Line, Shift    Measure = Shaft Diameter\n"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("DESCRIPTIVES\nRun     n   Mean"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("QUARTILES"), std::string::npos) << "only the chosen section";
}

TEST(ExploreCli, OneColumnFileNeedsNoSelectionAndSavesTheReport) {
    const std::string dir = testing::TempDir();
    const std::string data = dir + "explore_one.amx", rtf = dir + "explore_one.rtf";
    std::FILE* f = std::fopen(data.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("Width\r\n1.5\r\n2.5\r\n4\r\n", f);
    std::fclose(f);
    CliRun r = Cli("--pages quartiles --rtf " + rtf + " " + data);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "Quartiles\nVariable  n   Low    Q1  Median    Q3  High\nWidth     3  1.50  1.50    2.50  4.00  4.00\n\n");
    std::FILE* saved = std::fopen(rtf.c_str(), "rb");
    ASSERT_NE(saved, nullptr);
    char head[6] = {};
    EXPECT_EQ(std::fread(head, 1, 5, saved), 5u);
    std::fclose(saved);
    EXPECT_STREQ(head, "{\\rtf");
    std::remove(data.c_str());
    std::remove(rtf.c_str());
}

TEST(ExploreCli, BadInputsFail) {
    struct Case {
        std::string args;
        int status;
        std::string text;
    };
    const Case cases[] = {
        {"--columns Nope " + kShafts, 2, "No such column: Nope"},
        {"--columns 1 --custom bogus " + kShafts, 2, "Unknown custom statistic: bogus"},
        {"--columns 1 --pages sideways " + kShafts, 2, "Unknown page: sideways"},
        {"--measure 1 " + kShafts, 2, "--measure and --reference go together"},
        {kShafts, 2, "Choose --columns"},
        {"--columns 1 --conf 150 " + kShafts, 1, "Confidence level must be a number between 0 and 100."},
        {"--columns 1 /nonexistent/file.amx", 1, ""},
    };
    for (const Case& c : cases) {
        CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find(c.text), std::string::npos) << c.args << "\n" << r.out;
    }
}

}  // namespace
