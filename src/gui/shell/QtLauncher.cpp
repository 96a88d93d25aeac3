#include "shell/QtLauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace amx::gui {
namespace {

// The help file sits beside the program.
QString Resolve(const std::string& path) {
    const QString p = QString::fromStdString(path);
    if (QFileInfo(p).isAbsolute()) return p;
    return QDir(QCoreApplication::applicationDirPath()).filePath(p);
}

}  // namespace

bool QtLauncher::OpenAddress(const std::string& address) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

bool QtLauncher::FileExists(const std::string& path) { return QFileInfo(Resolve(path)).isFile(); }

// The desktop has no viewer that opens a help file at a topic; the file
// itself is opened and the topic is left to the viewer.
bool QtLauncher::OpenHelpFile(const std::string& path, int) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Resolve(path)));
}

}  // namespace amx::gui
