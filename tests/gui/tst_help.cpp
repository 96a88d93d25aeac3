// The bundled manual and its browser: F1 in each window opens that window's
// page, a topic without a page opens the contents with a notice, the search
// finds pages by their words, and every link between pages leads somewhere.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <qcustomplot.h>

#include "GuiTestSupport.h"
#include "charts/ChartTitlesDialog.h"
#include "common/MessageHelpers.h"
#include "help/HelpForm.h"
#include "help/HelpManual.h"
#include "help/HelpTopics.h"
#include "shell/MainForm.h"
#include "shell/ShellDefaults.h"
#include "shell/WindowRegistry.h"
#include "spc/VarSetupForm.h"
#include "worksheet/ConfigureSaveDialog.h"
#include "worksheet/DataForm.h"

using namespace amx;
using namespace amx::gui;

using Maker = std::function<QWidget*()>;
Q_DECLARE_METATYPE(Maker)

class TestHelp : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestApp> t;

    static THelpForm* Help() { return THelpForm::Instance(); }

private slots:
    void init() {
        t = std::make_unique<test::TestApp>();
        Help()->hide();
        Help()->ShowContents();
    }
    void cleanup() {
        delete App().dataForm;
        t.reset();
    }

    void f1OpensTheWindowsOwnPage_data() {
        QTest::addColumn<int>("topic");
        QTest::addColumn<Maker>("make");
        auto registered = [](const char* cls) {
            return Maker([cls] { return WindowRegistry::Create(cls); });
        };
        QTest::newRow("main window") << 100 << Maker([this] {
            return new TAmbroluxMainForm({}, t->Path("locks"));
        });
        QTest::newRow("data editor") << 7000 << Maker([] { return static_cast<QWidget*>(App().EnsureDataEditor()); });
        QTest::newRow("explore") << help_topic::Explore << registered("TWNormal_Form");
        QTest::newRow("control limits") << help_topic::ControlLimits << registered("TControl_Limit_Form");
        QTest::newRow("variables chart setup") << 3400 << Maker([] {
            return static_cast<QWidget*>(new TForm_VARsetup(App().session));
        });
        QTest::newRow("control tests") << 3450 << registered("TForm_ControlTests");
        QTest::newRow("missing values") << 7300 << registered("TMissingForm");
        QTest::newRow("process if") << 7600 << registered("TProcessIFForm");
        QTest::newRow("transform") << 7400 << registered("TTransformForm");
        QTest::newRow("configure save") << 7200 << Maker([] {
            return new TConfigureSaveForm(SaveChoices{});
        });
        QTest::newRow("chart titles") << help_topic::ChartTitles << Maker([] {
            auto* plot = new QCustomPlot;
            auto* dlg = new TForm_ChartTitles(plot);
            plot->setParent(dlg);
            plot->hide();
            return static_cast<QWidget*>(dlg);
        });
    }
    void f1OpensTheWindowsOwnPage() {
        QFETCH(int, topic);
        QFETCH(Maker, make);
        QVERIFY2(!HelpManual::TopicUrl(topic).isEmpty(), "the window's page is in the manual");
        QWidget* w = make();
        QVERIFY(w);
        // The data editor belongs to the application; every other window to the test.
        std::unique_ptr<QWidget> owned(w == App().dataForm ? nullptr : w);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QWidget* target = w->focusWidget() ? w->focusWidget() : w;
        QTest::keyClick(target, Qt::Key_F1);
        // A button's shortcut clicks it a moment later.
        QTRY_VERIFY(Help()->isVisible());
        QCOMPARE(Help()->CurrentUrl(), HelpManual::TopicUrl(topic));
        QCOMPARE(Help()->Notice(), QString());
        QCOMPARE(t->rec->entries.size(), size_t(0));
    }

    void topicWithoutPageOpensContentsWithNotice() {
        QVERIFY(HelpManual::TopicUrl(98765).isEmpty());
        HelpTopic(App().session, 98765, HelpBaseAddress, AppHelpFile);
        QVERIFY(Help()->isVisible());
        QCOMPARE(Help()->CurrentUrl(), HelpManual::ContentsUrl());
        QVERIFY(Help()->Notice().contains("98765"));
        // Going on to a page clears the notice.
        Help()->ShowTopic(help_topic::Explore);
        QCOMPARE(Help()->Notice(), QString());
        // The Contents command of every window opens the contents page.
        HelpContents(App().session, HelpBaseAddress, AppHelpFile);
        QCOMPARE(Help()->CurrentUrl(), HelpManual::ContentsUrl());
    }

    void backAndForwardRetraceThePagesSeen() {
        Help()->ShowTopic(100);
        Help()->ShowTopic(help_topic::Explore);
        auto* back = Help()->findChild<QAction*>("BackAction");
        auto* forward = Help()->findChild<QAction*>("ForwardAction");
        QVERIFY(back->isEnabled());
        back->trigger();
        QCOMPARE(Help()->CurrentUrl(), HelpManual::TopicUrl(100));
        QVERIFY(forward->isEnabled());
        forward->trigger();
        QCOMPARE(Help()->CurrentUrl(), HelpManual::TopicUrl(help_topic::Explore));
    }

    void searchListsThePagesHoldingEveryWord() {
        const QList<HelpPage> hits = HelpManual::Search("shapiro-wilk NORMALITY");
        QVERIFY(!hits.isEmpty());
        QVERIFY(std::any_of(hits.begin(), hits.end(), [](const HelpPage& p) { return p.topic == help_topic::Explore; }));
        // Every word must occur: a page about missing values alone does not match.
        QVERIFY(HelpManual::Search("shapiro-wilk zzqqxxnothing").isEmpty());

        Help()->Search("Shapiro-Wilk normality");
        auto* list = Help()->findChild<QListWidget*>("TopicList");
        QCOMPARE(list->count(), int(hits.size()));
        QCOMPARE(Help()->CurrentUrl(), hits.front().url);
        auto* text = Help()->findChild<QTextBrowser*>("HelpText");
        QCOMPARE(text->textCursor().selectedText().toLower(), QString("shapiro-wilk"));

        Help()->Search("zzqqxxnothing");
        QCOMPARE(list->count(), 0);
        QVERIFY(Help()->findChild<QLabel*>("SearchStatus")->text().startsWith("No page holds"));
        // Clearing the search lists every page again, the contents first.
        Help()->Search(QString());
        QCOMPARE(list->count(), int(HelpManual::Pages().size()) + 1);
    }

    // Pages are dropped into docs/help by whoever builds a window: each has a
    // title, and every link between pages leads to a page of the manual.
    void everyPageHasATitleAndEveryLinkResolves() {
        QVERIFY(HelpManual::Available());
        QVERIFY(HelpManual::Pages().size() >= 10);
        static const QRegularExpression link(QStringLiteral("\\]\\(([^)\\s]+)\\)"));
        QList<QUrl> pages{HelpManual::ContentsUrl()};
        for (const HelpPage& p : HelpManual::Pages()) {
            QVERIFY2(!p.title.isEmpty() && !p.title.startsWith("topic-"), qPrintable(p.url.toString()));
            pages << p.url;
        }
        for (const QUrl& url : pages) {
            QFile f(':' + url.path());
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            for (auto it = link.globalMatch(text); it.hasNext();) {
                const QString target = it.next().captured(1);
                if (target.startsWith("http")) continue;
                const QString file = target.section('#', 0, 0);
                QVERIFY2(QFile::exists(":/help/" + file),
                         qPrintable(url.fileName() + " links to missing " + target));
            }
        }
    }

    // A dialog's Help opens the help window on top of it, usable while the
    // dialog waits.
    void helpFromModalDialogIsUsable() {
        std::unique_ptr<QWidget> w(WindowRegistry::Create("TMissingForm"));
        auto* dlg = qobject_cast<QDialog*>(w.get());
        QVERIFY(dlg);
        bool checked = false;
        QTimer::singleShot(0, dlg, [&] {
            QTest::qWaitForWindowActive(dlg);
            QTest::keyClick(dlg, Qt::Key_F1);
            QTest::qWaitFor([] { return Help()->isVisible(); }, 5000);
            checked = Help()->isVisible() && Help()->windowModality() == Qt::ApplicationModal &&
                      QApplication::activeModalWidget() == Help();
            Help()->close();
            dlg->reject();
        });
        dlg->exec();
        QVERIFY(checked);
        // Opened with no dialog waiting, it is an ordinary window again.
        THelpForm::Open(100);
        QCOMPARE(Help()->windowModality(), Qt::NonModal);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
