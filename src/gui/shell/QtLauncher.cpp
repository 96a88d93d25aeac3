#include "shell/QtLauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "help/HelpForm.h"
#include "help/HelpManual.h"
#include "shell/ShellDefaults.h"

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

// The program's help file is the manual built into it, shown by the help
// browser; any other file is looked up beside the program.
bool QtLauncher::FileExists(const std::string& path) {
    if (path == AppHelpFile) return HelpManual::Available();
    return QFileInfo(Resolve(path)).isFile();
}

// The desktop has no viewer that opens a foreign help file at a topic; such a
// file is opened and the topic is left to its viewer.
bool QtLauncher::OpenHelpFile(const std::string& path, int topic) {
    if (path == AppHelpFile && HelpManual::Available()) {
        THelpForm::Open(topic);
        return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Resolve(path)));
}

}  // namespace amx::gui
