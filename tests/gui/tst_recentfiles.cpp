// Recent files shared by running copies: three copies opening files at the
// same moment each put their files on the list and none is lost. The copies
// are this program started again with "--open-files"; each updates the list
// through the same code the windows use.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

#include "session/Session.h"
#include "shell/MRUFiles.h"
#include "shell/QtSettingsStore.h"
#include "shell/ShellDefaults.h"

using namespace amx;
using namespace amx::gui;

namespace {

// One copy: puts `count` files named after `tag` on the list, one by one.
int OpenFiles(const QString& ini, const QString& tag, int count) {
    QtSettingsStore store(ini);
    Session s;
    s.settings = &store;
    TMRUFiles mru;
    mru.KeyStr = MRUKey;
    for (int i = 0; i < count; ++i) mru.UpdateList(s, QString("/data/%1-%2.amx").arg(tag).arg(i).toStdString());
    return 0;
}

}  // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT
private slots:
    void threeCopiesOpeningAtOnceLoseNothing() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("Helmridge/Ambrolux.ini");
        // Repeated: an unguarded read-change-write loses entries in most rounds.
        for (int round = 0; round < 4; ++round) {
            std::vector<std::unique_ptr<QProcess>> copies;
            const QStringList tags{"a", "b", "c"};
            for (const QString& tag : tags) {
                auto p = std::make_unique<QProcess>();
                p->start(QCoreApplication::applicationFilePath(),
                         {"--open-files", ini, QString("%1%2").arg(tag).arg(round), "3"});
                copies.push_back(std::move(p));
            }
            for (auto& p : copies) {
                QVERIFY(p->waitForFinished(30000));
                QCOMPARE(p->exitCode(), 0);
            }
            QtSettingsStore store(ini);
            Session s;
            s.settings = &store;
            TMRUFiles mru;
            mru.KeyStr = MRUKey;
            QVERIFY(mru.ReadList(s));
            std::set<std::string> listed(mru.Flist.begin(), mru.Flist.end());
            for (const QString& tag : tags)
                for (int i = 0; i < 3; ++i) {
                    const std::string f = QString("/data/%1%2-%3.amx").arg(tag).arg(round).arg(i).toStdString();
                    QVERIFY2(listed.count(f), f.c_str());
                }
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 5 && QByteArray(argv[1]) == "--open-files") {
        QCoreApplication app(argc, argv);
        return OpenFiles(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), atoi(argv[4]));
    }
    QCoreApplication app(argc, argv);
    TestRecentFiles t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_recentfiles.moc"
