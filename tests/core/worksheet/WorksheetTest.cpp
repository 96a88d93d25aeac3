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

namespace amx {
namespace {

// Rows after a column's last filled cell are not stored. Every shape change,
// edit and bulk load must still read as the full grid would: checked against
// a plain grid of strings over a fixed pseudo-random sequence of operations.
TEST(Worksheet, ShortColumnsReadAsTheFullGrid) {
    using Grid = std::vector<std::vector<std::string>>;  // [column][row]
    Worksheet ws;
    Grid model(1, std::vector<std::string>(1));
    unsigned seed = 12345;
    auto next = [&](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    auto rows = [&] { return static_cast<int>(model[0].size()); };
    auto check = [&](int step) {
        ASSERT_EQ(ws.ColumnCount(), static_cast<int>(model.size())) << step;
        ASSERT_EQ(ws.RowCount(), rows()) << step;
        for (int c = 1; c <= ws.ColumnCount(); ++c) {
            ASSERT_LE(ws.StoredRows(c), ws.RowCount()) << step;
            for (int r = 1; r <= ws.RowCount(); ++r) ASSERT_EQ(ws.Cell(c, r), model[c - 1][r - 1]) << step;
        }
    };
    for (int step = 0; step < 3000; ++step) {
        const int cols = static_cast<int>(model.size());
        switch (next(8)) {
            case 0:
            case 1: {  // set a cell, often to empty
                int c = 1 + static_cast<int>(next(cols)), r = 1 + static_cast<int>(next(rows()));
                std::string t = next(3) == 0 ? "" : "v" + std::to_string(step);
                ws.SetCell(c, r, t);
                model[c - 1][r - 1] = t;
                break;
            }
            case 2: {
                int before = 1 + static_cast<int>(next(rows() + 1)), n = 1 + static_cast<int>(next(3));
                ws.InsertRows(before, n);
                for (auto& col : model) col.insert(col.begin() + (before - 1), n, "");
                break;
            }
            case 3: {
                int first = 1 + static_cast<int>(next(rows())), n = 1 + static_cast<int>(next(3));
                ws.DeleteRows(first, n);
                int last = std::min(rows(), first + n - 1);
                for (auto& col : model) col.erase(col.begin() + (first - 1), col.begin() + last);
                if (model[0].empty())
                    for (auto& col : model) col.assign(1, "");
                break;
            }
            case 4: {
                int before = 1 + static_cast<int>(next(cols + 1));
                if (cols < 8 && ws.InsertColumns(before, 1))
                    model.insert(model.begin() + (before - 1), std::vector<std::string>(rows()));
                break;
            }
            case 5: {
                int first = 1 + static_cast<int>(next(cols));
                ws.DeleteColumns(first, 1);
                model.erase(model.begin() + (first - 1));
                if (model.empty()) model.assign(1, std::vector<std::string>(ws.RowCount()));
                break;
            }
            case 6: {
                int n = 1 + static_cast<int>(next(12));
                ws.SetRowCount(n);
                for (auto& col : model) col.resize(n);
                break;
            }
            default: {
                if (rows() > 8) break;
                ASSERT_TRUE(ws.Transpose());
                Grid t(rows(), std::vector<std::string>(cols));
                for (int c = 0; c < cols; ++c)
                    for (int r = 0; r < rows(); ++r) t[r][c] = model[c][r];
                model = t;
                break;
            }
        }
        check(step);
    }
}

}  // namespace
}  // namespace amx
