// Windows inside the screen: every top-level window shown lies within the
// available screen area, a stored main-window position of any size is brought
// back onto the screen, and dialogs are wide enough for their titles.
#include <QDialog>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QtTest>
#include <climits>

#include "GuiTestSupport.h"
#include "shell/MainForm.h"
#include "shell/ScreenFit.h"
#include "shell/ShellDefaults.h"
#include "shell/WindowRegistry.h"
#include "worksheet/DataForm.h"
#include "common/Settings.h"

using namespace amx;
using namespace amx::gui;

namespace {

QRect Area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

bool Inside(const QWidget* w) { return Area().contains(w->frameGeometry()); }

}  // namespace

class TestScreenFit : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestApp> t;

private slots:
    void init() { t = std::make_unique<test::TestApp>(); }
    void cleanup() {
        delete App().dataForm;
        t.reset();
    }

    void fitIntoArea_data() {
        QTest::addColumn<qint64>("left");
        QTest::addColumn<qint64>("top");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected");
        const QSize s(300, 200);
        QTest::newRow("inside stays") << qint64(100) << qint64(50) << s << QRect(100, 50, 300, 200);
        QTest::newRow("below the bottom") << qint64(700) << qint64(575) << s << QRect(700, 400, 300, 200);
        QTest::newRow("INT_MAX") << qint64(INT_MAX) << qint64(INT_MAX) << s << QRect(1300, 400, 300, 200);
        QTest::newRow("far negative") << qint64(INT_MIN) << qint64(-5) << s << QRect(0, 0, 300, 200);
        QTest::newRow("larger than the area") << qint64(10) << qint64(10) << QSize(2000, 1200)
                                              << QRect(0, 0, 1600, 600);
        QTest::newRow("beyond 32 bits") << (qint64(1) << 40) << -(qint64(1) << 40) << s << QRect(1300, 0, 300, 200);
    }
    void fitIntoArea() {
        QFETCH(qint64, left);
        QFETCH(qint64, top);
        QFETCH(QSize, size);
        QFETCH(QRect, expected);
        QCOMPARE(FitIntoArea(left, top, size, QRect(0, 0, 1600, 600)), expected);
    }

    // A procedure window placed partly off the bottom, one larger than the
    // screen and one never placed all open inside the available area.
    void shownWindowsLieInsideTheScreen() {
        const QRect area = Area();
        QMainWindow below, large, unplaced;
        below.resize(300, 200);
        below.move(area.right() - 100, area.bottom() - 50);
        large.resize(area.width() + 400, area.height() + 300);
        large.move(area.topLeft());
        unplaced.resize(320, 240);
        for (QMainWindow* w : {&below, &large, &unplaced}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            QVERIFY2(Inside(w), qPrintable(QString("%1,%2 %3x%4 outside")
                                               .arg(w->frameGeometry().x())
                                               .arg(w->frameGeometry().y())
                                               .arg(w->frameGeometry().width())
                                               .arg(w->frameGeometry().height())));
        }
        // The real windows too, at their own sizes.
        for (const char* cls : {"TWNormal_Form", "TControl_Limit_Form"}) {
            std::unique_ptr<QWidget> w(WindowRegistry::Create(cls));
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QVERIFY2(Inside(w.get()), cls);
        }
    }

    void dialogsAreWideEnoughForTheirTitles() {
        QDialog dlg;
        dlg.setWindowTitle("Configure Save Options For This Worksheet");
        dlg.resize(60, 80);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(dlg.width() >= TitleWidth(&dlg));
        QVERIFY(Inside(&dlg));
        for (const char* cls : {"TMissingForm", "TProcessIFForm", "TTransformForm"}) {
            std::unique_ptr<QWidget> w(WindowRegistry::Create(cls));
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QVERIFY2(w->width() >= TitleWidth(w.get()), cls);
        }
    }

    // A stored position of INT_MAX (or any other number) puts the main window
    // on the screen, without overflowing on the way.
    void storedMainPositionIsBroughtOntoTheScreen_data() {
        QTest::addColumn<qint64>("left");
        QTest::addColumn<qint64>("top");
        QTest::newRow("INT_MAX") << qint64(INT_MAX) << qint64(INT_MAX);
        QTest::newRow("INT_MIN") << qint64(INT_MIN) << qint64(INT_MIN);
        QTest::newRow("off to the right") << qint64(5000) << qint64(40);
    }
    void storedMainPositionIsBroughtOntoTheScreen() {
        QFETCH(qint64, left);
        QFETCH(qint64, top);
        WriteSettingInteger(App().session, SettingsKey, "MainLeft", int(left));
        WriteSettingInteger(App().session, SettingsKey, "MainTop", int(top));
        TAmbroluxMainForm main({}, t->Path("locks"));
        QVERIFY(Area().contains(QRect(main.pos(), main.size())));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(Inside(&main));
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
