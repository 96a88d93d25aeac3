#include "worksheet/Worksheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using amx::Worksheet;

namespace {

// The sheet's cells as rows of text, for compact comparisons.
std::vector<std::vector<std::string>> Cells(const Worksheet& ws) {
    std::vector<std::vector<std::string>> out;
    for (int r = 1; r <= ws.RowCount(); ++r) {
        out.emplace_back();
        for (int c = 1; c <= ws.ColumnCount(); ++c) out.back().push_back(ws.Cell(c, r));
    }
    return out;
}

std::vector<std::string> Names(const Worksheet& ws) {
    std::vector<std::string> out;
    for (int c = 1; c <= ws.ColumnCount(); ++c) out.push_back(ws.ColumnName(c));
    return out;
}

}  // namespace

TEST(Worksheet, EmptySheetIsOneColumnCol1AndOneEmptyRow) {
    Worksheet ws;
    EXPECT_EQ(ws.ColumnCount(), 1);
    EXPECT_EQ(ws.RowCount(), 1);
    EXPECT_EQ(ws.ColumnName(1), "Col1");
    EXPECT_EQ(ws.Cell(1, 1), "");
    EXPECT_FALSE(ws.HasData());
    EXPECT_FALSE(ws.HasDescriptions());
    EXPECT_FALSE(ws.HasModifiedColumnNames());
    // Out of range reads are empty and writes are ignored.
    ws.SetCell(2, 1, "x");
    ws.SetCell(1, 0, "x");
    EXPECT_EQ(ws.Cell(0, 1), "");
    EXPECT_EQ(ws.Cell(1, 2), "");
    EXPECT_EQ(ws.ColumnCount(), 1);
}

TEST(Worksheet, EditsKeepEveryCellAndSurviveArenaCompaction) {
    Worksheet ws;
    ws.SetRowCount(100);
    ws.SetColumnCount(3);
    // Rewrite every cell many times so dead text piles up and gets compacted.
    for (int round = 0; round < 50; ++round)
        for (int r = 1; r <= 100; ++r)
            for (int c = 1; c <= 3; ++c)
                ws.SetCell(c, r, std::to_string(round * 1000 + r * 10 + c) + "-some-padding-text");
    for (int r = 1; r <= 100; ++r)
        for (int c = 1; c <= 3; ++c)
            ASSERT_EQ(ws.Cell(c, r), std::to_string(49000 + r * 10 + c) + "-some-padding-text");
    // Setting a cell from a view into the sheet itself is safe.
    ws.SetCell(2, 1, ws.CellView(1, 1));
    EXPECT_EQ(ws.Cell(2, 1), ws.Cell(1, 1));
    ws.SetCell(1, 1, "");
    EXPECT_TRUE(ws.CellEmpty(1, 1));
}

TEST(Worksheet, InsertAndDeleteRowsAndColumns) {
    Worksheet ws;
    ws.BeginLoad(2);
    for (const char* row : {"a", "b", "c"}) {
        std::vector<std::string_view> cells{row, std::string_view(row).substr(0, 1)};
        ws.AppendRow(cells);
    }
    ws.EndLoad();
    ws.SetColumnName(1, "Lot");
    ws.SetDescription(amx::DescriptionRow::USL, 2, "10.5");

    ws.InsertRows(2, 2);
    EXPECT_EQ(Cells(ws), (std::vector<std::vector<std::string>>{
                             {"a", "a"}, {"", ""}, {"", ""}, {"b", "b"}, {"c", "c"}}));
    ws.DeleteRows(1, 3);
    EXPECT_EQ(Cells(ws), (std::vector<std::vector<std::string>>{{"b", "b"}, {"c", "c"}}));

    ASSERT_TRUE(ws.InsertColumns(2, 1));
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Lot", "Col2", "Col2"}));
    ws.RepairColumnNames();
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Lot", "Col2", "Col3"}));
    EXPECT_EQ(ws.Description(amx::DescriptionRow::USL, 3), "10.5");
    EXPECT_EQ(Cells(ws), (std::vector<std::vector<std::string>>{{"b", "", "b"}, {"c", "", "c"}}));

    ws.DeleteColumns(1, 2);
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Col3"}));
    // Deleting everything leaves the empty shape, never a sheet without cells.
    ws.DeleteRows(1, 10);
    ws.DeleteColumns(1, 10);
    EXPECT_EQ(ws.RowCount(), 1);
    EXPECT_EQ(ws.ColumnCount(), 1);
    EXPECT_EQ(ws.ColumnName(1), "Col1");
}

TEST(Worksheet, ColumnLimitHoldsForEveryWayOfAddingColumns) {
    Worksheet ws;
    ws.SetColumnCount(600);
    EXPECT_EQ(ws.ColumnCount(), Worksheet::MaxColumns);
    EXPECT_FALSE(ws.InsertColumns(1, 1));
    EXPECT_EQ(ws.ColumnCount(), Worksheet::MaxColumns);

    std::vector<std::string_view> wide(600, "1");
    ws.BeginLoad(1);
    EXPECT_FALSE(ws.AppendRow(wide));
    ws.EndLoad();
    EXPECT_EQ(ws.ColumnCount(), Worksheet::MaxColumns);

    Worksheet tall;
    tall.SetRowCount(513);
    EXPECT_FALSE(tall.Transpose());
    EXPECT_EQ(tall.RowCount(), 513);
}

TEST(Worksheet, RevisionChangesWithEveryEdit) {
    Worksheet ws;
    auto r0 = ws.Revision();
    ws.SetCell(1, 1, "5");
    auto r1 = ws.Revision();
    EXPECT_NE(r0, r1);
    ws.SetCell(1, 1, "5");  // same text: nothing changed
    EXPECT_EQ(ws.Revision(), r1);
    ws.SetColumnName(1, "X");
    EXPECT_NE(ws.Revision(), r1);
}

TEST(Worksheet, NameRepairFollowsColumnPositions) {
    Worksheet ws;
    ws.SetColumnCount(4);
    ws.SetColumnName(1, "COL3");
    ws.SetColumnName(2, "");
    ws.SetColumnName(3, "col03");
    ws.SetColumnName(4, "Col4x");
    ws.RepairColumnNames();
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Col1", "Col2", "col03", "Col4x"}));
    ws.SetColumnName(3, "Col3");
    ws.SetColumnName(4, "cOL4");
    EXPECT_FALSE(ws.HasModifiedColumnNames());
}

TEST(Worksheet, TransposeSwapsRowsAndColumns) {
    Worksheet ws;
    ws.BeginLoad(3);
    std::vector<std::string_view> r1{"1", "2", "3"}, r2{"4", "5", "6"};
    ws.AppendRow(r1);
    ws.AppendRow(r2);
    ws.EndLoad();
    ws.SetColumnName(1, "A");
    ws.SetDescription(1, 1, "t");
    ASSERT_TRUE(ws.Transpose());
    EXPECT_EQ(Cells(ws), (std::vector<std::vector<std::string>>{{"1", "4"}, {"2", "5"}, {"3", "6"}}));
    EXPECT_EQ(Names(ws), (std::vector<std::string>{"Col1", "Col2"}));
    EXPECT_FALSE(ws.HasDescriptions());
}
