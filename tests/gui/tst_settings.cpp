// The settings store in the per-user INI file: key paths and value names kept,
// and values written by one running copy seen by another.
#include <QTemporaryDir>
#include <QtTest>

#include "shell/MRUFiles.h"
#include "shell/QtSettingsStore.h"
#include "shell/ShellDefaults.h"
#include "session/Session.h"

using namespace amx;
using namespace amx::gui;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void sharedBetweenCopiesWithTheSameKeys() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("Helmridge/Ambrolux.ini");
        QtSettingsStore first(ini), second(ini);
        QVERIFY(!first.OpenKey(MRUKey, false));
        QVERIFY(first.OpenKey(MRUKey, true));

        Session a, b;
        a.settings = &first;
        b.settings = &second;
        TMRUFiles mruA, mruB;
        mruA.KeyStr = mruB.KeyStr = MRUKey;
        mruA.UpdateList(a, "/data/one.amx");
        mruA.UpdateList(a, "/data/two.amx");
        QVERIFY(mruB.ReadList(b));
        QCOMPARE(mruB.Flist[0], std::string("/data/two.amx"));
        QCOMPARE(mruB.Flist[1], std::string("/data/one.amx"));
        QVERIFY(second.OpenKey(MRUKey, false));

        QVERIFY(first.WriteInteger(SettingsKey, "MainTop", -40));
        QCOMPARE(second.ReadInteger(SettingsKey, "MainTop"), std::optional<long long>(-40));
        QVERIFY(first.WriteString(SettingsKey, "AmxNumberFormat", "F"));
        QCOMPARE(second.ReadInteger(SettingsKey, "AmxNumberFormat"), std::optional<long long>());
        QCOMPARE(second.ReadString(SettingsKey, "Missing"), std::optional<std::string>());

        QFile f(ini);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("[Software]"));
        QVERIFY(text.contains("Helmridge\\Ambrolux\\Settings\\MainTop=-40"));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
