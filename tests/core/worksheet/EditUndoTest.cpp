#include <functional>
#include <gtest/gtest.h>

#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/editor/EditUndo.h"
#include "worksheet/editor/GridEdit.h"

namespace amx {
namespace {

// Everything a user can see of the sheet: names, descriptions and cells.
std::string Text(const Worksheet& ws) {
    return std::to_string(ws.ColumnCount()) + "x" + std::to_string(ws.RowCount()) + "\n" +
           WorksheetFileText(ws, true, false, true);
}

void Fill(Worksheet& ws, int cols, int rows) {
    ws.SetColumnCount(cols);
    ws.SetRowCount(rows);
    for (int c = 1; c <= cols; ++c)
        for (int r = 1; r <= rows; ++r) ws.SetCell(c, r, std::to_string(c) + "," + std::to_string(r));
    ws.SetColumnName(2, "Weight");
    ws.SetDescription(DescriptionRow::USL, 2, "9.5");
    ws.SetDescription(DescriptionRow::Title, 3, "Shift");
}

struct Case {
    const char* name;
    std::function<WorksheetUndo(Worksheet&)> capture;
    std::function<void(Session&, Worksheet&)> edit;
};

// Undo gives back the sheet before the edit, redo the one after, and they
// alternate for as long as the user likes.
TEST(EditUndo, UndoAndRedoEveryEdit) {
    const GridRect block{2, 3, 3, 4};
    const std::string pasted = "N1\tN2\tN3\r\na\tb\tc\r\nd\te\tf\r\n";
    const std::string tall = "1\n2\n3\n4\n5\n6\n7\n8\n";
    const std::vector<Case> cases = {
        {"cell edit", [](Worksheet& ws) { return WorksheetUndo::ForBlock(ws, GridRect::At({2, 2})); },
         [](Session&, Worksheet& ws) { ws.SetCell(2, 2, "10.001"); }},
        {"clear", [&](Worksheet& ws) { return WorksheetUndo::ForBlock(ws, block); },
         [&](Session&, Worksheet& ws) { FillSelection(ws, block, ""); }},
        {"paste with names, growing both ways",
         [&](Worksheet& ws) { return WorksheetUndo::ForBlock(ws, WorksheetUndo::PasteBlock(pasted, GridRect::At({3, 4}))); },
         [&](Session& s, Worksheet& ws) { PasteText(s, ws, pasted, GridRect::At({3, 4})); }},
        {"paste a column down a selection",
         [&](Worksheet& ws) { return WorksheetUndo::ForBlock(ws, WorksheetUndo::PasteBlock(tall, {1, 2, 3, 2})); },
         [&](Session& s, Worksheet& ws) { PasteText(s, ws, tall, {1, 2, 3, 2}); }},
        {"description paste", [](Worksheet& ws) { return WorksheetUndo::ForHeaders(ws); },
         [](Session& s, Worksheet& ws) { PasteDescriptionText(s, ws, "T\tU\tV\tW\tX\r\n1\r\n", GridRect::At({2, 1})); }},
        {"rename", [](Worksheet& ws) { return WorksheetUndo::ForHeaders(ws); },
         [](Session&, Worksheet& ws) { ws.SetColumnName(1, "Diameter"); }},
        {"delete rows", [](Worksheet& ws) { return WorksheetUndo::ForRowsDeleted(ws, 2, 3); },
         [](Session&, Worksheet& ws) { DeleteRows(ws, {1, 2, 3, 4}); }},
        {"delete the last rows", [](Worksheet& ws) { return WorksheetUndo::ForRowsDeleted(ws, 4, 2); },
         [](Session&, Worksheet& ws) { DeleteRows(ws, {1, 4, 3, 5}); }},
        {"insert rows", [](Worksheet& ws) { return WorksheetUndo::ForRowsInserted(ws, 1, 2); },
         [](Session&, Worksheet& ws) { InsertRows(ws, {1, 1, 3, 2}); }},
        {"delete columns", [](Worksheet& ws) { return WorksheetUndo::ForColumnsDeleted(ws, 1, 2); },
         [](Session&, Worksheet& ws) { DeleteColumns(ws, {1, 1, 2, 5}); }},
        {"insert columns", [](Worksheet& ws) { return WorksheetUndo::ForColumnsInserted(ws, 2, 2); },
         [](Session& s, Worksheet& ws) { InsertColumns(s, ws, {2, 1, 3, 5}); }},
        {"case numbers", [](Worksheet& ws) { return WorksheetUndo::ForColumnsInserted(ws, 1, 1); },
         [](Session& s, Worksheet& ws) { InsertCaseNumbers(s, ws); }},
        {"transpose", [](Worksheet& ws) { return WorksheetUndo::ForTranspose(ws); },
         [](Session& s, Worksheet& ws) { TransposeWorksheet(s, ws); }},
        {"tab growth", [](Worksheet& ws) { return WorksheetUndo::ForHeaders(ws); },
         [](Session&, Worksheet& ws) { GrowForTab(ws); }},
        {"enter growth", [](Worksheet& ws) { return WorksheetUndo::ForHeaders(ws); },
         [](Session&, Worksheet& ws) { GrowForEnter(ws, ws.RowCount()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        RecordingMessages rec;
        s.messages = &rec;
        rec.scriptedAnswers = {Answer::Yes};
        Worksheet& ws = s.worksheet;
        Fill(ws, 3, 5);
        const std::string before = Text(ws);
        WorksheetUndo u = c.capture(ws);
        c.edit(s, ws);
        const std::string after = Text(ws);
        ASSERT_NE(before, after);
        for (int round = 0; round < 2; ++round) {
            u.Apply(ws);
            EXPECT_EQ(Text(ws), before);
            u.Apply(ws);
            EXPECT_EQ(Text(ws), after);
        }
    }
}

// A paste of 100,000 cells into a sheet of a million rows keeps what it
// replaced, not the sheet.
TEST(EditUndo, MemoryFollowsTheChangeNotTheSheet) {
    Worksheet ws;
    ws.SetColumnCount(4);
    ws.SetRowCount(1000000);
    for (int r = 1; r <= 1000000; ++r) ws.SetCell(1, r, "12.345");
    std::string text;
    for (int r = 0; r < 100000; ++r) text += "1.5\n";
    const GridRect block = WorksheetUndo::PasteBlock(text, GridRect::At({1, 400001}));
    EXPECT_EQ(block, (GridRect{1, 400001, 1, 500000}));
    WorksheetUndo u = WorksheetUndo::ForBlock(ws, block);
    // 100,000 texts of 6 bytes and their 4-byte ends, plus a little.
    EXPECT_LT(u.MemoryUsed(), 1100000u);
    EXPECT_GT(ws.MemoryUsed(), 10 * u.MemoryUsed());

    WorksheetUndo rows = WorksheetUndo::ForRowsInserted(ws, 10, 5);
    EXPECT_LT(rows.MemoryUsed(), 4096u);
}

}  // namespace
}  // namespace amx
