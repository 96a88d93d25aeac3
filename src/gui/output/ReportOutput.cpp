#include "output/ReportOutput.h"

#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "common/Messages.h"
#include "output/ReportPane.h"
#include "report/ReportWriters.h"

namespace amx::gui {
namespace {

// The orientation chosen in the last print dialog, offered in the next one.
QPageLayout::Orientation g_lastOrientation = QPageLayout::Portrait;

QColor ColorOf(TextColor c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

}  // namespace

QFont QFontOf(const TextFont& font) {
    QFont f(QString::fromStdString(font.face));
    f.setPointSizeF(font.size);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}

int QtPrintMeasure::LineHeight(const TextFont& font) {
    return QFontMetrics(QFontOf(font), device_).height();
}

int QtPrintMeasure::TextWidth(const TextFont& font, const std::string& text) {
    return QFontMetrics(QFontOf(font), device_).horizontalAdvance(QString::fromStdString(text));
}

int QtPrintMeasure::AverageCharWidth(const TextFont& font) {
    return QFontMetrics(QFontOf(font), device_).averageCharWidth();
}

int QtPrintMeasure::CapitalHeight(const TextFont& font) {
    return QFontMetrics(QFontOf(font), device_).capHeight();
}

PrinterGeometry GeometryOf(QPrinter& printer) {
    const int dpi = printer.resolution();
    const QRect paint = printer.pageLayout().paintRectPixels(dpi);
    PrinterGeometry g;
    g.pageWidth = paint.width();
    g.pageHeight = paint.height();
    g.dpiX = g.dpiY = dpi;
    g.offsetX = paint.left();
    g.offsetY = paint.top();
    return g;
}

QString ReportSaveFilter() { return "Rich Text Format (*.rtf);;Plain Text File (*.txt)"; }

bool SaveOutputToFile(const ReportPane& pane, const QString& path, Messages& messages) {
    if (SaveReport(pane.ToDocument(), path.toStdString())) return true;
    messages.Error("Unable to write the file " + path.toStdString());
    return false;
}

void SaveOutput(const ReportPane& pane, QWidget* parent, Messages& messages) {
    QFileDialog dlg(parent, "Save As", QString(), ReportSaveFilter());
    dlg.setObjectName("SaveOutputDialog");
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.selectNameFilter("Plain Text File (*.txt)");
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    // The chosen filter, not a fixed default, supplies a missing extension:
    // the writer picks the format by the extension.
    QString path = dlg.selectedFiles().front();
    if (QFileInfo(path).suffix().isEmpty())
        path += dlg.selectedNameFilter().contains("*.rtf") ? ".rtf" : ".txt";
    SaveOutputToFile(pane, path, messages);
}

bool PrintReportOn(QPrinter& printer, const ReportPane& pane, const QString& title,
                   const SketchPainter& sketch) {
    const ReportDocument doc = pane.ToDocument();
    ReportPrintSetup setup;
    setup.title = title.toStdString();
    setup.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    setup.dateText = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
    g_lastOrientation = printer.pageLayout().orientation();

    QtPrintMeasure measure(&printer);
    const PrinterGeometry geometry = GeometryOf(printer);
    const std::vector<PrintedPage> pages = sketch ? LayoutReportWithSketch(doc, setup, geometry, measure)
                                                  : LayoutReport(doc, setup, geometry, measure);

    // QPainter ends the job in its destructor, whatever happens on the way.
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrush(Qt::white);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) break;
        for (const PrintItem& item : pages[i].items) {
            const QFont f = QFontOf(item.font);
            painter.setFont(f);
            painter.setPen(ColorOf(item.font.color));
            const QFontMetrics fm(f, &printer);
            painter.drawText(QPoint(item.x, item.y + fm.ascent()), QString::fromStdString(item.text));
        }
        if (sketch && pages[i].picture) {
            const PrintRect& r = *pages[i].picture;
            painter.save();
            sketch(painter, QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
            painter.restore();
        }
    }
    return painter.end();
}

namespace {
bool RunPrintDialog(QPrinter& printer, const QString& title, QWidget* parent) {
    printer.setPageOrientation(g_lastOrientation);
    printer.setDocName(title);
    QPrintDialog dlg(&printer, parent);
    dlg.setObjectName("PrintDialog");
    return dlg.exec() == QDialog::Accepted;
}
}  // namespace

void PrintOutput(const ReportPane& pane, const QString& title, QWidget* parent, Messages& messages) {
    QPrinter printer(QPrinter::HighResolution);
    if (!RunPrintDialog(printer, title, parent)) return;
    if (!PrintReportOn(printer, pane, title)) messages.Error("Unable to print: the printer could not be opened");
}

void PrintOutputWithSketch(const ReportPane& pane, const QString& title, const SketchPainter& sketch,
                           QWidget* parent, Messages& messages) {
    if (!sketch) return;
    QPrinter printer(QPrinter::HighResolution);
    if (!RunPrintDialog(printer, title, parent)) return;
    if (!PrintReportOn(printer, pane, title, sketch))
        messages.Error("Unable to print: the printer could not be opened");
}

}  // namespace amx::gui
