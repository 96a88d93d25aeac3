#pragma once
// The data editor's grid operations on the worksheet text: paste with the
// names question and the shape rules, clearing, inserting and deleting rows
// and columns, case numbers, transposing, and the keyboard's growth and jump
// rules. The desktop's grid view calls these and repaints; nothing here knows
// about widgets.
//
// Coordinates are the worksheet's: columns 1..ColumnCount(), rows
// 1..RowCount(). Every operation keeps the sheet within Worksheet::MaxColumns
// columns; one that would go beyond shows "Maximum Number of Columns
// Exceeded." and changes nothing.
#include <string>
#include <string_view>
#include <vector>

#include "common/CommonState.h"
#include "worksheet/Worksheet.h"

namespace amx {

inline constexpr const char* MaxColumnsExceededMessage = "Maximum Number of Columns Exceeded.";
inline constexpr const char* NoClipboardTextMessage = "There is no text on the Clipboard";
inline constexpr const char* NamesQuestion = "Want to use text from first row as Variable Names?";

struct GridCell {
    int col = 1;
    int row = 1;
    bool operator==(const GridCell&) const = default;
};

// A block of cells, inclusive on both ends.
struct GridRect {
    int left = 1, top = 1, right = 1, bottom = 1;
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    bool IsCell() const { return Width() == 1 && Height() == 1; }
    static GridRect At(GridCell c) { return {c.col, c.row, c.col, c.row}; }
    bool operator==(const GridRect&) const = default;
};

// What an editor command did, for the caller to mark rows, set the change
// flags, refresh the status bar and move the current cell.
struct EditOutcome {
    bool changed = false;      // the worksheet text changed (FileModified)
    bool refused = false;      // stopped with a message; nothing changed
    bool needsNew = false;     // the command amounts to a new worksheet
    int touchedFirst = 0;      // rows to mark modified, 0 when none
    int touchedLast = 0;
    bool allRowsTouched = false;
    bool columnsChanged = false;  // column count or names changed
    bool namesPasted = false;
    bool variablesChanged = false;
    bool dataChanged = false;
    bool dataDirty = false;
    bool resetProcessIf = false;  // column positions moved under the filter
    bool moveCurrent = false;
    GridCell current;
};

// Cuts clipboard text into lines (CR LF, LF or CR); a final line end adds no
// empty line.
std::vector<std::string_view> SplitLines(std::string_view text);
// A pasted line as the file reader splits a data line: at every tab when the
// line has one, else at every comma, else at runs of spaces; cells are
// trimmed of blanks and control characters; a leading separator gives an
// empty cell, a trailing one adds none.
std::vector<std::string_view> SplitPastedLine(std::string_view line);
// Every tab separates, empty values included (the description page).
std::vector<std::string_view> SplitTabsOnly(std::string_view line);

// Whether a first pasted line looks like column names: it holds a character
// outside the numeric set and every field (split at tabs, spaces and commas)
// does too.
bool LooksLikeNames(std::string_view line);

// Paste on the data page. `selection` is the grid's selection; its top-left
// cell is the current cell for the names and the widening rules.
EditOutcome PasteText(CommonState& cs, Worksheet& ws, std::string_view text, GridRect selection);
// Paste on the description page: rows 1..4 are "Title:", "USL:", "Target:",
// "LSL:"; lines that would go below row 4 are dropped.
EditOutcome PasteDescriptionText(CommonState& cs, Worksheet& ws, std::string_view text, GridRect selection);

// Empties (or fills with `text`) every selected cell.
EditOutcome FillSelection(Worksheet& ws, GridRect selection, std::string_view text);
EditOutcome FillDescriptionSelection(Worksheet& ws, GridRect selection, std::string_view text);

EditOutcome DeleteRows(Worksheet& ws, GridRect selection);
EditOutcome InsertRows(Worksheet& ws, GridRect selection);
EditOutcome DeleteColumns(Worksheet& ws, GridRect selection);
EditOutcome InsertColumns(CommonState& cs, Worksheet& ws, GridRect selection);
EditOutcome InsertCaseNumbers(CommonState& cs, Worksheet& ws);
EditOutcome TransposeWorksheet(CommonState& cs, Worksheet& ws);

// Tab that wrapped from the last column: adds a column "Col" + number while
// the sheet has fewer than MaxColumns columns. Returns whether one was added.
bool GrowForTab(Worksheet& ws);
// Enter on the last row adds a row. Returns whether one was added.
bool GrowForEnter(Worksheet& ws, int currentRow);

enum class JumpDirection { Up, Down, Left, Right };
// Ctrl+arrow: to the end of the block of filled cells, or over empty cells to
// the next filled one (the last row or column when there is none).
GridCell JumpTarget(const Worksheet& ws, GridCell from, JumpDirection dir);

}  // namespace amx
