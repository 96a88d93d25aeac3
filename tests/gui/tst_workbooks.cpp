// Workbooks in the data editor: the sheet list of a workbook with several
// sheets, Save As ".xlsx" and opening the saved workbook again.
#include <QFile>
#include <QtTest>

#include "GuiTestSupport.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataForm.h"

using namespace amx;
using namespace amx::gui;

class TestWorkbooks : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestApp> t;
    TDataForm* form = nullptr;
    Worksheet& ws() { return App().session.worksheet; }
    const QString fixture = QString(AMX_TEST_DATA_DIR) + "/xlsx/openpyxl-mixed.xlsx";

private slots:
    void init() {
        t = std::make_unique<test::TestApp>();
        form = App().EnsureDataEditor();
        form->show();
    }
    void cleanup() { t.reset(); }

    void theChosenSheetOpensAndCancelKeepsTheWorksheet() {
        t->dialogs->sheetAnswers = {QString("Other")};
        QVERIFY(form->FileToDataGrid(fixture));
        QCOMPARE(t->dialogs->sheetsOffered, QStringList({"Measurements", "Other"}));
        QCOMPARE(ws().ColumnName(1), std::string("Weight"));
        QCOMPARE(ws().Cell(1, 2), std::string("2.5"));
        QCOMPARE(form->windowTitle(), "Data - " + fixture);
        QCOMPARE(App().mru.MostRecent(), fixture.toStdString());

        t->dialogs->sheetAnswers = {QString()};
        QVERIFY(!form->FileToDataGrid(fixture));
        QCOMPARE(ws().ColumnName(1), std::string("Weight"));
    }

    void saveAsWorkbookOpensAsTheSameWorksheet() {
        t->dialogs->sheetAnswers = {QString("Measurements")};
        QVERIFY(form->FileToDataGrid(fixture));
        const std::string before = WorksheetFileText(ws(), true, false, true);
        t->dialogs->configureAnswers = {SaveChoices{false, true, true}};
        t->dialogs->saveNames = {t->Path("saved.xlsx")};
        QVERIFY(form->SaveAs());
        QCOMPARE(form->windowTitle(), "Data - " + t->Path("saved.xlsx"));
        QVERIFY(QFile::exists(t->Path("saved.xlsx")));
        // Its Descriptions sheet holds the description rows: no sheet to choose.
        t->dialogs->sheetsOffered.clear();
        QVERIFY(form->FileToDataGrid(t->Path("saved.xlsx")));
        QVERIFY(t->dialogs->sheetsOffered.isEmpty());
        QCOMPARE(WorksheetFileText(ws(), true, false, true), before);
    }
};

QTEST_MAIN(TestWorkbooks)
#include "tst_workbooks.moc"
