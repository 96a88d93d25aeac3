// The report pane, saving and printing reports, and the chart commands.
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>
#include <sys/stat.h>
#include <qcustomplot.h>

#include "charts/ChartCommands.h"
#include "charts/ChartStyle.h"
#include "charts/ChartTitlesDialog.h"
#include "charts/ChartWindowCommands.h"
#include "common/Messages.h"
#include "common/Sentinels.h"
#include "output/ReportOutput.h"
#include "output/ReportPane.h"
#include "procedure/ProcedureForm.h"
#include "session/Session.h"

using namespace amx;
using namespace amx::gui;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteRun(TProcedureForm& form, const std::string& value) {
    OutputWriter& out = form.BeginReport("Mean/Dispersion Tests", {"Measure: Diameter"});
    out.WriteLine("Mean\t" + value);
    form.EndReport();
}

QStringList PaneLines(const ReportPane& pane) { return pane.toPlainText().split('\n'); }

}  // namespace

class TestOutput : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void twoRunsSeparatedByRedPageMark() {
        Session s;
        s.DataFilename = "/data/parts.txt";
        TProcedureForm form(s, {"Test"});
        WriteRun(form, "1.5");
        WriteRun(form, "2.5");
        const QStringList expected = {"Mean/Dispersion Tests", "", "File: /data/parts.txt", "Measure: Diameter", "",
                                      "Mean\t1.5",            "", "-Page-",
                                      "Mean/Dispersion Tests", "", "File: /data/parts.txt", "Measure: Diameter", "",
                                      "Mean\t2.5",            ""};
        QCOMPARE(PaneLines(*form.Pane()), expected);

        const QTextBlock mark = form.Pane()->document()->findBlockByNumber(7);
        QVERIFY(ReportPane::IsPageMarkBlock(mark));
        const QTextCharFormat f = mark.begin().fragment().charFormat();
        QCOMPARE(f.foreground().color(), QColor(Qt::red));
        QCOMPARE(f.fontPointSize(), 8.0);
        QVERIFY(!ReportPane::IsPageMarkBlock(mark.next()));
        // The heading keeps its face and style through the round trip.
        const QTextCharFormat h = form.Pane()->document()->findBlockByNumber(8).begin().fragment().charFormat();
        QCOMPARE(h.fontFamilies().toStringList().value(0), QString("Arial"));
        QVERIFY(h.fontUnderline());
        QCOMPARE(h.fontWeight(), int(QFont::Bold));
    }

    void activeFileModificationsHeadEveryWorksheetReport() {
        Session s;
        s.Missing.Active = true;
        s.Missing.Sign1 = 1;
        s.Missing.X1 = 999;
        s.MissingText1 = "X = 999";
        TProcedureForm form(s, {"Test"});
        WriteRun(form, "1.5");
        QCOMPARE(PaneLines(*form.Pane()).mid(0, 5),
                 QStringList({"Mean/Dispersion Tests", "", "Measure: Diameter", "Missing When: X = 999", ""}));
        // A report that does not come from the worksheet has no such lines.
        form.BeginReport("Notes", {}, {}, false).WriteLine("n");
        form.EndReport();
        QVERIFY(!PaneLines(*form.Pane()).mid(6).contains("Missing When: X = 999"));
    }

    void clearBeforeDisplayLeavesOnlyTheLastRun() {
        Session s;
        TProcedureForm form(s, {"Test"});
        WriteRun(form, "1");
        form.findChild<QCheckBox*>("ClearCheckBox")->setChecked(true);
        WriteRun(form, "2");
        const QString text = form.Pane()->toPlainText();
        QVERIFY(!text.contains("-Page-"));
        QVERIFY(!text.contains("Mean\t1"));
        QVERIFY(text.contains("Mean\t2"));
    }

    // The user's edits in the pane are part of the report: a later run adds
    // to them instead of bringing back what was deleted.
    void userEditsSurviveTheNextRun() {
        Session s;
        TProcedureForm form(s, {"Test"});
        WriteRun(form, "1.5");
        QTextCursor c(form.Pane()->document()->findBlockByNumber(2));  // "Measure: Diameter"
        c.select(QTextCursor::BlockUnderCursor);
        c.removeSelectedText();
        WriteRun(form, "2.5");
        QCOMPARE(form.Pane()->toPlainText().count("Measure: Diameter"), 1);
        QVERIFY(form.Pane()->toPlainText().contains("Mean\t1.5"));
        // The append kept the edit history: one undo takes back the second run.
        form.Pane()->undo();
        QVERIFY(!form.Pane()->toPlainText().contains("Mean\t2.5"));
    }

    // A report line that reads "-Page-" is text, not a page mark: only the
    // typed mark is dropped from plain text and becomes a page break in RTF.
    void savingKeepsUserLinesReadingPageMark() {
        Session s;
        TProcedureForm form(s, {"Test"});
        WriteRun(form, "1.5");
        OutputWriter& out = form.BeginReport("Notes", {}, {}, false);
        out.WriteLine("-Page-");
        out.WriteLine("a\tb");
        form.EndReport();

        RecordingMessages msgs;
        const QString txt = dir_.filePath("report.txt");
        QVERIFY(SaveOutputToFile(*form.Pane(), txt, msgs));
        const QByteArray plain = ReadAll(txt);
        QCOMPARE(plain, QByteArray("Mean/Dispersion Tests\r\n\r\nMeasure: Diameter\r\n\r\nMean\t1.5\r\n\r\n"
                                   "Notes\r\n\r\n-Page-\r\na\tb\r\n"));

        const QString rtf = dir_.filePath("report.RTF");
        QVERIFY(SaveOutputToFile(*form.Pane(), rtf, msgs));
        const QByteArray r = ReadAll(rtf);
        QVERIFY(r.startsWith("{\\rtf1"));
        QCOMPARE(r.count("\\page"), 1);
        QCOMPARE(r.count("-Page-"), 1);
        QVERIFY(r.contains("\\tab"));
        QVERIFY(msgs.entries.empty());

        // A file that cannot be written is reported, not passed over.
        QVERIFY(!SaveOutputToFile(*form.Pane(), dir_.filePath("missing/dir/report.txt"), msgs));
        QCOMPARE(msgs.Errors().size(), size_t(1));
    }

    void printingToPdfPutsRunsOnSeparatePages() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty()) QSKIP("pdftotext is not installed");
        Session s;
        TProcedureForm form(s, {"Test"});
        WriteRun(form, "1.5");
        WriteRun(form, "2.5");
        const QString pdf = dir_.filePath("report.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(PrintReportOn(printer, *form.Pane(), "Ambrolux"));

        QProcess p;
        p.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(p.waitForFinished(20000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains("Ambrolux"));
        QVERIFY(pages[0].contains("Mean        1.5"));  // the tab as eight blanks
        QVERIFY(!pages[0].contains("Page ("));          // no footer on the first page
        QVERIFY(pages[1].contains("Mean        2.5"));
        QVERIFY(pages[1].contains("Page (2)"));
        QVERIFY(!text.contains("-Page-"));
    }

    // Under a sketch the page marks print as text, and the picture takes its
    // place on the page.
    void printingWithSketchKeepsOnePage() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty()) QSKIP("pdftotext is not installed");
        Session s;
        TProcedureForm form(s, {"Test"});
        WriteRun(form, "1.5");
        WriteRun(form, "2.5");
        QRect drawn;
        const QString pdf = dir_.filePath("sketch.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(PrintReportOn(printer, *form.Pane(), "Ambrolux", [&](QPainter& p, const QRect& r) {
            drawn = r;
            p.drawText(r, Qt::AlignCenter, "SKETCH");
        }));
        const int dpi = printer.resolution();
        QCOMPARE(drawn.width(), 4 * dpi);  // 2 to 6 inches from the left
        QCOMPARE(drawn.height(), 3 * dpi);
        QProcess p;
        p.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(p.waitForFinished(20000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        QCOMPARE(text.split('\f', Qt::SkipEmptyParts).size(), 1);
        QVERIFY(text.indexOf("SKETCH") < text.indexOf("Mean        1.5"));
        QVERIFY(text.contains("-Page-"));
    }

    void fontButtonsStopAtTheirLimits() {
        Session s;
        ProcedureFormOptions opt{"Test"};
        opt.headingSize = 71;
        opt.bodySize = 7;
        TProcedureForm form(s, opt);
        WriteRun(form, "1");
        auto headingSize = [&] {
            return form.Pane()->document()->firstBlock().begin().fragment().charFormat().fontPointSize();
        };
        QCOMPARE(headingSize(), 71.0);
        QVERIFY(form.IncreaseFont());
        QCOMPARE(headingSize(), 72.0);
        QVERIFY(!form.IncreaseFont());
        QCOMPARE(headingSize(), 72.0);
        QCOMPARE(form.FontSizes().heading, 72);

        QVERIFY(form.DecreaseFont());  // body 8 -> 7
        QVERIFY(form.DecreaseFont());  // 7 -> 6
        QVERIFY(!form.DecreaseFont());
        QCOMPARE(form.FontSizes().body, 6);
        QCOMPARE(headingSize(), 70.0);
        // The next run writes in the window's current sizes.
        WriteRun(form, "2");
        const QTextBlock last = form.Pane()->document()->lastBlock().previous();
        QCOMPARE(last.text(), QString("Mean\t2"));
        QCOMPARE(last.begin().fragment().charFormat().fontPointSize(), 6.0);
    }

    void ctrlWheelScalesTheFonts() {
        Session s;
        TProcedureForm form(s, {"Test"});
        WriteRun(form, "1");
        QWheelEvent up(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form.Pane()->viewport(), &up);
        QCOMPARE(form.FontSizes().heading, 11);
        QCOMPARE(form.FontSizes().body, 10);
    }

    void chartFilesByExtension() {
        QCustomPlot plot;
        plot.resize(400, 300);
        ApplyChartConventions(&plot);
        AddPointSeries(&plot, {1, 2, 3, 4}, {2.0, 3.5, MissingValue, 2.5}, ChartRole::Data, true);
        AddStepLimit(&plot, {1, 2, 3, 4}, {4, 4, 5, 5}, ChartRole::Limit);
        SetChartTitle(&plot, ChartTitleLines("Plant 7", {"Individuals"}));
        plot.rescaleAxes();
        plot.replot();

        RecordingMessages msgs;
        for (const char* name : {"c.svg", "c.pdf", "c.png", "c.JPG", "c.bmp"}) {
            const QString path = dir_.filePath(name);
            QVERIFY2(SaveChartToFile(&plot, path, msgs), name);
            QVERIFY2(QFileInfo(path).size() > 100, name);
        }
        QVERIFY(msgs.entries.empty());
        // At 96 dpi the SVG is as large as the chart on screen.
        const QByteArray svg = ReadAll(dir_.filePath("c.svg"));
        QVERIFY(svg.contains("width=\"105.833mm\"") || svg.contains("width=\"400\""));
        QCOMPARE(QImage(dir_.filePath("c.png")).size(), QSize(400, 300));

        // Through the safe-write routine: no temporary file stays behind, a
        // symlink's target is replaced and the link kept, a FIFO is refused.
        QVERIFY(QDir(dir_.path()).entryList(QStringList{"*.amx-tmp-*"}, QDir::Hidden | QDir::Files).isEmpty());
        QVERIFY(QFile::link(dir_.filePath("c.png"), dir_.filePath("link.png")));
        QVERIFY(SaveChartToFile(&plot, dir_.filePath("link.png"), msgs));
        QVERIFY(QFileInfo(dir_.filePath("link.png")).isSymLink());
        QCOMPARE(QImage(dir_.filePath("c.png")).size(), QSize(400, 300));
        QCOMPARE(::mkfifo(dir_.filePath("fifo.png").toLocal8Bit().constData(), 0644), 0);
        QVERIFY(!SaveChartToFile(&plot, dir_.filePath("fifo.png"), msgs));
        QCOMPARE(msgs.Errors().size(), size_t(1));
        msgs.entries.clear();
        msgs.beeps = 0;

        for (const char* name : {"graph.emf", "graph.wmf", "graph"}) {
            const QString path = dir_.filePath(name);
            QVERIFY(!SaveChartToFile(&plot, path, msgs));
            QVERIFY(!QFile::exists(path));
        }
        QCOMPARE(msgs.Errors(), std::vector<std::string>(3, "File Extension Not Valid!"));
        QCOMPARE(msgs.beeps, 3);
    }

    void chartConventions() {
        QCustomPlot plot;
        ApplyChartConventions(&plot);
        QCPGraph* limit = AddStepLimit(&plot, {1, 2, 3}, {10, MissingValue, 12}, ChartRole::Limit);
        QCOMPARE(limit->lineStyle(), QCPGraph::lsStepCenter);
        QVERIFY(std::isnan(limit->data()->at(2)->value));  // the missing limit is a gap
        QCOMPARE(limit->pen().color(), QColor(Qt::red));

        QSignalSpy spy(&ChartConventions::Instance(), &ChartConventions::blackAndWhiteChanged);
        ChartConventions::Instance().SetBlackAndWhite(true);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(RolePen(ChartRole::Limit).color(), QColor(Qt::black));
        QCOMPARE(RolePen(ChartRole::Limit).style(), Qt::DashLine);
        ChartConventions::Instance().SetBlackAndWhite(false);

        QCOMPARE(ChartTitleLines("", {"Means"}), QStringList{"Means"});
        SetChartTitle(&plot, ChartTitleLines("Line 2", {"Means", "Diameter"}));
        SetChartTitle(&plot, ChartTitleLines("Line 2", {"Ranges"}));
        QCOMPARE(ChartTitle(&plot), QString("Line 2\nRanges"));
        SetChartFootnote(&plot, "Process If: C1 > 0");
        QCOMPARE(ChartFootnote(&plot), QString("Process If: C1 > 0"));
        SetChartFootnote(&plot, "");
        QCOMPARE(ChartFootnote(&plot), QString());

        SetAxisDecimalPlaces(&plot, 2);
        QCOMPARE(plot.yAxis->numberPrecision(), 2);
        QCOMPARE(AxisDecimalPlacesCaption(2), QString("Axis Decimal &Places (2)"));
        QCOMPARE(AxisDecimalPlacesCaption(-1), QString("Axis Decimal &Places (Floating)"));

        RecordingMessages msgs;
        QWidget window;
        ChartWindowCommands commands(&plot, &window, msgs);
        int redraws = 0;
        commands.redraw = [&] { ++redraws; };
        commands.fileModText = [] { return QString("Missing: -99\r\nProcess If: C1 > 0"); };
        QMenu view;
        commands.AddTo(nullptr, nullptr, nullptr, &view);
        window.findChild<QAction*>("BlackWhite1")->trigger();
        QVERIFY(ChartConventions::Instance().BlackAndWhite());
        QCOMPARE(redraws, 1);
        window.findChild<QAction*>("BlackWhite1")->trigger();
        QVERIFY(!ChartConventions::Instance().BlackAndWhite());
        QMenu* places = window.findChild<QMenu*>("AxisDecimalPlaces1");
        places->findChild<QAction*>("AxisDecimals3")->trigger();
        QCOMPARE(places->title(), QString("Axis Decimal &Places (3)"));
        QCOMPARE(plot.yAxis->numberPrecision(), 3);
        window.findChild<QAction*>("AddFileMods1")->trigger();
        QCOMPARE(ChartFootnote(&plot), QString("Missing: -99  Process If: C1 > 0"));
        QAction* zoomOut = window.findChild<QAction*>("ZoomOut1");
        QVERIFY(!zoomOut->isEnabled());
        plot.yAxis->setRange(0, 1);
        QVERIFY(zoomOut->isEnabled());
        zoomOut->trigger();
        QVERIFY(!zoomOut->isEnabled());

        ChartZoom zoom(&plot);
        QSignalSpy zs(&zoom, &ChartZoom::zoomedChanged);
        plot.xAxis->setRange(1.5, 2.5);
        QVERIFY(zoom.Zoomed());
        zoom.ZoomOut();
        QVERIFY(!zoom.Zoomed());
        QCOMPARE(zs.count(), 2);
    }

    void titlesDialogEditsLiveAndCancelRestores() {
        QCustomPlot plot;
        SetChartTitle(&plot, {"Means", "Diameter"});
        plot.yAxis->setLabel("mm");
        plot.xAxis->setLabel("Subgroup");
        {
            TForm_ChartTitles dlg(&plot);
            QVERIFY(!dlg.findChild<QLineEdit*>("Y2Edit")->isVisibleTo(&dlg));
            QVERIFY(!dlg.findChild<QToolButton*>("Y2LastButton")->isVisibleTo(&dlg));
            auto* y = dlg.findChild<QLineEdit*>("YEdit");
            y->clear();
            QTest::keyClicks(y, "in");
            QCOMPARE(plot.yAxis->label(), QString("in"));  // letter by letter
            dlg.findChild<QComboBox*>("XLabelSizeCombo")->setCurrentText("14");
            QCOMPARE(plot.xAxis->tickLabelFont().pointSize(), 14);
            dlg.findChild<QComboBox*>("TitleSizeCombo")->setCurrentText("20");
            QCOMPARE(ChartTitleElement(&plot)->font().pointSize(), 20);
            dlg.findChild<QPlainTextEdit*>("ChartEdit")->setPlainText("Ranges");
            QCOMPARE(ChartTitle(&plot), QString("Ranges"));
            dlg.reject();
        }
        QCOMPARE(ChartTitle(&plot), QString("Means\nDiameter"));
        QCOMPARE(plot.yAxis->label(), QString("mm"));
        QCOMPARE(plot.xAxis->tickLabelFont().pointSize(), QFont().pointSize());
        QCOMPARE(ChartTitleElement(&plot)->font().pointSize(), 12);

        {
            TForm_ChartTitles dlg(&plot);
            dlg.findChild<QPlainTextEdit*>("ChartEdit")->setPlainText("Line 3\nMeans");
            dlg.accept();
        }
        // The next chart's editor offers the confirmed text.
        QCustomPlot other;
        other.yAxis2->setLabel("Cpk");
        TForm_ChartTitles dlg(&other);
        QVERIFY(dlg.findChild<QLineEdit*>("Y2Edit")->isVisibleTo(&dlg));
        auto* last = dlg.findChild<QToolButton*>("ChartLastButton");
        QCOMPARE(last->toolTip(), QString("Last Text:\rLine 3\nMeans"));
        last->click();
        QCOMPARE(ChartTitle(&other), QString("Line 3\nMeans"));
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
