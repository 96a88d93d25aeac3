#pragma once
// The settings store in a per-user INI file (~/.config/Helmridge/Ambrolux.ini),
// keeping the key paths and value names of the program's settings. Every call
// opens the file afresh, so values written by another running copy are seen.
#include <QString>

#include "common/SettingsStore.h"

namespace amx::gui {

class QtSettingsStore : public SettingsStore {
public:
    // The per-user file; tests pass a file of their own.
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniPath);

    bool OpenKey(const std::string& key, bool create) override;
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
    std::optional<long long> ReadInteger(const std::string& key, const std::string& name) override;
    bool WriteString(const std::string& key, const std::string& name, const std::string& value) override;
    bool WriteInteger(const std::string& key, const std::string& name, long long value) override;
    // A lock file beside the settings file (QLockFile: a lock left by a copy
    // that died is taken over).
    std::shared_ptr<void> LockForUpdate() override;

    QString FileName() const { return path_; }

private:
    QString path_;
};

}  // namespace amx::gui
