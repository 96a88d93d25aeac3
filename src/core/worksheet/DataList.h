#pragma once
// The numeric view of the worksheet. Analyses never read the worksheet text:
// they go through DataList, which parses every cell into a double, turns text
// columns into numbered levels, and loads the current sample for an analysis
// into the session's 1-based A_Array[1..ATop].
//
// What an analysis wants is a TRunInfo filled by its window: columns, grouping
// columns and a selection mode (ColRefRun). The window then asks for one item
// (a column, a group level or a run) at a time with SetupIndex/GetAR, or for
// everything at once with LoadAllToA_Array.
//
// Columns and rows are 1-based throughout; every per-column array has 513
// entries (entry 0 unused).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Sentinels.h"

namespace amx {

struct Session;
struct WorksheetState;
class Worksheet;

inline constexpr int ColumnSlots = MaxColumns + 1;

// Selection modes (TRunInfo::ColRefRun).
namespace SelectionMode {
inline constexpr int Columns = 1;           // items are column numbers
inline constexpr int Groups = 2;            // column `measure` by group level of `index`
inline constexpr int Runs = 3;              // column `measure` by run
inline constexpr int RowsAcross = 5;        // one item: included columns Afirst..Alast, row by row
inline constexpr int GroupRows = 6;         // included columns of the rows of group v
inline constexpr int RunRows = 7;           // included columns of the rows of run v
inline constexpr int SpareMean = 8;         // one item: spare "Mean" column
inline constexpr int SpareMeanGroups = 9;   // spare "Mean" column by group level
inline constexpr int SpareMeanRuns = 10;    // spare "Mean" column by run
inline constexpr int ColumnGroups = 11;     // column ColIndex by group level, per column
inline constexpr int ColumnRuns = 12;       // column ColIndex by run, per column
inline constexpr int SingleGroupRuns = 20;  // mode 3 with one grouping column
}  // namespace SelectionMode

// What one procedure window wants loaded. Fields as the windows know them.
struct TRunInfo {
    std::int32_t v = 0;  // current item: column, group level or run number
    std::int32_t Afirst = 0, Alast = 0;
    std::int32_t ColIndex = 0;  // current column in modes 11 and 12
    std::int32_t ColFirst = 0, ColLast = 0;
    std::int32_t measure = 0;  // measured column in modes 2, 3 and 20
    std::int32_t index = 0;    // grouping column in modes 2, 6, 9 and 11
    std::int32_t MinRun = 0, MaxRun = 0;
    bool Col = false, Ref = false, Run = false;
    std::uint8_t ColRefRun = 0;  // the selection mode
    std::string ColRefRunStr;    // at most 3 characters
    std::string CurrentTitle, CurrentName;
    std::string MeasureName, GroupName;
    // Place values of the grouping columns in the run code.
    std::array<std::int32_t, ColumnSlots> Cpower{};
    // Levels of each grouping column. 32-bit: a grouping column may span more
    // than 65535 levels (serial numbers, say); the code's own range is checked.
    std::array<std::int32_t, ColumnSlots> MaxLevel{};
    // Entry 0: number of grouping columns k; entries 1..k: their columns.
    std::array<std::uint16_t, ColumnSlots> RefArray{};
    std::int32_t NumberOfGroups = 0, TotalCount = 0;

    // Everything back to 0/false/empty, except entry 0 of the three arrays.
    void InitRunInfo();
    void CopyFrom(const TRunInfo& other) { *this = other; }
};

class TDataList {
public:
    std::array<double, ColumnSlots> ColumnHigh{};
    std::array<double, ColumnSlots> ColumnLow{};
    std::array<bool, ColumnSlots> Highlow{};
    std::array<bool, ColumnSlots> IncludeCol{};
    std::array<bool, ColumnSlots> StringVar{};
    // Set by the histogram windows for their common axis; nothing here writes them.
    double GrandHigh = 0.0, GrandLow = 0.0;
    std::int32_t Acount = 0;  // capacity of A_Array
    std::int32_t Ncount = 0;  // worksheet rows at the last update
    std::int32_t Ccount = 0;  // not maintained
    std::int32_t Rcount = 0;  // rows allocated in the per-row tables
    bool MaxSizeCellChange = false;
    std::int32_t DescCol = 0;  // column whose title and limits go with the last sample

    // CellValues[column][row]: columns 0..MaxCol()+3, rows 0..Ncount, except
    // that a worksheet column without any cell has an empty table. The three
    // columns after the last worksheet column are the spare row-statistics
    // columns "Mean", "StdDev" and "n", filled by the procedures that analyse
    // subgroups laid out in rows; a re-parse keeps them while the sheet's shape
    // stays the same, and resets them to MissingValue when it changes.
    std::vector<std::vector<double>> CellValues;
    // LevelRows[column][level]: the row where a text column's level first occurs.
    std::vector<std::vector<std::int32_t>> LevelRows;
    // RowRunCode[row]: the row's run code from the last SetRunData, 0 when a
    // grouping cell is missing (and after every re-parse).
    std::vector<std::int32_t> RowRunCode;
    // RunTable: for runs 1..MaxRun the distinct codes ascending and a row of each.
    std::vector<std::int32_t> RunTableCodes;
    std::vector<std::int32_t> RunTableRows;
    // Rows edited since the last parse.
    std::vector<std::uint8_t> RowModified;
    // Pair filtering of the paired mean test (0, 0: off).
    int ProcessPairX = 0, ProcessPairY = 0;

    // Worksheet columns at the last parse.
    int MaxCol() const { return CellValues.empty() ? 0 : static_cast<int>(CellValues.size()) - 4; }
    // Rows 0..Ncount of a column's values; an empty column has no table of
    // its own and reads as MissingValue throughout. Valid until the next parse.
    const double* ColumnData(int column) const {
        if (column < 0 || column >= static_cast<int>(CellValues.size()) || CellValues[column].empty())
            return missing_.data();
        return CellValues[column].data();
    }
    // The parsed value, MissingValue outside the table.
    double Value(int column, int row) const {
        if (column < 0 || column >= static_cast<int>(CellValues.size()) || row < 0 ||
            row >= static_cast<int>(CellValues[column].size()))
            return MissingValue;
        return CellValues[column][row];
    }

    // Clears Highlow and the counts (a fresh DataList for a new worksheet).
    void InitData();
    // Releases every table.
    void Cleardata();
    // Steps 1-5 of UpdateData: parse every cell, assign text levels and the
    // column ranges. UpdateData (below) is what callers use.
    void Parse(const Worksheet& ws);
    // The worksheet revision the tables were parsed from.
    std::uint64_t ParsedRevision() const { return parsedRevision_; }
    bool Parsed() const { return parsed_; }

    // Rows of group level v of column `column` (present values that round to
    // v), ascending; built on first use and kept until the next parse.
    struct RowSpan {
        const std::int32_t* first = nullptr;
        const std::int32_t* last = nullptr;
        bool empty() const { return first == last; }
        std::size_t size() const { return static_cast<std::size_t>(last - first); }
    };
    RowSpan GroupRows(int column, std::int32_t v) const;
    // The smallest group level >= v present in `column`, or false when none.
    bool NextGroupLevel(int column, std::int64_t v, std::int32_t& level) const;
    // Rows of run v (1..MaxRun) from the last SetRunData, ascending; empty for
    // a run whose code is 0 and after a re-parse.
    RowSpan RunRows(int v) const;

    // Internal to SetRunData.
    void SetRunIndex(std::vector<std::int32_t> sortedRows, std::vector<std::int32_t> runStart);

private:
    struct GroupIndex {
        int column = 0;
        std::vector<std::int32_t> keys;  // distinct levels ascending
        std::vector<std::int32_t> start;  // rows of keys[i] are rows[start[i]..start[i+1])
        std::vector<std::int32_t> rows;
    };
    const GroupIndex& IndexOf(int column) const;

    mutable std::vector<GroupIndex> groupIndexes_;
    std::vector<double> missing_;  // rows 0..Ncount of MissingValue, for empty columns
    std::vector<std::int32_t> runSortedRows_;
    std::vector<std::int32_t> runStart_;  // runs 1..MaxRun: rows in [runStart_[v-1], runStart_[v])
    bool runIndexValid_ = false;
    std::uint64_t parsedRevision_ = 0;
    bool parsed_ = false;
};

// ---- cell parsing -----------------------------------------------------------

// How one cell's text reads: thousands commas and "$" removed; text cells give
// TextValue; empty, "." and ".." give MissingValue; "5%" gives 0.05; anything
// that does not convert gives MissingValue.
double ParseCell(std::string_view text);
// True when the text has a character other than digits, blanks, "$", "%",
// "+", ",", "-", ".", "E", "e" (the text-column test).
bool IsTextCell(std::string_view text);

// ---- worksheet queries ------------------------------------------------------
// Columns below 1 or beyond the last give "" or MissingValue.

int MaxCol(const WorksheetState& ws);
std::string ColumnName(const WorksheetState& ws, int c);
std::string ColumnTitle(const WorksheetState& ws, int c);
std::string ColumnTitleOrName(const WorksheetState& ws, int c);
// The description texts converted with the standard conversion (no thousands
// separators); empty or unconvertible text gives MissingValue.
long double ColumnUSL(const WorksheetState& ws, int c);
long double ColumnTarget(const WorksheetState& ws, int c);
long double ColumnLSL(const WorksheetState& ws, int c);
// False for the empty worksheet (one column, one row).
bool HaveData(const WorksheetState& ws);

// Two-letter column codes in front of list items: column 1 "AB", 25 "BA", 512 "UM".
std::string ColumnCode(int column);
// The column of an item that starts with a code; 0 when the text is shorter.
int ColumnOfCode(std::string_view item);

// ---- parsing and change tracking --------------------------------------------

// Re-parses the whole worksheet, grows A_Array to hold a column, clears
// DataDirty and sets VariablesChanged.
void UpdateData(Session& s);
// Re-parses when cells were edited since the last parse (DataDirty, or any
// change to the worksheet since), so no loader ever works on stale numbers.
void EnsureDataCurrent(Session& s);
void SetRowModifiedTrue(WorksheetState& ws, int row);
void SetRowsModified(WorksheetState& ws, int firstRow, int lastRow);
void SetAllRowsModified(WorksheetState& ws);
// The data editor lost focus: re-parse if dirty, then each set change flag
// bumps its counter and is cleared.
void DataEditorDeactivated(Session& s);
// A new worksheet: a fresh, empty DataList (the old tables released).
void ResetDataList(WorksheetState& ws);

// ---- the current sample -----------------------------------------------------

// Grows A_Array (it never shrinks) to hold n values.
void MaxSizeA_Array(Session& s, long long n);
// False for MissingValue, else the missing-value rule's verdict.
bool DataValid(const Session& s, double x);
// False when pair filtering is on and a pair cell of the row fails DataValid,
// else the Process If verdict.
bool ProcessOK(const Session& s, int row);
// Pair filtering on columns x and y (both within the sheet, else nothing
// changes); (0, 0) turns it off.
void SetProcessPairs(Session& s, int x, int y);

// Builds the run codes of the grouping columns RefArray[1..k] and sets
// MinRun/MaxRun and Afirst/Alast. When the combinations of levels cannot be
// numbered in 32 bits it shows an error, sets StatErrorCode to 1, leaves a
// single empty run and returns false; a grouping column without any present
// value simply gives no data.
bool SetRunData(Session& s, TRunInfo& ri);
// Loads item v into A_Array[1..ATop].
void DataToA_Array(Session& s, int v, TRunInfo& ri);
// Loads everything the mode selects, whatever the item; names it "(All)".
void LoadAllToA_Array(Session& s, TRunInfo& ri);
void SetupIndex(TRunInfo& ri);
// Advances to the next item with data, loads it and names it; false when none
// is left. v never ends beyond Alast.
bool GetAR(Session& s, TRunInfo& ri);
// Counts the items with data (NumberOfGroups) and their values (TotalCount),
// then rewinds (SetupIndex).
void GetGroupCount(Session& s, TRunInfo& ri);
// Fills the session's VarListNames/VarListKeys with every item GetAR yields.
void SetupVarList(Session& s, TRunInfo& ri);
// Loads item v again with the random generator as it was on the first load.
void ReloadAR(Session& s, TRunInfo& ri);
// Spare-column statistic m (1 mean, 2 standard deviation, 3 count) of the
// rows that make up item v; no transform (the spare columns hold transformed
// statistics already).
void SubgroupStatsToA_Array(Session& s, int m, TRunInfo& ri);
bool GetARsubgroupStats(Session& s, int m, TRunInfo& ri);

// ---- names --------------------------------------------------------------------

// A text column's level L is its text; otherwise L in decimal.
std::string GetLevelName(const Session& s, int column, int level);
// The grouping cells' texts of run RN joined by ", "; "Missing" for a run
// without a row or with a missing grouping value.
std::string GetRunName(const Session& s, int RN, const TRunInfo& ri);
void SetCurrentTitles(Session& s, TRunInfo& ri);

}  // namespace amx
