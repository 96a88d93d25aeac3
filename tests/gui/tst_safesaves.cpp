// Saves that never cut a file without a word, the question before a load,
// Explore on text columns and after edits, Process If on a text column, the
// report file's extension and refused keys in number boxes.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include "GuiTestSupport.h"
#include "common/KeyFilters.h"
#include "explore/ExploreForm.h"
#include "modifications/KeyFilterAdapter.h"
#include "modifications/ProcessIfDialog.h"
#include "output/ReportOutput.h"
#include "output/ReportPane.h"
#include "procedure/ProcedureForm.h"
#include "worksheet/DataForm.h"
#include "worksheet/DataList.h"
#include "worksheet/GridDataModule.h"
#include "worksheet/modifications/ProcessIf.h"

using namespace amx;
using namespace amx::gui;

namespace {

// Notes whether the loading window was up when a question was asked.
class WatchingMessages : public RecordingMessages {
public:
    QWidget* form = nullptr;
    bool loadingShownAtQuestion = false;
    Answer Ask(const std::string& text, QuestionButtons buttons) override {
        if (form && form->findChild<QProgressDialog*>("LoadingForm")) loadingShownAtQuestion = true;
        return RecordingMessages::Ask(text, buttons);
    }
};

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

int HeaderColumn(QAbstractItemModel* m, const QString& name) {
    for (int c = 0; c < m->columnCount(); ++c)
        if (m->headerData(c, Qt::Horizontal).toString() == name) return c;
    return -1;
}

}  // namespace

class TestSafeSaves : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestApp> t;
    TDataForm* form = nullptr;
    Session& s() { return App().session; }

private slots:
    void init() {
        t = std::make_unique<test::TestApp>();
        form = App().EnsureDataEditor();
    }
    void cleanup() {
        delete App().dataForm;
        t.reset();
    }

    void savingOverATruncatedFileAsksFirst() {
        QByteArray line;
        for (int c = 1; c <= 600; ++c) line += QByteArray::number(c) + (c < 600 ? "\t" : "\r\n");
        const QString wide = t->Write("wide.amx", line + line);
        QVERIFY(form->FileToDataGrid(wide));
        QCOMPARE(s().worksheet.ColumnCount(), 512);

        // No: Save As to another name; the wide file stays whole.
        t->rec->scriptedAnswers = {Answer::No};
        t->dialogs->configureAnswers = {SaveChoices{}};
        t->dialogs->saveNames = {t->Path("narrow.amx")};
        s().FileModified = true;
        QVERIFY(form->Save());
        const auto questions = t->rec->Questions();
        QCOMPARE(questions.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(questions[0]).contains(wide));
        QVERIFY(QString::fromStdString(questions[0]).contains("513 to 600"));
        QCOMPARE(ReadAll(wide), line + line);
        QVERIFY(ReadAll(t->Path("narrow.amx")).startsWith("1\t2\t"));

        // The flag went with the Save As: saving the new file asks nothing.
        QVERIFY(form->Save());
        QCOMPARE(t->rec->Questions().size(), std::size_t(1));

        // Yes saves over the file; Cancel leaves it.
        QVERIFY(form->FileToDataGrid(wide));
        t->rec->scriptedAnswers = {Answer::Cancel};
        QVERIFY(!form->Save());
        QCOMPARE(ReadAll(wide), line + line);
        // Save As onto the same name asks too.
        t->rec->scriptedAnswers = {Answer::No};
        t->dialogs->configureAnswers = {SaveChoices{}};
        t->dialogs->saveNames = {wide};
        QVERIFY(!form->SaveAs());
        QCOMPARE(ReadAll(wide), line + line);
        t->rec->scriptedAnswers = {Answer::Yes};
        QVERIFY(form->Save());
        QVERIFY(ReadAll(wide).size() < line.size() * 2);
    }

    void selectionSavedOverItsOwnFileLeavesTheWorksheetModified() {
        const QString own = t->Write("own.amx", "1\t2\r\n3\t4\r\n5\t6\r\n");
        QVERIFY(form->FileToDataGrid(own));
        QVERIFY(!s().FileModified);
        TGridDataModule::SelectBlock(form->DataGrid(), {1, 1, 2, 2});
        t->dialogs->configureAnswers = {SaveChoices{true, false, false}};
        t->dialogs->saveNames = {own};
        form->SaveAs();
        QCOMPARE(ReadAll(own), QByteArray("1\t2\r\n3\t4\r\n"));
        QVERIFY(s().FileModified);
        QVERIFY(form->windowTitle().endsWith("(modified)"));
        // Closing or a new worksheet now asks.
        t->rec->scriptedAnswers = {Answer::Cancel};
        QVERIFY(!form->New());
        QCOMPARE(s().worksheet.Cell(2, 3), std::string("6"));
    }

    void theQuestionComesBeforeTheLoadingWindow() {
        const QString file = t->Write("next.amx", "7\r\n8\r\n");
        WatchingMessages watch;
        watch.form = form;
        s().messages = &watch;
        s().worksheet.SetCell(1, 1, "1");
        form->SetFileModified(true);
        watch.scriptedAnswers = {Answer::Cancel};
        QVERIFY(!form->FileToDataGrid(file));
        QCOMPARE(watch.Questions(), std::vector<std::string>{"File Not Saved.  Save?"});
        QVERIFY(!watch.loadingShownAtQuestion);
        QCOMPARE(s().worksheet.Cell(1, 1), std::string("1"));
        QVERIFY(s().FileModified);

        watch.scriptedAnswers = {Answer::No};
        QVERIFY(form->FileToDataGrid(file));
        QCOMPARE(watch.Questions().size(), std::size_t(2));  // asked once
        QVERIFY(!watch.loadingShownAtQuestion);
        QCOMPARE(s().worksheet.Cell(1, 2), std::string("8"));
        QVERIFY(!form->findChild<QProgressDialog*>("LoadingForm"));
        s().messages = t->rec;
    }

    void exploreLeavesTextColumnsOutAndFollowsEdits() {
        QVERIFY(form->FileToDataGrid(AMX_EXAMPLES_DIR "/fill-weights.amx"));
        TWNormal_Form f(s());
        f.show();
        auto* from = f.findChild<QListWidget*>("ListBox_ColVar");
        auto* to = f.findChild<QListWidget*>("ListBox_AnalysisVar");
        f.findChild<QPushButton*>("AddAllButton")->click();
        QStringList chosen;
        for (int i = 0; i < to->count(); ++i) chosen << to->item(i)->text();
        QVERIFY(!chosen.contains("Shift"));
        QCOMPARE(from->count(), 1);
        QVERIFY(!(from->item(0)->flags() & Qt::ItemIsEnabled));

        // Remove Hour: the five weights share one title.
        for (int i = 0; i < to->count(); ++i) to->item(i)->setSelected(to->item(i)->text() == "Hour");
        f.findChild<QPushButton*>("RemoveButton")->click();
        auto* tabs = f.findChild<QTabWidget*>("PageControl_Main");
        tabs->setCurrentIndex(TWNormal_Form::DescTab);
        QAbstractItemModel* m = f.GridOf(TWNormal_Form::DescTab)->model();
        QCOMPARE(m->headerData(0, Qt::Vertical).toString(), QString("(All)"));
        QCOMPARE(m->headerData(1, Qt::Vertical).toString(), QString("Net fill weight (g) (W1)"));
        QCOMPARE(m->headerData(5, Qt::Vertical).toString(), QString("Net fill weight (g) (W5)"));
        const int n = HeaderColumn(m, "n");
        QVERIFY(n >= 0);
        const QString before = m->data(m->index(1, n)).toString();

        // An edit in the data editor: the selection stays, the results follow.
        f.hide();
        s().worksheet.SetCell(2, 1, "");
        form->CellEdited(false, 2, 1);
        DataEditorDeactivated(s());
        f.show();
        QCOMPARE(to->count(), 5);
        m = f.GridOf(TWNormal_Form::DescTab)->model();
        QCOMPARE(m->data(m->index(1, n)).toString().trimmed().toInt(), before.trimmed().toInt() - 1);
    }

    void processIfOnATextColumnNamesTheLevel() {
        QVERIFY(form->FileToDataGrid(AMX_EXAMPLES_DIR "/fill-weights.amx"));
        TProcessIFForm dlg(s());
        dlg.show();
        auto* list = dlg.findChild<QListWidget*>("DataVariablesList");
        list->setCurrentRow(6);  // Shift
        list->item(6)->setSelected(true);
        dlg.findChild<QPushButton*>("MoveButton1")->click();
        dlg.findChild<QComboBox*>("RelationCombo1")->setCurrentIndex(6);  // "<>"
        auto* value = dlg.findChild<QLineEdit*>("ValueEdit1");

        // An empty box is refused with a message; the dialog stays open.
        dlg.findChild<QPushButton*>("OKButton")->click();
        QVERIFY(dlg.isVisible());
        QCOMPARE(t->rec->TextsOf(MessageKind::Warning).size(), std::size_t(1));
        QVERIFY(!s().ProcessIf.Active);

        // Letters go in; the level is matched without letter case.
        value->setFocus();
        QTest::keyClicks(value, "night");
        QCOMPARE(value->text(), QString("night"));
        dlg.findChild<QPushButton*>("OKButton")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(s().ProcessIfText1, std::string("Shift <> Night"));
        QCOMPARE(dlg.StatusText(), QString("Process If: Shift <> Night"));
        int kept = 0;
        for (int r = 1; r <= s().worksheet.RowCount(); ++r) kept += ProcessIfPasses(s(), r);
        QCOMPARE(kept, 12);  // the Day rows
    }

    void richTextFilterSuppliesTheExtension() {
        ReportPane pane;
        ReportDocument doc;
        doc.AppendText("Mean 2.5\n", doc.defaultFont);
        pane.ShowDocument(doc);
        QTimer::singleShot(0, [this] {
            auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->setDirectory(t->dir.path());
            dlg->selectNameFilter("Rich Text Format (*.rtf)");
            dlg->selectFile("report1");
            static_cast<QDialog*>(dlg)->accept();
        });
        SaveOutput(pane, nullptr, *t->rec);
        QVERIFY(QFile::exists(t->Path("report1.rtf")));
        QVERIFY(!QFile::exists(t->Path("report1.txt")));
        QVERIFY(ReadAll(t->Path("report1.rtf")).startsWith("{\\rtf"));
    }

    void wholeNumberBoxesBeepAndRefuseChangedPastes() {
        QLineEdit box;
        new KeyFilterAdapter(&box, &IntegerKey, t->rec);
        box.show();
        box.setFocus();
        const int beeps = t->rec->beeps;
        QTest::keyClicks(&box, "2.5");
        QCOMPARE(box.text(), QString("25"));
        QCOMPARE(t->rec->beeps, beeps + 1);  // the "." was refused aloud

        box.clear();
        QApplication::clipboard()->setText("1e9");
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.text(), QString());
        QCOMPARE(t->rec->beeps, beeps + 2);
        QApplication::clipboard()->setText("125");
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.text(), QString("125"));
        QCOMPARE(t->rec->beeps, beeps + 2);
    }
};

QTEST_MAIN(TestSafeSaves)
#include "tst_safesaves.moc"
