// The behaviour every procedure window shares.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <qcustomplot.h>

#include "charts/ChartCommands.h"
#include "common/Messages.h"
#include "charts/ChartStyle.h"
#include "charts/ChartTitlesDialog.h"
#include "output/ReportOutput.h"
#include "output/ReportPane.h"
#include "procedure/FormScale.h"
#include "procedure/ProcedureForm.h"
#include "session/Session.h"

using namespace amx;
using namespace amx::gui;

namespace {

class CountingForm : public TProcedureForm {
public:
    using TProcedureForm::TProcedureForm;
    using TProcedureForm::CheckWorksheetVersions;
    int variablesSeen = 0;
    int dataSeen = 0;

protected:
    void VariablesVersionChanged() override { ++variablesSeen; }
    void DataVersionChanged() override { ++dataSeen; }
};

bool ActionEnabled(QWidget& w, const char* name) { return w.findChild<QAction*>(name)->isEnabled(); }

}  // namespace

class TestProcedure : public QObject {
    Q_OBJECT

private slots:
    void enlargeTarget_data() {
        QTest::addColumn<double>("current");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("work");
        QTest::addColumn<double>("expected");
        // Twice the width but only 1.5 times the height: the height decides.
        QTest::newRow("limited by height") << 1.0 << QSize(400, 300) << QSize(800, 450) << 1.5;
        QTest::newRow("limited by width") << 1.0 << QSize(400, 300) << QSize(600, 900) << 1.5;
        QTest::newRow("back to one") << 1.5 << QSize(600, 450) << QSize(800, 450) << 1.0;
        QTest::newRow("too large to grow") << 1.0 << QSize(900, 300) << QSize(800, 900) << 1.0;
        QTest::newRow("fills the work area") << 1.0 << QSize(800, 450) << QSize(800, 450) << 1.0;
    }
    void enlargeTarget() {
        QFETCH(double, current);
        QFETCH(QSize, window);
        QFETCH(QSize, work);
        QFETCH(double, expected);
        QCOMPARE(EnlargeTarget(current, window, work), expected);
    }

    void formResizeScalesAndComesBack() {
        Session s;
        TProcedureForm form(s, {"Test"});
        form.resize(400, 300);
        const qreal font = form.font().pointSizeF();
        auto* resize = form.findChild<QAction*>("FormResize1");
        QCOMPARE(resize->toolTip(), QString("Maximize Form Size"));
        form.FormResize(QRect(0, 0, 800, 450));
        QCOMPARE(form.FormScale(), 1.5);
        QCOMPARE(form.size(), QSize(600, 450));
        QCOMPARE(form.font().pointSizeF(), font * 1.5);
        QCOMPARE(resize->toolTip(), QString("Minimize Form Size"));
        form.FormResize(QRect(0, 0, 800, 450));
        QCOMPARE(form.FormScale(), 1.0);
        QCOMPARE(form.size(), QSize(400, 300));
        QCOMPARE(resize->toolTip(), QString("Maximize Form Size"));
    }

    void returnToCallerThenMainForm() {
        Session s;
        QWidget mainForm;
        mainForm.setObjectName("AmbroluxMainForm");
        QWidget caller;
        TProcedureForm form(s, {"Test"});
        auto* ret = form.findChild<QAction*>("Return1");
        QCOMPARE(ret->text(), QString("&Return to Main Form"));

        form.SetCaller(&caller, "Variables Control Charts");
        QCOMPARE(ret->text(), QString("&Return to Variables Control Charts"));
        QCOMPARE(ret->toolTip(), QString("Return to Variables Control Charts"));
        form.ReturnClick();
        QVERIFY(caller.isVisible());
        QVERIFY(!mainForm.isVisible());
        QCOMPARE(ret->text(), QString("&Return to Main Form"));
        // The caller is forgotten: the next return goes to the main window.
        form.ReturnClick();
        QVERIFY(mainForm.isVisible());

        QWidget* editorCaller = nullptr;
        QString editorName;
        TProcedureForm::DataEditorHook() = [&](QWidget* c, const QString& n) {
            editorCaller = c;
            editorName = n;
        };
        form.setWindowTitle("Explore");
        form.findChild<QAction*>("DataEditor1")->trigger();
        TProcedureForm::DataEditorHook() = nullptr;
        QCOMPARE(editorCaller, &form);
        QCOMPARE(editorName, QString("Explore"));
    }

    void closingHidesAndKeepsTheReport() {
        Session s;
        QPointer<TProcedureForm> form = new TProcedureForm(s, {"Test"});
        form->show();
        form->BeginReport("Explore").WriteLine("kept");
        form->EndReport();
        QVERIFY(form->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form);
        QVERIFY(!form->isVisible());
        QVERIFY(form->Pane()->toPlainText().contains("kept"));
        delete form;

        ProcedureFormOptions released{"Compute"};
        released.releaseOnClose = true;
        QPointer<TProcedureForm> once = new TProcedureForm(s, released);
        once->show();
        once->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!once);
    }

    void worksheetVersionsAreNoticedOnce() {
        Session s;
        CountingForm form(s, {"Test"});
        form.CheckWorksheetVersions();
        QCOMPARE(form.variablesSeen + form.dataSeen, 0);
        ++s.VariablesVersion;
        ++s.DataVersion;
        form.CheckWorksheetVersions();
        form.CheckWorksheetVersions();
        QCOMPARE(form.variablesSeen, 1);
        QCOMPARE(form.dataSeen, 1);
        ++s.DataVersion;
        form.CheckWorksheetVersions();
        QCOMPARE(form.variablesSeen, 1);
        QCOMPARE(form.dataSeen, 2);
    }

    void editMenuFollowsTheActiveControl() {
        Session s;
        TProcedureForm form(s, {"Test"});
        auto* edit = new QLineEdit("12.5", form.InputPanel());
        form.InputLayout()->addWidget(edit);
        form.BeginReport("Explore").WriteLine("line");
        form.EndReport();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QApplication::clipboard()->setText("pasted");

        edit->setFocus();
        edit->selectAll();
        form.UpdateEditMenu();
        QVERIFY(ActionEnabled(form, "Copy1"));
        QVERIFY(ActionEnabled(form, "Cut1"));
        QVERIFY(ActionEnabled(form, "Select1"));
        QVERIFY(ActionEnabled(form, "Paste1"));
        form.EditCommand("Paste1");
        QCOMPARE(edit->text(), QString("pasted"));

        form.Pane()->setFocus();
        form.Pane()->moveCursor(QTextCursor::End);
        form.UpdateEditMenu();
        QVERIFY(!ActionEnabled(form, "Copy1"));
        QVERIFY(ActionEnabled(form, "Select1"));
        QVERIFY(ActionEnabled(form, "Undo1"));  // the run can be taken back
        form.EditCommand("Select1");
        QVERIFY(form.Pane()->HasSelection());
        form.UpdateEditMenu();
        QVERIFY(ActionEnabled(form, "Copy1"));

        // A control that is no edit box: nothing to copy or select.
        form.findChild<QCheckBox*>("ClearCheckBox")->setFocus();
        form.UpdateEditMenu();
        QVERIFY(!ActionEnabled(form, "Select1"));
        QVERIFY(!ActionEnabled(form, "Paste1"));

        // The pane's own pop-up menu.
        form.Pane()->moveCursor(QTextCursor::End);
        std::unique_ptr<QMenu> popup(form.Pane()->BuildEditMenu(&form));
        QVERIFY(!popup->findChild<QAction*>("Copy1")->isEnabled());
        QVERIFY(popup->findChild<QAction*>("Paste1")->isEnabled());
        QVERIFY(popup->findChild<QAction*>("Undo1")->isEnabled());
    }

    void sketchCommands() {
        Session s;
        RecordingMessages msgs;
        s.messages = &msgs;
        TProcedureForm form(s, {"Binomial"});
        auto* printSketch = form.findChild<QAction*>("PrintWithSketch1");
        auto* copyGraph = form.findChild<QAction*>("CopyGraph1");
        QVERIFY(!printSketch->isVisible());
        QVERIFY(!copyGraph->isVisible());
        form.CopySketch();
        QVERIFY(msgs.entries.empty());  // nothing to copy without a sketch
        form.SetSketch([](QPainter& p, const QRect& r) { p.fillRect(r.adjusted(10, 10, -10, -10), Qt::blue); });
        QVERIFY(printSketch->isVisible());
        QVERIFY(copyGraph->isVisible());
        form.CopySketch(QSize(100, 80));
        const QImage image = QApplication::clipboard()->image();
        QCOMPARE(image.size(), QSize(100, 80));
        QCOMPARE(QColor(image.pixel(50, 40)), QColor(Qt::blue));
        QCOMPARE(msgs.TextsOf(MessageKind::Notice), std::vector<std::string>{"Graph Copied to Clipboard!"});
    }

    void processIfItemOnceInTheFileMenu() {
        Session s;
        TProcedureForm plain(s, {"Test"});
        plain.show();
        QCOMPARE(plain.findChildren<QAction*>("ProcessIf1").size(), 1);
        QVERIFY(plain.FileMenu()->actions().contains(plain.findChild<QAction*>("ProcessIf1")));
        // A menu a window adds after the base's stays in front of Help.
        TProcedureForm graphs(s, {"Graphs"});
        graphs.menuBar()->addMenu("&Graphs");
        graphs.show();
        QCOMPARE(graphs.menuBar()->actions().constLast()->text(), QString("&Help"));
        // A window with its own item keeps just that one, so F8 stays unambiguous.
        TProcedureForm own(s, {"Own"});
        own.FileMenu()->addAction("Process If")->setObjectName("ProcessIf1");
        own.show();
        QCOMPARE(own.findChildren<QAction*>("ProcessIf1").size(), 1);
        ProcedureFormOptions none;
        none.processIfItem = false;
        TProcedureForm noItem(s, none);
        noItem.show();
        QVERIFY(!noItem.findChild<QAction*>("ProcessIf1"));
    }

    void emptyDecimalsBoxRestoresTheDefault() {
        Session s;
        ProcedureFormOptions opt{"Test"};
        opt.defaultDecimals = 4;
        TProcedureForm form(s, opt);
        auto* spin = form.findChild<QSpinBox*>("DecimalSpinEdit");
        QCOMPARE(form.Decimals(), 4);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        spin->setValue(2);
        QCOMPARE(form.Decimals(), 2);
        spin->setFocus();
        spin->clear();
        QCOMPARE(form.Decimals(), 4);
        form.Pane()->setFocus();  // leaving the box
        QCOMPARE(spin->value(), 4);
        QCOMPARE(spin->text(), QString("4"));
        QCOMPARE(spin->maximum(), 9);
    }

    // Shows a window with a report and a chart for a look with a screenshot,
    // and prints the report (with the chart as its sketch) to a PDF file:
    // AMX_DEMO_SECONDS=20 AMX_DEMO_PDF=/tmp/report.pdf ./tst_procedure demoWindow
    void demoWindow() {
        const int seconds = qEnvironmentVariableIntValue("AMX_DEMO_SECONDS");
        if (seconds <= 0) QSKIP("set AMX_DEMO_SECONDS to show the demo window");
        Session s;
        s.DataFilename = "/home/quality/parts.txt";
        TProcedureForm form(s, {"Explore"});
        auto* plot = new QCustomPlot(form.InputPanel());
        plot->setMinimumHeight(260);
        ApplyChartConventions(plot);
        std::vector<double> x, y, ucl;
        for (int i = 1; i <= 25; ++i) {
            x.push_back(i);
            y.push_back(10 + std::sin(i * 0.9) * 1.2 + (i % 7) * 0.1);
            ucl.push_back(i < 12 ? 12.2 : 12.6);
        }
        AddPointSeries(plot, x, y, ChartRole::Data, true);
        AddStepLimit(plot, x, ucl, ChartRole::Limit);
        AddStepLimit(plot, x, std::vector<double>(x.size(), 10.3), ChartRole::Centre);
        SetChartTitle(plot, ChartTitleLines("Plant 7", {"Individuals: Diameter"}));
        SetChartFootnote(plot, "Process If: Shift = 2");
        plot->rescaleAxes();
        plot->yAxis->setRange(7.5, 13.5);
        form.InputLayout()->addWidget(plot);
        for (const char* v : {"10.312", "10.287"}) {
            OutputWriter& out = form.BeginReport("Descriptive Statistics", {"Measure: Diameter"});
            out.WriteLine("Statistic\tDiameter");
            out.WriteLine("N\t25");
            out.WriteLine(std::string("Mean\t") + v);
            out.WriteRedLine("Not normal at the 5% level");
            form.EndReport();
        }
        form.resize(900, 780);
        form.show();
        if (const QString pdf = qEnvironmentVariable("AMX_DEMO_PDF"); !pdf.isEmpty()) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            QVERIFY(PrintReportOn(printer, *form.Pane(), "Ambrolux"));
            printer.setOutputFileName(QString(pdf).replace(".pdf", "-sketch.pdf"));
            QVERIFY(PrintReportOn(printer, *form.Pane(), "Ambrolux", ChartSketch(plot)));
        }
        std::unique_ptr<TForm_ChartTitles> titles;
        if (qEnvironmentVariableIsSet("AMX_DEMO_TITLES")) {
            titles = std::make_unique<TForm_ChartTitles>(plot, &form);
            titles->show();
        }
        QTest::qWait(seconds * 1000);
    }
};

QTEST_MAIN(TestProcedure)
#include "tst_procedure.moc"
