// The variables chart setup window: controls follow the core state, "&Action"
// refuses bad entries without handing anything over, and passes the chart
// selections on when the entries are sound.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "../core/worksheet/TestSheets.h"
#include "GuiTestSupport.h"
#include "spc/VarSetupForm.h"

using namespace amx;
using namespace amx::gui;

class TestVarSetup : public QObject {
    Q_OBJECT
private slots:
    void actionChecksThenHandsOver() {
        gui::test::TestApp app;
        Session& s = app.ctx->session;
        amx::test::LoadSheet(s, {"A", "B", "Lot"},
                        {{"1", "2", "x"}, {"3", "4", "x"}, {"5", "6", "y"}, {"7", "8", "y"}, {"9", "1", "x"}});
        TForm_VARsetup w(s);
        QCOMPARE(w.windowTitle(), QString("Variables Chart Setup"));
        auto* data = w.findChild<QListWidget*>("DataVariablesListBox");
        QCOMPARE(data->count(), 3);
        auto* action = w.findChild<QPushButton*>("ActionButton");
        QVERIFY(!action->isEnabled());

        data->item(0)->setSelected(true);
        w.findChild<QToolButton*>("MeasureAddButton")->click();
        QCOMPARE(w.findChild<QListWidget*>("MeasureListBox")->count(), 1);
        QVERIFY(action->isEnabled());
        QCOMPARE(w.findChild<QComboBox*>("LocChartTypeComboBox")->currentText(), QString("X"));
        QCOMPARE(w.findChild<QComboBox*>("DispChartTypeComboBox")->currentText(), QString("Moving Range"));

        w.findChild<QCheckBox*>("ConstantSampleSizeCheckBox")->setChecked(true);
        auto* locType = w.findChild<QComboBox*>("LocChartTypeComboBox");
        QCOMPARE(locType->currentText(), QString("Mean"));
        QCOMPARE(w.findChild<QComboBox*>("LocLimitComboBox")->currentText(), QString("Average Range"));

        int handed = 0;
        std::size_t selections = 0;
        VarChartHandoff::ShowHook() = [&](QWidget*, const VarChartSetup&, const std::vector<ChartSelection>& sel) {
            ++handed;
            selections = sel.size();
        };
        w.findChild<QLineEdit*>("StdErrEdit")->setText("");
        action->click();
        QCOMPARE(app.rec->Errors(), std::vector<std::string>{"Std Err Not Valid!"});
        QCOMPARE(handed, 0);
        QCOMPARE(int(w.Committed().settings.Layout), 0);

        // The field takes only what a positive real can hold.
        auto* stdErr = w.findChild<QLineEdit*>("StdErrEdit");
        QTest::keyClicks(stdErr, "-2x.5");
        QCOMPARE(stdErr->text(), QString("2.5"));
        stdErr->setText("3");
        action->click();
        QCOMPARE(handed, 1);
        QCOMPARE(selections, std::size_t(1));
        QCOMPARE(int(w.Committed().settings.Layout), 4);
        QCOMPARE(w.Committed().settings.SubgroupSize, 5);
        QVERIFY(s.DataList.IncludeCol[1]);
        VarChartHandoff::ShowHook() = nullptr;

        // A new DataVersion resets the window on activation.
        ++s.DataVersion;
        w.FormActivate();
        QCOMPARE(w.findChild<QListWidget*>("MeasureListBox")->count(), 0);
        QCOMPARE(data->count(), 3);
    }

    void oneColumnHidesSetsGroupsAndSample() {
        gui::test::TestApp app;
        Session& s = app.ctx->session;
        amx::test::LoadSheet(s, {"A"}, {{"1"}, {"2"}});
        TForm_VARsetup w(s);
        w.show();
        QVERIFY(!w.findChild<QLineEdit*>("SetsEdit")->isVisible());
        QVERIFY(!w.findChild<QListWidget*>("ChartGroupsListBox")->isVisible());
        QVERIFY(!w.findChild<QToolButton*>("SampleButton")->isVisible());
        QVERIFY(w.findChild<QCheckBox*>("ConstantSampleSizeCheckBox")->isVisible());
    }
};

QTEST_MAIN(TestVarSetup)
#include "tst_varsetup.moc"
