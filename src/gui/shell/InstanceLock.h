#pragma once
// Instance numbering of running copies: each copy holds a per-user lock file
// for its number in the runtime directory; a lock left by a copy that died is
// taken over.
#include <QLockFile>
#include <QString>
#include <memory>
#include <vector>

namespace amx::gui {

class InstanceLock {
public:
    // `folder` empty: the user's runtime directory.
    explicit InstanceLock(const QString& folder = QString());
    // Claims the first free number by the shell's rule and keeps it until
    // destruction.
    int Acquire();
    int Number() const { return number_; }

private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    int number_ = 0;
};

}  // namespace amx::gui
