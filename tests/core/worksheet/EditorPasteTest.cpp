#include <gtest/gtest.h>

#include "session/Session.h"
#include "worksheet/editor/GridEdit.h"

namespace amx {
namespace {

struct PasteFixture : ::testing::Test {
    Session s;
    RecordingMessages rec;
    Worksheet& ws = s.worksheet;
    void SetUp() override { s.messages = &rec; }
    // A sheet of `cols` x `rows` cells holding "c,r".
    void Fill(int cols, int rows) {
        ws.SetColumnCount(cols);
        ws.SetRowCount(rows);
        for (int c = 1; c <= cols; ++c)
            for (int r = 1; r <= rows; ++r) ws.SetCell(c, r, std::to_string(c) + "," + std::to_string(r));
    }
};

TEST_F(PasteFixture, NamesQuestionYesAndNo) {
    rec.scriptedAnswers = {Answer::Yes};
    auto out = PasteText(s, ws, "A\tB\r\n1\t2\r\n", GridRect::At({1, 1}));
    EXPECT_EQ(rec.Questions(), std::vector<std::string>{"Want to use text from first row as Variable Names?"});
    EXPECT_TRUE(out.namesPasted);
    EXPECT_TRUE(out.dataChanged);
    EXPECT_EQ(ws.ColumnName(1), "A");
    EXPECT_EQ(ws.ColumnName(2), "B");
    EXPECT_EQ(ws.RowCount(), 1);
    EXPECT_EQ(ws.Cell(2, 1), "2");

    Worksheet fresh;
    rec.scriptedAnswers = {Answer::No};
    out = PasteText(s, fresh, "A\tB\r\n1\t2\r\n", GridRect::At({1, 1}));
    EXPECT_FALSE(out.namesPasted);
    EXPECT_EQ(fresh.RowCount(), 2);
    EXPECT_EQ(fresh.Cell(1, 1), "A");
    EXPECT_EQ(fresh.Cell(2, 2), "2");
    EXPECT_EQ(fresh.ColumnName(2), "Col2");
    EXPECT_EQ(out.touchedFirst, 1);
    EXPECT_EQ(out.touchedLast, 2);
}

TEST_F(PasteFixture, NoQuestionWhenSomeFieldIsNumeric) {
    // Split also at spaces, "Weight 1" yields the field "1".
    PasteText(s, ws, "Weight 1\tWeight 2\n5\t6", GridRect::At({1, 1}));
    EXPECT_TRUE(rec.Questions().empty());
    EXPECT_EQ(ws.Cell(1, 1), "Weight 1");
    EXPECT_EQ(ws.Cell(1, 2), "5");
    EXPECT_FALSE(LooksLikeNames("1\t2"));
    EXPECT_TRUE(LooksLikeNames("Lot,Width"));
}

TEST_F(PasteFixture, NothingOnTheClipboard) {
    auto out = PasteText(s, ws, "", GridRect::At({1, 1}));
    EXPECT_FALSE(out.changed);
    EXPECT_EQ(rec.TextsOf(MessageKind::Information), std::vector<std::string>{"There is no text on the Clipboard"});
}

TEST_F(PasteFixture, ShapeRules) {
    struct Case {
        const char* name;
        std::string text;
        GridRect sel;
        std::vector<std::pair<GridCell, std::string>> expect;
        int touchedFirst, touchedLast;
    } cases[] = {
        // A single value fills a 3 x 4 block.
        {"cell into block", "x", {2, 2, 4, 5}, {{{2, 2}, "x"}, {{4, 5}, "x"}, {{3, 4}, "x"}, {{1, 2}, "1,2"}}, 2, 5},
        // One row into rows 2..5 of a column: written into each row.
        {"row into column",
         "a\tb\tc",
         {2, 2, 2, 5},
         {{{2, 2}, "a"}, {{4, 2}, "c"}, {{2, 5}, "a"}, {{3, 5}, "b"}, {{2, 6}, "2,6"}},
         2,
         5},
        // A column into three selected columns: written into each column.
        {"column into row", "p\nq", {1, 3, 3, 3}, {{{1, 3}, "p"}, {{3, 4}, "q"}, {{3, 5}, "3,5"}}, 3, 4},
        // A block goes from the top-left corner whatever the selection.
        {"block into column", "1\t2\n3\t4", {2, 1, 2, 6}, {{{2, 1}, "1"}, {{3, 2}, "4"}, {{2, 3}, "2,3"}}, 1, 2},
        // Equal shapes: written once from the top-left.
        {"row into row", "u\tv", {1, 1, 4, 1}, {{{1, 1}, "u"}, {{2, 1}, "v"}, {{3, 1}, "3,1"}}, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Worksheet fresh;
        std::swap(ws, fresh);
        Fill(4, 6);
        auto out = PasteText(s, ws, c.text, c.sel);
        EXPECT_TRUE(out.changed);
        EXPECT_EQ(ws.ColumnCount(), 4);
        EXPECT_EQ(ws.RowCount(), 6);
        for (const auto& [cell, text] : c.expect) EXPECT_EQ(ws.Cell(cell.col, cell.row), text) << cell.col << "," << cell.row;
        EXPECT_EQ(out.touchedFirst, c.touchedFirst);
        EXPECT_EQ(out.touchedLast, c.touchedLast);
    }
}

TEST_F(PasteFixture, GrowsRowsAndNamedColumnsForLongerLines) {
    auto out = PasteText(s, ws, "1\n2\t3\t4\n5", GridRect::At({1, 1}));
    EXPECT_EQ(ws.RowCount(), 3);
    EXPECT_EQ(ws.ColumnCount(), 3);
    EXPECT_EQ(ws.ColumnName(3), "Col3");
    EXPECT_EQ(ws.Cell(3, 2), "4");
    EXPECT_TRUE(out.allRowsTouched);
    EXPECT_TRUE(out.dataChanged);
}

TEST_F(PasteFixture, ColumnLimitRefusesWithoutChangingAnything) {
    const std::string ten = "1\t2\t3\t4\t5\t6\t7\t8\t9\t10";
    ws.SetColumnCount(503);
    auto out = PasteText(s, ws, ten, GridRect::At({503, 1}));
    EXPECT_TRUE(out.changed);
    EXPECT_EQ(ws.ColumnCount(), 512);
    EXPECT_EQ(ws.Cell(512, 1), "10");

    struct Case {
        const char* name;
        std::string text;
        std::vector<Answer> answers;
    } refused[] = {
        {"data", ten, {}},
        {"a longer later line", "1\n" + ten, {}},
        {"names", "a\tb\tc\td\te\tf\tg\th\ti\tj", {Answer::Yes}},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        Worksheet sheet;
        sheet.SetColumnCount(504);
        sheet.SetCell(504, 1, "keep");
        const auto before = sheet.Revision();
        rec.entries.clear();
        rec.scriptedAnswers.assign(c.answers.begin(), c.answers.end());
        out = PasteText(s, sheet, c.text, GridRect::At({504, 1}));
        EXPECT_TRUE(out.refused);
        EXPECT_FALSE(out.changed);
        EXPECT_EQ(rec.Errors(), std::vector<std::string>{"Maximum Number of Columns Exceeded."});
        EXPECT_EQ(sheet.Revision(), before);
        EXPECT_EQ(sheet.ColumnCount(), 504);
        EXPECT_EQ(sheet.RowCount(), 1);
    }
}

TEST_F(PasteFixture, DescriptionPageSplitsAtTabsAndKeepsFourRows) {
    auto out = PasteDescriptionText(s, ws, "T1\t\tT3\n10.5\n\n1\n2\n3", GridRect::At({1, 1}));
    EXPECT_TRUE(rec.Questions().empty());
    EXPECT_EQ(ws.ColumnCount(), 3);
    EXPECT_EQ(ws.Description(DescriptionRow::Title, 1), "T1");
    EXPECT_EQ(ws.Description(DescriptionRow::Title, 2), "");
    EXPECT_EQ(ws.Description(DescriptionRow::Title, 3), "T3");
    EXPECT_EQ(ws.Description(DescriptionRow::USL, 1), "10.5");
    EXPECT_EQ(ws.Description(DescriptionRow::LSL, 1), "1");
    EXPECT_EQ(ws.RowCount(), 1);  // lines beyond "LSL:" are dropped
    EXPECT_TRUE(out.columnsChanged);
}

TEST(EditorLines, SplittingAsTheFileReaderDoes) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\n"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitPastedLine("1,,3"), (V{"1", "", "3"}));
    EXPECT_EQ(SplitPastedLine("1  3 "), (V{"1", "3"}));
    EXPECT_EQ(SplitPastedLine("\ta\t b \t"), (V{"", "a", "b"}));
    EXPECT_EQ(SplitTabsOnly("a\t\t"), (V{"a", "", ""}));
}

}  // namespace
}  // namespace amx
