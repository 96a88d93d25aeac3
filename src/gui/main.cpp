// Ambrolux: the desktop program. Start-up order: the session and its services,
// the main window (title, minimum size, stored position), then the splash
// window; the event loop runs until the main window closes.
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "shell/AboutBox.h"
#include "shell/AppContext.h"
#include "shell/MainForm.h"
#include "shell/ShellDefaults.h"
#include "worksheet/DataForm.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(amx::AppProductName));
    QApplication::setOrganizationName(QString::fromStdString(amx::MakerName));
    QApplication::setApplicationDisplayName(QString::fromStdString(amx::AppProductName));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(":/icons/ambrolux.svg"));
    QGuiApplication::setDesktopFileName("ambrolux");

    amx::gui::AppContext context;
    amx::gui::TAmbroluxMainForm mainForm(QApplication::arguments().mid(1));
    QObject::connect(&mainForm, &amx::gui::TAmbroluxMainForm::programEnded, &app, &QApplication::quit);

    auto* splash = new amx::gui::TSplashForm;
    mainForm.SetSplash(splash);
    splash->show();
    splash->Hold(3.0);

    mainForm.show();
    // The first activation loads the command-line file; without a window
    // manager the window may never be activated, so it is also run once the
    // event loop starts.
    QTimer::singleShot(0, &mainForm, [&mainForm] { mainForm.FormActivate(); });
    const int rc = app.exec();
    delete context.dataForm;
    context.mru.ClearFileInfo();
    return rc;
}
