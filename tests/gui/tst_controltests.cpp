// The tests-for-statistical-control window and its stored defaults in the
// INI store: every count survives a save and a reload, the zone-rule spins
// keep k below m, and the buttons copy, save and restore.
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "session/Session.h"
#include "shell/QtSettingsStore.h"
#include "spc/ControlTests.h"
#include "spc/ControlTestsForm.h"

using namespace amx;
using namespace amx::gui;

class TestControlTests : public QObject {
    Q_OBJECT
private slots:
    void everyCountRoundTripsThroughTheIniStore() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.filePath("Ambrolux.ini"));
        Session s;
        s.settings = &store;
        ControlTestSettings t;
        for (int v = 2; v <= 99; ++v) {
            t.Values[TestValue::Run] = static_cast<std::uint8_t>(v);
            t.Values[TestValue::Lack] = static_cast<std::uint8_t>(101 - v);
            t.Values[TestValue::Zone2M] = static_cast<std::uint8_t>(v);
            t.Values[TestValue::Zone2K] = static_cast<std::uint8_t>(v - 1);
            SaveControlTestSettings(s, t);
            QtSettingsStore other(dir.filePath("Ambrolux.ini"));
            Session fresh;
            fresh.settings = &other;
            QVERIFY2(LoadControlTestSettings(fresh) == t, qPrintable(QString::number(v)));
        }
    }

    void windowEditsTheSettings() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.filePath("Ambrolux.ini"));
        Session s;
        s.settings = &store;
        RecordingMessages messages;
        s.messages = &messages;
        TForm_ControlTests w(s);
        QCOMPARE(w.windowTitle(), QString("Tests for Statistical Control"));
        QVERIFY(!w.findChild<QCheckBox*>("MRCheck9"));
        auto* k = w.findChild<QSpinBox*>("Zone1KSpin");
        auto* m = w.findChild<QSpinBox*>("Zone1MSpin");
        QCOMPARE(k->value(), 4);
        QCOMPARE(m->value(), 5);
        k->setValue(99);
        QCOMPARE(k->value(), 98);
        QCOMPARE(m->value(), 99);
        m->setValue(10);
        QCOMPARE(k->value(), 9);
        QCOMPARE(w.findChild<QSpinBox*>("ExcessSpin")->minimum(), 3);

        w.findChild<QCheckBox*>("StdCheck1")->setChecked(false);
        w.findChild<QSpinBox*>("RunSpin")->setValue(70);
        w.findChild<QPushButton*>("SaveDefaultButton")->click();
        QCOMPARE(messages.TextsOf(MessageKind::Information), std::vector<std::string>{"Settings Saved as Default"});
        QVERIFY(!s.ControlTests.Std[1]);
        QCOMPARE(int(s.ControlTests.Values[TestValue::Run]), 70);

        // Changed again but not kept: Restore Default brings the saved values back.
        w.findChild<QSpinBox*>("RunSpin")->setValue(9);
        w.findChild<QPushButton*>("RestoreDefaultButton")->click();
        QCOMPARE(w.findChild<QSpinBox*>("RunSpin")->value(), 70);

        w.findChild<QSpinBox*>("TrendSpin")->setValue(7);
        w.findChild<QPushButton*>("CancelButton")->click();
        QCOMPARE(int(s.ControlTests.Values[TestValue::Trend]), 6);
        TForm_ControlTests again(s);
        again.findChild<QSpinBox*>("TrendSpin")->setValue(7);
        again.findChild<QPushButton*>("OKButton")->click();
        QCOMPARE(int(s.ControlTests.Values[TestValue::Trend]), 7);
    }
};

QTEST_MAIN(TestControlTests)
#include "tst_controltests.moc"
