#include "charts/ChartCommands.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QFile>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <qcustomplot.h>

#include <algorithm>

#include "common/Messages.h"
#include "common/SafeWrite.h"

namespace amx::gui {
namespace {

QByteArray SvgOf(QCustomPlot* plot) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    // At any other resolution QSvgGenerator writes sizes 4/3 too large.
    svg.setResolution(96);
    svg.setSize(plot->size());
    svg.setViewBox(QRect(QPoint(0, 0), plot->size()));
    svg.setTitle("Chart");
    QCPPainter painter;
    painter.begin(&svg);
    plot->toPainter(&painter, plot->width(), plot->height());
    painter.end();
    return buffer.data();
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

QString ChartSaveFilter() {
    return "SVG Pictures (*.svg);;PDF Documents (*.pdf);;PNG Pictures (*.png);;JPEG Pictures (*.jpg);;"
           "Bitmaps (*.bmp);;All (*.svg *.pdf *.png *.jpg *.bmp)";
}

bool SaveChartToFile(QCustomPlot* plot, const QString& path, Messages& messages, int jpegQuality) {
    const QString ext = QFileInfo(path).suffix().toUpper();
    if (ext != "SVG" && ext != "PDF" && ext != "PNG" && ext != "JPG" && ext != "JPEG" && ext != "BMP") {
        QApplication::beep();
        messages.Error("File Extension Not Valid!");
        return false;
    }
    // Through the program's one safe-write routine: the picture is written to
    // a fresh temporary file beside the target, then renamed over it.
    auto writeAt = [&](const std::string& temp) {
        const QString tp = QString::fromStdString(temp);
        if (ext == "SVG") {
            const QByteArray data = SvgOf(plot);
            QFile file(tp);
            return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size() &&
                   file.flush();
        }
        if (ext == "PDF") return plot->savePdf(tp, plot->width(), plot->height(), QCP::epNoCosmetic, "Ambrolux", "Chart");
        if (ext == "PNG") return plot->savePng(tp);
        if (ext == "BMP") return plot->saveBmp(tp);
        return plot->saveJpg(tp, 0, 0, 1.0, std::clamp(jpegQuality, 1, 100));
    };
    const bool ok = SafeWriteFileVia(path.toStdString(), writeAt) == SafeWriteResult::Written;
    if (!ok) messages.Error("Unable to write the file " + path.toStdString());
    return ok;
}

void SaveChart(QCustomPlot* plot, QWidget* parent, Messages& messages) {
    QFileDialog dlg(parent, "Save Graph", QString(), ChartSaveFilter());
    dlg.setObjectName("SavePictureDialog");
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix("svg");
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    const QString path = dlg.selectedFiles().front();
    int quality = 90;
    const QString ext = QFileInfo(path).suffix().toUpper();
    if (ext == "JPG" || ext == "JPEG") {
        bool ok = false;
        quality = QInputDialog::getInt(parent, "JPEG Options", "Compression quality (1 to 100):", quality, 1, 100,
                                       1, &ok);
        if (!ok) return;
    }
    SaveChartToFile(plot, path, messages, quality);
}

void CopyChart(QCustomPlot* plot, Messages& messages) {
    {
        WaitCursor wait;
        auto* mime = new QMimeData;
        mime->setData("image/svg+xml", SvgOf(plot));
        mime->setImageData(plot->toPixmap().toImage());
        QApplication::clipboard()->setMimeData(mime);
    }
    messages.TimedNotice("Graph Copied to Clipboard!", 2);
}

SketchPainter ChartSketch(QCustomPlot* plot) {
    return [plot](QPainter& painter, const QRect& target) {
        // Through SVG, so it stays vector on any painter and device resolution.
        QSvgRenderer svg(SvgOf(plot));
        svg.setAspectRatioMode(Qt::IgnoreAspectRatio);
        svg.render(&painter, QRectF(target));
    };
}

bool PrintChartOn(QPrinter& printer, QCustomPlot* plot) {
    QCPPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    const QRect page = painter.viewport();
    const QRectF target(page.width() * 0.05, page.height() * 0.05, page.width() * 0.9, page.height() * 0.9);
    painter.translate(target.topLeft());
    painter.scale(target.width() / plot->width(), target.height() / plot->height());
    plot->toPainter(&painter, plot->width(), plot->height());
    return painter.end();
}

void PrintChart(QCustomPlot* plot, QWidget* parent, Messages& messages) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName("Ambrolux");
    QPrintDialog dlg(&printer, parent);
    dlg.setObjectName("PrintDialog");
    if (dlg.exec() != QDialog::Accepted) return;
    if (!PrintChartOn(printer, plot)) messages.Error("Unable to print: the printer could not be opened");
}

}  // namespace amx::gui
