// Typing into the data editor: Enter keeps the typed value and moves one
// row, undo and redo of every kind of change, and a form that can be
// deleted with a cell editor open.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QLineEdit>
#include <QUndoStack>
#include <QtTest>

#include "GuiTestSupport.h"
#include "shell/QtMessages.h"
#include "worksheet/DataForm.h"
#include "worksheet/DataList.h"
#include "worksheet/GridDataModule.h"

using namespace amx;
using namespace amx::gui;

class TestDataEntry : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestApp> t;
    TDataForm* form = nullptr;
    Worksheet& ws() { return App().session.worksheet; }
    QTableView* grid() { return form->DataGrid(); }

    // Types `text` into the current cell as a user does, then Enter.
    void TypeAndEnter(const QString& text) {
        QTest::keyClicks(grid(), text.left(1));
        auto* ed = grid()->findChild<QLineEdit*>();
        QVERIFY(ed);
        QTest::keyClicks(ed, text.mid(1));
        QTest::keyClick(ed, Qt::Key_Return);
        QCoreApplication::processEvents();  // the delegate commits on the next turn
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed editor
    }
    void At(int col, int row) {
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(row - 1, col - 1));
    }
    QAction* Action(const char* name) { return form->findChild<QAction*>(name); }

private slots:
    void init() {
        t = std::make_unique<test::TestApp>();
        form = App().EnsureDataEditor();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    void cleanup() {
        delete App().dataForm;
        t.reset();
    }

    void enterKeepsTheValueAndMovesOneRow() {
        At(1, 1);
        TypeAndEnter("11");
        TypeAndEnter("12");
        TypeAndEnter("13");
        QCOMPARE(ws().Cell(1, 1), std::string("11"));
        QCOMPARE(ws().Cell(1, 2), std::string("12"));
        QCOMPARE(ws().Cell(1, 3), std::string("13"));
        QCOMPARE(ws().RowCount(), 4);  // the row Enter added below the last value
        QCOMPARE(grid()->currentIndex().row(), 3);
        QVERIFY(App().session.FileModified);
        QCOMPARE(form->windowTitle(), QString("Data  (modified)"));

        // Enter without typing moves one row too.
        At(1, 1);
        QTest::keyClick(grid(), Qt::Key_Return);
        QCOMPARE(grid()->currentIndex().row(), 1);
    }

    void enterAtTheBottomOfALoadedFile() {
        QVERIFY(form->FileToDataGrid(AMX_EXAMPLES_DIR "/shaft-diameters.amx"));
        const int rows = ws().RowCount();
        QVERIFY(!App().session.FileModified);
        At(1, rows);
        TypeAndEnter("10.001");
        QCOMPARE(ws().Cell(1, rows), std::string("10.001"));
        QCOMPARE(ws().RowCount(), rows + 1);
        QCOMPARE(grid()->currentIndex().row(), rows);
        QVERIFY(form->windowTitle().endsWith("  (modified)"));
        // Typing goes on working.
        TypeAndEnter("9.999");
        QCOMPARE(ws().Cell(1, rows + 1), std::string("9.999"));
    }

    void undoAndRedoEveryChange() {
        QAction* undo = Action("Undo1");
        QAction* redo = Action("Redo1");
        QVERIFY(undo && redo);
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->shortcut(), QKeySequence("Ctrl+Z"));
        QCOMPARE(redo->shortcuts(), (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));

        // Typing with Enter at the bottom: one undo takes the value and the row.
        At(1, 1);
        TypeAndEnter("5");
        QCOMPARE(ws().RowCount(), 2);
        QCOMPARE(undo->text(), QString("&Undo Typing"));
        QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(ws().CellEmpty(1, 1));
        QCOMPARE(ws().RowCount(), 1);
        // Back at the state of the new worksheet: not modified.
        QVERIFY(!App().session.FileModified);
        QCOMPARE(form->windowTitle(), QString("Data"));
        QTest::keyClick(grid(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(ws().Cell(1, 1), std::string("5"));
        QCOMPARE(ws().RowCount(), 2);
        QVERIFY(App().session.FileModified);

        // Paste with names, growing the sheet.
        t->rec->scriptedAnswers = {Answer::Yes};
        TGridDataModule::SelectBlock(grid(), GridRect::At({1, 1}));
        QVERIFY(form->PasteFromText("A\tB\r\n1\t2\r\n3\t4\r\n"));
        QCOMPARE(undo->text(), QString("&Undo Paste"));
        undo->trigger();
        QCOMPARE(ws().ColumnCount(), 1);
        QCOMPARE(ws().ColumnName(1), std::string("Col1"));
        QCOMPARE(ws().Cell(1, 1), std::string("5"));
        QCOMPARE(redo->text(), QString("&Redo Paste"));
        redo->trigger();
        QCOMPARE(ws().ColumnName(2), std::string("B"));
        QCOMPARE(ws().Cell(2, 2), std::string("4"));
        QCOMPARE(grid()->model()->columnCount(), 2);

        // Structural changes; each undo gives back the sheet before it.
        const std::string before = ws().Cell(1, 1) + ws().Cell(2, 2) + ws().ColumnName(1);
        TGridDataModule::SelectBlock(grid(), {1, 1, 2, 1});
        form->SetLastPress(false, true, 0);
        form->DeleteRows();
        form->Transpose();
        form->InsertCaseNumbers();
        QCOMPARE(undo->text(), QString("&Undo Insert Case Numbers"));
        undo->trigger();
        undo->trigger();
        undo->trigger();
        QCOMPARE(ws().Cell(1, 1) + ws().Cell(2, 2) + ws().ColumnName(1), before);
        QCOMPARE(ws().ColumnCount(), 2);

        // Saved, changed, undone: the worksheet is as saved.
        t->dialogs->configureAnswers = {SaveChoices{false, true, false}};
        t->dialogs->saveNames = {t->Path("undo.amx")};
        QVERIFY(form->SaveAs());
        TGridDataModule::SelectBlock(grid(), {1, 1, 2, 2});
        form->Clear();
        QVERIFY(App().session.FileModified);
        undo->trigger();
        QVERIFY(!App().session.FileModified);
        QVERIFY(!form->windowTitle().endsWith("(modified)"));

        // A new worksheet starts a new history.
        QVERIFY(form->New());
        QVERIFY(!undo->isEnabled());
    }

    void namesRowAndStatusBar() {
        ws().SetColumnCount(3);
        ws().SetCell(3, 1, "Day");
        form->RefreshGrids();
        // A double click right of the last column renames nothing.
        QHeaderView* h = grid()->horizontalHeader();
        emit h->sectionDoubleClicked(-1);
        QVERIFY(!form->findChild<QLineEdit*>("NameEditor"));

        // Renaming the last column with Enter adds no column.
        form->StartNamesEditing(3);
        auto* ed = form->findChild<QLineEdit*>("NameEditor");
        QVERIFY(ed);
        ed->setText("Shift");
        QTest::keyClick(ed, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(ws().ColumnCount(), 3);
        QCOMPARE(ws().ColumnName(3), std::string("Shift"));

        // Every status panel is wide enough for its text.
        for (QLabel* l : form->findChildren<QLabel*>(QRegularExpression("^StatusPanel")))
            if (l->isVisible()) QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
    }

    void levelNumbersFollowEdits() {
        ws().SetColumnCount(2);
        ws().SetRowCount(2);
        ws().SetCell(1, 1, "Day");
        ws().SetCell(1, 2, "Night");
        UpdateData(App().session);
        form->RefreshGrids();
        QAbstractItemModel* m = grid()->model();
        QCOMPARE(m->data(m->index(1, 0)).toString(), QString("Night[2]"));
        m->setData(m->index(0, 0), "Eve");
        QTRY_COMPARE(m->data(m->index(0, 0)).toString(), QString("Eve[1]"));
        QVERIFY(form->findChild<QAction*>("ViewTextVariableLevels1")->isChecked());
    }

    void theUnsavedQuestionNamesTheFile() {
        QVERIFY(form->FileToDataGrid(AMX_EXAMPLES_DIR "/shaft-diameters.amx"));
        QCOMPARE(QtMessages::QuestionTitle("File Not Saved.  Save?"), QString("shaft-diameters.amx"));
        QVERIFY(form->New());
        QCOMPARE(QtMessages::QuestionTitle("File Not Saved.  Save?"), QString("Untitled worksheet"));
    }

    void deletedWithACellEditorOpen() {
        At(1, 1);
        QTest::keyClicks(grid(), "7");
        QVERIFY(grid()->findChild<QLineEdit*>());
        delete App().dataForm;
        QVERIFY(!App().dataForm);
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(TestDataEntry)
#include "tst_dataentry.moc"
