#include "shell/QtSettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>

namespace amx::gui {
namespace {

// "\Software\Helmridge\Ambrolux\Settings" -> "Software/Helmridge/Ambrolux/Settings"
QString GroupOf(const std::string& key) {
    QString g = QString::fromStdString(key);
    g.replace('\\', '/');
    while (g.startsWith('/')) g.remove(0, 1);
    while (g.endsWith('/')) g.chop(1);
    return g;
}

QString KeyOf(const std::string& key, const std::string& name) {
    return GroupOf(key) + '/' + QString::fromStdString(name);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : path_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            "/Helmridge/Ambrolux.ini") {}

QtSettingsStore::QtSettingsStore(const QString& iniPath) : path_(iniPath) {}

bool QtSettingsStore::OpenKey(const std::string& key, bool create) {
    QSettings s(path_, QSettings::IniFormat);
    if (create) {
        QDir().mkpath(QFileInfo(path_).absolutePath());
        return s.isWritable() && s.status() == QSettings::NoError;
    }
    if (s.status() != QSettings::NoError) return false;
    s.beginGroup(GroupOf(key));
    return !s.allKeys().isEmpty();
}

std::optional<std::string> QtSettingsStore::ReadString(const std::string& key, const std::string& name) {
    QSettings s(path_, QSettings::IniFormat);
    const QVariant v = s.value(KeyOf(key, name));
    if (!v.isValid()) return std::nullopt;
    return v.toString().toStdString();
}

std::optional<long long> QtSettingsStore::ReadInteger(const std::string& key, const std::string& name) {
    QSettings s(path_, QSettings::IniFormat);
    const QVariant v = s.value(KeyOf(key, name));
    if (!v.isValid()) return std::nullopt;
    bool ok = false;
    const long long n = v.toString().trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return n;
}

bool QtSettingsStore::WriteString(const std::string& key, const std::string& name, const std::string& value) {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSettings s(path_, QSettings::IniFormat);
    s.setValue(KeyOf(key, name), QString::fromStdString(value));
    s.sync();
    return s.status() == QSettings::NoError;
}

bool QtSettingsStore::WriteInteger(const std::string& key, const std::string& name, long long value) {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSettings s(path_, QSettings::IniFormat);
    s.setValue(KeyOf(key, name), value);
    s.sync();
    return s.status() == QSettings::NoError;
}

std::shared_ptr<void> QtSettingsStore::LockForUpdate() {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    // Not QSettings' own "<file>.lock", which it takes for each single write.
    auto lock = std::make_shared<QLockFile>(path_ + ".update-lock");
    lock->setStaleLockTime(10000);
    // A copy that cannot get the lock within seconds writes without it rather
    // than hang.
    if (!lock->tryLock(5000)) return nullptr;
    return lock;
}

}  // namespace amx::gui
