// ambrolux-cli varchart: a small worksheet through the setup and engine, the
// setup's messages on stderr, and the test options.
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

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class VarChartCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("amx-varchart-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        std::ofstream f(dir_ / "w.amx", std::ios::binary);
        f << "X\tSet\r\n";
        const double x[] = {10, 12, 11, 13, 9, 10, 11, 12, 10, 12, 11, 30};
        for (int i = 0; i < 12; ++i) f << x[i] << "\t" << (i < 10 ? 1 : 2) << "\r\n";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    Outcome Run(const std::string& args) {
        const std::string command = std::string("'") + AMX_CLI_PATH + "' varchart " + args + " '" +
                                    (dir_ / "w.amx").string() + "' >'" + (dir_ / "out").string() + "' 2>'" +
                                    (dir_ / "err").string() + "'";
        const int status = std::system(command.c_str());
        return {WEXITSTATUS(status), ReadAll(dir_ / "out"), ReadAll(dir_ / "err")};
    }
    std::filesystem::path dir_;
};

TEST_F(VarChartCommand, MeanAndRangeBySize) {
    auto o = Run("--measures X --size 5 --decimals 3");
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.out.find("Variables Control Chart: X"), std::string::npos) << o.out;
    // Two ranges 4 and 2 give K = 1.2898; the pair 11, 30 gives a third.
    EXPECT_NE(o.out.find("Point  Label  Set  n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("Sigma method: Average Range"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("Set 0: 3 points"), std::string::npos) << o.out;
}

TEST_F(VarChartCommand, IndividualsWithSetsAndTests) {
    auto o = Run("--measures X --sets Set --tests O --decimals 2");
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.out.find("Set 1: 10 points, grand mean 11.00"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("Set 2: 2 points, grand mean 20.50"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("Sigma method: Average MR"), std::string::npos) << o.out;
}

TEST_F(VarChartCommand, SetupErrorsGoToStderr) {
    struct Case {
        const char* args;
        int code;
        const char* err;
    };
    const Case cases[] = {
        {"--measures X --size 5 --loc-limits 'Known Std Dev' --sigma 0", 1, "Known Sigma Not Valid!\n"},
        {"--measures X --std-err 0", 1, "Std Err Not Valid!\n"},
        {"--measures X --loc-limits 'User Defined' --loc-ucl 10 --loc-cl 12", 1,
         "User Defined Location Limits Not Valid!\n"},
        {"--measures Nope", 2, "No such column: Nope"},
        {"--measures X --zone1 5/5", 2, "A zone rule needs K below M"},
    };
    for (const auto& c : cases) {
        auto o = Run(c.args);
        EXPECT_EQ(o.code, c.code) << c.args;
        EXPECT_EQ(o.err.rfind(c.err, 0), 0u) << c.args << "\n" << o.err;
    }
}

}  // namespace
