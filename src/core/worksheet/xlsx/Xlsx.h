#pragma once
// Spreadsheet workbooks (.xlsx, Office Open XML SpreadsheetML) as worksheets.
//
// Reading (libzip + expat, streaming): one sheet's cells become the
// worksheet's text. Shared and inline strings and booleans as text; numbers
// as the shortest text that reads back as the same double, or with the
// decimals of a fixed-decimals number format ("0.00"); formulas by their
// cached values; error values as empty cells; a number under a date or time
// format as its ISO 8601 text (1900 and 1904 date systems); a merged range
// takes its top-left value in every cell. The first row holds the column
// names when the text reader would take it for a names line (and every cell
// of it is text), or when the workbook's "Descriptions" sheet lists the same
// names. A sheet named "Descriptions" with rows "Title:", "USL:",
// "Target:", "LSL:" in its first column gives the description rows.
//
// Nothing is trusted: entry sizes are capped while inflating (a zip bomb
// stops at the cap), DOCTYPE declarations are refused (no entity expansion),
// rows and columns are capped, and any failure leaves the session's
// worksheet untouched.
//
// Writing (libxlsxwriter): sheet "Data" with the names in row 1, cells that
// read as plain decimal numbers as numbers (with a fixed-decimals format when
// the text has trailing zeros, so the text comes back the same), everything
// else as text; the names and description rows on a second sheet
// "Descriptions". Reading the written workbook gives the same worksheet.
#include <string>
#include <vector>

#include "worksheet/DataFile.h"

namespace amx {

struct Session;
class Worksheet;

inline constexpr const char* XlsxProtectedText =
    "The workbook is password-protected or in the old binary format (.xls). Save it as an .xlsx workbook "
    "without a password and open that.";
inline constexpr const char* XlsxCellTooLongText =
    "A cell holds more than 32,767 characters, more than a workbook cell can hold. Save as a data file instead.";

// Workbook file name (".xlsx" or ".xlsm", any letter case).
bool IsWorkbookName(const std::string& fileName);
// A workbook by its name, or a file that starts as a zip archive, or one in
// the old compound format (.xls, or an encrypted workbook): the workbook
// reader handles them all.
bool IsWorkbookFile(const std::string& fileName);

// The worksheets of a workbook a user may open, in the workbook's order: all
// but the "Descriptions" sheet, which holds the description rows. False when
// the file is not a readable workbook.
bool WorkbookSheetNames(const std::string& fileName, std::vector<std::string>& names);

enum class WorkbookError { None, Open, Protected, Corrupt, TooLarge, NoSuchSheet };

struct WorkbookSheet {
    Worksheet* sheet = nullptr;  // filled on success
    bool truncated = false;      // more than Worksheet::MaxColumns columns
    bool hasNames = false;
};

// Reads one sheet: `sheet` is a sheet name (exact, then any letter case) or
// its 1-based number; empty means the first sheet. Fills out.sheet only on
// success.
WorkbookError ReadWorkbookSheet(const std::string& fileName, const std::string& sheet, WorkbookSheet& out,
                                const LoadProgress& progress = {});

// FileToDataGrid for a workbook: asks NewWorksheet's question only after the
// sheet was read; on an error shows the message and leaves the worksheet as
// it was. Shows the truncation warning.
bool WorkbookToDataGrid(Session& s, const std::string& fileName, const std::string& sheet = {},
                        const LoadProgress& progress = {}, const SaveAsFn& saveAs = {});

// Writes the worksheet (or the selection) as a workbook through
// SafeWriteFileVia. False on any failure (fileName untouched); `error` then
// says why when the workbook itself could not hold the data.
bool WriteWorkbook(const Worksheet& ws, const std::string& fileName, bool namesWanted, bool selectionOnly,
                   bool descriptionsWanted, const CellBlock& selection, std::string& error);

}  // namespace amx
