#pragma once
// Grid tools shared by the data editor and every result grid: select all,
// copy the selection as tab-separated text, save it as text, print it. A grid
// is a QTableView; its horizontal header is the fixed row 0 and its vertical
// header the fixed column 0.
#include <QPoint>
#include <QString>

#include "worksheet/editor/GridEdit.h"

class QTableView;
class QWidget;

namespace amx {
class TMPrinter;
}

namespace amx::gui {

class TGridDataModule {
public:
    // Cell text with the fixed row and column: (0, r) the row header, (c, 0)
    // the column header, (0, 0) empty.
    static QString CellText(const QTableView* grid, int col, int row);
    // The point (viewport coordinates) lies on the top-left corner cell.
    static bool IsTopLeftCell(const QTableView* grid, QPoint p);
    static void SelectAllCells(QTableView* grid);
    // The bounding block of the selection (of the current cell when nothing
    // is selected), 1-based; an empty grid gives a block of (1, 1).
    static GridRect Selection(const QTableView* grid);
    static bool SelectionIsRange(const QTableView* grid);
    static bool CellInSelection(const QTableView* grid, int col, int row);
    static bool AllSelected(const QTableView* grid);
    static void SelectBlock(QTableView* grid, GridRect block);
    // The selected block as lines of tab-joined cells, each ended by CR LF;
    // with `withHeaders` the fixed row and column are included.
    static QString SelectionText(const QTableView* grid, bool withHeaders);
    // To the clipboard, under a wait cursor. A grid that is wholly selected is
    // copied with its headers.
    static void CopySelection(const QTableView* grid);
    // Writes the selection (more than one cell) or the whole grid with its
    // headers. False when the file cannot be written.
    static bool SaveGridText(const QTableView* grid, const QString& fileName);
    // Asks for a text file name (overwrite prompt) and saves.
    static void SaveGridTextDialog(QWidget* parent, const QTableView* grid);
    // Print dialog and a paged print of the grid in Courier New 9.
    static void PrintGrid(QTableView* grid, const QString& pageTitle, const QString& heading);
    // The whole grid printed into the job already running on `job`, after
    // what it holds (a report's grid below the report text).
    static void PrintGridInJob(TMPrinter& job, const QTableView* grid, const QString& heading);
};

}  // namespace amx::gui
