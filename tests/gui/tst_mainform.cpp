// The main window: instance titles, the command-line file, recent files, the
// Forms menu, the next-window commands and closing with an unsaved worksheet.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "GuiTestSupport.h"
#include "common/Launcher.h"
#include "shell/MainForm.h"
#include "shell/ShellDefaults.h"
#include "worksheet/DataForm.h"

using namespace amx;
using namespace amx::gui;

namespace {

// Three stand-in procedure windows for the Forms menu.
class StandInWindow : public QWidget {
public:
    explicit StandInWindow(const QString& caption) { setWindowTitle(caption); }
};
WindowClassRegistration regA("TStandInA", [] { return new StandInWindow("Sample Size"); });
WindowClassRegistration regB("TStandInB", [] { return new StandInWindow("Crosstabs"); });
WindowClassRegistration regC("TStandInC", [] { return new StandInWindow("Explore"); });

QStringList WindowItems(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        if (a->objectName().startsWith("FormsMenu") && a->objectName() != "FormsMenuAction")
            out << a->text() + (a->isChecked() ? " *" : "");
    return out;
}

}  // namespace

class TestMainForm : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestApp> t;
    QString lockDir() const { return t->Path("locks"); }

private slots:
    void init() { t = std::make_unique<test::TestApp>(); }
    void cleanup() {
        delete App().dataForm;
        t.reset();
    }

    void f1OpensTheHelpOfTheActiveWindow() {
        RecordingLauncher launcher;
        launcher.helpFileExists = true;
        App().session.launcher = &launcher;
        TAmbroluxMainForm main({}, lockDir());
        main.show();
        TDataForm* d = App().EnsureDataEditor();
        d->ShowDataEditor(&main, "Main Form");
        QVERIFY(QTest::qWaitForWindowActive(d));
        QTest::keyClick(d->DataGrid(), Qt::Key_F1);
        QCOMPARE(launcher.helpOpened.size(), size_t(1));
        QCOMPARE(launcher.helpOpened.back().second, 7000);

        App().registry.ShowWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(&main, Qt::Key_F1);
        QCOMPARE(launcher.helpOpened.size(), size_t(2));
        QCOMPARE(launcher.helpOpened.back().second, 100);
        QVERIFY(launcher.addresses.empty());
    }

    void functionKeysInOtherWindowsYieldToTheirOwnShortcuts() {
        TAmbroluxMainForm main({}, lockDir());
        main.show();
        QWidget* w = App().registry.Ensure("TStandInA");
        int own = 0;
        auto* processIf = new QAction(w);
        processIf->setShortcut(Qt::Key_F8);
        processIf->setShortcutContext(Qt::WindowShortcut);
        w->addAction(processIf);
        connect(processIf, &QAction::triggered, [&own] { ++own; });
        App().registry.ShowWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_F8);
        QCOMPARE(own, 1);
        // A key the window leaves alone works the main menu: F4 shows the editor.
        QTest::keyClick(w, Qt::Key_F4);
        QVERIFY(App().dataForm && App().dataForm->isVisible());
    }

    void formsMenuListsWindowsAlphabeticallyWithVisibleOnesChecked() {
        TAmbroluxMainForm main({}, lockDir());
        auto* forms = main.findChild<QMenu*>("FormsMenu");
        QVERIFY(forms);
        main.FormsMenuClick();
        QCOMPARE(forms->actions().size(), 1);
        QCOMPARE(forms->actions()[0]->text(), QString("(No Open Forms)"));

        for (const char* cls : {"TStandInA", "TStandInB", "TStandInC"}) main.OpenWindowOfClass(cls);
        App().registry.Window("TStandInC")->close();  // closing only hides
        QVERIFY(App().registry.Window("TStandInC"));
        main.FormsMenuClick();
        QCOMPARE(WindowItems(forms), (QStringList{"Crosstabs *", "Explore", "Sample Size *"}));
        QVERIFY(forms->findChild<QAction*>("HideAllForms1"));

        // Choosing the hidden one shows it again; reopening keeps one window per class.
        QWidget* explore = App().registry.Window("TStandInC");
        forms->actions()[1]->trigger();
        QVERIFY(explore->isVisible());
        main.OpenWindowOfClass("TStandInC");
        main.FormsMenuClick();
        QCOMPARE(WindowItems(forms).size(), 3);

        main.HideAllForms();
        QVERIFY(!explore->isVisible());
        for (const char* cls : {"TStandInA", "TStandInB", "TStandInC"}) delete App().registry.Window(cls);
    }

    void menusCarryTheirItemsAndUnbuiltWindowsAreDisabled() {
        TAmbroluxMainForm main({}, lockDir());
        QStringList menus;
        for (QAction* a : main.menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"", "&File", "&Tests", "D&esign", "&Distributions", "&SPC", "&Help"}));
        for (const char* name : {"New1", "OpenItem", "StayonTop1", "ViewData1", "ProcessIf1", "MenuItemCommas",
                                 "MenuItemNoCommas", "ViewMainForm1", "ViewNextVisibleForm1", "ViewForms", "ExitItem",
                                 "MRFile1", "MRFile9", "tTests1", "Crosstabs1", "Explore1", "RandomNumbers1",
                                 "zScore1", "VariablesControlCharts1", "ControlTestSelection1",
                                 "MeasurementSystemsAnalysis1", "Contents1", "CheckforAmbroluxUpdates1", "About1"})
            QVERIFY2(main.findChild<QAction*>(name), name);
        auto* open = main.findChild<QAction*>("OpenItem");
        QCOMPARE(open->text(), QString("&Open..."));
        QCOMPARE(open->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(main.findChild<QAction*>("Explore1")->shortcut(), QKeySequence(Qt::Key_F5));
        QVERIFY(main.findChild<QAction*>("ViewData1")->isEnabled());
        QCOMPARE(main.findChild<QAction*>("tTests1")->isEnabled(), WindowRegistry::HasClass("TT_testForm"));

        // Number format: the items follow the kind and store it.
        main.findChild<QAction*>("MenuItemNoCommas")->trigger();
        QCOMPARE(App().session.numberFormat, NumberFormatKind::WithoutCommas);
        QCOMPARE(*App().session.settings->ReadString(SettingsKey, "AmxNumberFormat"), std::string("F"));
        QVERIFY(main.findChild<QAction*>("MenuItemNoCommas")->isChecked());
        QVERIFY(!main.findChild<QAction*>("MenuItemCommas")->isChecked());
    }

    void instanceTitlesFollowRunningCopies() {
        auto a = std::make_unique<TAmbroluxMainForm>(QStringList{}, lockDir());
        auto b = std::make_unique<TAmbroluxMainForm>(QStringList{}, lockDir());
        auto c = std::make_unique<TAmbroluxMainForm>(QStringList{}, lockDir());
        QCOMPARE(a->windowTitle(), QString("Ambrolux"));
        QCOMPARE(b->windowTitle(), QString("Ambrolux (2)"));
        QCOMPARE(c->windowTitle(), QString("Ambrolux (3)"));
        a.reset();
        c.reset();
        // Only "Ambrolux (2)" runs: numbering starts afresh.
        TAmbroluxMainForm d({}, lockDir());
        QCOMPARE(d.windowTitle(), QString("Ambrolux"));
    }

    void commandLineFileIsLoaded_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("loads");
        QTest::newRow("none") << QStringList{} << false;
        QTest::newRow("plain") << QStringList{"PATH"} << true;
        QTest::newRow("quoted") << QStringList{"\"PATH\""} << true;
        QTest::newRow("@LAST") << QStringList{"@LAST"} << true;
        QTest::newRow("@last") << QStringList{"@last"} << true;
        QTest::newRow("missing") << QStringList{"/no/such/file.amx"} << false;
        QTest::newRow("relative") << QStringList{"RELATIVE"} << true;
    }
    void commandLineFileIsLoaded() {
        QFETCH(QStringList, args);
        QFETCH(bool, loads);
        const QString file = t->Write("with space.amx", "Weight\tHeight\r\n1\t2\r\n3\t4\r\n");
        App().mru.UpdateList(App().session, file.toStdString());
        for (QString& a : args) a.replace("PATH", file).replace("RELATIVE", QDir::current().relativeFilePath(file));
        TAmbroluxMainForm main(args, lockDir());
        main.FormActivate();
        QVERIFY(!main.FirstActivation());
        if (!loads) {
            QVERIFY(!App().dataForm || !App().dataForm->isVisible());
            return;
        }
        QVERIFY(App().dataForm && App().dataForm->isVisible());
        QCOMPARE(App().session.worksheet.ColumnName(2), std::string("Height"));
        QCOMPARE(App().dataForm->CallingName(), QString("Main Form"));
        QCOMPARE(App().dataForm->windowTitle(), "Data - " + file);
        main.FormActivate();  // later activations do nothing
    }

    void droppedFileLoadsWithItsWholePath() {
        QDir().mkpath(t->Path(QString(120, 'd') + "/" + QString(120, 'e')));
        const QString file = t->Write(QString(120, 'd') + "/" + QString(120, 'e') + "/dropped data.amx", "7\r\n8\r\n");
        QVERIFY(file.size() > 255);
        TAmbroluxMainForm main({}, lockDir());
        main.show();
        QVERIFY(main.GetDroppedFiles({QUrl("https://example.org/x.amx"), QUrl::fromLocalFile(file)}));
        QVERIFY(App().dataForm && App().dataForm->isVisible());
        QCOMPARE(QString::fromStdString(App().session.DataFilename), file);
        QCOMPARE(App().session.worksheet.Cell(1, 2), std::string("8"));
    }

    void lastWithAnEmptyListLoadsNothing() {
        TAmbroluxMainForm main({"@LAST"}, lockDir());
        main.FormActivate();
        QVERIFY(!App().dataForm);
    }

    void recentFilesInTheFileMenuMostRecentFirst() {
        TAmbroluxMainForm main({}, lockDir());
        auto* sep = main.findChild<QAction*>("MenuLineMRU");
        main.FileMenuClick();
        QVERIFY(!sep->isVisible());
        QVERIFY(!main.findChild<QAction*>("MRFile1")->isVisible());

        QStringList files;
        for (const char* n : {"A.amx", "B.amx", "R&D.amx"}) files << t->Write(n, "1\r\n2\r\n");
        for (const QString& f : files) main.LoadAndShowDataEditor(f);
        main.LoadAndShowDataEditor(files[1]);
        main.FileMenuClick();
        QVERIFY(sep->isVisible());
        auto* first = main.findChild<QAction*>("MRFile1");
        QCOMPARE(first->text(), "&1  " + files[1]);
        QCOMPARE(main.findChild<QAction*>("MRFile2")->text(), "&2  " + QString(files[2]).replace("&", "&&"));
        QCOMPARE(main.findChild<QAction*>("MRFile3")->text(), "&3  " + files[0]);
        QVERIFY(!main.findChild<QAction*>("MRFile4")->isVisible());

        // The item opens its own path, "&" included.
        main.findChild<QAction*>("MRFile2")->trigger();
        QCOMPARE(QString::fromStdString(App().session.DataFilename), files[2]);

        // A vanished file: "File Not Found!" and it stays listed.
        QFile::remove(files[0]);
        main.FileMenuClick();
        main.findChild<QAction*>("MRFile3")->trigger();
        QCOMPARE(t->rec->Errors().back(), "File Not Found!\n\n" + files[0].toStdString());
        main.FileMenuClick();
        QCOMPARE(main.findChild<QAction*>("MRFile3")->text(), "&3  " + files[0]);
    }

    void nextWindowCommandsNeedMoreThanTwoWindows() {
        TAmbroluxMainForm main({}, lockDir());
        App().EnsureDataEditor()->ShowDataEditor(&main, "Main Form");
        main.FileMenuClick();
        QVERIFY(!main.findChild<QAction*>("ViewForms")->isEnabled());
        QVERIFY(!main.findChild<QAction*>("ViewNextVisibleForm1")->isEnabled());
        main.ViewNextForm(false);  // by its key: nothing happens
        QCOMPARE(App().registry.InActivationOrder().front(), static_cast<QWidget*>(&main));

        main.OpenWindowOfClass("TStandInA");
        main.FileMenuClick();
        QVERIFY(main.findChild<QAction*>("ViewForms")->isEnabled());
        delete App().registry.Window("TStandInA");
    }

    void storedPositionNeverAboveOrLeftOfTwo() {
        App().session.settings->WriteInteger(SettingsKey, "MainTop", -40);
        // A left that keeps the 722-pixel strip on the test's 800-pixel screen.
        App().session.settings->WriteInteger(SettingsKey, "MainLeft", 40);
        TAmbroluxMainForm main({}, lockDir());
        QCOMPARE(main.y(), 2);
        QCOMPARE(main.x(), 40);
    }

    void closingWithUnsavedWorksheet() {
        TAmbroluxMainForm main({}, lockDir());
        main.show();
        main.move(140, 150);
        TDataForm* data = App().EnsureDataEditor();
        data->PasteFromText("5");
        QVERIFY(App().session.FileModified);
        App().session.settings->WriteInteger(SettingsKey, "MainTop", 7);

        // Cancel: the program keeps running and the position is not stored.
        t->rec->scriptedAnswers = {Answer::Cancel};
        QVERIFY(!main.close());
        QVERIFY(main.isVisible());
        QCOMPARE(*App().session.settings->ReadInteger(SettingsKey, "MainTop"), 7LL);

        // Yes, then Save As cancelled: the worksheet is not thrown away.
        t->rec->scriptedAnswers = {Answer::Yes};
        QVERIFY(!main.close());
        QCOMPARE(t->dialogs->saveCalls, 1);
        QCOMPARE(App().session.worksheet.Cell(1, 1), std::string("5"));

        // Yes and a real save: the program ends and stores its position.
        t->rec->scriptedAnswers = {Answer::Yes};
        t->dialogs->saveNames = {t->Path("saved.amx")};
        QSignalSpy ended(&main, &TAmbroluxMainForm::programEnded);
        QVERIFY(main.close());
        QCOMPARE(ended.count(), 1);
        QVERIFY(QFile::exists(t->Path("saved.amx")));
        QCOMPARE(*App().session.settings->ReadInteger(SettingsKey, "MainTop"), static_cast<long long>(main.y()));
        QCOMPARE(t->rec->Questions(), std::vector<std::string>(3, "File Not Saved.  Save?"));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
