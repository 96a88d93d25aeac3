#pragma once
// The worksheet text: what the user sees and edits in the data editor. A grid
// of text cells with one name per column and four description rows ("Title:",
// "USL:", "Target:", "LSL:"). Analyses never read this text directly; they go
// through the numeric view (DataList.h).
//
// Indexing is 1-based on both axes, as in the rest of the program: columns
// 1..ColumnCount(), rows 1..RowCount(). Row 0 of the editor's grid is the names
// row and column 0 the row numbers; those are not cells here.
//
// Storage: a worksheet of a million rows must load in well under a second and
// stay within a few times its file size, so a cell is not a heap string. Each
// column keeps one character arena and, per row, a 32-bit offset and length
// into it. Editing a cell appends its new text to the arena; the arena is
// compacted when more than half of it is dead text.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace amx {

// The description rows, numbered as in the editor's "Descriptions" page.
enum class DescriptionRow { Title = 1, USL = 2, Target = 3, LSL = 4 };

// "Title:", "USL:", "Target:", "LSL:" for description rows 1..4.
const std::string& DescriptionHeader(int descriptionRow);

// "Col" + n: the name a column gets when nobody named it.
std::string DefaultColumnName(int column);

class Worksheet {
public:
    static constexpr int MaxColumns = 512;
    static constexpr int DescriptionRows = 4;

    // The empty worksheet: one column "Col1" and one empty row.
    Worksheet();

    // Back to the empty worksheet.
    void Clear();

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    int RowCount() const { return rows_; }
    // True unless this is the empty worksheet's shape (one column, one row);
    // the editor's HaveData.
    bool HasData() const { return ColumnCount() > 1 || RowCount() > 1; }

    // --- cells -------------------------------------------------------------
    // Out-of-range positions read as "" and are ignored on write. The view is
    // valid until the next change to the worksheet.
    std::string_view CellView(int column, int row) const {
        if (!ValidCell(column, row)) return {};
        const Column& c = columns_[column - 1];
        if (static_cast<std::size_t>(row) > c.cells.size()) return {};
        const CellRef& ref = c.cells[row - 1];
        return std::string_view(c.arena.data() + ref.offset, ref.length);
    }
    std::string Cell(int column, int row) const { return std::string(CellView(column, row)); }
    // Rows 1..StoredRows(column) may hold text; every row after them is empty.
    int StoredRows(int column) const {
        if (column < 1 || column > ColumnCount()) return 0;
        return static_cast<int>(columns_[column - 1].cells.size());
    }
    void SetCell(int column, int row, std::string_view text);
    bool CellEmpty(int column, int row) const { return CellView(column, row).empty(); }

    // --- names and descriptions -------------------------------------------
    // Out-of-range columns read as "" and are ignored on write.
    const std::string& ColumnName(int column) const;
    void SetColumnName(int column, std::string_view name);
    // descriptionRow 1..4 (DescriptionRow).
    const std::string& Description(int descriptionRow, int column) const;
    void SetDescription(int descriptionRow, int column, std::string_view text);
    void SetDescription(DescriptionRow row, int column, std::string_view text) {
        SetDescription(static_cast<int>(row), column, text);
    }
    const std::string& Description(DescriptionRow row, int column) const {
        return Description(static_cast<int>(row), column);
    }
    // True when some description cell of rows 1..4 is not empty.
    bool HasDescriptions() const;
    // True when some column name differs (ignoring letter case) from "COL" +
    // its column number: a file written from this sheet needs a names line.
    bool HasModifiedColumnNames() const;
    // The editor's name repair: an empty name, or "COL" (any case) followed by
    // a whole number other than the column's own, becomes "Col" + column. So
    // default names follow the columns when they move.
    void RepairColumnNames();

    // --- shape ---------------------------------------------------------------
    // Inserted rows are empty. Insert rows before `beforeRow` (1..RowCount()+1).
    void InsertRows(int beforeRow, int count);
    // Deletes rows first..first+count-1 (clipped to the sheet). The sheet keeps
    // at least one row: deleting every row leaves one empty row.
    void DeleteRows(int firstRow, int count);
    // Inserted columns are empty, named "Col" + their number, with empty
    // descriptions. Returns false, changing nothing, when the sheet would
    // exceed MaxColumns columns. beforeColumn is 1..ColumnCount()+1.
    bool InsertColumns(int beforeColumn, int count);
    // Deletes columns first..first+count-1 (clipped). The sheet keeps at least
    // one column: deleting every column leaves one empty column "Col1".
    void DeleteColumns(int firstColumn, int count);
    // Grows (empty rows) or shrinks the sheet; at least 1 row.
    void SetRowCount(int rows);
    // Grows (empty columns named "Col" + number) or shrinks; clipped to
    // 1..MaxColumns.
    void SetColumnCount(int columns);
    // Exchanges rows and columns (the editor's transpose): cell (c, r) moves
    // to (r, c); names become "Col" + number and descriptions are emptied.
    // Returns false, changing nothing, when the result would exceed
    // MaxColumns columns.
    bool Transpose();

    // --- bulk loading ------------------------------------------------------
    // For readers and pastes of many rows. Start with BeginLoad (the sheet
    // becomes `columns` empty columns named "Col" + number and zero rows), then
    // AppendRow once per row: a row with more cells than columns adds columns
    // (up to MaxColumns; extra cells are dropped and AppendRow returns false),
    // a shorter row leaves the rest empty. EndLoad makes sure one row exists.
    void BeginLoad(int columns, std::size_t expectedRows = 0);
    bool AppendRow(const std::string_view* cells, int count);
    bool AppendRow(const std::vector<std::string_view>& cells) {
        return AppendRow(cells.data(), static_cast<int>(cells.size()));
    }
    void EndLoad();
    // During a load: makes room for `rows` rows in all, sizing each column's
    // text for that many rows from what it holds so far, so a large file is
    // not copied again and again as its columns grow.
    void ReserveForLoad(std::size_t rows);

    // Bumped by every change; the numeric view compares it with the value it
    // last parsed, so an edit can never leave an analysis on stale numbers.
    std::uint64_t Revision() const { return revision_; }
    // For a sheet built aside that replaces another: its revision moves past
    // the other's, so nothing mistakes it for the sheet it replaced.
    void MoveRevisionPast(std::uint64_t previous) {
        if (revision_ <= previous) revision_ = previous + 1;
    }

    // Bytes held by the cell text (arenas and cell references).
    std::size_t MemoryUsed() const;

private:
    struct CellRef {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    struct Column {
        std::string name;
        std::array<std::string, DescriptionRows> descriptions;
        std::string arena;          // cell texts, back to back
        // One per row up to the column's last filled cell at most: the rows
        // after it are empty and cost nothing, so a wide names line over
        // short rows stays as small as its file.
        std::vector<CellRef> cells;
        std::size_t deadBytes = 0;  // arena bytes no cell refers to any more
    };

    static Column MakeColumn(int number);
    static void StoreText(Column& col, CellRef& ref, std::string_view text);
    static void Compact(Column& col);
    bool ValidCell(int column, int row) const {
        return column >= 1 && column <= ColumnCount() && row >= 1 && row <= rows_;
    }
    void Touch() { ++revision_; }

    std::vector<Column> columns_;
    int rows_ = 1;
    std::uint64_t revision_ = 0;
};

}  // namespace amx
