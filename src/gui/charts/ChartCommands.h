#pragma once
// Saving, copying and printing a chart. Vector formats (.svg, .pdf) stand
// where the desktop once offered metafiles; bitmaps are .png, .jpg and .bmp.
#include <QString>

#include "output/ReportOutput.h"

class QCustomPlot;
class QPrinter;
class QWidget;

namespace amx {
class Messages;
}

namespace amx::gui {

QString ChartSaveFilter();

// Saves the chart by the upper-cased extension of `path`. Any other
// extension gives "File Extension Not Valid!" and writes nothing. False when
// nothing was written.
// jpegQuality (1 to 100) is used for .jpg only.
bool SaveChartToFile(QCustomPlot* plot, const QString& path, Messages& messages, int jpegQuality = 90);
// The picture save dialog (and for .jpg the JPEG options dialog), then
// SaveChartToFile; cancelling either does nothing.
void SaveChart(QCustomPlot* plot, QWidget* parent, Messages& messages);

// The chart to the clipboard, as SVG and as a bitmap, then the notice
// "Graph Copied to Clipboard!" for 2 seconds.
void CopyChart(QCustomPlot* plot, Messages& messages);

// The chart as the sketch a report is printed with, stretched into the
// picture rectangle.
SketchPainter ChartSketch(QCustomPlot* plot);

// The chart on one page with 5 % margins on every side, stretched to fill
// them (its aspect ratio is not kept).

bool PrintChartOn(QPrinter& printer, QCustomPlot* plot);
void PrintChart(QCustomPlot* plot, QWidget* parent, Messages& messages);

}  // namespace amx::gui
