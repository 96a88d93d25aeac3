// The data editor: paste shape rules and the names question, rows and columns,
// transpose, the keyboard's growth and jumps, the caption, and the
// unsaved-worksheet question.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

#include "GuiTestSupport.h"
#include "shell/MainForm.h"
#include "worksheet/DataForm.h"
#include "worksheet/GridDataModule.h"

using namespace amx;
using namespace amx::gui;

class TestDataEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestApp> t;
    TDataForm* form = nullptr;
    Worksheet& ws() { return App().session.worksheet; }

    void Select(GridRect r) { TGridDataModule::SelectBlock(form->DataGrid(), r); }
    void Sheet(int cols, int rows) {
        ws().SetColumnCount(cols);
        ws().SetRowCount(rows);
        for (int c = 1; c <= cols; ++c)
            for (int r = 1; r <= rows; ++r) ws().SetCell(c, r, std::to_string(c * 100 + r));
        form->RefreshGrids();
    }

private slots:
    void init() {
        t = std::make_unique<test::TestApp>();
        form = App().EnsureDataEditor();
        form->show();
    }
    void cleanup() {
        delete App().dataForm;
        t.reset();
    }

    void namedControlsAndEmptyWorksheet() {
        QVERIFY(form->findChild<QTableView*>("DataGrid"));
        QVERIFY(form->findChild<QTableView*>("DescGrid"));
        QVERIFY(form->findChild<QAction*>("MRFile9"));
        QCOMPARE(form->windowTitle(), QString("Data"));
        QCOMPARE(ws().ColumnName(1), std::string("Col1"));
        QCOMPARE(form->DescGrid()->model()->headerData(2, Qt::Vertical).toString(), QString("Target:"));
        QCOMPARE(form->findChild<QLabel*>("StatusPanel4")->text(), QString("Cols = 1,  Rows = 1"));
    }

    void pasteAsksForNamesAndFollowsShapes() {
        t->rec->scriptedAnswers = {Answer::Yes};
        Select(GridRect::At({1, 1}));
        QVERIFY(form->PasteFromText("A\tB\r\n1\t2\r\n"));
        QCOMPARE(t->rec->Questions(), std::vector<std::string>{"Want to use text from first row as Variable Names?"});
        QCOMPARE(form->DataGrid()->model()->headerData(1, Qt::Horizontal).toString(), QString("B"));
        QCOMPARE(form->DescGrid()->model()->headerData(1, Qt::Horizontal).toString(), QString("B"));
        QCOMPARE(form->DataGrid()->model()->rowCount(), 1);
        QVERIFY(App().session.FileModified);
        QCOMPARE(form->windowTitle(), QString("Data  (modified)"));

        // A single value into a 3 x 4 block fills all twelve cells.
        Sheet(4, 6);
        Select({2, 2, 4, 5});
        form->PasteFromText("x");
        int filled = 0;
        for (int c = 1; c <= 4; ++c)
            for (int r = 1; r <= 6; ++r) filled += ws().Cell(c, r) == "x";
        QCOMPARE(filled, 12);
        QCOMPARE(form->DataGrid()->model()->data(form->DataGrid()->model()->index(4, 3)).toString(), QString("x"));

        // No to the question pastes the names line as data.
        Sheet(2, 1);
        t->rec->scriptedAnswers = {Answer::No};
        Select(GridRect::At({1, 1}));
        form->PasteFromText("A\tB\n1\t2");
        QCOMPARE(ws().Cell(1, 1), std::string("A"));
        QCOMPARE(ws().RowCount(), 2);
    }

    void pasteFollowsTheClipboardAfterTheEditMenuOpened() {
        QApplication::clipboard()->clear();
        form->findChild<QMenu*>("EditMenu")->aboutToShow();
        auto* paste = form->findChild<QAction*>("Paste1");
        QVERIFY(!paste->isEnabled());
        // Text copied in another program: Ctrl+V and the button work again.
        QApplication::clipboard()->setText("5");
        QVERIFY(paste->isEnabled());
        QVERIFY(form->findChild<QAction*>("PasteButton")->isEnabled());
    }

    void delClearsTheSelectionButNotTheTextBeingTyped() {
        Sheet(2, 3);
        QVERIFY(QTest::qWaitForWindowActive(form));
        Select({1, 1, 2, 2});
        form->DataGrid()->setFocus();
        QTest::keyClick(form->DataGrid(), Qt::Key_Delete);
        QVERIFY(ws().CellEmpty(1, 1) && ws().CellEmpty(2, 2));
        QCOMPARE(ws().Cell(1, 3), std::string("103"));
        QVERIFY(App().session.FileModified);

        // In the cell editor Del deletes a character and clears nothing.
        Select(GridRect::At({1, 3}));
        form->DataGrid()->edit(form->DataGrid()->model()->index(2, 0));
        auto* ed = form->DataGrid()->findChild<QLineEdit*>();
        QVERIFY(ed);
        ed->setCursorPosition(0);
        QTest::keyClick(ed, Qt::Key_Delete);
        QCOMPARE(ed->text(), QString("03"));
        QCOMPARE(ws().Cell(1, 3), std::string("103"));
    }

    void pasteAtTheColumnLimitChangesNothing() {
        ws().SetColumnCount(504);
        form->RefreshGrids();
        Select(GridRect::At({504, 1}));
        QVERIFY(!form->PasteFromText("1\t2\t3\t4\t5\t6\t7\t8\t9\t10"));
        QCOMPARE(t->rec->Errors(), std::vector<std::string>{"Maximum Number of Columns Exceeded."});
        QCOMPARE(form->DataGrid()->model()->columnCount(), 504);
        QVERIFY(!App().session.FileModified);
    }

    void rowAndColumnCommandsAndTranspose() {
        Sheet(3, 5);
        ws().SetColumnName(3, "Weight");
        form->RefreshGrids();
        Select({2, 1, 2, 5});
        form->InsertColumns();
        QCOMPARE(ws().ColumnCount(), 4);
        QCOMPARE(ws().ColumnName(3), std::string("Col3"));
        QCOMPARE(ws().ColumnName(4), std::string("Weight"));
        QCOMPARE(form->DataGrid()->currentIndex().column(), 1);

        Select({1, 2, 4, 3});
        form->DeleteRows();
        QCOMPARE(ws().RowCount(), 3);
        QCOMPARE(ws().Cell(1, 2), std::string("104"));
        QCOMPARE(form->findChild<QLabel*>("StatusPanel4")->text(), QString("Cols = 4,  Rows = 3"));

        form->Transpose();
        QCOMPARE(ws().ColumnCount(), 3);
        QCOMPARE(ws().RowCount(), 4);
        QCOMPARE(ws().ColumnName(3), std::string("Col3"));
        QCOMPARE(form->DataGrid()->model()->columnCount(), 3);

        form->InsertCaseNumbers();
        QCOMPARE(ws().ColumnName(1), std::string("Case"));
        QCOMPARE(ws().Cell(1, 4), std::string("4"));

        // Deleting every row starts a new worksheet.
        App().session.FileModified = false;
        Select({1, 1, ws().ColumnCount(), ws().RowCount()});
        form->DeleteRows();
        QVERIFY(!ws().HasData());
        QCOMPARE(form->windowTitle(), QString("Data"));
    }

    void columnCommandsNeedAPressOnTheNamesRow() {
        Sheet(2, 2);
        auto* del = form->findChild<QAction*>("DeleteColumns1");
        auto* ins = form->findChild<QAction*>("InsertRows1");
        form->SetLastPress(true, false, 2);
        emit form->findChild<QMenu*>("EditMenu")->aboutToShow();
        QVERIFY(del->isEnabled());
        QVERIFY(!ins->isEnabled());
        form->SetLastPress(false, true, 0);
        emit form->findChild<QMenu*>("EditMenu")->aboutToShow();
        QVERIFY(!del->isEnabled());
        QVERIFY(ins->isEnabled());
    }

    void tabAndEnterGrowTheSheetAndCtrlArrowsJump() {
        Sheet(2, 3);
        QTableView* g = form->DataGrid();
        g->setFocus();
        g->setCurrentIndex(g->model()->index(0, 1));
        QTest::keyClick(g, Qt::Key_Tab);
        QCOMPARE(ws().ColumnCount(), 3);
        QCOMPARE(ws().ColumnName(3), std::string("Col3"));
        QCOMPARE(g->currentIndex(), g->model()->index(0, 2));

        g->setCurrentIndex(g->model()->index(2, 0));
        QTest::keyClick(g, Qt::Key_Return);
        QCOMPARE(ws().RowCount(), 4);
        QCOMPARE(g->currentIndex().row(), 3);

        ws().SetCell(1, 4, "");
        g->setCurrentIndex(g->model()->index(0, 0));
        QTest::keyClick(g, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(g->currentIndex().row(), 2);  // the end of the filled block
        QTest::keyClick(g, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(g->currentIndex().row(), 0);
        QCOMPARE(form->findChild<QLabel*>("StatusPanel0")->text(), QString("Col = 1,  Row = 1"));
    }

    void namesEditingCommitsAndRepairsDefaults() {
        Sheet(3, 2);
        form->StartNamesEditing(2);
        auto* ed = form->findChild<QLineEdit*>("NameEditor");
        QVERIFY(ed);
        ed->setText("Width");
        QTest::keyClick(ed, Qt::Key_Tab);  // on to the next name
        ed = form->findChild<QLineEdit*>("NameEditor");
        QVERIFY(ed);
        ed->setText("col7");
        QTest::keyClick(ed, Qt::Key_Return);  // down to row 1: defaults follow their columns
        QCOMPARE(ws().ColumnName(2), std::string("Width"));
        QCOMPARE(ws().ColumnName(3), std::string("Col3"));
        QCOMPARE(form->DataGrid()->currentIndex(), form->DataGrid()->model()->index(0, 2));
        QCOMPARE(form->DescGrid()->model()->headerData(1, Qt::Horizontal).toString(), QString("Width"));
        QVERIFY(App().session.FileModified);
    }

    void limitRowsOfTheDescriptionPageTakeOnlyNumbers() {
        form->ShowDataPage(false);
        QTableView* g = form->DescGrid();
        g->setFocus();
        g->setCurrentIndex(g->model()->index(1, 0));  // "USL:"
        const int beeps = t->rec->beeps;
        QTest::keyClick(g, Qt::Key_X);
        QCOMPARE(t->rec->beeps, beeps + 1);
        QVERIFY(!static_cast<TWorksheetView*>(g)->Editing());
        g->setCurrentIndex(g->model()->index(0, 0));  // "Title:" takes any text
        QTest::keyClick(g, 'B');
        auto* ed = g->findChild<QLineEdit*>();
        QVERIFY(ed);
        QTest::keyClicks(ed, "ore");
        QTest::keyClick(ed, Qt::Key_Return);
        QCoreApplication::processEvents();  // the editor commits on the next turn
        QCOMPARE(ws().Description(DescriptionRow::Title, 1), std::string("Bore"));
        QCOMPARE(t->rec->beeps, beeps + 1);
    }

    void copyGivesTabbedLines() {
        Sheet(2, 2);
        Select({1, 1, 2, 2});
        form->Copy();
        QCOMPARE(QApplication::clipboard()->text(), QString("101\t201\r\n102\t202\r\n"));
    }

    void newAfterYesThenCancelledSaveKeepsTheWorksheet() {
        Select(GridRect::At({1, 1}));
        form->PasteFromText("7");
        t->rec->scriptedAnswers = {Answer::Yes};
        t->dialogs->configureAnswers = {std::nullopt};  // Configure Save cancelled
        QVERIFY(!form->New());
        QCOMPARE(ws().Cell(1, 1), std::string("7"));
        QVERIFY(App().session.FileModified);

        // Save As with the choices, then the caption names the file.
        t->dialogs->configureAnswers = {SaveChoices{false, false, false}};
        t->dialogs->saveNames = {t->Path("one.amx")};
        QVERIFY(form->SaveAs());
        QCOMPARE(form->windowTitle(), "Data - " + t->Path("one.amx"));
        QCOMPARE(App().mru.MostRecent(), t->Path("one.amx").toStdString());
    }

    void savingOnlyASelectionKeepsAnEditedWorksheetModified() {
        Sheet(2, 3);
        form->SetFileModified(true);
        Select({1, 1, 1, 2});
        t->dialogs->configureAnswers = {SaveChoices{true, false, false}};
        t->dialogs->saveNames = {t->Path("part.amx")};
        QVERIFY(!form->SaveAs());
        QFile part(t->Path("part.amx"));
        QVERIFY(part.open(QIODevice::ReadOnly));
        QCOMPARE(part.readAll(), QByteArray("101\r\n102\r\n"));
        QVERIFY(App().session.FileModified);

        // Answering Yes to "File Not Saved.  Save?" with another partial save
        // keeps the worksheet instead of clearing it.
        t->rec->scriptedAnswers = {Answer::Yes};
        t->dialogs->configureAnswers = {SaveChoices{true, false, false}};
        t->dialogs->saveNames = {t->Path("part2.amx")};
        QVERIFY(!form->New());
        QCOMPARE(ws().Cell(2, 3), std::string("203"));
    }

    void callingProtocol() {
        TAmbroluxMainForm main({}, t->Path("locks"));
        QWidget caller;
        caller.setWindowTitle("Explore");
        form->ShowDataEditor(&caller, "Explore");
        QCOMPARE(form->findChild<QAction*>("Return1")->text(), QString("&Return to Explore"));
        QCOMPARE(form->findChild<QAction*>("ReturnButton")->toolTip(), QString("Return to Explore"));
        form->findChild<QAction*>("HideForm1")->trigger();
        QVERIFY(!form->isVisible());
        QVERIFY(caller.isVisible());
        QCOMPARE(form->findChild<QAction*>("Return1")->text(), QString("&Return to Main Form"));
        QVERIFY(!form->CallingForm());
    }
};

QTEST_MAIN(TestDataEditor)
#include "tst_dataeditor.moc"
