// The info and convert commands, run as the real program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct CliRun {
    int exit = -1;
    std::string out, err;
};

class WorksheetCommands : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("amx-cli-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    CliRun Cli(const std::string& args) const {
        const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        std::string command = std::string("'") + AMX_CLI_PATH + "' " + args + " >'" + out.string() + "' 2>'" +
                              err.string() + "'";
        int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
    }
    static std::string Data(const std::string& name) { return std::string(AMX_TEST_DATA_DIR) + "/" + name; }
    std::string Temp(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(WorksheetCommands, InfoListsEveryColumn) {
    const std::string file = Data("small.amx");
    CliRun r = Cli("info '" + file + "'");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "File: " + file +
                  "\n"
                  "Columns: 3\n"
                  "Rows: 5\n"
                  "\n"
                  "Column 1: Diameter\n"
                  "  Kind: numeric\n"
                  "  Present: 4\n"
                  "  Title: Shaft diameter (mm)\n"
                  "  USL: 10.05\n"
                  "  Target: 10.00\n"
                  "  LSL: 9.95\n"
                  "\n"
                  "Column 2: Lot\n"
                  "  Kind: numeric\n"
                  "  Present: 5\n"
                  "\n"
                  "Column 3: Operator\n"
                  "  Kind: text\n"
                  "  Present: 5\n"
                  "  Levels: 3 (Anna, Ben, Carla)\n");
}

TEST_F(WorksheetCommands, InfoMarksALimitThatIsNotANumber) {
    const std::string file = Temp("bad.amx");
    std::ofstream(file, std::ios::binary) << "W\r\nUSL:\tten\r\n1\r\n";
    CliRun r = Cli("info '" + file + "'");
    EXPECT_EQ(r.exit, 0);
    EXPECT_NE(r.out.find("  USL: ten (not a number)\n"), std::string::npos) << r.out;
}

TEST_F(WorksheetCommands, ConvertWritesTheProgramsOwnFormat) {
    struct Case {
        const char* input;
        std::string expected;
    };
    const Case cases[] = {
        // Already in the program's format: written back byte for byte.
        {"small.amx", ReadFile(Data("small.amx"))},
        // Comma-separated, Windows-1252, mixed line ends and a comment.
        {"small.csv",
         "Part\tWidth\tInspector\r\nA-1\t12.5\tJos\xe9\r\nA-2\t\tMia\r\nA-3\t12.7\tJos\xe9\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        CliRun r = Cli("convert '" + Data(c.input) + "' '" + Temp("out.amx") + "'");
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(ReadFile(Temp("out.amx")), c.expected);
    }
}

TEST_F(WorksheetCommands, ConvertThroughAWorkbookAndBack) {
    for (const char* name : {"small.amx", "small.csv"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Cli("convert '" + Data(name) + "' '" + Temp("w.xlsx") + "'").exit, 0);
        CliRun back = Cli("convert '" + Temp("w.xlsx") + "' '" + Temp("back.amx") + "'");
        ASSERT_EQ(back.exit, 0) << back.err;
        ASSERT_EQ(Cli("convert '" + Data(name) + "' '" + Temp("direct.amx") + "'").exit, 0);
        EXPECT_EQ(ReadFile(Temp("back.amx")), ReadFile(Temp("direct.amx")));
        CliRun a = Cli("info '" + Temp("w.xlsx") + "'"), b = Cli("info '" + Temp("direct.amx") + "'");
        EXPECT_EQ(a.out.substr(a.out.find('\n')), b.out.substr(b.out.find('\n')));
    }
    // A workbook's sheet by name or number, also from standard input.
    const std::string fixture = Data("xlsx/openpyxl-mixed.xlsx");
    for (const std::string& args : {"--sheet Other '" + fixture + "'", "--sheet 2 - < '" + fixture + "'"}) {
        CliRun r = Cli("info " + args);
        EXPECT_EQ(r.exit, 0) << args << r.err;
        EXPECT_NE(r.out.find("Columns: 1\nRows: 2\n\nColumn 1: Weight\n"), std::string::npos) << args << r.out;
    }
    CliRun none = Cli("info --sheet Nope '" + fixture + "'");
    EXPECT_EQ(none.exit, 1);
    EXPECT_EQ(none.err, "The workbook has no worksheet \"Nope\"\n");
}

TEST_F(WorksheetCommands, MessagesGoToStderrWithAFailingExit) {
    struct Case {
        const char* label;
        std::string args;
        int exit;
        std::string err;
    };
    std::string wide;
    for (int i = 1; i <= 513; ++i) wide += (i > 1 ? "\t" : "") + std::to_string(i);
    std::ofstream(Temp("wide.amx"), std::ios::binary) << wide << "\r\n";
    const Case cases[] = {
        {"info of a missing file", "info '" + Temp("none.amx") + "'", 1, "File Error\n"},
        {"convert of a missing file", "convert '" + Temp("none.amx") + "' '" + Temp("o.amx") + "'", 1,
         "File Error\n"},
        {"convert into a missing folder", "convert '" + Data("small.amx") + "' '" + Temp("no/o.amx") + "'", 1,
         "Error Writing File\n"},
        {"truncated columns still convert", "convert '" + Temp("wide.amx") + "' '" + Temp("o.amx") + "'", 0,
         "The Maximum Number of Columns was Exceeded. Columns Truncated.\n"},
        {"info without a file", "info", 2, "FILE is required\nRun with --help for more information.\n"},
        {"convert with one file", "convert '" + Data("small.amx") + "'", 2,
         "OUT is required\nRun with --help for more information.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CliRun r = Cli(c.args);
        EXPECT_EQ(r.exit, c.exit);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(WorksheetCommands, BinaryFilesAndDevicesAreRefused) {
    std::ofstream(Temp("picture.amx"), std::ios::binary)
        << std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06", 26);
    CliRun r = Cli("info '" + Temp("picture.amx") + "'");
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "File Error!\n");
    EXPECT_EQ(r.out, "");
    r = Cli("convert '" + Data("small.amx") + "' /dev/full");
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "Error Writing File\n");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(WorksheetCommands, HelpForEachCommand) {
    for (const char* command : {"info", "convert"}) {
        SCOPED_TRACE(command);
        CliRun r = Cli(std::string(command) + " --help");
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(r.out.rfind(std::string("Usage: ambrolux-cli ") + command, 0), 0u) << r.out;
    }
}

}  // namespace
