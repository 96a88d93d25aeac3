// The Explore window: its named controls, the selection sheets, page
// visibility, what the controls put into the request and the grids it shows.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "GuiTestSupport.h"
#include "explore/ExploreForm.h"
#include "output/ReportPane.h"
#include "worksheet/DataFile.h"

using namespace amx;
using namespace amx::gui;

namespace {

const QString kShafts = QString(AMX_TEST_DATA_DIR) + "/../core/explore/data/shafts.amx";

template <class T>
T* Child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(name);
    if (!c) qWarning("missing control %s", name);
    return c;
}

void SelectColumn(QListWidget* list, const QString& name) {
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == name) list->item(i)->setSelected(true);
    list->setCurrentItem(list->selectedItems().value(0));
}

}  // namespace

class TestExplore : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestApp> app;

private slots:
    void init() {
        app = std::make_unique<test::TestApp>();
        InstallApp(app->ctx.get());
        QVERIFY(FileToDataGrid(app->ctx->session, kShafts.toStdString()));
    }
    void cleanup() {
        InstallApp(nullptr);
        app.reset();
    }

    void registeredAndNamedControls() {
        QVERIFY(WindowRegistry::HasClass("TWNormal_Form"));
        TWNormal_Form f(app->ctx->session);
        for (const char* name : {"Edit_Title", "RadioButton_Col", "RadioButton_Ref", "ListBox_ColVar",
                                 "ListBox_AnalysisVar", "DataVarList", "Edit_Measure", "IndVarList", "ConfComboBox",
                                 "DecimalSpinEdit", "CheckBox_Pool", "CheckBox_PoolNT", "CheckListBox_Custom",
                                 "CheckListBox_Output", "PageControl_Main", "Edit_Title2"})
            QVERIFY2(f.findChild<QWidget*>(name), name);
        QCOMPARE(Child<QComboBox>(f, "ConfComboBox")->currentText(), QString("95"));
        QCOMPARE(Child<QSpinBox>(f, "DecimalSpinEdit")->value(), 2);
        QCOMPARE(Child<QListWidget>(f, "CheckListBox_Custom")->count(), CustomStatCount);
        QCOMPARE(Child<QListWidget>(f, "ListBox_ColVar")->count(), 6);
        // No plot, histogram or chart setup windows in the program yet.
        QVERIFY(!Child<QAction>(f, "Histograms1")->isEnabled());
        QVERIFY(f.windowTitle().startsWith("Explore - "));
    }

    void pagesFollowTheSelection() {
        TWNormal_Form f(app->ctx->session);
        auto* tabs = Child<QTabWidget>(f, "PageControl_Main");
        QVERIFY(!tabs->isTabVisible(TWNormal_Form::DescTab));
        QVERIFY(!tabs->isTabVisible(TWNormal_Form::OutputTab));

        auto* from = Child<QListWidget>(f, "ListBox_ColVar");
        SelectColumn(from, "Flat");
        SelectColumn(from, "Diameter");
        from->item(4)->setSelected(true);  // Flat as well
        Child<QPushButton>(f, "AddButton")->click();
        auto* to = Child<QListWidget>(f, "ListBox_AnalysisVar");
        QCOMPARE(to->count(), 2);
        QCOMPARE(to->item(0)->text(), QString("Diameter"));  // sheet order
        QVERIFY(tabs->isTabVisible(TWNormal_Form::DescTab));
        QVERIFY(!tabs->isTabVisible(TWNormal_Form::CustomTab));

        // Ticking a custom statistic shows the Custom page.
        auto* custom = Child<QListWidget>(f, "CheckListBox_Custom");
        custom->item(3)->setCheckState(Qt::Checked);
        QVERIFY(tabs->isTabVisible(TWNormal_Form::CustomTab));

        ExploreRequest rq = f.Request();
        QCOMPARE(rq.mode, ExploreMode::Columns);
        QCOMPARE(rq.columns, (std::vector<int>{1, 5}));
        QCOMPARE(rq.custom, (std::vector<int>{3}));
        QCOMPARE(rq.decimals, 2);

        // Save, Print and Copy only on result pages.
        tabs->setCurrentIndex(TWNormal_Form::SelectTab);
        QVERIFY(!Child<QAction>(f, "CopyGrid1")->isEnabled());
        tabs->setCurrentIndex(TWNormal_Form::CustomTab);
        QVERIFY(Child<QAction>(f, "CopyGrid1")->isEnabled());
        // One visible Print on a result page: the grid's, not the report pane's.
        auto visiblePrints = [&f] {
            int k = 0;
            for (QAction* a : f.findChildren<QAction*>("Print1")) k += a->isVisible() ? 1 : 0;
            return k;
        };
        QCOMPARE(visiblePrints(), 1);
        auto* m = f.GridOf(TWNormal_Form::CustomTab)->model();
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QString("Mean CI(L)"));
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QString("Mean CI(H)"));
        QCOMPARE(m->headerData(0, Qt::Vertical).toString(), QString("(All)"));
    }

    void gridsShowTheCorePages() {
        TWNormal_Form f(app->ctx->session);
        auto* from = Child<QListWidget>(f, "ListBox_ColVar");
        SelectColumn(from, "Diameter");
        from->item(4)->setSelected(true);
        Child<QPushButton>(f, "AddButton")->click();
        auto* tabs = Child<QTabWidget>(f, "PageControl_Main");

        tabs->setCurrentIndex(TWNormal_Form::NormTab);
        auto* m = f.GridOf(TWNormal_Form::NormTab)->model();
        QCOMPARE(m->headerData(2, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QCOMPARE(m->headerData(1, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
        // Row 3 is Flat, constant: S-W and A-D p 999.000 (not available) on grey.
        QCOMPARE(m->data(m->index(2, 4), Qt::DisplayRole).toString(), QString("999.000 "));
        QCOMPARE(m->data(m->index(2, 4), Qt::BackgroundRole).value<QColor>(), QColor(Qt::lightGray));
        QCOMPARE(m->data(m->index(2, 2), Qt::BackgroundRole).value<QColor>(), QColor(Qt::lightGray));

        // Confidence and decimals recompute the page.
        Child<QComboBox>(f, "ConfComboBox")->setCurrentText("99");
        tabs->setCurrentIndex(TWNormal_Form::ConfTab);
        QCOMPARE(Child<QLabel>(f, "PageCaption3")->text(), QString("99% Confidence Intervals"));
        Child<QSpinBox>(f, "DecimalSpinEdit")->setValue(4);
        m = f.GridOf(TWNormal_Form::ConfTab)->model();
        QCOMPARE(m->data(m->index(1, 1), Qt::DisplayRole).toString(), QString("25.0118"));

        // The Output page writes the report into the pane.
        Child<QLineEdit>(f, "Edit_Title")->setText("Shafts");
        QCOMPARE(Child<QLineEdit>(f, "Edit_Title2")->text(), QString("Shafts"));
        f.WriteOutputReport();
        const QString text = f.Pane()->Text();
        QVERIFY(text.startsWith("Shafts\n"));
        QVERIFY(text.contains("99% CONFIDENCE INTERVALS"));
    }

    void referenceAnalysis() {
        TWNormal_Form f(app->ctx->session);
        Child<QRadioButton>(f, "RadioButton_Ref")->setChecked(true);
        auto* data = Child<QListWidget>(f, "DataVarList");
        SelectColumn(data, "Diameter");
        Child<QPushButton>(f, "MeasureButton")->click();
        QCOMPARE(Child<QLineEdit>(f, "Edit_Measure")->text(), QString("Diameter"));
        SelectColumn(data, "Shift");
        Child<QPushButton>(f, "IndAddButton")->click();
        SelectColumn(data, "Line");
        Child<QPushButton>(f, "IndAddButton")->click();
        ExploreRequest rq = f.Request();
        QCOMPARE(rq.mode, ExploreMode::Reference);
        QCOMPARE(rq.measure, 1);
        QCOMPARE(rq.references, (std::vector<int>{3, 2}));  // in the order chosen
        QCOMPARE(Child<QLabel>(f, "StatusAnalysis")->text(), QString("Shaft Diameter (Shift, Production Line)"));
        Child<QTabWidget>(f, "PageControl_Main")->setCurrentIndex(TWNormal_Form::DescTab);
        QCOMPARE(f.GridOf(TWNormal_Form::DescTab)->model()->rowCount(), 5);
    }

    void singleColumnSheet() {
        const QString path = app->Write("one.amx", "Width\r\n1.5\r\n2.5\r\n4\r\n");
        QVERIFY(FileToDataGrid(app->ctx->session, path.toStdString()));
        TWNormal_Form f(app->ctx->session);
        QVERIFY(!Child<QRadioButton>(f, "RadioButton_Ref")->isEnabled());
        QCOMPARE(Child<QLabel>(f, "SingleColumnName")->text(), QString("Width"));
        QCOMPARE(f.Request().mode, ExploreMode::SingleColumn);
        auto* tabs = Child<QTabWidget>(f, "PageControl_Main");
        QVERIFY(tabs->isTabVisible(TWNormal_Form::DescTab));
        tabs->setCurrentIndex(TWNormal_Form::DescTab);
        auto* m = f.GridOf(TWNormal_Form::DescTab)->model();
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->data(m->index(0, 1), Qt::DisplayRole).toString(), QString("2.67"));
    }
};

QTEST_MAIN(TestExplore)
#include "tst_explore.moc"
