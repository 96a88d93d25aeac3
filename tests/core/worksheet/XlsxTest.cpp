// Workbooks: a fixture written by another program, sheet choice, round trips
// through our writer, and hostile files that must leave the worksheet alone.
#include "worksheet/xlsx/Xlsx.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataList.h"

namespace amx {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

const std::string kFixtures = std::string(AMX_TEST_DATA_DIR) + "/xlsx/";

// A workbook package around one sheet's XML (and an optional shared-strings
// part), zipped with libzip: the smallest file a reader must accept.
void MakeWorkbook(const std::string& path, const std::string& sheetXml, const std::string& sharedXml = {},
                  const std::string& workbookXml = {}) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    auto add = [&](const char* name, std::string text) {
        char* copy = static_cast<char*>(std::malloc(text.size() + 1));
        std::memcpy(copy, text.data(), text.size());
        zip_source_t* src = zip_source_buffer(z, copy, text.size(), 1);
        ASSERT_GE(zip_file_add(z, name, src, ZIP_FL_OVERWRITE), 0);
    };
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    add("[Content_Types].xml",
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"></Types>");
    add("_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"" + rel + "officeDocument\" Target=\"xl/workbook.xml\"/>"
                       "</Relationships>");
    add("xl/workbook.xml",
        workbookXml.empty()
            ? "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" +
                  rel.substr(0, rel.size() - 1) + "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"
            : workbookXml);
    add("xl/_rels/workbook.xml.rels",
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" + rel + "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"" + rel + "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
    add("xl/worksheets/sheet1.xml",
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + sheetXml +
            "</sheetData></worksheet>");
    if (!sharedXml.empty())
        add("xl/sharedStrings.xml",
            "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + sharedXml + "</sst>");
    ASSERT_EQ(zip_close(z), 0);
}

class XlsxTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("amx-xlsx-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        s_.messages = &messages_;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    static Rows Cells(const Worksheet& ws) {
        Rows out;
        for (int r = 1; r <= ws.RowCount(); ++r) {
            out.emplace_back();
            for (int c = 1; c <= ws.ColumnCount(); ++c) out.back().push_back(ws.Cell(c, r));
        }
        return out;
    }
    static std::vector<std::string> Names(const Worksheet& ws) {
        std::vector<std::string> out;
        for (int c = 1; c <= ws.ColumnCount(); ++c) out.push_back(ws.ColumnName(c));
        return out;
    }
    std::string LastMessage() const { return messages_.entries.empty() ? "" : messages_.entries.back().text; }

    fs::path dir_;
    Session s_;
    RecordingMessages messages_;
};

TEST_F(XlsxTest, WorkbookFromAnotherProgramReadsAsExpected) {
    // tests/data/xlsx/make-fixtures.py (openpyxl): shared strings, dates and a
    // date-time by their number format, booleans, formulas with cached values,
    // an empty column, two merged ranges and a fixed-decimals format.
    ASSERT_TRUE(FileToDataGrid(s_, kFixtures + "openpyxl-mixed.xlsx")) << LastMessage();
    EXPECT_TRUE(messages_.entries.empty()) << LastMessage();
    const Worksheet& ws = s_.worksheet;
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Part", "Width", "Made", "Col4", "Passed", "Double", "Lot",
                                                   "Shift start"}));
    EXPECT_EQ(Cells(ws), (Rows{
                             {"A-1", "12.5", "2024-03-01", "", "TRUE", "25", "7", "2024-03-01T06:30:00"},
                             {"A-2", "12.75", "2024-03-02", "", "FALSE", "25.5", "7", "2024-03-02T14:00:00"},
                             {"Zürich", "13", "1999-12-31", "", "TRUE", "26", "8", "1900-01-01T00:00:00"},
                             {"A-1", "0.1", "1900-03-01", "", "", "0.2", "8", ""},
                             {"", "1.50", "", "", "", "", "", ""},
                         }));
    EXPECT_EQ(s_.DataFilename, kFixtures + "openpyxl-mixed.xlsx");
    EXPECT_TRUE(s_.DataList.StringVar[8]) << "date-times are a text column";
    EXPECT_FALSE(s_.DataList.StringVar[2]);
    EXPECT_FALSE(s_.FileModified);
}

TEST_F(XlsxTest, ChoosingASheet) {
    std::vector<std::string> names;
    ASSERT_TRUE(WorkbookSheetNames(kFixtures + "openpyxl-mixed.xlsx", names));
    EXPECT_EQ(names, (std::vector<std::string>{"Measurements", "Other"}));
    for (const char* choice : {"Other", "other", "2"}) {
        SCOPED_TRACE(choice);
        ASSERT_TRUE(WorkbookToDataGrid(s_, kFixtures + "openpyxl-mixed.xlsx", choice));
        EXPECT_EQ(Names(s_.worksheet), std::vector<std::string>{"Weight"});
        EXPECT_EQ(Cells(s_.worksheet), (Rows{{"1.25"}, {"2.5"}}));
    }
    EXPECT_FALSE(WorkbookToDataGrid(s_, kFixtures + "openpyxl-mixed.xlsx", "3"));
    EXPECT_EQ(LastMessage(), "The workbook has no worksheet \"3\"");
    EXPECT_EQ(Names(s_.worksheet), std::vector<std::string>{"Weight"}) << "left as it was";
}

TEST_F(XlsxTest, SavedWorkbookOpensAsTheSameWorksheet) {
    std::vector<std::string> files;
    for (const auto& dir : {std::string(AMX_EXAMPLES_DIR), std::string(AMX_TEST_DATA_DIR)})
        for (const auto& e : fs::directory_iterator(dir))
            if (e.is_regular_file()) files.push_back(e.path().string());
    files.push_back(kFixtures + "openpyxl-mixed.xlsx");
    ASSERT_GE(files.size(), 5u);
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        Session first, second;
        first.messages = second.messages = &messages_;
        ASSERT_TRUE(FileToDataGrid(first, file));
        ASSERT_TRUE(SaveFile(first, Path("copy.xlsx"), true, false, true)) << LastMessage();
        ASSERT_TRUE(FileToDataGrid(second, Path("copy.xlsx"))) << LastMessage();
        EXPECT_EQ(Names(second.worksheet), Names(first.worksheet));
        EXPECT_EQ(Cells(second.worksheet), Cells(first.worksheet));
        EXPECT_EQ(WorksheetFileText(second.worksheet, true, false, true),
                  WorksheetFileText(first.worksheet, true, false, true));
    }
}

TEST_F(XlsxTest, NumbersStayNumbersAndTextStaysText) {
    // Texts that look numeric but would come back different stay text cells.
    const Rows rows{{"1.50", "007", "-0", "1e5", "12345678901234567890", "0.0000012", "-3.25", "0.1", "abc", "1,000"}};
    s_.worksheet.BeginLoad(static_cast<int>(rows[0].size()));
    std::vector<std::string_view> cells(rows[0].begin(), rows[0].end());
    s_.worksheet.AppendRow(cells);
    s_.worksheet.EndLoad();
    s_.worksheet.SetDescription(DescriptionRow::USL, 1, "2.00");
    s_.worksheet.SetDescription(DescriptionRow::Title, 2, "Width, \"mm\"");
    ASSERT_TRUE(SaveFile(s_, Path("n.xlsx"), true, false, true));
    Session back;
    back.messages = &messages_;
    ASSERT_TRUE(FileToDataGrid(back, Path("n.xlsx")));
    EXPECT_EQ(Cells(back.worksheet), rows);
    EXPECT_EQ(back.worksheet.Description(DescriptionRow::USL, 1), "2.00");
    EXPECT_EQ(back.worksheet.Description(DescriptionRow::Title, 2), "Width, \"mm\"");
    EXPECT_EQ(back.DataFilename, Path("n.xlsx"));
}

TEST_F(XlsxTest, HostileFilesLeaveTheWorksheetAsItWas) {
    const std::string good = std::string(AMX_TEST_DATA_DIR) + "/small.amx";
    std::string wide;
    for (int c = 1; c <= 513; ++c) wide += "<c t=\"inlineStr\"><is><t>N" + std::to_string(c) + "</t></is></c>";
    struct Case {
        const char* label;
        std::function<void(const std::string&)> make;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"not a zip", [](const std::string& p) { std::ofstream(p, std::ios::binary) << "Width\r\n1\r\n"; },
         FileErrorText},
        {"truncated zip",
         [](const std::string& p) {
             std::ifstream in(kFixtures + "openpyxl-mixed.xlsx", std::ios::binary);
             std::string bytes(std::istreambuf_iterator<char>(in), {});
             std::ofstream(p, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
         },
         FileErrorText},
        {"old binary or encrypted",
         [](const std::string& p) {
             std::ofstream(p, std::ios::binary) << std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)
                                                << std::string(504, '\0');
         },
         XlsxProtectedText},
        {"shared string out of range",
         [](const std::string& p) { MakeWorkbook(p, "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>", "<si><t>a</t></si>"); },
         FileErrorText},
        {"rows out of order",
         [](const std::string& p) { MakeWorkbook(p, "<row r=\"3\"><c><v>1</v></c></row><row r=\"2\"><c><v>1</v></c></row>"); },
         FileErrorText},
        {"entity declarations",
         [](const std::string& p) {
             MakeWorkbook(p, "", "", "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">]><workbook/>");
         },
         FileErrorText},
        {"zip bomb",
         [](const std::string& p) {
             // 64 MB of one repeated cell compresses about 1000 to 1.
             std::string row = "<row><c><v>1</v></c></row>";
             std::string big;
             big.reserve(64u << 20);
             while (big.size() < (64u << 20)) big += row;
             MakeWorkbook(p, big);
         },
         FileErrorText},
        {"no such file", [](const std::string&) {}, FileErrorMeasureText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(FileToDataGrid(s_, good));
        const Rows before = Cells(s_.worksheet);
        const std::string path = Path(std::string(c.label) + ".xlsx");
        c.make(path);
        messages_.entries.clear();
        EXPECT_FALSE(FileToDataGrid(s_, path));
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(Cells(s_.worksheet), before);
        EXPECT_EQ(s_.DataFilename, good);
    }

    // More than 512 columns: the first 512 with the warning.
    MakeWorkbook(Path("wide.xlsx"), "<row r=\"1\">" + wide + "</row><row r=\"2\"><c r=\"A2\"><v>1</v></c></row>");
    messages_.entries.clear();
    ASSERT_TRUE(FileToDataGrid(s_, Path("wide.xlsx")));
    EXPECT_EQ(LastMessage(), ColumnsTruncatedText);
    EXPECT_EQ(s_.worksheet.ColumnCount(), 512);
    EXPECT_EQ(s_.worksheet.ColumnName(512), "N512");
}

TEST_F(XlsxTest, LongCellsReadButDoNotFitAWorkbookCell) {
    const std::string long40k(40000, 'x');
    MakeWorkbook(Path("long.xlsx"), "<row r=\"1\"><c t=\"inlineStr\"><is><t>Note</t></is></c></row><row r=\"2\">"
                                    "<c t=\"inlineStr\"><is><t>" + long40k + "</t></is></c></row>");
    ASSERT_TRUE(FileToDataGrid(s_, Path("long.xlsx")));
    EXPECT_TRUE(s_.worksheet.Cell(1, 1) == long40k) << s_.worksheet.Cell(1, 1).size();
    messages_.entries.clear();
    EXPECT_FALSE(SaveFile(s_, Path("out.xlsx"), true, false, true));
    EXPECT_EQ(LastMessage(), XlsxCellTooLongText);
    EXPECT_FALSE(fs::exists(Path("out.xlsx")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "no temporary left";
}

}  // namespace
}  // namespace amx
