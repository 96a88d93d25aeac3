#include <algorithm>
#include <gtest/gtest.h>

#include "session/Session.h"
#include "worksheet/editor/GridEdit.h"
#include "worksheet/editor/GridText.h"

namespace amx {
namespace {

std::vector<std::string> Names(const Worksheet& ws) {
    std::vector<std::string> out;
    for (int c = 1; c <= ws.ColumnCount(); ++c) out.push_back(ws.ColumnName(c));
    return out;
}

void Fill(Worksheet& ws, int cols, int rows) {
    ws.SetColumnCount(cols);
    ws.SetRowCount(rows);
    for (int c = 1; c <= cols; ++c)
        for (int r = 1; r <= rows; ++r) ws.SetCell(c, r, std::to_string(c) + "," + std::to_string(r));
}

TEST(EditorRowsColumns, InsertAndDelete) {
    Session s;
    Worksheet& ws = s.worksheet;
    Fill(ws, 3, 5);
    ws.SetColumnName(3, "Weight");

    auto out = InsertColumns(s, ws, {2, 1, 2, 5});
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Col1", "Col2", "Col3", "Weight"}));
    EXPECT_EQ(ws.Cell(3, 1), "2,1");
    EXPECT_TRUE(ws.CellEmpty(2, 1));
    EXPECT_EQ(out.current, (GridCell{2, 1}));
    EXPECT_TRUE(out.allRowsTouched);

    out = DeleteColumns(ws, {2, 1, 2, 5});
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Col1", "Col2", "Weight"}));
    EXPECT_EQ(ws.Cell(2, 1), "2,1");
    out = DeleteColumns(ws, {3, 1, 3, 5});  // the block reached the last column
    EXPECT_EQ(out.current, (GridCell{2, 1}));

    out = InsertRows(ws, {1, 2, 2, 3});
    EXPECT_EQ(ws.RowCount(), 7);
    EXPECT_TRUE(ws.CellEmpty(1, 2) && ws.CellEmpty(1, 3));
    EXPECT_EQ(ws.Cell(1, 4), "1,2");
    EXPECT_EQ(out.current, (GridCell{1, 2}));

    out = DeleteRows(ws, {1, 2, 2, 3});
    EXPECT_EQ(ws.RowCount(), 5);
    EXPECT_EQ(ws.Cell(1, 2), "1,2");
    EXPECT_EQ(out.current, (GridCell{1, 2}));
    out = DeleteRows(ws, {1, 4, 2, 5});
    EXPECT_EQ(out.current, (GridCell{1, 3}));

    // Everything selected means a new worksheet (the caller runs New).
    EXPECT_TRUE(DeleteRows(ws, {1, 1, 2, ws.RowCount()}).needsNew);
    EXPECT_TRUE(DeleteColumns(ws, {1, 1, ws.ColumnCount(), 1}).needsNew);
    EXPECT_EQ(ws.RowCount(), 3);
}

TEST(EditorRowsColumns, CaseNumbersAndTranspose) {
    Session s;
    Worksheet& ws = s.worksheet;
    Fill(ws, 2, 10);
    ws.SetDescription(DescriptionRow::Title, 1, "t");
    auto out = InsertCaseNumbers(s, ws);
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Case", "Col2", "Col3"}));
    EXPECT_EQ(ws.Cell(1, 1), "1");
    EXPECT_EQ(ws.Cell(1, 10), "10");
    EXPECT_EQ(ws.Description(DescriptionRow::Title, 1), "");
    EXPECT_EQ(ws.Description(DescriptionRow::Title, 2), "t");
    EXPECT_EQ(out.current, (GridCell{1, 1}));

    Worksheet t;
    Fill(t, 3, 5);
    t.SetColumnName(1, "A");
    out = TransposeWorksheet(s, t);
    EXPECT_TRUE(out.changed);
    EXPECT_EQ(t.ColumnCount(), 5);
    EXPECT_EQ(t.RowCount(), 3);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"Col1", "Col2", "Col3", "Col4", "Col5"}));
    EXPECT_EQ(t.Cell(5, 3), "3,5");
    EXPECT_EQ(t.Cell(2, 1), "1,2");
}

TEST(EditorRowsColumns, ColumnLimitHoldsForEveryCommand) {
    Session s;
    RecordingMessages rec;
    s.messages = &rec;
    Worksheet& ws = s.worksheet;
    ws.SetColumnCount(512);
    const auto before = ws.Revision();
    EXPECT_TRUE(InsertColumns(s, ws, {3, 1, 3, 1}).refused);
    EXPECT_TRUE(InsertCaseNumbers(s, ws).refused);
    EXPECT_FALSE(GrowForTab(ws));
    EXPECT_EQ(ws.Revision(), before);

    Worksheet tall;
    tall.SetRowCount(513);
    EXPECT_TRUE(TransposeWorksheet(s, tall).refused);
    EXPECT_EQ(tall.RowCount(), 513);
    EXPECT_EQ(rec.Errors(), std::vector<std::string>(3, "Maximum Number of Columns Exceeded."));

    Worksheet w;
    w.SetColumnCount(511);
    EXPECT_TRUE(GrowForTab(w));
    EXPECT_EQ(w.ColumnName(512), "Col512");
}

TEST(EditorKeys, CtrlArrowJumps) {
    Worksheet ws;
    ws.SetColumnCount(1);
    ws.SetRowCount(10);
    for (int r : {1, 2, 3, 6, 7}) ws.SetCell(1, r, "x");
    struct Case {
        int from;
        JumpDirection dir;
        int to;
    } cases[] = {
        {1, JumpDirection::Down, 3},   // end of the filled block
        {3, JumpDirection::Down, 6},   // over the gap to the next filled cell
        {7, JumpDirection::Down, 10},  // nothing filled below: the last row
        {10, JumpDirection::Down, 10},
        {10, JumpDirection::Up, 7},
        {6, JumpDirection::Up, 3},
        {2, JumpDirection::Up, 1},
        {1, JumpDirection::Up, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JumpTarget(ws, {1, c.from}, c.dir).row, c.to) << c.from;

    Worksheet row;
    row.SetColumnCount(5);
    row.SetCell(4, 1, "y");
    EXPECT_EQ(JumpTarget(row, {1, 1}, JumpDirection::Right).col, 4);
    EXPECT_EQ(JumpTarget(row, {4, 1}, JumpDirection::Right).col, 5);
    EXPECT_EQ(JumpTarget(row, {4, 1}, JumpDirection::Left).col, 1);
}

TEST(GridText, CopyTextAndPrintedPages) {
    auto cell = [](int c, int r) {
        if (r == 0) return c == 0 ? std::string() : "C" + std::to_string(c);
        if (c == 0) return std::to_string(r);
        return std::to_string(c * 10 + r);
    };
    EXPECT_EQ(GridBlockText(cell, {1, 1, 2, 2}), "11\t21\r\n12\t22\r\n");

    // 7 rows at 3 per page: the last page holds exactly the one row left.
    auto pages = LayoutGridPrint(cell, {1, 1, 2, 7}, 3, 80);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[2].lines.size(), 1u);
    EXPECT_EQ(pages[0].header, "  |    C1   C2");
    EXPECT_EQ(pages[2].lines[0], "7 |    17   27");

    // Narrow lines: the columns that do not fit go to the next page, same rows.
    pages = LayoutGridPrint(cell, {1, 1, 3, 2}, 10, 14);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].header, "  |    C3");
    EXPECT_EQ(pages[1].lines[1], "2 |    32");

    // A text far longer than 255 characters keeps its full width.
    auto wide = [](int c, int r) { return (c == 1 && r == 1) ? std::string(300, 'w') : std::string("n"); };
    pages = LayoutGridPrint(wide, {1, 1, 1, 1}, 5, 1000);
    EXPECT_EQ(pages[0].lines[0].size(), std::string("n | ").size() + 303);
}

// Records what a grid printed inside a running job sends to the printer.
struct JobRecorder : GridJobSink {
    int perPage = 60, left = 60;
    std::vector<std::string> out;
    int LinesPerPage() override { return perPage; }
    int LinesLeftOnPage() override { return left; }
    void PageFeed() override {
        out.push_back("<FF>");
        left = perPage;
    }
    void EmptyLine() override { out.push_back(""); }
    void Heading(const std::string& t) override { out.push_back("H:" + t); }
    void Line(const std::string& t, bool underline) override { out.push_back((underline ? "U:" : "L:") + t); }
};

TEST(GridText, GridPrintedInsideARunningJob) {
    auto cell = [](int c, int r) {
        if (r == 0) return c == 0 ? std::string() : "C" + std::to_string(c);
        if (c == 0) return std::to_string(r);
        return std::to_string(c * 10 + r);
    };
    // Room on the page: three empty lines, the heading, then the block with
    // widths of text + 2 and " |" after the row numbers.
    JobRecorder roomy;
    roomy.left = 30;
    PrintGridInJob(cell, 2, 2, "Points", 57, 80, roomy);
    EXPECT_EQ(roomy.out, (std::vector<std::string>{"", "", "", "H:Points", "", "U:  |  C1  C2", "L:1 |  11  21",
                                                   "L:2 |  12  22"}));

    // Fewer than rows + 6 lines left: a page feed instead of the empty lines.
    JobRecorder tight;
    tight.left = 7;
    PrintGridInJob(cell, 2, 2, "Points", 57, 80, tight);
    EXPECT_EQ(tight.out.front(), "<FF>");
    EXPECT_EQ(tight.out[1], "H:Points");

    // A page that is still empty is never fed away, however long the block.
    JobRecorder small;
    small.perPage = small.left = 5;
    PrintGridInJob(cell, 2, 2, "Points", 2, 80, small);
    EXPECT_EQ(std::count(small.out.begin(), small.out.end(), "<FF>"), 0);

    // Columns that do not fit make a second block: one heading, an empty line
    // between the blocks and none after the last.
    JobRecorder narrow;
    PrintGridInJob(cell, 3, 2, "Points", 57, 12, narrow);
    EXPECT_EQ(std::count_if(narrow.out.begin(), narrow.out.end(), [](const std::string& l) { return l[0] == 'H'; }),
              1);
    EXPECT_EQ(narrow.out.back(), "L:2 |  32");
    EXPECT_EQ(narrow.out[narrow.out.size() - 4], "");
}

}  // namespace
}  // namespace amx
