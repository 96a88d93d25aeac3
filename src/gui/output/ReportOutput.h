#pragma once
// Saving and printing a report pane. The layout of printed pages is the core's
// (LayoutReport); here it is measured with the printer's real fonts and
// painted on a QPrinter, so printing to a PDF file works like any printer.
#include <QFont>
#include <QString>
#include <functional>

#include "report/MPrinter.h"

class QPainter;
class QPrinter;
class QRect;
class QWidget;

namespace amx {
class Messages;
}

namespace amx::gui {

class ReportPane;

QFont QFontOf(const TextFont& font);

// Measures with the fonts of a paint device (the printer), in its pixels.
class QtPrintMeasure : public PrintMeasure {
public:
    explicit QtPrintMeasure(QPaintDevice* device) : device_(device) {}
    int LineHeight(const TextFont& font) override;
    int TextWidth(const TextFont& font, const std::string& text) override;
    int AverageCharWidth(const TextFont& font) override;
    int CapitalHeight(const TextFont& font) override;

private:
    QPaintDevice* device_;
};

PrinterGeometry GeometryOf(QPrinter& printer);

// Draws a sketch picture stretched into a rectangle of printer pixels.
using SketchPainter = std::function<void(QPainter&, const QRect&)>;

// The file name filter of the report save dialog.
QString ReportSaveFilter();

// Writes the pane to `path`: rich text when it ends in ".rtf" (any case),
// else plain text. An error box and false when the file cannot be written.
bool SaveOutputToFile(const ReportPane& pane, const QString& path, Messages& messages);
// The save dialog (overwrite prompt included), then SaveOutputToFile.
// Cancelling does nothing.
void SaveOutput(const ReportPane& pane, QWidget* parent, Messages& messages);

// Prints the pane on a printer the caller has set up (no dialog). The job is
// ended also when painting fails part-way. False when the printer could not
// be opened.
bool PrintReportOn(QPrinter& printer, const ReportPane& pane, const QString& title,
                   const SketchPainter& sketch = {});
// Print dialog with the last orientation used, then PrintReportOn.
void PrintOutput(const ReportPane& pane, const QString& title, QWidget* parent, Messages& messages);
// The same with the sketch above the text; does nothing without a sketch.
void PrintOutputWithSketch(const ReportPane& pane, const QString& title, const SketchPainter& sketch,
                           QWidget* parent, Messages& messages);

}  // namespace amx::gui
