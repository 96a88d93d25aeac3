#pragma once
// A result table: what a result grid shows (a window's grid page) and what
// ambrolux-cli prints for it, as text, JSON or CSV. Procedures fill one per
// grid page; windows and the command-line tool only present it, so a new
// procedure gets every presentation by returning this type.
//
// Cells are the grid's texts, exactly as shown. Row 0 is the header and
// column 0 the row titles.
#include <string>
#include <vector>

namespace amx {

struct ResultTable {
    std::string caption;  // the page's tab caption
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;

    int ColumnCount() const { return static_cast<int>(header.size()); }
    int RowCount() const { return static_cast<int>(rows.size()); }
    // Header when row = 0, else rows[row - 1]; "" outside the table.
    const std::string& Cell(int col, int row) const;
};

// The table as the grid copies it: tab-separated, CR LF after every row.
std::string ResultTableText(const ResultTable& t);
// The table as aligned lines for a fixed-pitch font: row titles left-aligned,
// values right-aligned, two blanks between columns.
std::vector<std::string> ResultTableLines(const ResultTable& t);
// RFC 4180 CSV: header then rows, LF line ends, cells without their outer
// blanks, a field quoted when it holds a comma, a quote or a line break.
std::string ResultTableCsv(const ResultTable& t);

// What a cell holds for a machine reader.
struct CellValue {
    enum class Kind { Null, Number, Text } kind = Kind::Null;
    double number = 0;
    std::string text;
};
// Empty cells and the not-available marker ("999.000" in a p-value cell,
// where the grid greys it) are Null; a cell that reads whole as a number
// (thousands commas and a trailing significance "*" allowed) is a Number;
// anything else is Text.
CellValue ResultCellValue(const ResultTable& t, int col, int row);

}  // namespace amx
