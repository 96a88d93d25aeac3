// The Control Limit Calculations window: its tabs and fields found by name,
// "&Action" writing the tab's report, the checks and their messages.
#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "common/Messages.h"
#include "output/ReportPane.h"
#include "session/Session.h"
#include "shell/WindowRegistry.h"
#include "spc/ControlLimitForm.h"

using namespace amx;
using namespace amx::gui;

namespace {

struct Fixture {
    Session session;
    RecordingMessages rec;
    TControl_Limit_Form form{session};
    Fixture() { session.messages = &rec; }

    template <class W>
    W* Find(const QString& name) {
        W* w = form.findChild<W*>(name);
        if (!w) qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLineEdit* Edit(const char* field, int chart) { return Find<QLineEdit>(field + QString::number(chart)); }
    void Choose(int chart, int method) {
        Find<QRadioButton>(QString("MethodRadio%1_%2").arg(chart).arg(method))->click();
    }
    void Action() { Find<QPushButton>("CalcButton")->click(); }
    QString Report(int chart) { return form.PaneOf(chart)->Text(); }
};

}  // namespace

class TestControlLimits : public QObject {
    Q_OBJECT

private slots:
    void tabsAndFields() {
        Fixture f;
        QVERIFY(WindowRegistry::HasClass("TControl_Limit_Form"));
        QCOMPARE(f.form.windowTitle(), QString("Control Limit Calculations"));
        auto* pages = f.Find<QTabWidget>("PageControl1");
        const QStringList captions{"X-Bar", "Median", "X", "R", "s", "s²", "p", "np", "c", "u"};
        QCOMPARE(pages->count(), captions.size());
        for (int i = 0; i < pages->count(); ++i) QCOMPARE(pages->tabText(i), captions[i]);

        // Centre on tabs 1 to 3 only, no n on the c tab; fields start at "0",
        // Std Err at "3"; the first method is chosen.
        for (int chart = 1; chart <= 10; ++chart) {
            const QString k = QString::number(chart);
            QCOMPARE(f.form.findChild<QLineEdit*>("XEdit" + k) != nullptr, chart <= 3);
            QCOMPARE(f.form.findChild<QLineEdit*>("NEdit" + k) != nullptr, chart != 9);
            QCOMPARE(f.Edit("StatisticEdit", chart)->text(), QString("0"));
            QCOMPARE(f.Edit("StdErrEdit", chart)->text(), QString("3"));
            QVERIFY(f.Find<QRadioButton>(QString("MethodRadio%1_1").arg(chart))->isChecked());
        }
        QCOMPARE(f.Find<QSpinBox>("DecimalSpinEdit")->value(), 4);

        // The statistic keeps its numeric filter.
        QLineEdit* stat = f.Edit("StatisticEdit", 1);
        stat->clear();
        QTest::keyClicks(stat, "2a.5");
        QCOMPARE(stat->text(), QString("2.5"));
    }

    void individualsNFollowsMethod() {
        Fixture f;
        auto* label = f.Find<QLabel>("NLabel3");
        QLineEdit* n = f.Edit("NEdit", 3);
        QCOMPARE(label->text(), QString("&n (range):"));
        f.Choose(3, 3);  // "Std Dev (k values)"
        QCOMPARE(label->text(), QString("&k (values):"));
        QVERIFY(!n->isHidden());
        f.Choose(3, 4);  // "Known Std Dev": no n at all
        QVERIFY(n->isHidden() && label->isHidden());
        f.Choose(3, 2);
        QCOMPARE(label->text(), QString("&n (range):"));
        QVERIFY(!n->isHidden() && !label->isHidden());
    }

    // One normal and one exact case, and a clipped limit, as the pane shows them.
    void reports_data() {
        QTest::addColumn<int>("chart");
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("centre");
        QTest::addColumn<QString>("statistic");
        QTest::addColumn<QString>("n");
        QTest::addColumn<QString>("expected");
        // Rscript -e 'print(10 + 3/sqrt(5), digits=12)'  11.3416407865
        QTest::newRow("x-bar from the average range")
            << 1 << 1 << "10" << "2.32593" << "5"
            << "Control Limit Calculations:  X-Bar Chart\n"
               "Statistic used: Average Range = 2.32593\n"
               "Standard Errors = 3\n"
               "\n"
               "       UCL = 11.3416        sigma = 1.0000\n"
               "Centerline = 10.0000            n = 5\n"
               "       LCL = 8.6584\n";
        // Rscript -e 'v <- pnorm(-3); g <- 0:60;
        //   min(g[ppois(g - 1, 20, lower.tail = FALSE) < v]); max(g[ppois(g, 20) < v])'
        // 36 and 7: UCL 35.5, LCL 7.5.
        QTest::newRow("c exact Poisson") << 9 << 2 << "" << "20" << ""
                                         << "Control Limit Calculations:  c Chart\n"
                                            "Method used: Exact Poisson\n"
                                            "Standard Errors = 3\n"
                                            "\n"
                                            "       UCL = 35.5000           SE = 4.4721\n"
                                            "Centerline = 20.0000            n = 1\n"
                                            "       LCL = 7.5000\n";
        // Rscript -e 'print(0.1 + 3*sqrt(0.1*0.9/50), digits=8)'  0.22727922
        QTest::newRow("p approximate, no lower limit")
            << 7 << 1 << "" << "0.10" << "50"
            << "Control Limit Calculations:  p Chart\n"
               "Method used: Approximate\n"
               "Standard Errors = 3\n"
               "\n"
               "       UCL = 0.2273            SE = 0.0424\n"
               "Centerline = 0.1000             n = 50\n"
               "       LCL = none\n";
        QTest::newRow("x-bar with n of 1")
            << 1 << 1 << "10" << "2" << "1"
            << "Control Limit Calculations:  X-Bar Chart\n"
               "Statistic used: Average Range = 2\n"
               "Standard Errors = 3\n"
               "\n"
               "Sample size must be larger than 1\n";
    }
    void reports() {
        QFETCH(int, chart);
        QFETCH(int, method);
        QFETCH(QString, centre);
        QFETCH(QString, statistic);
        QFETCH(QString, n);
        QFETCH(QString, expected);
        Fixture f;
        f.form.SetActiveChart(chart);
        f.Choose(chart, method);
        if (chart <= 3) f.Edit("XEdit", chart)->setText(centre);
        f.Edit("StatisticEdit", chart)->setText(statistic);
        if (chart != 9) f.Edit("NEdit", chart)->setText(n);
        f.Action();
        QCOMPARE(f.Report(chart), expected);
        QVERIFY(f.rec.entries.empty());
        // A calculation that cannot give limits beeps.
        QCOMPARE(f.rec.beeps, expected.contains("UCL") ? 0 : 1);
        // Only the active tab's pane is written.
        QVERIFY(f.Report(chart == 1 ? 2 : 1).isEmpty());
    }

    void checksStopWithTheirMessage() {
        Fixture f;
        f.form.show();
        f.form.SetActiveChart(1);
        f.Edit("XEdit", 1)->setText("10");
        f.Edit("StatisticEdit", 1)->setText("2.32593");
        f.Edit("NEdit", 1)->setText("5");
        f.Action();
        const QString good = f.Report(1);

        // A failed check leaves the last report in place and focuses the field.
        f.Edit("StatisticEdit", 1)->setText("0");
        f.Action();
        QCOMPARE(f.rec.entries.size(), size_t(1));
        QCOMPARE(f.rec.entries.back().text, std::string("Statistic must be greater than 0!"));
        QCOMPARE(f.Report(1), good);
        QCOMPARE(f.form.focusWidget(), f.Edit("StatisticEdit", 1));

        f.Edit("StatisticEdit", 1)->setText("2.32593");
        f.Edit("NEdit", 1)->setText("0");
        f.Action();
        QCOMPARE(f.rec.entries.back().text, std::string("n must be greater than 0!"));
        QCOMPARE(f.form.focusWidget(), f.Edit("NEdit", 1));

        // "Known Std Dev" on the individuals tab needs no n.
        f.form.SetActiveChart(3);
        f.Choose(3, 4);
        f.Edit("XEdit", 3)->setText("10");
        f.Edit("StatisticEdit", 3)->setText("1");
        f.Action();
        QCOMPARE(f.rec.entries.size(), size_t(2));
        QVERIFY(f.Report(3).contains("       UCL = 13.0000        sigma = 1.0000\n"));
    }

    void decimalsReformatShownReport() {
        Fixture f;
        auto* decimals = f.Find<QSpinBox>("DecimalSpinEdit");
        // Nothing calculated yet on this tab: no error box for a decimals click.
        decimals->setValue(3);
        QVERIFY(f.rec.entries.empty());
        QVERIFY(f.Report(1).isEmpty());

        f.Edit("XEdit", 1)->setText("10");
        f.Edit("StatisticEdit", 1)->setText("2.32593");
        f.Edit("NEdit", 1)->setText("5");
        f.Action();
        QVERIFY(f.Report(1).contains("UCL = 11.342 "));
        decimals->setValue(1);
        QVERIFY(f.Report(1).contains("UCL = 11.3 "));
        QVERIFY(f.Report(1).contains("LCL = 8.7"));
    }

    void editMenuFollowsFocusedControl() {
        Fixture f;
        f.form.show();
        f.Edit("XEdit", 1)->setText("10");
        f.Edit("StatisticEdit", 1)->setText("2.32593");
        f.Edit("NEdit", 1)->setText("5");
        f.Action();
        QApplication::clipboard()->setText("12");
        auto enabled = [&](const char* name) { return f.form.findChild<QAction*>(name)->isEnabled(); };

        // The report pane is read-only: it can be copied, never cut or pasted into.
        ReportPane* pane = f.form.PaneOf(1);
        pane->setFocus();
        pane->selectAll();
        f.form.UpdateEditMenu();
        QVERIFY(enabled("Copy1") && enabled("Select1"));
        QVERIFY(!enabled("Cut1") && !enabled("Paste1"));

        QLineEdit* stat = f.Edit("StatisticEdit", 1);
        stat->setFocus();
        stat->selectAll();
        f.form.UpdateEditMenu();
        QVERIFY(enabled("Cut1") && enabled("Paste1"));
        f.form.EditCommand("Paste1");
        QCOMPARE(stat->text(), QString("12"));
    }

    void formResizeScalesEveryPane() {
        Fixture f;
        f.Edit("XEdit", 1)->setText("10");
        f.Edit("StatisticEdit", 1)->setText("2.32593");
        f.Edit("NEdit", 1)->setText("5");
        f.Action();
        f.form.resize(600, 450);
        f.form.FormResize(QRect(0, 0, 900, 675));
        QCOMPARE(f.form.FontScale(), 1.5);
        // Heading 10 and body 8 points, both times 1.5, also for reports
        // written after the resize.
        auto sizes = [&](int chart) {
            const auto lines = f.form.PaneOf(chart)->ToDocument().Lines();
            return std::pair(lines.front().runs.front().font.size, lines.back().runs.front().font.size);
        };
        QCOMPARE(sizes(1), std::pair(15, 12));
        f.form.SetActiveChart(9);
        f.Edit("StatisticEdit", 9)->setText("4");
        QTest::keyClick(f.Edit("StatisticEdit", 9), Qt::Key_Return);
        QCOMPARE(sizes(9), std::pair(15, 12));
    }
};

QTEST_MAIN(TestControlLimits)
#include "tst_controllimits.moc"
