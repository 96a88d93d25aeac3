// --format json|csv of every command that prints results, standard input as
// the data file, and --help listing every option.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

const std::string kShafts = std::string(AMX_TEST_DATA_DIR) + "/../core/explore/data/shafts.amx";
const std::string kSmall = std::string(AMX_TEST_DATA_DIR) + "/small.amx";

struct CliRun {
    int code = -1;
    std::string out;  // stdout only
};

CliRun Cli(const std::string& args) {
    const std::string command = std::string(AMX_CLI_PATH) + " " + args + " 2>/dev/null";
    CliRun r;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(ResultFormats, ExploreJsonHoldsTheTextTablesValues) {
    const std::string args = "explore --columns Diameter --pages descriptives,normality,output --sections ci "
                             "--decimals 3 --missing '>25.06' ";
    const CliRun text = Cli(args + kShafts);
    const CliRun js = Cli(args + "--format json " + kShafts);
    ASSERT_EQ(text.code, 0);
    ASSERT_EQ(js.code, 0);
    const json run = json::parse(js.out);
    EXPECT_EQ(run["command"], "explore");
    EXPECT_EQ(run["file"], kShafts);
    EXPECT_EQ(run["modifications"], json::array({"Missing When: X > 25.06"}));
    ASSERT_EQ(run["tables"].size(), 2u);
    const json& d = run["tables"][0];
    EXPECT_EQ(d["name"], "descriptives");
    EXPECT_EQ(d["columns"], json::array({"Variable", "n", "Mean", "Std Dev", "Low", "High", "Range"}));
    const json& row = d["rows"][0];
    EXPECT_EQ(row["Variable"], "Shaft Diameter");
    EXPECT_TRUE(row["n"].is_number_integer());
    // The same figures as the aligned text line.
    const size_t at = text.out.find("\nShaft Diameter ");
    ASSERT_NE(at, std::string::npos);
    std::string words = text.out.substr(at + 16, text.out.find('\n', at + 1) - at - 16);
    char expected[200];
    std::snprintf(expected, sizeof expected, "%lld %.3f %.3f %.3f %.3f %.3f", row["n"].get<long long>(),
                  row["Mean"].get<double>(), row["Std Dev"].get<double>(), row["Low"].get<double>(),
                  row["High"].get<double>(), row["Range"].get<double>());
    std::string squeezed;
    for (char c : words)
        if (c != ' ' || (!squeezed.empty() && squeezed.back() != ' ')) squeezed += c;
    EXPECT_EQ(squeezed, expected);
    // Each test's p-value under its own name; the report as text.
    const json& normality = run["tables"][1]["rows"][0];
    EXPECT_TRUE(normality["(S-W)W p-value"].is_number());
    EXPECT_NE(run["report"].get<std::string>().find("Missing When: X > 25.06"), std::string::npos);
    EXPECT_NE(text.out.find(run["report"].get<std::string>()), std::string::npos);
}

TEST(ResultFormats, CsvIsOneTable) {
    const std::string file = testing::TempDir() + "formats_two.amx";
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("Width,Note\r\n1.5,\"a, b\"\r\n2.5,c\r\n", f);
    std::fclose(f);
    const CliRun csv = Cli("explore --columns Width --pages descriptives --format csv " + file);
    ASSERT_EQ(csv.code, 0);
    EXPECT_EQ(csv.out, "Variable,n,Mean,Std Dev,Low,High,Range\nWidth,2,2.00,0.71,1.50,2.50,1.00\n");
    EXPECT_EQ(Cli("explore --columns Width --format csv " + file).code, 2) << "several pages";
    const CliRun info = Cli("info --format csv " + file);
    EXPECT_EQ(info.out.substr(0, info.out.find('\n')), "Column,Name,Kind,Rows,Present,Levels,Title,USL,Target,LSL");
    std::remove(file.c_str());
}

TEST(ResultFormats, InfoAndLimitsJson) {
    const json info = json::parse(Cli("info --format json " + kSmall).out);
    ASSERT_EQ(info["tables"][0]["rows"].size(), 3u);
    const json& diameter = info["tables"][0]["rows"][0];
    EXPECT_EQ(diameter["Name"], "Diameter");
    EXPECT_EQ(diameter["Present"], 4);
    EXPECT_EQ(diameter["USL"], 10.05);
    EXPECT_TRUE(diameter["Levels"].is_null());
    EXPECT_EQ(info["tables"][0]["rows"][2]["Levels"], 3);

    const CliRun limits = Cli("limits --chart c --statistic 20 --format json");
    ASSERT_EQ(limits.code, 0);
    const json run = json::parse(limits.out);
    EXPECT_EQ(run["command"], "limits");
    EXPECT_TRUE(run["file"].is_null());
    EXPECT_EQ(run["report"].get<std::string>().rfind("Control Limit Calculations:  c Chart\n", 0), 0u);
}

TEST(ResultFormats, DashReadsStandardInput) {
    const CliRun piped = Cli("info - < '" + kSmall + "'");
    const CliRun named = Cli("info '" + kSmall + "'");
    ASSERT_EQ(piped.code, 0);
    EXPECT_EQ(piped.out.substr(0, 8), "File: -\n");
    EXPECT_EQ(piped.out.substr(piped.out.find('\n')), named.out.substr(named.out.find('\n')));
    const CliRun explore = Cli("explore --columns 1 --pages d - < '" + kShafts + "'");
    EXPECT_EQ(explore.code, 0);
    EXPECT_NE(explore.out.find("Shaft Diameter  24"), std::string::npos) << explore.out;
}

TEST(ResultFormats, HelpListsEveryOption) {
    struct Case {
        const char* command;
        std::vector<const char*> options;
    };
    const Case cases[] = {
        {"info", {"FILE", "--format"}},
        {"convert", {"IN", "OUT"}},
        {"explore",
         {"FILE", "--columns", "--measure", "--reference", "--conf", "--decimals", "--pool", "--pool-nt", "--custom",
          "--pages", "--sections", "--title", "--rtf", "--tabs", "--format"}},
        {"limits", {"--chart", "--method", "--x", "--statistic", "--n", "--std-err", "--decimals", "--rtf", "--format"}},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(std::string(c.command) + " --help");
        EXPECT_EQ(r.code, 0) << c.command;
        for (const char* option : c.options)
            EXPECT_TRUE(r.out.find(std::string("  ") + option + " ") != std::string::npos ||
                        r.out.find(std::string("  ") + option + ",") != std::string::npos)
                << c.command << " " << option;
    }
}

}  // namespace
