#include "shell/InstanceLock.h"

#include <QDir>
#include <chrono>
#include <QStandardPaths>

#include "shell/InstanceTitle.h"

namespace amx::gui {

InstanceLock::InstanceLock(const QString& folder) : folder_(folder) {
    if (folder_.isEmpty()) folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder_.isEmpty()) folder_ = QDir::tempPath();
}

int InstanceLock::Acquire() {
    QDir().mkpath(folder_);
    number_ = ChooseInstanceNumber([this](int n) {
        auto lock = std::make_unique<QLockFile>(folder_ + QString("/ambrolux-instance-%1.lock").arg(n));
        // Only a dead owner makes a lock stale, never its age: a copy may run
        // for weeks.
        lock->setStaleLockTime(std::chrono::hours(24 * 365 * 10));
        if (!lock->tryLock(0)) return false;
        lock_ = std::move(lock);
        return true;
    });
    return number_;
}

}  // namespace amx::gui
