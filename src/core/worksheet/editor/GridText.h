#pragma once
// Text forms of any grid (the data editor's and every result grid): the
// tab-separated selection for the clipboard and for saving, and the paged
// layout of a printed grid. A grid is seen through a cell reader, with
// column 0 the row headers and row 0 the column names.
#include <functional>
#include <string>
#include <vector>

#include "worksheet/editor/GridEdit.h"

namespace amx {

using GridCellReader = std::function<std::string(int col, int row)>;

// Every row of the block becomes one line, cells joined by a tab, each line
// ended by CR LF.
std::string GridBlockText(const GridCellReader& cell, GridRect block);

// One printed page of a grid: the underlined header line and the row lines.
struct GridPrintPage {
    std::string header;
    std::vector<std::string> lines;
};

// Lays out the cells of `range` (columns and rows from 1) for printing in a
// fixed-pitch font: pages of at most `rowsPerPage` rows; as many columns as
// fit in `lineWidth` characters (at least one) beside the row-header column;
// when columns remain, the next page carries on with them for the same rows.
// Column widths are the longest text + 3 and are not limited in size.
std::vector<GridPrintPage> LayoutGridPrint(const GridCellReader& cell, GridRect range, int rowsPerPage,
                                           int lineWidth);

// Where a grid printed inside a print job that is already running goes.
class GridJobSink {
public:
    virtual ~GridJobSink() = default;
    virtual int LinesPerPage() = 0;
    virtual int LinesLeftOnPage() = 0;
    virtual void PageFeed() = 0;
    virtual void EmptyLine() = 0;
    // One line in the proportional bold heading font.
    virtual void Heading(const std::string& text) = 0;
    // One line in the fixed-pitch grid font.
    virtual void Line(const std::string& text, bool underline) = 0;
};

// The whole grid (columns 1..columns, rows 1..rows) printed after whatever
// the job holds: blocks of at most `rowsPerPage` rows and as many columns as
// fit in `lineWidth`, widths the longest text + 2, " |" after the row headers.
// A block goes to a new page when its rows and six more lines do not fit on
// the rest of this one (never from a page that is still empty); the first
// block otherwise follows three empty lines. The heading precedes only the
// first block, and an empty line follows every block but the last.
void PrintGridInJob(const GridCellReader& cell, int columns, int rows, const std::string& heading,
                    int rowsPerPage, int lineWidth, GridJobSink& out);

}  // namespace amx
