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

}  // namespace amx
