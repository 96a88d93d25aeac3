#include "worksheet/DataFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSheets.h"
#include "session/Session.h"
#include "worksheet/DataList.h"

namespace amx {
namespace {

namespace fs = std::filesystem;
using test::LoadSheet;
using test::Rows;

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("amx-datafile-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        s_.messages = &messages_;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
    Session s_;
    RecordingMessages messages_;
};

std::vector<std::string> Names(const Worksheet& ws) {
    std::vector<std::string> out;
    for (int c = 1; c <= ws.ColumnCount(); ++c) out.push_back(ws.ColumnName(c));
    return out;
}

Rows Cells(const Worksheet& ws) {
    Rows out;
    for (int r = 1; r <= ws.RowCount(); ++r) {
        out.emplace_back();
        for (int c = 1; c <= ws.ColumnCount(); ++c) out.back().push_back(ws.Cell(c, r));
    }
    return out;
}

std::vector<std::string> DescriptionRow(const Worksheet& ws, int d) {
    std::vector<std::string> out;
    for (int c = 1; c <= ws.ColumnCount(); ++c) out.push_back(ws.Description(d, c));
    return out;
}

// ---- reading ----------------------------------------------------------------------

TEST_F(DataFileTest, ReaderCases) {
    struct Case {
        const char* label;
        std::string bytes;
        std::vector<std::string> names;
        Rows cells;
        bool wantNames;
    };
    const Case cases[] = {
        {"names line", "Weight\tHeight\r\n1\t2\r\n3\t4\r\n", {"Weight", "Height"}, {{"1", "2"}, {"3", "4"}}, true},
        {"no names line", "1\t2\r\n3\t4\r\n", {"Col1", "Col2"}, {{"1", "2"}, {"3", "4"}}, false},
        {"a numeric field makes a first line data", "Lot A\t3\r\nLot B\t4\r\n", {"Col1", "Col2"},
         {{"Lot A", "3"}, {"Lot B", "4"}}, false},
        {"comma line with an empty cell", "1,,3\n4,5,6\n", {"Col1", "Col2", "Col3"}, {{"1", "", "3"}, {"4", "5", "6"}},
         false},
        {"runs of spaces", "1  3\n 4 5 \n", {"Col1", "Col2"}, {{"1", "3"}, {"4", "5"}}, false},
        {"names split at spaces and commas", "Weight, Height\n1 2\n", {"Weight", "Height"}, {{"1", "2"}}, true},
        {"empty names in a tab line", "\tB\t\n1\t2\t3\n", {"Col1", "B", "Col3"}, {{"1", "2", "3"}}, true},
        {"quoted numeric names", "\"2019\"\t\"2020\"\n1\t2\n", {"2019", "2020"}, {{"1", "2"}}, true},
        {"quoted name with blanks", "\"Shaft diameter\"\n10.01\n", {"Shaft diameter"}, {{"10.01"}}, true},
        {"one trailing tab adds no cell", "1\t2\t\n3\t\t\n", {"Col1", "Col2"}, {{"1", "2"}, {"3", ""}}, false},
        {"ragged rows widen the sheet", "1\n1\t2\t3\n", {"Col1", "Col2", "Col3"}, {{"1", "", ""}, {"1", "2", "3"}},
         false},
        {"cells are trimmed", "A\tB\n 1 \t\x01x\x02\n", {"A", "B"}, {{"1", "x"}}, true},
        {"blank and comment lines", "A\n\n* note\n1\n\n2\n", {"A"}, {{"1"}, {"2"}}, true},
        // The names line is the first line that is no comment, blank or description.
        {"names after a comment", "* note\nA\tB\n1\t2\n", {"A", "B"}, {{"1", "2"}}, true},
        {"names after blank and description lines", "\r\nTitle:\tT\r\n\r\nA\tB\r\n1\t2\r\n", {"A", "B"},
         {{"1", "2"}}, true},
        {"only the first content line can be names", "1\t2\n* x\nA\tB\n", {"Col1", "Col2"},
         {{"1", "2"}, {"A", "B"}}, false},
        {"LF, CR LF and CR line ends", "A\rx\r\n1\n2\r3", {"A"}, {{"x"}, {"1"}, {"2"}, {"3"}}, true},
        {"no rows", "A\tB\r\n", {"A", "B"}, {{"", ""}}, true},
        {"empty file", "", {"Col1"}, {{""}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        ASSERT_TRUE(FileToDataGrid(s, Write("case.amx", c.bytes)));
        EXPECT_EQ(Names(s.worksheet), c.names);
        EXPECT_EQ(Cells(s.worksheet), c.cells);
        EXPECT_EQ(s.WantVarNames, c.wantNames);
    }
}

TEST_F(DataFileTest, DescriptionLinesAnywhere) {
    const std::string path = Write("d.amx",
                                   "A\tB\tC\r\n"
                                   "1\t2\t3\r\n"
                                   "usl:\t10\t\t30\r\n"  // any letter case
                                   "4\t5\t6\r\n"
                                   "Title:Width\r\n"  // the character after the colon is skipped
                                   "TARGET:\t\t\t\t99\r\n"  // beyond the last column: dropped
                                   "LSL:\r\n");
    ASSERT_TRUE(FileToDataGrid(s_, path));
    EXPECT_EQ(Cells(s_.worksheet), (Rows{{"1", "2", "3"}, {"4", "5", "6"}}));
    EXPECT_EQ(DescriptionRow(s_.worksheet, 1), (std::vector<std::string>{"idth", "", ""}));
    EXPECT_EQ(DescriptionRow(s_.worksheet, 2), (std::vector<std::string>{"10", "", "30"}));
    EXPECT_EQ(DescriptionRow(s_.worksheet, 3), (std::vector<std::string>{"", "", ""}));
    EXPECT_TRUE(s_.WantDescriptions);
    EXPECT_EQ(s_.LineCount, 2);
    EXPECT_EQ(ColumnUSL(s_, 3), 30.0L);
}

TEST_F(DataFileTest, DescriptionValuesSplitAtTheFilesSeparator) {
    struct Case {
        const char* label;
        std::string bytes;
        std::vector<std::string> usl;
        std::vector<std::string> title;
    };
    const Case cases[] = {
        {"comma file", "USL:,10,20\nA,B\n1,2\n", {"10", "20"}, {"", ""}},
        {"comma file, blanks after commas", "A,B\nUSL: 10, 20\nTitle: Bore, Depth\n1,2\n", {"10", "20"},
         {"Bore", "Depth"}},
        {"blank-separated file", "A B\nUSL: 10 20\n1 2\n", {"10", "20"}, {"", ""}},
        {"tab file keeps commas inside a value", "A\tB\r\nTitle:\tx, y\tz\r\n1\t2\r\n", {"", ""}, {"x, y", "z"}},
        {"a tab in the line wins", "A,B\nUSL:\t10,5\t20\n1,2\n", {"10,5", "20"}, {"", ""}},
        {"a tab after the colon in a blank-separated file", "A B\nTitle:\tShaft bore\n1 2\n", {"", ""},
         {"Shaft bore", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        ASSERT_TRUE(FileToDataGrid(s, Write("sep.amx", c.bytes)));
        EXPECT_EQ(DescriptionRow(s.worksheet, 2), c.usl);
        EXPECT_EQ(DescriptionRow(s.worksheet, 1), c.title);
        EXPECT_EQ(Cells(s.worksheet), (Rows{{"1", "2"}}));
    }
}

TEST_F(DataFileTest, NonAsciiTextSurvivesSaveAndReload) {
    // The character after the colon is skipped whole: a two-byte "é" leaves
    // no stray byte behind.
    ASSERT_TRUE(FileToDataGrid(s_, Write("t.amx", "Title:\xC3\xA9Z\xC3\xBCrich\r\nA\r\n1\r\n")));
    EXPECT_EQ(s_.worksheet.Description(1, 1), "Z\xC3\xBCrich");
    ASSERT_TRUE(FileToDataGrid(s_, Write("t1.amx", "Title:\xE9Z\xFCrich\r\nA\r\n1\r\n")));  // Windows-1252
    EXPECT_EQ(s_.worksheet.Description(1, 1), "Z\xC3\xBCrich");
    ASSERT_TRUE(FileToDataGrid(s_, Write("t2.amx", "Title:\xC3\xA9\r\nA\r\nZ\xC3\xBCrich\r\n")));
    EXPECT_EQ(s_.worksheet.Description(1, 1), "");
    ASSERT_TRUE(SaveFile(s_, Path("t3.amx"), true, false, true));
    Session in;
    ASSERT_TRUE(FileToDataGrid(in, Path("t3.amx")));
    EXPECT_EQ(in.worksheet.Cell(1, 1), "Z\xC3\xBCrich");

    // Text whose Windows-1252 bytes are valid UTF-8 ("\xC3\x82\xC2\xB0" is
    // "Â°", bytes C2 B0, which is "°" in UTF-8) is written as UTF-8 with a BOM.
    struct Case {
        const char* label;
        Rows rows;
        bool bom;
    };
    const Case cases[] = {
        {"cell", {{"\xC3\x82\xC2\xB0" "C", "1"}}, true},
        {"mixed with plain Windows-1252", {{"\xC3\x82\xC2\xB0", "\xC3\xA9t\xC3\xA9"}}, false},
        {"ASCII", {{"x", "1"}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session out;
        LoadSheet(out, {"A", "B"}, c.rows);
        ASSERT_TRUE(SaveFile(out, Path("b1.amx"), true, false, true));
        const std::string first = Read(Path("b1.amx"));
        EXPECT_EQ(first.rfind("\xEF\xBB\xBF", 0) == 0, c.bom);
        Session in2;
        ASSERT_TRUE(FileToDataGrid(in2, Path("b1.amx")));
        EXPECT_EQ(Cells(in2.worksheet), c.rows);
        ASSERT_TRUE(SaveFile(in2, Path("b2.amx"), true, false, true));
        EXPECT_EQ(Read(Path("b2.amx")), first);
    }
}

TEST_F(DataFileTest, BinaryFilesAreRefusedAndTheSheetStays) {
    struct Case {
        const char* label;
        std::string bytes;
        bool refused;
    };
    std::string controls = "A\r\n";
    for (int i = 0; i < 20; ++i) controls += std::string("\x01\x02\x03") + std::to_string(i) + "\r\n";
    const Case cases[] = {
        {"a PNG picture", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10", 21) + "xyz", true},
        {"a NUL late in the first 64 KiB", "A\n" + std::string(60000, '1') + std::string(1, '\0') + "\n", true},
        {"many control characters", controls, true},
        {"a few control characters", "A\n1\x01\n2\x1B\n\x0C" "3\n", false},
        {"a NUL after the first 64 KiB", "A\n" + std::string(70000, '1') + std::string(1, '\0') + "\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        RecordingMessages m;
        s.messages = &m;
        LoadSheet(s, {"Kept"}, {{"7"}});
        s.DataFilename = Path("old.amx");
        s.FileModified = true;
        m.scriptedAnswers.push_back(Answer::No);  // drop the changes
        const bool loaded = FileToDataGrid(s, Write("bin.amx", c.bytes));
        EXPECT_EQ(loaded, !c.refused);
        if (c.refused) {
            EXPECT_EQ(m.Errors(), std::vector<std::string>{"File Error!"});
            EXPECT_EQ(s.worksheet.ColumnName(1), "Kept");
            EXPECT_EQ(s.worksheet.Cell(1, 1), "7");
            EXPECT_EQ(s.DataList.Value(1, 1), 7.0);
            EXPECT_EQ(s.DataFilename, Path("old.amx"));
            EXPECT_TRUE(s.FileModified);
        } else {
            EXPECT_TRUE(m.Errors().empty());
        }
    }
}

TEST_F(DataFileTest, MemoryFollowsTheFileNotItsWidestLine) {
    // A 512-column names line over rows of one short cell: the empty cells
    // after each row's last one cost nothing, in the sheet and its numeric view.
    std::string names;
    for (int i = 1; i <= 512; ++i) names += (i > 1 ? "\tN" : "N") + std::to_string(i);
    std::string bytes = names + "\n";
    const int rows = 20000;
    for (int r = 0; r < rows; ++r) bytes += "7\n";
    ASSERT_TRUE(FileToDataGrid(s_, Write("wide.amx", bytes)));
    EXPECT_EQ(s_.worksheet.ColumnCount(), 512);
    EXPECT_EQ(s_.worksheet.RowCount(), rows);
    EXPECT_EQ(s_.worksheet.Cell(1, rows), "7");
    EXPECT_EQ(s_.worksheet.Cell(512, rows), "");
    EXPECT_LT(s_.worksheet.MemoryUsed(), 64 * bytes.size());
    std::size_t parsed = 0;
    for (const auto& col : s_.DataList.CellValues) parsed += col.capacity() * sizeof(double);
    EXPECT_LT(parsed, 64 * bytes.size());
    EXPECT_EQ(s_.DataList.Value(1, rows), 7.0);
    EXPECT_EQ(s_.DataList.Value(300, rows), MissingValue);
    EXPECT_EQ(s_.DataList.ColumnData(300)[rows], MissingValue);
}

#if defined(__SANITIZE_ADDRESS__)
#define AMX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define AMX_ASAN 1
#endif
#endif

TEST_F(DataFileTest, RunningOutOfMemoryIsAFileErrorAndTheSheetStays) {
#ifdef AMX_ASAN
    GTEST_SKIP() << "address space limits do not apply under AddressSanitizer";
#else
    // About 60 MB of worksheet from a 25 MB file, loaded with 16 MB of
    // address space to spare.
    std::string bytes = "Big\n";
    bytes.reserve(26u << 20);
    while (bytes.size() < (25u << 20)) bytes += "1234567\n";
    const std::string path = Write("big.amx", bytes);
    bytes = std::string();
    ::fflush(nullptr);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Session s;
        RecordingMessages m;
        s.messages = &m;
        LoadSheet(s, {"Kept"}, {{"7"}});
        long pages = 0;
        {
            std::ifstream statm("/proc/self/statm");
            statm >> pages;
        }
        rlimit lim{};
        lim.rlim_cur = lim.rlim_max = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (16u << 20);
        ::setrlimit(RLIMIT_AS, &lim);
        bool loaded = FileToDataGrid(s, path);
        bool ok = !loaded && m.Errors() == std::vector<std::string>{"File Error!"} &&
                  s.worksheet.ColumnName(1) == "Kept" && s.worksheet.Cell(1, 1) == "7";
        ::_exit(ok ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the load aborted";
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

TEST_F(DataFileTest, MoreThan512FieldsKeep512AndWarnOnce) {
    std::string line;
    for (int i = 1; i <= 600; ++i) line += (i > 1 ? "\t" : "") + std::to_string(i);
    std::string names;
    for (int i = 1; i <= 600; ++i) names += (i > 1 ? "\tN" : "N") + std::to_string(i);
    ASSERT_TRUE(FileToDataGrid(s_, Write("wide.amx", names + "\r\nTitle:\t" + line + "\r\n" + line + "\r\n" + line)));
    EXPECT_EQ(s_.worksheet.ColumnCount(), 512);
    EXPECT_EQ(s_.worksheet.RowCount(), 2);
    EXPECT_EQ(s_.worksheet.ColumnName(512), "N512");
    EXPECT_EQ(s_.worksheet.Cell(512, 2), "512");
    EXPECT_EQ(s_.worksheet.Description(1, 512), "512");
    EXPECT_EQ(messages_.Warnings(),
              (std::vector<std::string>{"The Maximum Number of Columns was Exceeded. Columns Truncated."}));
}

TEST_F(DataFileTest, EncodingsAreDetected) {
    struct Case {
        const char* label;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"UTF-8 with BOM", "\xEF\xBB\xBFName\r\ncaf\xC3\xA9\xE2\x82\xAC\r\n", "caf\xC3\xA9\xE2\x82\xAC"},
        {"UTF-8 without BOM", "Name\n\xCE\xA9\xE4\xB8\xAD\n", "\xCE\xA9\xE4\xB8\xAD"},
        {"Windows-1252", "Name\ncaf\xE9!\x80\x81\n", "caf\xC3\xA9!\xE2\x82\xAC\xC2\x81"},
        {"Windows-1252 found late", "Name\n" + std::string(3000000, 'x') + "\n\xE9\n",
         "\xC3\xA9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        ASSERT_TRUE(FileToDataGrid(s, Write("enc.amx", c.bytes)));
        EXPECT_EQ(s.worksheet.ColumnName(1), "Name");
        EXPECT_EQ(s.worksheet.Cell(1, s.worksheet.RowCount()), c.expected);
    }
}

TEST_F(DataFileTest, LoadSetsTheWorksheetState) {
    s_.BlankCommaQuestionPending = false;
    std::vector<int> progress;
    ASSERT_TRUE(FileToDataGrid(s_, Write("a.amx", "X\tG\r\n1\ta\r\n2\tb\r\n"),
                               [&](int p) { progress.push_back(p); }));
    EXPECT_EQ(s_.DataFilename, Path("a.amx"));
    EXPECT_FALSE(s_.FileModified);
    EXPECT_EQ(DataWindowCaption(s_), "Data - " + Path("a.amx"));
    SetFileModified(s_, true);
    EXPECT_EQ(DataWindowCaption(s_), "Data - " + Path("a.amx") + "  (modified)");
    EXPECT_TRUE(s_.DataChanged);
    EXPECT_TRUE(s_.BlankCommaQuestionPending);
    EXPECT_EQ(s_.LineCount, 2);
    EXPECT_EQ(s_.DataList.Ncount, 2);
    EXPECT_TRUE(s_.DataList.StringVar[2]);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

TEST_F(DataFileTest, FileErrorsLeaveAnEmptySheetWithoutAFileName) {
    struct Case {
        const char* label;
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {"missing file", Path("nope.amx"), "File Error"},
        {"a folder", dir_.string(), "File Error"},
        // Opens as a regular file, but every read fails.
        {"a read that fails", "/proc/self/mem", "File Error!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        RecordingMessages m;
        s.messages = &m;
        LoadSheet(s, {"A"}, {{"1"}});
        s.DataFilename = "old.amx";
        EXPECT_FALSE(FileToDataGrid(s, c.path));
        EXPECT_EQ(m.Errors(), std::vector<std::string>{c.message});
        EXPECT_EQ(s.DataFilename, "");
        EXPECT_FALSE(s.worksheet.HasData());
        EXPECT_EQ(DataWindowCaption(s), "Data");
    }
    if (::geteuid() != 0) {  // root reads any file
        std::string locked = Write("locked.amx", "1\n");
        fs::permissions(locked, fs::perms::none);
        EXPECT_FALSE(FileToDataGrid(s_, locked));
        EXPECT_EQ(messages_.Errors().back(), "File Error!");
        EXPECT_EQ(s_.DataFilename, "");
    }
}

TEST_F(DataFileTest, NewAsksBeforeDroppingAModifiedSheet) {
    struct Case {
        Answer answer;
        bool saveAsWorks;
        bool cleared;
    };
    const Case cases[] = {
        {Answer::Cancel, true, false},
        {Answer::No, false, true},
        {Answer::Yes, true, true},
        {Answer::Yes, false, false},  // a failed or cancelled Save As keeps the sheet
    };
    for (const auto& c : cases) {
        Session s;
        RecordingMessages m;
        s.messages = &m;
        LoadSheet(s, {"A"}, {{"1"}, {"2"}});
        s.FileModified = true;
        m.scriptedAnswers.push_back(c.answer);
        int saves = 0;
        bool ok = NewWorksheet(s, [&] {
            ++saves;
            return c.saveAsWorks;
        });
        EXPECT_EQ(m.Questions(), std::vector<std::string>{"File Not Saved.  Save?"});
        EXPECT_EQ(ok, c.cleared);
        EXPECT_EQ(s.worksheet.HasData(), !c.cleared);
        EXPECT_EQ(s.StatErrorCode, c.cleared ? 0 : 1);
        EXPECT_EQ(saves, c.answer == Answer::Yes ? 1 : 0);
        if (c.cleared) {
            EXPECT_EQ(s.worksheet.ColumnName(1), "Col1");
            EXPECT_FALSE(s.FileModified);
            EXPECT_EQ(s.NewWorksheetCount, 1u);
        }
    }
}

// ---- writing ----------------------------------------------------------------------

TEST_F(DataFileTest, WriterProducesTheDocumentedLayout) {
    LoadSheet(s_, {"Diameter", "Lot", "Operator"}, {{"10.01", "1", "A"}, {"9.98", "1", "B"}, {"", "2", "A"}});
    s_.worksheet.SetDescription(DescriptionRow::Title, 1, "Shaft diameter (mm)");
    s_.worksheet.SetDescription(DescriptionRow::USL, 1, "10.05");
    s_.worksheet.SetDescription(DescriptionRow::LSL, 1, "9.95");
    EXPECT_EQ(WorksheetFileText(s_.worksheet, true, false, true),
              "Diameter\tLot\tOperator\r\n"
              "Title:\tShaft diameter (mm)\t\t\r\n"
              "USL:\t10.05\t\t\r\n"
              "LSL:\t9.95\t\t\r\n"
              "10.01\t1\tA\r\n"
              "9.98\t1\tB\r\n"
              "\t2\tA\r\n");
    // Default names (any letter case) need no names line.
    s_.worksheet.SetColumnName(1, "Col1");
    s_.worksheet.SetColumnName(2, "COL2");
    s_.worksheet.SetColumnName(3, "col3");
    EXPECT_EQ(WorksheetFileText(s_.worksheet, true, false, false), "10.01\t1\tA\r\n9.98\t1\tB\r\n\t2\tA\r\n");
}

TEST_F(DataFileTest, SavedSheetsReadBackUnchanged) {
    struct Case {
        const char* label;
        std::vector<std::string> names;
        Rows rows;
    };
    const Case cases[] = {
        {"first cells the reader would skip or take as descriptions", {"Note", "X"},
         {{"*starred", "1"}, {"Title: big", "2"}, {"usl:", "3"}, {"LSL:9", "4"}, {"Target:", "5"}}},
        {"one column with commas, blanks and empty cells", {"Col1"},
         {{"1,5"}, {"a b"}, {""}, {"x"}, {""}, {"*"}, {"Title: t"}}},
        {"numeric-looking names", {"2019", "2020", "-1e3"}, {{"1", "2", "3"}}},
        {"names of number characters only", {"E", "-"}, {{"1", "2"}}},
        {"one column named with a blank", {"Shaft diameter"}, {{"10.01"}, {"9.99"}}},
        {"names the reader would skip or take as descriptions", {"*Weight", "Title:"}, {{"1", "2"}}},
        {"quoted and comma names", {"\"q\"", "a,b"}, {{"1", "2"}}},
        {"one numeric name", {"42"}, {{"1"}}},
        {"a first row that looks like names", {"Col1", "Col2"}, {{"Lot", "Operator"}, {"1", "2"}}},
        {"one column whose first row looks like names", {"Col1"}, {{"abc"}, {"1"}}},
        {"an empty last column", {"Col1", "Col2", "Col3"}, {{"1", "2", ""}, {"3", "", ""}}},
        {"rows of empty cells", {"A", "B"}, {{"", ""}, {"1", ""}, {"", ""}}},
        {"characters beyond Windows-1252", {"\xCE\xA9", "B"}, {{"\xE4\xB8\xAD", "caf\xC3\xA9"}}},
        {"Windows-1252 characters", {"Pr\xC3\xBC" "fer", "B"}, {{"\xE2\x82\xAC" "5", "\xC2\xB1"}}},
        // First cells and names whose bytes would begin like a byte-order mark.
        {"a first cell of U+FEFF", {"Col1", "Col2"}, {{"\xEF\xBB\xBFx", "1"}}},
        {"a first cell of Windows-1252 \"i>>?\"", {"Col1", "Col2"}, {{"\xC3\xAF\xC2\xBB\xC2\xBFy", "\xC3\xA9"}}},
        {"a first name of U+FEFF", {"\xEF\xBB\xBFN", "B"}, {{"1", "2"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session out;
        LoadSheet(out, c.names, c.rows);
        out.worksheet.SetDescription(DescriptionRow::Title, 1, "");
        ASSERT_TRUE(SaveFile(out, Path("rt.amx"), true, false, true));
        Session in;
        ASSERT_TRUE(FileToDataGrid(in, Path("rt.amx")));
        EXPECT_EQ(Cells(in.worksheet), Cells(out.worksheet)) << Read(Path("rt.amx"));
        std::vector<std::string> expectedNames = Names(out.worksheet);
        EXPECT_EQ(Names(in.worksheet), expectedNames) << Read(Path("rt.amx"));
    }
}

TEST_F(DataFileTest, DescriptionsAndEncodingRoundTrip) {
    LoadSheet(s_, {"D", "L"}, {{"1", "a"}});
    s_.worksheet.SetDescription(DescriptionRow::Title, 1, "Dia (\xC2\xB5m)");
    s_.worksheet.SetDescription(DescriptionRow::Target, 2, " spaced ");
    ASSERT_TRUE(SaveFile(s_, Path("d.amx"), true, false, true));
    // Every character fits the 8-bit code page: "µ" is one byte.
    EXPECT_NE(Read(Path("d.amx")).find("Dia (\xB5m)"), std::string::npos);
    Session in;
    ASSERT_TRUE(FileToDataGrid(in, Path("d.amx")));
    for (int d = 1; d <= 4; ++d) EXPECT_EQ(DescriptionRow(in.worksheet, d), DescriptionRow(s_.worksheet, d));

    // One character outside it: the whole file is UTF-8.
    s_.worksheet.SetCell(2, 1, "\xE2\x84\xA6");
    ASSERT_TRUE(SaveFile(s_, Path("u.amx"), true, false, true));
    EXPECT_NE(Read(Path("u.amx")).find("Dia (\xC2\xB5m)"), std::string::npos);
}

TEST_F(DataFileTest, ControlCharactersInCellsCannotBreakLines) {
    LoadSheet(s_, {"A", "B"}, {{"x\ty", "1\r\n2"}});
    ASSERT_TRUE(SaveFile(s_, Path("c.amx"), true, false, true));
    Session in;
    ASSERT_TRUE(FileToDataGrid(in, Path("c.amx")));
    EXPECT_EQ(Cells(in.worksheet), (Rows{{"x y", "1  2"}}));
}

TEST_F(DataFileTest, FullSaveAdoptsTheFileAndSelectionIsAnExport) {
    LoadSheet(s_, {"A", "B", "C"}, {{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "9"}});
    s_.worksheet.SetDescription(DescriptionRow::USL, 1, "10");
    s_.FileModified = true;
    ASSERT_TRUE(SaveFile(s_, Path("sel.amx"), true, true, true, CellBlock{2, 2, 3, 3}));
    EXPECT_EQ(Read(Path("sel.amx")), "B\tC\r\n5\t6\r\n8\t9\r\n");
    EXPECT_EQ(s_.DataFilename, "");
    EXPECT_TRUE(s_.FileModified);

    ASSERT_TRUE(SaveFile(s_, Path("full.amx"), false, false, true));
    EXPECT_EQ(Read(Path("full.amx")), "USL:\t10\t\t\r\n1\t2\t3\r\n4\t5\t6\r\n7\t8\t9\r\n");
    EXPECT_EQ(s_.DataFilename, Path("full.amx"));
    EXPECT_FALSE(s_.FileModified);
    EXPECT_FALSE(s_.WantVarNames);

    // "&Save" writes names and descriptions to the sheet's file and folds
    // the pending change into DataVersion.
    s_.DataChanged = true;
    auto version = s_.DataVersion;
    ASSERT_TRUE(SaveWorksheet(s_, {}));
    EXPECT_EQ(Read(Path("full.amx")), "A\tB\tC\r\nUSL:\t10\t\t\r\n1\t2\t3\r\n4\t5\t6\r\n7\t8\t9\r\n");
    EXPECT_EQ(s_.DataVersion, version + 1);
    EXPECT_FALSE(s_.DataChanged);
}

TEST_F(DataFileTest, FailedSaveChangesNothing) {
    LoadSheet(s_, {"A"}, {{"1"}});
    s_.DataFilename = Path("keep.amx");
    s_.FileModified = true;
    const std::string old = Write("keep.amx", "old\r\n");
    // The target is a folder holding a file: the final rename must fail.
    fs::create_directories(dir_ / "taken");
    Write("taken/inside", "x");
    for (const std::string& target : {Path("taken"), Path("no-such-folder/x.amx")}) {
        SCOPED_TRACE(target);
        EXPECT_FALSE(SaveFile(s_, target, true, false, true));
        EXPECT_EQ(messages_.Errors().back(), "Error Writing File");
        EXPECT_EQ(s_.DataFilename, Path("keep.amx"));
        EXPECT_TRUE(s_.FileModified);
    }
    EXPECT_EQ(Read(old), "old\r\n");
    // No temporary file is left behind.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(DataFileTest, SavesReplaceALinksTargetAndRefuseOtherFiles) {
    LoadSheet(s_, {"A"}, {{"1"}});
    fs::create_directories(dir_ / "real");
    const std::string target = Write("real/t.amx", "old\r\n");
    fs::permissions(target, static_cast<fs::perms>(0604));
    fs::create_symlink("real/t.amx", dir_ / "link.amx");
    ASSERT_TRUE(SaveFile(s_, Path("link.amx"), true, false, true));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.amx"));
    EXPECT_EQ(Read(target), "A\r\n1\r\n");
    EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0604));

    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
    const std::string locked = Write("locked.amx", "keep");
    fs::permissions(locked, static_cast<fs::perms>(0444));
    for (const std::string& t : {Path("fifo"), std::string("/dev/full"), locked}) {
        SCOPED_TRACE(t);
        EXPECT_FALSE(SaveFile(s_, t, true, false, true));
        EXPECT_EQ(messages_.Errors().back(), "Error Writing File");
    }
    struct stat st {};
    ASSERT_EQ(::lstat(Path("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(Read(locked), "keep");
}

TEST_F(DataFileTest, ConfigureSaveBoxes) {
    Worksheet ws;
    EXPECT_FALSE(ConfigureSaveChoices(ws, 1).any());
    ws.SetColumnName(1, "Weight");
    ws.SetDescription(DescriptionRow::LSL, 1, "1");
    SaveChoices c = ConfigureSaveChoices(ws, 4);
    EXPECT_TRUE(c.selectionOnly);
    EXPECT_TRUE(c.variableNames);
    EXPECT_TRUE(c.descriptions);
}

}  // namespace
}  // namespace amx
