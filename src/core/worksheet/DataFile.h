#pragma once
// Data files: the worksheet as plain text. One line per row, cells separated
// by tabs (comma- and space-separated lines are read too), an optional first
// line of column names, "Title:", "USL:", "Target:" and "LSL:" description
// lines, and "*" comment lines.
//
// The writer always writes the tab-separated form with CR LF line ends, in
// Windows-1252 when every character fits and those bytes cannot be mistaken
// for UTF-8, else in UTF-8 (with a byte-order mark when the text would fit the
// code page), and protects every line the reader could misread, so a saved worksheet reads
// back unchanged (apart from blanks at either end of a cell, which the reader
// trims).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace amx {

struct Session;
struct WorksheetState;
class Worksheet;

inline constexpr const char* FileErrorMeasureText = "File Error";
inline constexpr const char* FileErrorText = "File Error!";
inline constexpr const char* ColumnsTruncatedText =
    "The Maximum Number of Columns was Exceeded. Columns Truncated.";
inline constexpr const char* ErrorWritingFileText = "Error Writing File";

inline constexpr const char* OpenDialogFilter =
    "Data Files (*.dat, *.amx, *.amxs, *.xlsx)|*.dat;*.amx;*.amxs;*.xlsx|Ambrolux Data Files (*.amx)|*.amx|"
    "Corvane Data Files (*.amxs)|*.amxs|Data Files (*.dat)|*.dat|Workbooks (*.xlsx)|*.xlsx|"
    "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
inline constexpr const char* SaveDialogFilter =
    "Data Files (*.amx, *.amxs, *.dat)|*.amx;*.amxs;*.dat|Ambrolux Data Files (*.amx)|*.amx|"
    "Corvane Data Files (*.amxs)|*.amxs|Data Files (*.dat)|*.dat|Workbooks (*.xlsx)|*.xlsx|"
    "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
inline constexpr const char* SaveDialogDefaultExtension = "amx";

// Called with 0..100 as a file loads (only when the figure changes).
using LoadProgress = std::function<void(int percent)>;
// Runs the Save As dialogs and the save; true only when a file was written.
using SaveAsFn = std::function<bool()>;

// ---- line syntax (shared by the reader, the writer and the editor's paste) --

// The cells of a data line: split at tabs if it has one, else at commas if it
// has one, else at runs of blanks; each cell trimmed of blanks and control
// characters. With tabs or commas, adjacent separators and a leading one give
// an empty cell; one separator at the very end adds no cell.
std::vector<std::string_view> SplitDataLine(std::string_view line);
// The names of a names line: split at every tab if it has one (every field
// counts; an empty one becomes "Col" + its position), else at runs of blanks
// and commas. A name in double quotes loses them; without tabs it may then
// hold blanks and commas.
std::vector<std::string> SplitNamesLine(std::string_view line);
// Whether a line is a names line (only the first line that is no comment,
// blank or description line can be one): it has a character that cannot be
// part of a number, and none of its fields converts as a number.
bool IsNamesLine(std::string_view line);
// 1..4 when the line is a description line ("Title:", "USL:", "Target:",
// "LSL:", any letter case, at the very start), else 0.
int DescriptionLineRow(std::string_view line);

// ---- the worksheet's file state -----------------------------------------------

// "Data", "Data - " + file name, then "  (modified)" when modified.
std::string DataWindowCaption(const WorksheetState& ws);
void SetFileModified(WorksheetState& ws, bool modified);

// The empty worksheet. Asks "File Not Saved.  Save?" first when the sheet is
// modified: Yes runs `saveAs` (a cancelled or failed save counts as Cancel),
// Cancel sets StatErrorCode to 1 and changes nothing. Returns false when
// cancelled. The missing-value rule stays; Process If and the transform are
// reset.
bool NewWorksheet(Session& s, const SaveAsFn& saveAs = {});

// Replaces the worksheet by the file's contents (after NewWorksheet's
// question). A workbook (.xlsx, or a file that is a zip archive) goes to
// WorkbookToDataGrid (xlsx/Xlsx.h) and reads its first sheet. Errors: "File
// Error" when the file cannot be measured, "File Error!" when it cannot be
// opened or a read fails part-way; either way the worksheet is left empty and without a file name. A file that is no text (a
// NUL byte or more than a few control characters in its first 64 KiB), or one
// whose load runs out of memory, is refused with "File Error!" and the
// worksheet stays as it was. Lines longer than 512 fields keep 512, with the
// truncation warning shown once. On success the caller puts the file at the
// top of the recent-files list.
bool FileToDataGrid(Session& s, const std::string& fileName, const LoadProgress& progress = {},
                    const SaveAsFn& saveAs = {});

// Whether two names are the same file (either may not exist yet).
bool SameFile(const std::string& a, const std::string& b);

// A block of cells (1-based, inclusive) for "Save Selection Only".
struct CellBlock {
    int left = 1, top = 1, right = 1, bottom = 1;
};

// Writes the worksheet (or only `selection` when selectionOnly) to fileName
// (as a workbook for an .xlsx name, see xlsx/Xlsx.h) through SafeWriteFile
// (a symlink's target is replaced; anything but a writable regular file is
// refused), so a failed save leaves the old file as it was. A full save makes
// fileName the worksheet's file and clears the modified flag; a selection is
// an export and changes neither, except that a block written over the
// worksheet's own file marks the worksheet modified (the file no longer holds
// it). On failure shows "Error Writing File" and changes nothing.
bool SaveFile(Session& s, const std::string& fileName, bool namesWanted, bool selectionOnly,
              bool descriptionsWanted, const CellBlock& selection = {});

// "&Save": SaveFile to DataFilename with names and descriptions when the
// sheet has a file name, else `saveAs`; afterwards a pending DataChanged is
// folded into DataVersion. When the file was read with its columns cut,
// asks TruncatedSaveQuestion first: Yes saves over it, No runs `saveAs`.
bool SaveWorksheet(Session& s, const SaveAsFn& saveAs);
// The question before a file read with its columns cut is saved over.
std::string TruncatedSaveQuestion(const WorksheetState& ws);

// The Configure Save dialog's three boxes: enabled (and checked) or not.
struct SaveChoices {
    bool selectionOnly = false;
    bool variableNames = false;
    bool descriptions = false;
    bool any() const { return selectionOnly || variableNames || descriptions; }
};
SaveChoices ConfigureSaveChoices(const Worksheet& ws, long long selectedCells);

// The file's bytes as the writer would write them (for tests and tools).
std::string WorksheetFileText(const Worksheet& ws, bool namesWanted, bool selectionOnly,
                              bool descriptionsWanted, const CellBlock& selection = {});

}  // namespace amx
